#include "cli/commands.h"

#include <clocale>
#include <cstdio>

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "");
    CLI::App app{"tgw: glyph matrices for dot-matrix displays, without a window"};
    app.require_subcommand(1);
    app.set_version_flag("--version", "tgw 0.1.0");

    tgw::cli::CCommands commands;
    tgw::cli::registerRender(app, commands);
    tgw::cli::registerExport(app, commands);
    tgw::cli::registerProject(app, commands);
    tgw::cli::registerBuild(app, commands);
    tgw::cli::registerSend(app, commands);
    tgw::cli::registerFonts(app, commands);
    tgw::cli::registerPorts(app, commands);
    tgw::cli::registerDisplay(app, commands);

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        int code = app.exit(e);
        // CLI11 answers --help and --version with 0; every other parse error is a usage error.
        return code == 0 ? 0 : 2;
    }
    for (const auto& c : commands)
        if (c.app->parsed())
            return c.run();
    return 2;
}
