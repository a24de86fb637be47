#pragma once

#include "base/result.h"
#include "model/proportional_glyph.h"

#include <cstdint>
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

// The GFX font header of `font`: the bitmaps, the glyph table from the lowest code to the
// highest (codes between them that the font lacks get empty glyphs) and the font struct, named
// after the font. Fails, naming the glyph, where the format's limits are passed: 16-bit bitmap
// offsets, 8-bit sizes and advances, signed 8-bit offsets.
Result<std::string> gfxFontHeader(const CProportionalFont& font);

} // namespace tgw
