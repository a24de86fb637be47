#pragma once

#include "raster/decoded_picture.h"

#include <cstdint>
#include <span>

namespace tgw {

// Whether the bytes begin like a binary grey map (P5) or pixel map (P6).
bool isBinaryPnm(std::span<const uint8_t> bytes);

// A binary PGM or PPM: 8 or 16 bits a sample (big-endian), scaled from its maximum value to
// 0..255.
CDecodedPicture readPnm(std::span<const uint8_t> bytes);

} // namespace tgw
