#include "base/text.h"

#include <gtest/gtest.h>

using namespace tgw;

TEST(Text, Utf8RoundTripAcrossAllLengths) {
    std::u16string s = u"A\u00E9\u4E2D\U0001F600";
    EXPECT_EQ(utf8ToUtf16(utf16ToUtf8(s)), s);
    EXPECT_EQ(utf16ToUtf8(u"\u4E2D"), "\xE4\xB8\xAD");
}

TEST(Text, MalformedUtf8BecomesReplacementCharacters) {
    EXPECT_EQ(utf8ToUtf16("\xC0\xAF"), u"\uFFFD\uFFFD");           // overlong
    EXPECT_EQ(utf8ToUtf16("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD"); // surrogate
    EXPECT_EQ(utf8ToUtf16("ab\xE4\xB8"), u"ab\uFFFD\uFFFD");       // cut short
    EXPECT_EQ(utf16ToUtf8(u"\xD800x"), "\xEF\xBF\xBDx");           // lone surrogate
}

TEST(Text, FormatGrowsPastItsSmallBuffer) {
    std::string big(1000, 'x');
    EXPECT_EQ(format("%s%d", big.c_str(), 7), big + "7");
}

TEST(Text, WhiteSpace) {
    for (char16_t c : {u' ', u'\t', u'\n', u'\r', u'\u3000', u'\u00A0'})
        EXPECT_TRUE(isWhiteSpace(c)) << int(c);
    for (char16_t c : {u'A', u'0', u'中', u'\0'})
        EXPECT_FALSE(isWhiteSpace(c)) << int(c);
}
