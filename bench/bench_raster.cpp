// The character rasteriser against a bare FreeType loop over the same glyphs: the rasteriser's
// own cost per glyph (face lookup, placement, copying into the matrix) is the difference. The
// bitmap font's glyphs cost FreeType little, so there the rasteriser's own work per glyph (the
// choice of face and size for the font, the copy into the cell) is most of the time.
#include "bench_fonts.h"
#include "raster/font_config.h"
#include "raster/rasteriser.h"

#include <benchmark/benchmark.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

using namespace tgw;

namespace {

std::u16string printableAscii() {
    std::u16string s;
    for (char16_t c = 32; c < 127; ++c)
        s.push_back(c);
    return s;
}

// The 6763 hanzi of GB2312: rows B0..F7, without D7FA..D7FE.
std::u16string gb2312Hanzi() {
    std::u16string s;
    for (int b1 = 0xB0; b1 <= 0xF7; ++b1)
        for (int b2 = 0xA1; b2 <= 0xFE; ++b2)
            if (!(b1 == 0xD7 && b2 >= 0xFA))
                s.push_back(ansiToUnicode(uint8_t(b1), uint8_t(b2)));
    return s;
}

// The file fontconfig matches for a family, as the rasteriser itself finds it.
CFaceFile fontFile(const char16_t* family) {
    Result<CFaceFile> file = findFace(family, false, false);
    return file ? *file : CFaceFile{};
}

// A BDF of 4096 glyphs of 16 × 16 dots from U+4E00 on, written once into a folder removed at
// exit.
struct CBitmapFont {
    std::string folder, path;
    CBitmapFont() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "tgw-bench-raster-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            return;
        folder = pattern;
        path = folder + "/glyphs.bdf";
        bench::writeBenchBdf(path, 4096, "glyphs");
    }
    ~CBitmapFont() {
        std::error_code ec;
        if (!folder.empty())
            std::filesystem::remove_all(folder, ec);
    }
};

const CBitmapFont& bitmapFont() {
    static const CBitmapFont font;
    return font;
}

std::u16string bitmapFontCodes() {
    std::u16string s;
    for (char16_t c = 0x4E00; c < 0x4E00 + 4096; ++c)
        s.push_back(c);
    return s;
}

// The ways of choosing the face and size that the benchmarks take.
enum class EFonts {
    One,       // one font, the cell as tall as wide
    Squeezed,  // a narrower cell than the em: the face's average width counts
    FromFile,  // the face named by its file instead of its family
    TwoWidths, // each character in the next of two cell widths, as half-width ASCII among
               // full-width characters
};

// The fonts of `way` from `f`; the characters take them in turn.
std::vector<CFontSettings> fontsOf(CFontSettings f, EFonts way) {
    switch (way) {
    case EFonts::One:
        break;
    case EFonts::Squeezed:
        f.width = f.height * 3 / 4;
        break;
    case EFonts::FromFile:
        if (f.fontFile.empty())
            f.fontFile = fontFile(f.face.c_str()).file;
        break;
    case EFonts::TwoWidths: {
        CFontSettings half = f;
        half.width = f.width / 2;
        return {f, half};
    }
    }
    return {f};
}

CFontSettings font16(const char16_t* face) {
    CFontSettings f;
    f.kind = kFontTrueType;
    f.face = face;
    f.width = f.height = 16;
    return f;
}

void rasteriseWith(benchmark::State& state, const std::vector<CFontSettings>& fonts,
                   const std::u16string& chars) {
    CRasteriser r;
    std::vector<CAnsiForm> forms;
    for (char16_t c : chars)
        forms.push_back(ansiForm(c));
    CDotMatrix m;
    for (auto _ : state)
        for (size_t i = 0; i < chars.size(); ++i) {
            const CFontSettings& f = fonts[i % fonts.size()];
            if (Status s = r.renderCharacter(chars[i], forms[i], f, m); !s) {
                state.SkipWithError(s.error().c_str());
                return;
            }
            benchmark::DoNotOptimize(m.dots().data());
        }
    state.SetItemsProcessed(int64_t(state.iterations() * chars.size()));
}

void rasteriser(benchmark::State& state, const char16_t* face, std::u16string chars,
                EFonts way = EFonts::One) {
    rasteriseWith(state, fontsOf(font16(face), way), chars);
}

// The bitmap font as a font file.
void rasteriserBitmap(benchmark::State& state, EFonts way) {
    CFontSettings f = font16(u"glyphs");
    f.fontFile = bitmapFont().path;
    rasteriseWith(state, fontsOf(f, way), bitmapFontCodes());
}

void bareFreeTypeFile(benchmark::State& state, const std::string& path, int index,
                      const std::u16string& chars) {
    FT_Library lib;
    FT_Init_FreeType(&lib);
    FT_Face face;
    if (FT_New_Face(lib, path.c_str(), index, &face) != 0) {
        state.SkipWithError("the font cannot be opened");
        FT_Done_FreeType(lib);
        return;
    }
    if (FT_IS_SCALABLE(face))
        FT_Set_Pixel_Sizes(face, 0, 16);
    else
        FT_Select_Size(face, 0);
    for (auto _ : state)
        for (char16_t c : chars) {
            FT_Load_Char(face, c, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO);
            benchmark::DoNotOptimize(face->glyph->bitmap.buffer);
        }
    state.SetItemsProcessed(int64_t(state.iterations() * chars.size()));
    FT_Done_Face(face);
    FT_Done_FreeType(lib);
}

void bareFreeTypeBitmap(benchmark::State& state) {
    bareFreeTypeFile(state, bitmapFont().path, 0, bitmapFontCodes());
}

void bareFreeType(benchmark::State& state, const char16_t* family, std::u16string chars) {
    const CFaceFile file = fontFile(family);
    bareFreeTypeFile(state, file.file, file.index, chars);
}

} // namespace

BENCHMARK_CAPTURE(rasteriser, ascii_dejavu, u"DejaVu Sans", printableAscii())
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(bareFreeType, ascii_dejavu, u"DejaVu Sans", printableAscii())
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(rasteriser, gb2312_wqy, u"WenQuanYi Micro Hei", gb2312Hanzi())
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(bareFreeType, gb2312_wqy, u"WenQuanYi Micro Hei", gb2312Hanzi())
    ->Unit(benchmark::kMillisecond);
// The same glyphs through the other ways the face and size are chosen: squeezed to a narrower
// cell, and the face named by its file. (Two cell widths in turn on one outline face mostly
// measure FreeType setting the face to the other size; the bitmap font shows the switch.)
BENCHMARK_CAPTURE(rasteriser, gb2312_wqy_squeezed, u"WenQuanYi Micro Hei", gb2312Hanzi(),
                  EFonts::Squeezed)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(rasteriser, gb2312_wqy_file, u"WenQuanYi Micro Hei", gb2312Hanzi(),
                  EFonts::FromFile)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(rasteriserBitmap, bdf, EFonts::One)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(rasteriserBitmap, bdf_two_widths, EFonts::TwoWidths)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(bareFreeTypeBitmap)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
