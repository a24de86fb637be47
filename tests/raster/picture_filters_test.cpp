#include "picture_files.h"

#include "base/text.h"
#include "raster/picture_filters.h"
#include "raster/picture_rasteriser.h"
#include "raster/rasteriser.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>

using namespace tgw;
using namespace tgw::test;

namespace {

std::string rows(const CDotMatrix& m) {
    std::string s;
    for (int y = 0; y < m.height(); ++y) {
        for (int x = 0; x < m.width(); ++x)
            s += m.lit(y, x) ? '#' : '.';
        s += '\n';
    }
    return s;
}

// A horizontal ramp from black to white with a gentle vertical wave, so that rows differ.
CGreyImage ramp(int w, int h) {
    CGreyImage g(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const double v = 255.0 * x / (w - 1) + 12 * std::sin(y * 0.7);
            g.row(y)[x] = uint8_t(std::clamp(int(std::lround(v)), 0, 255));
        }
    return g;
}

CRgbImage rgbOf(const CGreyImage& g) {
    CRgbImage image(g.width, g.height);
    for (int y = 0; y < g.height; ++y)
        for (int x = 0; x < g.width; ++x)
            image.set(x, y, g.at(x, y), g.at(x, y), g.at(x, y));
    return image;
}

std::string runPython(const std::string& script, const std::string& arg) {
    const std::string command = "/usr/bin/python3 '" + script + "' '" + arg + "'";
    std::string out;
    if (FILE* p = popen(command.c_str(), "r")) {
        char buf[4096];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, p)) > 0)
            out.append(buf, n);
        if (pclose(p) != 0)
            out = "python failed: " + out;
    }
    return out;
}

// Floyd–Steinberg gives the imaging library's own 1-bit conversion of the same grey picture
// dot for dot: both carry the summed error in sixteenths, truncate it toward zero, clip the
// pixel to 0..255 and light it above 128.
TEST(PictureFilters, FloydSteinbergEqualsTheImagingLibrary) {
    CGreyImage g = ramp(97, 61);
    // Some fine detail and hard edges besides the ramp.
    for (int y = 20; y < 40; ++y)
        for (int x = 0; x < 97; ++x)
            g.row(y)[x] = uint8_t((x * 37 + y * 11) % 256);
    CPixels p(g.width, g.height);
    for (int y = 0; y < g.height; ++y)
        for (int x = 0; x < g.width; ++x)
            p.at(x, y) = {g.at(x, y), g.at(x, y), g.at(x, y)};
    CTempDir dir;
    const std::string file = dir.write("grey.pgm", pgm(p));
    const std::string reference = runPython(TGW_TEST_DATA "/pil_bilevel.py", file);
    EXPECT_EQ(rows(ditherFloydSteinberg(g)), reference);
}

// Every method lights about as many dots as the ramp has brightness, also when inverted.
TEST(PictureFilters, MethodsKeepMeanBrightness) {
    const CGreyImage g = ramp(256, 64);
    double mean = 0;
    for (uint8_t v : g.value)
        mean += v;
    mean /= double(g.value.size()) * 255;
    for (EPictureMethod method : {EPictureMethod::kThreshold, EPictureMethod::kFloydSteinberg,
                                  EPictureMethod::kAtkinson, EPictureMethod::kBayer})
        for (bool invert : {false, true}) {
            CPictureOptions o;
            o.method = method;
            o.invert = invert;
            o.threshold = 128;
            const CDotMatrix m = convertPicture(rgbOf(g), o);
            const double lit = double(m.litCount()) / (double(m.width()) * m.height());
            EXPECT_NEAR(lit, invert ? 1 - mean : mean, 0.02)
                << pictureMethodName(method) << (invert ? " inverted" : "");
        }
}

// A mid grey under each method: FS and Bayer give half the dots in an even pattern.
TEST(PictureFilters, BayerPatternOfMidGrey) {
    CGreyImage g(8, 4);
    std::fill(g.value.begin(), g.value.end(), uint8_t(128));
    EXPECT_EQ(rows(ditherBayer(g)), "#.#.#.#.\n.#.#.#.#\n#.#.#.#.\n.#.#.#.#\n");
}

// Fit keeps the aspect ratio within one dot; fill takes the target; keep ignores it.
TEST(PictureFilters, ScaledSizes) {
    const int sizes[][2] = {{1, 1},    {2048, 2048}, {640, 480}, {480, 640},
                            {3, 2000}, {2000, 3},    {100, 33},  {7, 13}};
    const int targets[][2] = {{128, 64}, {1, 1}, {2048, 2048}, {13, 11}, {16, 16}};
    for (const auto& s : sizes)
        for (const auto& t : targets) {
            int w, h;
            scaledSize(s[0], s[1], EPictureScale::kFit, t[0], t[1], w, h);
            SCOPED_TRACE(std::to_string(s[0]) + "x" + std::to_string(s[1]) + " in " +
                         std::to_string(t[0]) + "x" + std::to_string(t[1]));
            EXPECT_TRUE(w >= 1 && w <= t[0] && h >= 1 && h <= t[1]);
            EXPECT_TRUE(w == t[0] || h == t[1]) << "one side touches the target";
            // Both sides are the picture's times one factor, each within half a dot (unless
            // pushed up to the one-dot minimum), so the aspect ratio is kept within one dot.
            const double f = std::min(double(t[0]) / s[0], double(t[1]) / s[1]);
            if (w > 1) {
                EXPECT_LE(std::abs(w - s[0] * f), 0.5) << w << "x" << h;
            }
            if (h > 1) {
                EXPECT_LE(std::abs(h - s[1] * f), 0.5) << w << "x" << h;
            }
            scaledSize(s[0], s[1], EPictureScale::kFill, t[0], t[1], w, h);
            EXPECT_EQ(w, t[0]);
            EXPECT_EQ(h, t[1]);
            scaledSize(s[0], s[1], EPictureScale::kKeep, t[0], t[1], w, h);
            EXPECT_EQ(w, s[0]);
            EXPECT_EQ(h, s[1]);
        }
}

