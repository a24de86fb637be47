#include "base/file_name.h"

#include <gtest/gtest.h>

using namespace tgw;

TEST(FileNames, EveryByteStringComesBackAsItWas) {
    const std::string names[] = {
        "plain.bmp",
        "\xE5\x9B\xBE.png",         // valid UTF-8: kept as text
        "\xFF.bmp",                 // a byte that starts nothing
        "\xE5\x9B.bmp",             // a sequence cut short
        "\xC0\xAF",                 // an overlong '/'
        "\xED\xA0\x80",             // a surrogate written in UTF-8
        "\xF0\x9F\x98\x80\x80\xFE", // U+1F600, then a stray continuation byte and 0xFE
        std::string("a\0b", 3),
    };
    for (const std::string& bytes : names) {
        SCOPED_TRACE(bytes);
        EXPECT_EQ(fileNameToBytes(fileNameToText(bytes)), bytes);
    }
    EXPECT_EQ(fileNameToText("\xFF.bmp"), u"\xDCFF.bmp");
    EXPECT_EQ(fileNameToText("\xE5\x9B\xBE"), u"\u56FE");
    EXPECT_EQ(fileNameToText("\xF0\x9F\x98\x80\x80"), u"\U0001F600\xDC80");
}

TEST(FileNames, OnlyNamesWithoutKeptBytesAreText) {
    EXPECT_TRUE(fileNameIsText(fileNameToText("\xE5\x9B\xBE.png")));
    EXPECT_TRUE(fileNameIsText(u"\U0001F600")); // a pair ending in a low surrogate
    EXPECT_FALSE(fileNameIsText(fileNameToText("\xFF.bmp")));
    // Other lone surrogates were never made by fileNameToText(): they come out as U+FFFD.
    EXPECT_EQ(fileNameToBytes(u"\xD800x"), "\xEF\xBF\xBDx");
}
