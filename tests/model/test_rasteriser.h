#pragma once

#include "model/rasteriser.h"

namespace tgw::test {

// Makes blank matrices of the requested size without fonts, and counts its calls, so that the
// list's rules can be checked on their own. Strings come out one cell per character.
class CBlankRasteriser : public IRasteriser {
public:
    int calls = 0;

    Status renderCharacter(char16_t, const CAnsiForm&, const CFontSettings& f,
                           CDotMatrix& out) override {
        ++calls;
        out = CDotMatrix(f.width, f.height, f.depth);
        return {};
    }
    Status renderString(std::u16string_view text, bool, const CFontSettings& f,
                        CDotMatrix& out) override {
        ++calls;
        out = CDotMatrix(f.width * int(text.size()), f.height, f.depth);
        return {};
    }
    Status renderPicture(const std::u16string&, uint8_t, CDotMatrix& out) override {
        ++calls;
        out = CDotMatrix(4, 4);
        return {};
    }
};

} // namespace tgw::test
