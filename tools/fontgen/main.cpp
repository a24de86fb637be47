// tgw-fontgen: builds the built-in dot font tables in resources/fonts from bitmap fonts that
// Debian installs (xfonts-base, fonts-unifont, xfonts-wqy).
//
//   tgw-fontgen [--fonts-root DIR] OUTDIR
//
// DIR defaults to /usr/share/fonts. The output depends only on the source font files, glibc's
// CP936 table and FreeType, so running it twice on one machine gives identical bytes.

#include "cp936.h"
#include "freetype_handles.h"
#include "glyph.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <filesystem>
#include <fstream>
#include <limits>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace tgw::fontgen;

namespace {

enum class Repertoire { Ascii, Gb2312 };
enum class Layout { ColumnBytes, RowBytes };

struct CTableDef {
    int kind;
    const char* file;
    const char* source;   // relative to the fonts root
    const char* fallback; // for characters the source lacks or draws empty; may be null
    int pixelSize;        // strike (or outline size) to take from the sources
    int cellWidth;
    int cellHeight;
    Layout layout;
    Repertoire repertoire;
    int positions;
};

constexpr int kGbRowLength = 94;

// Sources, all from Debian packages:
//   X11/misc/{5x7,5x8,6x12}.pcf.gz     xfonts-base, misc-fixed ISO10646-1 (public domain)
//   opentype/unifont/unifont.otf       fonts-unifont, GNU Unifont 8x16 (pixel-square outlines)
//   X11/misc/wenquanyi_9pt.pcf         xfonts-wqy, WenQuanYi Bitmap Song 12 px
//   X11/misc/wenquanyi_12pt.pcf        xfonts-wqy, WenQuanYi Bitmap Song 16 px
//
// Fallbacks fill what the main source lacks: the 12-pixel WenQuanYi has no small Roman numerals
// six to ten (A2A6..A2AA), which 6x12 has; the 16-pixel one has empty placeholders for n with
// acute and caron (A8BD, A8BE), which Unifont draws.
//
// The 16-pixel GB2312 table takes WenQuanYi rather than Unifont: all but 11 of the 6763
// ideographs are the same drawings in both, but Unifont draws much of the symbol rows 0xA1..0xA9
// half-width, so its box-drawing characters would not join across full-width cells.
const CTableDef kTables[] = {
    {0, "ascii5x7.bin", "X11/misc/5x7.pcf.gz", nullptr, 7, 5, 7, Layout::ColumnBytes,
     Repertoire::Ascii, 96},
    {1, "ascii5x8.bin", "X11/misc/5x8.pcf.gz", nullptr, 8, 5, 8, Layout::RowBytes,
     Repertoire::Ascii, 96},
    {2, "ascii6x12.bin", "X11/misc/6x12.pcf.gz", nullptr, 12, 6, 12, Layout::RowBytes,
     Repertoire::Ascii, 96},
    {3, "ascii8x16.bin", "opentype/unifont/unifont.otf", nullptr, 16, 8, 16, Layout::RowBytes,
     Repertoire::Ascii, 96},
    {4, "gb2312-12.bin", "X11/misc/wenquanyi_9pt.pcf", "X11/misc/6x12.pcf.gz", 12, 12, 12,
     Layout::RowBytes, Repertoire::Gb2312, 87 * kGbRowLength},
    // Rows 0xA1..0xF8 and the first 62 codes of 0xF9: the fixed length readers of this table use.
    {5, "gb2312-16.bin", "X11/misc/wenquanyi_12pt.pcf", "opentype/unifont/unifont.otf", 16, 16, 16,
     Layout::RowBytes, Repertoire::Gb2312, 88 * kGbRowLength + 62},
};

int bytesPerGlyph(const CTableDef& t) {
    return t.layout == Layout::ColumnBytes ? t.cellWidth : (t.cellWidth + 7) / 8 * t.cellHeight;
}

// GB2312 rows 0xAA..0xAF and 0xF8..0xF9 are the user-defined area: never filled, whatever a
// converter maps them to.
bool gbUserDefinedRow(int lead) {
    return (lead >= 0xAA && lead <= 0xAF) || lead >= 0xF8;
}

std::string gbCodeText(int position) {
    char text[8];
    std::snprintf(text, sizeof text, "%02X%02X", 0xA1 + position / kGbRowLength,
                  0xA1 + position % kGbRowLength);
    return text;
}

std::string unicodeText(char32_t c) {
    char text[16];
    std::snprintf(text, sizeof text, "U+%04X", static_cast<unsigned>(c));
    return text;
}

// The character at each table position; nothing where the position stays blank.
std::vector<std::optional<char32_t>> characters(const CTableDef& t, CCp936Decoder& cp936) {
    std::vector<std::optional<char32_t>> chars(static_cast<size_t>(t.positions));
    for (int p = 0; p < t.positions; ++p) {
        if (t.repertoire == Repertoire::Ascii) {
            const char32_t c = static_cast<char32_t>(0x20 + p);
            if (c != 0x7F) // DEL is a control code; fonts that draw it draw a placeholder
                chars[static_cast<size_t>(p)] = c;
            continue;
        }
        const int lead = 0xA1 + p / kGbRowLength;
        const int trail = 0xA1 + p % kGbRowLength;
        if (!gbUserDefinedRow(lead))
            chars[static_cast<size_t>(p)] =
                cp936.decode(static_cast<uint8_t>(lead), static_cast<uint8_t>(trail));
    }
    return chars;
}

// The baseline row. A source whose line box fits the cell keeps its own ascent; one whose line
// box is taller (WenQuanYi's has room for Latin descenders below the em square) gets the
// baseline that loses the fewest dots over the table's glyphs.
int chooseAscent(const CGlyphSource& source, const std::vector<std::optional<CGlyphImage>>& glyphs,
                 const CTableDef& t) {
    if (source.ascent() + source.descent() <= t.cellHeight)
        return source.ascent();
    int best = source.ascent();
    long bestLoss = std::numeric_limits<long>::max();
    for (int ascent = 0; ascent <= source.ascent() + source.descent(); ++ascent) {
        long loss = 0;
        for (const auto& g : glyphs)
            if (g)
                loss += clippedDots(*g, ascent, t.cellWidth, t.cellHeight);
        const bool closer = std::abs(ascent - source.ascent()) < std::abs(best - source.ascent());
        if (loss < bestLoss || (loss == bestLoss && closer)) {
            best = ascent;
            bestLoss = loss;
        }
    }
    return best;
}

void writeFile(const fs::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out)
        throw std::runtime_error("cannot write " + path.string());
}

