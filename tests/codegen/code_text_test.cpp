#include "codegen/code_text.h"
#include "codegen/utf8_text_output.h"
#include "codegen_test_support.h"

#include <gtest/gtest.h>

namespace tgw {
namespace {

using test::gbk;

CEncodingOptions options(bool assembler, std::u16string_view head = u"", bool unicode = false,
                         int dotOrder = 0) {
    CEncodingOptions o;
    o.set(dotOrder, 0, assembler, unicode, head, assembler ? u"" : u"/* end */\r\n");
    return o;
}

std::string repeat(const std::string& s, int n) {
    std::string out;
    while (n-- > 0)
        out += s;
    return out;
}

// A 16 × 16 character with its top-left and bottom-right dots, in both languages.
TEST(CodeText, WholeEntryOfACharacter) {
    test::CNoRasteriser none;
    CGlyphList list(none);
    CDotMatrix m(16, 16);
    m.set(0, 0, true);
    m.set(15, 15, true);
    test::addChar(list, u'中', m);
    EXPECT_EQ(*codeText(list, options(false, u"/* %MATRIXCODE_HEAD_FONT%*/\r\n")),
              gbk(u"/* GB2312 16x16点阵字库*/\r\n/* 中[0xD6D0]   16x16 */\r\n") + "0x80," +
                  repeat("0x00,", 15) + "\r\n" + repeat("0x00,", 15) + "0x01,\r\n/* end */\r\n");
    EXPECT_EQ(*codeText(list, options(true, u"; %MATRIXCODE_HEAD_FONT%\r\n")),
              gbk(u"; GB2312 16x16点阵字库\r\n; 中[0D6D0H]   16x16 \r\nDB ") + "080H," +
                  repeat("000H,", 14) + "000H\r\nDB " + repeat("000H,", 15) + "001H\r\n");
}

TEST(CodeText, CommentLineForms) {
    test::CNoRasteriser none;
    CGlyphList list(none);
    auto& a = test::addChar(list, u'A', CDotMatrix(5, 7));
    auto& zh = test::addChar(list, u'中', CDotMatrix(5, 7));
    auto& euro = test::addChar(list, u'€', CDotMatrix(5, 7));    // one byte, 0x80
    auto& hangul = test::addChar(list, u'가', CDotMatrix(5, 7)); // no code page 936 form
    auto& lf = test::addChar(list, u'\n', CDotMatrix(5, 7));
    auto& pic = test::add<CPictureEntry>(list, CDotMatrix(12, 3), u"/tmp/x.png", 184);
    auto& str = test::add<CStringEntry>(list, CDotMatrix(4, 4), u"1\r\n2*/", false, test::gb16());
    const auto c = options(false), as = options(true), cu = options(false, u"", true),
               au = options(true, u"", true);
    struct Case {
        CGlyphEntry& entry;
        const CEncodingOptions& o;
        std::string line;
    } cases[] = {
        {a, c, "/*  A[0x0041]    5x7  */\r\n"},
        {a, as, ";  A[00041H]    5x7  \r\nDB "},
        {zh, c, gbk(u"/* 中[0xD6D0]    5x7  */\r\n")},
        {zh, cu, gbk(u"/* 中[0x4E2D]    5x7  */\r\n")},
        {zh, au, gbk(u"; 中[04E2DH]    5x7  \r\nDB ")},
        {euro, c, "/*  \x80[0x0080]    5x7  */\r\n"},
        {hangul, c, "/* UCS2:0xAC00   5x7  */\r\n"},
        {hangul, as, "; UCS2:0AC00H   5x7  \r\nDB "},
        {hangul, cu, "/*   [0xAC00]    5x7  */\r\n"},
        {lf, as, ";   [0000AH]    5x7  \r\nDB "},
        {pic, c, gbk(u"/* 图像 /tmp/x.png   12x3   */\r\n")},
        {pic, as, gbk(u"; 图像 /tmp/x.png   12x3   \r\nDB ")},
        {str, c, gbk(u"/* 字串 1 2* /    4x4   */\r\n")},
        {str, as, gbk(u"; 字串 1 2*/    4x4   \r\nDB ")},
    };
    for (const Case& k : cases)
        EXPECT_EQ(commentLine(k.entry, k.entry.width(), k.entry.height(), k.o), k.line);
}

// User text stays inside its comment; ordinary text is untouched.
TEST(CodeText, CommentSafeText) {
    EXPECT_EQ(commentSafe("a\r\nb\nc\rd*/e**/f", false), "a b c d* /e** /f");
    EXPECT_EQ(commentSafe("a\r\nb\nc\rd*/e**/f", true), "a b c d*/e**/f");
    EXPECT_EQ(commentSafe(gbk(u"x/*y*z/ 中文\t%d\\"), false), gbk(u"x/*y*z/ 中文\t%d\\"));
}

TEST(CodeText, SeventeenBytesMakeTwoLines) {
    test::CNoRasteriser none;
    CGlyphList list(none);
    test::add<CPictureEntry>(list, CDotMatrix(17, 1), u"p", 184); // 17 bytes in dot order 2
    EXPECT_EQ(*codeText(list, options(false, u"", false, 2)), gbk(u"/* 图像 p   17x1   */\r\n") +
                                                                  repeat("0x00,", 16) +
                                                                  "\r\n0x00,\r\n/* end */\r\n");
    EXPECT_EQ(*codeText(list, options(true, u"", false, 2)),
              gbk(u"; 图像 p   17x1   \r\nDB ") + repeat("000H,", 15) + "000H\r\nDB 000H\r\n");
}

TEST(CodeText, HeaderTemplateAndFontDescription) {
    test::CNoRasteriser none;
    CGlyphList list(none);
    CFontSettings f = test::gb16();
    f.kind = kFontTrueType;
    f.face = u"Evil*/Face\n"; // user text in a C comment too
    f.size = 16;
    f.offset = -2;
    test::addChar(list, u'A', CDotMatrix(1, 1), f);
    test::add<CPictureEntry>(list, CDotMatrix(1, 1), u"p", 184);
    // No header at all for an empty template.
    EXPECT_EQ(*codeText(list, options(true)),
              ";  A[00041H]    1x1  \r\nDB 000H\r\n" + gbk(u"; 图像 p    1x1   \r\nDB 000H\r\n"));
    // The placeholder, every time it appears, for fonts only; printf marks are plain text.
    const std::string text =
        *codeText(list, options(false, u"<%MATRIXCODE_HEAD_FONT%|%d%s|%MATRIXCODE_HEAD_FONT%>"));
    const std::string font = gbk(u"Evil* /Face  字号[16点] 上移[-2]");
    EXPECT_EQ(text.substr(0, text.find("/*")), "<" + font + "|%d%s|" + font + ">");
    EXPECT_NE(text.find("<%MATRIXCODE_HEAD_FONT%|%d%s|%MATRIXCODE_HEAD_FONT%>/* "),
              std::string::npos);

    f.size = 0;
    f.offset = 3;
    f.bold = f.italic = f.underline = f.strikeout = true;
    EXPECT_EQ(fontDescription(f),
              gbk(u"Evil*/Face\n [未指定字号] 下移[3] +粗体 +斜体 +下划线 +删除线"));
}

TEST(EncodingOptions, TemplatesAreCutOnACharacterBoundary) {
    CEncodingOptions o;
    o.set(9, -1, 2, 1, std::u16string(258, u'a') + u"中", std::u16string(257, u'b') + u"中文");
    EXPECT_EQ(o.head, std::string(258, 'a'));
    EXPECT_EQ(o.tail, std::string(257, 'b') + gbk(u"中"));
    EXPECT_EQ(o.dotOrder + o.byteOrder, 0);
    EXPECT_EQ(CEncodingOptions::fromSettings(CSettings::defaults()).head,
              "/* %MATRIXCODE_HEAD_FONT%*/\r\n");
}

TEST(CodeText, FailedRenderStopsTheFile) {
    test::CNoRasteriser none;
    CGlyphList list(none);
    test::addChar(list, u'A', CDotMatrix(1, 1));
    test::addChar(list, u'B', CDotMatrix()); // no dots: must render, and cannot
    test::addChar(list, u'C', CDotMatrix(1, 1));
    CStringOutput out;
    Status s = writeCodeText(list, options(true), out);
    EXPECT_EQ(s.error(), "entry 2 (U+0042): the glyph is gone");
    EXPECT_EQ(out.data(), ";  A[00041H]    1x1  \r\nDB 000H\r\n");
}

} // namespace
} // namespace tgw

