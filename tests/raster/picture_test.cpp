#include "picture_files.h"

#include "base/text.h"
#include "raster/picture_loader.h"
#include "raster/picture_rasteriser.h"
#include "raster/rasteriser.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
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
        {"a.bmp", [](const CPixels& p) { return bmp24(p); }, false},
        {"top-down.bmp", [](const CPixels& p) { return bmp24(p, true); }, false},
        {"4bit.bmp", [](const CPixels& p) { return bmpPalette(p, 4); }, false},
        {"8bit.bmp", [](const CPixels& p) { return bmpPalette(p, 8); }, false},
        {"os2.bmp", [](const CPixels& p) { return bmpPalette(p, 8, true); }, false},
        {"32bit-fields.bmp", [](const CPixels& p) { return bmpBitfields(p, 32); }, false},
        {"a.ppm", ppm, false},
        {"a.pgm", pgm, true},
        {"a.gif", [](const CPixels& p) { return gif(p); }, false},
        {"local-interlaced.gif",
         [](const CPixels& p) {
             return gif(p, {true, true});
         },
         false},
        {"rgba.png", [](const CPixels& p) { return png(p); }, false},
        {"rgb16-interlaced.png",
         [](const CPixels& p) {
             return png(p, {2, 16, true});
         },
         false},
        {"rgba16.png",
         [](const CPixels& p) {
             return png(p, {6, 16});
         },
         false},
        {"palette.png", [](const CPixels& p) { return png(p, {3}); }, false},
        {"grey.png", [](const CPixels& p) { return png(p, {0}); }, true},
        {"grey16.png",
         [](const CPixels& p) {
             return png(p, {0, 16});
         },
         true},
        {"grey-alpha.png", [](const CPixels& p) { return png(p, {4}); }, true},
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

TEST(PictureFormats, FewColourBitmapsKeepTheirColours) {
    // 1 bit a pixel across a byte boundary, and 16-bit 5-6-5 (whose low bits are lost).
    CPixels two(9, 2);
    for (int x = 0; x < 9; ++x)
        two.at(x, x % 2) = {255, 255, 255};
    CDecodedPicture d = decodePicture(bmpPalette(two, 1), EPictureSource::kBitmap);
    ASSERT_TRUE(d.ok()) << d.reason;
    for (int x = 0; x < 9; ++x)
        EXPECT_EQ(d.image.pixel(x, x % 2)[0], 255) << x;
    EXPECT_EQ(d.image.pixel(1, 0)[0], 0);

    CPixels p(2, 1);
    p.at(0, 0) = {255, 255, 255};
    p.at(1, 0) = {0x80, 0x40, 0x08};
    d = decodePicture(bmpBitfields(p, 16), EPictureSource::kBitmap);
    ASSERT_TRUE(d.ok()) << d.reason;
    EXPECT_EQ(d.image.rgb, (std::vector<uint8_t>{255, 255, 255, 0x83, 0x40, 0x08}));
}

TEST(PictureFormats, JpegKeepsLightAndDarkBlocks) {
    // Lossy: only blocks far from the threshold are certain.
    CPixels p(32, 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 16; x < 32; ++x)
            p.at(x, y) = {255, 255, 255};
    const struct {
        const char* name;
        CJpegOptions options;
    } kinds[] = {{"baseline", {}},
                 {"progressive", {90, true}},
                 {"grey", {100, false, EJpegKind::kGrey}},
                 {"cmyk", {100, false, EJpegKind::kCmyk}},
                 {"cmyk-progressive", {100, true, EJpegKind::kCmyk}}};
    CTempDir dir;
    for (const auto& k : kinds) {
        SCOPED_TRACE(k.name);
        CRender r = render(dir.write("photo.JPG", jpeg(p, k.options)), 128);
        ASSERT_EQ(r.report.outcome, EPictureOutcome::kLoaded) << r.report.reason;
        ASSERT_EQ(r.dots.width(), 32);
        EXPECT_FALSE(r.dots.lit(8, 4));
        EXPECT_TRUE(r.dots.lit(8, 28));
    }
}

