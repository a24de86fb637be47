#include "codegen/gfx_font_writer.h"
#include "codegen/metrics_table_writer.h"
#include "codegen/output_writers.h"

#include <gtest/gtest.h>

#include <set>

using namespace tgw;

namespace {

CDotMatrix box(int w, int h, const char* dots = nullptr) {
    CDotMatrix m(w, h);
    for (int i = 0; dots && dots[i]; ++i)
        if (dots[i] == 'X')
            m.set(i / w, i % w, true);
    return m;
}

CProportionalGlyph glyph(char16_t code, CDotMatrix dots, int advance, int x = 0, int y = 0) {
    CProportionalGlyph g;
    g.code = code;
    g.dots = std::move(dots);
    g.advance = advance;
    g.xOffset = x;
    g.yOffset = y;
    return g;
}

CProportionalFont font(std::vector<CProportionalGlyph> glyphs) {
    CProportionalFont f;
    f.glyphs = std::move(glyphs);
    f.line = {16, 12};
    f.name = "Test Face 12";
    return f;
}

std::string error(const Result<std::string>& r) {
    return r ? std::string("(no error)") : r.error();
}

} // namespace

TEST(GfxFont, BitsRunOnAcrossRowsAndPadOnlyAtTheEnd) {
    // The ring of the worked example beside gfxBitmap().
    EXPECT_EQ(gfxBitmap(box(3, 3, "XXXX.XXXX")), (std::vector<uint8_t>{0xF7, 0x80}));
    // 9 wide: the second row starts in the middle of a byte.
    EXPECT_EQ(gfxBitmap(box(9, 2, "X.......XX.......X")), (std::vector<uint8_t>{0x80, 0xC0, 0x40}));
    EXPECT_EQ(gfxBitmap(box(8, 1, "XXXXXXXX")), (std::vector<uint8_t>{0xFF}));
    EXPECT_TRUE(gfxBitmap(CDotMatrix()).empty());
}

TEST(GfxFont, GlyphsAreHeldInTheFormatsOwnBits) {
    // Widths around a byte: rows run on across byte boundaries exactly as gfxBitmap() packs.
    for (int w : {1, 7, 8, 9, 17}) {
        CDotMatrix dots(w, 3);
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < w; ++c)
                dots.set(r, c, (r * 5 + c * 3) % 7 < 3);
        const CBitMatrix bits(dots);
        EXPECT_EQ(bits.bits(), gfxBitmap(dots)) << w;
        EXPECT_EQ(bits.toDotMatrix(), dots) << w;
    }
    EXPECT_TRUE(CBitMatrix(CDotMatrix()).empty());
}

TEST(GfxFont, TableSizeCountsTheHoles) {
    const std::u16string codes = u"\u00B5 !\u00B0";
    const CGfxTable t = gfxTable(codes);
    EXPECT_EQ(t.first, 0x20);
    EXPECT_EQ(t.last, 0xB5);
    EXPECT_EQ(t.entries, 150u);
    EXPECT_EQ(t.empty, 146u);
}

TEST(GfxFont, OneRangeWithEmptyGlyphsForTheHoles) {
    Result<std::string> h = gfxFontHeader(
        font({glyph(u'C', box(1, 1, "X"), 3, 1, -1), glyph(u'A', box(2, 1, "XX"), 4, 0, -2)}));
    ASSERT_TRUE(h) << h.error();
    EXPECT_NE(h->find("const uint8_t TestFace12Bitmaps[] PROGMEM = {\n    0xC0, 0x80,\n};"),
              std::string::npos)
        << *h;
    // The y offsets one row lower than the glyphs': the cursor's row stands on the baseline.
    EXPECT_NE(h->find("{     0,   2,   1,   4,    0,   -1}, /* 0x41 'A' */\n"
                      "    {     1,   0,   0,   0,    0,    0}, /* 0x42: none */\n"
                      "    {     1,   1,   1,   3,    1,    0}, /* 0x43 'C' */"),
              std::string::npos)
        << *h;
    EXPECT_NE(h->find("(GFXglyph *)TestFace12Glyphs, 0x41, 0x43, 16};"), std::string::npos);
}

