// Encoding speed over the GB2312 library: 8178 entries of 16 × 16 with their dots made in
// advance, so only packing and text writing are timed; the proportional writers get the same
// dots as glyphs held in bits (GFX: the 224 codes 0x20..0xFF it can hold), and the font writers
// of the table run over the same codes as cropped glyphs.
#include "base/codepage.h"
#include "codegen/binary_file.h"
#include "codegen/code_text.h"
#include "codegen/gfx_font_writer.h"
#include "codegen/metrics_table_writer.h"
#include "codegen/output_writers.h"
#include "model/null_rasteriser.h"
#include "raster/rasteriser.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>

namespace {

using namespace tgw;

// Rows 0xA1..0xF7 × columns 0xA1..0xFE: the 8178 double-byte codes.
const CGlyphList& gb2312Library() {
    static CNullRasteriser none("not rendered in the benchmark");
    static const std::unique_ptr<CGlyphList> list = [] {
        auto l = std::make_unique<CGlyphList>(none);
        CFontSettings font;
        font.kind = kFontGb2312_16;
        font.width = font.height = 16;
        uint32_t seed = 1;
        for (int b1 = 0xA1; b1 <= 0xF7; ++b1)
            for (int b2 = 0xA1; b2 <= 0xFE; ++b2) {
                CDotMatrix m(16, 16);
                for (int r = 0; r < 16; ++r)
                    for (int c = 0; c < 16; ++c) {
                        seed = seed * 1664525u + 1013904223u;
                        m.set(r, c, seed >> 31);
                    }
                char16_t code = ansiToUnicode(uint8_t(b1), uint8_t(b2));
                l->append(std::make_unique<CCharEntry>(none, code, font)).setMatrix(std::move(m));
            }
        return l;
    }();
    return *list;
}

CEncodingOptions options(int language) {
    CSettings s = CSettings::defaults();
    s.language = language;
    return CEncodingOptions::fromSettings(s);
}

void codeTextOf(benchmark::State& state, int language) {
    const CGlyphList& list = gb2312Library();
    const CEncodingOptions o = options(language);
    size_t bytes = 0;
    for (auto _ : state) {
        Result<std::string> text = codeText(list, o);
        bytes = text->size();
        benchmark::DoNotOptimize(text->data());
    }
    state.SetBytesProcessed(int64_t(bytes) * state.iterations());
    state.counters["entries"] = double(list.size());
    state.counters["output_bytes"] = double(bytes);
}

void BM_CodeTextC(benchmark::State& state) {
    codeTextOf(state, 0);
}
void BM_CodeTextAssembler(benchmark::State& state) {
    codeTextOf(state, 1);
}

void BM_BinaryFileWithIndex(benchmark::State& state) {
    const CGlyphList& list = gb2312Library();
    const CEncodingOptions o = options(0);
    size_t bytes = 0;
    for (auto _ : state) {
        Result<std::string> file = binaryFile(list, o, true);
        bytes = file->size();
        benchmark::DoNotOptimize(file->data());
    }
    state.SetBytesProcessed(int64_t(bytes) * state.iterations());
    state.counters["output_bytes"] = double(bytes);
}

// The library's matrices as proportional glyphs of 16 × 16 boxes, or those of 0x20..0xFF.
CProportionalFont proportionalOf(const CGlyphList& list, bool gfxCodes) {
    CProportionalFont font;
    font.line = {18, 14};
    font.name = "Bench 16";
    for (size_t i = 0; i < list.size() && (!gfxCodes || i < 0xE0); ++i) {
        const auto& e = static_cast<const CCharEntry&>(list.at(i));
        CProportionalGlyph g;
        g.code = gfxCodes ? char16_t(0x20 + i) : e.code();
        g.dots = e.matrix();
        g.advance = 17;
        g.yOffset = -14;
        font.glyphs.push_back(std::move(g));
    }
    return font;
}

template <typename Write> void proportional(benchmark::State& state, bool gfxCodes, Write write) {
    const CProportionalFont font = proportionalOf(gb2312Library(), gfxCodes);
    const CEncodingOptions o = options(0);
    size_t bytes = 0;
    for (auto _ : state) {
        Result<std::string> out = write(font, o);
        bytes = out->size();
        benchmark::DoNotOptimize(out->data());
    }
    state.SetBytesProcessed(int64_t(bytes) * state.iterations());
    state.counters["glyphs"] = double(font.glyphs.size());
    state.counters["output_bytes"] = double(bytes);
}

void BM_MetricsBinary(benchmark::State& state) {
    proportional(state, false, metricsTableBinary);
}
void BM_MetricsText(benchmark::State& state) {
    proportional(state, false, metricsTableText);
}
void BM_GfxFont(benchmark::State& state) {
    proportional(state, true, [](const CProportionalFont& f, const CEncodingOptions&) {
        return gfxFontHeader(f);
    });
}

// The same 8178 codes as cropped proportional glyphs (boxes of 10 to 16 dots, placed around the
// baseline, a third of their dots dark), so that the font writers are timed alone, without
// rendering.
const CProportionalFont& gb2312Proportional() {
    static const CProportionalFont font = [] {
        CProportionalFont f;
        f.name = "Bench 16";
        f.line = {18, 15};
        f.settings.kind = kFontTrueType;
        f.settings.face = u"Bench";
        f.settings.size = 16;
        uint32_t seed = 7;
        auto next = [&seed] {
            seed = seed * 1664525u + 1013904223u;
            return seed >> 16;
        };
        for (int b1 = 0xA1; b1 <= 0xF7; ++b1)
            for (int b2 = 0xA1; b2 <= 0xFE; ++b2) {
                const int w = 10 + int(next() % 7), h = 10 + int(next() % 7);
                CDotMatrix m(w, h);
                for (int r = 0; r < h; ++r)
                    for (int c = 0; c < w; ++c)
                        m.set(r, c, next() % 3 == 0);
                CProportionalGlyph g;
                g.code = ansiToUnicode(uint8_t(b1), uint8_t(b2));
                g.dots = m;
                g.xOffset = int(next() % 3);
                g.yOffset = -h + int(next() % 3);
                g.advance = 16;
                f.glyphs.push_back(std::move(g));
            }
        return f;
    }();
    return font;
}

// A writer over `font`, with `compression`.
void writeFont(benchmark::State& state, const CProportionalFont& font, const char* name,
               ECompression compression) {
    const COutputWriter* writer = findWriter(name);
    if (font.glyphs.empty()) {
        state.SkipWithError("no glyphs (is WenQuanYi Micro Hei installed?)");
        return;
    }
    const CEncodingOptions o = options(0);
    CWriterOptions choices;
    choices.compression = compression;
    size_t bytes = 0;
    for (auto _ : state) {
        CStringOutput out;
        if (Status s = writer->writeProportional(font, o, choices, out); !s) {
            state.SkipWithError(s.error().c_str());
            return;
        }
        bytes = out.data().size();
        benchmark::DoNotOptimize(out.data().data());
    }
    state.SetItemsProcessed(int64_t(state.iterations() * font.glyphs.size()));
    state.counters["output_bytes"] = double(bytes);
}

// A proportional writer of the table over that font: compare bdf and u8g2 with metrics-c.
void BM_FontWriter(benchmark::State& state, const char* name) {
    writeFont(state, gb2312Proportional(), name, ECompression::None);
}

// The same glyphs at 4 bits a dot, anti-aliased edges around solid strokes (runs of one level
// as a face's glyphs have them), with kerning among the first 200 glyphs.
const CProportionalFont& gb2312Grey() {
    static const CProportionalFont font = [] {
        CProportionalFont f = gb2312Proportional();
        f.name = "Bench 16 4bpp";
        f.settings.depth = 4;
        uint32_t seed = 11;
        auto next = [&seed] {
            seed = seed * 1664525u + 1013904223u;
            return seed >> 16;
        };
        for (CProportionalGlyph& g : f.glyphs) {
            CBitMatrix grey(g.width(), g.height(), 4);
            for (int r = 0; r < g.height(); ++r)
                for (int c = 0; c < g.width(); ++c)
                    grey.setLevel(
                        r, c, g.dots.lit(r, c) ? 15 : uint8_t(next() % 4 == 0 ? next() % 15 : 0));
            g.dots = grey;
        }
        for (size_t a = 0; a < 200; ++a)
            for (size_t b = 0; b < 200; b += 7)
                f.kerning.push_back({f.glyphs[a].code, f.glyphs[b].code, -int(next() % 96)});
        std::sort(f.kerning.begin(), f.kerning.end(), [](const auto& x, const auto& y) {
            return x.left != y.left ? x.left < y.left : x.right < y.right;
        });
        return f;
    }();
    return font;
}

// The GB2312 characters as a face draws them: WenQuanYi Micro Hei at 16 dots and 4 bits a dot,
// rendered once, so that the writers meet the runs of real strokes and their anti-aliased edges.
const CProportionalFont& gb2312Rendered() {
    static const CProportionalFont font = [] {
        CProportionalFont f;
        f.name = "WenQuanYi Micro Hei 16 4bpp";
        f.settings.kind = kFontTrueType;
        f.settings.face = u"WenQuanYi Micro Hei";
        f.settings.fontFile = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc";
        f.settings.size = f.settings.width = f.settings.height = 16;
        f.settings.depth = 4;
        CRasteriser rasteriser;
        for (int b1 = 0xA1; b1 <= 0xF7; ++b1)
            for (int b2 = 0xA1; b2 <= 0xFE; ++b2) {
                const char16_t c = ansiToUnicode(uint8_t(b1), uint8_t(b2));
                CProportionalGlyph g;
                if (c && rasteriser.renderProportional(c, ansiForm(c), f.settings, g, f.line))
                    f.glyphs.push_back(std::move(g));
            }
        std::sort(f.glyphs.begin(), f.glyphs.end(),
                  [](const auto& a, const auto& b) { return a.code < b.code; });
        return f;
    }();
    return font;
}

void BM_RenderedFontWriter(benchmark::State& state, const char* name, ECompression compression) {
    writeFont(state, gb2312Rendered(), name, compression);
}

// The LVGL writers against metrics-c on the grey font, plain and compressed.
void BM_GreyFontWriter(benchmark::State& state, const char* name, ECompression compression) {
    writeFont(state, gb2312Grey(), name, compression);
}

BENCHMARK_CAPTURE(BM_FontWriter, metrics_c, "metrics-c")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FontWriter, metrics_bin, "metrics-bin")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FontWriter, bdf, "bdf")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FontWriter, u8g2, "u8g2")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FontWriter, lvgl, "lvgl")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FontWriter, lvgl_bin, "lvgl-bin")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_GreyFontWriter, metrics_c_4bpp, "metrics-c", ECompression::None)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_GreyFontWriter, metrics_bin_4bpp, "metrics-bin", ECompression::None)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_GreyFontWriter, lvgl_4bpp, "lvgl", ECompression::None)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_GreyFontWriter, lvgl_4bpp_rle_xor, "lvgl", ECompression::RleXorFilter)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_GreyFontWriter, lvgl_bin_4bpp, "lvgl-bin", ECompression::None)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_GreyFontWriter, lvgl_bin_4bpp_rle_xor, "lvgl-bin", ECompression::RleXorFilter)
    ->Unit(benchmark::kMillisecond);

BENCHMARK_CAPTURE(BM_RenderedFontWriter, metrics_c, "metrics-c", ECompression::None)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_RenderedFontWriter, metrics_bin, "metrics-bin", ECompression::None)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_RenderedFontWriter, lvgl, "lvgl", ECompression::None)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_RenderedFontWriter, lvgl_rle_xor, "lvgl", ECompression::RleXorFilter)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_RenderedFontWriter, lvgl_bin, "lvgl-bin", ECompression::None)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_RenderedFontWriter, lvgl_bin_rle_xor, "lvgl-bin", ECompression::RleXorFilter)
    ->Unit(benchmark::kMillisecond);

BENCHMARK(BM_CodeTextC)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CodeTextAssembler)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BinaryFileWithIndex)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MetricsBinary)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MetricsText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GfxFont)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
