#include "raster/icon_reader.h"

#include "raster/le_bytes.h"
#include "raster/stb_decoder.h"

#include <algorithm>
#include <bit>
#include <vector>

namespace tgw {
namespace {

constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiBitfields = 3;

// One colour channel packed under a mask (16- and 32-bit bitmaps), widened to 8 bits.
struct CChannel {
    uint32_t mask = 0;
    int shift = 0;
    int bits = 0;

    explicit CChannel(uint32_t m) : mask(m) {
        if (m) {
            shift = std::countr_zero(m);
            bits = std::min(std::popcount(m >> shift), 32);
        }
    }
    uint8_t operator()(uint32_t pixel) const {
        if (!bits)
            return 0;
        uint32_t v = (pixel & mask) >> shift;
        if (bits >= 8)
            return uint8_t(v >> (bits - 8));
        return uint8_t(v * 255 / ((1u << bits) - 1));
    }
};

} // namespace

size_t chooseIconImage(std::span<const CIconDirEntry> entries) {
    size_t best = 0;
    for (size_t i = 1; i < entries.size(); ++i) {
        const CIconDirEntry& a = entries[i];
        const CIconDirEntry& b = entries[best];
        long areaA = long(a.width) * a.height, areaB = long(b.width) * b.height;
        if (areaA > areaB || (areaA == areaB && a.bitCount > b.bitCount))
            best = i;
    }
    return best;
}

CDecodedPicture decodeIconImage(std::span<const uint8_t> img) {
    if (isPng(img))
        return decodeWithStb(img);
    if (img.size() < 40)
        return CDecodedPicture::invalid("the icon image is truncated");
    const uint8_t* p = img.data();
    const uint32_t headerSize = le32(p);
    const int32_t width = le32s(p + 4);
    const int32_t fullHeight = le32s(p + 8); // colour rows and mask rows together
    const int bpp = le16(p + 14);
    const uint32_t compression = le32(p + 16);
    const uint32_t coloursUsed = le32(p + 32);
    if (headerSize < 40 || headerSize > img.size())
        return CDecodedPicture::invalid("the icon image has no valid bitmap header");
    if (width <= 0 || fullHeight < 2)
        return CDecodedPicture::invalid("the icon image has no pixels");
    const int height = fullHeight / 2;
    if (width > kMaxMatrixSide || height > kMaxMatrixSide)
        return CDecodedPicture::tooBig(width, height);
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
        return CDecodedPicture::invalid("the icon image has " + std::to_string(bpp) +
                                        " bits a pixel");

    uint64_t offset = headerSize;
    uint32_t masks[3] = {0x7C00, 0x03E0, 0x001F}; // 16 bits a pixel: 5-5-5
    bool bitfields = false;
    if (compression == kBiBitfields && (bpp == 16 || bpp == 32)) {
        // The masks follow a plain 40-byte header, or are part of a longer one; either way
        // they start at byte 40.
        const uint64_t at = 40;
        if (at + 12 > img.size())
            return CDecodedPicture::invalid("the icon image is truncated");
        for (int i = 0; i < 3; ++i)
            masks[i] = le32(p + at + 4 * i);
        if (headerSize == 40)
            offset += 12;
        bitfields = true;
    } else if (compression != kBiRgb) {
        return CDecodedPicture::invalid("the icon image is compressed in a way icons are not");
    }

    uint32_t paletteSize = coloursUsed;
    if (bpp <= 8) {
        if (paletteSize == 0)
            paletteSize = 1u << bpp;
        if (paletteSize > (1u << bpp))
            return CDecodedPicture::invalid("the icon image's palette is too long");
    } else if (paletteSize > 256) {
        return CDecodedPicture::invalid("the icon image's palette is too long");
    }
    const uint64_t paletteAt = offset;
    offset += uint64_t(paletteSize) * 4;

    const uint64_t colourStride = (uint64_t(width) * bpp + 31) / 32 * 4;
    const uint64_t maskStride = (uint64_t(width) + 31) / 32 * 4;
    const uint64_t maskAt = offset + colourStride * height;
    if (maskAt + maskStride * height > img.size())
        return CDecodedPicture::invalid("the icon image is truncated");

    // Palette entries are B, G, R, reserved; an index past the palette shows black.
    std::vector<uint8_t> palette(256 * 3, 0);
    if (bpp <= 8)
        for (uint32_t i = 0; i < paletteSize; ++i) {
            const uint8_t* q = p + paletteAt + 4 * i;
            palette[i * 3] = q[2];
            palette[i * 3 + 1] = q[1];
            palette[i * 3 + 2] = q[0];
        }

    // A 32-bit image whose alpha is zero everywhere has none: the mask alone makes it
    // transparent, as the system treats such icons.
    bool alpha = false;
    if (bpp == 32 && !bitfields)
        for (int r = 0; r < height && !alpha; ++r) {
            const uint8_t* row = p + offset + colourStride * r;
            for (int x = 0; x < width; ++x)
                if (row[x * 4 + 3]) {
                    alpha = true;
                    break;
                }
        }

    const CChannel red(masks[0]), green(masks[1]), blue(masks[2]);
    CRgbImage image(width, height);
    for (int r = 0; r < height; ++r) {
        const int y = height - 1 - r; // rows are stored bottom-up
        const uint8_t* row = p + offset + colourStride * r;
        for (int x = 0; x < width; ++x) {
            // An icon is drawn by AND-ing its mask into the screen and XOR-ing its colours on
            // top. Over black the AND leaves black wherever the mask is set or not, so what
            // shows is the colour image alone: black where the icon is transparent (icons store
            // black there) and the colour where it inverts the screen.
            uint8_t rgb[3] = {0, 0, 0};
            if (bpp <= 8) {
                const int perByte = 8 / bpp;
                const int shift = 8 - bpp * (x % perByte + 1);
                const unsigned index = (row[x / perByte] >> shift) & ((1u << bpp) - 1);
                rgb[0] = palette[index * 3];
                rgb[1] = palette[index * 3 + 1];
                rgb[2] = palette[index * 3 + 2];
            } else if (bpp == 16) {
                const uint32_t v = le16(row + x * 2);
                rgb[0] = red(v);
                rgb[1] = green(v);
                rgb[2] = blue(v);
            } else if (bpp == 24) {
                rgb[0] = row[x * 3 + 2];
                rgb[1] = row[x * 3 + 1];
                rgb[2] = row[x * 3];
            } else if (bitfields) {
                const uint32_t v = le32(row + x * 4);
                rgb[0] = red(v);
                rgb[1] = green(v);
                rgb[2] = blue(v);
            } else {
                const uint8_t* q = row + x * 4;
                const uint8_t a = alpha ? q[3] : 255;
                rgb[0] = overBlack(q[2], a);
                rgb[1] = overBlack(q[1], a);
                rgb[2] = overBlack(q[0], a);
            }
            image.set(x, y, rgb[0], rgb[1], rgb[2]);
        }
    }
    return CDecodedPicture::loaded(std::move(image));
}

CDecodedPicture readIconFile(std::span<const uint8_t> file) {
    if (file.size() < 6)
        return CDecodedPicture::invalid("the icon file is truncated");
    const uint8_t* p = file.data();
    if (le16(p) != 0 || le16(p + 2) != 1)
        return CDecodedPicture::invalid("not an icon file");
    const size_t count = le16(p + 4);
    if (count == 0)
        return CDecodedPicture::invalid("the icon file holds no image");
    if (6 + 16 * count > file.size())
        return CDecodedPicture::invalid("the icon file is truncated");

    std::vector<CIconDirEntry> entries(count);
    for (size_t i = 0; i < count; ++i) {
        const uint8_t* e = p + 6 + 16 * i;
        entries[i] = {e[0] ? e[0] : 256, e[1] ? e[1] : 256, le16(e + 6)};
    }
    const uint8_t* e = p + 6 + 16 * chooseIconImage(entries);
    const uint64_t length = le32(e + 8), at = le32(e + 12);
    if (at > file.size() || length > file.size() - at)
        return CDecodedPicture::invalid("the icon file is truncated");
    return decodeIconImage(file.subspan(size_t(at), size_t(length)));
}

} // namespace tgw
