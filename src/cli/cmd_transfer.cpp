#include "cli/commands.h"

namespace tgw::cli {

// Placeholders until the transfer links land.
void registerSend(CLI::App&, CCommands&) {}
void registerPorts(CLI::App&, CCommands&) {}

} // namespace tgw::cli
