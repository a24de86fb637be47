#include "base/codepage.h"
#include "library/character_set.h"
#include "raster/font_config.h"
#include "raster/rasteriser.h"

#include "font_settings_support.h"

#include <gtest/gtest.h>

using namespace tgw;

namespace {

std::string fileOf(const char16_t* family) {
    Result<CFaceFile> file = findFace(family, false, false);
    EXPECT_TRUE(file) << file.error();
    return file ? file->file : std::string();
}

// The characters the fit test walks: printable ASCII and the GB2312 hanzi (rows B0 to F7).
std::u16string fitSample() {
    std::u16string set = asciiCharacters(true);
    const std::u16string gb = gb2312Characters();
    set += gb.substr(size_t(0xB0 - 0xA1) * 94);
    return set;
}

// How many lit dots of `code` the cell loses: the ink of the glyph as a whole (the proportional
// path crops nothing away) less what lands in the cell.
int lostDots(CRasteriser& r, char16_t code, const CFontSettings& f) {
    CDotMatrix cell;
    CProportionalGlyph glyph;
    CLineMetrics line;
    EXPECT_TRUE(r.renderCharacter(code, ansiForm(code), f, cell));
    EXPECT_TRUE(r.renderProportional(code, ansiForm(code), f, glyph, line));
    return (glyph.dots.empty() ? 0 : glyph.dots.litCount()) - cell.litCount();
}

} // namespace

// The default rule makes the em as tall as the cell, so faces whose ascent plus descent pass
// their em lose rows; fitting the cell loses none, by name or from the file.
TEST(FitCell, NoGlyphLosesADotInDejaVuSansOrWenQuanYi) {
    const std::u16string sample = fitSample();
    CRasteriser r;
    for (const char16_t* family : {u"DejaVu Sans", u"WenQuanYi Micro Hei"}) {
        for (int height : {12, 16, 24}) {
            // Twice as wide as tall, so that only the height can clip.
            CFontSettings fit = test::truetype(family, 2 * height, height);
            fit.fitCell = true;
            int losing = 0;
            for (char16_t c : sample) {
                const int lost = lostDots(r, c, fit);
                EXPECT_EQ(lost, 0)
                    << "U+" << std::hex << unsigned(c) << " at " << std::dec << height;
                losing += lost != 0;
                if (losing > 5)
                    break;
            }
            CFontSettings fromFile = fit;
            fromFile.fontFile = fileOf(family);
            EXPECT_EQ(lostDots(r, u'g', fromFile), 0);
            EXPECT_EQ(lostDots(r, u'中', fromFile), 0);
        }
    }
    // What the choice is for: the default loses the tail of 'g' and the foot of '中'.
    EXPECT_GT(lostDots(r, u'g', test::truetype(u"DejaVu Sans", 16, 16)), 0);
    EXPECT_GT(lostDots(r, u'中', test::truetype(u"WenQuanYi Micro Hei", 16, 16)), 0);
}

// The render says how many rows its cell cut off, and on which side: as many as the
// cropped glyph has more than the cell.
TEST(FitCell, TheRenderReportsTheRowsItCut) {
    CRasteriser r;
    const CFontSettings plain = test::truetype(u"DejaVu Sans", 16, 16);
    CDotMatrix cell, fitted;
    ASSERT_TRUE(r.renderCharacter(u'g', ansiForm(u'g'), plain, cell));
    const CInkLoss lost = r.lastInkLoss();
    EXPECT_EQ(lost.sides(), kInkBottom);
    CFontSettings low = plain;
    low.offset = -lost.bottom;
    ASSERT_TRUE(r.renderCharacter(u'g', ansiForm(u'g'), low, fitted));
    EXPECT_FALSE(r.lastInkLoss().any());
    EXPECT_EQ(fitted.litCount() - cell.litCount(), lostDots(r, u'g', plain));
    // A blank loses nothing, whatever the render before it lost.
    ASSERT_TRUE(r.renderCharacter(u'g', ansiForm(u'g'), plain, cell));
    ASSERT_TRUE(r.renderCharacter(u' ', ansiForm(u' '), plain, cell));
    EXPECT_FALSE(r.lastInkLoss().any());
}

// What the cell cut off is drawn in a margin of that size, where the same glyph moved into the
// cell shows it: the uncut glyph holds the cell and the rows the cell lost.
TEST(FitCell, TheUncutGlyphHoldsWhatTheCellCut) {
    CRasteriser r;
    const CFontSettings plain = test::truetype(u"DejaVu Sans", 16, 16);
    CDotMatrix cell, uncut, fitted;
    CInkLoss lost;
    ASSERT_TRUE(r.renderUncut(u'g', ansiForm(u'g'), plain, cell, uncut, lost));
    ASSERT_EQ(lost.sides(), kInkBottom);
    EXPECT_EQ(r.lastInkLoss(), lost);
    ASSERT_EQ(uncut.width(), 16);
    ASSERT_EQ(uncut.height(), 16 + lost.bottom);
    CFontSettings low = plain;
    low.offset = -lost.bottom;
    ASSERT_TRUE(r.renderCharacter(u'g', ansiForm(u'g'), low, fitted));
    for (int row = 0; row < uncut.height(); ++row)
        for (int col = 0; col < 16; ++col) {
            if (row < 16) {
                ASSERT_EQ(uncut.lit(row, col), cell.lit(row, col)) << row << "," << col;
            }
            if (row >= lost.bottom) {
                ASSERT_EQ(uncut.lit(row, col), fitted.lit(row - lost.bottom, col))
                    << row << "," << col;
            }
        }
    // Nothing cut: the cell itself.
    ASSERT_TRUE(r.renderUncut(u'a', ansiForm(u'a'), plain, cell, uncut, lost));
    EXPECT_FALSE(lost.any());
    EXPECT_EQ(uncut, cell);
}

TEST(FontFile, RendersAsTheSameFaceByNameAndFailsNamingTheFile) {
    CRasteriser r;
    const CFontSettings byName = test::truetype(u"DejaVu Sans", 16, 16);
    CFontSettings fromFile = byName;
    fromFile.face.clear();
    fromFile.fontFile = fileOf(u"DejaVu Sans");
    for (char16_t c : std::u16string(u"Ag@%")) {
        CDotMatrix a, b;
        ASSERT_TRUE(r.renderCharacter(c, ansiForm(c), byName, a));
        ASSERT_TRUE(r.renderCharacter(c, ansiForm(c), fromFile, b));
        EXPECT_EQ(a, b);
    }
    // A character the file lacks is blank; by name another face would stand in for it.
    CDotMatrix blank;
    ASSERT_TRUE(r.renderCharacter(u'中', ansiForm(u'中'), fromFile, blank));
    EXPECT_EQ(blank.litCount(), 0);

    fromFile.fontFile = "/nonexistent/no font.ttf";
    Status s = r.renderCharacter(u'A', ansiForm(u'A'), fromFile, blank);
    ASSERT_FALSE(s);
    EXPECT_NE(s.error().find("'/nonexistent/no font.ttf' does not exist"), std::string::npos);
}
