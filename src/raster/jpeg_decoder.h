#pragma once

#include "raster/decoded_picture.h"

#include <cstdint>
#include <span>

namespace tgw {

// Whether the bytes begin with a JPEG start-of-image marker.
bool isJpeg(std::span<const uint8_t> bytes);

// A whole JPEG file through libjpeg: baseline or progressive, grey, YCbCr, RGB, CMYK or YCCK
// (Adobe's inverted CMYK included). The size is read from the header before anything is
// decoded, so a picture over the matrix limit is too big at no cost. Damaged entropy-coded data
// decodes as libjpeg recovers it (the same every time); a file libjpeg gives up on is invalid.
CDecodedPicture decodeJpeg(std::span<const uint8_t> bytes);

} // namespace tgw
