// Undo and redo of a whole-selection edit over 100 000 selected 16 × 16 entries: 反色 keeps the
// sizes, 旋转 90° of a non-square matrix changes them. The counters give the step's memory
// against the dots it changed (one byte per dot, old and new).
#include "project/glyph_document.h"

#include <benchmark/benchmark.h>

using namespace tgw;

namespace {

constexpr size_t kEntries = 100000;

// Blank matrices of the font's size, without fonts.
class CBlank : public IRasteriser {
public:
    Status renderCharacter(char16_t, const CAnsiForm&, const CFontSettings& f,
                           CDotMatrix& out) override {
        out = CDotMatrix(f.width, f.height);
        return {};
    }
    Status renderString(std::u16string_view, bool, const CFontSettings& f,
                        CDotMatrix& out) override {
        out = CDotMatrix(f.width, f.height);
        return {};
    }
    Status renderPicture(const std::u16string&, uint8_t, CDotMatrix& out) override {
        out = CDotMatrix(1, 1);
        return {};
    }
};

std::unique_ptr<CGlyphDocument> document(int width, int height) {
    static CBlank raster;
    auto doc = std::make_unique<CGlyphDocument>(raster);
    CFontSettings f;
    f.kind = kFontTrueType;
    f.face = u"Sans";
    f.width = width;
    f.height = height;
    std::u16string text;
    for (size_t i = 0; i < kEntries; ++i)
        text.push_back(char16_t(0x4E00 + i % 20000));
    CAddOptions add;
    add.filterDuplicates = false;
    doc->addCharacters(text, f, add);
    for (size_t i = 0; i < kEntries; ++i) {
        CDotMatrix m(width, height);
        for (int r = 0; r < height; ++r)
            for (int c = 0; c < width; ++c)
                m.set(r, c, (r * 5 + c * 3 + int(i)) % 7 < 3);
        doc->entries().at(i).setMatrix(std::move(m));
    }
    doc->entries().selectAll();
    doc->clearHistory();
    return doc;
}

void run(benchmark::State& state, EMatrixEdit edit, int width, int height, bool redo) {
    auto doc = document(width, height);
    doc->editSelected(edit);
    const double stepBytes = double(doc->history().bytes());
    for (auto _ : state) {
        if (redo) {
            state.PauseTiming();
            doc->undo();
            state.ResumeTiming();
            doc->redo();
        } else {
            doc->undo();
            state.PauseTiming();
            doc->redo();
            state.ResumeTiming();
        }
    }
    const double dots = double(kEntries) * width * height;
    state.counters["step_MB"] = stepBytes / 1e6;
    state.counters["step_per_changed_dots"] = stepBytes / (2 * dots);
}

void BM_UndoInvert(benchmark::State& s) {
    run(s, EMatrixEdit::Invert, 16, 16, false);
}
void BM_RedoInvert(benchmark::State& s) {
    run(s, EMatrixEdit::Invert, 16, 16, true);
}
void BM_UndoRotate90(benchmark::State& s) {
    run(s, EMatrixEdit::Rotate90, 16, 16, false);
}
void BM_RedoRotate90(benchmark::State& s) {
    run(s, EMatrixEdit::Rotate90, 16, 16, true);
}
// Rotating a wider-than-high matrix changes every entry's size.
void BM_UndoRotate90Resizing(benchmark::State& s) {
    run(s, EMatrixEdit::Rotate90, 16, 8, false);
}

} // namespace

BENCHMARK(BM_UndoInvert)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_RedoInvert)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_UndoRotate90)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_RedoRotate90)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_UndoRotate90Resizing)->Unit(benchmark::kMillisecond)->Iterations(10);

BENCHMARK_MAIN();
