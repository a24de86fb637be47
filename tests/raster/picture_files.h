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

// Bitmap files. 24-bit rows bottom-up, or top-down (a negative height).
CBytes bmp24(const CPixels& p, bool topDown = false);
// 1, 4 or 8 bits a pixel, palette built from the pixels; `core` writes the OS/2 12-byte header
// and 3-byte palette entries.
CBytes bmpPalette(const CPixels& p, int bpp, bool core = false);
// Bit fields: 16 bits as 5-6-5 (masks after a 40-byte header), 32 bits as R, G, B, A bytes in
// that order with an alpha mask (masks inside a 108-byte header).
CBytes bmpBitfields(const CPixels& p, int bpp);
// A run-length bitmap (bpp 8: RLE8, 4: RLE4) of the given encoded data.
CBytes bmpRle(int width, int height, int bpp, const std::vector<CRgba>& palette,
              const CBytes& data);
CBytes ppm(const CPixels& p);   // P6
CBytes pgm(const CPixels& p);   // P5 from the red channel
CBytes tga24(const CPixels& p); // uncompressed true colour, top-left origin
CBytes psd(const CPixels& p);   // 8-bit RGB, raw planes

// GIF89a, one frame, colour table built from the pixels.
struct CGifOptions {
    bool localTable = false;   // the frame's own colour table (the global one is all black)
    bool interlaced = false;   // rows in the four-pass order
    bool transparency = false; // pixels of alpha 0 get a transparent index
    int screenWidth = 0;       // a logical screen larger than the frame (0: the frame's size),
    int screenHeight = 0;      // the frame at its bottom right
};
CBytes gif(const CPixels& p, const CGifOptions& o = {});

// PNG through libpng. Colour types as PNG numbers them: 0 grey (from the red channel), 2 RGB,
// 3 palette (colours and their alpha in a transparency chunk), 4 grey and alpha, 6 RGBA.
// 16-bit samples are the 8-bit value repeated (v × 257).
struct CPngOptions {
    int colourType = 6;
    int bitDepth = 8;
    bool interlaced = false;
};
CBytes png(const CPixels& p, const CPngOptions& o = {});

// JPEG through libjpeg. kCmyk writes R, G, B, A as Adobe stores CMYK (inverted: 255 is no ink),
// as YCCK with the Adobe marker.
enum class EJpegKind { kColour, kGrey, kCmyk };
struct CJpegOptions {
    int quality = 100;
    bool progressive = false;
    EJpegKind kind = EJpegKind::kColour;
};
CBytes jpeg(const CPixels& p, const CJpegOptions& o = {});

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
