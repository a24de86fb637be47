#include "raster/font_config.h"
#include "raster/picture_filters.h"
#include "raster/rasteriser.h"

#include "font_settings_support.h"

#include <gtest/gtest.h>

#include <ft2build.h>
#include FT_FREETYPE_H

using namespace tgw;

namespace {

// The anti-aliased glyph as bare FreeType draws it: its coverage bytes cropped to the rows and
// columns that hold any, and where that box sits in the bitmap.
struct CCoverage {
    int left = 0, top = 0, width = 0, height = 0;
    std::vector<uint8_t> values; // width × height
};

CCoverage bareCoverage(const char16_t* family, char16_t code, int em) {
    Result<CFaceFile> file = findFace(family, false, false);
    EXPECT_TRUE(file);
    FT_Library lib;
    FT_Init_FreeType(&lib);
    FT_Face face;
    EXPECT_EQ(FT_New_Face(lib, file->file.c_str(), file->index, &face), 0);
    FT_Set_Pixel_Sizes(face, 0, FT_UInt(em));
    EXPECT_EQ(FT_Load_Char(face, code, FT_LOAD_RENDER | FT_LOAD_TARGET_NORMAL), 0);
    const FT_Bitmap& bm = face->glyph->bitmap;
    EXPECT_EQ(bm.pixel_mode, FT_PIXEL_MODE_GRAY);
    int top = INT32_MAX, bottom = -1, left = INT32_MAX, right = -1;
    for (int r = 0; r < int(bm.rows); ++r)
        for (int c = 0; c < int(bm.width); ++c)
            if (bm.buffer[r * bm.pitch + c]) {
                top = std::min(top, r), bottom = std::max(bottom, r);
                left = std::min(left, c), right = std::max(right, c);
            }
    CCoverage g;
    if (bottom >= 0) {
        g.left = left, g.top = top, g.width = right - left + 1, g.height = bottom - top + 1;
        for (int r = top; r <= bottom; ++r)
            for (int c = left; c <= right; ++c)
                g.values.push_back(bm.buffer[r * bm.pitch + c]);
    }
    FT_Done_Face(face);
    FT_Done_FreeType(lib);
    return g;
}

// The levels of `m` inside its ink box (level > 0), row by row.
struct CInk {
    int width = 0, height = 0;
    std::vector<uint8_t> levels;
};

CInk cropped(const CDotMatrix& m) {
    int top = m.height(), bottom = -1, left = m.width(), right = -1;
    for (int r = 0; r < m.height(); ++r)
        for (int c = 0; c < m.width(); ++c)
            if (m.lit(r, c)) {
                top = std::min(top, r), bottom = std::max(bottom, r);
                left = std::min(left, c), right = std::max(right, c);
            }
    CInk ink;
    if (bottom < 0)
        return ink;
    ink.width = right - left + 1, ink.height = bottom - top + 1;
    for (int r = top; r <= bottom; ++r)
        for (int c = left; c <= right; ++c)
            ink.levels.push_back(m.level(r, c));
    return ink;
}

} // namespace

// Each coverage v becomes the level (v × max + 127) / 255 of FreeType's own anti-aliased
// bitmap, for a Latin and a CJK face at three sizes and every grey depth. The cell is large
// enough to hold the whole glyph, so the comparison is of the ink alone.
TEST(GreyRaster, GlyphsAreFreeTypesCoverageQuantised) {
    const struct {
        const char16_t* family;
        char16_t code;
    } glyphs[] = {{u"DejaVu Sans", u'g'}, {u"DejaVu Sans", u'&'}, {u"WenQuanYi Micro Hei", u'永'}};
    CRasteriser rasteriser;
    for (const auto& g : glyphs)
        for (int em : {12, 16, 24})
            for (int depth : {2, 4, 8}) {
                SCOPED_TRACE(testing::Message() << char(g.code) << " " << em << " px " << depth);
                CFontSettings f = test::truetype(g.family, em * 2, em * 2, em);
                f.depth = depth;
                CDotMatrix m;
                ASSERT_TRUE(rasteriser.renderCharacter(g.code, ansiForm(g.code), f, m));
                ASSERT_EQ(m.depth(), depth);
                const CCoverage bare = bareCoverage(g.family, g.code, em);
                // The expected levels, cropped again to the dots that stay above level 0.
                CDotMatrix expected(bare.width, bare.height, depth);
                for (int r = 0; r < bare.height; ++r)
                    for (int c = 0; c < bare.width; ++c)
                        expected.setLevel(
                            r, c, levelOfCoverage(bare.values[size_t(r * bare.width + c)], depth));
                const CInk want = cropped(expected), got = cropped(m);
                ASSERT_EQ(got.width, want.width);
                ASSERT_EQ(got.height, want.height);
                EXPECT_EQ(got.levels, want.levels);
            }
}

// A bitmap font's dots are dark or fully lit, at any depth, exactly where the one-bit glyph is.
TEST(GreyRaster, BitmapFontsLightAtTheHighestLevel) {
    CRasteriser rasteriser;
    for (int kind : {int(kFontAscii8x16), int(kFontGb2312_16)}) {
        const char16_t code = kind == kFontAscii8x16 ? u'R' : u'中';
        CFontSettings f = test::builtin(kind, 16, 16);
        CDotMatrix one, grey;
        ASSERT_TRUE(rasteriser.renderCharacter(code, ansiForm(code), f, one));
        f.depth = 4;
        ASSERT_TRUE(rasteriser.renderCharacter(code, ansiForm(code), f, grey));
        ASSERT_GT(one.litCount(), 0);
        for (int r = 0; r < 16; ++r)
            for (int c = 0; c < 16; ++c)
                ASSERT_EQ(grey.level(r, c), one.lit(r, c) ? 15 : 0) << r << "," << c;
    }
    CFontSettings bad = test::builtin(kFontAscii8x16, 8, 16);
    bad.depth = 3;
    CDotMatrix m;
    EXPECT_FALSE(rasteriser.renderCharacter(u'A', ansiForm(u'A'), bad, m));
}

// A ramp of greys quantises by the rule; dithering to levels keeps the mean of the ramp and
// uses only the two levels around each grey; one bit stays as it was.
TEST(GreyRaster, PicturesQuantiseAndDitherToTheLevels) {
    CGreyImage ramp(256, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 256; ++x)
            ramp.value[size_t(y * 256 + x)] = uint8_t(x);
    for (int depth : {2, 4, 8}) {
        const CDotMatrix q = quantiseGrey(ramp, depth);
        for (int x = 0; x < 256; ++x)
            ASSERT_EQ(q.level(0, x), (x * ((1 << depth) - 1) + 127) / 255) << depth << " " << x;
        for (auto dither : {&ditherFloydSteinberg, &ditherAtkinson, &ditherBayer}) {
            const CDotMatrix d = dither(ramp, depth);
            ASSERT_EQ(d.depth(), depth);
            const int top = (1 << depth) - 1;
            double sum = 0;
            for (int y = 0; y < 4; ++y)
                for (int x = 0; x < 256; ++x) {
                    const int level = d.level(y, x);
                    const double exact = x * top / 255.0;
                    ASSERT_LE(std::abs(level - exact), 1.0 + 1e-9) << depth << " " << x;
                    sum += level * 255.0 / top;
                }
            EXPECT_NEAR(sum / (4 * 256), 127.5, 6.0) << depth;
        }
    }
    // One bit a dot: the defaults give what they always gave.
    EXPECT_EQ(ditherFloydSteinberg(ramp), ditherFloydSteinberg(ramp, 1));
    EXPECT_EQ(ditherBayer(ramp).depth(), 1);
}