TEST(PictureFormats, AdobeCmykIsInvertedInk) {
    // Stored inverted: 255 is no ink. (255, 255, 255, 128) is no colour ink and half black.
    CPixels p(8, 8, {255, 255, 255, 128});
    CDecodedPicture d =
        decodePicture(jpeg(p, {100, false, EJpegKind::kCmyk}), EPictureSource::kOther);
    ASSERT_TRUE(d.ok()) << d.reason;
    for (int c = 0; c < 3; ++c)
        EXPECT_NEAR(d.image.pixel(4, 4)[c], 128, 3);
}

TEST(PictureFormats, TransparentPixelsAreDrawnOverBlack) {
    CPixels p(2, 1);
    p.at(0, 0) = {255, 255, 255, 0};
    p.at(1, 0) = {255, 255, 255, 128}; // half white over black: brightness 128
    const struct {
        const char* name;
        CBytes file;
    } files[] = {{"alpha.png", png(p)},
                 {"alpha16.png", png(p, {6, 16})},
                 {"palette-trns.png", png(p, {3})},
                 {"grey-alpha.png", png(p, {4})},
                 {"alpha.bmp", bmpBitfields(p, 32)}};
    CTempDir dir;
    for (const auto& f : files) {
        SCOPED_TRACE(f.name);
        const std::string path = dir.write(f.name, f.file);
        EXPECT_EQ(litPattern(render(path, 1).dots), ".#");
        EXPECT_EQ(litPattern(render(path, 128).dots), ".#");
        EXPECT_EQ(litPattern(render(path, 129).dots), "..");
    }
    // GIF: the transparent index shows black whatever its colour; a frame smaller than the
    // screen leaves the rest black too.
    CPixels g(2, 1);
    g.at(0, 0) = {255, 255, 255, 0};
    g.at(1, 0) = {255, 255, 255, 255};
    CDecodedPicture d =
        decodePicture(gif(g, {.transparency = true, .screenWidth = 3, .screenHeight = 2}),
                      EPictureSource::kOther);
    ASSERT_TRUE(d.ok()) << d.reason;
    ASSERT_EQ(d.image.width, 3);
    ASSERT_EQ(d.image.height, 2);
    EXPECT_EQ(d.image.rgb, (std::vector<uint8_t>{0, 0, 0, 0, 0, 0, 0, 0, 0, //
                                                 0, 0, 0, 0, 0, 0, 255, 255, 255}));
}

// Run-length bitmaps, written by hand. Rows are stored bottom-up, so the first row encoded is
// the picture's last. Palette: 0 black, 1 white, 2 grey.
TEST(PictureFormats, RunLengthBitmapsFollowTheirEscapes) {
    const std::vector<CRgba> palette = {{0, 0, 0}, {255, 255, 255}, {128, 128, 128}};
    auto decode = [&](int bpp, const CBytes& data, int width = 4, int height = 3) {
        return decodePicture(bmpRle(width, height, bpp, palette, data), EPictureSource::kBitmap);
    };
    auto greyLevels = [](const CDecodedPicture& d) {
        std::string s;
        for (int y = 0; y < d.image.height; ++y, s += '/')
            for (int x = 0; x < d.image.width; ++x)
                s += d.image.pixel(x, y)[0] == 255 ? 'W' : d.image.pixel(x, y)[0] ? 'g' : '.';
        return s;
    };
    // RLE8: bottom row "WWgg" as two runs; middle row a literal run of 3 (padded) then end of
    // line; on the top row a delta of (1, 0), one white, end of bitmap.
    CDecodedPicture d = decode(8, {2, 1, 2, 2, 0, 0,         // WWgg, end of line
                                   0, 3, 2, 1, 2, 0, 0, 0,   // literal g W g, pad, end of line
                                   0, 2, 1, 0, 1, 1, 0, 1}); // delta, W, end of bitmap
    ASSERT_TRUE(d.ok()) << d.reason;
    EXPECT_EQ(greyLevels(d), ".W../gWg./WWgg/");
    // RLE4: a run alternates its two indexes; a literal run of 5 takes 3 bytes, padded to 4.
    d = decode(4, {4, 0x12, 0, 0,                   // W g W g
                   0, 5, 0x21, 0x02, 0x10, 0, 0, 0, // g W . g W (the run is clipped at 4)
                   3, 0x11, 0, 1});
    ASSERT_TRUE(d.ok()) << d.reason;
    EXPECT_EQ(greyLevels(d), "WWW./gW.g/WgWg/");
    // A run longer than the row is clipped to it, not carried into the next row; a delta past
    // the top ends the picture.
    d = decode(8, {9, 1, 0, 0, 0, 2, 0, 9}, 2, 2);
    ASSERT_TRUE(d.ok()) << d.reason;
    EXPECT_EQ(greyLevels(d), "../WW/");
    // Truncated data (no end of bitmap before the rows are done) is refused.
    EXPECT_EQ(decode(8, {2, 1, 0}).outcome, EPictureOutcome::kInvalid);
    EXPECT_EQ(decode(8, {0, 5, 1, 1}).outcome, EPictureOutcome::kInvalid);
    EXPECT_EQ(decode(8, {0, 2, 1}).outcome, EPictureOutcome::kInvalid);
}

