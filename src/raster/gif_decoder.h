#pragma once

#include "raster/decoded_picture.h"

#include <cstdint>
#include <span>

namespace tgw {

// Whether the bytes begin with a GIF signature (87a or 89a).
bool isGif(std::span<const uint8_t> bytes);

// The first frame of a GIF file through giflib, on its logical screen: the frame's own colour
// table or else the global one, interlaced or not. What the frame leaves uncovered and its
// transparent colour show black, as on a fresh bitmap. The sizes are checked before anything
// is allocated for them.
CDecodedPicture decodeGif(std::span<const uint8_t> bytes);

} // namespace tgw
