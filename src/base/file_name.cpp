#include "base/file_name.h"

#include "base/text.h"

namespace tgw {
namespace {

// The length of the valid UTF-8 sequence at the start of `s`, or 0.
size_t validSequence(std::string_view s) {
    const unsigned char c = s[0];
    if (c < 0x80)
        return 1;
    size_t length = (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 0;
    if (length == 0 || length > s.size())
        return 0;
    char32_t cp = c & (0x7F >> length);
    for (size_t k = 1; k < length; ++k) {
        const unsigned char cc = s[k];
        if ((cc & 0xC0) != 0x80)
            return 0;
        cp = cp << 6 | (cc & 0x3F);
    }
    static const char32_t minimum[5] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < minimum[length] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return length;
}

bool isEscapedByte(std::u16string_view name, size_t i) {
    const char16_t c = name[i];
    const bool afterHigh = i > 0 && name[i - 1] >= 0xD800 && name[i - 1] <= 0xDBFF;
    return c >= 0xDC80 && c <= 0xDCFF && !afterHigh;
}

} // namespace

std::u16string fileNameToText(std::string_view bytes) {
    std::u16string out;
    out.reserve(bytes.size());
    size_t i = 0;
    while (i < bytes.size()) {
        size_t run = i;
        while (run < bytes.size()) {
            const size_t n = validSequence(bytes.substr(run));
            if (n == 0)
                break;
            run += n;
        }
        out += utf8ToUtf16(bytes.substr(i, run - i));
        if (run < bytes.size())
            out.push_back(char16_t(0xDC00 + static_cast<unsigned char>(bytes[run++])));
        i = run;
    }
    return out;
}

std::string fileNameToBytes(std::u16string_view name) {
    std::string out;
    out.reserve(name.size());
    size_t from = 0;
    for (size_t i = 0; i < name.size(); ++i) {
        if (!isEscapedByte(name, i))
            continue;
        out += utf16ToUtf8(name.substr(from, i - from));
        out.push_back(char(name[i] - 0xDC00));
        from = i + 1;
    }
    out += utf16ToUtf8(name.substr(from));
    return out;
}

bool fileNameIsText(std::u16string_view name) {
    for (size_t i = 0; i < name.size(); ++i)
        if (isEscapedByte(name, i))
            return false;
    return true;
}

} // namespace tgw
