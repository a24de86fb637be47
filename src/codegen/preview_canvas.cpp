#include "codegen/preview_canvas.h"

#include "base/text.h"

#include <png.h>

#include <algorithm>
#include <cctype>
#include <csetjmp>

namespace tgw {
namespace {

// Lit dots of the OLED schemes glow on black glass; the LCD's dots are dark on its lit
// yellow-green background; e-paper is black ink on white.
constexpr CColourScheme kSchemes[] = {
    {"oled-blue", "blue dots on black glass", {{0x4F, 0xC3, 0xF7}, {0x00, 0x00, 0x00}}},
    {"oled-white", "white dots on black glass", {{0xFF, 0xFF, 0xFF}, {0x00, 0x00, 0x00}}},
    {"oled-yellow", "yellow dots on black glass", {{0xFF, 0xD5, 0x4F}, {0x00, 0x00, 0x00}}},
    {"epaper", "black on white", {{0x00, 0x00, 0x00}, {0xFF, 0xFF, 0xFF}}},
    {"lcd-green", "dark dots on a yellow-green LCD", {{0x1F, 0x2A, 0x12}, {0x9B, 0xBC, 0x3F}}},
};

bool sameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// "#rrggbb" (the # may be left out).
bool parseRgb(std::string_view text, CRgb& out) {
    if (!text.empty() && text.front() == '#')
        text.remove_prefix(1);
    if (text.size() != 6)
        return false;
    uint8_t v[3];
    for (int i = 0; i < 3; ++i) {
        const int hi = hexDigit(text[size_t(2 * i)]), lo = hexDigit(text[size_t(2 * i + 1)]);
        if (hi < 0 || lo < 0)
            return false;
        v[i] = uint8_t(hi * 16 + lo);
    }
    out = {v[0], v[1], v[2]};
    return true;
}

} // namespace

std::span<const CColourScheme> colourSchemes() {
    return kSchemes;
}

Result<CPreviewColours> parseColours(std::string_view text) {
    for (const CColourScheme& s : kSchemes)
        if (sameName(text, s.name))
            return s.colours;
    const size_t comma = text.find(',');
    CPreviewColours c;
    if (comma != std::string_view::npos && parseRgb(text.substr(0, comma), c.lit) &&
        parseRgb(text.substr(comma + 1), c.dark))
        return c;
    std::string names;
    for (const CColourScheme& s : kSchemes)
        names += std::string(names.empty() ? "" : ", ") + s.name;
    return failure("unknown colours '" + std::string(text) + "': " + names +
                   ", or #rrggbb,#rrggbb for the lit and the dark dots");
}

CRgb blendColour(const CRgb& lit, const CRgb& dark, int level, int maxLevel) {
    level = std::clamp(level, 0, maxLevel);
    auto mix = [&](uint8_t l, uint8_t d) {
        return uint8_t((l * level + d * (maxLevel - level) + maxLevel / 2) / maxLevel);
    };
    return {mix(lit.r, dark.r), mix(lit.g, dark.g), mix(lit.b, dark.b)};
}

CPreviewCanvas::CPreviewCanvas(int width, int height, int maxLevel)
    : m_width(width), m_height(height), m_maxLevel(std::clamp(maxLevel, 1, kMaxCanvasLevel)),
      m_levels(size_t(width) * size_t(height), 0), m_outside(m_levels.size(), 0) {}

void CPreviewCanvas::put(int x, int y, int level) {
    if (!contains(x, y) || level <= 0)
        return;
    uint8_t& dot = m_levels[index(x, y)];
    dot = uint8_t(std::max<int>(dot, std::min(level, m_maxLevel)));
}

void CPreviewCanvas::markOutside(int x, int y) {
    if (contains(x, y))
        m_outside[index(x, y)] = 1;
}

namespace {

// A level out of `from` as the nearest level out of `to`.
int scaledLevel(int level, int from, int to) {
    return from == to ? level : (level * to + from / 2) / from;
}

} // namespace

int dotLevel(const CDotMatrix& dots, int r, int c, int maxLevel) {
    return scaledLevel(dots.level(r, c), dots.maxLevel(), maxLevel);
}

void CPreviewCanvas::draw(const CDotMatrix& dots, int x, int y) {
    // Only the part that lies on the canvas is walked: a picture may be far larger.
    const int r0 = std::max(0, -y), r1 = std::min(dots.height(), m_height - y);
    const int c0 = std::max(0, -x), c1 = std::min(dots.width(), m_width - x);
    for (int r = r0; r < r1; ++r)
        for (int c = c0; c < c1; ++c)
            put(x + c, y + r, dotLevel(dots, r, c, m_maxLevel));
}

void CPreviewCanvas::draw(const CBitMatrix& dots, int x, int y) {
    const int r0 = std::max(0, -y), r1 = std::min(dots.height(), m_height - y);
    const int c0 = std::max(0, -x), c1 = std::min(dots.width(), m_width - x);
    for (int r = r0; r < r1; ++r)
        for (int c = c0; c < c1; ++c)
            put(x + c, y + r, scaledLevel(dots.level(r, c), maxLevelOf(dots.depth()), m_maxLevel));
}

namespace {

// Where (x, y) of a w × h area lands when the area is turned `degrees` (0, 90, 180 or 270)
// clockwise: a quarter turn makes the left column the top row, read bottom up.
void turnedPoint(int degrees, int w, int h, int x, int y, int& nx, int& ny) {
    nx = x;
    ny = y;
    if (degrees == 90) {
        nx = h - 1 - y;
        ny = x;
    } else if (degrees == 180) {
        nx = w - 1 - x;
        ny = h - 1 - y;
    } else if (degrees == 270) {
        nx = y;
        ny = w - 1 - x;
    }
}

int normalDegrees(int degrees) {
    return ((degrees % 360) + 360) % 360;
}

bool quarterTurn(int degrees) {
    return degrees == 90 || degrees == 270;
}

// A picture of width × height dots, the colour of each from `colourOf(x, y)`, magnified by the
// look's zoom with its grid.
template <class ColourOf>
Result<CPreviewImage> paintColours(int width, int height, const CPreviewLook& look,
                                   const ColourOf& colourOf) {
    if (look.zoom < 1 || look.zoom > 64)
        return failure(format("a zoom of %d is outside 1 to 64", look.zoom));
    if (look.grid && look.zoom < 2)
        return failure("a dot grid needs a zoom of 2 or more");
    const long long w = (long long)width * look.zoom;
    const long long h = (long long)height * look.zoom;
    if (w <= 0 || h <= 0)
        return failure("the preview has no dots");
    if (w * h > kMaxPreviewPixels)
        return failure(format("the picture would be %lldx%lld pixels, more than %lld million; "
                              "use a smaller zoom or display",
                              w, h, kMaxPreviewPixels >> 20));
    const CPreviewColours& c = look.colours;
    const CRgb gridLine = blendColour(c.lit, c.dark, 1, 4);

    CPreviewImage image;
    image.width = int(w);
    image.height = int(h);
    image.pixels.resize(size_t(w) * size_t(h) * 3);
    const int z = look.zoom;
    std::vector<uint8_t> line(size_t(w) * 3);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const CRgb dot = colourOf(x, y);
            for (int i = 0; i < z; ++i) {
                const CRgb px = look.grid && i == z - 1 ? gridLine : dot;
                uint8_t* p = line.data() + (size_t(x) * size_t(z) + size_t(i)) * 3;
                p[0] = px.r;
                p[1] = px.g;
                p[2] = px.b;
            }
        }
        for (int j = 0; j < z; ++j) {
            uint8_t* row =
                image.pixels.data() + (size_t(y) * size_t(z) + size_t(j)) * size_t(w) * 3;
            if (look.grid && j == z - 1)
                for (size_t i = 0; i < size_t(w); ++i) {
                    row[i * 3] = gridLine.r;
                    row[i * 3 + 1] = gridLine.g;
                    row[i * 3 + 2] = gridLine.b;
                }
            else
                std::copy(line.begin(), line.end(), row);
        }
    }
    return image;
}

} // namespace