bool isSpace(char32_t c) {
    return c == 0x20 || c == 0xA0 || c == 0x3000;
}

bool hasDots(const CGlyphImage& g) {
    for (uint8_t d : g.ink)
        if (d != 0)
            return true;
    return false;
}

void generate(const CTableDef& t, FT_Library library, const fs::path& fontsRoot,
              const fs::path& outDir, CCp936Decoder& cp936) {
    std::vector<CGlyphSource> sources;
    sources.emplace_back(library, (fontsRoot / t.source).string(), t.pixelSize);
    if (t.fallback)
        sources.emplace_back(library, (fontsRoot / t.fallback).string(), t.pixelSize);
    const auto chars = characters(t, cp936);
    auto where = [&](size_t p) {
        return (t.repertoire == Repertoire::Gb2312 ? gbCodeText(static_cast<int>(p)) + " " : "") +
               unicodeText(*chars[p]);
    };

    std::vector<std::optional<CGlyphImage>> glyphs(chars.size());
    std::vector<std::string> missing;
    std::vector<std::string> fromFallback;
    for (size_t p = 0; p < chars.size(); ++p) {
        if (!chars[p])
            continue;
        for (size_t s = 0; s < sources.size() && !glyphs[p]; ++s) {
            auto g = sources[s].render(*chars[p]);
            if (g && (hasDots(*g) || isSpace(*chars[p]))) {
                glyphs[p] = std::move(g);
                if (s > 0)
                    fromFallback.push_back(where(p));
            }
        }
        if (!glyphs[p])
            missing.push_back(where(p));
    }
    if (t.repertoire == Repertoire::Ascii && !missing.empty())
        throw std::runtime_error(sources.front().path() + " lacks " + missing.front() +
                                 ": not the font this table is made from");

    const int ascent = chooseAscent(sources.front(), glyphs, t);
    std::vector<uint8_t> bytes;
    bytes.reserve(static_cast<size_t>(t.positions * bytesPerGlyph(t)));
    int drawn = 0;
    std::vector<std::string> clipped;
    for (size_t p = 0; p < glyphs.size(); ++p) {
        CCell cell(t.cellWidth, t.cellHeight);
        if (glyphs[p]) {
            if (place(*glyphs[p], ascent, cell) > 0)
                clipped.push_back(where(p));
            if (!cell.blank())
                ++drawn;
        }
        if (t.layout == Layout::ColumnBytes)
            appendColumnBytes(cell, bytes);
        else
            appendRowBytes(cell, bytes);
    }
    if (bytes.size() != static_cast<size_t>(t.positions * bytesPerGlyph(t)))
        throw std::logic_error(std::string(t.file) + ": wrong table length");

    writeFile(outDir / t.file, bytes);

    std::printf("kind %d  %-14s %6zu bytes  %s, %d px, baseline %d rows down\n", t.kind, t.file,
                bytes.size(), t.source, t.pixelSize, ascent);
    std::printf("        %d glyphs with dots\n", drawn);
    auto list = [](const char* what, const std::vector<std::string>& items) {
        if (items.empty())
            return;
        std::printf("        %zu %s:", items.size(), what);
        for (const auto& item : items)
            std::printf(" %s", item.c_str());
        std::printf("\n");
    };
    if (t.fallback)
        list((std::string("from ") + t.fallback).c_str(), fromFallback);
    list("missing", missing);
    list("clipped", clipped);
}

int usage() {
    std::fprintf(stderr, "usage: tgw-fontgen [--fonts-root DIR] OUTDIR\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    fs::path fontsRoot = "/usr/share/fonts";
    std::optional<fs::path> outDir;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--fonts-root") == 0 && i + 1 < argc)
            fontsRoot = argv[++i];
        else if (argv[i][0] == '-' || outDir)
            return usage();
        else
            outDir = argv[i];
    }
    if (!outDir)
        return usage();

    try {
        fs::create_directories(*outDir);
        auto library = openFreeType();
        CCp936Decoder cp936;
        for (const auto& table : kTables)
            generate(table, library.get(), fontsRoot, *outDir, cp936);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tgw-fontgen: %s\n", e.what());
        return 1;
    }
    return 0;
}
