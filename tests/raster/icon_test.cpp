#include "picture_files.h"

#include "base/text.h"
#include "raster/icon_reader.h"
#include "raster/pe_icon_reader.h"
#include "raster/picture_loader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>

using namespace tgw;
using namespace tgw::test;

namespace {

// Four pixels of an icon: an opaque colour, a transparent one (black under its mask, as icons
// store it), an inverting one (white under its mask) and white.
CPixels iconPixels() {
    CPixels p(2, 2);
    p.at(0, 0) = {200, 100, 50, 255};
    p.at(1, 0) = {0, 0, 0, 0};
    p.at(0, 1) = {255, 255, 255, 0};
    p.at(1, 1) = {255, 255, 255, 255};
    return p;
}

std::vector<uint8_t> rgbOf(const CDecodedPicture& d) {
    return d.image.rgb;
}

std::vector<uint8_t> rgb(std::initializer_list<uint8_t> v) {
    return v;
}

CDecodedPicture decodeIco(const CBytes& file) {
    return decodePicture(file, EPictureSource::kIcon);
}
CDecodedPicture decodeExe(const CBytes& file) {
    return decodePicture(file, EPictureSource::kProgram);
}

void expectInvalidWhenCut(const CBytes& whole, EPictureSource source) {
    // Every prefix of the file is refused: short files are the commonest hostile input.
    for (size_t n = 0; n < whole.size(); ++n) {
        CBytes cut(whole.begin(), whole.begin() + long(n));
        CDecodedPicture d = decodePicture(cut, source);
        ASSERT_NE(d.outcome, EPictureOutcome::kLoaded) << "cut at " << n << " of " << whole.size();
    }
}

} // namespace

// Over black, the AND mask leaves each pixel its colour: a transparent pixel shows the black
// icons store under it, an inverting one its colour.
TEST(IconFiles, BitmapImagesOfEachDepthAreDrawnOverBlack) {
    const std::vector<uint8_t> expected =
        rgb({200, 100, 50, 0, 0, 0, 255, 255, 255, 255, 255, 255});
    for (int bpp : {4, 8, 24, 32}) {
        SCOPED_TRACE(bpp);
        CPixels p = iconPixels();
        if (bpp == 32) // all alpha 0 would mean "no alpha"; opaque pixels keep it readable
            p.at(0, 1).a = 255;
        CDecodedPicture d = decodeIco(icoFile({{iconDib(p, bpp), 2, 2, bpp}}));
        ASSERT_TRUE(d.ok()) << d.reason;
        EXPECT_EQ(d.image.width, 2);
        EXPECT_EQ(d.image.height, 2);
        EXPECT_EQ(rgbOf(d), expected);
    }
}

TEST(IconFiles, AlphaIsBlendedAndAnAllZeroAlphaMeansNone) {
    CPixels p(2, 1);
    p.at(0, 0) = {255, 255, 255, 128};
    p.at(1, 0) = {255, 0, 0, 255};
    CDecodedPicture d = decodeIco(icoFile({{iconDib(p, 32), 2, 1, 32}}));
    ASSERT_TRUE(d.ok()) << d.reason;
    EXPECT_EQ(rgbOf(d), rgb({128, 128, 128, 255, 0, 0}));

    p.at(0, 0).a = p.at(1, 0).a = 0;
    d = decodeIco(icoFile({{iconDib(p, 32), 2, 1, 32}}));
    ASSERT_TRUE(d.ok()) << d.reason;
    EXPECT_EQ(rgbOf(d), rgb({255, 255, 255, 255, 0, 0}));
}

TEST(IconFiles, PngImagesInsideAreRead) {
    CPixels p(3, 1);
    p.at(0, 0) = {255, 255, 255, 255};
    p.at(1, 0) = {255, 255, 255, 0};
    p.at(2, 0) = {10, 20, 30, 255};
    CDecodedPicture d = decodeIco(icoFile({{png(p), 3, 1, 32}}));
    ASSERT_TRUE(d.ok()) << d.reason;
    EXPECT_EQ(rgbOf(d), rgb({255, 255, 255, 0, 0, 0, 10, 20, 30}));
}

