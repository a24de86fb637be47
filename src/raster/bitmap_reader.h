#pragma once

#include "raster/decoded_picture.h"

#include <cstdint>
#include <optional>
#include <span>

namespace tgw {

// Where a device-independent bitmap lies in its buffer, and which kind it is.
struct CDibPlace {
    size_t headerAt = 0;
    // Where the pixels start: a bitmap file says so in its file header; an icon image has them
    // right after its header, masks and palette (nullopt).
    std::optional<uint64_t> pixelsAt;
    // An icon image: the header's height counts the colour rows and the 1-bit AND mask rows
    // after them (which must be there), and it is never compressed.
    bool icon = false;
};

// A device-independent bitmap: an OS/2 core header (bitmaps only) or a Windows header of 40
// bytes or more; 1, 4, 8, 16, 24 or 32 bits a pixel; uncompressed, bit fields (16 and 32 bits),
// or run-length encoded (RLE8, RLE4; bitmaps only); rows bottom-up or, with a negative height,
// top-down. 32-bit pixels with an alpha that is not zero everywhere are drawn over black by
// it; pixels a run-length bitmap skips are black. A truncated or lying bitmap is invalid, one
// over the matrix limit too big, both found before anything is allocated for the pixels.
CDecodedPicture decodeDib(std::span<const uint8_t> bytes, const CDibPlace& place);

// A bitmap file (.bmp, .dib): the 14-byte file header, then a device-independent bitmap.
CDecodedPicture readBitmapFile(std::span<const uint8_t> file);

// Whether the bytes begin like a bitmap file.
bool isBitmapFile(std::span<const uint8_t> bytes);

} // namespace tgw
