#pragma once

#include "freetype_handles.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tgw::fontgen {

// One glyph as the source font draws it, relative to the pen position on the baseline.
struct CGlyphImage {
    int left = 0; // columns from the pen to the first column
    int top = 0;  // rows from the baseline up to the top of the first row
    int width = 0;
    int rows = 0;
    int advance = 0;          // whole pixels
    std::vector<uint8_t> ink; // width * rows, 1 = dot set

    bool dot(int x, int y) const { return ink[static_cast<size_t>(y * width + x)] != 0; }
};

// A bitmap or pixel-outline font opened at one pixel size.
class CGlyphSource {
public:
    CGlyphSource(FT_Library library, std::string path, int pixelSize);

    const std::string& path() const { return m_path; }
    int ascent() const { return m_ascent; }
    int descent() const { return m_descent; }

    // Nothing when the font has no glyph of its own for the character.
    std::optional<CGlyphImage> render(char32_t c);

private:
    std::string m_path;
    FtFacePtr m_face;
    int m_ascent = 0;
    int m_descent = 0;
};

// A glyph cell of the output tables; row 0 is the top, column 0 the left.
class CCell {
public:
    CCell(int width, int height)
        : m_width(width), m_height(height), m_dots(static_cast<size_t>(width * height), 0) {}

    int width() const { return m_width; }
    int height() const { return m_height; }
    bool dot(int x, int y) const { return m_dots[index(x, y)] != 0; }
    void set(int x, int y) { m_dots[index(x, y)] = 1; }
    bool blank() const;

private:
    size_t index(int x, int y) const { return static_cast<size_t>(y * m_width + x); }

    int m_width;
    int m_height;
    std::vector<uint8_t> m_dots;
};

// Column of the pen in a cell: a glyph narrower than the cell has its advance box centred, so
// half-width signs in a full-width table do not hug the left edge.
int penColumn(const CGlyphImage& glyph, int cellWidth);

// Draws the glyph with its baseline `ascent` rows below the top of the cell; returns how many of
// its dots fell outside the cell.
int place(const CGlyphImage& glyph, int ascent, CCell& cell);

// How many dots of the glyph a cell would lose with the baseline `ascent` rows down.
int clippedDots(const CGlyphImage& glyph, int ascent, int cellWidth, int cellHeight);

// The table layouts. Column bytes: one byte per column, bit 0 = top row (cells up to 8 rows).
// Row bytes: (width + 7) / 8 bytes per row, bit 7 of the first byte = leftmost column.
void appendColumnBytes(const CCell& cell, std::vector<uint8_t>& out);
void appendRowBytes(const CCell& cell, std::vector<uint8_t>& out);

} // namespace tgw::fontgen
