#include "codegen/byte_map.h"
#include "codegen/display_presets.h"
#include "codegen/encoding_options.h"
#include "codegen/matrix_packing.h"
#include "codegen_test_support.h"
#include "model/matrix_edits.h"
#include "model/settings.h"

#include <gtest/gtest.h>

#include <functional>

namespace tgw {
namespace {

using Bytes = std::vector<uint8_t>;
// Whether the controller shows pixel (x, y) in the foreground colour, given the bytes written.
using Controller = std::function<bool(const Bytes& written, int width, int height, int x, int y)>;

// Page memory written with horizontal addressing over a width-column window: the column
// pointer runs across the page, then moves to the next page.
bool pageMode(const Bytes& w, int width, int, int x, int y) {
    const size_t at = size_t(y / 8) * size_t(width) + size_t(x);
    return (w.at(at) >> (y % 8)) & 1;
}

// Rows of 16-bit words, high byte sent first, bit 15 the leftmost dot of the word.
bool st7920(const Bytes& w, int width, int, int x, int y) {
    const size_t word = size_t(y) * size_t(width / 16) + size_t(x / 16);
    const unsigned v = unsigned(w.at(word * 2)) << 8 | w.at(word * 2 + 1);
    return (v >> (15 - x % 16)) & 1;
}

// CGRAM: eight bytes, one a row; D4 is the leftmost of five dots, D7..D5 unused.
bool hd44780(const Bytes& w, int, int, int x, int y) {
    return (w.at(size_t(y)) >> (4 - x)) & 1;
}

// Shift-register rows: each row's bytes clocked in MSB first, so the first bit out of the
// first byte reaches the leftmost column. MAX7219 digit registers hold rows the same way.
bool rowShift(const Bytes& w, int width, int, int x, int y) {
    const size_t at = size_t(y) * size_t((width + 7) / 8) + size_t(x / 8);
    return (w.at(at) >> (7 - x % 8)) & 1;
}

// Black/white RAM: X counts bytes of eight dots, MSB leftmost; a set bit is white paper, so
// the foreground (black ink) is a clear bit.
bool epaper(const Bytes& w, int width, int height, int x, int y) {
    return !rowShift(w, width, height, x, y);
}

// Each preset, played through its controller: the matrix made ready as the preset says, then
// encoded with its orders, lights exactly the matrix's dots.
TEST(DisplayPresets, ControllersShowTheMatrix) {
    const std::map<std::string, Controller> controllers = {
        {"ssd1306", pageMode}, {"st7565", pageMode},  {"pcd8544", pageMode}, {"st7920", st7920},
        {"hd44780", hd44780},  {"max7219", rowShift}, {"hub12", rowShift},   {"ssd1680", epaper},
    };
    size_t oneBit = 0;
    for (const CDisplayPreset& p : displayPresets())
        oneBit += p.depth == 1;
    ASSERT_EQ(oneBit, controllers.size());
    for (const CDisplayPreset& p : displayPresets()) {
        if (p.depth > 1)
            continue; // GreyControllersShowTheLevels
        SCOPED_TRACE(p.name);
        const Controller& show = controllers.at(p.name);
        const int width = p.cellWidth ? p.cellWidth : 32;
        const int height = p.cellHeight ? p.cellHeight : 24;
        ASSERT_TRUE(presetFitsSize(p, width, height));
        const CDotMatrix m = test::noise(width, height, 17);
        CDotMatrix ready = m;
        if (p.mirror)
            ready = *applyEdit(ready, EMatrixEdit::MirrorHorizontal);
        if (p.invert)
            ready = *applyEdit(ready, EMatrixEdit::Invert);
        const Bytes bytes = encodeMatrix(ready, p.dotOrder, p.byteOrder);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                ASSERT_EQ(show(bytes, width, height, x, y), m.lit(y, x)) << x << "," << y;
    }
}

// The level a grey controller shows at (x, y), given the bytes written: rows of bytes, each
// holding 8 / depth dots.
using GreyController = std::function<int(const Bytes& written, int width, int x, int y)>;

// SSD1322 with nibble re-map on: two dots a byte, D7..D4 the left one; 15 brightest.
int ssd1322(const Bytes& w, int width, int x, int y) {
    const uint8_t b = w.at(size_t(y) * size_t(width / 2) + size_t(x / 2));
    return x % 2 == 0 ? b >> 4 : b & 15;
}

// SSD1327 at its reset re-map: two dots a byte, D3..D0 the left one.
int ssd1327(const Bytes& w, int width, int x, int y) {
    const uint8_t b = w.at(size_t(y) * size_t(width / 2) + size_t(x / 2));
    return x % 2 == 0 ? b & 15 : b >> 4;
}

// SSD1606: four dots a byte, D7..D6 the left one; 00 black, 11 white: the ink is 3 − value.
int ssd1606(const Bytes& w, int width, int x, int y) {
    const uint8_t b = w.at(size_t(y) * size_t(width / 4) + size_t(x / 4));
    return 3 - ((b >> (6 - 2 * (x % 4))) & 3);
}

// Grey-scale presets through the export's own preparation (CEncodingOptions, no edit by the
// user): every level of a noisy matrix reaches its controller's memory as that level.
TEST(DisplayPresets, GreyControllersShowTheLevels) {
    const std::map<std::string, GreyController> controllers = {
        {"ssd1322", ssd1322}, {"ssd1327", ssd1327}, {"ssd1606", ssd1606}};
    size_t grey = 0;
    for (const CDisplayPreset& p : displayPresets()) {
        if (p.depth == 1)
            continue;
        ++grey;
        SCOPED_TRACE(p.name);
        const int width = 32, height = 6;
        ASSERT_TRUE(presetFitsSize(p, width, height));
        CDotMatrix m(width, height, p.depth);
        uint32_t seed = 5;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                m.setLevel(y, x,
                           uint8_t((seed = seed * 1664525u + 1013904223u) >> 24) & m.maxLevel());
        CSettings settings;
        settings.displayPreset = p.name;
        settings.pointsSeq = p.dotOrder;
        settings.bytesSeq = p.byteOrder;
        const CEncodingOptions o = CEncodingOptions::fromSettings(settings);
        CDotMatrix scratch;
        const Bytes bytes = encodeMatrix(o.prepared(m, scratch), o.dotOrder, o.byteOrder);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                ASSERT_EQ(controllers.at(p.name)(bytes, width, x, y), m.level(y, x))
                    << x << "," << y;
        EXPECT_NE(presetProblem(p, width, height, 0, 1), "");
        EXPECT_EQ(presetProblem(p, width, height, 0, p.depth), "");
    }
    EXPECT_EQ(grey, controllers.size());
}

TEST(DisplayPresets, LookUpAndMatching) {
    ASSERT_NE(findDisplayPreset("SSD1306"), nullptr);
    EXPECT_EQ(findDisplayPreset("ssd1306"), findDisplayPreset("Ssd1306"));
    EXPECT_EQ(findDisplayPreset("ssd130"), nullptr);
    EXPECT_EQ(findDisplayPreset(""), nullptr);
    // Page-mode OLEDs and LCDs share their orders; the drop-down shows all of them for 3/0.
    std::vector<std::string> names;
    for (const CDisplayPreset* p : presetsMatching(3, 0))
        names.push_back(p->name);
    EXPECT_EQ(names, (std::vector<std::string>{"ssd1306", "st7565", "pcd8544"}));
    EXPECT_TRUE(presetsMatching(2, 7).empty());
    EXPECT_EQ(presetRequirements(*findDisplayPreset("hd44780")),
              "a fixed 5x8 cell; mirror the matrix left-right");
    EXPECT_FALSE(presetFitsSize(*findDisplayPreset("ssd1306"), 16, 12));
    EXPECT_FALSE(presetFitsSize(*findDisplayPreset("hd44780"), 8, 8));
}

// The map's byte and bit of every dot equal where the encoder puts that dot alone, for every
// dot order and byte order on a size that fills no byte evenly.
TEST(ByteMap, AgreesWithTheEncoder) {
    const int w = 13, h = 11;
    for (int dot = 0; dot < 4; ++dot)
        for (int order = 0; order < 8; ++order) {
            const CByteMap map(w, h, dot, order);
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) {
                    CDotMatrix m(w, h);
                    m.set(y, x, true);
                    const Bytes bytes = encodeMatrix(m, dot, order);
                    ASSERT_EQ(int(bytes.size()), map.byteCount());
                    Bytes expected(bytes.size(), 0);
                    const CDotPlace p = map.at(x, y);
                    expected.at(size_t(p.byte)) = uint8_t(1u << p.bit);
                    ASSERT_EQ(bytes, expected) << "dot order " << dot << " byte order " << order
                                               << " at " << x << "," << y;
                }
        }
}

// The text form: byte 0 of an SSD1306 is the first column of the top eight rows, bit 0 on top.
TEST(ByteMap, TextOfPageMode) {
    const CByteMap map(3, 9, 3, 0);
    EXPECT_EQ(map.text(), "3x9, dot order 3, byte order 0: 6 bytes\n"
                          "    x0  x1  x2\n"
                          "y0 0.0 1.0 2.0\n"
                          "y1 0.1 1.1 2.1\n"
                          "y2 0.2 1.2 2.2\n"
                          "y3 0.3 1.3 2.3\n"
                          "y4 0.4 1.4 2.4\n"
                          "y5 0.5 1.5 2.5\n"
                          "y6 0.6 1.6 2.6\n"
                          "y7 0.7 1.7 2.7\n"
                          "y8 3.0 4.0 5.0\n");
    EXPECT_TRUE(map.isFirstDotOfByte(1, 0));
    EXPECT_FALSE(map.isFirstDotOfByte(1, 1));
    EXPECT_TRUE(map.isFirstDotOfByte(0, 8));
}

} // namespace
} // namespace tgw
