#pragma once

#include "base/output.h"
#include "base/result.h"
#include "model/proportional_glyph.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tgw {

// A glyph's dots as the GFX font format keeps them: one stream of bits row by row, the leftmost
// dot in the high bit, padded to whole bytes only at the glyph's end.
// A 3 × 3 ring gives the 9 bits 111 101 111:
//   XXX
//   X.X   -> 0xF7 0x80
//   XXX
std::vector<uint8_t> gfxBitmap(const CDotMatrix& dots);

// The y offset a GFX font holds for `glyph`. The library's own converter counts from the
// cursor's row, which is the lowest row of the glyphs that stand on the baseline (its
// "1 - top"), one row lower than the glyph's own offset, which counts from the first row below
// the baseline.
inline int gfxYOffset(const CProportionalGlyph& glyph) {
    return glyph.yOffset + 1;
}

// The highest code a GFX font can hold: its text renderer takes one byte a character.
inline constexpr char16_t kGfxLastCode = 0xFF;
// What one entry of the glyph table takes in the program (packed, as on 8-bit AVR; a 32-bit
// compiler pads it to 8).
inline constexpr size_t kGfxGlyphBytes = 7;

// The limits known before any glyph is drawn: every code (ascending or not) at most 0xFF, the
// line advance 0 to 255. The failure names the first code above 0xFF.
Status checkGfxFont(std::span<const char16_t> codes, const CLineMetrics& line);
// The limits of one glyph: sizes and advance 0 to 255, offsets -128 to 127 as written.
Status checkGfxGlyph(const CProportionalGlyph& glyph);

// The glyph table of a font of these codes: one entry per code from the lowest to the highest,
// `empty` of them for codes the font lacks.
struct CGfxTable {
    char16_t first = 0, last = 0;
    size_t entries = 0;
    size_t empty = 0;
};
CGfxTable gfxTable(std::span<const char16_t> codes);

// The GFX font header of `font`: the bitmaps, the glyph table from the lowest code to the
// highest (codes between them that the font lacks get empty glyphs) and the font struct, named
// `font.identifier` or after the font. The y offsets follow the library's own converter: from
// the cursor's row, the lowest row of glyphs that stand on the baseline. Fails before writing
// anything, naming the glyph, where the format's limits are passed: codes up to 0xFF, 16-bit
// bitmap offsets, 8-bit sizes and advances, signed 8-bit offsets.
Status writeGfxFont(const CProportionalFont& font, IOutput& out);
// The same as one text.
Result<std::string> gfxFontHeader(const CProportionalFont& font);

} // namespace tgw
