#pragma once

#include "base/output.h"
#include "base/result.h"
#include "codegen/encoding_options.h"
#include "model/proportional_glyph.h"

#include <string>

namespace tgw {

// Cropped glyphs behind a table of their metrics, sorted by code for a binary search. The
// binary form, all numbers big-endian:
//   0        4  n, the number of glyphs
//   4        2  line advance: from one baseline to the next
//   6        2  ascent: from the top of a line down to its baseline
//   8 + 16k  2  code of glyph k (UCS-2), ascending
//  10 + 16k  2  width of its box in dots
//  12 + 16k  2  height
//  14 + 16k  2  x offset from the pen to the box's left column (signed)
//  16 + 16k  2  y offset from the baseline to the box's top row (signed, negative upwards)
//  18 + 16k  2  advance: how far the pen moves on
//  20 + 16k  4  offset of the glyph's bytes, counted from the end of the table
// then each glyph's box in the dot and byte order of `encoding` (none for an empty box).
// e.g. '.' as a 2 × 2 box one dot right of the pen, advance 4, in a font of line 16, ascent 12:
//   00 00 00 01  00 10  00 0C  00 2E 00 02 00 02 00 01 FF FE 00 04 00 00 00 00  C0 C0
// Fails before writing anything, naming the glyph, where a number does not fit its field.
Status writeMetricsBinary(const CProportionalFont& font, const CEncodingOptions& encoding,
                          IOutput& out);
Result<std::string> metricsTableBinary(const CProportionalFont& font,
                                       const CEncodingOptions& encoding);

// The same as C text: the metrics as an array of structs and the glyphs' bytes as one array,
// named `font.identifier` or after the font.
Status writeMetricsText(const CProportionalFont& font, const CEncodingOptions& encoding,
                        IOutput& out);
Result<std::string> metricsTableText(const CProportionalFont& font,
                                     const CEncodingOptions& encoding);

// The limits of one glyph in both forms: offsets and advance in 16 bits.
Status checkMetricsGlyph(const CProportionalGlyph& glyph);

} // namespace tgw
