#include "codegen/gfx_font_writer.h"
#include "base/screen_text.h"

#include "base/output.h"
#include "base/text.h"
#include "codegen/output_writers.h"

#include <algorithm>
#include <map>

namespace tgw {
namespace {

// "0x41 'A'", or the code alone where the character would not read well in a comment.
std::string glyphComment(char16_t code) {
    std::string s = format("0x%02X", unsigned(code));
    if (code > 0x20 && code < 0x7F && code != '\\')
        s += format(" '%c'", char(code));
    return s;
}

std::string glyphLabel(char16_t code) {
    return format("U+%04X", unsigned(code));
}

// The types are those of the format's description; where the display library's own
// definition is reachable it is used instead, so that both can meet in one sketch.
const char* const kTypes = R"(#include <stdint.h>

#if defined(__has_include)
#if __has_include(<gfxfont.h>)
#include <gfxfont.h>
#define GFX_FONT_TYPES_DEFINED
#endif
#endif

#ifndef GFX_FONT_TYPES_DEFINED
#define GFX_FONT_TYPES_DEFINED
typedef struct {
    uint16_t bitmapOffset; /* of the glyph's first byte in the font's bitmaps */
    uint8_t width;         /* of the glyph's box in dots */
    uint8_t height;
    uint8_t xAdvance;      /* how far the cursor moves on */
    int8_t xOffset;        /* from the cursor to the box's upper left dot */
    int8_t yOffset;        /* from the cursor's row (the lowest row of a glyph standing on
                              the baseline), negative upwards */
} GFXglyph;

typedef struct {
    uint8_t *bitmap;   /* the glyphs' bitmaps, one after the other */
    GFXglyph *glyph;   /* one per code from first to last */
    uint16_t first;
    uint16_t last;
    uint8_t yAdvance;  /* from one line's baseline to the next */
} GFXfont;
#endif

#ifndef PROGMEM
#define PROGMEM
#endif

)";

} // namespace

std::vector<uint8_t> gfxBitmap(const CDotMatrix& dots) {
    std::vector<uint8_t> bytes;
    uint8_t acc = 0;
    int bits = 0;
    for (int r = 0; r < dots.height(); ++r)
        for (int c = 0; c < dots.width(); ++c) {
            acc = uint8_t(acc << 1 | (dots.lit(r, c) ? 1 : 0));
            if (++bits == 8) {
                bytes.push_back(acc);
                acc = 0;
                bits = 0;
            }
        }
    if (bits)
        bytes.push_back(uint8_t(acc << (8 - bits)));
    return bytes;
}

Status checkGfxFont(std::span<const char16_t> codes, const CLineMetrics& line) {
    std::vector<char16_t> above;
    for (char16_t c : codes)
        if (c > kGfxLastCode)
            above.push_back(c);
    if (!above.empty()) {
        std::string named = glyphLabel(above.front());
        if (above.front() >= 0xA0 && !isWhiteSpace(above.front()))
            named += " (" + utf16ToUtf8(std::u16string(1, above.front())) + ")";
        if (above.size() > 1)
            named += format(" and %zu more", above.size() - 1);
        return failure(named + " lie above 0xFF: a GFX font's text renderer takes one byte a "
                               "character, so it could never draw them");
    }
    if (line.lineAdvance < 0 || line.lineAdvance > 255)
        return failure(format("the line advance %d is over the format's 255", line.lineAdvance));
    return {};
}

Status checkGfxGlyph(const CProportionalGlyph& g) {
    const std::string label = glyphLabel(g.code);
    if (g.code > kGfxLastCode)
        return failure(label + " lies above 0xFF, beyond a GFX font's codes");
    if (g.width() > 255 || g.height() > 255)
        return failure(format("%s is %dx%d dots; the format holds at most 255 on a side",
                              label.c_str(), g.width(), g.height()));
    if (g.advance < 0 || g.advance > 255)
        return failure(
            format("%s advances %d dots; the format holds 0 to 255", label.c_str(), g.advance));
    const int yOffset = gfxYOffset(g);
    if (g.xOffset < -128 || g.xOffset > 127 || yOffset < -128 || yOffset > 127)
        return failure(format("%s is placed at %d, %d; the format's offsets hold -128 to 127",
                              label.c_str(), g.xOffset, yOffset));
    return {};
}

