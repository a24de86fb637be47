#pragma once

#include <cstdint>

namespace tgw {

// Little-endian fields of the Windows file formats (icons, bitmaps, programs). The caller has
// checked that the bytes are there.
inline uint16_t le16(const uint8_t* p) {
    return uint16_t(p[0] | p[1] << 8);
}
inline uint32_t le32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
inline int32_t le32s(const uint8_t* p) {
    return int32_t(le32(p));
}

} // namespace tgw
