#include "base/replacing_file.h"
#include "cli/commands.h"
#include "cli/common.h"
#include "cli/font_formats.h"
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
    CFontFormatOptions font; // --remap; --name: C text as a header, or the font's symbol
};

// The character entries of `list` placed at the codes of `remap`: each remapped one replaced by
// an entry of its new code with the same dots (edits and all), drawn again through `remapped`
// where a writer draws for itself. The new list is made through `remapped`.
Status remapEntries(CGlyphList& list, const CCharacterRemap& remap, CGlyphList& out) {
    std::u16string codes;
    std::vector<size_t> positions;
    for (size_t i = 0; i < list.size(); ++i) {
        positions.push_back(i);
        if (list.at(i).isCharacter())
            codes.push_back(static_cast<const CCharEntry&>(list.at(i)).code());
    }
    std::vector<char16_t> unmapped;
    if (Status s = remapCharacters(codes, remap, &unmapped); !s)
        return s;
    warnUnmapped(unmapped);
    for (std::unique_ptr<CGlyphEntry>& entry : list.take(positions)) {
        const char16_t to =
            entry->isCharacter() ? remap.target(static_cast<const CCharEntry&>(*entry).code()) : 0;
        if (!to) {
            out.append(std::move(entry));
            continue;
        }
        const auto& from = static_cast<const CCharEntry&>(*entry);
        CGlyphEntry& placed =
            out.append(std::make_unique<CCharEntry>(out.rasteriser(), to, from.font()));
        placed.setMatrix(from.matrix());
    }
    return {};
}

int runExport(CCommandOptions& options, const CExportOptions& ex) {
    Result<CSettings> settings = options.settings();
    if (!settings)
        return fail(settings.error());
    CEncodingOptions encoding = CEncodingOptions::fromSettings(*settings);
    const std::string format = ex.format.empty() ? (encoding.assembler ? "asm" : "c") : ex.format;
    const COutputWriter* writer = findWriter(format);
    if (!writer)
        return fail("unknown format '" + format + "'");
    if (options.codeEncodingGiven() && format != "c" && format != "asm") {
        std::fprintf(stderr, "tgw: --encoding belongs to --format c and asm\n");
        return 2;
    }
    CWriterOptions writerOptions;
    writerOptions.withIndex = ex.index;
    for (const Status& s : {checkIndexOption(*writer, ex.index, ex.font.name),
                            ex.font.applyTo(*writer, writerOptions)})
        if (!s) {
            std::fprintf(stderr, "tgw: %s\n", s.error().c_str());
            return 2;
        }
    // A blank has an advance that a proportional font cannot do without.
    if (writer->proportional()) {
        options.keepBlanks();
        options.cellsNotWritten();
    }

    Result<std::unique_ptr<CEntrySet>> set = options.makeEntrySet();
    if (!set)
        return fail(set.error());
    CRemappedRasteriser remapped((*set)->rasteriser, ex.font.remap);
    CGlyphList mapped(remapped);
    if (!ex.font.remap.empty())
        if (Status s = remapEntries((*set)->list, ex.font.remap, mapped); !s)
            return fail(s.error());
    const CGlyphList& list = ex.font.remap.empty() ? (*set)->list : mapped;

    if (writer->proportional()) {
        std::vector<char16_t> codes;
        for (size_t i = 0; i < list.size(); ++i)
            if (list.at(i).isCharacter())
                codes.push_back(static_cast<const CCharEntry&>(list.at(i)).code());
        if (Status s = checkCodes(*writer, codes); !s)
            return fail(s.error());
        noteGfxTable(*writer, codes);
    }

    // The whole output is made before anything is written, so a failed entry leaves neither
    // a half-written file nor half a listing on standard output.
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
    options->addCodeEncodingOption(cmd);
    options->warnAboutCodes();
    std::vector<std::string> formats;
    for (const COutputWriter& w : outputWriters())
        formats.push_back(w.name);
    cmd->add_option("--format", ex->format,
                    writerNames() +
                        " (default: c or asm from --language); the proportional "
                        "ones (" +
                        proportionalNames() +
                        ") take character entries only and keep blanks, whose advance they need")
        ->check(CLI::IsMember(formats));
    cmd->add_flag("--index", ex->index,
                  "Put the index of codes, sizes and offsets before the data");
    cmd->add_option("-o,--output", ex->output, "Output file (default: standard output)");
    addForceOption(cmd, ex->force);
    ex->font.addNameOption(
        cmd, "With --format c: write C text as a header that compiles on its own: uint8_t "
             "NAME[] with every entry's bytes, NAME_codes[] and NAME_offsets[] (and NAME_widths, "
             "NAME_heights, NAME_sizes when the entries' sizes differ), NAME_COUNT, an include "
             "guard; the arrays are static, so every C file of a program may include it; the "
             "per-entry comments and templates stay inside the array; --index is taken and "
             "changes nothing. With " +
                 symbolFormats() +
                 ": the font's symbol (default: made from face, size and style; for lvgl "
                 "lv_font_ and those words in lower case, lv_font_dejavu_sans_16_4bpp)");
    ex->font.addRemapOption(cmd);
    ex->font.addFormatChoiceOptions(cmd);
    cmd->footer(formatCapabilities());
    commands.push_back({cmd, [options, ex] { return runExport(*options, *ex); }});
}

} // namespace tgw::cli
