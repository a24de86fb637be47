#include "codegen/encoding_options.h"
#include "codegen/matrix_packing.h"

#include <gtest/gtest.h>

namespace tgw {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes firstTwo(const Bytes& b) {
    return Bytes(b.begin(), b.begin() + 2);
}
Bytes lastTwo(const Bytes& b) {
    return Bytes(b.end() - 2, b.end());
}

// One lit dot lands in exactly one bit, for every dot order and awkward sizes.
TEST(Packing, SingleDotLandsInItsBit) {
    struct Case {
        int width, height, row, col, order;
        size_t size, index;
        uint8_t value;
    } cases[] = {
        {8, 8, 0, 0, 0, 8, 0, 0x80},     {8, 8, 0, 0, 1, 8, 0, 0x01},
        {8, 8, 0, 0, 2, 8, 0, 0x80},     {8, 8, 0, 0, 3, 8, 0, 0x01},
        {9, 1, 0, 8, 0, 2, 1, 0x80},     {9, 1, 0, 8, 1, 2, 1, 0x01},
        {9, 1, 0, 8, 2, 9, 8, 0x80},     {9, 1, 0, 8, 3, 9, 8, 0x01},
        {1, 9, 8, 0, 0, 9, 8, 0x80},     {1, 9, 8, 0, 2, 2, 1, 0x80},
        {17, 3, 2, 16, 1, 9, 8, 0x01},   {17, 3, 2, 16, 2, 17, 16, 0x20},
        {17, 3, 2, 16, 3, 17, 16, 0x04}, {33, 5, 4, 31, 0, 25, 23, 0x01},
        {33, 5, 4, 31, 1, 25, 23, 0x80}, {7, 9, 8, 6, 3, 14, 13, 0x01},
    };
    for (const Case& c : cases) {
        CDotMatrix m(c.width, c.height);
        m.set(c.row, c.col, true);
        Bytes expected(c.size, 0);
        expected[c.index] = c.value;
        EXPECT_EQ(packMatrix(m, c.order), expected)
            << c.width << "x" << c.height << " dot " << c.row << "," << c.col << " order "
            << c.order;
    }
}

TEST(Packing, UnusedBitsStayZero) {
    CDotMatrix full(9, 9);
    for (int r = 0; r < 9; ++r)
        for (int c = 0; c < 9; ++c)
            full.set(r, c, true);
    EXPECT_EQ(lastTwo(packMatrix(full, 0)), (Bytes{0xFF, 0x80}));
    EXPECT_EQ(lastTwo(packMatrix(full, 1)), (Bytes{0xFF, 0x01}));
    EXPECT_EQ(packMatrix(full, 2).back(), 0x80);
    EXPECT_EQ(packMatrix(full, 3).back(), 0x01);
}

// The worked example in matrix_packing.h.
TEST(Packing, LetterF) {
    CDotMatrix f(8, 8);
    const char* rows[] = {"XXXXX...", "X.......", "X.......", "XXXX....",
                          "X.......", "X.......", "X.......", "........"};
    for (int r = 0; r < 8; ++r)
        for (int c = 0; c < 8; ++c)
            f.set(r, c, rows[r][c] == 'X');
    EXPECT_EQ(firstTwo(packMatrix(f, 0)), (Bytes{0xF8, 0x80}));
    EXPECT_EQ(firstTwo(packMatrix(f, 1)), (Bytes{0x1F, 0x01}));
    EXPECT_EQ(firstTwo(packMatrix(f, 2)), (Bytes{0xFE, 0x90}));
    EXPECT_EQ(firstTwo(packMatrix(f, 3)), (Bytes{0x7F, 0x09}));
}

// Many lit dots at once, in every dot order, at widths on both sides of each multiple of 8:
// the packing agrees with one made a bit at a time from the layout in matrix_packing.h.
TEST(Packing, RandomDotsPackAsTheirBitsOneByOne) {
    uint32_t seed = 12345;
    auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return seed >> 16;
    };
    for (int w = 1; w <= 41; ++w)
        for (int h : {1, 7, 8, 9, 17})
            for (int density : {2, 8, 15}) { // lit dots in 16ths
                CDotMatrix m(w, h);
                for (int r = 0; r < h; ++r)
                    for (int c = 0; c < w; ++c)
                        m.set(r, c, int(next() % 16) < density);
                for (int order = 0; order < 4; ++order) {
                    const CPackedLayout layout = packedLayout(w, h, order);
                    Bytes expected(layout.size(), 0);
                    for (int r = 0; r < h; ++r)
                        for (int c = 0; c < w; ++c) {
                            if (!m.lit(r, c))
                                continue;
                            if (order < 2)
                                expected[size_t(r) * size_t(layout.columns) + size_t(c / 8)] |=
                                    uint8_t(order == 0 ? 0x80 >> (c % 8) : 1 << (c % 8));
                            else
                                expected[size_t(r / 8) * size_t(w) + size_t(c)] |=
                                    uint8_t(order == 2 ? 0x80 >> (r % 8) : 1 << (r % 8));
                        }
                    ASSERT_EQ(packMatrix(m, order), expected)
                        << w << "x" << h << " order " << order << " density " << density;
                }
            }
}

