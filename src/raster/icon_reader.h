#pragma once

#include "raster/decoded_picture.h"

#include <cstdint>
#include <span>

namespace tgw {

// What an icon directory says of one image. Both icon files and a program's icon groups list
// their images this way; the image itself may say otherwise and is believed over it.
struct CIconDirEntry {
    int width = 0; // 1..256 (0 in the file means 256)
    int height = 0;
    int bitCount = 0;
};

// The size the system shows icons at, which a program's icon is drawn at.
constexpr int kSystemIconSize = 32;

// The image an icon is shown with: the one nearest the system icon size (by its larger
// difference of width and height), among equally near ones the larger, then the one with the
// most colours, then the first. Returns the index into `entries`, which must not be empty.
size_t chooseIconImage(std::span<const CIconDirEntry> entries);

// One image of an icon: a PNG file, or a device-independent bitmap (header, palette, colour
// rows, then the 1-bit AND mask rows; the header's height counts both). Drawn over black as the
// system draws icons: alpha blended when the image has an alpha channel, else its colours.
CDecodedPicture decodeIconImage(std::span<const uint8_t> image);

// An icon file (.ico): its chosen image, decoded.
CDecodedPicture readIconFile(std::span<const uint8_t> file);

} // namespace tgw