TEST(IconFiles, TheImageNearestTheSystemSizeIsShownThenTheLargerThenTheDeepest) {
    auto image = [](int side, uint8_t grey, int bpp = 24) {
        return CIconImage{iconDib(CPixels(side, side, {grey, grey, grey, 255}), bpp), side, side,
                          bpp};
    };
    // 16, 32, 48 and 256 in any order: 32.
    CDecodedPicture d =
        decodeIco(icoFile({image(256, 10), image(16, 20), image(48, 30), image(32, 40)}));
    ASSERT_TRUE(d.ok()) << d.reason;
    EXPECT_EQ(d.image.width, 32);
    EXPECT_EQ(d.image.rgb[0], 40);
    // 16 and 48 are as near: the larger. Only 256: that one.
    d = decodeIco(icoFile({image(16, 20), image(48, 30)}));
    ASSERT_TRUE(d.ok()) << d.reason;
    EXPECT_EQ(d.image.width, 48);
    d = decodeIco(icoFile({image(256, 10)}));
    ASSERT_TRUE(d.ok()) << d.reason;
    EXPECT_EQ(d.image.width, 256);
    // The same size: the most colours, then the first.
    d = decodeIco(icoFile({image(32, 50, 8), image(32, 60), image(32, 70)}));
    ASSERT_TRUE(d.ok()) << d.reason;
    EXPECT_EQ(d.image.rgb[0], 60);
    // 0 in the directory means 256.
    EXPECT_EQ(chooseIconImage(std::vector<CIconDirEntry>{{256, 256, 32}, {255, 255, 32}}), 1u);
}

TEST(IconFiles, TruncatedOrLyingFilesAreInvalidAndHugeOnesTooBig) {
    const CBytes dib = iconDib(iconPixels(), 24);
    expectInvalidWhenCut(icoFile({{dib, 2, 2, 24}}), EPictureSource::kIcon);
    expectInvalidWhenCut(icoFile({{png(iconPixels()), 2, 2, 32}}), EPictureSource::kIcon);

    // An image that runs past the end of the file, by its directory entry.
    CBytes file = icoFile({{dib, 2, 2, 24}});
    file[6 + 8] += 1;
    EXPECT_EQ(decodeIco(file).outcome, EPictureOutcome::kInvalid);
    // The mask rows cut by one byte (the image's own size kept consistent).
    CBytes cut(dib.begin(), dib.end() - 1);
    EXPECT_EQ(decodeIco(icoFile({{cut, 2, 2, 24}})).outcome, EPictureOutcome::kInvalid);
    // A cursor file, or no images at all.
    file = icoFile({{dib, 2, 2, 24}});
    file[2] = 2;
    EXPECT_EQ(decodeIco(file).outcome, EPictureOutcome::kInvalid);
    EXPECT_EQ(decodeIco(icoFile({})).outcome, EPictureOutcome::kInvalid);
    // A header that claims a huge bitmap is refused before anything is allocated for it.
    CBytes huge = dib;
    huge[4] = 0x00;
    huge[5] = 0x00;
    huge[6] = 0x00;
    huge[7] = 0x40; // width 2^30
    EXPECT_EQ(decodeIconImage(huge).outcome, EPictureOutcome::kTooBig);
    huge = dib;
    huge[8] = 0xFF; // 0x10FF counts colour and mask rows: 2175 rows of pixels
    huge[9] = 0x10;
    EXPECT_EQ(decodeIconImage(huge).outcome, EPictureOutcome::kTooBig);
}

