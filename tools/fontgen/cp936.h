#pragma once

#include <iconv.h>

#include <cstdint>
#include <optional>

namespace tgw::fontgen {

// Two-byte code page 936 codes to Unicode through glibc's iconv. A code that iconv does not
// convert to exactly one character has no character.
class CCp936Decoder {
public:
    CCp936Decoder();
    ~CCp936Decoder();
    CCp936Decoder(const CCp936Decoder&) = delete;
    CCp936Decoder& operator=(const CCp936Decoder&) = delete;

    std::optional<char32_t> decode(uint8_t lead, uint8_t trail);

private:
    iconv_t m_cd;
};

} // namespace tgw::fontgen
