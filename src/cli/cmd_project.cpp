#include "cli/commands.h"
#include "cli/common.h"
#include "project/project_document.h"
#include "raster/rasteriser.h"

#include <cerrno>
#include <cstdio>
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

// The project is written all the same: the entries' dots are stored whole, only the names
// differ.
void warnOfUnstorableNames(const CGlyphList& list) {
    std::vector<size_t> entries = entriesWithUnstorableNames(list);
    if (entries.empty())
        return;
    std::string numbers;
    for (size_t i : entries)
        numbers += (numbers.empty() ? "" : ", ") + std::to_string(i + 1);
    std::fprintf(stderr,
                 "tgw: warning: %s %s: the file name is not valid UTF-8; the project stores "
                 "it with U+FFFD in place of the bytes it cannot hold\n",
                 entries.size() == 1 ? "entry" : "entries", numbers.c_str());
}

int runProject(const CCommandOptions& options, const std::string& output, bool force) {
    Result<CLocalTime> stamp = savingTime();
    if (!stamp)
        return fail(stamp.error());
    Result<std::unique_ptr<CEntrySet>> set = options.makeEntrySet();
    if (!set)
        return fail(set.error());
    CGlyphList& list = (*set)->list;
    warnOfUnstorableNames(list);
    if (output == "-") {
        Result<std::string> bytes = writeProject(list, *stamp);
        if (!bytes)
            return fail(bytes.error());
        if (Status s = writeOutput("-", *bytes); !s)
            return fail(s.error());
        return 0;
    }
    if (Status s = saveProject(list, output, *stamp, force); !s)
        return fail(s.error());
    return 0;
}

} // namespace

void registerProject(CLI::App& app, CCommands& commands) {
    auto options = std::make_shared<CCommandOptions>();
    auto output = std::make_shared<std::string>();
    auto force = std::make_shared<bool>(false);
    CLI::App* cmd = app.add_subcommand(
        "project", "Write the entries to a project file, as the desktop program saves one");
    options->addSettingsOptions(cmd);
    options->addEntryOptions(cmd);
    cmd->add_option("-o,--output", *output, "The project file to write (.tgx; - for stdout)")
        ->required();
    addForceOption(cmd, *force);
    commands.push_back(
        {cmd, [options, output, force] { return runProject(*options, *output, *force); }});
}

} // namespace tgw::cli
