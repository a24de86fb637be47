#include "cli/font_formats.h"

#include "base/text.h"
#include "codegen/code_text.h"
#include "codegen/gfx_font_writer.h"

#include <cstdio>
#include <string_view>
#include <vector>

namespace tgw::cli {
namespace {

bool isGfx(const COutputWriter& writer) {
    return std::string_view(writer.name) == "gfx";
}

std::string codeList(const std::vector<char16_t>& codes) {
    std::string out;
    for (size_t i = 0; i < codes.size() && i < 8; ++i)
        out += format("%sU+%04X", i ? ", " : "", unsigned(codes[i]));
    if (codes.size() > 8)
        out += format(" and %zu more", codes.size() - 8);
    return out;
}

} // namespace

void CFontFormatOptions::addRemapOption(CLI::App* cmd) {
    cmd->add_option("--remap", remapText,
                    "Place characters at other codes, FROM=TO[,...] (hex with 0x, or decimal): "
                    "0x20AC=0x7F draws the euro sign at code 0x7F, which every format then "
                    "names; a GFX font holds codes up to 0xFF only")
        ->check(CLI::Validator(
            [this](std::string& text) {
                Result<CCharacterRemap> parsed = parseRemap(text);
                if (!parsed)
                    return parsed.error();
                remap = std::move(parsed).value();
                return std::string();
            },
            "FROM=TO,..."));
}

void CFontFormatOptions::addNameOption(CLI::App* cmd, const std::string& help) {
    cmd->add_option("--name", name, help)
        ->check(CLI::Validator(
            [](std::string& name) {
                return isCIdentifier(name) ? std::string()
                                           : "'" + name +
                                                 "' is not a C identifier (a letter or _ "
                                                 "then letters, digits, _; no keyword)";
            },
            "IDENT"));
}

void CFontFormatOptions::addFormatChoiceOptions(CLI::App* cmd) {
    cmd->add_flag("--no-kerning", noKerning,
                  "Leave out the face's kerning (" + kerningNames() +
                      " hold it by default: the pairs of the face's GPOS kern feature, or of its "
                      "kern table, between characters of the set, as sorted pairs or as a table "
                      "of classes, whichever is smaller; every such pair is kept, in steps of "
                      "1/16 dot scaled so the largest fits, and a face with more than 255 "
                      "distinct rows or columns of kerning is written as pairs)");
    cmd->add_flag("--compress", compress,
                  "Compress the glyphs of " + compressingNames() +
                      " with LVGL's run-length code after XOR-ing each row with the one above "
                      "(at 2 and 4 bits a dot, which LVGL decodes); LVGL's default "
                      "configuration does not decode it: set LV_USE_FONT_COMPRESSED 1 in "
                      "lv_conf.h");
    cmd->add_flag("--no-prefilter", noPrefilter,
                  "With --compress: run-length code the rows as they are, without the XOR "
                  "filter");
    cmd->add_option("--lvgl", lvgl,
                    "The LVGL version a --format lvgl font is for: 8 or 9 (default 9); the file "
                    "stops the compiler with a message under the other")
        ->check(CLI::IsMember({8, 9}));
}

Status CFontFormatOptions::applyTo(const COutputWriter& writer, CWriterOptions& options) const {
    if (!name.empty() && !writer.takesName)
        return failure("--name belongs to --format " + namedFormats());
    if (noKerning && !writer.takesKerning)
        return failure("--no-kerning belongs to --format " + kerningNames());
    if ((compress || noPrefilter) && !writer.compressedDepths)
        return failure("--compress belongs to --format " + compressingNames());
    if (noPrefilter && !compress)
        return failure("--no-prefilter belongs to --compress");
    if (lvgl && std::string_view(writer.name) != "lvgl")
        return failure("--lvgl belongs to --format lvgl");
    options.kerning = !noKerning;
    options.compression = !compress     ? ECompression::None
                          : noPrefilter ? ECompression::Rle
                                        : ECompression::RleXorFilter;
    if (lvgl)
        options.libraryVersion = lvgl;
    options.identifier = name;
    return {};
}

Status checkIndexOption(const COutputWriter& writer, bool index, const std::string& name) {
    if (!index || writer.takesIndex)
        return {};
    if (writer.opening && name.empty())
        return failure(format("--index with --format %s takes --name: the header's tables are "
                              "its index",
                              writer.name));
    if (writer.opening)
        return {};
    std::string takers;
    for (const COutputWriter& w : outputWriters())
        if (w.takesIndex || w.opening)
            takers += (takers.empty() ? "" : ", ") + std::string(w.name) +
                      (w.opening ? " with --name" : "");
    return failure("--index belongs to --format " + takers);
}

Status checkCodes(const COutputWriter& writer, std::span<const char16_t> codes) {
    if (!writer.checkFont)
        return {};
    // The line is not known before a glyph is drawn; one of 0 passes every check of it.
    Status s = writer.checkFont(codes, CLineMetrics{});
    if (s || !isGfx(writer))
        return s;
    // Suggest a code the font leaves free, the first after ASCII if it can.
    std::vector<bool> used(kGfxLastCode + 1, false);
    for (char16_t c : codes)
        if (c <= kGfxLastCode)
            used[c] = true;
    unsigned free = 0;
    for (unsigned c = 0x7F; c <= kGfxLastCode && !free; ++c)
        if (!used[c])
            free = c;
    for (unsigned c = 1; c < 0x7F && !free; ++c)
        if (!used[c])
            free = c;
    char16_t above = 0;
    for (char16_t c : codes)
        if (c > kGfxLastCode) {
            above = c;
            break;
        }
    std::string hint = "; --remap FROM=TO places a character at a free code";
    if (free)
        hint += format(" (--remap 0x%04X=0x%02X)", unsigned(above), free);
    return failure(s.error() + hint);
}

void noteGfxTable(const COutputWriter& writer, std::span<const char16_t> codes) {
    if (!isGfx(writer) || codes.empty())
        return;
    const CGfxTable table = gfxTable(codes);
    if (table.empty == 0)
        return;
    const size_t emptyBytes = table.empty * kGfxGlyphBytes;
    std::fprintf(stderr,
                 "tgw: %sthe GFX glyph table runs from 0x%02X to 0x%02X: %zu entries of %zu bytes "
                 "(%zu bytes), %zu of them empty for codes the set lacks (%zu bytes)\n",
                 emptyBytes > 2048 ? "warning: " : "", unsigned(table.first), unsigned(table.last),
                 table.entries, kGfxGlyphBytes, table.entries * kGfxGlyphBytes, table.empty,
                 emptyBytes);
}

namespace {

template <typename F> std::string namesOf(F&& which) {
    std::string names;
    for (const COutputWriter& w : outputWriters())
        if (which(w))
            names += (names.empty() ? "" : ", ") + std::string(w.name);
    return names;
}

} // namespace

std::string namedFormats() {
    return namesOf([](const COutputWriter& w) { return w.takesName; });
}

std::string formatCapabilities() {
    std::string text = "What each format holds, and the options it takes:\n";
    for (const COutputWriter& w : outputWriters()) {
        std::vector<std::string> takes;
        if (w.opening)
            takes.push_back("--name (a header, its tables the index)");
        else if (w.takesName)
            takes.push_back("--name");
        if (w.takesIndex)
            takes.push_back("--index");
        if (w.takesKerning)
            takes.push_back("--no-kerning");
        if (w.compressedDepths) {
            COutputWriter compressing = w;
            compressing.depths = w.compressedDepths;
            takes.push_back("--compress (" + writerDepthsText(compressing) + ")");
        }
        if (std::string_view(w.name) == "lvgl")
            takes.push_back("--lvgl");
        std::string line = format("  %-12s %s", w.name, writerDepthsText(w).c_str());
        if (w.proportional())
            line += ", characters only";
        for (size_t i = 0; i < takes.size(); ++i)
            line += (i ? ", " : "; ") + takes[i];
        text += line + "\n";
    }
    return text;
}

std::string symbolFormats() {
    return namesOf([](const COutputWriter& w) { return w.takesName && !w.opening; });
}

std::string proportionalNames() {
    return namesOf([](const COutputWriter& w) { return w.proportional(); });
}

std::string kerningNames() {
    return namesOf([](const COutputWriter& w) { return w.takesKerning; });
}

std::string compressingNames() {
    return namesOf([](const COutputWriter& w) { return w.compressedDepths != 0; });
}

void warnUnmapped(const std::vector<char16_t>& unmapped) {
    if (!unmapped.empty())
        std::fprintf(stderr,
                     "tgw: warning: --remap names %zu character%s the set does not hold: %s\n",
                     unmapped.size(), unmapped.size() == 1 ? "" : "s", codeList(unmapped).c_str());
}

} // namespace tgw::cli
