// Whole picture files through the loader. The first byte picks the reader an extension would
// (bitmap, icon, program, any other), the rest is the file; the format decoders behind "any
// other" get most of the inputs.
#include "raster/picture_loader.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1)
        return 0;
    static const tgw::EPictureSource sources[] = {
        tgw::EPictureSource::kOther, tgw::EPictureSource::kBitmap, tgw::EPictureSource::kIcon,
        tgw::EPictureSource::kProgram};
    tgw::CDecodedPicture picture = tgw::decodePicture({data + 1, size - 1}, sources[data[0] % 4]);
    if (picture.ok() &&
        (picture.image.width < 1 || picture.image.height < 1 ||
         picture.image.width > tgw::kMaxMatrixSide || picture.image.height > tgw::kMaxMatrixSide))
        __builtin_trap();
    return 0;
}
