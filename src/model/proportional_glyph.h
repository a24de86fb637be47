#pragma once

#include "model/dot_matrix.h"

#include <string>
#include <vector>

namespace tgw {

// A glyph cropped to its ink box, with what a proportional text renderer needs to place it.
// The pen stands on the baseline; the box's top-left dot is at (pen x + xOffset, baseline +
// yOffset), so yOffset is negative for dots above the baseline. A glyph without ink has an
// empty `dots` and offsets 0.
struct CProportionalGlyph {
    char16_t code = 0;
    CDotMatrix dots;
    int xOffset = 0;
    int yOffset = 0;
    int advance = 0; // where the pen goes next, in dots

    int width() const { return dots.width(); }
    int height() const { return dots.height(); }
};

// The line of a proportional font: from one baseline to the next, and from the top of the line
// down to the baseline.
struct CLineMetrics {
    int lineAdvance = 0;
    int ascent = 0;
};

// A set of proportional glyphs, in output order, and its line.
struct CProportionalFont {
    std::vector<CProportionalGlyph> glyphs;
    CLineMetrics line;
    std::string name; // the font's name for identifiers ("DejaVu Sans 12 Bold")
};

// Crops a cell-sized matrix to its ink: the glyph of `cell`, whose baseline is at row
// `baseline`, with the cell width as its advance and the box's place in the cell as offsets.
CProportionalGlyph cropCell(const CDotMatrix& cell, int baseline, int originX = 0);

} // namespace tgw
