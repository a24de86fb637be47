// Program files (.exe, .dll): headers, sections, the resource tree, icon groups and icons.
#include "raster/byte_source.h"
#include "raster/pe_icon_reader.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    tgw::CDecodedPicture picture = tgw::readProgramIcon(tgw::CMemorySource({data, size}));
    if (picture.ok() &&
        (picture.image.width > tgw::kMaxMatrixSide || picture.image.height > tgw::kMaxMatrixSide))
        __builtin_trap();
    return 0;
}
