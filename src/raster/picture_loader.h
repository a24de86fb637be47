#pragma once

#include "raster/decoded_picture.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace tgw {

// How a picture file is read, chosen by its extension without regard to case.
enum class EPictureSource {
    kBitmap,  // .bmp, .dib: a bitmap file, nothing else
    kIcon,    // .ico
    kProgram, // .exe, .dll: the program's first icon
    kOther,   // any other: PNG, JPEG, GIF, BMP or binary PNM, as the content says
};

EPictureSource pictureSourceOf(std::u16string_view path);

// Decodes the bytes of a whole picture file read the way `source` says.
CDecodedPicture decodePicture(std::span<const uint8_t> file, EPictureSource source);

// Reads and decodes the picture file at `path`, opened by the bytes fileNameToBytes() gives. Never
// fails: a file that cannot be read or decoded is an invalid picture, one over 2048 pixels on a
// side too big.
CDecodedPicture loadPicture(const std::u16string& path);

} // namespace tgw
