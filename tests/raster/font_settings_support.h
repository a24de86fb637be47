#pragma once

#include "model/font_settings.h"

namespace tgw::test {

// Font settings of a built-in dot font and of a TrueType face for a width × height cell.
inline CFontSettings builtin(int kind, int w, int h) {
    CFontSettings f;
    f.kind = kind;
    f.width = w;
    f.height = h;
    return f;
}

inline CFontSettings truetype(const char16_t* face, int w, int h, int size = 0) {
    CFontSettings f = builtin(kFontTrueType, w, h);
    f.face = face;
    f.size = size;
    return f;
}

} // namespace tgw::test
