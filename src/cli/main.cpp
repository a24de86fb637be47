#include "cli/commands.h"

#include <clocale>
#include <cstdio>
#include <exception>
#include <new>

namespace {

// One line on stderr and status 1, as every failed command ends.
int failed(const char* what) {
    std::fprintf(stderr, "tgw: %s\n", what);
    return 1;
}

int run(int argc, char** argv) {
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

} // namespace

int main(int argc, char** argv) {
    // Nothing a command throws ends the process with an abort and a core dump.
    try {
        return run(argc, argv);
    } catch (const std::bad_alloc&) {
        return failed("not enough memory");
    } catch (const std::exception& e) {
        return failed(e.what());
    } catch (...) {
        return failed("an unexpected error stopped the command");
    }
}