TEST(ByteOrder, AllEightWalksOfThreeRowsByTwoColumns) {
    // Byte rows [1 2] [3 4] [5 6].
    const uint8_t packed[] = {1, 2, 3, 4, 5, 6};
    const Bytes expected[8] = {{1, 2, 3, 4, 5, 6}, {5, 6, 3, 4, 1, 2}, {2, 1, 4, 3, 6, 5},
                               {6, 5, 4, 3, 2, 1}, {1, 3, 5, 2, 4, 6}, {2, 4, 6, 1, 3, 5},
                               {5, 3, 1, 6, 4, 2}, {6, 4, 2, 5, 3, 1}};
    for (int order = 0; order < 8; ++order) {
        Bytes out{0xAA}; // appends after what is there
        appendInByteOrder(packed, {3, 2}, order, out);
        Bytes want{0xAA};
        want.insert(want.end(), expected[order].begin(), expected[order].end());
        EXPECT_EQ(out, want) << "byte order " << order;
    }
}

TEST(ByteOrder, WalksThePackedLayoutOfTheDotOrder) {
    // 9 × 2, dots at row 0 column 8 and row 1 column 1: order 0 packs [00 80] [40 00], order 2
    // one byte row of nine with 0x40 at column 1 and 0x80 at column 8.
    CDotMatrix m(9, 2);
    m.set(0, 8, true);
    m.set(1, 1, true);
    EXPECT_EQ(encodeMatrix(m, 0, 4), (Bytes{0x00, 0x40, 0x80, 0x00}));
    EXPECT_EQ(encodeMatrix(m, 0, 5), (Bytes{0x80, 0x00, 0x00, 0x40}));
    EXPECT_EQ(encodeMatrix(m, 2, 2), (Bytes{0x80, 0, 0, 0, 0, 0, 0, 0x40, 0}));
}

// The place a dot is said to land in (CEncodingOptions::placeOf) is where the encoder puts it: one
// dot lit at its full level, encoded as code text and binary files encode it (prepared, then packed
// and ordered), changes exactly that field of that byte. Every order, depth, turn and mirror, at
// sizes around the byte edges.
TEST(Packing, DotPlaceIsWhereTheEncoderPutsTheDot) {
    const int sizes[][2] = {{1, 1}, {7, 9}, {8, 8}, {9, 1}, {1, 9}, {17, 3}, {5, 16}};
    for (auto [w, h] : sizes)
        for (int depth : {1, 2, 4, 8})
            for (int rotation : {0, 90, 180, 270})
                for (bool mirror : {false, true})
                    for (int dotOrder = 0; dotOrder < 4; ++dotOrder)
                        for (int byteOrder = 0; byteOrder < 8; ++byteOrder) {
                            CEncodingOptions o;
                            o.dotOrder = dotOrder;
                            o.byteOrder = byteOrder;
                            o.rotation = rotation;
                            o.mirror = mirror;
                            auto encode = [&](const CDotMatrix& m) {
                                CDotMatrix scratch;
                                return encodeMatrix(o.prepared(m, scratch), dotOrder, byteOrder);
                            };
                            const Bytes blank = encode(CDotMatrix(w, h, depth));
                            for (int r = 0; r < h; ++r)
                                for (int c = 0; c < w; ++c) {
                                    CDotMatrix m(w, h, depth);
                                    m.set(r, c, true);
                                    const Bytes lit = encode(m);
                                    const auto place = o.placeOf(w, h, depth, r, c);
                                    ASSERT_TRUE(place);
                                    Bytes expected = blank;
                                    expected.at(place->byte) ^=
                                        uint8_t(((1u << place->bits) - 1)
                                                << (place->bit + 1 - place->bits));
                                    ASSERT_EQ(lit, expected)
                                        << w << "x" << h << " depth " << depth << " turn "
                                        << rotation << " mirror " << mirror << " orders "
                                        << dotOrder << "/" << byteOrder << " dot " << r << "," << c;
                                }
                        }
}

// What has no place.
TEST(Packing, DotPlaceOutsideTheMatrix) {
    const CEncodingOptions o;
    EXPECT_FALSE(o.placeOf(8, 8, 1, 8, 0));
    EXPECT_FALSE(o.placeOf(8, 8, 1, 0, -1));
    EXPECT_TRUE(o.placeOf(8, 8, 1, 7, 7));
}

} // namespace
} // namespace tgw
