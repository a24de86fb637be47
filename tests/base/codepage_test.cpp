#include "base/codepage.h"

#include <gtest/gtest.h>

#include <iconv.h>

#include <set>

using namespace tgw;

TEST(CodePage, EveryCodeOfTheGb2312RowsConvertsBothWays) {
    std::set<char16_t> seen;
    for (int b1 = 0xA1; b1 <= 0xF7; ++b1) {
        for (int b2 = 0xA1; b2 <= 0xFE; ++b2) {
            char16_t u = ansiToUnicode(uint8_t(b1), uint8_t(b2));
            ASSERT_NE(u, 0) << std::hex << b1 << b2;
            CAnsiForm f = ansiForm(u);
            ASSERT_EQ(f.length, 2) << std::hex << b1 << b2;
            EXPECT_EQ(f.code(), uint16_t(b1 << 8 | b2));
            seen.insert(u);
        }
    }
    EXPECT_EQ(seen.size(), 8178u); // no two codes share a character
}

// The program reads a generated table; it must give the system converter's answer for every
// double-byte code, and a private-use character wherever the converter has none.
TEST(CodePage, EveryDoubleByteCodeAsTheSystemConverterHasIt) {
    iconv_t cd = iconv_open("UCS-2LE", "CP936");
    ASSERT_NE(cd, iconv_t(-1));
    int converted = 0;
    for (int b1 = 0x81; b1 <= 0xFE; ++b1) {
        for (int b2 = 0x40; b2 <= 0xFE; ++b2) {
            if (b2 == 0x7F)
                continue;
            char in[2] = {char(b1), char(b2)};
            char16_t out[4];
            char* ip = in;
            char* op = reinterpret_cast<char*>(out);
            size_t il = 2, ol = sizeof out;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
            const bool ok = iconv(cd, &ip, &il, &op, &ol) != size_t(-1) && sizeof out - ol == 2;
            const char16_t u = ansiToUnicode(uint8_t(b1), uint8_t(b2));
            if (ok) {
                ASSERT_EQ(u, out[0]) << std::hex << b1 << b2;
                ++converted;
            } else {
                ASSERT_GE(u, 0xE000) << std::hex << b1 << b2;
                ASSERT_LE(u, 0xF8FF) << std::hex << b1 << b2;
            }
        }
    }
    iconv_close(cd);
    EXPECT_GT(converted, 21000);
}

TEST(CodePage, PrivateUseAreaAsGb18030MapsIt) {
    EXPECT_EQ(ansiToUnicode(0xAA, 0xA1), 0xE000); // first user-defined area
    EXPECT_EQ(ansiToUnicode(0xAF, 0xFE), 0xE233);
    EXPECT_EQ(ansiToUnicode(0xF8, 0xA1), 0xE234); // second
    EXPECT_EQ(ansiToUnicode(0xA1, 0x40), 0xE4C6); // third
    EXPECT_EQ(ansiToUnicode(0xA2, 0xAB), 0xE766); // unassigned positions, in order
    EXPECT_EQ(ansiToUnicode(0xA2, 0xE3), 0xE76C);
    EXPECT_EQ(ansiToUnicode(0xA6, 0xD9), 0xE78D);
}

TEST(CodePage, FormsOfOrdinaryCharacters) {
    EXPECT_EQ(ansiForm(u'A').code(), 0x0041);
    EXPECT_EQ(ansiForm(u'中').code(), 0xD6D0);
    EXPECT_EQ(ansiForm(u'文').code(), 0xCEC4);
    EXPECT_EQ(ansiForm(u'€').code(), 0x0080);
    EXPECT_EQ(ansiForm(u'\u3000').code(), 0xA1A1);
    EXPECT_EQ(ansiForm(u'\u0E01').length, 0); // Thai: no form
    EXPECT_EQ(ansiForm(u'\u0E01').code(), 0xFFFF);
    EXPECT_EQ(ansiForm(0).length, 0);
}

TEST(CodePage, TextsConvertAndReportLoss) {
    bool lossy = true;
    EXPECT_EQ(toCp936(u"A中", &lossy), "A\xD6\xD0");
    EXPECT_FALSE(lossy);
    EXPECT_EQ(toCp936(u"\u0E01x", &lossy), "?x");
    EXPECT_TRUE(lossy);
    EXPECT_EQ(toCp936(u"\U0001F600", &lossy), "?"); // a surrogate pair is one character
    EXPECT_EQ(fromCp936("A\xD6\xD0\xCE\xC4"), u"A中文");
    // A lead byte at the end, or with a byte that cannot follow it, is not a character.
    EXPECT_EQ(fromCp936("\xD6"), u"\uFFFD");
    EXPECT_EQ(fromCp936("\xD6\x7F"), u"\uFFFD\x7F");
    EXPECT_EQ(fromCp936("\xD6"
                        "A"),
              u"\u8AE5"); // GBK trail bytes start at 0x40
}
