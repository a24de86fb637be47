// The LVGL writers: the glyphs as the display library's own font, either C text defining an
// lv_font_t over its "fmt_txt" descriptor (compiled into the firmware) or the binary font it
// loads at run time. Both hold the same content:
//  - glyph ids in code order, id 0 reserved for "no glyph";
//  - character maps of runs of codes ("format 0 tiny": a header only) and of scattered codes
//    ("sparse tiny": the codes' offsets from the map's first), whichever is smaller;
//  - per glyph its box cropped to the ink, the offset of the box's lower left dot from the pen
//    on the baseline (y up), and its advance (in 1/16 dot in C);
//  - the dots as depth-bit fields row by row, rows running on, the leftmost dot in the high bits;
//    or compressed: each row optionally XOR-ed with the row above, then the fields coded by
//    LVGL's run-length code (a repeated field switches to repeat bits, the eleventh of which
//    is followed by a 6-bit count);
//  - kerning as sorted pairs of glyph ids or as a table of left and right classes, whichever is
//    smaller, in signed 4.4 steps times a 12.4 scale.
#include "base/screen_text.h"

#include "base/output.h"
#include "base/text.h"
#include "codegen/lvgl_font_metrics.h"
#include "codegen/output_writers.h"

#include <algorithm>
#include <array>
#include <bit>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <unordered_map>
#include <vector>

namespace tgw {
namespace {

// A character map: `codes` empty for a run of consecutive codes (ids consecutive too), else the
// codes' offsets from `start`.
struct CLvglCmap {
    uint32_t start = 0;
    uint32_t length = 0;
    uint32_t firstId = 0;
    std::vector<uint16_t> codes;
    bool sparse() const { return !codes.empty(); }
};

struct CLvglKerning {
    bool classes = false;
    unsigned scale = 16; // 12.4
    // Pairs: (left id, right id) sorted, with their values.
    std::vector<std::pair<uint16_t, uint16_t>> pairs;
    std::vector<int8_t> values;
    // Classes: per glyph id its left and right class (0: none), and the table of
    // leftCount × rightCount values.
    std::vector<uint8_t> leftClass, rightClass;
    int leftCount = 0, rightCount = 0;
    std::vector<int8_t> table;
    bool empty() const { return pairs.empty() && table.empty(); }
};

struct CLvglFont {
    std::vector<const CProportionalGlyph*> glyphs; // id - 1
    std::vector<std::vector<uint8_t>> bitmaps;     // per glyph, as written
    std::vector<CLvglCmap> cmaps;
    CLvglKerning kerning;
    int depth = 1;
    int lineHeight = 0;
    int baseLine = 0;
    ECompression compression = ECompression::None;
};

// Up to 65535 glyph ids (0 reserved), as the character maps' first ids are 16 bits.
constexpr size_t kMaxGlyphs = 65534;
// The most character maps LVGL 8's descriptor counts (9 bits).
constexpr size_t kMaxCmaps = 511;

std::string glyphLabel(char16_t code) {
    return format("U+%04X", unsigned(code));
}

// Writes fields of up to 32 bits, the highest bit first, into bytes from their high bits; the
// last byte is padded with 0 bits when the writer goes.
class CBitWriter {
public:
    explicit CBitWriter(std::vector<uint8_t>& out) : m_out(out) {}
    ~CBitWriter() {
        flushBytes();
        if (m_count)
            m_out.push_back(uint8_t(m_bits << (8 - m_count)));
    }
    CBitWriter(const CBitWriter&) = delete;
    CBitWriter& operator=(const CBitWriter&) = delete;
    void put(uint32_t value, int bits) {
        if (bits <= 0)
            return;
        // Fewer than 32 bits wait: with up to 32 more they fit the 64.
        m_bits = (m_bits << bits) | (value & (bits >= 32 ? ~0u : (1u << bits) - 1));
        m_count += bits;
        if (m_count >= 32) {
            m_count -= 32;
            const auto word = uint32_t(m_bits >> m_count);
            const uint8_t bytes[4] = {uint8_t(word >> 24), uint8_t(word >> 16), uint8_t(word >> 8),
                                      uint8_t(word)};
            m_out.insert(m_out.end(), bytes, bytes + 4);
        }
    }
    // Whole bytes, as fields of 8 bits.
    void putBytes(const std::vector<uint8_t>& bytes) {
        if (m_count % 8 == 0) {
            flushBytes();
            m_out.insert(m_out.end(), bytes.begin(), bytes.end());
            return;
        }
        for (uint8_t b : bytes)
            put(b, 8);
    }

private:
    void flushBytes() {
        while (m_count >= 8) {
            m_count -= 8;
            m_out.push_back(uint8_t(m_bits >> m_count));
        }
    }

