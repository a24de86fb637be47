#pragma once

#include "base/codepage.h"
#include "model/dot_matrix.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace tgw {

// The tables of the six built-in dot fonts, compiled into the program. Layouts:
//   kinds 0:     5 bytes a glyph, byte i = column i, bit j (bit 0 = top) = row j
//   kinds 1..3:  one byte a row (8, 12, 16 rows), bit 7 = leftmost column
//   kinds 4, 5:  two bytes a row (12, 16 rows), bit 7 of the first byte = leftmost column
// ASCII tables hold codes 32..127; the GB2312 tables rows 0xA1.. of 94 glyphs each.
std::span<const uint8_t> builtinFontTable(int kind);

// The native glyph size of a built-in font: 5×7, 5×8, 6×12, 8×16, 12×12, 16×16.
struct CGlyphSize {
    int width;
    int height;
};
CGlyphSize builtinGlyphSize(int kind);

// Whether the font can draw this multi-byte form, i.e. its code is in the font's range and
// inside its table.
bool builtinHasGlyph(int kind, const CAnsiForm& ansi);

// Draws the glyph of `ansi` with its top-left dot at (x, y), at most `width` × `height` dots of
// it (narrower keeps the leftmost columns). Returns false when that area does not fit into
// `out`; a character outside the font leaves `out` unchanged and returns true.
bool paintBuiltin(int kind, const CAnsiForm& ansi, CDotMatrix& out, int x, int y, int width,
                  int height);

} // namespace tgw
