#pragma once

#include "model/dot_matrix.h"
#include "model/font_settings.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tgw {

// A box of dots kept as one stream of depth-bit fields, row by row, the leftmost dot of a row in
// the high bits of its byte, rows running on without padding (only the last byte is padded): at
// one bit a dot an eighth of a CDotMatrix, so that a whole font of cropped glyphs takes about
// what its output takes. A field never straddles a byte (the depths divide 8).
class CBitMatrix {
public:
    CBitMatrix() = default;
    // All dots dark.
    CBitMatrix(int width, int height, int depth = 1)
        : m_width(width), m_height(height), m_depth(uint8_t(depth)),
          m_bits((size_t(width) * size_t(height) * size_t(depth) + 7) / 8, 0) {}
    // The dots of `dots`, converted (implicitly: a box is often made as a dot matrix first).
    CBitMatrix(const CDotMatrix& dots); // NOLINT(google-explicit-constructor)

    int width() const { return m_width; }
    int height() const { return m_height; }
    int depth() const { return m_depth; }
    bool empty() const { return m_bits.empty(); }
    uint8_t level(int row, int col) const {
        const size_t bit = (size_t(row) * size_t(m_width) + size_t(col)) * m_depth;
        const unsigned shift = 8 - m_depth - unsigned(bit & 7);
        return uint8_t((m_bits[bit >> 3] >> shift) & maxLevelOf(m_depth));
    }
    bool lit(int row, int col) const { return level(row, col) != 0; }
    void setLevel(int row, int col, uint8_t level) {
        const size_t bit = (size_t(row) * size_t(m_width) + size_t(col)) * m_depth;
        const unsigned shift = 8 - m_depth - unsigned(bit & 7);
        const auto mask = uint8_t(maxLevelOf(m_depth) << shift);
        m_bits[bit >> 3] = uint8_t((m_bits[bit >> 3] & ~mask) | ((level << shift) & mask));
    }
    void set(int row, int col, bool on) { setLevel(row, col, on ? maxLevelOf(m_depth) : 0); }
    int litCount() const;
    // The stream itself: (width × height × depth + 7) / 8 bytes.
    const std::vector<uint8_t>& bits() const { return m_bits; }
    // The same dots as a dot matrix, for the encoders that take one.
    CDotMatrix toDotMatrix() const;

    bool operator==(const CBitMatrix&) const = default;

private:
    int m_width = 0;
    int m_height = 0;
    uint8_t m_depth = 1;
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

// How far the pen moves further (negative: back) after `left` when `right` follows it, in 1/64
// dot at the size the glyphs were drawn at: the face's kerning of the pair.
struct CKerningPair {
    char16_t left = 0;
    char16_t right = 0;
    int adjust = 0;

    bool operator==(const CKerningPair&) const = default;
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
    // The face's kerning between the glyphs, by left then right code; empty unless a writer
    // that holds kerning asked for it.
    std::vector<CKerningPair> kerning;
};

// Crops a cell-sized matrix to its ink: the glyph of `cell`, whose baseline is at row
// `baseline`, with the cell width as its advance and the box's place in the cell as offsets.
CProportionalGlyph cropCell(const CDotMatrix& cell, int baseline, int originX = 0);

} // namespace tgw
