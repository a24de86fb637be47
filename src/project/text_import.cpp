#include "project/text_import.h"

#include "base/codepage.h"
#include "base/text.h"

#include <cstdint>
#include <initializer_list>

namespace tgw {

namespace {

// Well-formed UTF-8: no overlong forms, no surrogates, nothing past U+10FFFF.
bool isValidUtf8(std::string_view s) {
    size_t i = 0;
    while (i < s.size()) {
        const uint8_t b = uint8_t(s[i]);
        if (b < 0x80) {
            ++i;
            continue;
        }
        size_t n;
        uint8_t lo = 0x80, hi = 0xBF; // the allowed range of the second byte
        if (b >= 0xC2 && b <= 0xDF) {
            n = 1;
        } else if (b >= 0xE0 && b <= 0xEF) {
            n = 2;
            if (b == 0xE0)
                lo = 0xA0;
            else if (b == 0xED)
                hi = 0x9F;
        } else if (b >= 0xF0 && b <= 0xF4) {
            n = 3;
            if (b == 0xF0)
                lo = 0x90;
            else if (b == 0xF4)
                hi = 0x8F;
        } else {
            return false;
        }
        if (s.size() - i <= n)
            return false;
        for (size_t k = 1; k <= n; ++k) {
            const uint8_t c = uint8_t(s[i + k]);
            if (k == 1 ? (c < lo || c > hi) : (c < 0x80 || c > 0xBF))
                return false;
        }
        i += n + 1;
    }
    return true;
}

// UTF-16 code units from byte pairs; an odd last byte pairs with a zero byte.
std::u16string fromUtf16(std::string_view bytes, bool bigEndian) {
    std::u16string out;
    out.reserve(bytes.size() / 2 + 1);
    for (size_t i = 0; i < bytes.size(); i += 2) {
        const unsigned first = uint8_t(bytes[i]);
        const unsigned second = i + 1 < bytes.size() ? uint8_t(bytes[i + 1]) : 0;
        out.push_back(char16_t(bigEndian ? first << 8 | second : second << 8 | first));
    }
    return out;
}

bool startsWith(std::string_view bytes, std::initializer_list<uint8_t> mark) {
    if (bytes.size() < mark.size())
        return false;
    size_t i = 0;
    for (uint8_t m : mark)
        if (uint8_t(bytes[i++]) != m)
            return false;
    return true;
}

} // namespace

std::u16string decodeImportedText(std::string_view bytes) {
    std::u16string text;
    if (startsWith(bytes, {0xEF, 0xBB, 0xBF}))
        text = utf8ToUtf16(bytes.substr(3));
    else if (startsWith(bytes, {0xFF, 0xFE}))
        text = fromUtf16(bytes.substr(2), false);
    else if (startsWith(bytes, {0xFE, 0xFF}))
        text = fromUtf16(bytes.substr(2), true);
    else if (isValidUtf8(bytes))
        text = utf8ToUtf16(bytes);
    else
        text = fromCp936(bytes);
    if (size_t end = text.find(u'\0'); end != std::u16string::npos)
        text.resize(end);
    return text;
}

Result<std::u16string> importTextFile(const std::string& path, EReadFailure* why) {
    EReadFailure kind = EReadFailure::None;
    Result<std::string> bytes = readWholeFile(path, kMaxImportBytes, &kind);
    if (why)
        *why = kind;
    if (!bytes) {
        if (kind == EReadFailure::TooLarge)
            return failure(format("'%s' is larger than %zu MB; only text files up to that size "
                                  "can be imported",
                                  path.c_str(), kMaxImportBytes >> 20));
        return failure(bytes.error());
    }
    return decodeImportedText(*bytes);
}

} // namespace tgw
