#include "raster/builtin_fonts.h"
#include "raster/rasteriser.h"

#include "font_settings_support.h"

#include <gtest/gtest.h>

using namespace tgw;

namespace {

using test::builtin;

Result<CDotMatrix> render(char16_t code, const CFontSettings& f) {
    CRasteriser r;
    CDotMatrix m;
    Status s = r.renderCharacter(code, ansiForm(code), f, m);
    if (!s)
        return failure(s.error());
    return m;
}

} // namespace

TEST(BuiltinFonts, TablesHaveTheirSizes) {
    const size_t sizes[] = {480, 768, 1152, 1536, 196272, 266688};
    for (int kind = 0; kind < 6; ++kind)
        EXPECT_EQ(builtinFontTable(kind).size(), sizes[kind]) << kind;
}

TEST(BuiltinFonts, Ascii5x7IsReadColumnWiseAndCentred) {
    auto m = render(u'A', builtin(kFontAscii5x7, 18, 18));
    ASSERT_TRUE(m);
    const uint8_t* glyph = builtinFontTable(kFontAscii5x7).data() + ('A' - 32) * 5;
    int lit = 0;
    for (int r = 0; r < 18; ++r)
        for (int c = 0; c < 18; ++c) {
            bool inside = r >= 5 && r < 12 && c >= 6 && c < 11;
            bool expected = inside && (glyph[c - 6] >> (r - 5) & 1);
            EXPECT_EQ(m->lit(r, c), expected) << r << "," << c;
            lit += expected;
        }
    EXPECT_GT(lit, 8);
}

TEST(BuiltinFonts, RowWiseTablesAndPlacement) {
    // 8×16 on a 20×20 cell sits at (6, 2); on 9×17 at (0, 0) with all 8 columns.
    const uint8_t* w = builtinFontTable(kFontAscii8x16).data() + ('W' - 32) * 16;
    auto m = render(u'W', builtin(kFontAscii8x16, 20, 20));
    ASSERT_TRUE(m);
    for (int r = 0; r < 16; ++r)
        for (int c = 0; c < 8; ++c)
            EXPECT_EQ(m->lit(r + 2, c + 6), bool(w[r] & (0x80 >> c)));
    // A narrower cell keeps the leftmost columns.
    auto narrow = render(u'W', builtin(kFontAscii8x16, 4, 16));
    ASSERT_TRUE(narrow);
    for (int r = 0; r < 16; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_EQ(narrow->lit(r, c), bool(w[r] & (0x80 >> c)));
}

TEST(BuiltinFonts, Gb2312GlyphsAndTheirRange) {
    auto zhong = render(u'中', builtin(kFontGb2312_16, 16, 16));
    ASSERT_TRUE(zhong);
    const uint8_t* g =
        builtinFontTable(kFontGb2312_16).data() + ((0xD6 - 0xA1) * 94 + (0xD0 - 0xA1)) * 32;
    for (int r = 0; r < 16; ++r)
        for (int c = 0; c < 16; ++c)
            EXPECT_EQ(zhong->lit(r, c), bool(g[r * 2 + c / 8] & (0x80 >> (c % 8))));
    EXPECT_GT(zhong->litCount(), 20);

    // Twelve-dot font: columns 8..11 come from the high nibble of the second byte.
    auto twelve = render(u'中', builtin(kFontGb2312_12, 14, 14));
    ASSERT_TRUE(twelve);
    const uint8_t* t =
        builtinFontTable(kFontGb2312_12).data() + ((0xD6 - 0xA1) * 94 + (0xD0 - 0xA1)) * 24;
    for (int r = 0; r < 12; ++r)
        for (int c = 0; c < 12; ++c)
            EXPECT_EQ(twelve->lit(r + 1, c + 1), bool(t[r * 2 + c / 8] & (0x80 >> (c % 8))));

    // F9DF is past the end of the sixteen-dot table's last row: blank, and still a success.
    CRasteriser r;
    CDotMatrix m;
    CAnsiForm pastEnd;
    pastEnd.length = 2;
    pastEnd.bytes[0] = 0xF9;
    pastEnd.bytes[1] = 0xDF;
    ASSERT_TRUE(
        r.renderCharacter(ansiToUnicode(0xF9, 0xDF), pastEnd, builtin(kFontGb2312_16, 16, 16), m));
    EXPECT_EQ(m.litCount(), 0);
    // ASCII in a GB2312 font and a hanzi in an ASCII font are blank too.
    EXPECT_EQ(render(u'A', builtin(kFontGb2312_16, 16, 16))->litCount(), 0);
    EXPECT_EQ(render(u'中', builtin(kFontAscii8x16, 8, 16))->litCount(), 0);
}

TEST(BuiltinFonts, BadInputFailsWithAReason) {
    EXPECT_EQ(render(u' ', builtin(kFontAscii8x16, 8, 16))->litCount(), 0);
    EXPECT_EQ(render(u'\u3000', builtin(kFontGb2312_16, 16, 16))->litCount(), 0);
    EXPECT_FALSE(render(0, builtin(kFontAscii8x16, 8, 16)));
    EXPECT_FALSE(render(u'A', builtin(kFontUnset, 8, 16)));
    EXPECT_FALSE(render(u'A', builtin(kFontAscii8x16, 0, 16)));
    EXPECT_FALSE(render(u'A', builtin(kFontAscii8x16, 8, 2049)));
    EXPECT_FALSE(render(u'A', builtin(7, 8, 16)));
}
