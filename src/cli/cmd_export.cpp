#include "cli/commands.h"

namespace tgw::cli {

// Placeholder until the code generator lands.
void registerExport(CLI::App&, CCommands&) {}

} // namespace tgw::cli