    std::vector<uint8_t>& m_out;
    uint64_t m_bits = 0; // the bits not yet written, lowest m_count of them
    int m_count = 0;
};

// How many of the `limit` levels from `p` on equal `v`: eight compared at a time, as a glyph's
// background runs long.
size_t runLength(const uint8_t* p, size_t limit, uint8_t v) {
    size_t k = 0;
    if constexpr (std::endian::native == std::endian::little) {
        const uint64_t pattern = 0x0101010101010101ull * v;
        for (; k + 8 <= limit; k += 8) {
            uint64_t word;
            std::memcpy(&word, p + k, 8);
            if (const uint64_t diff = word ^ pattern)
                return k + size_t(std::countr_zero(diff) / 8);
        }
    }
    while (k < limit && p[k] == v)
        ++k;
    return k;
}

// LVGL's run-length code of `levels` (after the optional XOR filter), as its decoder reads it:
// a field as it is; a field equal to the one before starts the repeat state, where each
// further equal field is one 1 bit and a different one is a 0 bit and the field; the eleventh
// 1 bit is followed by a 6-bit count c: c - 1 more equal fields, then a field as it is. The bits
// are packed as CBitWriter packs them, here in registers.
std::vector<uint8_t> rleOf(const std::vector<uint8_t>& levels, int depth) {
    const size_t n = levels.size();
    // At most a 0 bit and a field per field, and a count per eleven fields.
    std::vector<uint8_t> out(n * size_t(depth + 1) / 8 + 16);
    uint8_t* at = out.data();
    uint64_t pending = 0; // the bits not yet stored, the lowest `count` of them
    int count = 0;
    auto put = [&](uint32_t value, int bits) { // value < 2^bits
        pending = pending << bits | value;
        count += bits;
        if (count >= 32) {
            count -= 32;
            const auto word = uint32_t(pending >> count);
            at[0] = uint8_t(word >> 24);
            at[1] = uint8_t(word >> 16);
            at[2] = uint8_t(word >> 8);
            at[3] = uint8_t(word);
            at += 4;
        }
    };
    bool repeating = false;
    uint8_t previous = 0xFF; // no field before the first
    int repeats = 0;
    size_t i = 0;
    while (i < n) {
        const uint8_t v = levels[i];
        if (!repeating || v != previous) {
            // The field, after a 0 bit when it ends the repeat state; a field equal to the
            // one before starts that state.
            put(v, depth + int(repeating));
            repeating = !repeating && v == previous;
            repeats = 0;
            previous = v;
            ++i;
            continue;
        }
        // A 1 bit for each further equal field, up to the eleventh.
        const size_t same = 1 + runLength(levels.data() + i + 1,
                                          std::min(size_t(10 - repeats), n - i - 1), previous);
        put((1u << same) - 1, int(same));
        i += same;
        repeats += int(same);
        if (repeats < 11)
            continue;
        const size_t more = runLength(levels.data() + i, std::min<size_t>(62, n - i), previous);
        put(uint32_t(more + 1), 6);
        i += more;
        if (i < n) {
            previous = levels[i];
            put(previous, depth);
            ++i;
        }
        repeating = false;
    }
    for (; count >= 8; at++) {
        count -= 8;
        *at = uint8_t(pending >> count);
    }
    if (count)
        *at++ = uint8_t(pending << (8 - count));
    out.resize(size_t(at - out.data()));
    return out;
}

// The fields of `bits` as levels, `depth` a divisor of 8.
template <unsigned depth>
void unpackLevels(const std::vector<uint8_t>& bits, size_t total, std::vector<uint8_t>& levels) {
    constexpr unsigned perByte = 8 / depth, mask = (1u << depth) - 1;
    const size_t whole = total / perByte;
    // Each byte's levels, looked up whole: one store a byte.
    static constexpr auto kLevels = [] {
        std::array<std::array<uint8_t, perByte>, 256> table{};
        for (unsigned b = 0; b < 256; ++b)
            for (unsigned k = 0; k < perByte; ++k)
                table[b][k] = uint8_t((b >> (8 - depth * (k + 1))) & mask);
        return table;
    }();
    const uint8_t* in = bits.data(); // held here: the stores below may alias a vector's fields
    uint8_t* out = levels.data();
    for (size_t byte = 0; byte < whole; ++byte, out += perByte)
        std::memcpy(out, kLevels[in[byte]].data(), perByte);
    for (size_t i = whole * perByte, k = 0; i < total; ++i, ++k)
        levels[i] = uint8_t((bits[whole] >> (8 - depth * (k + 1))) & mask);
}

// The levels of a glyph's dots row by row, each row XOR-ed with the one above when asked.
// `levels` is the caller's, so that one buffer serves every glyph of a font.
void filteredLevels(const CBitMatrix& dots, bool xorFilter, std::vector<uint8_t>& levels) {
    const size_t w = size_t(dots.width()), total = w * size_t(dots.height());
    levels.resize(total);
    // The fields run on through the bytes, the first in the high bits.
    switch (dots.depth()) {
    case 1:
        unpackLevels<1>(dots.bits(), total, levels);
        break;
    case 2:
        unpackLevels<2>(dots.bits(), total, levels);
        break;
    case 4:
        unpackLevels<4>(dots.bits(), total, levels);
        break;
    default:
        unpackLevels<8>(dots.bits(), total, levels);
        break;
    }
    if (xorFilter)
        for (size_t row = total; row > w;) { // from the last row up, each from the one above
            row -= w;
            uint8_t* line = levels.data() + row;
            const uint8_t* above = line - w;
            for (size_t c = 0; c < w; ++c)
                line[c] ^= above[c];
        }
}

std::vector<uint8_t> bitmapOf(const CProportionalGlyph& g, ECompression compression,
                              std::vector<uint8_t>& scratch) {
    if (g.dots.empty())
        return {};
    if (compression == ECompression::None)
        return g.dots.bits();
    filteredLevels(g.dots, compression == ECompression::RleXorFilter, scratch);
    return rleOf(scratch, g.dots.depth());
}

// The character maps of codes in ascending order, ids from 1: a run of at least `minRun`
// codes gets its own map (a header only), shorter runs are gathered into sparse maps, each
// spanning at most 65535 codes.
std::vector<CLvglCmap> cmapsOf(const std::vector<const CProportionalGlyph*>& glyphs, int minRun) {
    std::vector<CLvglCmap> maps;
    CLvglCmap sparse;
    auto closeSparse = [&] {
        if (!sparse.codes.empty())
            maps.push_back(std::move(sparse));
        sparse = CLvglCmap();
    };
    size_t i = 0;
    while (i < glyphs.size()) {
        size_t j = i + 1;
        while (j < glyphs.size() && glyphs[j]->code == glyphs[j - 1]->code + 1)
            ++j;
        const uint32_t first = glyphs[i]->code;
        if (j - i >= size_t(minRun)) {
            closeSparse();
            maps.push_back({first, uint32_t(j - i), uint32_t(i + 1), {}});
        } else {
            for (size_t k = i; k < j; ++k) {
                const uint32_t code = glyphs[k]->code;
                if (!sparse.codes.empty() && code - sparse.start > 0xFFFE)
                    closeSparse();
                if (sparse.codes.empty()) {
                    sparse.start = code;
                    sparse.firstId = uint32_t(k + 1);
                }
                sparse.codes.push_back(uint16_t(code - sparse.start));
                sparse.length = code - sparse.start + 1;
            }
        }
        i = j;
    }
    closeSparse();
    return maps;
}

// Rounds a / b to the nearest integer, halves away from zero.
long roundedDivision(long a, long b) {
    return a >= 0 ? (a + b / 2) / b : -((-a + b / 2) / b);
}

} // namespace

CLvglLine lvglLine(const CLineMetrics& line) {
    return {std::max(line.lineAdvance, 1), line.lineAdvance - line.ascent};
}

CLvglKerningValues lvglKerningValues(const CProportionalFont& font) {
    CLvglKerningValues k;
    std::vector<char16_t> codes;
    for (const CProportionalGlyph* g : glyphsByCode(font))
        codes.push_back(g->code);
    auto inFont = [&](char16_t c) { return std::binary_search(codes.begin(), codes.end(), c); };
    // In 1/16 dot, between glyphs of the font.
    std::vector<std::pair<std::pair<char16_t, char16_t>, long>> sixteenths;
    long largest = 0;
    for (const CKerningPair& p : font.kerning) {
        if (!inFont(p.left) || !inFont(p.right))
            continue;
        const long v = roundedDivision(p.adjust, 4);
        if (v == 0)
            continue;
        sixteenths.push_back({{p.left, p.right}, v});
        largest = std::max(largest, std::labs(v));
    }
    if (sixteenths.empty())
        return k;
    // value × scale / 16 = the adjustment in 1/16 dot; the values are signed bytes.
    k.scale = unsigned(std::max(16L, (largest * 16 + 126) / 127));
    for (const auto& [pair, v] : sixteenths) {
        const long value = std::clamp(roundedDivision(v * 16, long(k.scale)), -127L, 127L);
        if (value)
            k.values[pair] = int8_t(value);
    }
    return k;
}

namespace {

CLvglKerning kerningOf(const CProportionalFont& font,
                       const std::unordered_map<char16_t, uint16_t>& ids, size_t glyphCount) {
    CLvglKerning k;
    const CLvglKerningValues byCode = lvglKerningValues(font);
    if (byCode.values.empty())
        return k;
    k.scale = byCode.scale;
    // Ids run in code order, so the pairs stay sorted.
    std::map<std::pair<uint16_t, uint16_t>, int8_t> values;
    for (const auto& [pair, v] : byCode.values)
        values[{ids.at(pair.first), ids.at(pair.second)}] = v;

    // Classes: the glyphs with the same row of values share a left class, those with the same
    // column a right class.
    std::map<uint16_t, std::vector<std::pair<uint16_t, int8_t>>> rows, columns;
    for (const auto& [pair, v] : values) {
        rows[pair.first].push_back({pair.second, v});
        columns[pair.second].push_back({pair.first, v});
    }
    std::map<std::vector<std::pair<uint16_t, int8_t>>, int> rowClass, columnClass;
    std::vector<uint8_t> left(glyphCount + 1, 0), right(glyphCount + 1, 0);
    bool fits = true;
    for (const auto& [id, row] : rows) {
        auto [it, added] = rowClass.emplace(row, int(rowClass.size()) + 1);
        fits = fits && it->second <= 255;
        left[id] = uint8_t(it->second);
    }
    for (const auto& [id, column] : columns) {
        auto [it, added] = columnClass.emplace(column, int(columnClass.size()) + 1);
        fits = fits && it->second <= 255;
        right[id] = uint8_t(it->second);
    }
    const size_t idBytes = glyphCount <= 255 ? 1 : 2;
    const size_t pairBytes = values.size() * (2 * idBytes + 1);
    const size_t classBytes = 2 * (glyphCount + 1) + rowClass.size() * columnClass.size();
    if (fits && classBytes < pairBytes) {
        k.classes = true;
        k.leftCount = int(rowClass.size());
        k.rightCount = int(columnClass.size());
        k.table.assign(size_t(k.leftCount) * size_t(k.rightCount), 0);
        for (const auto& [pair, v] : values)
            k.table[size_t(left[pair.first] - 1) * size_t(k.rightCount) +
                    size_t(right[pair.second] - 1)] = v;
        k.leftClass = std::move(left);
        k.rightClass = std::move(right);
        return k;
    }
    for (const auto& [pair, v] : values) {
        k.pairs.push_back(pair);
        k.values.push_back(v);
    }
    return k;
}

Result<CLvglFont> lvglFontOf(const CProportionalFont& font, const CWriterOptions& options,
                             int cmapHeaderBytes) {
    CLvglFont f;
    f.glyphs = glyphsByCode(font);
    if (f.glyphs.empty())
        return failure("an LVGL font needs at least one glyph");
    if (f.glyphs.size() > kMaxGlyphs)
        return failure(
            format("an LVGL font holds up to %zu glyphs, not %zu", kMaxGlyphs, f.glyphs.size()));
    f.depth = f.glyphs.front()->dots.empty() ? font.settings.depth : f.glyphs.front()->dots.depth();
    for (const CProportionalGlyph* g : f.glyphs) {
        if (!g->dots.empty())
            f.depth = g->dots.depth();
        if (g->advance < 0)
            return failure(format("%s advances %d dots; an LVGL font's advances are not negative",
                                  glyphLabel(g->code).c_str(), g->advance));
    }
    if (f.depth != 1 && f.depth != 2 && f.depth != 4 && f.depth != 8)
        return failure(format("an LVGL font has 1, 2, 4 or 8 bits a dot, not %d", f.depth));
    f.compression = options.compression;
    if (f.compression != ECompression::None && f.depth != 2 && f.depth != 4)
        return failure(format("LVGL decompresses glyphs of 2 and 4 bits a dot only, not %d (leave "
                              "out --compress, or choose --depth 2 or 4)",
                              f.depth));
    const CLvglLine line = lvglLine(font.line);
    f.lineHeight = line.lineHeight;
    f.baseLine = line.baseLine;
    f.bitmaps.reserve(f.glyphs.size());
    std::vector<uint8_t> scratch;
    for (const CProportionalGlyph* g : f.glyphs)
        f.bitmaps.push_back(bitmapOf(*g, f.compression, scratch));
    // A run gets its own map once the sparse map's two bytes a code would cost more.
    f.cmaps = cmapsOf(f.glyphs, std::max(2, cmapHeaderBytes / 2));
    if (f.cmaps.size() > kMaxCmaps)
        f.cmaps = cmapsOf(f.glyphs, INT_MAX);
    std::unordered_map<char16_t, uint16_t> ids;
    for (size_t i = 0; i < f.glyphs.size(); ++i)
        ids.emplace(f.glyphs[i]->code, uint16_t(i + 1));
    f.kerning = kerningOf(font, ids, f.glyphs.size());
    return f;
}

// The lower left dot of a glyph's box from the pen, y up; 0 for a glyph without ink.
int bottomOf(const CProportionalGlyph& g) {
    return g.dots.empty() ? 0 : -(g.yOffset + g.height());
}

// ---- C text -------------------------------------------------------------------------------

// `code` as a comment shows it: the character itself where it is printable.
std::string shownCode(char16_t code) {
    std::string text = glyphLabel(code);
    if (code >= 0x20 && code != 0x7F && !(code >= 0x80 && code < 0xA0) &&
        !(code >= 0xD800 && code < 0xE000)) {
        text += " \"";
        text += utf16ToUtf8(std::u16string(1, code));
        text += "\"";
    }
    return text;
}

// The font's symbol: --name, or "lv_font_" and the font's name (proportionalFontName()) in
// lower case, its words joined by "_", as LVGL's own fonts are named: "DejaVu Sans 16 4bpp"
// gives lv_font_dejavu_sans_16_4bpp.
std::string symbolOf(const CProportionalFont& font) {
    if (!font.identifier.empty())
        return font.identifier;
    std::string words;
    bool gap = false;
    for (char c : font.name) {
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        const bool digit = c >= '0' && c <= '9';
        if (!letter && !digit) {
            gap = !words.empty();
            continue;
        }
        if (gap)
            words += '_';
        gap = false;
        words += c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
    }
    return words.empty() ? "lv_font_glyphs" : "lv_font_" + words;
}

// "    1, 2, 3," lines of `perLine` numbers, in hex when asked.
template <class T> void appendNumbers(std::string& text, const T& items, int perLine, bool hex) {
    int column = 0;
    for (auto v : items) {
        text += column == 0 ? "    " : " ";
        text += hex ? format("0x%X,", unsigned(v)) : format("%d,", int(v));
        if (++column == perLine) {
            text += "\n";
            column = 0;
        }
    }
    if (column)
        text += "\n";
}

void appendBytes(std::string& text, const std::vector<uint8_t>& bytes) {
    CHexArrayText array(text, 16);
    for (uint8_t b : bytes)
        array.add(b);
    array.finish(false);
}

Status writeLvglText(const CProportionalFont& font, const CWriterOptions& options, IOutput& out) {
    const int version = options.libraryVersion;
    if (version != 8 && version != 9)
        return failure(format("LVGL fonts are written for LVGL 8 or 9, not %d", version));
    // A C map's entry: about 20 bytes of descriptor.
    Result<CLvglFont> made = lvglFontOf(font, options, 20);
    if (!made)
        return failure(made.error());
    const CLvglFont& f = *made;
    const std::string name = symbolOf(font);
    const bool compressed = f.compression != ECompression::None;

    // The descriptor's small layout holds boxes up to 255, offsets -128 to 127, advances
    // below 256 dots and 1 MiB of bitmaps; beyond them LVGL needs its large layout.
    bool large = false;
    size_t bitmapBytes = 0;
    for (size_t i = 0; i < f.glyphs.size(); ++i) {
        const CProportionalGlyph& g = *f.glyphs[i];
        const int bottom = bottomOf(g);
        large = large || g.width() > 255 || g.height() > 255 || g.xOffset < -128 ||
                g.xOffset > 127 || bottom < -128 || bottom > 127 || g.advance * 16 > 4095;
        bitmapBytes += f.bitmaps[i].size();
    }
    large = large || bitmapBytes >= (size_t(1) << 20);

    std::string text =
        format("/* %s: LVGL %d font of %zu glyphs, %d bit%s a pixel%s%s */\n\n", font.name.c_str(),
               version, f.glyphs.size(), f.depth, f.depth == 1 ? "" : "s",
               compressed ? ", compressed" : "", f.kerning.empty() ? "" : ", kerned");
    text += "#ifdef __has_include\n"
            "#if __has_include(\"lvgl.h\")\n"
            "#ifndef LV_LVGL_H_INCLUDE_SIMPLE\n"
            "#define LV_LVGL_H_INCLUDE_SIMPLE\n"
            "#endif\n"
            "#endif\n"
            "#endif\n\n"
            "#ifdef LV_LVGL_H_INCLUDE_SIMPLE\n"
            "#include \"lvgl.h\"\n"
            "#else\n"
            "#include \"lvgl/lvgl.h\"\n"
            "#endif\n\n";
    text += format("#if LVGL_VERSION_MAJOR != %d\n"
                   "#error \"%s is written for LVGL %d: write it again with --lvgl %s\"\n"
                   "#endif\n",
                   version, name.c_str(), version, version == 9 ? "8" : "9");
    if (compressed)
        text += format("#if !LV_USE_FONT_COMPRESSED\n"
                       "#error \"%s is compressed: set LV_USE_FONT_COMPRESSED to 1 in "
                       "lv_conf.h\"\n"
                       "#endif\n",
                       name.c_str());
    if (large)
        text += format("#if !LV_FONT_FMT_TXT_LARGE\n"
                       "#error \"%s needs LV_FONT_FMT_TXT_LARGE 1 in lv_conf.h (its glyphs or "
                       "bitmaps pass the small layout)\"\n"
                       "#endif\n",
                       name.c_str());
    text +=
        "\n/* Use it with LV_FONT_DECLARE(" + name + ") and lv_obj_set_style_text_font(). */\n\n";

    text += format("static LV_ATTRIBUTE_LARGE_CONST const uint8_t %s_glyph_bitmap[] = {\n",
                   name.c_str());
    for (size_t i = 0; i < f.glyphs.size(); ++i) {
        if (f.bitmaps[i].empty())
            continue;
        text += "    /* " + shownCode(f.glyphs[i]->code) + " */\n";
        appendBytes(text, f.bitmaps[i]);
        if (Status s = flushWhenFull(text, out); !s)
            return s;
    }
    // The decoder of compressed glyphs reads a byte beyond the last; an array is never empty.
    if (compressed || bitmapBytes == 0)
        text += "    0x00\n";
    text += "};\n\n";

    text += format("static const lv_font_fmt_txt_glyph_dsc_t %s_glyph_dsc[] = {\n"
                   "    {.bitmap_index = 0, .adv_w = 0, .box_w = 0, .box_h = 0, .ofs_x = 0, "
                   ".ofs_y = 0}, /* id 0: no glyph */\n",
                   name.c_str());
    size_t offset = 0;
    for (size_t i = 0; i < f.glyphs.size(); ++i) {
        const CProportionalGlyph& g = *f.glyphs[i];
        text += format("    {.bitmap_index = %zu, .adv_w = %d, .box_w = %d, .box_h = %d, "
                       ".ofs_x = %d, .ofs_y = %d}, /* %s */\n",
                       offset, g.advance * 16, g.width(), g.height(),
                       g.dots.empty() ? 0 : g.xOffset, bottomOf(g), glyphLabel(g.code).c_str());
        offset += f.bitmaps[i].size();
        if (Status s = flushWhenFull(text, out); !s)
            return s;
    }
    text += "};\n\n";

    for (size_t m = 0; m < f.cmaps.size(); ++m) {
        if (!f.cmaps[m].sparse())
            continue;
        text += format("static const uint16_t %s_unicode_list_%zu[] = {\n", name.c_str(), m);
        appendNumbers(text, f.cmaps[m].codes, 12, true);
        text += "};\n\n";
    }
    text += format("static const lv_font_fmt_txt_cmap_t %s_cmaps[] = {\n", name.c_str());
    for (size_t m = 0; m < f.cmaps.size(); ++m) {
        const CLvglCmap& c = f.cmaps[m];
        text += format("    {.range_start = %u, .range_length = %u, .glyph_id_start = %u, "
                       ".unicode_list = %s, .glyph_id_ofs_list = NULL, .list_length = %zu, "
                       ".type = LV_FONT_FMT_TXT_CMAP_%s},\n",
                       c.start, c.length, c.firstId,
                       c.sparse() ? format("%s_unicode_list_%zu", name.c_str(), m).c_str() : "NULL",
                       c.codes.size(), c.sparse() ? "SPARSE_TINY" : "FORMAT0_TINY");
    }
    text += "};\n\n";

    const CLvglKerning& k = f.kerning;
    std::string kernDsc = "NULL";
    if (!k.empty() && !k.classes) {
        const bool wide = f.glyphs.size() > 255;
        text += format("static const %s %s_kern_pair_glyph_ids[] = {\n",
                       wide ? "uint16_t" : "uint8_t", name.c_str());
        std::vector<uint16_t> ids;
        for (const auto& [l, r] : k.pairs) {
            ids.push_back(l);
            ids.push_back(r);
        }
        appendNumbers(text, ids, 16, false);
        text += format("};\n\nstatic const int8_t %s_kern_pair_values[] = {\n", name.c_str());
        appendNumbers(text, k.values, 16, false);
        text += format("};\n\nstatic const lv_font_fmt_txt_kern_pair_t %s_kern_pairs = {\n"
                       "    .glyph_ids = %s_kern_pair_glyph_ids,\n"
                       "    .values = %s_kern_pair_values,\n"
                       "    .pair_cnt = %zu,\n"
                       "    .glyph_ids_size = %d,\n"
                       "};\n\n",
                       name.c_str(), name.c_str(), name.c_str(), k.pairs.size(), wide ? 1 : 0);
        kernDsc = "&" + name + "_kern_pairs";
    } else if (!k.empty()) {
        auto list = [&](const char* type, const char* what, const auto& items) {
            text += format("static const %s %s_%s[] = {\n", type, name.c_str(), what);
            appendNumbers(text, items, 16, false);
            text += "};\n\n";
        };
        list("uint8_t", "kern_left_class_mapping", k.leftClass);
        list("uint8_t", "kern_right_class_mapping", k.rightClass);
        list("int8_t", "kern_class_values", k.table);
        text += format("static const lv_font_fmt_txt_kern_classes_t %s_kern_classes = {\n"
                       "    .class_pair_values = %s_kern_class_values,\n"
                       "    .left_class_mapping = %s_kern_left_class_mapping,\n"
                       "    .right_class_mapping = %s_kern_right_class_mapping,\n"
                       "    .left_class_cnt = %d,\n"
                       "    .right_class_cnt = %d,\n"
                       "};\n\n",
                       name.c_str(), name.c_str(), name.c_str(), name.c_str(), k.leftCount,
                       k.rightCount);
        kernDsc = "&" + name + "_kern_classes";
    }

    // Written as numbers: LVGL 8 gives LV_FONT_FMT_TXT_COMPRESSED_NO_PREFILTER the value of
    // LV_FONT_FMT_TXT_COMPRESSED (1), while both versions decode 2 without the filter.
    const int bitmapFormat = f.compression == ECompression::RleXorFilter ? 1
                             : f.compression == ECompression::Rle        ? 2
                                                                         : 0;
    if (version == 8)
        text += format("static lv_font_fmt_txt_glyph_cache_t %s_cache;\n\n", name.c_str());
    text +=
        format("static const lv_font_fmt_txt_dsc_t %s_dsc = {\n"
               "    .glyph_bitmap = %s_glyph_bitmap,\n"
               "    .glyph_dsc = %s_glyph_dsc,\n"
               "    .cmaps = %s_cmaps,\n"
               "    .kern_dsc = %s,\n"
               "    .kern_scale = %u,\n"
               "    .cmap_num = %zu,\n"
               "    .bpp = %d,\n"
               "    .kern_classes = %d,\n"
               "    .bitmap_format = %d,\n",
               name.c_str(), name.c_str(), name.c_str(), name.c_str(), kernDsc.c_str(),
               k.empty() ? 16u : k.scale, f.cmaps.size(), f.depth, k.classes ? 1 : 0, bitmapFormat);
    if (version == 8)
        text += format("    .cache = &%s_cache,\n", name.c_str());
    text += "};\n\n";

    text += format("const lv_font_t %s = {\n"
                   "    .get_glyph_dsc = lv_font_get_glyph_dsc_fmt_txt,\n"
                   "    .get_glyph_bitmap = lv_font_get_bitmap_fmt_txt,\n"
                   "    .line_height = %d, /* from one baseline to the next */\n"
                   "    .base_line = %d, /* from the bottom of the line up to the baseline */\n"
                   "    .subpx = LV_FONT_SUBPX_NONE,\n"
                   "    .underline_position = -1,\n"
                   "    .underline_thickness = 1,\n",
                   name.c_str(), f.lineHeight, f.baseLine);
    if (version == 9)
        text += format("#if LV_VERSION_CHECK(9, 3, 0)\n"
                       "    .static_bitmap = %d,\n"
                       "#endif\n",
                       compressed ? 0 : 1);
    text += format("    .dsc = &%s_dsc,\n", name.c_str());
    if (version == 8)
        text += "#if LV_VERSION_CHECK(8, 2, 0)\n"
                "    .fallback = NULL,\n"
                "#endif\n";
    else
        text += "    .fallback = NULL,\n";
    text += "    .user_data = NULL,\n};\n";
    return out.write(text);
}

// ---- the binary font ----------------------------------------------------------------------

class CLeBytes {
public:
    void u8(unsigned v) { m_bytes.push_back(char(v & 0xFF)); }
    void u16(unsigned v) {
        u8(v);
        u8(v >> 8);
    }
    void u32(uint32_t v) {
        u16(v & 0xFFFF);
        u16(v >> 16);
    }
    void bytes(const std::vector<uint8_t>& b) { m_bytes.append(b.begin(), b.end()); }
    void align4() {
        while (m_bytes.size() % 4)
            u8(0);
    }
    size_t size() const { return m_bytes.size(); }
    void set32(size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            m_bytes[at + size_t(i)] = char((v >> (8 * i)) & 0xFF);
    }
    // A table's record: its size (set when it ends) and its four-letter label.
    size_t begin(const char* label) {
        const size_t at = size();
        u32(0);
        m_bytes.append(label, 4);
        return at;
    }
    void end(size_t at) {
        align4();
        set32(at, uint32_t(size() - at));
    }
    std::string& data() { return m_bytes; }

private:
    std::string m_bytes;
};

// The bits an unsigned value up to `v` takes; a signed one from `low` to `high`.
int unsignedBits(long v) {
    int bits = 0;
    while (v >> bits)
        ++bits;
    return bits;
}
int signedBits(long low, long high) {
    int bits = 1;
    while (low < -(1L << (bits - 1)) || high > (1L << (bits - 1)) - 1)
        ++bits;
    return bits;
}

int pixelSizeOf(const CProportionalFont& font) {
    const CFontSettings& s = font.settings;
    int size = s.kind == kFontTrueType && !s.fitCell && s.size ? s.size : s.height;
    return std::max(size > 0 ? size : font.line.lineAdvance, 1);
}

Status writeLvglBinary(const CProportionalFont& font, const CWriterOptions& options, IOutput& out) {
    // A binary map's header: 16 bytes.
    Result<CLvglFont> made = lvglFontOf(font, options, 16);
    if (!made)
        return failure(made.error());
    const CLvglFont& f = *made;
    const CLvglKerning& k = f.kerning;

    long xyLow = 0, xyHigh = 0, wh = 0, advance = 0, minY = 0, maxY = 0;
    bool sameAdvance = true;
    for (const CProportionalGlyph* g : f.glyphs) {
        const int bottom = bottomOf(*g);
        const int x = g->dots.empty() ? 0 : g->xOffset;
        xyLow = std::min({xyLow, long(x), long(bottom)});
        xyHigh = std::max({xyHigh, long(x), long(bottom)});
        wh = std::max({wh, long(g->width()), long(g->height())});
        advance = std::max(advance, long(g->advance));
        sameAdvance = sameAdvance && g->advance == f.glyphs.front()->advance;
        if (!g->dots.empty()) {
            minY = std::min(minY, long(bottom));
            maxY = std::max(maxY, long(bottom + g->height()));
        }
    }
    if (advance > 0xFFFF || wh > 0xFFFF || xyLow < -0x8000 || xyHigh > 0x7FFF)
        return failure("the glyphs are too large for an LVGL binary font");
    const int xyBits = signedBits(xyLow, xyHigh);
    const int whBits = std::max(1, unsignedBits(wh));
    const int advanceBits = sameAdvance ? 0 : std::max(1, unsignedBits(advance));
    const bool wideIds = f.glyphs.size() > 255;

    // The glyph records first: their offsets decide the location table's width.
    std::vector<std::vector<uint8_t>> records(f.glyphs.size() + 1);
    {
        CBitWriter bits(records[0]);
        for (int field : {advanceBits, xyBits, xyBits, whBits, whBits})
            bits.put(0, field);
    }
    for (size_t i = 0; i < f.glyphs.size(); ++i) {
        const CProportionalGlyph& g = *f.glyphs[i];
        std::vector<uint8_t>& r = records[i + 1];
        CBitWriter bits(r);
        if (advanceBits)
            bits.put(uint32_t(g.advance), advanceBits);
        const uint32_t mask = xyBits >= 32 ? ~0u : (1u << xyBits) - 1;
        bits.put(uint32_t(g.dots.empty() ? 0 : g.xOffset) & mask, xyBits);
        bits.put(uint32_t(bottomOf(g)) & mask, xyBits);
        bits.put(uint32_t(g.width()), whBits);
        bits.put(uint32_t(g.height()), whBits);
        const std::vector<uint8_t>& bitmap = f.bitmaps[i];
        if (f.compression == ECompression::None) {
            // The fields themselves, straight after the header's bits: the whole bytes, then
            // the bits of the last that are fields.
            const size_t fieldBits = size_t(g.width()) * size_t(g.height()) * size_t(f.depth);
            const size_t whole = fieldBits / 8;
            for (size_t b = 0; b < whole; ++b)
                bits.put(bitmap[b], 8);
            if (fieldBits % 8)
                bits.put(uint32_t(bitmap[whole] >> (8 - fieldBits % 8)), int(fieldBits % 8));
        } else {
            bits.putBytes(bitmap);
        }
    }
    // The decoder of compressed glyphs reads a byte beyond a glyph's last.
    if (f.compression != ECompression::None)
        records.back().push_back(0);
    std::vector<uint32_t> offsets;
    uint32_t at = 8; // from the start of the glyph table, past its size and label
    for (const std::vector<uint8_t>& r : records) {
        offsets.push_back(at);
        at += uint32_t(r.size());
    }
    const bool longOffsets = offsets.back() > 0xFFFF;

    CLeBytes b;
    const size_t head = b.begin("head");
    b.u32(1);                 // version
    b.u16(k.empty() ? 3 : 4); // tables after this one
    b.u16(unsigned(pixelSizeOf(font)));
    const int ascent = std::max(font.line.ascent, 0);
    b.u16(unsigned(ascent));
    b.u16(unsigned(-f.baseLine) & 0xFFFF); // descent, down < 0
    b.u16(unsigned(ascent));               // typographic ascent, descent, line gap
    b.u16(unsigned(-f.baseLine) & 0xFFFF);
    b.u16(unsigned(std::max(0, f.lineHeight - ascent - f.baseLine)));
    b.u16(unsigned(minY) & 0xFFFF);
    b.u16(unsigned(maxY) & 0xFFFF);
    b.u16(sameAdvance ? unsigned(f.glyphs.front()->advance) : 0);
    b.u16(k.empty() ? 16 : k.scale);
    b.u8(longOffsets ? 1 : 0);
    b.u8(wideIds ? 1 : 0);
    b.u8(0); // advances in whole dots
    b.u8(unsigned(f.depth));
    b.u8(unsigned(xyBits));
    b.u8(unsigned(whBits));
    b.u8(unsigned(advanceBits));
    b.u8(f.compression == ECompression::RleXorFilter ? 1
         : f.compression == ECompression::Rle        ? 2
                                                     : 0);
    b.u8(0); // no subpixels
    b.u8(0);
    b.u16(0xFFFF); // underline position -1
    b.u16(1);      // and thickness
    b.end(head);

    const size_t cmap = b.begin("cmap");
    b.u32(uint32_t(f.cmaps.size()));
    uint32_t dataAt = uint32_t(12 + 16 * f.cmaps.size());
    for (const CLvglCmap& c : f.cmaps) {
        b.u32(c.sparse() ? dataAt : 0);
        b.u32(c.start);
        b.u16(c.length);
        b.u16(c.firstId);
        b.u16(unsigned(c.codes.size()));
        b.u8(c.sparse() ? 3 : 2);
        b.u8(0);
        if (c.sparse())
            dataAt += uint32_t((c.codes.size() * 2 + 3) / 4 * 4);
    }
    for (const CLvglCmap& c : f.cmaps) {
        for (uint16_t code : c.codes)
            b.u16(code);
        b.align4();
    }
    b.end(cmap);

    const size_t loca = b.begin("loca");
    b.u32(uint32_t(offsets.size()));
    for (uint32_t o : offsets)
        longOffsets ? b.u32(o) : b.u16(o);
    b.end(loca);

    const size_t glyf = b.begin("glyf");
    for (const std::vector<uint8_t>& r : records)
        b.bytes(r);
    b.end(glyf);

    if (!k.empty()) {
        const size_t kern = b.begin("kern");
        b.u8(k.classes ? 3 : 0);
        b.u8(0);
        b.u8(0);
        b.u8(0);
        if (!k.classes) {
            b.u32(uint32_t(k.pairs.size()));
            for (const auto& [l, r] : k.pairs) {
                wideIds ? b.u16(l) : b.u8(l);
                wideIds ? b.u16(r) : b.u8(r);
            }
            for (int8_t v : k.values)
                b.u8(uint8_t(v));
        } else {
            b.u16(unsigned(k.leftClass.size()));
            b.u8(unsigned(k.leftCount));
            b.u8(unsigned(k.rightCount));
            b.bytes(k.leftClass);
            b.bytes(k.rightClass);
            for (int8_t v : k.table)
                b.u8(uint8_t(v));
        }
        b.end(kern);
    }
    return out.write(b.data());
}

} // namespace

COutputWriter lvglFontWriter() {
    COutputWriter w{.name = "lvgl",
                    .extension = "c",
                    .description =
                        "LVGL font (C): an lv_font_t with its glyphs, character maps and kerning",
                    .label = TGW_TR_NOOP("tgw::core::writers", "LVGL 字体（C）"),
                    .input = EWriterInput::Proportional,
                    .binary = false,
                    .takesIndex = false};
    w.writeProportional = [](const CProportionalFont& font, const CEncodingOptions&,
                             const CWriterOptions& options,
                             IOutput& out) { return writeLvglText(font, options, out); };
    w.depths = kEveryDepth;
    w.takesName = true;
    w.takesKerning = true;
    w.compressedDepths = (1u << 1) | (1u << 3);
    return w;
}

COutputWriter lvglBinaryFontWriter() {
    COutputWriter w{.name = "lvgl-bin",
                    .extension = "bin",
                    .description = "LVGL binary font, for lv_binfont_create at run time",
                    .label = TGW_TR_NOOP("tgw::core::writers", "LVGL 二进制字体"),
                    .input = EWriterInput::Proportional,
                    .binary = true,
                    .takesIndex = false};
    w.writeProportional = [](const CProportionalFont& font, const CEncodingOptions&,
                             const CWriterOptions& options,
                             IOutput& out) { return writeLvglBinary(font, options, out); };
    w.depths = kEveryDepth;
    w.takesKerning = true;
    w.compressedDepths = (1u << 1) | (1u << 3);
    return w;
}

} // namespace tgw
