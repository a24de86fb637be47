#pragma once

#include "raster/byte_source.h"
#include "raster/decoded_picture.h"

namespace tgw {

// The icon of a program file (.exe, .dll, PE32 or PE32+): the first icon group of its resource
// section, and of that group the image chooseIconImage() picks, decoded as decodeIconImage()
// does and brought to the system icon size (kSystemIconSize on a side). Only the headers, the
// resource directory and the chosen image are read, so a large program costs little; anything
// malformed gives an invalid picture.
CDecodedPicture readProgramIcon(const IByteSource& file);

} // namespace tgw