TEST(PictureFormats, TruncatedBitmapsAreRefused) {
    for (const CBytes& whole :
         {bmp24(knownBrightness(), true), bmpPalette(knownBrightness(), 4, true),
          bmpBitfields(knownBrightness(), 32)}) {
        for (size_t n = 0; n < whole.size(); ++n) {
            CBytes cut(whole.begin(), whole.begin() + long(n));
            ASSERT_EQ(decodePicture(cut, EPictureSource::kBitmap).outcome,
                      EPictureOutcome::kInvalid)
                << "cut at " << n << " of " << whole.size();
        }
    }
    // A bitmap whose pixels are said to start past the end of the file.
    CBytes lying = bmp24(knownBrightness());
    lying[10] = 0xF0;
    EXPECT_EQ(decodePicture(lying, EPictureSource::kBitmap).outcome, EPictureOutcome::kInvalid);
}

TEST(PicturePlaceholders, OverTheLimitIsImageTooBigAndTheLimitItselfLoads) {
    CTempDir dir;
    CRender big = render(dir.write("wide.bmp", bmp24(CPixels(2049, 10, {255, 255, 255}))), 128);
    ASSERT_TRUE(big.status) << big.status.error();
    EXPECT_EQ(big.report.outcome, EPictureOutcome::kTooBig);
    EXPECT_EQ(big.dots, placeholderDots(EPictureOutcome::kTooBig, 128));

    const std::pair<const char*, CBytes> tooBig[] = {
        {"high.png", png(CPixels(3, 2049))},
        {"wide.jpeg", jpeg(CPixels(2049, 8))},
        {"wide.gif", gif(CPixels(2049, 1))},
        {"screen.gif", gif(CPixels(1, 1), {.screenWidth = 1, .screenHeight = 4000})},
        {"top-down.bmp", bmp24(CPixels(1, 2049), true)},
    };
    for (const auto& [name, file] : tooBig)
        EXPECT_EQ(render(dir.write(name, file), 128).report.outcome, EPictureOutcome::kTooBig)
            << name;

    // The largest progressive CMYK picture fits in the decoder's working memory.
    CDecodedPicture largest = decodePicture(jpeg(CPixels(2048, 2048), {50, true, EJpegKind::kCmyk}),
                                            EPictureSource::kOther);
    EXPECT_TRUE(largest.ok()) << largest.reason;

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
        // Formats no longer read.
        dir.write("a.tga", tga24(knownBrightness())), dir.write("a.psd", psd(knownBrightness())),
        dir.write("half.gif",
                  [] {
                      CBytes g = gif(knownBrightness());
                      return CBytes(g.begin(), g.begin() + long(g.size() - 12));
                  }()),
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

// Files that once tripped a decoder: each must come out as a picture or as "Image Invalid",
// never as a read or write out of bounds (the sanitizer build checks) or a huge allocation.
TEST(PictureLoader, FilesThatTripTheDecoderAreHandled) {
    // 16-bit greys, big-endian. 0x8080 of 65535 is 128 of 255.
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

namespace {

// Leaves freed heap blocks of many sizes filled with `pattern`, so that a decoder that reads
// memory it never wrote sees different bytes from one run to the next.
void scribbleOverTheHeap(uint8_t pattern) {
    std::vector<void*> blocks;
    for (size_t size = 16; size <= (size_t(1) << 20); size *= 2)
        for (int i = 0; i < 2; ++i)
            if (void* p = std::malloc(size)) {
                std::memset(p, pattern, size);
                blocks.push_back(p);
            }
    for (void* p : blocks)
        std::free(p);
}

CBytes withSegmentLength(CBytes file, uint8_t marker, unsigned length) {
    for (size_t i = 2; i + 3 < file.size(); ++i)
        if (file[i] == 0xFF && file[i + 1] == marker) {
            file[i + 2] = uint8_t(length >> 8);
            file[i + 3] = uint8_t(length);
            break;
        }
    return file;
}

size_t scanStart(const CBytes& file) {
    for (size_t i = 2; i + 1 < file.size(); ++i)
        if (file[i] == 0xFF && file[i + 1] == 0xDA)
            return i;
    return file.size();
}

} // namespace

// Damaged JPEG files (the kinds fuzzing finds: cut tables, stray markers, cut or scrambled
// scans) are refused or decoded to the same pixels every time; the valgrind run of this test
// also checks that no uninitialised memory reaches them.
TEST(PictureDecoding, DamagedJpegsDecodeTheSameEachTimeOrAreRefused) {
    CPixels p(24, 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 24; ++x)
            p.at(x, y) = {uint8_t(x * 10), uint8_t(y * 15), uint8_t((x ^ y) * 9)};
    std::vector<std::pair<std::string, CBytes>> cases;
    for (bool progressive : {false, true}) {
        const CBytes good = jpeg(p, {75, progressive});
        const std::string kind = progressive ? "progressive " : "baseline ";
        const size_t scan = scanStart(good);
        ASSERT_LT(scan, good.size());
        cases.push_back({kind + "table cut short", withSegmentLength(good, 0xC4, 20)});
        cases.push_back({kind + "table overlong", withSegmentLength(good, 0xC4, 0xFFF0)});
        cases.push_back(
            {kind + "frame cut short", withSegmentLength(good, 0xC0 + progressive * 2, 9)});
        for (size_t cut : {scan + 4, scan + 20, (scan + good.size()) / 2, good.size() - 3})
            cases.push_back({kind + "cut at " + std::to_string(cut),
                             CBytes(good.begin(), good.begin() + long(cut))});
        CBytes stray = good;
        stray[(scan + good.size()) / 2] = 0xFF;
        stray[(scan + good.size()) / 2 + 1] = 0x99;
        cases.push_back({kind + "stray marker", stray});
        CBytes restart = good;
        restart[(scan + good.size()) / 2] = 0xFF;
        restart[(scan + good.size()) / 2 + 1] = 0xD3;
        cases.push_back({kind + "stray restart", restart});
        CBytes scrambled = good;
        for (size_t i = scan + 20; i < scrambled.size() - 2; i += 7)
            scrambled[i] =
                uint8_t(scrambled[i] * 31 + 7) == 0xFF ? 0 : uint8_t(scrambled[i] * 31 + 7);
        cases.push_back({kind + "scrambled scan", scrambled});
    }
    for (const auto& [name, file] : cases) {
        SCOPED_TRACE(name);
        scribbleOverTheHeap(0x00);
        const CDecodedPicture first = decodePicture(file, EPictureSource::kOther);
        scribbleOverTheHeap(0xA5);
        const CDecodedPicture second = decodePicture(file, EPictureSource::kOther);
        ASSERT_EQ(first.outcome, second.outcome);
        EXPECT_NE(first.outcome, EPictureOutcome::kTooBig);
        if (first.ok()) {
            EXPECT_EQ(first.image.width, 24);
            EXPECT_EQ(first.image.height, 16);
        }
        EXPECT_EQ(first.image.rgb, second.image.rgb);
    }
}
