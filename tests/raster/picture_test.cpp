#include "picture_files.h"

#include "base/text.h"
#include "raster/picture_loader.h"
#include "raster/picture_rasteriser.h"
#include "raster/rasteriser.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

using namespace tgw;
using namespace tgw::test;

namespace {

// Eight pixels whose brightness (R×299 + G×587 + B×114)/1000 is known:
//   white 255   black 0    near-white (254,255,255) 254   red 76
//   green 149   blue 29    grey 128                       (200,100,50) 124
CPixels knownBrightness() {
    CPixels p(4, 2);
    const CRgba colours[8] = {{255, 255, 255}, {0, 0, 0},   {254, 255, 255}, {255, 0, 0},
                              {0, 255, 0},     {0, 0, 255}, {128, 128, 128}, {200, 100, 50}};
    for (int i = 0; i < 8; ++i)
        p.px[i] = colours[i];
    return p;
}
const int kBrightness[8] = {255, 0, 254, 76, 149, 29, 128, 124};

// The same brightness as greys, for formats without colour.
CPixels knownGreys() {
    CPixels p(4, 2);
    for (int i = 0; i < 8; ++i)
        p.px[i] = {uint8_t(kBrightness[i]), uint8_t(kBrightness[i]), uint8_t(kBrightness[i])};
    return p;
}

struct CRender {
    Status status;
    CDotMatrix dots;
    CPictureReport report;
};

CRender render(const std::string& path, uint8_t threshold) {
    CRasteriser r;
    CRender out;
    out.status = r.renderPicture(utf8ToUtf16(path), threshold, out.dots);
    out.report = r.lastPictureReport();
    return out;
}

// Which of the eight known pixels are lit, as a string of '#' and '.'.
std::string litPattern(const CDotMatrix& m) {
    std::string s;
    for (int y = 0; y < m.height(); ++y)
        for (int x = 0; x < m.width(); ++x)
            s += m.lit(y, x) ? '#' : '.';
    return s;
}

std::string expectedPattern(int threshold) {
    std::string s;
    for (int b : kBrightness)
        s += b >= threshold ? '#' : '.';
    return s;
}

CDotMatrix placeholderDots(EPictureOutcome outcome, uint8_t threshold) {
    CRasteriser r;
    Result<CRgbImage> image = placeholderPicture(r.freeType(), outcome);
    EXPECT_TRUE(image) << image.error();
    return thresholdPicture(*image, threshold);
}

struct CFormat {
    const char* name;
    std::function<CBytes(const CPixels&)> write;
    bool grey;
};

} // namespace

// Each format decodes to its pixels, and the thresholds fall exactly on the brightness values:
// 0 lights everything, 255 only pure white, and each boundary is inclusive.
TEST(PictureFormats, LosslessFormatsThresholdEachPixelByBrightness) {
    const CFormat formats[] = {
        {"a.bmp", bmp24, false}, {"a.ppm", ppm, false}, {"a.pgm", pgm, true},
        {"a.tga", tga24, false}, {"a.psd", psd, false}, {"a.gif", gif, false},
        {"a.png", png, false},
    };
    CTempDir dir;
    for (const CFormat& f : formats) {
        SCOPED_TRACE(f.name);
        const std::string path =
            dir.write(f.name, f.write(f.grey ? knownGreys() : knownBrightness()));
        for (int threshold : {0, 29, 30, 76, 77, 124, 125, 128, 129, 149, 150, 254, 255}) {
            CRender r = render(path, uint8_t(threshold));
            ASSERT_TRUE(r.status) << r.status.error();
            ASSERT_EQ(r.report.outcome, EPictureOutcome::kLoaded) << r.report.reason;
            ASSERT_EQ(r.dots.width(), 4);
            ASSERT_EQ(r.dots.height(), 2);
            EXPECT_EQ(litPattern(r.dots), expectedPattern(threshold)) << "threshold " << threshold;
        }
    }
}

TEST(PictureFormats, JpegKeepsLightAndDarkBlocks) {
    // Lossy: only blocks far from the threshold are certain.
    CPixels p(32, 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 16; x < 32; ++x)
            p.at(x, y) = {255, 255, 255};
    CTempDir dir;
    CRender r = render(dir.write("photo.JPG", jpeg(p)), 128);
    ASSERT_EQ(r.report.outcome, EPictureOutcome::kLoaded) << r.report.reason;
    ASSERT_EQ(r.dots.width(), 32);
    EXPECT_FALSE(r.dots.lit(8, 4));
    EXPECT_TRUE(r.dots.lit(8, 28));
}

