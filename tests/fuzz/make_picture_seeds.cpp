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
    write(loader, "ppm", ppm(p), 0);
    write(loader, "pgm", pgm(p), 0);
    write(loader, "tga", tga24(p), 0);
    write(loader, "psd", psd(p), 0);
    write(loader, "gif", gif(p), 0);
    write(loader, "png", png(p), 0);
    write(loader, "jpeg", jpeg(p), 0);

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