// Shrinking averages areas (a fine checkerboard becomes mid grey, not black or white);
// growing interpolates (a two-pixel ramp stays monotonic and keeps its ends).
TEST(PictureFilters, Resampling) {
    CGreyImage checker(64, 64);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            checker.row(y)[x] = (x + y) % 2 ? 255 : 0;
    const CGreyImage small = resampleGrey(checker, 5, 3);
    for (uint8_t v : small.value)
        EXPECT_NEAR(v, 128, 2);

    CGreyImage two(2, 1);
    two.row(0)[0] = 0;
    two.row(0)[1] = 200;
    const CGreyImage wide = resampleGrey(two, 8, 3);
    for (int y = 0; y < 3; ++y) {
        EXPECT_EQ(wide.at(0, y), 0);
        EXPECT_EQ(wide.at(7, y), 200);
        for (int x = 1; x < 8; ++x)
            EXPECT_GE(wide.at(x, y), wide.at(x - 1, y));
    }
    const CGreyImage one = resampleGrey(CGreyImage(1, 1), 2048, 3);
    EXPECT_EQ(one.width, 2048);
}

// Through the rasteriser: plain options are today's threshold exactly; a 1×1 picture, a
// transparent one and a 2048×2048 one all convert; the placeholder is never dithered.
TEST(PictureFilters, PicturesThroughTheRasteriser) {
    CTempDir dir;
    CPixels photo(40, 20);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x)
            photo.at(x, y) = {uint8_t(x * 6), uint8_t(y * 12), 90};
    const std::string photoPath = dir.write("photo.png", png(photo));
    CRasteriser r;
    CDotMatrix plain, viaOptions;
    CPictureOptions o;
    o.threshold = 100;
    ASSERT_TRUE(r.renderPicture(utf8ToUtf16(photoPath), 100, plain));
    ASSERT_TRUE(r.renderPictureWith(utf8ToUtf16(photoPath), o, viaOptions));
    EXPECT_EQ(plain, viaOptions);

    o.method = EPictureMethod::kFloydSteinberg;
    o.scale = EPictureScale::kFit;
    o.targetWidth = 128;
    o.targetHeight = 64;
    CDotMatrix m;
    ASSERT_TRUE(r.renderPictureWith(utf8ToUtf16(photoPath), o, m));
    EXPECT_EQ(m.width(), 128);
    EXPECT_EQ(m.height(), 64);

    // Fully transparent white is drawn over black: nothing lit, at any size.
    CPixels clear(16, 16, {255, 255, 255, 0});
    ASSERT_TRUE(r.renderPictureWith(utf8ToUtf16(dir.write("clear.png", png(clear))), o, m));
    EXPECT_EQ(m.litCount(), 0);

    ASSERT_TRUE(r.renderPictureWith(
        utf8ToUtf16(dir.write("dot.png", png(CPixels(1, 1, {255, 255, 255})))), o, m));
    EXPECT_EQ(m.width(), 64); // a 1×1 picture fits a 128×64 target as 64×64
    EXPECT_EQ(m.height(), 64);
    EXPECT_EQ(m.litCount(), 64 * 64);

    CPixels big(2048, 2048, {200, 200, 200});
    o.targetWidth = o.targetHeight = 2048;
    ASSERT_TRUE(r.renderPictureWith(utf8ToUtf16(dir.write("big.bmp", bmp24(big))), o, m));
    EXPECT_EQ(m.width(), 2048);
    EXPECT_NEAR(double(m.litCount()) / (2048.0 * 2048.0), 200.0 / 255, 0.01);

    CPixels tooBig(2049, 1);
    CDotMatrix placeholderPlain, placeholderDithered;
    const std::string tooBigPath = dir.write("wide.bmp", bmp24(tooBig));
    ASSERT_TRUE(r.renderPicture(utf8ToUtf16(tooBigPath), o.threshold, placeholderPlain));
    ASSERT_TRUE(r.renderPictureWith(utf8ToUtf16(tooBigPath), o, placeholderDithered));
    EXPECT_EQ(r.lastPictureReport().outcome, EPictureOutcome::kTooBig);
    EXPECT_EQ(placeholderDithered, placeholderPlain);
}

} // namespace
