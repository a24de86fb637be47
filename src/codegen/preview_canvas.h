#pragma once

#include "base/result.h"
#include "model/dot_matrix.h"
#include "model/proportional_glyph.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tgw {

struct CRgb {
    uint8_t r = 0, g = 0, b = 0;
    bool operator==(const CRgb&) const = default;
};

// The colours a preview is drawn in: a lit dot, a dark dot, and what only the font dialog's
// cell preview uses, the ink that fell outside its cell (around the cells, dark dots are drawn
// an eighth of the way towards the lit colour).
struct CPreviewColours {
    CRgb lit;
    CRgb dark;
    CRgb lost{0xE0, 0x30, 0x2C};
};

// A named set of colours ("oled-blue", "epaper", "lcd-green", ...).
struct CColourScheme {
    const char* name;
    const char* description; // one line for help texts
    CPreviewColours colours;
};

// Every named set, in the order help texts list them.
std::span<const CColourScheme> colourSchemes();

// The colours of `text`: a scheme's name (any case), or "#rrggbb,#rrggbb" (lit, then dark).
// Fails naming what it could not read.
Result<CPreviewColours> parseColours(std::string_view text);

// The colour of a dot of `level` out of `maxLevel`: dark at 0, lit at maxLevel, and in between
// each channel blended in proportion, rounded to nearest. Every pixel of a preview gets its
// colour here.
CRgb blendColour(const CRgb& lit, const CRgb& dark, int level, int maxLevel);

// What a display shows: width × height dots seen from the viewer, each a level from 0 (dark)
// to maxLevel(), rows top to bottom. A dot may also be marked as lying outside the cell it
// belongs to (the font dialog shows where a glyph's ink is cut off). Writes outside the canvas
// are dropped, as a display drops pixels beyond its edges.
class CPreviewCanvas {
public:
    CPreviewCanvas() = default;
    // All dots dark. The caller keeps the sides positive; maxLevel is 1 to 255 (a matrix of
    // any depth is drawn on the default of 255, its levels scaled).
    CPreviewCanvas(int width, int height, int maxLevel = kMaxCanvasLevel);
    static constexpr int kMaxCanvasLevel = 255;

    int width() const { return m_width; }
    int height() const { return m_height; }
    int maxLevel() const { return m_maxLevel; }
    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < m_width && y < m_height; }

    uint8_t level(int x, int y) const { return m_levels[index(x, y)]; }
    bool outside(int x, int y) const { return m_outside[index(x, y)] != 0; }
    // Lights (x, y) to `level` (a later dot over an earlier one keeps the brighter), where it
    // lies on the canvas.
    void put(int x, int y, int level);
    void markOutside(int x, int y);

    // The dots of `dots` with their top-left dot at (x, y); dark dots leave the canvas alone,
    // as a display library draws a glyph without its background.
    void draw(const CDotMatrix& dots, int x, int y);
    void draw(const CBitMatrix& dots, int x, int y);

    // Turned `degrees` (0, 90, 180 or 270) clockwise.
    CPreviewCanvas turned(int degrees) const;

    bool operator==(const CPreviewCanvas&) const = default;

private:
    size_t index(int x, int y) const { return size_t(y) * size_t(m_width) + size_t(x); }

    int m_width = 0;
    int m_height = 0;
    int m_maxLevel = 1;
    std::vector<uint8_t> m_levels;
    std::vector<uint8_t> m_outside;
};

// A display's dots as colours, rows top to bottom: what a library that blends each glyph into
// what is already drawn leaves on a colour display (a level canvas cannot hold two glyphs
// blended over each other).
class CColourDots {
public:
    CColourDots() = default;
    // All dots `fill`; the caller keeps the sides positive.
    CColourDots(int width, int height, CRgb fill);

    int width() const { return m_width; }
    int height() const { return m_height; }
    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < m_width && y < m_height; }
    const CRgb& at(int x, int y) const { return m_dots[index(x, y)]; }
    CRgb& at(int x, int y) { return m_dots[index(x, y)]; }

    // Turned `degrees` (0, 90, 180 or 270) clockwise.
    CColourDots turned(int degrees) const;

private:
    size_t index(int x, int y) const { return size_t(y) * size_t(m_width) + size_t(x); }

    int m_width = 0;
    int m_height = 0;
    std::vector<CRgb> m_dots;
};

// The level a matrix's dot (row r, column c) shows at on a canvas of `maxLevel`: its own level
// out of the matrix's highest, scaled to the nearest.
int dotLevel(const CDotMatrix& dots, int r, int c, int maxLevel);

// How a canvas becomes a picture.
struct CPreviewLook {
    CPreviewColours colours;
    int zoom = 1; // pixels a dot, on each side
    // A line between dots: the last pixel row and column of each dot's square, in the dark
    // colour blended a quarter towards the lit one (needs zoom 2 or more).
    bool grid = false;
};

// An 8-bit RGB picture, rows top to bottom, three bytes a pixel.
struct CPreviewImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels;

    CRgb at(int x, int y) const {
        const size_t i = (size_t(y) * size_t(width) + size_t(x)) * 3;
        return {pixels[i], pixels[i + 1], pixels[i + 2]};
    }
};

// The most pixels a preview picture may have (about 200 MB of RGB).
inline constexpr long long kMaxPreviewPixels = 64ll << 20;

// The canvas as a picture of `look`. Fails when the picture would pass kMaxPreviewPixels or
// the zoom is outside 1 to 64.
Result<CPreviewImage> paintCanvas(const CPreviewCanvas& canvas, const CPreviewLook& look);

// The coloured dots as a picture of `look`'s zoom and grid (its colours are not used). Fails
// as paintCanvas() does.
Result<CPreviewImage> paintDots(const CColourDots& dots, const CPreviewLook& look);

// The picture as a PNG file's bytes (8-bit RGB, no time stamp, so the same picture always
// gives the same bytes).
Result<std::string> encodePng(const CPreviewImage& image);

} // namespace tgw
