#include "model/font_settings.h"
#include "base/screen_text.h"

#include "model/dot_matrix.h"

namespace tgw {

const char* builtinFontName(int kind) {
    static const char* const names[] = {
        TGW_TR_NOOP("tgw::core::settings", "ASCII 5x7点阵字库"),
        TGW_TR_NOOP("tgw::core::settings", "ASCII 5x8点阵字库"),
        TGW_TR_NOOP("tgw::core::settings", "ASCII 6x12点阵字库"),
        TGW_TR_NOOP("tgw::core::settings", "ASCII 8x16点阵字库"),
        TGW_TR_NOOP("tgw::core::settings", "GB2312 12x12点阵字库"),
        TGW_TR_NOOP("tgw::core::settings", "GB2312 16x16点阵字库"),
    };
    return isBuiltinFont(kind) ? names[kind] : "";
}

bool CFontSettings::same(const CFontSettings& o) const {
    if (kind != o.kind || width != o.width || height != o.height || depth != o.depth)
        return false;
    if (isBuiltinFont(kind))
        return true;
    return face == o.face && size == o.size && bold == o.bold && italic == o.italic &&
           strikeout == o.strikeout && underline == o.underline && offset == o.offset &&
           fontFile == o.fontFile && faceIndex == o.faceIndex && fitCell == o.fitCell &&
           fileFallback == o.fileFallback;
}

bool CFontSettings::usable() const {
    if (kind != kFontTrueType && !isBuiltinFont(kind))
        return false;
    if (kind == kFontTrueType && face.empty() && fontFile.empty())
        return false;
    return validMatrixSize(width, height) && validDepth(depth);
}

} // namespace tgw
