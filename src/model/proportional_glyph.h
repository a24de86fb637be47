#pragma once

#include "model/dot_matrix.h"
#include "model/font_settings.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tgw {

// A box of dots kept as one stream of bits, row by row, the leftmost dot of a row in the high bit
// of its byte, rows running on without padding (only the last byte is padded): an eighth of a
// CDotMatrix, so that a whole font of cropped glyphs takes about what its output takes.
class CBitMatrix {
public:
    CBitMatrix() = default;
    // All dots dark.
    CBitMatrix(int width, int height)
        : m_width(width), m_height(height), m_bits((size_t(width) * size_t(height) + 7) / 8, 0) {}
    // The dots of `dots`, converted (implicitly: a box is often made as a dot matrix first).
    CBitMatrix(const CDotMatrix& dots); // NOLINT(google-explicit-constructor)

    int width() const { return m_width; }
    int height() const { return m_height; }
    bool empty() const { return m_bits.empty(); }
    bool lit(int row, int col) const {
        const size_t bit = size_t(row) * size_t(m_width) + size_t(col);
        return (m_bits[bit >> 3] & (0x80 >> (bit & 7))) != 0;
    }
    void set(int row, int col, bool on) {
        const size_t bit = size_t(row) * size_t(m_width) + size_t(col);
        const auto mask = uint8_t(0x80 >> (bit & 7));
        m_bits[bit >> 3] =
            on ? uint8_t(m_bits[bit >> 3] | mask) : uint8_t(m_bits[bit >> 3] & ~mask);
    }
    int litCount() const;
    // The stream itself: (width × height + 7) / 8 bytes.
    const std::vector<uint8_t>& bits() const { return m_bits; }
    // The same dots as a dot matrix, for the encoders that take one.
    CDotMatrix toDotMatrix() const;

    bool operator==(const CBitMatrix&) const = default;

private:
    int m_width = 0;
    int m_height = 0;
    std::vector<uint8_t> m_bits;
};

// A glyph cropped to its ink box, with what a proportional text renderer needs to place it.
// The pen stands on the baseline; the box's top-left dot is at (pen x + xOffset, baseline +
// yOffset), so yOffset is negative for dots above the baseline (row -1 is the first row above
// it). A glyph without ink has an empty `dots` and offsets 0.
struct CProportionalGlyph {
    char16_t code = 0;
    CBitMatrix dots;
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
    // What the glyphs were drawn with (the first entry's font): the family, size and style that
    // font formats describe themselves with.
    CFontSettings settings;
    // The identifier the writers name their symbols with; empty: made from `name`.
    std::string identifier;
};

// Crops a cell-sized matrix to its ink: the glyph of `cell`, whose baseline is at row
// `baseline`, with the cell width as its advance and the box's place in the cell as offsets.
CProportionalGlyph cropCell(const CDotMatrix& cell, int baseline, int originX = 0);

} // namespace tgw
