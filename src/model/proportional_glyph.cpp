#include "model/proportional_glyph.h"

#include <algorithm>
#include <bit>

namespace tgw {

CBitMatrix::CBitMatrix(const CDotMatrix& dots)
    : CBitMatrix(dots.width(), dots.height(), dots.depth()) {
    if (m_depth == 1) {
        size_t bit = 0;
        for (int r = 0; r < m_height; ++r) {
            const uint8_t* row = dots.row(r);
            for (int c = 0; c < m_width; ++c, ++bit)
                if (row[c])
                    m_bits[bit >> 3] = uint8_t(m_bits[bit >> 3] | (0x80 >> (bit & 7)));
        }
        return;
    }
    for (int r = 0; r < m_height; ++r)
        for (int c = 0; c < m_width; ++c)
            setLevel(r, c, dots.level(r, c));
}

int CBitMatrix::litCount() const {
    if (m_depth == 1) {
        int n = 0;
        for (uint8_t b : m_bits) // the padding bits stay dark
            n += std::popcount(b);
        return n;
    }
    int n = 0;
    for (int r = 0; r < m_height; ++r)
        for (int c = 0; c < m_width; ++c)
            n += lit(r, c);
    return n;
}

CDotMatrix CBitMatrix::toDotMatrix() const {
    CDotMatrix dots(m_width, m_height, m_depth);
    for (int r = 0; r < m_height; ++r) {
        uint8_t* row = dots.row(r);
        for (int c = 0; c < m_width; ++c)
            row[c] = level(r, c);
    }
    return dots;
}

CProportionalGlyph cropCell(const CDotMatrix& cell, int baseline, int originX) {
    CProportionalGlyph g;
    g.advance = cell.width();
    int top = cell.height(), bottom = -1, left = cell.width(), right = -1;
    for (int r = 0; r < cell.height(); ++r) {
        const uint8_t* row = cell.row(r);
        for (int c = 0; c < cell.width(); ++c)
            if (row[c]) {
                top = std::min(top, r);
                bottom = std::max(bottom, r);
                left = std::min(left, c);
                right = std::max(right, c);
            }
    }
    if (bottom < 0)
        return g;
    g.dots = CBitMatrix(right - left + 1, bottom - top + 1, cell.depth());
    for (int r = top; r <= bottom; ++r) {
        const uint8_t* row = cell.row(r);
        for (int c = left; c <= right; ++c)
            if (row[c])
                g.dots.setLevel(r - top, c - left, row[c]);
    }
    g.xOffset = left - originX;
    g.yOffset = top - baseline;
    return g;
}

} // namespace tgw
