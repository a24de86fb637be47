#include "glyph.h"

#include <algorithm>
#include <stdexcept>

namespace tgw::fontgen {

namespace {

int roundedPixels(FT_Pos pos26_6) {
    return static_cast<int>((pos26_6 + 32) >> 6);
}

void selectPixelSize(FT_Face face, const std::string& path, int pixelSize) {
    for (int i = 0; i < face->num_fixed_sizes; ++i) {
        if (roundedPixels(face->available_sizes[i].y_ppem) == pixelSize) {
            if (FT_Error error = FT_Select_Size(face, i))
                throw std::runtime_error(path + ": cannot select its strike, FreeType error " +
                                         std::to_string(error));
            return;
        }
    }
    if (FT_IS_SCALABLE(face)) {
        if (FT_Error error = FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixelSize)))
            throw std::runtime_error(path + ": cannot set pixel size, FreeType error " +
                                     std::to_string(error));
        return;
    }
    throw std::runtime_error(path + " has no " + std::to_string(pixelSize) + "-pixel strike");
}

} // namespace

CGlyphSource::CGlyphSource(FT_Library library, std::string path, int pixelSize)
    : m_path(std::move(path)), m_face(openFace(library, m_path)) {
    if (FT_Select_Charmap(m_face.get(), FT_ENCODING_UNICODE) != 0)
        throw std::runtime_error(m_path + " has no Unicode character map");
    selectPixelSize(m_face.get(), m_path, pixelSize);
    m_ascent = roundedPixels(m_face->size->metrics.ascender);
    m_descent = roundedPixels(-m_face->size->metrics.descender);
}

std::optional<CGlyphImage> CGlyphSource::render(char32_t c) {
    FT_Face face = m_face.get();
    // Index 0 is the font's stand-in for missing characters, not a glyph of c.
    FT_UInt index = FT_Get_Char_Index(face, c);
    if (index == 0)
        return std::nullopt;

    // Unhinted: the outline fonts used here draw every dot as a square on the pixel grid at
    // their native size, and a hinter could only move those squares off it.
    if (FT_Error error = FT_Load_Glyph(face, index, FT_LOAD_NO_HINTING | FT_LOAD_TARGET_MONO))
        throw std::runtime_error(m_path + ": cannot load glyph, FreeType error " +
                                 std::to_string(error));
    FT_GlyphSlot slot = face->glyph;
    if (slot->format != FT_GLYPH_FORMAT_BITMAP) {
        if (FT_Error error = FT_Render_Glyph(slot, FT_RENDER_MODE_MONO))
            throw std::runtime_error(m_path + ": cannot render glyph, FreeType error " +
                                     std::to_string(error));
    }

    const FT_Bitmap& bitmap = slot->bitmap;
    CGlyphImage glyph;
    glyph.left = slot->bitmap_left;
    glyph.top = slot->bitmap_top;
    glyph.width = static_cast<int>(bitmap.width);
    glyph.rows = static_cast<int>(bitmap.rows);
    glyph.advance = roundedPixels(slot->advance.x);
    glyph.ink.assign(static_cast<size_t>(glyph.width * glyph.rows), 0);
    for (int y = 0; y < glyph.rows; ++y) {
        const unsigned char* row = bitmap.buffer + static_cast<ptrdiff_t>(y) * bitmap.pitch;
        for (int x = 0; x < glyph.width; ++x) {
            bool on = false;
            switch (bitmap.pixel_mode) {
            case FT_PIXEL_MODE_MONO:
                on = (row[x >> 3] >> (7 - (x & 7))) & 1;
                break;
            case FT_PIXEL_MODE_GRAY:
                on = row[x] >= 128;
                break;
            default:
                throw std::runtime_error(m_path + ": unexpected bitmap pixel mode " +
                                         std::to_string(bitmap.pixel_mode));
            }
            glyph.ink[static_cast<size_t>(y * glyph.width + x)] = on ? 1 : 0;
        }
    }
    return glyph;
}

bool CCell::blank() const {
    return std::all_of(m_dots.begin(), m_dots.end(), [](uint8_t d) { return d == 0; });
}

int penColumn(const CGlyphImage& glyph, int cellWidth) {
    return glyph.advance > 0 && glyph.advance < cellWidth ? (cellWidth - glyph.advance) / 2 : 0;
}

namespace {

template <typename Visit>
int forEachDot(const CGlyphImage& glyph, int ascent, int cellWidth, int cellHeight, Visit visit) {
    const int x0 = penColumn(glyph, cellWidth) + glyph.left;
    const int y0 = ascent - glyph.top;
    int clipped = 0;
    for (int y = 0; y < glyph.rows; ++y) {
        for (int x = 0; x < glyph.width; ++x) {
            if (!glyph.dot(x, y))
                continue;
            const int cx = x0 + x;
            const int cy = y0 + y;
            if (cx < 0 || cx >= cellWidth || cy < 0 || cy >= cellHeight)
                ++clipped;
            else
                visit(cx, cy);
        }
    }
    return clipped;
}

} // namespace

int place(const CGlyphImage& glyph, int ascent, CCell& cell) {
    return forEachDot(glyph, ascent, cell.width(), cell.height(),
                      [&](int x, int y) { cell.set(x, y); });
}

int clippedDots(const CGlyphImage& glyph, int ascent, int cellWidth, int cellHeight) {
    return forEachDot(glyph, ascent, cellWidth, cellHeight, [](int, int) {});
}

void appendColumnBytes(const CCell& cell, std::vector<uint8_t>& out) {
    if (cell.height() > 8)
        throw std::logic_error("column bytes hold at most 8 rows");
    for (int x = 0; x < cell.width(); ++x) {
        uint8_t byte = 0;
        for (int y = 0; y < cell.height(); ++y)
            if (cell.dot(x, y))
                byte |= static_cast<uint8_t>(1u << y);
        out.push_back(byte);
    }
}

void appendRowBytes(const CCell& cell, std::vector<uint8_t>& out) {
    const int bytesPerRow = (cell.width() + 7) / 8;
    for (int y = 0; y < cell.height(); ++y) {
        for (int b = 0; b < bytesPerRow; ++b) {
            uint8_t byte = 0;
            for (int bit = 0; bit < 8; ++bit) {
                const int x = b * 8 + bit;
                if (x < cell.width() && cell.dot(x, y))
                    byte |= static_cast<uint8_t>(0x80u >> bit);
            }
            out.push_back(byte);
        }
    }
}

} // namespace tgw::fontgen
