#include "raster/bidi_runs.h"
#include "raster/builtin_fonts.h"
#include "raster/rasteriser.h"
#include "raster/string_rasteriser.h"

#include "font_settings_support.h"

#include <gtest/gtest.h>

using namespace tgw;

namespace {

using test::builtin;

using test::truetype;

CDotMatrix str(std::u16string_view text, const CFontSettings& f, bool rtl = false) {
    CRasteriser r;
    CDotMatrix m;
    Status s = r.renderString(text, rtl, f, m);
    EXPECT_TRUE(s) << s.error();
    return m;
}

// The dots of a rectangle of a matrix, cut out as a matrix of its own.
CDotMatrix part(const CDotMatrix& m, int left, int top, int width, int height) {
    CDotMatrix out(width, height);
    for (int r = 0; r < height; ++r)
        for (int c = 0; c < width; ++c)
            out.set(r, c, m.lit(top + r, left + c));
    return out;
}

// A built-in glyph drawn alone at (x, y) into a cell of its own size.
CDotMatrix glyph(int kind, char16_t c, int w, int h, int x, int y) {
    CDotMatrix m(w, h);
    EXPECT_TRUE(paintBuiltin(kind, ansiForm(c), m, x, y, w, h));
    return m;
}

} // namespace

TEST(BuiltinStrings, LinesSplitAtLfWithTheCrBeforeItDropped) {
    CDotMatrix m = str(u"AB\r\nC", builtin(kFontAscii8x16, 8, 16));
    ASSERT_EQ(m.width(), 16);
    ASSERT_EQ(m.height(), 32);
    EXPECT_EQ(part(m, 0, 0, 8, 16), glyph(kFontAscii8x16, u'A', 8, 16, 0, 0));
    EXPECT_EQ(part(m, 8, 0, 8, 16), glyph(kFontAscii8x16, u'B', 8, 16, 0, 0));
    EXPECT_EQ(part(m, 0, 16, 8, 16), glyph(kFontAscii8x16, u'C', 8, 16, 0, 0));
    EXPECT_EQ(part(m, 8, 16, 8, 16).litCount(), 0);

    std::vector<std::u16string_view> lines = splitLines(u"a\r\n\rb\n\nc\r");
    EXPECT_EQ(lines, (std::vector<std::u16string_view>{u"a", u"\rb", u"", u"c\r"}));
}

TEST(BuiltinStrings, GlyphsAreCentredOnTheFontsStringSize) {
    // Kind 0 is centred as 5 × 8 in strings (the character path uses 5 × 7): in a 10 × 11
    // cell at column 2, row 1.
    EXPECT_EQ(str(u"A", builtin(kFontAscii5x7, 10, 11)), glyph(kFontAscii5x7, u'A', 10, 11, 2, 1));
    EXPECT_EQ(str(u"中", builtin(kFontGb2312_12, 15, 13)),
              glyph(kFontGb2312_12, u'中', 15, 13, 1, 0));
    // A cell smaller than the font keeps the glyph's top-left part.
    EXPECT_EQ(str(u"W", builtin(kFontAscii8x16, 5, 9)), glyph(kFontAscii8x16, u'W', 5, 9, 0, 0));
}

TEST(BuiltinStrings, CharactersWithoutACodePageFormLeaveTheirCellEmpty) {
    CDotMatrix m = str(u"中\u0E01文", builtin(kFontGb2312_16, 16, 16));
    ASSERT_EQ(m.width(), 48);
    EXPECT_EQ(part(m, 0, 0, 16, 16), glyph(kFontGb2312_16, u'中', 16, 16, 0, 0));
    EXPECT_EQ(part(m, 16, 0, 16, 16).litCount(), 0);
    EXPECT_EQ(part(m, 32, 0, 16, 16), glyph(kFontGb2312_16, u'文', 16, 16, 0, 0));
}

