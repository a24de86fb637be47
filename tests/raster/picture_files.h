#pragma once
// Picture files written by the tests themselves, byte by byte, so that each decoder is checked
// against the file format rather than against another decoder's idea of it.

#include <cstdint>
#include <string>
#include <vector>

namespace tgw::test {

using CBytes = std::vector<uint8_t>;

struct CRgba {
    uint8_t r = 0, g = 0, b = 0, a = 255;
};

// Pixels top to bottom, left to right.
struct CPixels {
    int width = 0;
    int height = 0;
    std::vector<CRgba> px;

    CPixels(int w, int h, CRgba fill = {}) : width(w), height(h), px(size_t(w) * h, fill) {}
    CRgba& at(int x, int y) { return px[size_t(y) * width + x]; }
    const CRgba& at(int x, int y) const { return px[size_t(y) * width + x]; }
};

CBytes bmp24(const CPixels& p); // BITMAPFILEHEADER + 24-bit bottom-up rows
CBytes ppm(const CPixels& p);   // P6
CBytes pgm(const CPixels& p);   // P5 from the red channel
CBytes tga24(const CPixels& p); // uncompressed true colour, top-left origin
CBytes psd(const CPixels& p);   // 8-bit RGB, raw planes
CBytes gif(const CPixels& p);   // GIF89a, one frame, palette built from the pixels
CBytes png(const CPixels& p);   // RGBA, through stb_image_write
CBytes jpeg(const CPixels& p);  // quality 100, through stb_image_write

// One icon image as a DIB: header with doubled height, colour rows, AND mask rows. bpp 4, 8
// (palette built from the pixels, at most 16 / 256 colours), 24, or 32 (alpha kept). The mask
// is set where alpha is 0.
CBytes iconDib(const CPixels& p, int bpp);
// An icon file of images (DIBs or PNG files), with the directory's sizes taken from `sizes`.
struct CIconImage {
    CBytes data;
    int width = 0, height = 0, bitCount = 0;
};
CBytes icoFile(const std::vector<CIconImage>& images);
// A PE file whose resource section holds one icon group (id 1) of these images (icons 1..n).
// `plus` makes it PE32+.
CBytes programWithIcons(const std::vector<CIconImage>& images, bool plus = false);

// A private temporary folder removed with its contents when the object goes.
class CTempDir {
public:
    CTempDir();
    ~CTempDir();
    CTempDir(const CTempDir&) = delete;
    CTempDir& operator=(const CTempDir&) = delete;
    // Writes `bytes` as `name` in the folder; returns the path.
    std::string write(const std::string& name, const CBytes& bytes) const;
    const std::string& path() const { return m_path; }

private:
    std::string m_path;
};

} // namespace tgw::test
