// The character rasteriser against a bare FreeType loop over the same glyphs: the rasteriser's
// own cost per glyph (face lookup, placement, copying into the matrix) is the difference.
#include "raster/font_config.h"
#include "raster/rasteriser.h"

#include <benchmark/benchmark.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <string>
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

void rasteriser(benchmark::State& state, const char16_t* face, std::u16string chars) {
    CRasteriser r;
    CFontSettings f;
    f.kind = kFontTrueType;
    f.face = face;
    f.width = f.height = 16;
    std::vector<CAnsiForm> forms;
    for (char16_t c : chars)
        forms.push_back(ansiForm(c));
    CDotMatrix m;
    for (auto _ : state)
        for (size_t i = 0; i < chars.size(); ++i) {
            if (Status s = r.renderCharacter(chars[i], forms[i], f, m); !s) {
                state.SkipWithError(s.error().c_str());
                return;
            }
            benchmark::DoNotOptimize(m.dots().data());
        }
    state.SetItemsProcessed(int64_t(state.iterations() * chars.size()));
}

void bareFreeType(benchmark::State& state, const char16_t* family, std::u16string chars) {
    FT_Library lib;
    FT_Init_FreeType(&lib);
    FT_Face face;
    const CFaceFile file = fontFile(family);
    FT_New_Face(lib, file.file.c_str(), file.index, &face);
    FT_Set_Pixel_Sizes(face, 0, 16);
    for (auto _ : state)
        for (char16_t c : chars) {
            FT_Load_Char(face, c, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO);
            benchmark::DoNotOptimize(face->glyph->bitmap.buffer);
        }
    state.SetItemsProcessed(int64_t(state.iterations() * chars.size()));
    FT_Done_Face(face);
    FT_Done_FreeType(lib);
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

BENCHMARK_MAIN();