TEST(BuiltinStrings, SidesOverTheLimitKeepWholeCells) {
    std::u16string line = u"X" + std::u16string(298, u'.') + u"Y"; // 300 characters
    CDotMatrix m = str(line, builtin(kFontAscii8x16, 8, 16));
    EXPECT_EQ(m.width(), 2048); // 256 cells
    EXPECT_EQ(part(m, 0, 0, 8, 16), glyph(kFontAscii8x16, u'X', 8, 16, 0, 0));
    EXPECT_EQ(str(line, builtin(kFontAscii8x16, 7, 16)).width(), 2044); // 292 cells of 7

    // Right to left, the end of the line is kept: Y in the last cell, the start cut.
    CDotMatrix rtl = str(line, builtin(kFontAscii8x16, 8, 16), true);
    EXPECT_EQ(part(rtl, 2040, 0, 8, 16), glyph(kFontAscii8x16, u'Y', 8, 16, 0, 0));
    EXPECT_EQ(part(rtl, 0, 0, 8, 16), glyph(kFontAscii8x16, u'.', 8, 16, 0, 0));
    // A short line is right-aligned.
    CDotMatrix two = str(u"ABC\nD", builtin(kFontAscii8x16, 8, 16), true);
    EXPECT_EQ(part(two, 16, 16, 8, 16), glyph(kFontAscii8x16, u'D', 8, 16, 0, 0));
    EXPECT_EQ(part(two, 0, 16, 16, 16).litCount(), 0);

    std::u16string lines;
    for (int i = 0; i < 200; ++i)
        lines += u"A\n";
    EXPECT_EQ(str(lines, builtin(kFontAscii8x16, 8, 16)).height(), 2048);
    EXPECT_EQ(str(lines, builtin(kFontAscii8x16, 8, 15)).height(), 2040);
}

TEST(StringFailures, UnusableInputIsRefusedWithAReason) {
    CRasteriser r;
    CDotMatrix m;
    EXPECT_FALSE(r.renderString(u"", false, builtin(kFontAscii8x16, 8, 16), m));
    EXPECT_FALSE(r.renderString(u"A", false, builtin(kFontUnset, 8, 16), m));
    EXPECT_FALSE(r.renderString(u"A", false, builtin(kFontTrueType, 8, 16), m)); // no face
    EXPECT_FALSE(r.renderString(u"A", false, builtin(kFontAscii8x16, 0, 16), m));
    EXPECT_FALSE(r.renderString(u"A", false, builtin(kFontAscii8x16, 8, 2049), m));
    Status s = r.renderString(u"A", false, builtin(9, 8, 16), m);
    EXPECT_FALSE(s);
    EXPECT_FALSE(s.error().empty());
    EXPECT_TRUE(m.empty());
}

TEST(TrueTypeStrings, LinesAreOneCellHighAndAsWideAsTheirText) {
    const CFontSettings f = truetype(u"DejaVu Sans", 16, 16);
    CDotMatrix ab = str(u"AB", f), c = str(u"C", f);
    CDotMatrix m = str(u"AB\r\nC", f);
    ASSERT_EQ(m.height(), 32);
    ASSERT_EQ(m.width(), ab.width());
    EXPECT_GT(ab.width(), c.width());
    EXPECT_EQ(part(m, 0, 0, ab.width(), 16), ab);
    EXPECT_EQ(part(m, 0, 16, c.width(), 16), c);
    EXPECT_EQ(part(m, c.width(), 16, m.width() - c.width(), 16).litCount(), 0);
    EXPECT_GT(ab.litCount(), 0);
}

TEST(TrueTypeStrings, CellWidthOtherThanHeightSpacesTheCharacters) {
    CDotMatrix natural = str(u"HI", truetype(u"DejaVu Sans", 16, 16));
    CDotMatrix wide = str(u"HI", truetype(u"DejaVu Sans", 20, 16));
    CDotMatrix narrow = str(u"HI", truetype(u"DejaVu Sans", 14, 16));
    EXPECT_EQ(wide.width(), natural.width() + 4);
    EXPECT_EQ(narrow.width(), natural.width() - 2);
    // The first character stays; the second moves by the spacing.
    CDotMatrix h = str(u"H", truetype(u"DejaVu Sans", 16, 16));
    EXPECT_EQ(part(wide, 0, 0, h.width(), 16), h);
    const int iAt = natural.width() - str(u"I", truetype(u"DejaVu Sans", 16, 16)).width();
    for (int r = 0; r < 16; ++r)
        for (int c = iAt; c < natural.width(); ++c)
            EXPECT_EQ(wide.lit(r, c + 4), natural.lit(r, c)) << r << "," << c;

    // Squeezed to five dots or less, a line is as wide as its last character alone.
    CDotMatrix squeezed = str(u"iii", truetype(u"DejaVu Sans", 1, 16));
    EXPECT_EQ(squeezed.width(), str(u"i", truetype(u"DejaVu Sans", 16, 16)).width());
}