TEST(PictureFormats, TransparentPixelsAreDrawnOverBlack) {
    CPixels p(2, 1);
    p.at(0, 0) = {255, 255, 255, 0};
    p.at(1, 0) = {255, 255, 255, 128}; // half white over black: brightness 128
    CTempDir dir;
    const std::string path = dir.write("alpha.png", png(p));
    EXPECT_EQ(litPattern(render(path, 1).dots), ".#");
    EXPECT_EQ(litPattern(render(path, 128).dots), ".#");
    EXPECT_EQ(litPattern(render(path, 129).dots), "..");
}

TEST(PicturePlaceholders, OverTheLimitIsImageTooBigAndTheLimitItselfLoads) {
    CTempDir dir;
    CRender big = render(dir.write("wide.bmp", bmp24(CPixels(2049, 10, {255, 255, 255}))), 128);
    ASSERT_TRUE(big.status) << big.status.error();
    EXPECT_EQ(big.report.outcome, EPictureOutcome::kTooBig);
    EXPECT_EQ(big.dots, placeholderDots(EPictureOutcome::kTooBig, 128));

    CRender high = render(dir.write("high.png", png(CPixels(3, 2049))), 128);
    EXPECT_EQ(high.report.outcome, EPictureOutcome::kTooBig);

    CRender limit = render(dir.write("limit.bmp", bmp24(CPixels(2048, 10, {255, 255, 255}))), 128);
    EXPECT_EQ(limit.report.outcome, EPictureOutcome::kLoaded) << limit.report.reason;
    EXPECT_EQ(limit.dots.width(), 2048);
    EXPECT_EQ(limit.dots.litCount(), 2048 * 10);
}

TEST(PicturePlaceholders, TheTextsAreSingleLinesWhiteOnBlack) {
    CDotMatrix invalid = placeholderDots(EPictureOutcome::kInvalid, 128);
    CDotMatrix tooBig = placeholderDots(EPictureOutcome::kTooBig, 128);
    for (const CDotMatrix* m : {&invalid, &tooBig}) {
        // One line of a user-interface font: a dozen or so dots high, wider than high.
        EXPECT_GE(m->height(), 10);
        EXPECT_LE(m->height(), 20);
        EXPECT_GT(m->width(), 4 * m->height());
        EXPECT_GT(m->litCount(), 0);
        EXPECT_LT(m->litCount(), m->width() * m->height() / 2); // text, not a filled box
    }
    EXPECT_NE(invalid, tooBig);
    // Threshold 0 lights the whole black background too.
    CDotMatrix all = placeholderDots(EPictureOutcome::kInvalid, 0);
    EXPECT_EQ(all.litCount(), all.width() * all.height());
}

TEST(PicturePlaceholders, UnreadableFilesAreImageInvalid) {
    CTempDir dir;
    const CBytes good = png(knownBrightness());
    const CBytes goodBmp = bmp24(knownBrightness());
    const std::string cases[] = {
        dir.path() + "/missing.png", dir.write("empty.png", {}),
        dir.write("garbage.png", CBytes(100, 0x5A)),
        dir.write("half.png", CBytes(good.begin(), good.begin() + long(good.size() / 2))),
        dir.write("head.bmp", CBytes(goodBmp.begin(), goodBmp.begin() + 30)),
        // The extension decides: a bitmap file reads bitmaps only.
        dir.write("png-inside.bmp", good),
        dir.path(), // a folder
    };
    const CDotMatrix expected = placeholderDots(EPictureOutcome::kInvalid, 128);
    for (const std::string& path : cases) {
        SCOPED_TRACE(path);
        CRender r = render(path, 128);
        ASSERT_TRUE(r.status) << r.status.error();
        EXPECT_EQ(r.report.outcome, EPictureOutcome::kInvalid);
        EXPECT_FALSE(r.report.reason.empty());
        EXPECT_EQ(r.dots, expected);
    }
    CRasteriser rasteriser;
    CDotMatrix m;
    EXPECT_FALSE(rasteriser.renderPicture(u"", 128, m)) << "an empty path is refused";
}