TEST(GfxFont, LimitsOfTheFormatAreRefusedNamingTheGlyph) {
    EXPECT_EQ(error(gfxFontHeader(font({glyph(u'W', box(256, 2), 10)}))),
              "U+0057 is 256x2 dots; the format holds at most 255 on a side");
    EXPECT_EQ(error(gfxFontHeader(font({glyph(u'W', box(2, 2), 256)}))),
              "U+0057 advances 256 dots; the format holds 0 to 255");
    // The offsets as written, one row below the glyph's own.
    EXPECT_EQ(error(gfxFontHeader(font({glyph(u'W', box(2, 2), 5, 0, -130)}))),
              "U+0057 is placed at 0, -129; the format's offsets hold -128 to 127");
    EXPECT_EQ(error(gfxFontHeader(font({glyph(u'W', box(2, 2), 5, 0, 127)}))),
              "U+0057 is placed at 0, 128; the format's offsets hold -128 to 127");
    EXPECT_TRUE(gfxFontHeader(font({glyph(u'W', box(255, 255), 255, -128, 126)})));
    EXPECT_TRUE(gfxFontHeader(font({glyph(u'W', box(2, 2), 5, 0, -129)})));
    EXPECT_EQ(error(gfxFontHeader(font({glyph(u'W', box(2, 2), 5), glyph(u'\u20AC', box(1, 1), 2),
                                        glyph(u'\u00B0', box(1, 1), 2)}))),
              "U+20AC (\u20AC) lie above 0xFF: a GFX font's text renderer takes one byte a "
              "character, so it could never draw them");
    CProportionalFont tall = font({glyph(u'W', box(2, 2), 5)});
    tall.line.lineAdvance = 256;
    EXPECT_EQ(error(gfxFontHeader(tall)), "the line advance 256 is over the format's 255");
    // 255 × 255 dots take 8129 bytes: the ninth glyph starts at 65032, the tenth past 64 KiB.
    std::vector<CProportionalGlyph> big;
    for (char16_t c = u'a'; c < u'a' + 9; ++c)
        big.push_back(glyph(c, box(255, 255), 255));
    EXPECT_TRUE(gfxFontHeader(font(big)));
    big.push_back(glyph(u'j', box(255, 255), 255));
    EXPECT_EQ(error(gfxFontHeader(font(big))),
              "the bitmaps pass 64 KiB before U+006A; the format's 16-bit offsets cannot reach "
              "it (use a smaller range or size)");
}

TEST(MetricsTable, BinaryLayoutAsDocumented) {
    CEncodingOptions encoding;
    // The example beside metricsTableBinary(), with a blank glyph sorted in front of it.
    Result<std::string> bin = metricsTableBinary(
        font({glyph(u'.', box(2, 2, "XXXX"), 4, 1, -2), glyph(u' ', CDotMatrix(), 5)}), encoding);
    ASSERT_TRUE(bin) << bin.error();
    const std::string expected("\x00\x00\x00\x02\x00\x10\x00\x0C"
                               "\x00\x20\x00\x00\x00\x00\x00\x00\x00\x00\x00\x05\x00\x00\x00\x00"
                               "\x00\x2E\x00\x02\x00\x02\x00\x01\xFF\xFE\x00\x04\x00\x00\x00\x00"
                               "\xC0\xC0",
                               8 + 32 + 2);
    EXPECT_EQ(*bin, expected);
    // Dot and byte orders apply to each box: a column order packs the 2 × 2 box into 2 bytes.
    encoding.dotOrder = 2;
    bin = metricsTableBinary(font({glyph(u'.', box(2, 2, "X..X"), 4)}), encoding);
    ASSERT_TRUE(bin);
    EXPECT_EQ(bin->substr(24), std::string("\x80\x40", 2));
}

TEST(WriterTable, NamesAreUniqueAndEachHasItsWriteFunction) {
    std::set<std::string> names;
    for (const COutputWriter& w : outputWriters()) {
        EXPECT_TRUE(names.insert(w.name).second) << w.name;
        EXPECT_EQ(w.proportional(), w.writeProportional != nullptr) << w.name;
        EXPECT_EQ(!w.proportional(), w.writeMatrices != nullptr) << w.name;
        EXPECT_EQ(findWriter(w.name), &w);
    }
    EXPECT_EQ(findWriter("nope"), nullptr);
    EXPECT_EQ(cIdentifier("DejaVu Sans 12 Bold"), "DejaVuSans12Bold");
    EXPECT_EQ(cIdentifier("12 文泉驿"), "Font12");
    EXPECT_EQ(cIdentifier("文泉驿"), "Font");
}
