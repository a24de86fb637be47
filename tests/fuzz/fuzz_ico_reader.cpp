// Icon files (.ico) as the picture loader reads them: directory, BMP and PNG images, masks.
#include "raster/icon_reader.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    tgw::CDecodedPicture picture = tgw::readIconFile({data, size});
    if (picture.ok() &&
        picture.image.rgb.size() != size_t(picture.image.width) * size_t(picture.image.height) * 3)
        __builtin_trap();
    return 0;
}
