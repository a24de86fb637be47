#include "raster/bitmap_reader.h"

#include "raster/le_bytes.h"

#include <algorithm>
#include <bit>
#include <string>
#include <vector>

namespace tgw {
namespace {

constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiRle8 = 1;
constexpr uint32_t kBiRle4 = 2;
constexpr uint32_t kBiBitfields = 3;
constexpr uint32_t kBiAlphaBitfields = 6;

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

// What the header says, in one form for every header version.
struct CDibHeader {
    uint32_t size = 0;
    long width = 0;
    long rows = 0;
    bool topDown = false;
    int bpp = 0;
    uint32_t compression = kBiRgb;
    uint32_t coloursUsed = 0;
    bool core = false; // OS/2: 3-byte palette entries
};

// Decodes run-length encoded pixels into palette indexes, -1 where no run wrote. A run is
// a count and an index (RLE4: two indexes alternating); a zero count is an escape: 0 ends the
// line, 1 the bitmap, 2 moves right and up by the next two bytes, 3 or more starts that many
// literal indexes, padded to a whole 16-bit word. Runs past the row's end are clipped. Returns
// false when the data ends before the bitmap does.
bool decodeRle(std::span<const uint8_t> data, bool four, const CDibHeader& h,
               std::vector<int16_t>& indexes) {
    indexes.assign(size_t(h.width) * size_t(h.rows), -1);
    long x = 0, row = 0; // row counts in storage order
    auto put = [&](unsigned index) {
        if (x < h.width && row < h.rows) {
            const long y = h.topDown ? row : h.rows - 1 - row;
            indexes[size_t(y) * size_t(h.width) + size_t(x)] = int16_t(index);
        }
        ++x;
    };
    size_t i = 0;
    while (row < h.rows) {
        if (i + 2 > data.size())
            return false;
        const unsigned count = data[i], value = data[i + 1];
        i += 2;
        if (count > 0) {
            for (unsigned k = 0; k < count && x < h.width; ++k)
                put(four ? (k % 2 == 0 ? value >> 4 : value & 0x0F) : value);
        } else if (value == 0) {
            x = 0;
            ++row;
        } else if (value == 1) {
            return true;
        } else if (value == 2) {
            if (i + 2 > data.size())
                return false;
            x += data[i];
            row += data[i + 1];
            i += 2;
        } else {
            const size_t bytes = four ? (value + 1) / 2 : value;
            if (i + bytes > data.size())
                return false;
            for (unsigned k = 0; k < value && x < h.width; ++k)
                put(four ? (k % 2 == 0 ? data[i + k / 2] >> 4 : data[i + k / 2] & 0x0F)
                         : data[i + k]);
            i += std::min(bytes + (bytes & 1), data.size() - i);
        }
    }
    // Every row is written; an end-of-bitmap escape may or may not follow.
    return true;
}

} // namespace

CDecodedPicture decodeDib(std::span<const uint8_t> b, const CDibPlace& place) {
    const std::string what = place.icon ? "the icon image" : "the bitmap";
    if (place.headerAt > b.size() || b.size() - place.headerAt < 16)
        return CDecodedPicture::invalid(what + " is truncated");
    const uint8_t* p = b.data() + place.headerAt;
    const size_t available = b.size() - place.headerAt;

    CDibHeader h;
    h.size = le32(p);
    if (h.size > available)
        return CDecodedPicture::invalid(what + " is truncated");
    if (h.size == 12 && !place.icon) {
        h.width = le16(p + 4);
        h.rows = le16(p + 6);
        h.bpp = le16(p + 10);
        h.core = true;
    } else if (h.size >= 40) {
        h.width = le32s(p + 4);
        const long height = le32s(p + 8);
        h.bpp = le16(p + 14);
        h.compression = le32(p + 16);
        h.coloursUsed = le32(p + 32);
        if (place.icon) {
            if (height < 2)
                return CDecodedPicture::invalid(what + " has no pixels");
            h.rows = height / 2;
        } else {
            h.topDown = height < 0;
            h.rows = height < 0 ? -height : height;
        }
    } else {
        return CDecodedPicture::invalid(what + " has no valid bitmap header");
    }
    if (h.width <= 0 || h.rows <= 0)
        return CDecodedPicture::invalid(what + " has no pixels");
    if (h.width > kMaxMatrixSide || h.rows > kMaxMatrixSide)
        return CDecodedPicture::tooBig(h.width, h.rows);
    if (h.bpp != 1 && h.bpp != 4 && h.bpp != 8 && h.bpp != 16 && h.bpp != 24 && h.bpp != 32)
        return CDecodedPicture::invalid(what + " has " + std::to_string(h.bpp) + " bits a pixel");

    const bool deep = h.bpp == 16 || h.bpp == 32;
    const bool rle = !place.icon && ((h.compression == kBiRle8 && h.bpp == 8) ||
                                     (h.compression == kBiRle4 && h.bpp == 4));
    const bool bitfields = deep && (h.compression == kBiBitfields ||
                                    (!place.icon && h.compression == kBiAlphaBitfields));
    if (h.compression != kBiRgb && !rle && !bitfields)
        return CDecodedPicture::invalid(place.icon
                                            ? what + " is compressed in a way icons are not"
                                            : what + " is compressed in a way not read here");

    // Masks: 16 bits a pixel default to 5-5-5, 32 to 8-8-8 with alpha in the top byte.
    uint32_t masks[4] = {0x7C00, 0x03E0, 0x001F, 0};
    if (h.bpp == 32)
        std::copy_n(std::initializer_list<uint32_t>{0xFF0000, 0xFF00, 0xFF, 0xFF000000}.begin(), 4,
                    masks);
    uint64_t offset = place.headerAt + uint64_t(h.size);
    if (bitfields) {
        // The masks follow a 40-byte header, or are part of a longer one; either way they
        // start at byte 40. Bitmaps with a header long enough (or the alpha variant) have an
        // alpha mask after them; icons take their alpha from a plain 32-bit image only.
        const int count = h.compression == kBiAlphaBitfields ? 4 : 3;
        if (40 + 4 * uint64_t(count) > available)
            return CDecodedPicture::invalid(what + " is truncated");
        for (int i = 0; i < count; ++i)
            masks[i] = le32(p + 40 + 4 * i);
        if (count == 3)
            masks[3] = !place.icon && h.size >= 56 ? le32(p + 52) : 0;
        if (h.size == 40)
            offset += 4 * uint64_t(count);
    }

    uint32_t paletteSize = h.core ? 0 : h.coloursUsed;
    if (h.bpp <= 8) {
        if (paletteSize == 0)
            paletteSize = 1u << h.bpp;
        if (paletteSize > (1u << h.bpp)) {
            if (place.icon)
                return CDecodedPicture::invalid(what + "'s palette is too long");
            paletteSize = 1u << h.bpp; // the rest is never indexed
        }
    } else if (place.icon && paletteSize > 256) {
        return CDecodedPicture::invalid(what + "'s palette is too long");
    } else if (!place.icon) {
        paletteSize = 0; // bitmap files say where their pixels are: any table is skipped
    }
    const unsigned entrySize = h.core ? 3 : 4;
    const uint64_t paletteAt = offset;
    // Some writers store fewer entries than the depth has (OS/2 files say nothing of the count):
    // a bitmap file's palette ends where its pixels start.
    if (place.pixelsAt && *place.pixelsAt >= paletteAt)
        paletteSize =
            uint32_t(std::min<uint64_t>(paletteSize, (*place.pixelsAt - paletteAt) / entrySize));
    offset += uint64_t(paletteSize) * entrySize;
    if (offset > b.size())
        return CDecodedPicture::invalid(what + " is truncated");

    uint64_t pixelsAt = offset;
    if (place.pixelsAt) {
        pixelsAt = *place.pixelsAt;
        if (pixelsAt < place.headerAt + uint64_t(h.size) || pixelsAt > b.size())
            return CDecodedPicture::invalid(what + "'s pixels are not where it says");
    }

    // Palette entries are B, G, R (and a reserved byte); an index past the palette shows black.
    std::vector<uint8_t> palette(256 * 3, 0);
    for (uint32_t i = 0; i < paletteSize && h.bpp <= 8; ++i) {
        const uint8_t* q = b.data() + paletteAt + uint64_t(entrySize) * i;
        palette[i * 3] = q[2];
        palette[i * 3 + 1] = q[1];
        palette[i * 3 + 2] = q[0];
    }
    auto fromPalette = [&](unsigned index, uint8_t* rgb) {
        std::copy_n(palette.data() + index * 3, 3, rgb);
    };

    CRgbImage image(int(h.width), int(h.rows));
    if (rle) {
        std::vector<int16_t> indexes;
        if (!decodeRle(b.subspan(size_t(pixelsAt)), h.bpp == 4, h, indexes))
            return CDecodedPicture::invalid(what + " is truncated");
        for (size_t i = 0; i < indexes.size(); ++i)
            if (indexes[i] >= 0)
                fromPalette(unsigned(indexes[i]), image.rgb.data() + i * 3);
        return CDecodedPicture::loaded(std::move(image));
    }

    const uint64_t stride = (uint64_t(h.width) * h.bpp + 31) / 32 * 4;
    uint64_t needed = stride * uint64_t(h.rows);
    if (place.icon)
        needed += (uint64_t(h.width) + 31) / 32 * 4 * uint64_t(h.rows); // the AND mask
    if (needed > b.size() - pixelsAt)
        return CDecodedPicture::invalid(what + " is truncated");
    const uint8_t* pixels = b.data() + pixelsAt;

    // Alpha that is zero everywhere is no alpha: such files (and icons) mean opaque pixels.
    const CChannel red(masks[0]), green(masks[1]), blue(masks[2]);
    CChannel alpha(deep ? masks[3] : 0);
    if (alpha.bits) {
        bool any = false;
        for (long r = 0; r < h.rows && !any; ++r) {
            const uint8_t* row = pixels + stride * uint64_t(r);
            for (long x = 0; x < h.width && !any; ++x)
                any = alpha(h.bpp == 16 ? le16(row + x * 2) : le32(row + x * 4)) != 0;
        }
        if (!any)
            alpha = CChannel(0);
    }

    for (long r = 0; r < h.rows; ++r) {
        const long y = h.topDown ? r : h.rows - 1 - r;
        const uint8_t* row = pixels + stride * uint64_t(r);
        uint8_t* out = image.pixel(0, int(y));
        for (long x = 0; x < h.width; ++x, out += 3) {
            // An icon is drawn by AND-ing its mask into the screen and XOR-ing its colours on
            // top. Over black the AND leaves black wherever the mask is set or not, so what
            // shows is the colour image alone: black where the icon is transparent (icons
            // store black there) and the colour where it inverts the screen.
            if (h.bpp <= 8) {
                const int perByte = 8 / h.bpp;
                const int shift = 8 - h.bpp * int(x % perByte + 1);
                fromPalette((row[x / perByte] >> shift) & ((1u << h.bpp) - 1), out);
            } else if (h.bpp == 24) {
                out[0] = row[x * 3 + 2];
                out[1] = row[x * 3 + 1];
                out[2] = row[x * 3];
            } else {
                const uint32_t v = h.bpp == 16 ? le16(row + x * 2) : le32(row + x * 4);
                const uint8_t a = alpha.bits ? alpha(v) : 255;
                out[0] = overBlack(red(v), a);
                out[1] = overBlack(green(v), a);
                out[2] = overBlack(blue(v), a);
            }
        }
    }
    return CDecodedPicture::loaded(std::move(image));
}

bool isBitmapFile(std::span<const uint8_t> bytes) {
    return bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M';
}

CDecodedPicture readBitmapFile(std::span<const uint8_t> file) {
    if (!isBitmapFile(file))
        return CDecodedPicture::invalid("not a bitmap file");
    if (file.size() < 14)
        return CDecodedPicture::invalid("the bitmap is truncated");
    return decodeDib(file, {14, le32(file.data() + 10), false});
}

} // namespace tgw
