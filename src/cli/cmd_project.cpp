#include "cli/commands.h"
#include "cli/common.h"
#include "project/project_document.h"
#include "raster/rasteriser.h"

#include <cerrno>
#include <cstdlib>

namespace tgw::cli {
namespace {

// The saving time: SOURCE_DATE_EPOCH (shown in UTC) when a reproducible build sets it, else
// the clock.
Result<CLocalTime> savingTime() {
    const char* epoch = std::getenv("SOURCE_DATE_EPOCH");
    if (!epoch || !*epoch)
        return currentLocalTime();
    char* end = nullptr;
    errno = 0;
    long long seconds = std::strtoll(epoch, &end, 10);
    if (errno || *end || seconds < 0)
        return failure(std::string("SOURCE_DATE_EPOCH is not a number of seconds: ") + epoch);
    return localTimeOf(std::time_t(seconds), true);
}

int runProject(const CCommandOptions& options, const std::string& output) {
    Result<CLocalTime> stamp = savingTime();
    if (!stamp)
        return fail(stamp.error());
    Result<std::unique_ptr<CEntrySet>> set = options.makeEntrySet();
    if (!set)
        return fail(set.error());
    CGlyphList& list = (*set)->list;
    if (output == "-") {
        Result<std::string> bytes = writeProject(list, *stamp);
        if (!bytes)
            return fail(bytes.error());
        if (Status s = writeOutput("-", *bytes); !s)
            return fail(s.error());
        return 0;
    }
    if (Status s = saveProject(list, output, *stamp); !s)
        return fail(s.error());
    return 0;
}

} // namespace

void registerProject(CLI::App& app, CCommands& commands) {
    auto options = std::make_shared<CCommandOptions>();
    auto output = std::make_shared<std::string>();
    CLI::App* cmd = app.add_subcommand(
        "project", "Write the entries to a project file, as the desktop program saves one");
    options->addSettingsOptions(cmd);
    options->addEntryOptions(cmd);
    cmd->add_option("-o,--output", *output, "The project file to write (.tgx; - for stdout)")
        ->required();
    commands.push_back({cmd, [options, output] { return runProject(*options, *output); }});
}

} // namespace tgw::cli