CGfxTable gfxTable(std::span<const char16_t> codes) {
    CGfxTable t;
    if (codes.empty())
        return t;
    t.first = *std::min_element(codes.begin(), codes.end());
    t.last = *std::max_element(codes.begin(), codes.end());
    std::vector<bool> seen(size_t(t.last - t.first) + 1, false);
    for (char16_t c : codes)
        seen[c - t.first] = true;
    t.entries = seen.size();
    t.empty = size_t(std::count(seen.begin(), seen.end(), false));
    return t;
}

Status writeGfxFont(const CProportionalFont& font, IOutput& out) {
    if (font.glyphs.empty())
        return failure("a GFX font needs at least one glyph");
    std::map<char16_t, const CProportionalGlyph*> byCode;
    for (const CProportionalGlyph& g : font.glyphs)
        byCode.emplace(g.code, &g);
    std::vector<char16_t> codes;
    codes.reserve(byCode.size());
    for (const auto& [code, glyph] : byCode)
        codes.push_back(code);
    if (Status s = checkGfxFont(codes, font.line); !s)
        return s;
    const char16_t first = byCode.begin()->first, last = byCode.rbegin()->first;
    const std::string name = font.identifier.empty() ? cIdentifier(font.name) : font.identifier;

    // Every limit first, so that nothing is written for a font the format cannot hold.
    size_t offset = 0;
    for (const auto& [code, glyph] : byCode) {
        if (Status s = checkGfxGlyph(*glyph); !s)
            return s;
        if (!glyph->dots.empty() && offset > 0xFFFF)
            return failure(format("the bitmaps pass 64 KiB before %s; the format's 16-bit "
                                  "offsets cannot reach it (use a smaller range or size)",
                                  glyphLabel(code).c_str()));
        offset += glyph->dots.bits().size();
    }

    std::string text = format("/* %s: GFX font, codes 0x%02X to 0x%02X, %zu bytes of bitmaps */\n"
                              "#pragma once\n\n",
                              name.c_str(), unsigned(first), unsigned(last), offset);
    text += kTypes;
    text += "const uint8_t " + name + "Bitmaps[] PROGMEM = {\n";
    CHexArrayText array(text, 12);
    for (const auto& [code, glyph] : byCode) {
        for (uint8_t b : glyph->dots.bits())
            array.add(b);
        if (Status s = flushWhenFull(text, out); !s)
            return s;
    }
    array.finish(true);
    text += "};\n\n";

    text += "const GFXglyph " + name + "Glyphs[] PROGMEM = {\n" +
            "    /* offset, width, height, advance, x offset, y offset */\n";
    offset = 0;
    for (unsigned code = first; code <= last; ++code) {
        auto it = byCode.find(char16_t(code));
        if (it == byCode.end()) {
            text += format("    {%6zu,   0,   0,   0,    0,    0}, /* 0x%02X: none */\n",
                           std::min<size_t>(offset, 0xFFFF), code);
            continue;
        }
        const CProportionalGlyph& g = *it->second;
        text += format("    {%6zu, %3d, %3d, %3d, %4d, %4d}, /* %s */\n",
                       std::min<size_t>(offset, 0xFFFF), g.width(), g.height(), g.advance,
                       g.xOffset, gfxYOffset(g), glyphComment(g.code).c_str());
        offset += g.dots.bits().size();
    }
    text += "};\n\n";
    text += format("const GFXfont %s PROGMEM = {(uint8_t *)%sBitmaps, (GFXglyph *)%sGlyphs, "
                   "0x%02X, 0x%02X, %d};\n",
                   name.c_str(), name.c_str(), name.c_str(), unsigned(first), unsigned(last),
                   font.line.lineAdvance);
    return out.write(text);
}

Result<std::string> gfxFontHeader(const CProportionalFont& font) {
    CStringOutput out;
    if (Status s = writeGfxFont(font, out); !s)
        return failure(s.error());
    return std::move(out).data();
}

COutputWriter gfxFontWriter() {
    COutputWriter w{.name = "gfx",
                    .extension = "h",
                    .description = "GFX font header: cropped glyphs for proportional text",
                    .label = TGW_TR_NOOP("tgw::core::writers", "GFX 字体头文件（比例字体）"),
                    .input = EWriterInput::Proportional,
                    .binary = false,
                    .takesIndex = false};
    w.writeProportional = [](const CProportionalFont& font, const CEncodingOptions&,
                             const CWriterOptions&,
                             IOutput& out) { return writeGfxFont(font, out); };
    w.checkFont = checkGfxFont;
    w.checkGlyph = checkGfxGlyph;
    w.takesName = true;
    return w;
}

} // namespace tgw