// Files that the stb_image release we build with mishandles: each must come out as a picture or
// as "Image Invalid", never as a read or write out of bounds (the sanitizer build checks) or a
// huge allocation.
TEST(PictureLoader, FilesThatTripTheDecoderAreHandled) {
    // 16-bit greys, big-endian: stb's conversion to four channels read past its buffer, and it
    // took the bytes the other way round. 0x8080 of 65535 is 128 of 255.
    const CBytes grey16 = {'P', '5', '\n', '3',  ' ',  '1',  '\n', '6',  '5', '5',
                           '3', '5', '\n', 0xFF, 0xFF, 0x00, 0x00, 0x80, 0x80};
    CDecodedPicture d = decodePicture(grey16, EPictureSource::kOther);
    ASSERT_TRUE(d.ok()) << d.reason;
    EXPECT_EQ(d.image.rgb, (std::vector<uint8_t>{255, 255, 255, 0, 0, 0, 128, 128, 128}));
    // A maximum value other than 255 is scaled: 50 of 100 is 127.
    const CBytes grey100 = {'P', '5', ' ', '#', 'c', '\n', '1', ' ',
                            '1', ' ', '1', '0', '0', '\n', 50};
    d = decodePicture(grey100, EPictureSource::kOther);
    ASSERT_TRUE(d.ok()) << d.reason;
    EXPECT_EQ(d.image.rgb[0], 127);
    // Truncated pixel data.
    EXPECT_FALSE(
        decodePicture(CBytes(grey16.begin(), grey16.end() - 1), EPictureSource::kOther).ok());

    // A JPEG Huffman table that declares more than 256 codes.
    CBytes jpg = jpeg(CPixels(8, 8, {255, 255, 255}));
    const CBytes dht = {0xFF, 0xC4};
    auto at = std::search(jpg.begin(), jpg.end(), dht.begin(), dht.end());
    ASSERT_NE(at, jpg.end());
    std::fill(at + 5, at + 5 + 16, uint8_t(0x20)); // 16 × 32 codes
    EXPECT_EQ(decodePicture(jpg, EPictureSource::kOther).outcome, EPictureOutcome::kInvalid);
    jpg.insert(jpg.begin(), {0xFF, 0xFF}); // fill bytes before the start marker are taken too
    EXPECT_EQ(decodePicture(jpg, EPictureSource::kOther).outcome, EPictureOutcome::kInvalid);

    // A PNG chunk that claims 2 GiB in a file of a hundred bytes.
    CBytes lying = png(knownBrightness());
    const CBytes idat = {'I', 'D', 'A', 'T'};
    at = std::search(lying.begin(), lying.end(), idat.begin(), idat.end());
    ASSERT_NE(at, lying.end());
    at[-4] = 0x7F;
    EXPECT_EQ(decodePicture(lying, EPictureSource::kOther).outcome, EPictureOutcome::kInvalid);
}

TEST(PictureLoader, ExtensionsChooseTheReaderWithoutRegardToCase) {
    EXPECT_EQ(pictureSourceOf(u"/a/b.BMP"), EPictureSource::kBitmap);
    EXPECT_EQ(pictureSourceOf(u"x.Dib"), EPictureSource::kBitmap);
    EXPECT_EQ(pictureSourceOf(u"x.ICO"), EPictureSource::kIcon);
    EXPECT_EQ(pictureSourceOf(u"C.EXE"), EPictureSource::kProgram);
    EXPECT_EQ(pictureSourceOf(u"c.dll"), EPictureSource::kProgram);
    EXPECT_EQ(pictureSourceOf(u"photo.jpeg"), EPictureSource::kOther);
    EXPECT_EQ(pictureSourceOf(u"dir.ico/file"), EPictureSource::kOther);
    EXPECT_EQ(pictureSourceOf(u"noextension"), EPictureSource::kOther);
    EXPECT_EQ(pictureSourceOf(u"x.icon"), EPictureSource::kOther);
}

TEST(PictureLoader, OtherExtensionsReadWhateverFormatTheFileHolds) {
    // And a path in UTF-16 with characters beyond ASCII is opened by its UTF-8 name.
    CTempDir dir;
    dir.write("图形.Jpeg", png(knownBrightness()));
    CRender r = render(dir.path() + "/图形.Jpeg", 128);
    EXPECT_EQ(r.report.outcome, EPictureOutcome::kLoaded) << r.report.reason;
    EXPECT_EQ(litPattern(r.dots), expectedPattern(128));
}
