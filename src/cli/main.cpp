#include "base/termination.h"
#include "cli/commands.h"
#include "cli/common.h"
#include "cli/nearest_names.h"

#include <algorithm>
#include <clocale>
#include <cstdio>
#include <exception>
#include <initializer_list>
#include <iostream>
#include <new>
#include <string>
#include <string_view>
#include <vector>

namespace {

// A word where a command is expected that names none would otherwise be reported as a missing
// command: say which word it was, and the nearest command. Returns whether one was refused.
bool refuseUnknownCommand(CLI::App& app, int argc, char** argv) {
    CLI::App* level = &app;
    std::string path = "tgw";
    for (int i = 1; i < argc; ++i) {
        const std::string word = argv[i];
        const std::vector<CLI::App*> subcommands =
            level->get_subcommands([](CLI::App*) { return true; });
        if (word.empty() || word[0] == '-' || subcommands.empty())
            return false;
        std::vector<std::string> names;
        CLI::App* next = nullptr;
        for (CLI::App* sub : subcommands) {
            names.push_back(sub->get_name());
            if (sub->get_name() == word)
                next = sub;
        }
        if (!next) {
            std::string message = "tgw: '" + word + "' is not a command of " + path;
            std::vector<std::string> near = tgw::cli::nearestNames(word, names, 1, true);
            if (!near.empty())
                message += "; did you mean '" + near.front() + "'?";
            message += " (commands:";
            for (const std::string& name : names)
                message += " " + name;
            std::fprintf(stderr, "%s)\n", message.c_str());
            return true;
        }
        level = next;
        path += " " + word;
    }
    return false;
}

} // namespace

namespace {

// One line on stderr and status 1, as every failed command ends.
int failed(const char* what) {
    std::fprintf(stderr, "tgw: %s\n", what);
    return 1;
}

constexpr const char* kVersion = "tgw 0.1.0";

int run(int argc, char** argv) {
    // Answered before the parser of every command is built, which costs more than the answer.
    if (argc == 2 && std::string_view(argv[1]) == "--version") {
        if (std::printf("%s\n", kVersion) > 0 && std::fflush(stdout) == 0)
            return 0;
        return failed("the version cannot be written to standard output");
    }
    std::setlocale(LC_ALL, "");
    // No command leaves a temporary file behind when a signal ends it.
    tgw::installTerminationCleanup();
    CLI::App app{"tgw: glyph matrices for dot-matrix displays, without a window"};
    app.require_subcommand(1);
    app.set_version_flag("--version", kVersion);

    // Each command with the names it registers, in the order the help lists them.
    struct CRegistration {
        std::initializer_list<std::string_view> names;
        void (*add)(CLI::App&, tgw::cli::CCommands&);
    };
    static const CRegistration kRegistrations[] = {
        {{"render"}, tgw::cli::registerRender},
        {{"preview"}, tgw::cli::registerPreview},
        {{"export"}, tgw::cli::registerExport},
        {{"project"}, tgw::cli::registerProject},
        {{"build"}, tgw::cli::registerBuild},
        {{"send"}, tgw::cli::registerSend},
        {{"fonts"}, tgw::cli::registerFonts},
        {{"ports"}, tgw::cli::registerPorts},
        {{"presets", "explain"}, tgw::cli::registerDisplay},
    };
    // Building every command's options costs most of a short command's time: when the first
    // word names a command, only that one is built (its options, help and errors are its own
    // and do not change); anything else builds them all, for the help and the unknown word.
    const std::string_view first = argc > 1 ? argv[1] : "";
    const auto names = [&](const CRegistration& r) {
        return std::find(r.names.begin(), r.names.end(), first) != r.names.end();
    };
    const bool one = std::any_of(std::begin(kRegistrations), std::end(kRegistrations), names);
    tgw::cli::CCommands commands;
    for (const CRegistration& r : kRegistrations)
        if (!one || names(r))
            r.add(app, commands);

    if (refuseUnknownCommand(app, argc, argv))
        return 2;
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        int code = app.exit(e);
        // CLI11 answers --help and --version with 0; every other parse error is a usage error.
        if (code != 0)
            return 2;
        std::cout.flush();
        return tgw::cli::finishStdout();
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
