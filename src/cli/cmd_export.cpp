#include "base/replacing_file.h"
#include "cli/commands.h"
#include "cli/common.h"
#include "codegen/binary_file.h"
#include "codegen/code_text.h"
#include "codegen/output_writers.h"
#include "raster/rasteriser.h"

#include <cstdio>
#include <memory>

namespace tgw::cli {
namespace {

struct CExportOptions {
    std::string format; // c, asm or bin; empty: from --language
    bool index = false;
    std::string output; // empty or "-": standard output
    bool force = false;
    std::string name; // C text as a header with this array name
};

int runExport(const CCommandOptions& options, const CExportOptions& ex) {
    Result<CSettings> settings = options.settings();
    if (!settings)
        return fail(settings.error());
    CEncodingOptions encoding = CEncodingOptions::fromSettings(*settings);
    const std::string format = ex.format.empty() ? (encoding.assembler ? "asm" : "c") : ex.format;
    if (ex.index && !(findWriter(format) && findWriter(format)->takesIndex)) {
        std::fprintf(stderr, "tgw: --index belongs to --format bin\n");
        return 2;
    }
    if (!ex.name.empty() && format != "c") {
        std::fprintf(stderr, "tgw: --name belongs to --format c\n");
        return 2;
    }
    encoding.headerName = ex.name;

    Result<std::unique_ptr<CEntrySet>> set = options.makeEntrySet();
    if (!set)
        return fail(set.error());
    const CGlyphList& list = (*set)->list;

    // The whole output is made before anything is written, so a failed entry leaves neither
    // a half-written file nor half a listing on standard output.
    const COutputWriter* writer = findWriter(format);
    if (!writer)
        return fail("unknown format '" + format + "'");
    CWriterOptions writerOptions;
    writerOptions.withIndex = ex.index;
    CStringOutput out;
    if (Status s = writeList(*writer, list, encoding, writerOptions, out); !s)
        return fail(s.error());
    const std::string* data = &out.data();
    const Status written = ex.output.empty() || ex.output == "-"
                               ? writeOutput("-", *data)
                               : writeFileReplacing(ex.output, *data, ex.force);
    if (!written)
        return fail(written.error());
    return 0;
}

} // namespace

void registerExport(CLI::App& app, CCommands& commands) {
    auto options = std::make_shared<CCommandOptions>();
    auto ex = std::make_shared<CExportOptions>();
    CLI::App* cmd = app.add_subcommand(
        "export", "Write the entries as C or assembler code text, or as a binary matrix file");
    options->addSettingsOptions(cmd);
    options->addEntryOptions(cmd);
    options->warnAboutCodes();
    std::vector<std::string> formats;
    for (const COutputWriter& w : outputWriters())
        formats.push_back(w.name);
    cmd->add_option("--format", ex->format,
                    writerNames() + " (default: c or asm from --language); gfx and metrics-* "
                                    "take character entries only")
        ->check(CLI::IsMember(formats));
    cmd->add_flag("--index", ex->index,
                  "Put the index of codes, sizes and offsets before the data");
    cmd->add_option("-o,--output", ex->output, "Output file (default: standard output)");
    addForceOption(cmd, ex->force);
    cmd->add_option("--name", ex->name,
                    "Write C text as a header that compiles on its own: const uint8_t NAME[] "
                    "with every entry's bytes, NAME_codes[] and NAME_offsets[] (and NAME_widths, "
                    "NAME_heights, NAME_sizes when the entries' sizes differ), NAME_COUNT, an "
                    "include guard; the per-entry comments and templates stay inside the array")
        ->check(CLI::Validator(
            [](std::string& name) {
                return isCIdentifier(name) ? std::string()
                                           : "'" + name +
                                                 "' is not a C identifier (a letter or _ "
                                                 "then letters, digits, _; no keyword)";
            },
            "IDENT"));
    commands.push_back({cmd, [options, ex] { return runExport(*options, *ex); }});
}

} // namespace tgw::cli