CPreviewCanvas CPreviewCanvas::turned(int degrees) const {
    degrees = normalDegrees(degrees);
    if (degrees == 0)
        return *this;
    const bool quarter = quarterTurn(degrees);
    CPreviewCanvas out(quarter ? m_height : m_width, quarter ? m_width : m_height, m_maxLevel);
    for (int y = 0; y < m_height; ++y)
        for (int x = 0; x < m_width; ++x) {
            int nx = 0, ny = 0;
            turnedPoint(degrees, m_width, m_height, x, y, nx, ny);
            const size_t from = index(x, y), to = out.index(nx, ny);
            out.m_levels[to] = m_levels[from];
            out.m_outside[to] = m_outside[from];
        }
    return out;
}

CColourDots::CColourDots(int width, int height, CRgb fill)
    : m_width(width), m_height(height), m_dots(size_t(width) * size_t(height), fill) {}

CColourDots CColourDots::turned(int degrees) const {
    degrees = normalDegrees(degrees);
    if (degrees == 0)
        return *this;
    const bool quarter = quarterTurn(degrees);
    CColourDots out(quarter ? m_height : m_width, quarter ? m_width : m_height, CRgb{});
    for (int y = 0; y < m_height; ++y)
        for (int x = 0; x < m_width; ++x) {
            int nx = 0, ny = 0;
            turnedPoint(degrees, m_width, m_height, x, y, nx, ny);
            out.at(nx, ny) = at(x, y);
        }
    return out;
}

