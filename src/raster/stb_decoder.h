#pragma once

#include "raster/decoded_picture.h"

#include <cstdint>
#include <span>

namespace tgw {

// Decodes a whole picture file in one of the formats read through stb_image: BMP, JPEG, PNG,
// GIF (its first frame), TGA, PSD; binary PNM files go to readPnm(). The size is read from the
// header first, so a picture over the matrix limit is refused as too big without decoding it. Alpha
// is drawn over black.
CDecodedPicture decodeWithStb(std::span<const uint8_t> bytes);

// Whether the bytes begin with the PNG signature.
bool isPng(std::span<const uint8_t> bytes);

} // namespace tgw
