#include "codegen/preview_canvas.h"
#include "codegen/preview_layout.h"

#include <gtest/gtest.h>

using namespace tgw;

namespace {

CProportionalGlyph glyph(char16_t code, int w, int h, int advance, int x, int y) {
    CProportionalGlyph g;
    g.code = code;
    CDotMatrix dots(w, h);
    for (int r = 0; r < h; ++r)
        for (int c = 0; c < w; ++c)
            dots.set(r, c, true);
    g.dots = dots;
    g.advance = advance;
    g.xOffset = x;
    g.yOffset = y;
    return g;
}

} // namespace

// Grey levels reach the picture through blendColour alone: a canvas of 2-bit dots shows each
// level a third of the way further from dark to lit, rounded to nearest.
TEST(PreviewCanvas, LevelsBlendFromDarkToLit) {
    const CRgb lit{0xFF, 0x00, 0x80}, dark{0x00, 0xFF, 0x10};
    EXPECT_EQ(blendColour(lit, dark, 0, 3), dark);
    EXPECT_EQ(blendColour(lit, dark, 3, 3), lit);
    EXPECT_EQ(blendColour(lit, dark, 1, 3), (CRgb{0x55, 0xAA, 0x35}));
    EXPECT_EQ(blendColour(lit, dark, 2, 3), (CRgb{0xAA, 0x55, 0x5B}));

    CPreviewCanvas canvas(3, 1, 3);
    canvas.put(0, 0, 1);
    canvas.put(1, 0, 2);
    canvas.put(1, 0, 1); // the brighter dot stays
    canvas.put(2, 0, 9); // clamped to the canvas's most
    CPreviewLook look;
    look.colours = {lit, dark};
    Result<CPreviewImage> image = paintCanvas(canvas, look);
    ASSERT_TRUE(image) << image.error();
    EXPECT_EQ(image->at(0, 0), blendColour(lit, dark, 1, 3));
    EXPECT_EQ(image->at(1, 0), blendColour(lit, dark, 2, 3));
    EXPECT_EQ(image->at(2, 0), lit);
}

// Turning clockwise: the top-left dot goes to the top-right corner, then bottom-right, then
// bottom-left; four quarter turns give the canvas back.
TEST(PreviewCanvas, TurnsClockwise) {
    CPreviewCanvas canvas(3, 2);
    canvas.put(0, 0, 1);
    canvas.markOutside(1, 0);
    const CPreviewCanvas quarter = canvas.turned(90);
    ASSERT_EQ(quarter.width(), 2);
    ASSERT_EQ(quarter.height(), 3);
    EXPECT_EQ(quarter.level(1, 0), 1);
    EXPECT_TRUE(quarter.outside(1, 1));
    EXPECT_EQ(canvas.turned(180).level(2, 1), 1);
    EXPECT_EQ(canvas.turned(270).level(0, 2), 1);
    EXPECT_EQ(quarter.turned(90).turned(90).turned(90), canvas);
}

TEST(PreviewCanvas, PngIsDeterministicAndBounded) {
    CPreviewCanvas canvas(5, 3);
    canvas.put(2, 1, 1);
    CPreviewLook look;
    look.colours = parseColours("epaper").value();
    look.zoom = 3;
    Result<std::string> a = encodePng(paintCanvas(canvas, look).value());
    ASSERT_TRUE(a) << a.error();
    EXPECT_EQ(a->substr(1, 3), "PNG");
    EXPECT_EQ(*a, encodePng(paintCanvas(canvas, look).value()).value());
    look.zoom = 1;
    look.grid = true;
    EXPECT_FALSE(paintCanvas(canvas, look));
    EXPECT_FALSE(paintCanvas(CPreviewCanvas(3000, 3000), CPreviewLook{{}, 3, false}));
    EXPECT_FALSE(parseColours("#12345,#000000"));
    EXPECT_EQ(parseColours("#0A0b0C,000000")->lit, (CRgb{0x0A, 0x0B, 0x0C}));
}

// The GFX renderer skips bytes outside the font's first to last code without moving the cursor,
// and a code between them that the font lacks has an empty glyph of no advance.
TEST(PreviewLayout, GfxSkipsCodesTheTableLacks) {
    CProportionalFont font;
    font.line = {10, 8};
    font.glyphs = {glyph(u'A', 2, 3, 4, 1, -3), glyph(u'C', 1, 1, 2, 0, -1)};
    CTextPlacement at;
    at.cursorX = 5;
    at.cursorY = 7;
    const CTextLayout layout = layoutGfxText(font, u"ABC!A\nC", at);
    ASSERT_EQ(layout.glyphs.size(), 4u);
    // The cursor's row is the lowest row of a glyph standing on the baseline.
    EXPECT_EQ(layout.glyphs[0].x, 6);
    EXPECT_EQ(layout.glyphs[0].y, 5);
    EXPECT_EQ(layout.glyphs[1].x, 9); // 'B' is a hole: no advance
    EXPECT_EQ(layout.glyphs[1].y, 7);
    EXPECT_EQ(layout.glyphs[2].x, 12); // '!' lies below 'A': nothing
    EXPECT_EQ(layout.glyphs[3].x, 0);  // the new line starts at x 0, not at the cursor's x
    EXPECT_EQ(layout.glyphs[3].y, 17);
}

// Rows of cells: a line break starts a row, an empty line is as high as the row before it, and
// the column limit and the wrap width start rows too.
TEST(PreviewLayout, CellsFlowInRows) {
    const CDotMatrix small(4, 5), tall(3, 9);
    const CCellLayout broken = layoutCells({&small, &tall, nullptr, nullptr, &small}, 0);
    ASSERT_EQ(broken.cells.size(), 3u);
    EXPECT_EQ(broken.cells[1].x, 4);
    EXPECT_EQ(broken.cells[2].y, 18);
    EXPECT_EQ(broken.width, 7);
    EXPECT_EQ(broken.height, 23);
    const CCellLayout wrapped = layoutCells({&small, &small, &small}, 9, 0);
    EXPECT_EQ(wrapped.cells[2].x, 0);
    EXPECT_EQ(wrapped.cells[2].y, 5);
    EXPECT_EQ(layoutCells({&small, &small, &small}, 0, 2).cells[2].y, 5);
}
