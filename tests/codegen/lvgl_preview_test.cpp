#include "codegen/lvgl_preview.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

using namespace tgw;

namespace {

// Letters of 3 × 3 dots advancing 4, the box's top 3 above the baseline; CJK advancing 8; a
// space advancing 2. Lines 10 high, the baseline 2 above the line's bottom.
CProportionalFont testFont() {
    CProportionalFont font;
    auto add = [&](char16_t code, int advance, bool ink) {
        CProportionalGlyph g;
        g.code = code;
        if (ink) {
            CDotMatrix dots(3, 3);
            for (int r = 0; r < 3; ++r)
                for (int c = 0; c < 3; ++c)
                    dots.set(r, c, true);
            g.dots = dots;
            g.yOffset = -3;
        }
        g.advance = advance;
        font.glyphs.push_back(g);
    };
    for (char16_t c : u"abc")
        if (c)
            add(c, 4, true);
    for (char16_t c : u"汉字测")
        if (c)
            add(c, 8, true);
    add(u' ', 2, false);
    font.line = {10, 8};
    return font;
}

std::vector<std::pair<int, int>> placed(const CProportionalFont& font, std::u16string_view text,
                                        int wrap) {
    CTextPlacement p;
    p.wrapWidth = wrap;
    std::vector<std::pair<int, int>> at;
    for (const CPlacedBits& g : layoutLvglText(font, text, p).glyphs)
        at.push_back({g.x, g.y});
    return at;
}

using Points = std::vector<std::pair<int, int>>;

} // namespace

// A box's top is line_height - base_line - box height - (box bottom above the baseline) below
// the line's top: 10 - 2 - 3 - 0 = 5. Lines wrap as LVGL's label wraps them.
TEST(LvglPreview, WrapsAsTheLabelDoes) {
    const CProportionalFont font = testFont();
    // "ab" fits with its space (10 of 12); the second "ab" does not fit the 2 dots left and
    // starts the next line, the space between them left out.
    EXPECT_EQ(placed(font, u"ab ab", 12), (Points{{0, 5}, {4, 5}, {0, 15}, {4, 15}}));
    // Every CJK character is a word of its own.
    EXPECT_EQ(placed(font, u"汉字测", 20), (Points{{0, 5}, {8, 5}, {0, 15}}));
    // A word wider than the line is broken by letters.
    EXPECT_EQ(placed(font, u"abcab", 10), (Points{{0, 5}, {4, 5}, {0, 15}, {4, 15}, {0, 25}}));
    // Line breaks, an empty line among them, and no wrapping without a width.
    EXPECT_EQ(placed(font, u"a\n\nb", 0), (Points{{0, 5}, {0, 25}}));
    EXPECT_EQ(placed(font, u"ab ab ab", 0).back(), (std::pair{24, 5}));
}

// A dot of two glyphs is blended twice: LVGL mixes the lit colour into what is there.
TEST(LvglPreview, OverlappingGlyphsBlendTwice) {
    CDotMatrix level8(1, 1, 4);
    level8.setLevel(0, 0, 8); // opacity 8 × 17 = 136
    const CBitMatrix grey(level8);
    CTextLayout layout;
    layout.glyphs = {{&grey, 0, 0}, {&grey, 0, 0}, {&grey, 1, 0}};
    layout.width = 2;
    layout.height = 1;
    CPreviewOptions o;
    o.look.colours = {{255, 255, 255}, {0, 0, 0}};
    Result<CColourDots> dots = drawLvglPreview(layout, o);
    ASSERT_TRUE(dots) << dots.error();
    // (255 × 136) >> 8 = 135, then (255 × 136 + 135 × 119) >> 8 = 198.
    EXPECT_EQ(dots->at(1, 0), (CRgb{135, 135, 135}));
    EXPECT_EQ(dots->at(0, 0), (CRgb{198, 198, 198}));
    EXPECT_EQ(lvglOpacity(1, 1), 255);
    EXPECT_EQ(lvglOpacity(2, 2), 170);
    EXPECT_EQ(lvglOpacity(15, 4), 255);
}
