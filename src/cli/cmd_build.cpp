#include "base/codepage.h"
#include "base/termination.h"
#include "base/text.h"
#include "cli/commands.h"
#include "cli/common.h"
#include "cli/entry_checks.h"
#include "cli/font_formats.h"
#include "cli/preset_checks.h"
#include "codegen/output_writers.h"
#include "library/character_set.h"
#include "library/library_builder.h"
#include "project/text_import.h"
#include "raster/rasteriser.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <memory>
#include <unistd.h>

namespace tgw::cli {
namespace {

struct CBuildOptions {
    std::string set;
    std::string text;
    std::string textFile;
    std::string ranges;
    std::string symbols;
    bool printable = false;
    bool sort = false;
    bool dedupe = false;
    bool skipBlanks = false;
    bool unicodeOrder = false;
    std::string format;
    bool index = false;
    std::string output;
    bool force = false;
    bool quiet = false;
    unsigned jobs = 0;
    bool allowEmpty = false;
    bool allowFallback = false;
    bool fileFallback = false;
    bool strict = false;
    CFontFormatOptions font; // --remap, --name
};

const char* const kLayouts = R"(Formats:
  c, asm        one whole matrix per character, as the export writes them
  bin           the matrices' bytes; with --index behind 4 + 10 n bytes (big-endian):
                n (4), then per entry code (2), width (2), height (2), data offset (4)
  gfx           GFX font header (C): GFXglyph table (bitmap offset, width, height,
                x advance, x offset, y offset from the cursor on the baseline) and a
                GFXfont struct (bitmaps, glyphs, first, last, y advance); each glyph's
                dots one bit stream row by row, leftmost dot in the high bit. One code
                range: codes the set lacks inside it get empty glyphs. The y offset
                counts from the cursor's row, the lowest row of glyphs standing on the
                baseline. Limits: codes up to 0xFF (--remap places others there), line
                advance, sizes and advances up to 255, offsets -128 to 127, 64 KiB of
                bitmaps.
  metrics-bin   cropped glyphs behind a metrics table sorted by code (big-endian):
                 0        4  n, the number of glyphs
                 4        2  line advance (baseline to baseline)
                 6        2  ascent (top of the line to the baseline)
                 8 + 16k  2  code (UCS-2), ascending
                10 + 16k  2  width of the glyph's box
                12 + 16k  2  height
                14 + 16k  2  x offset, pen to the box's left column (signed)
                16 + 16k  2  y offset, baseline to the box's top row (signed, up < 0)
                18 + 16k  2  advance
                20 + 16k  4  data offset, from the end of the table
                then each box in --dot-order and --byte-order (none when empty)
  metrics-c     the same as C text: a GlyphMetrics array and a data array
  bdf           a BDF 2.1 bitmap font (FreeType, X11's bdftopcf, BDF converters): per
                glyph ENCODING (Unicode, or the --remap code), DWIDTH, BBX from the pen to
                the box's lower left dot, rows of hex; FONT_ASCENT and FONT_DESCENT from
                the face's line, PIXEL_SIZE the size drawn at (72 dpi: SIZE in points)
  u8g2          u8g2's font format as a C array (const uint8_t NAME[], for u8g2_SetFont
                and u8g2_DrawUTF8 on the baseline): the 23-byte header, run-length coded
                glyphs with the font's own field widths, codes up to 0xFF first, then a
                jump table and the codes above. Limits: glyphs up to 255 wide, 127 high,
                255 bytes coded, offsets and advances -128 to 127.
  lvgl          an LVGL font as C (const lv_font_t NAME, LV_FONT_DECLARE(NAME)): the
                lv_font_fmt_txt_dsc_t, glyph bitmaps (--depth bits a pixel, rows running
                on), glyph descriptions (box cropped to the ink, offsets from the pen
                to the box's lower left dot, advance in 1/16 px), character maps
                (glyph ids in code order, id 0 reserved; runs and sparse lists), kerning
                pairs or classes. NAME defaults to lv_font_ and the font's name in
                lower case (lv_font_dejavu_sans_16_4bpp). --lvgl 8 or 9 (default 9).
  lvgl-bin      the same as LVGL's binary font (lv_binfont_create): head, cmap, loca,
                glyf and kern tables, little-endian, bit fields sized to the font.
Proportional formats (gfx, metrics-*, bdf, u8g2, lvgl*) draw glyphs at the font's natural width; a
blank is a glyph without dots whose advance matters (kept unless --skip-blanks).)";

// "-o -": the library goes to standard output as it is made.
class CStdoutOutput : public IOutput {
public:
    Status write(std::string_view bytes) override {
        while (!bytes.empty()) {
            const ssize_t n = ::write(STDOUT_FILENO, bytes.data(), bytes.size());
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return failure("cannot write to standard output");
            bytes.remove_prefix(size_t(n));
        }
        return {};
    }
};

// A bar of 40 cells, redrawn in place on a terminal.
void drawProgress(size_t done, size_t total) {
    const size_t cells = total ? done * 40 / total : 40;
    char bar[41];
    for (size_t i = 0; i < 40; ++i)
        bar[i] = i < cells ? '#' : '.';
    bar[40] = 0;
    std::fprintf(stderr, "\r[%s] %zu/%zu", bar, done, total);
    std::fflush(stderr);
}

ECharacterSet characterSet(const std::string& name) {
    if (name == "ascii")
        return ECharacterSet::Ascii;
    if (name == "gb2312")
        return ECharacterSet::Gb2312;
    if (name == "custom")
        return ECharacterSet::Custom;
    if (name == "range")
        return ECharacterSet::Range;
    return ECharacterSet::Font;
}

int runBuild(const CCommandOptions& options, const CBuildOptions& b) {
    const COutputWriter* writer = findWriter(b.format);
    if (!writer) {
        std::fprintf(stderr, "tgw: unknown format '%s'\n", b.format.c_str());
        return 2;
    }
    CWriterOptions writerOptions;
    for (const Status& s :
         {checkIndexOption(*writer, b.index, b.font.name), b.font.applyTo(*writer, writerOptions)})
        if (!s) {
            std::fprintf(stderr, "tgw: %s\n", s.error().c_str());
            return 2;
        }
    // --range and --symbols make a set of their own; --set range may be left out with them.
    const bool ranged = !b.ranges.empty() || !b.symbols.empty();
    if (ranged && !b.set.empty() && b.set != "range") {
        std::fprintf(stderr, "tgw: --range and --symbols belong to --set range\n");
        return 2;
    }
    const std::string set = ranged ? "range" : b.set;
    if (set.empty()) {
        std::fprintf(stderr, "tgw: give --set, or --range / --symbols\n");
        return 2;
    }
    if (set == "range" && !ranged) {
        std::fprintf(stderr, "tgw: --set range takes --range or --symbols\n");
        return 2;
    }
    const bool custom = set == "custom";
    if (custom == (b.text.empty() && b.textFile.empty()) ||
        (!b.text.empty() && !b.textFile.empty())) {
        std::fprintf(stderr, custom ? "tgw: --set custom takes one of --text and --text-file\n"
                                    : "tgw: --text and --text-file belong to --set custom\n");
        return 2;
    }
    if (options.codeEncodingGiven() && b.format != "c" && b.format != "asm") {
        std::fprintf(stderr, "tgw: --encoding belongs to --format c and asm\n");
        return 2;
    }
    const auto started = std::chrono::steady_clock::now();

    Result<CSettings> settings = options.settings();
    if (!settings)
        return fail(settings.error());
    if (Status needs = checkPresetCell(*settings, b.strict); !needs)
        return fail(needs.error());

    CLibraryRequest request;
    request.set = characterSet(set);
    request.ranges = b.ranges;
    request.symbols = utf8ToUtf16(b.symbols);
    request.printableOnly = b.printable;
    request.sort = b.sort;
    request.codePageOrder = !settings->useUnicode;
    request.removeDuplicates = b.dedupe;
    request.skipBlanks = b.skipBlanks;
    request.remap = b.font.remap;
    if (!b.allowFallback)
        if (Status face = checkFace(*settings); !face)
            return fail(face.error());
    if (!b.textFile.empty()) {
        Result<std::u16string> text = importTextFile(b.textFile);
        if (!text)
            return fail(text.error());
        request.customText = std::move(text).value();
    } else {
        request.customText = utf8ToUtf16(b.text);
    }
    if (Status plane = checkBasicPlane(request.customText,
                                       b.textFile.empty() ? "'" + b.text + "'" : b.textFile);
        !plane)
        return fail(plane.error());

    // Without a window to ask in, --unicode-order is the answer given beforehand.
    char16_t withoutForm = 0;
    Result<CCharacterPlan> plan = planCharacters(request, settings->font(), [&](char16_t c) {
        withoutForm = c;
        return b.unicodeOrder;
    });
    if (!plan)
        return fail(plan.error());
    if (plan->refused) {
        // The character itself too, unless it is a control, a blank or half a surrogate pair.
        const char16_t c = withoutForm;
        const bool shown = c >= 0xA0 && !isWhiteSpace(c) && (c < 0xD800 || c > 0xDFFF);
        return fail(format("U+%04X%s has no code page 936 form, so the set cannot be sorted in "
                           "code page order; --unicode-order sorts it in Unicode order",
                           unsigned(c),
                           shown ? (" (" + utf16ToUtf8(std::u16string(1, c)) + ")").c_str() : ""));
    }

    if (plan->characters.empty() && !b.allowEmpty)
        return fail("no entries: the set has no characters to build (--allow-empty writes an "
                    "empty library)");
    warnUnmapped(plan->unmapped);
    // What the codes alone decide fails before anything is rendered.
    if (Status s = checkCodes(*writer, plan->characters); !s)
        return fail(s.error());
    noteGfxTable(*writer, plan->characters);

    if (Status f = checkFileFallback(*settings, b.fileFallback); !f)
        return fail(f.error());
    settings->fileFallback = b.fileFallback;
    {
        CRasteriser rasteriser;
        Result<bool> warned = warnAboutFontFile(plan->characters, settings->font(), rasteriser);
        if (!warned)
            return fail(warned.error());
        if (*warned && b.strict)
            return fail("stopped by --strict after the warnings above; nothing was written");
        // A bitmap font cannot be scaled to fit the cell: the whole set moves instead.
        if (settings->fitCell && !writer->proportional()) {
            Result<int> offset = rasteriser.fitOffset(settings->font(), plan->characters);
            if (!offset)
                return fail(offset.error());
            settings->offset += *offset;
        }
    }

    CLibraryBuilder builder(*settings, std::move(plan->characters), *writer, b.index);
    builder.setThreads(b.jobs);
    builder.setKeepOnlyWhole(b.strict);
    builder.setRemap(b.font.remap);
    builder.setIdentifier(b.font.name);
    builder.setWriterOptions(writerOptions);
    // Ctrl-C, kill, a closed terminal and every other terminating signal stop the build the
    // regular way and say so; the temporary file is gone at once (base/termination.h).
    CStopRequest stop;
    CStdoutOutput stdoutOutput;
    if (Status s = b.output == "-" ? builder.start(stdoutOutput) : builder.start(b.output, b.force);
        !s)
        return fail(s.error());

    const bool showProgress = !b.quiet && ::isatty(STDERR_FILENO);
    size_t shown = size_t(-1);
    for (;;) {
        if (stop.signal())
            builder.cancel();
        if (showProgress && builder.done() != shown) {
            shown = builder.done();
            drawProgress(shown, builder.total());
        }
        if (builder.waitFor(std::chrono::milliseconds(50)))
            break;
    }
    Result<CBuildSummary> result = builder.wait();
    if (showProgress)
        std::fprintf(stderr, "\r\033[K");
    if (!result) {
        if (builder.cancelled())
            return fail(b.output == "-" ? "interrupted" : "interrupted; nothing was written");
        return fail(result.error());
    }
    if (warnAboutLostInk(result->lostInk, settings->fitCell != 0) && b.strict)
        return fail(result->written
                        ? "stopped by --strict after the warnings above"
                        : "stopped by --strict after the warnings above; nothing was written");
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::fprintf(stderr, "tgw: %zu glyphs, %llu bytes, %.3f s\n", result->glyphs,
                 static_cast<unsigned long long>(result->bytes), seconds);
    return 0;
}

} // namespace

void registerBuild(CLI::App& app, CCommands& commands) {
    auto options = std::make_shared<CCommandOptions>();
    auto b = std::make_shared<CBuildOptions>();
    CLI::App* cmd = app.add_subcommand(
        "build",
        "Build a whole font library: every character of a set into one code or binary file");
    options->addSettingsOptions(cmd);
    options->addCodeEncodingOption(cmd);
    cmd->add_option("--set", b->set,
                    "ascii (codes 1..127), gb2312 (the 8178 double-byte codes), font (every "
                    "character the font has), custom (--text or --text-file) or range (--range "
                    "and --symbols, which imply it)")
        ->check(CLI::IsMember({"ascii", "gb2312", "font", "custom", "range"}));
    cmd->add_option("--range", b->ranges,
                    "Codes and ranges, comma-separated, hex with 0x or decimal: "
                    "0x20-0x7E,0x4E00-0x9FA5,65 (ascending, each once, with --symbols)");
    cmd->add_option("--symbols", b->symbols, "Characters added to --range, e.g. \"°±µ\"");
    cmd->add_option("--text", b->text, "The characters of --set custom");
    cmd->add_option("--text-file", b->textFile,
                    "The characters of --set custom from a text file (UTF-8, UTF-16 with a "
                    "byte-order mark, or code page 936)")
        ->check(CLI::ExistingFile);
    cmd->add_flag("--printable", b->printable, "ASCII from 32 (the blank) instead of from 1");
    cmd->add_flag("--sort", b->sort,
                  "Sort the set: by code page 936 code, or by UTF-16 code with --unicode");
    cmd->add_flag("--unicode-order", b->unicodeOrder,
                  "When --sort in code page order meets a character without a code page 936 "
                  "form, sort in Unicode order instead of failing");
    cmd->add_flag("--dedupe", b->dedupe,
                  "Drop repeated characters (the first of each stays unless --sort)");
    cmd->add_flag("--skip-blanks", b->skipBlanks, "Do not render white-space characters");
    std::vector<std::string> formats;
    for (const COutputWriter& w : outputWriters())
        formats.push_back(w.name);
    cmd->add_option("--format", b->format, writerNames() + "; see the layouts below")
        ->required()
        ->check(CLI::IsMember(formats));
    cmd->add_flag("--index", b->index,
                  "Put the index of codes, sizes and offsets before the data (bin; a header of "
                  "--format c with --name has it in its tables)");
    b->font.addNameOption(cmd, "With --format c: the library as a header, NAME[] and its "
                               "tables, as tgw export --name writes it (see there); the symbol "
                               "of a font of " +
                                   symbolFormats() +
                                   " (default: made from face, size and style, as tgw export "
                                   "makes it; for lvgl in lower case behind lv_font_)");
    b->font.addRemapOption(cmd);
    b->font.addFormatChoiceOptions(cmd);
    cmd->add_option("-o,--output", b->output, "The library file (\"-\": standard output)")
        ->required();
    addForceOption(cmd, b->force);
    cmd->add_flag("-q,--quiet", b->quiet, "No progress bar");
    cmd->add_flag("--allow-empty", b->allowEmpty, "An empty library is not an error");
    cmd->add_flag("--allow-fallback", b->allowFallback,
                  "Render with fontconfig's substitute when the --face is not installed");
    addFileFallbackOption(cmd, b->fileFallback);
    cmd->add_flag("--strict", b->strict,
                  "Fail, writing nothing, when the --font-file lacks characters of the set, "
                  "glyphs lose dots beyond their cells, or the cell breaks the --preset's needs");
    cmd->add_option("-j,--jobs", b->jobs, "Rendering threads (default: one per processor)")
        ->check(CLI::Range(1, 256));
    cmd->footer(std::string(kLayouts) + "\n" + formatCapabilities());
    commands.push_back({cmd, [options, b] { return runBuild(*options, *b); }});
}

} // namespace tgw::cli
