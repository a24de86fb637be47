// The u8g2 writer: the glyphs as a C array in the display library's own font format, one bit a
// dot. The array is a 23-byte header, the glyphs of codes up to 0xFF (a code byte and a size
// byte each, ended by two zero bytes), a jump table into the glyphs above 0xFF (two code bytes
// and a size byte each, ended by a zero code). A glyph is a stream of bits, each field's lowest
// bit first: width, height, x offset, y offset, advance (the signed ones stored plus half their
// range), then its dots row by row as pairs of runs (so many dark-less dots, so many dark),
// each pair followed by one bit: 1 to draw it again, 0 to go on. The run and field widths are
// the font's, chosen for a small array.
#include "base/screen_text.h"

#include "base/output.h"
#include "base/text.h"
#include "codegen/output_writers.h"

#include <algorithm>
#include <array>
#include <bit>
#include <climits>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace tgw {
namespace {

constexpr size_t kHeaderBytes = 23;
// Glyphs above 0xFF per entry of the jump table: the decoder walks at most this many.
constexpr size_t kGlyphsPerJump = 100;

std::string glyphLabel(char16_t code) {
    return format("U+%04X", unsigned(code));
}

// The format's y offset: from the baseline up to the box's lowest row.
int bottomOf(const CProportionalGlyph& g) {
    return g.dots.empty() ? 0 : -(g.yOffset + g.height());
}

Status checkU8g2Glyph(const CProportionalGlyph& g) {
    const std::string label = glyphLabel(g.code);
    // The decoder keeps the height in a signed byte.
    if (g.width() > 255 || g.height() > 127)
        return failure(format("%s is %dx%d dots; the format holds 255 wide and 127 high",
                              label.c_str(), g.width(), g.height()));
    if (g.advance < -128 || g.advance > 127)
        return failure(
            format("%s advances %d dots; the format holds -128 to 127", label.c_str(), g.advance));
    const int bottom = bottomOf(g);
    if (g.xOffset < -128 || g.xOffset > 127 || bottom < -128 || bottom > 127 ||
        bottom + g.height() > 127)
        return failure(format("%s is placed at %d, %d; the format's offsets hold -128 to 127",
                              label.c_str(), g.xOffset, bottom));
    return {};
}

// A glyph's dots as runs: so many dots without ink, then so many with, to the last dot.
using CRuns = std::vector<std::pair<uint32_t, uint32_t>>;

// The stream's bytes from `at` on as one word, the first byte highest (zeros past the end).
uint64_t wordAt(const std::vector<uint8_t>& bits, size_t at) {
    uint64_t word = 0;
    if (at + 8 <= bits.size()) {
        for (size_t k = 0; k < 8; ++k)
            word = word << 8 | bits[at + k];
    } else {
        for (size_t k = 0; k < 8; ++k)
            word = word << 8 | (at + k < bits.size() ? bits[at + k] : 0u);
    }
    return word;
}

// Scans 64 dots at a time, jumping from one change between ink and no ink to the next.
CRuns runsOf(const CBitMatrix& dots) {
    CRuns runs;
    const size_t total = size_t(dots.width()) * size_t(dots.height());
    const std::vector<uint8_t>& bits = dots.bits();
    size_t pairStart = 0, inkStart = 0;
    bool inInk = false;
    for (size_t base = 0; base < total; base += 64) {
        const uint64_t word = wordAt(bits, base >> 3);
        uint64_t from = ~uint64_t(0); // the dots of the word not yet looked at
        for (;;) {
            // The next dot that ends the current run: ink when outside it, no ink inside.
            const uint64_t change = (inInk ? ~word : word) & from;
            if (!change)
                break;
            const auto at = unsigned(std::countl_zero(change));
            const size_t dot = base + at;
            if (dot >= total)
                break;
            if (inInk) {
                runs.emplace_back(uint32_t(inkStart - pairStart), uint32_t(dot - inkStart));
                pairStart = dot;
            } else {
                inkStart = dot;
            }
            inInk = !inInk;
            from = ~uint64_t(0) >> at;
        }
    }
    if (inInk)
        runs.emplace_back(uint32_t(inkStart - pairStart), uint32_t(total - inkStart));
    else if (pairStart < total)
        runs.emplace_back(uint32_t(total - pairStart), 0u);
    return runs;
}

// Calls `emit(a, b)` for the pairs one pair of runs takes when a pair holds at most `max0`
// dots without ink and `max1` with.
template <typename F>
void splitPair(uint32_t a, uint32_t b, uint32_t max0, uint32_t max1, F&& emit) {
    while (a > max0) {
        emit(max0, 0u);
        a -= max0;
    }
    while (b > max1) {
        emit(a, max1);
        a = 0;
        b -= max1;
    }
    if (a || b)
        emit(a, b);
}

template <typename F> void splitRuns(const CRuns& runs, uint32_t max0, uint32_t max1, F&& emit) {
    for (auto [a, b] : runs)
        splitPair(a, b, max0, max1, emit);
}

// The bits one pair of runs takes on its own: each pair it splits into and its closing 0 when it
// differs from the one before, a 1 when it repeats it.
size_t pairBits(uint32_t a, uint32_t b, int bits0, int bits1) {
    size_t total = 0;
    uint32_t last0 = UINT32_MAX, last1 = UINT32_MAX;
    splitPair(a, b, (1u << bits0) - 1, (1u << bits1) - 1, [&](uint32_t x, uint32_t y) {
        if (x == last0 && y == last1) {
            ++total;
        } else {
            total += size_t(bits0 + bits1 + 1);
            last0 = x;
            last1 = y;
        }
    });
    return total;
}

// Appends fields to a string, each from its lowest bit, filling each byte from its lowest bit.
class CBitWriter {
public:
    explicit CBitWriter(std::string& out) : m_out(out) {}
    ~CBitWriter() { flush(); }
    // Up to 32 bits; whole bytes leave four at a time.
    void put(uint32_t value, int bits) {
        m_acc |= uint64_t(value & uint32_t((uint64_t(1) << bits) - 1)) << m_count;
        m_count += bits;
        if (m_count >= 32) {
            const char word[4] = {char(uint8_t(m_acc)), char(uint8_t(m_acc >> 8)),
                                  char(uint8_t(m_acc >> 16)), char(uint8_t(m_acc >> 24))};
            m_out.append(word, 4);
            m_acc >>= 32;
            m_count -= 32;
        }
    }
    // The bytes still held, the last one partly filled.
    void flush() {
        for (; m_count > 0; m_count -= 8) {
            m_out.push_back(char(uint8_t(m_acc)));
            m_acc >>= 8;
        }
        m_acc = 0;
        m_count = 0;
    }

private:
    std::string& m_out;
    uint64_t m_acc = 0;
    int m_count = 0;
};

// The widths of the font's fields: the fewest bits that hold every value.
struct CWidths {
    int bits0 = 1, bits1 = 1, width = 1, height = 1, x = 1, y = 1, advance = 1;
};

int unsignedBits(int max) {
    int bits = 1;
    while (bits < 8 && max > (1 << bits) - 1)
        ++bits;
    return bits;
}

int signedBits(int lo, int hi) {
    int bits = 1;
    while (bits < 8 && (lo < -(1 << (bits - 1)) || hi > (1 << (bits - 1)) - 1))
        ++bits;
    return bits;
}

// Appends the glyph's record to `out`; its size, which must fit the record's size byte.
size_t encodeGlyph(const CProportionalGlyph& g, const CRuns& runs, const CWidths& w,
                   std::string& out) {
    const size_t start = out.size();
    if (g.code > 0xFF)
        out.push_back(char(g.code >> 8));
    out.push_back(char(g.code & 0xFF));
    const size_t sizeAt = out.size();
    out.push_back(0); // the size, known at the end
    {
        CBitWriter bits(out);
        const int half[] = {1 << (w.x - 1), 1 << (w.y - 1), 1 << (w.advance - 1)};
        bits.put(uint32_t(g.width()), w.width);
        bits.put(uint32_t(g.height()), w.height);
        bits.put(uint32_t(g.xOffset + half[0]), w.x);
        bits.put(uint32_t(bottomOf(g) + half[1]), w.y);
        bits.put(uint32_t(g.advance + half[2]), w.advance);
        if (!g.dots.empty()) {
            bool first = true;
            uint32_t last0 = 0, last1 = 0;
            splitRuns(runs, (1u << w.bits0) - 1, (1u << w.bits1) - 1, [&](uint32_t a, uint32_t b) {
                if (!first && a == last0 && b == last1) {
                    bits.put(1, 1);
                    return;
                }
                // The closing 0 of the pair before, then this pair's two runs, in one field.
                const uint32_t pair = a | b << w.bits0;
                if (first)
                    bits.put(pair, w.bits0 + w.bits1);
                else
                    bits.put(pair << 1, 1 + w.bits0 + w.bits1);
                first = false;
                last0 = a;
                last1 = b;
            });
            bits.put(0, 1);
        }
    }
    const size_t size = out.size() - start;
    out[sizeAt] = char(uint8_t(std::min<size_t>(size, 0xFF)));
    return size;
}

void putWord(std::string& out, size_t value) {
    out.push_back(char((value >> 8) & 0xFF));
    out.push_back(char(value & 0xFF));
}

// The whole array's bytes.
Result<std::string> u8g2FontBytes(const CProportionalFont& font) {
    const std::vector<const CProportionalGlyph*> glyphs = glyphsByCode(font);

    CWidths w;
    int maxWidth = 0, maxHeight = 0, loX = 0, hiX = 0, loY = 0, hiY = 0, loD = 0, hiD = 0;
    int left = INT_MAX, right = INT_MIN, bottom = INT_MAX, top = INT_MIN;
    std::vector<CRuns> runs;
    runs.reserve(glyphs.size());
    for (const CProportionalGlyph* g : glyphs) {
        if (Status s = checkU8g2Glyph(*g); !s)
            return failure(s.error());
        maxWidth = std::max(maxWidth, g->width());
        maxHeight = std::max(maxHeight, g->height());
        loX = std::min(loX, g->xOffset);
        hiX = std::max(hiX, g->xOffset);
        loY = std::min(loY, bottomOf(*g));
        hiY = std::max(hiY, bottomOf(*g));
        loD = std::min(loD, g->advance);
        hiD = std::max(hiD, g->advance);
        if (!g->dots.empty()) {
            left = std::min(left, g->xOffset);
            right = std::max(right, g->xOffset + g->width());
            bottom = std::min(bottom, bottomOf(*g));
            top = std::max(top, bottomOf(*g) + g->height());
        }
        runs.push_back(runsOf(g->dots));
    }
    w.width = unsignedBits(maxWidth);
    w.height = unsignedBits(maxHeight);
    w.x = signedBits(loX, hiX);
    w.y = signedBits(loY, hiY);
    w.advance = signedBits(loD, hiD);
    // The run widths that make the smallest glyphs, reckoned from how often each pair of runs
    // comes and how often it repeats the one before (a repeat of a pair that fits costs one
    // bit); the glyphs' padding to whole bytes is left out of the reckoning.
    // Pairs of runs under 256 dots each are counted in a table, longer ones in a map.
    struct CCount {
        size_t total = 0, repeats = 0;
    };
    std::vector<CCount> shortPairs(size_t(1) << 16);
    std::vector<uint32_t> shortSeen; // the table's pairs that come at all
    std::unordered_map<uint64_t, CCount> longPairs;
    for (const CRuns& r : runs)
        for (size_t i = 0; i < r.size(); ++i) {
            const auto [a, b] = r[i];
            CCount* c = nullptr;
            if (a < 256 && b < 256) {
                const uint32_t key = a << 8 | b;
                c = &shortPairs[key];
                if (c->total == 0)
                    shortSeen.push_back(key);
            } else {
                c = &longPairs[uint64_t(a) << 32 | b];
            }
            ++c->total;
            if (i > 0 && r[i] == r[i - 1])
                ++c->repeats;
        }
    size_t best = SIZE_MAX;
    for (int b0 = 2; b0 <= 7; ++b0)
        for (int b1 = 2; b1 <= 7; ++b1) {
            const uint32_t max0 = (1u << b0) - 1, max1 = (1u << b1) - 1;
            size_t total = 0;
            auto add = [&](uint32_t a, uint32_t b, const CCount& count) {
                if (a <= max0 && b <= max1)
                    total += (count.total - count.repeats) * size_t(b0 + b1 + 1) + count.repeats;
                else
                    total += count.total * pairBits(a, b, b0, b1);
            };
            for (uint32_t key : shortSeen)
                add(key >> 8, key & 0xFF, shortPairs[key]);
            for (const auto& [key, count] : longPairs)
                add(uint32_t(key >> 32), uint32_t(key), count);
            if (total < best) {
                best = total;
                w.bits0 = b0;
                w.bits1 = b1;
            }
        }
    if (left == INT_MAX)
        left = right = bottom = top = 0;
    if (right - left > 255 || top - bottom > 255)
        return failure(format("the glyphs together span %dx%d dots; the format holds 255 on a side",
                              right - left, top - bottom));

    // The font's heights: those of 'A', 'g' and '(' where the font has them, else its own.
    auto find = [&](char16_t code) -> const CProportionalGlyph* {
        auto it = std::lower_bound(glyphs.begin(), glyphs.end(), code,
                                   [](auto* g, char16_t c) { return g->code < c; });
        return it != glyphs.end() && (*it)->code == code && !(*it)->dots.empty() ? *it : nullptr;
    };
    const CProportionalGlyph* capital = find('A');
    const CProportionalGlyph* descender = find('g');
    const CProportionalGlyph* paren = find('(');
    const int ascentA = capital ? bottomOf(*capital) + capital->height() : top;
    const int descentG = descender ? bottomOf(*descender) : bottom;
    const int ascentParen = paren ? bottomOf(*paren) + paren->height() : top;
    const int descentParen = paren ? bottomOf(*paren) : bottom;

    auto tooLarge = [](const CProportionalGlyph& g, size_t size) -> Result<std::string> {
        return failure(format("%s takes %zu bytes; a glyph of the format holds 255 (use a "
                              "smaller size)",
                              glyphLabel(g.code).c_str(), size));
    };
    std::string data(kHeaderBytes, '\0');
    data.reserve(kHeaderBytes + best / 8 + glyphs.size() * 6 + 4 * (glyphs.size() / 64 + 2));
    data[0] = char(std::min<size_t>(glyphs.size(), 0xFF));
    data[1] = 0; // proportional: every glyph its own box
    data[2] = char(w.bits0);
    data[3] = char(w.bits1);
    data[4] = char(w.width);
    data[5] = char(w.height);
    data[6] = char(w.x);
    data[7] = char(w.y);
    data[8] = char(w.advance);
    data[9] = char(right - left);
    data[10] = char(top - bottom);
    data[11] = char(int8_t(std::clamp(left, -128, 127)));
    data[12] = char(int8_t(std::clamp(bottom, -128, 127)));
    data[13] = char(int8_t(std::clamp(ascentA, -128, 127)));
    data[14] = char(int8_t(std::clamp(descentG, -128, 127)));
    data[15] = char(int8_t(std::clamp(ascentParen, -128, 127)));
    data[16] = char(int8_t(std::clamp(descentParen, -128, 127)));

    size_t k = 0;
    size_t upperA = SIZE_MAX, lowerA = SIZE_MAX;
    for (; k < glyphs.size() && glyphs[k]->code <= 0xFF; ++k) {
        const CProportionalGlyph& g = *glyphs[k];
        if (g.code >= 'A' && upperA == SIZE_MAX)
            upperA = data.size() - kHeaderBytes;
        if (g.code >= 'a' && lowerA == SIZE_MAX)
            lowerA = data.size() - kHeaderBytes;
        if (const size_t size = encodeGlyph(g, runs[k], w, data); size > 0xFF)
            return tooLarge(g, size);
    }
    // Up to 255 glyphs of up to 255 bytes: the first part always fits the 16-bit offsets.
    const size_t end = data.size() - kHeaderBytes;
    data.append(2, '\0');
    const size_t unicode = data.size() - kHeaderBytes;
    auto setWord = [&](size_t at, size_t value) {
        data[at] = char((value >> 8) & 0xFF);
        data[at + 1] = char(value & 0xFF);
    };
    setWord(17, upperA == SIZE_MAX ? end : upperA);
    setWord(19, lowerA == SIZE_MAX ? end : lowerA);
    setWord(21, unicode);

    // The jump table: per block of glyphs the distance from the block before (the first from
    // the table) and the block's last code; the last entry's code is 0xFFFF, where every
    // search stops.
    const size_t above = glyphs.size() - k;
    const size_t entries = std::max<size_t>(1, (above + kGlyphsPerJump - 1) / kGlyphsPerJump);
    if (entries * 4 > 0xFFFF)
        return failure("the font has too many glyphs above 0xFF for the format's jump table");
    const size_t table = data.size();
    data.append(entries * 4, '\0');
    size_t blockStart = data.size(), previous = table, entry = 0;
    for (size_t n = 0; k < glyphs.size(); ++k, ++n) {
        const CProportionalGlyph& g = *glyphs[k];
        if (n % kGlyphsPerJump == 0)
            blockStart = data.size();
        if (const size_t size = encodeGlyph(g, runs[k], w, data); size > 0xFF)
            return tooLarge(g, size);
        if (n % kGlyphsPerJump == kGlyphsPerJump - 1 || k + 1 == glyphs.size()) {
            setWord(table + 4 * entry, blockStart - previous);
            setWord(table + 4 * entry + 2, entry + 1 == entries ? 0xFFFF : g.code);
            previous = blockStart;
            ++entry;
        }
    }
    if (above == 0) {
        setWord(table, 4);
        setWord(table + 2, 0xFFFF);
    }
    putWord(data, 0);
    return data;
}

Status writeU8g2Font(const CProportionalFont& font, IOutput& out) {
    if (font.glyphs.empty())
        return failure("a u8g2 font needs at least one glyph");
    Result<std::string> data = u8g2FontBytes(font);
    if (!data)
        return failure(data.error());
    const std::string name = font.identifier.empty() ? cIdentifier(font.name) : font.identifier;
    std::string text =
        format("/* %s: u8g2 font, %zu glyphs, %zu bytes; draw with u8g2_SetFont(&u8g2, %s) */\n"
               "#include <stdint.h>\n\n"
               "#ifndef U8G2_FONT_SECTION\n"
               "#define U8G2_FONT_SECTION(name)\n"
               "#endif\n\n",
               name.c_str(), font.glyphs.size(), data->size(), name.c_str());
    text += format("const uint8_t %s[%zu] U8G2_FONT_SECTION(\"%s\") = {\n", name.c_str(),
                   data->size(), name.c_str());
    CHexArrayText array(text, 16);
    for (char c : *data) {
        array.add(uint8_t(c));
        if (Status s = flushWhenFull(text, out); !s)
            return s;
    }
    array.finish(false);
    text += "};\n";
    return out.write(text);
}

} // namespace

COutputWriter u8g2FontWriter() {
    COutputWriter w{.name = "u8g2",
                    .extension = "c",
                    .description =
                        "u8g2 font: a C array of run-length coded glyphs for u8g2_SetFont",
                    .label = TGW_TR_NOOP("tgw::core::writers", "u8g2 字体（C 数组）"),
                    .input = EWriterInput::Proportional,
                    .binary = false,
                    .takesIndex = false};
    w.writeProportional = [](const CProportionalFont& font, const CEncodingOptions&,
                             const CWriterOptions&,
                             IOutput& out) { return writeU8g2Font(font, out); };
    w.checkGlyph = checkU8g2Glyph;
    w.takesName = true;
    return w;
}

} // namespace tgw
