#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace tgw {

// The sides of a cell, as bits.
enum EInkSide : uint8_t { kInkTop = 1, kInkBottom = 2, kInkLeft = 4, kInkRight = 8 };

// How many rows (top, bottom) or columns (left, right) of a glyph's ink its cell cut off at
// each side. Found by the render and kept beside the dots; never part of what is saved.
struct CInkLoss {
    int top = 0;
    int bottom = 0;
    int left = 0;
    int right = 0;

    uint8_t sides() const {
        return uint8_t((top > 0 ? kInkTop : 0) | (bottom > 0 ? kInkBottom : 0) |
                       (left > 0 ? kInkLeft : 0) | (right > 0 ? kInkRight : 0));
    }
    bool any() const { return sides() != 0; }
    // The larger loss at each side.
    void merge(const CInkLoss& o) {
        top = std::max(top, o.top);
        bottom = std::max(bottom, o.bottom);
        left = std::max(left, o.left);
        right = std::max(right, o.right);
    }
    bool operator==(const CInkLoss&) const = default;
};

// The rows [top, bottom) and columns [left, right) a glyph's ink covers in its cell's
// coordinates before the cell cuts it (above or left of the cell is negative); empty for a
// glyph without ink.
struct CInkBox {
    int top = 0;
    int bottom = 0;
    int left = 0;
    int right = 0;

    bool empty() const { return top >= bottom || left >= right; }
    CInkLoss lossIn(int width, int height) const {
        if (empty())
            return {};
        return {std::max(0, -top), std::max(0, bottom - height), std::max(0, -left),
                std::max(0, right - width)};
    }
};

// Glyphs that lost ink, counted by side, and the most any of them lost at each side.
struct CInkTally {
    size_t top = 0;
    size_t bottom = 0;
    size_t left = 0;
    size_t right = 0;
    CInkLoss most;

    void add(const CInkLoss& l) {
        top += l.top > 0;
        bottom += l.bottom > 0;
        left += l.left > 0;
        right += l.right > 0;
        most.merge(l);
    }
    void add(const CInkTally& t) {
        top += t.top;
        bottom += t.bottom;
        left += t.left;
        right += t.right;
        most.merge(t.most);
    }
    bool any() const { return most.any(); }
};

} // namespace tgw
