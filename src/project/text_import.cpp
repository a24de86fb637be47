#include "project/text_import.h"

#include "base/codepage.h"
#include "base/text.h"

namespace tgw {

std::u16string decodeImportedText(std::string_view bytes) {
    if (bytes.size() >= 2 && uint8_t(bytes[0]) == 0xFF && uint8_t(bytes[1]) == 0xFE) {
        std::u16string out;
        out.reserve(bytes.size() / 2);
        size_t i = 2;
        for (; i + 1 < bytes.size(); i += 2)
            out.push_back(char16_t(uint8_t(bytes[i]) | uint8_t(bytes[i + 1]) << 8));
        if (i < bytes.size())
            out.push_back(u'\uFFFD');
        return out;
    }
    return fromCp936(bytes);
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
