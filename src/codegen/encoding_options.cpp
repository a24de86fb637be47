#include "codegen/encoding_options.h"

#include "base/codepage.h"
#include "codegen/display_presets.h"
#include "model/matrix_edits.h"

#include <utility>

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
    o.utf8 = s.codeEncoding == kCodeEncodingUtf8;
    if (const CDisplayPreset* p =
            s.displayPreset.empty() ? nullptr : findDisplayPreset(s.displayPreset)) {
        o.dotOrder = p->dotOrder;
        o.byteOrder = p->byteOrder;
        o.mirror = p->mirror;
        o.invert = p->invert;
        o.rotation = isPresetRotation(s.presetRotation) ? s.presetRotation : 0;
    }
    return o;
}

const CDotMatrix& CEncodingOptions::prepared(const CDotMatrix& m, CDotMatrix& scratch) const {
    if (plain() || m.width() <= 0 || m.height() <= 0)
        return m;
    scratch = m;
    // The picture is seen turned `rotation` clockwise from the memory's orientation: turning
    // it back is the opposite quarter turns.
    if (rotation == 90)
        scratch = *applyEdit(scratch, EMatrixEdit::Rotate270);
    else if (rotation == 180)
        scratch = *applyEdit(scratch, EMatrixEdit::Rotate180);
    else if (rotation == 270)
        scratch = *applyEdit(scratch, EMatrixEdit::Rotate90);
    if (mirror)
        scratch = *applyEdit(scratch, EMatrixEdit::MirrorHorizontal);
    if (invert)
        scratch = *applyEdit(scratch, EMatrixEdit::Invert);
    return scratch;
}

std::optional<CDotPlace> CEncodingOptions::placeOf(int width, int height, int depth, int row,
                                                   int col) const {
    if (row < 0 || col < 0 || row >= height || col >= width)
        return std::nullopt;
    // The dot's place in the prepared matrix: the turns prepared() makes (see applyEdit), then
    // the mirror; inversion moves nothing.
    int r = row, c = col, w = width, h = height;
    if (rotation == 90) { // turned counter-clockwise: (r, c) -> (w - 1 - c, r)
        r = width - 1 - col, c = row;
        std::swap(w, h);
    } else if (rotation == 180) {
        r = height - 1 - row, c = width - 1 - col;
    } else if (rotation == 270) { // turned clockwise: (r, c) -> (c, h - 1 - r)
        r = col, c = height - 1 - row;
        std::swap(w, h);
    }
    if (mirror)
        c = w - 1 - c;
    return dotPlace(w, h, dotOrder, byteOrder, c, r, depth);
}

} // namespace tgw