namespace tgw {
namespace {

// The header form: a golden text of two entries of one size, and what it refuses.
TEST(CodeText, HeaderOfOneArray) {
    test::CNoRasteriser none;
    CGlyphList list(none);
    CDotMatrix m(8, 2);
    m.set(0, 0, true);
    test::addChar(list, u'A', m);
    m.set(1, 7, true);
    test::addChar(list, u'中', m);
    CEncodingOptions o = options(false);
    o.tail.clear();
    o.headerName = "font";
    EXPECT_EQ(*codeText(list, o),
              gbk(u"#ifndef FONT_H\r\n#define FONT_H\r\n\r\n#include <stdint.h>\r\n\r\n"
                  u"/* Entry i has the code font_codes[i]; its bytes start at "
                  u"font[font_offsets[i]]. */\r\n#define FONT_COUNT 2\r\n\r\n"
                  u"static const uint8_t font[] = {\r\n"
                  u"/*  A[0x0041]    8x2  */\r\n0x80,0x00,\r\n"
                  u"/* 中[0xD6D0]    8x2  */\r\n0x80,0x01,\r\n};\r\n\r\n"
                  u"static const uint16_t font_codes[2] = {\r\n    0x0041, 0xD6D0,\r\n};\r\n"
                  u"static const uint32_t font_offsets[2] = {\r\n    0, 2,\r\n};\r\n\r\n"
                  u"#define FONT_WIDTH 8\r\n#define FONT_HEIGHT 2\r\n#define FONT_GLYPH_BYTES 2\r\n"
                  u"\r\n#endif\r\n"));

    o.headerName = "int";
    EXPECT_FALSE(codeText(list, o));
    o.headerName = "font";
    o.assembler = true;
    EXPECT_FALSE(codeText(list, o));
    o.assembler = false;
    CGlyphList empty(none);
    EXPECT_FALSE(codeText(empty, o)); // C has no empty array

    for (const char* good : {"font", "_font16", "Font_16x16", "a"})
        EXPECT_TRUE(isCIdentifier(good)) << good;
    for (const char* bad : {"", "16font", "font-16", "static", "_Bool", "__x", "_X", "føø"})
        EXPECT_FALSE(isCIdentifier(bad)) << bad;
    EXPECT_FALSE(isCIdentifier(std::string(64, 'a')));
}

// A CR LF split between two writes is one LF; a CR alone stays, also at the very end.
TEST(CodeText, Utf8OutputJoinsLineEndsAcrossWrites) {
    CStringOutput out;
    CUtf8TextOutput text(out);
    ASSERT_TRUE(text.write(gbk(u"/* 中 */\r")));
    ASSERT_TRUE(text.write("\n0x01,\r\nA\rB\r"));
    ASSERT_TRUE(text.write("C\r"));
    ASSERT_TRUE(text.finish());
    EXPECT_EQ(out.data(), "/* \xE4\xB8\xAD */\n0x01,\nA\rB\rC\r");
}

} // namespace
} // namespace tgw