TEST(TrueTypeStrings, FontSizeCentresAndOffsetShiftsWithinTheLine) {
    // 'H' has nothing below the baseline, so a 12-high cell holds all of it.
    CDotMatrix tight = str(u"H", truetype(u"DejaVu Sans", 12, 12, 12));
    CDotMatrix centred = str(u"H", truetype(u"DejaVu Sans", 16, 16, 12));
    ASSERT_EQ(centred.width(), tight.width());
    EXPECT_EQ(part(centred, 0, 2, tight.width(), 12), tight);

    CFontSettings down = truetype(u"DejaVu Sans", 16, 16);
    CDotMatrix plain = str(u"H", down);
    down.offset = 3;
    CDotMatrix moved = str(u"H", down);
    EXPECT_EQ(part(moved, 0, 3, plain.width(), 13), part(plain, 0, 0, plain.width(), 13));
    // Rows pushed out of a line are lost, not drawn into the next one.
    CDotMatrix twoLines = str(u"H\nH", down);
    down.offset = 0;
    EXPECT_EQ(part(twoLines, 0, 16, plain.width(), 3).litCount(),
              part(moved, 0, 0, plain.width(), 3).litCount());
}

TEST(TrueTypeStrings, RightToLeftAlignsRightAndKeepsTheEndOfALongLine) {
    const CFontSettings f = truetype(u"DejaVu Sans", 16, 16);
    CDotMatrix a = str(u"A", f);
    CDotMatrix m = str(u"A\nWWW", f, true);
    EXPECT_EQ(part(m, m.width() - a.width(), 0, a.width(), 16), a);
    EXPECT_EQ(part(m, 0, 0, m.width() - a.width(), 16).litCount(), 0);

    std::u16string longLine = std::u16string(400, u'W') + u"IO";
    CDotMatrix ltr = str(longLine, f);
    CDotMatrix rtl = str(longLine, f, true);
    EXPECT_EQ(ltr.width(), 2048);
    EXPECT_EQ(rtl.width(), 2048);
    CDotMatrix head = str(u"WWWW", f), tail = str(u"WWWIO", f, true);
    EXPECT_EQ(part(ltr, 0, 0, head.width() - 8, 16), part(head, 0, 0, head.width() - 8, 16));
    EXPECT_EQ(part(rtl, 2048 - tail.width(), 0, tail.width(), 16), tail);
}

TEST(TrueTypeStrings, RightToLeftReadingDoesNotMirrorLatinOrDigits) {
    const CFontSettings f = truetype(u"DejaVu Sans", 16, 16);
    EXPECT_EQ(str(u"AB 12", f, true), str(u"AB 12", f, false));
    // Hebrew reads right to left in either paragraph: its first letter is on the right.
    CDotMatrix word = str(u"אב", f), alef = str(u"א", f);
    EXPECT_EQ(part(word, word.width() - alef.width(), 0, alef.width(), 16), alef);
}

