#pragma once

#include <CLI/CLI.hpp>

#include <functional>
#include <memory>
#include <vector>

namespace tgw::cli {

// A subcommand and what runs when it was given. `run` returns the exit status: 0 success,
// 1 the work failed (after one line on stderr).
struct CCommand {
    CLI::App* app = nullptr;
    std::function<int()> run;
};
using CCommands = std::vector<CCommand>;

// Each command registers its subcommand, its options and its handler. State that the options
// fill lives in objects the handler shares (kept alive by the handler's captures).
void registerRender(CLI::App& app, CCommands& commands);
void registerFonts(CLI::App& app, CCommands& commands);
void registerExport(CLI::App& app, CCommands& commands);
void registerSend(CLI::App& app, CCommands& commands);
void registerPorts(CLI::App& app, CCommands& commands);
void registerProject(CLI::App& app, CCommands& commands);
void registerBuild(CLI::App& app, CCommands& commands);
// The entries or a text drawn as the display shows them, into a PNG.
void registerPreview(CLI::App& app, CCommands& commands);
// tgw presets and tgw explain.
void registerDisplay(CLI::App& app, CCommands& commands);

} // namespace tgw::cli
