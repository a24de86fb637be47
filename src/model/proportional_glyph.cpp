#include "model/proportional_glyph.h"

#include <algorithm>

namespace tgw {

CProportionalGlyph cropCell(const CDotMatrix& cell, int baseline, int originX) {
    CProportionalGlyph g;
    g.advance = cell.width();
    int top = cell.height(), bottom = -1, left = cell.width(), right = -1;
    for (int r = 0; r < cell.height(); ++r)
        for (int c = 0; c < cell.width(); ++c)
            if (cell.lit(r, c)) {
                top = std::min(top, r);
                bottom = std::max(bottom, r);
                left = std::min(left, c);
                right = std::max(right, c);
            }
    if (bottom < 0)
        return g;
    g.dots = CDotMatrix(right - left + 1, bottom - top + 1);
    for (int r = top; r <= bottom; ++r)
        for (int c = left; c <= right; ++c)
            if (cell.lit(r, c))
                g.dots.set(r - top, c - left, true);
    g.xOffset = left - originX;
    g.yOffset = top - baseline;
    return g;
}

} // namespace tgw