// A program's icon comes at the system icon size, 32 × 32: a 2 × 2 image becomes four blocks
// of 16 × 16.
TEST(ProgramIcons, TheFirstGroupsChosenImageIsReadAtTheSystemSize) {
    const CBytes dib = iconDib(iconPixels(), 24);
    const CDecodedPicture fromIco = decodeIco(icoFile({{dib, 2, 2, 24}}));
    ASSERT_TRUE(fromIco.ok()) << fromIco.reason;
    for (bool plus : {false, true}) {
        SCOPED_TRACE(plus ? "PE32+" : "PE32");
        CDecodedPicture d = decodeExe(programWithIcons({{dib, 2, 2, 24}}, plus));
        ASSERT_TRUE(d.ok()) << d.reason;
        ASSERT_EQ(d.image.width, 32);
        ASSERT_EQ(d.image.height, 32);
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                ASSERT_EQ(0,
                          std::memcmp(d.image.pixel(x, y), fromIco.image.pixel(x / 16, y / 16), 3))
                    << x << "," << y;
    }
    // Of 16, 32, 48 and 256, the 32 is taken as it is.
    std::vector<CIconImage> images;
    for (int side : {16, 48, 256, 32})
        images.push_back(
            {iconDib(CPixels(side, side, {uint8_t(side / 2), 0, 0, 255}), 24), side, side, 24});
    CDecodedPicture d = decodeExe(programWithIcons(images));
    ASSERT_TRUE(d.ok()) << d.reason;
    EXPECT_EQ(d.image.width, 32);
    EXPECT_EQ(d.image.rgb[0], 16);
    // A single 256 × 256 image is brought down to 32 × 32.
    d = decodeExe(programWithIcons({images[2]}));
    ASSERT_TRUE(d.ok()) << d.reason;
    EXPECT_EQ(d.image.width, 32);
    EXPECT_EQ(d.image.rgb[0], 128);
    d = decodeExe(programWithIcons({{png(iconPixels()), 2, 2, 32}}));
    EXPECT_TRUE(d.ok()) << d.reason;
}

TEST(ProgramIcons, MalformedProgramsAreInvalid) {
    const CBytes dib = iconDib(iconPixels(), 24);
    const CBytes program = programWithIcons({{dib, 2, 2, 24}});
    expectInvalidWhenCut(program, EPictureSource::kProgram);

    // No resource directory.
    CBytes none = program;
    std::fill(none.begin() + 0x40 + 24 + 96 + 16, none.begin() + 0x40 + 24 + 96 + 24, 0);
    EXPECT_EQ(decodeExe(none).outcome, EPictureOutcome::kInvalid);
    // Not a program.
    EXPECT_EQ(decodeExe(dib).outcome, EPictureOutcome::kInvalid);
    // The group names an icon the program does not have: its id is the group's last field.
    CBytes missing = program;
    const CBytes groupStart = {0, 0, 1, 0, 1, 0, 2, 2};
    auto at = std::search(missing.begin(), missing.end(), groupStart.begin(), groupStart.end());
    ASSERT_NE(at, missing.end());
    at[6 + 12] = 7;
    EXPECT_EQ(decodeExe(missing).outcome, EPictureOutcome::kInvalid);
    // A resource directory that points at itself is walked no deeper than three levels.
    CBytes loop = program;
    const size_t resources = 0x200;
    loop[resources + 16 + 4] = 0;
    loop[resources + 16 + 7] = 0x80; // the first type's subdirectory: the root again
    EXPECT_EQ(decodeExe(loop).outcome, EPictureOutcome::kInvalid);
}

TEST(ProgramIcons, LargeProgramsAreReadInPlace) {
    // Past the limit for pictures read whole, yet the icon is found: only its parts are read.
    CTempDir dir;
    const std::string path =
        dir.write("big.EXE", programWithIcons({{iconDib(iconPixels(), 24), 2, 2, 24}}));
    std::filesystem::resize_file(path, kMaxPictureFileBytes + 4096); // sparse
    CDecodedPicture d = loadPicture(utf8ToUtf16(path));
    EXPECT_TRUE(d.ok()) << d.reason;
}
