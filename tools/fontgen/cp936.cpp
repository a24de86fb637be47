#include "cp936.h"

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <string>

namespace tgw::fontgen {

namespace {
const iconv_t kBadDescriptor = reinterpret_cast<iconv_t>(-1);
}

CCp936Decoder::CCp936Decoder() : m_cd(iconv_open("UTF-32LE", "CP936")) {
    if (m_cd == kBadDescriptor)
        throw std::runtime_error(std::string("iconv cannot convert CP936: ") +
                                 std::strerror(errno));
}

CCp936Decoder::~CCp936Decoder() {
    iconv_close(m_cd);
}

std::optional<char32_t> CCp936Decoder::decode(uint8_t lead, uint8_t trail) {
    char in[2] = {static_cast<char>(lead), static_cast<char>(trail)};
    unsigned char out[8] = {};
    char* inPtr = in;
    size_t inLeft = sizeof in;
    char* outPtr = reinterpret_cast<char*>(out);
    size_t outLeft = sizeof out;

    // A failed conversion may leave shift state behind; start every code from the initial state.
    iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(m_cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1))
        return std::nullopt;
    if (inLeft != 0 || sizeof out - outLeft != 4)
        return std::nullopt;
    return static_cast<char32_t>(out[0] | out[1] << 8 | out[2] << 16 |
                                 static_cast<uint32_t>(out[3]) << 24);
}

} // namespace tgw::fontgen
