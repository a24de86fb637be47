#include "codegen/byte_map.h"
#include "codegen/code_text.h"
#include "codegen/matrix_packing.h"
#include "codegen/output_writers.h"
#include "model/glyph_list.h"

#include "codegen_test_support.h"

#include <gtest/gtest.h>

#include <random>

namespace tgw {
namespace {

using Bytes = std::vector<uint8_t>;

CDotMatrix randomLevels(int width, int height, int depth, unsigned seed) {
    std::mt19937 rng(seed);
    CDotMatrix m(width, height, depth);
    for (int r = 0; r < height; ++r)
        for (int c = 0; c < width; ++c)
            m.setLevel(r, c, uint8_t(rng() % (m.maxLevel() + 1u)));
    return m;
}

// The packing written out bit by bit, as a reader of the documented layout would: dot i of a
// row (orders 0, 1) or of a column (2, 3) owns bits [i × depth, (i + 1) × depth) of the line's
// bit stream, the stream cut into bytes that never split a field; orders 0 and 2 count a byte's
// bits from its top (bit 7 first), 1 and 3 from its bottom.
Bytes modelPacking(const CDotMatrix& m, int order) {
    const int d = m.depth(), w = m.width(), h = m.height();
    const bool columns = order >= 2;
    const bool fromTop = order == 0 || order == 2;
    const int lines = columns ? w : h, along = columns ? h : w;
    const int lineBytes = (along * d + 7) / 8;
    // Byte (k, line) of a column order is byte row k, column `line`.
    Bytes out(size_t(lineBytes) * size_t(lines), 0);
    for (int line = 0; line < lines; ++line)
        for (int i = 0; i < along; ++i) {
            const unsigned level = columns ? m.level(i, line) : m.level(line, i);
            for (int b = 0; b < d; ++b) {
                const int bit = i * d + b; // b = 0 is the field's highest bit
                const int byte = bit / 8, inByte = bit % 8;
                const bool on = (level >> (d - 1 - b)) & 1;
                if (!on)
                    continue;
                // From the top: the field's bits run 7, 6, …; from the bottom the fields run
                // upwards from bit 0 but each keeps its own high bit on top.
                const int field = inByte / d, within = inByte % d;
                const int bitNo = fromTop ? 7 - inByte : field * d + (d - 1 - within);
                const size_t at = columns ? size_t(byte) * size_t(w) + size_t(line)
                                          : size_t(line) * size_t(lineBytes) + size_t(byte);
                out[at] = uint8_t(out[at] | (1u << bitNo));
            }
        }
    return out;
}

TEST(GreyPacking, EveryOrderAndDepthAtTheByteBoundaries) {
    for (int depth : {1, 2, 4, 8})
        for (int width : {1, 3, 4, 5, 7, 8, 9})
            for (int height : {1, 3, 4, 5, 7, 8, 9})
                for (int order = 0; order < 4; ++order) {
                    const CDotMatrix m = randomLevels(width, height, depth,
                                                      unsigned(width * 131 + height * 7 + depth));
                    const Bytes packed = packMatrix(m, order);
                    EXPECT_EQ(packed, modelPacking(m, order))
                        << width << "x" << height << " depth " << depth << " order " << order;
                    EXPECT_EQ(packed.size(), packedLayout(width, height, order, depth).size());
                }
}

TEST(GreyPacking, FourBitsPutTheLeftDotInTheHighNibbleOfOrderZero) {
    CDotMatrix m(3, 1, 4);
    m.setLevel(0, 0, 0xA);
    m.setLevel(0, 1, 0x5);
    m.setLevel(0, 2, 0xF);
    EXPECT_EQ(packMatrix(m, 0), (Bytes{0xA5, 0xF0}));
    EXPECT_EQ(packMatrix(m, 1), (Bytes{0x5A, 0x0F}));
    // Two bits, a column of five: four dots in the first byte row, the fifth alone.
    CDotMatrix c(1, 5, 2);
    for (int r = 0; r < 5; ++r)
        c.setLevel(r, 0, uint8_t(r % 4));
    EXPECT_EQ(packMatrix(c, 2), (Bytes{0x1B, 0x00}));
    EXPECT_EQ(packMatrix(c, 3), (Bytes{0xE4, 0x00}));
    // Byte orders walk the longer bytes unchanged: a 4-bit 2 × 2 in byte order 1 (bottom-up).
    CDotMatrix b(2, 2, 4);
    b.setLevel(0, 0, 1);
    b.setLevel(1, 1, 2);
    EXPECT_EQ(encodeMatrix(b, 0, 1), (Bytes{0x02, 0x10}));
}

TEST(GreyPacking, ExplainDrawsTheFields) {
    const CByteMap map(4, 1, 0, 0, 2);
    EXPECT_EQ(map.byteCount(), 1);
    EXPECT_EQ(map.at(0, 0).bit, 7);
    EXPECT_EQ(map.at(3, 0).bit, 1);
    EXPECT_NE(map.text().find(" 0.7-6 0.5-4 0.3-2 0.1-0"), std::string::npos) << map.text();
    const CByteMap low(2, 1, 1, 0, 4);
    EXPECT_EQ(low.at(0, 0).bit, 3);
    EXPECT_EQ(low.at(1, 0).bit, 7);
}

TEST(GreyWriters, TheTableSaysWhoHoldsGrey) {
    for (const char* name : {"c", "asm", "bin", "metrics-c", "metrics-bin"})
        for (int d : kDepths)
            EXPECT_TRUE(findWriter(name)->takesDepth(d)) << name << " " << d;
    for (const char* name : {"gfx", "bdf", "u8g2"}) {
        EXPECT_TRUE(findWriter(name)->takesDepth(1));
        EXPECT_FALSE(findWriter(name)->takesDepth(4));
        const Status s = checkWriterDepth(*findWriter(name), 4);
        ASSERT_FALSE(s);
        EXPECT_NE(s.error().find("1 bit a dot"), std::string::npos) << s.error();
    }
    EXPECT_EQ(writerDepthsText(*findWriter("c")), "1, 2, 4 or 8 bits a dot");
}

TEST(GreyWriters, CodeTextDrawsTheLevelsAndRefusalsNameTheEntry) {
    test::CNoRasteriser r;
    CGlyphList list(r);
    CFontSettings font = test::gb16();
    font.width = 4;
    font.height = 2;
    font.depth = 4;
    CDotMatrix m(4, 2, 4);
    m.setLevel(0, 0, 15);
    m.setLevel(0, 1, 8);
    m.setLevel(1, 3, 1);
    test::addChar(list, u'A', m, font);
    CEncodingOptions o;
    o.head.clear();
    CStringOutput c;
    ASSERT_TRUE(writeList(*findWriter("c"), list, o, {}, c));
    const std::string text = std::move(c).data();
    EXPECT_NE(text.find("/* 4 bits a dot"), std::string::npos) << text;
    EXPECT_NE(text.find("   #+..\r\n   ...'\r\n*/\r\n0xF8,0x00,0x00,0x01,"), std::string::npos)
        << text;
    CStringOutput a;
    ASSERT_TRUE(writeList(*findWriter("asm"), list, o, {}, a));
    const std::string assembler = std::move(a).data();
    EXPECT_NE(assembler.find("; #+..\r\n; ...'\r\nDB 0F8H,000H,000H,001H"), std::string::npos)
        << assembler;
    CStringOutput g;
    const Status refused = writeList(*findWriter("gfx"), list, o, {}, g);
    ASSERT_FALSE(refused);
    EXPECT_NE(refused.error().find("entry 1"), std::string::npos) << refused.error();
}

} // namespace
} // namespace tgw
