// Writes the seed inputs of the picture fuzz targets: a small picture in every format the
// loader reads, icon files and a program with an icon, made by the raster tests' writers.
//   make_picture_seeds CORPUS_DIR   (writes CORPUS_DIR/<target>/<name>)
#include "picture_files.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

using namespace tgw::test;

namespace {

void write(const std::filesystem::path& dir, const std::string& name, const CBytes& bytes,
           int selector = -1) {
    std::filesystem::create_directories(dir);
    std::ofstream out(dir / name, std::ios::binary);
    if (selector >= 0)
        out.put(char(selector));
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_picture_seeds CORPUS_DIR\n");
        return 2;
    }
    const std::filesystem::path root = argv[1];
    CPixels p(5, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            p.at(x, y) = {uint8_t(x * 60), uint8_t(y * 120), uint8_t(x * y * 30),
                          uint8_t(x == 0 ? 0 : 255)};

    const std::filesystem::path loader = root / "fuzz_picture_loader";
    write(loader, "bmp", bmp24(p), 1);
    write(loader, "bmp-top-down", bmp24(p, true), 1);
    write(loader, "bmp-1bit", bmpPalette(CPixels(9, 2, {255, 255, 255}), 1), 1);
    write(loader, "bmp-4bit-os2", bmpPalette(p, 4, true), 1);
    write(loader, "bmp-16bit-fields", bmpBitfields(p, 16), 1);
    write(loader, "bmp-32bit-alpha", bmpBitfields(p, 32), 0);
    const std::vector<CRgba> palette = {{0, 0, 0}, {255, 255, 255}, {128, 128, 128}};
    write(loader, "bmp-rle8", bmpRle(4, 3, 8, palette, {2, 1, 2, 2, 0, 0, 0, 3, 2, 1, 2,
                                                        0, 0, 0, 0, 2, 1, 0, 1, 1, 0, 1}),
          1);
    write(loader, "bmp-rle4",
          bmpRle(4, 3, 4, palette, {4, 0x12, 0, 0, 0, 5, 0x21, 0x02, 0x10, 0, 0, 0, 3, 0x11, 0, 1}),
          1);
    write(loader, "ppm", ppm(p), 0);
    write(loader, "pgm", pgm(p), 0);
    write(loader, "gif", gif(p), 0);
    write(loader, "gif-local-interlaced-transparent",
          gif(p, {.localTable = true,
                  .interlaced = true,
                  .transparency = true,
                  .screenWidth = 7,
                  .screenHeight = 4}),
          0);
    write(loader, "png", png(p), 0);
    write(loader, "png-rgb16-interlaced", png(p, {2, 16, true}), 0);
    write(loader, "png-palette-trns", png(p, {3}), 0);
    write(loader, "png-grey-alpha", png(p, {4, 8, true}), 0);
    write(loader, "jpeg", jpeg(p), 0);
    write(loader, "jpeg-progressive", jpeg(p, {80, true}), 0);
    write(loader, "jpeg-grey", jpeg(p, {80, false, EJpegKind::kGrey}), 0);
    write(loader, "jpeg-cmyk", jpeg(p, {80, true, EJpegKind::kCmyk}), 0);

    const CBytes ico = icoFile({{iconDib(p, 4), 5, 3, 4},
                                {iconDib(p, 8), 5, 3, 8},
                                {iconDib(p, 24), 5, 3, 24},
                                {iconDib(p, 32), 5, 3, 32}});
    write(root / "fuzz_ico_reader", "dibs", ico);
    write(root / "fuzz_ico_reader", "png", icoFile({{png(p), 5, 3, 32}}));
    write(loader, "ico", ico, 2);

    const CBytes program = programWithIcons({{iconDib(p, 8), 5, 3, 8}, {png(p), 5, 3, 32}});
    write(root / "fuzz_pe_icon_reader", "pe32", program);
    write(root / "fuzz_pe_icon_reader", "pe32plus",
          programWithIcons({{iconDib(p, 24), 5, 3, 24}}, true));
    write(loader, "exe", program, 3);
    return 0;
}
