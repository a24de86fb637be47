#include "codegen/encoding_options.h"

#include "base/codepage.h"

namespace tgw {

std::string templateBytes(std::u16string_view text, size_t maxBytes) {
    std::string bytes = toCp936(text);
    if (bytes.size() <= maxBytes)
        return bytes;
    // Walk whole characters: a lead byte cut from its trail byte would pair with whatever
    // follows the template in the generated text.
    size_t end = 0;
    while (end < bytes.size()) {
        uint8_t b = uint8_t(bytes[end]);
        size_t len = (b > 0x80 && b < 0xFF && end + 1 < bytes.size()) ? 2 : 1;
        if (end + len > maxBytes)
            break;
        end += len;
    }
    bytes.resize(end);
    return bytes;
}

void CEncodingOptions::set(int pointsSeq, int bytesSeq, int language, int useUnicode,
                           std::u16string_view codeHead, std::u16string_view codeTail) {
    dotOrder = pointsSeq >= 0 && pointsSeq <= 3 ? pointsSeq : 0;
    byteOrder = bytesSeq >= 0 && bytesSeq <= 7 ? bytesSeq : 0;
    assembler = language != 0;
    unicode = useUnicode != 0;
    // The untouched default header is a C comment, which no assembler takes: assembler text
    // gets the same line in the assembler's comment form. A header the user wrote stays as is.
    if (assembler && codeHead == defaultCodeHead())
        head = templateBytes(kAssemblerCodeHead);
    else
        head = templateBytes(codeHead);
    tail = templateBytes(codeTail);
}

CEncodingOptions CEncodingOptions::fromSettings(const CSettings& s) {
    CEncodingOptions o;
    o.set(s.pointsSeq, s.bytesSeq, s.language, s.useUnicode, s.codeHead, s.codeTail);
    return o;
}

} // namespace tgw