Result<CPreviewImage> paintCanvas(const CPreviewCanvas& canvas, const CPreviewLook& look) {
    const CPreviewColours& c = look.colours;
    const int maxLevel = canvas.maxLevel();
    // Every colour a pixel can take, worked out once.
    std::vector<CRgb> shade(size_t(maxLevel) + 1);
    for (int level = 0; level <= maxLevel; ++level)
        shade[size_t(level)] = blendColour(c.lit, c.dark, level, maxLevel);
    const CRgb margin = blendColour(c.lit, c.dark, 1, 8);
    return paintColours(canvas.width(), canvas.height(), look, [&](int x, int y) {
        const int level = canvas.level(x, y);
        return canvas.outside(x, y) ? blendColour(c.lost, margin, level, maxLevel)
                                    : shade[size_t(level)];
    });
}

Result<CPreviewImage> paintDots(const CColourDots& dots, const CPreviewLook& look) {
    return paintColours(dots.width(), dots.height(), look,
                        [&](int x, int y) { return dots.at(x, y); });
}

namespace {

// What outlives a longjmp out of libpng: nothing with a destructor lives in the frame that
// calls setjmp.
struct CPngWrite {
    std::string bytes;
    std::string error;
    png_structp png = nullptr;
    png_infop info = nullptr;

    ~CPngWrite() { png_destroy_write_struct(&png, info ? &info : nullptr); }
};

void onError(png_structp png, png_const_charp message) {
    static_cast<CPngWrite*>(png_get_error_ptr(png))->error = message;
    png_longjmp(png, 1);
}

void onWarning(png_structp, png_const_charp) {}

void writeBytes(png_structp png, png_bytep data, size_t length) {
    static_cast<CPngWrite*>(png_get_io_ptr(png))
        ->bytes.append(reinterpret_cast<char*>(data), length);
}

void flushBytes(png_structp) {}

bool encode(CPngWrite& w, const CPreviewImage& image) {
    if (setjmp(png_jmpbuf(w.png)))
        return false;
    png_set_write_fn(w.png, &w, writeBytes, flushBytes);
    png_set_IHDR(w.png, w.info, png_uint_32(image.width), png_uint_32(image.height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(w.png, w.info);
    for (int y = 0; y < image.height; ++y)
        png_write_row(w.png, image.pixels.data() + size_t(y) * size_t(image.width) * 3);
    png_write_end(w.png, nullptr);
    return true;
}

} // namespace

Result<std::string> encodePng(const CPreviewImage& image) {
    if (image.width <= 0 || image.height <= 0 ||
        image.pixels.size() != size_t(image.width) * size_t(image.height) * 3)
        return failure("the picture has no pixels to write");
    CPngWrite w;
    w.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &w, onError, onWarning);
    if (!w.png)
        return failure("libpng cannot start");
    w.info = png_create_info_struct(w.png);
    if (!w.info)
        return failure("libpng cannot start");
    if (!encode(w, image))
        return failure("the PNG cannot be written: " + w.error);
    return std::move(w.bytes);
}

} // namespace tgw
