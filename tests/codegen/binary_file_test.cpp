#include "codegen/binary_file.h"
#include "codegen/matrix_packing.h"
#include "codegen_test_support.h"

#include <gtest/gtest.h>

namespace tgw {
namespace {

std::string bytes(std::initializer_list<int> values) {
    std::string s;
    for (int v : values)
        s.push_back(char(v));
    return s;
}

CEncodingOptions unicode(bool on) {
    CEncodingOptions o;
    o.unicode = on;
    return o;
}

// The example of binary_file.h: "中文" in 16 × 16.
TEST(BinaryFile, IndexThenData) {
    test::CNoRasteriser none;
    CGlyphList list(none);
    test::addChar(list, u'中', test::noise(16, 16, 1));
    test::addChar(list, u'文', test::noise(16, 16, 2));
    const std::string file = *binaryFile(list, unicode(false), true);
    const auto first = encodeMatrix(test::noise(16, 16, 1), 0, 0);
    EXPECT_EQ(file.substr(0, 24 + 32), bytes({0, 0, 0,    2,    0xD6, 0xD0, 0, 16, 0, 16, 0, 0,
                                              0, 0, 0xCE, 0xC4, 0,    16,   0, 16, 0, 0,  0, 32}) +
                                           std::string(first.begin(), first.end()));
    EXPECT_EQ(file.substr(24), *binaryFile(list, unicode(false), false));
    EXPECT_EQ(file.size(), 4u + 20 + 64);
}

TEST(BinaryFile, CodesSizesAndOffsets) {
    test::CNoRasteriser none;
    CGlyphList list(none);
    test::addChar(list, u'A', CDotMatrix(1, 1));  // 1 byte
    test::addChar(list, u'가', CDotMatrix(9, 9)); // 18 bytes, no code page 936 form
    test::add<CStringEntry>(list, CDotMatrix(2048, 1), u"s", false, test::gb16());
    test::add<CPictureEntry>(list, CDotMatrix(3, 2), u"p", 184);
    EXPECT_EQ(binaryFile(list, unicode(false), true)->substr(0, 44),
              bytes({0,    0,    0,    4,                               //
                     0x00, 0x41, 0,    1,    0, 1, 0, 0, 0,    0,       //
                     0xFF, 0xFF, 0,    9,    0, 9, 0, 0, 0,    1,       //
                     0xFF, 0xFF, 0x08, 0x00, 0, 1, 0, 0, 0,    19,      //
                     0xFF, 0xFF, 0,    3,    0, 2, 0, 0, 0x01, 0x13})); // 19 + 256
    auto ucs2 = binaryFile(list, unicode(true), true);
    EXPECT_EQ(ucs2->substr(14, 2) + ucs2->substr(24, 2), bytes({0xAC, 0x00, 0xFF, 0xFF}));
    EXPECT_EQ(ucs2->size(), 44u + 1 + 18 + 256 + 2);

    CGlyphList empty(none);
    EXPECT_EQ(*binaryFile(empty, unicode(false), true), "");
}

TEST(BinaryFile, FailedRenderLeavesACompleteFileOfTheEntriesBefore) {
    test::CNoRasteriser none;
    CGlyphList list(none);
    test::addChar(list, u'A', CDotMatrix(1, 1));
    test::addChar(list, u'B', CDotMatrix());
    CStringOutput out;
    Status s = writeBinaryFile(list, unicode(false), true, out);
    EXPECT_EQ(s.error(), "entry 2 (U+0042): the glyph is gone");
    EXPECT_EQ(out.data(), bytes({0, 0, 0, 1, 0, 0x41, 0, 1, 0, 1, 0, 0, 0, 0, 0}));
}

} // namespace
} // namespace tgw