TEST(TrueTypeStrings, ChineseFaceAndRules) {
    const CFontSettings f = truetype(u"WenQuanYi Micro Hei", 16, 16);
    CDotMatrix m = str(u"中文", f);
    EXPECT_EQ(m.width(), 32);
    EXPECT_EQ(m.height(), 16);
    EXPECT_EQ(part(m, 0, 0, 16, 16), str(u"中", f));
    EXPECT_GT(part(m, 16, 0, 16, 16).litCount(), 0);
    // A Latin face lends its missing characters from a face that has them, as characters do.
    CDotMatrix linked = str(u"A中", truetype(u"DejaVu Sans", 16, 16));
    CDotMatrix a = str(u"A", truetype(u"DejaVu Sans", 16, 16));
    EXPECT_EQ(linked.width(), a.width() + 16);
    EXPECT_EQ(part(linked, a.width(), 0, 16, 16), str(u"中", f));

    // An underline lights one whole row more across the line than the plain text has.
    CFontSettings u = truetype(u"DejaVu Sans", 20, 20, 12);
    CDotMatrix plain = str(u"oo", u);
    u.underline = true;
    CDotMatrix under = str(u"oo", u);
    int fullRows = 0;
    for (int r = 0; r < under.height(); ++r)
        fullRows += part(under, 0, r, under.width(), 1).litCount() == under.width() &&
                    part(plain, 0, r, plain.width(), 1).litCount() == 0;
    EXPECT_GE(fullRows, 1);
}

TEST(TrueTypeStrings, LimitsAndSharedFaceSize) {
    const CFontSettings f = truetype(u"DejaVu Sans", 16, 16);
    std::u16string lines;
    for (int i = 0; i < 200; ++i)
        lines += u"A\r\n";
    EXPECT_EQ(str(lines, f).height(), 2048);
    EXPECT_EQ(str(u"\n", f).width(), 1); // only empty lines: one dot wide

    // A string in another size must not leave the character path a face at the wrong size.
    CRasteriser r;
    CDotMatrix before, after, s;
    ASSERT_TRUE(r.renderCharacter(u'A', ansiForm(u'A'), f, before));
    ASSERT_TRUE(r.renderString(u"A", false, truetype(u"DejaVu Sans", 40, 40), s));
    ASSERT_TRUE(r.renderCharacter(u'A', ansiForm(u'A'), f, after));
    EXPECT_EQ(before, after);
}

TEST(DirectionRuns, NeutralsFollowTheirNeighboursAndRunsReorder) {
    auto texts = [](std::u16string_view line, bool rtl) {
        std::vector<std::u16string> out;
        for (const CDirectionRun& run : directionRuns(line, rtl))
            out.push_back(std::u16string(line.substr(run.start, run.length)) +
                          (run.rightToLeft ? u"<" : u">"));
        return out;
    };
    using V = std::vector<std::u16string>;
    EXPECT_EQ(texts(u"abc אבג def", false), (V{u"abc >", u"אבג<", u" def>"}));
    EXPECT_EQ(texts(u"abc אבג def", true), (V{u"def>", u" אבג <", u"abc>"}));
    EXPECT_EQ(texts(u"אב 12 גד", true), (V{u" גד<", u"12>", u"אב <"}));
    // Latin and Han are both left to right but shaped apart; marks stay with their letter.
    EXPECT_EQ(texts(u"a中", false), (V{u"a>", u"中>"}));
    EXPECT_EQ(texts(u"e\u0301x", false), (V{u"e\u0301x>"}));
    EXPECT_TRUE(directionRuns(u"", true).empty());
}

TEST(TrueTypeStrings, FitTheCellKeepsTheWholeInkOfARun) {
    // Descenders and the bottom stroke of a CJK character reach below an 18-dot line at the
    // cell's own size; fitted, the run loses no dot and stays one line high.
    CFontSettings f = truetype(u"DejaVu Sans", 18, 18);
    CRasteriser r;
    CDotMatrix cut, fitted;
    ASSERT_TRUE(r.renderString(u"Hg中", false, f, cut));
    EXPECT_TRUE(r.lastInkLoss().sides() & kInkBottom);
    f.fitCell = true;
    ASSERT_TRUE(r.renderString(u"Hg中", false, f, fitted));
    EXPECT_EQ(fitted.height(), 18);
    EXPECT_EQ(r.lastInkLoss().sides(), 0);
    // The descender of g now ends inside the cell: the bottom row is blank.
    int bottom = 0;
    for (int x = 0; x < fitted.width(); ++x)
        bottom += fitted.lit(17, x);
    EXPECT_EQ(bottom, 0);
    EXPECT_LT(fitted.width(), cut.width());
}
