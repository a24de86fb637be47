#pragma once

#include "raster/decoded_picture.h"

#include <cstdint>
#include <span>

namespace tgw {

// Whether the bytes begin with the PNG signature.
bool isPng(std::span<const uint8_t> bytes);

// A whole PNG file through libpng: every colour type and bit depth, interlaced or not, the
// transparency chunk included; 16-bit samples keep their high byte. The size is read from the
// header before anything is decoded, so a picture over the matrix limit is too big at no cost.
// Alpha is drawn over black.
CDecodedPicture decodePng(std::span<const uint8_t> bytes);

} // namespace tgw
