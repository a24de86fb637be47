// Undo and redo of 反色 and 旋转 90° over 100 000 selected 16 × 16 entries as the window runs
// them: the document's step, then the matrix view's layout from the first changed entry.
#include "view/qx_view.h"

#include <QApplication>
#include <benchmark/benchmark.h>

using namespace tgw;

namespace {

constexpr size_t kEntries = 100000;

std::unique_ptr<CQxView> makeView(int width, int height) {
    auto v = std::make_unique<CQxView>(nullptr);
    v->resize(1000, 700);
    v->document().settings().pointSize = 4;
    CFontSettings f;
    f.kind = kFontGb2312_16;
    f.width = width;
    f.height = height;
    for (size_t i = 0; i < kEntries; ++i) {
        auto e = std::make_unique<CCharEntry>(v->rasteriser(), char16_t(0x4E00 + i % 20000), f);
        CDotMatrix m(width, height);
        for (int r = 0; r < height; ++r)
            for (int c = 0; c < width; ++c)
                m.set(r, c, (r * 5 + c * 3 + int(i)) % 7 < 3);
        e->setMatrix(std::move(m));
        v->list().append(std::move(e));
    }
    v->list().selectAll();
    v->document().clearHistory();
    v->layout(-1);
    return v;
}

void run(benchmark::State& state, EMatrixEdit edit, int width, int height, bool redo) {
    auto v = makeView(width, height);
    v->editSelected(edit);
    CGlyphDocument& doc = v->document();
    for (auto _ : state) {
        if (redo) {
            state.PauseTiming();
            doc.undo();
            v->flushLayout();
            state.ResumeTiming();
            doc.redo();
        } else {
            doc.undo();
        }
        v->flushLayout();
        if (!redo) {
            state.PauseTiming();
            doc.redo();
            v->flushLayout();
            state.ResumeTiming();
        }
    }
}

void undoInvert(benchmark::State& s) {
    run(s, EMatrixEdit::Invert, 16, 16, false);
}
void redoInvert(benchmark::State& s) {
    run(s, EMatrixEdit::Invert, 16, 16, true);
}
void undoRotate90(benchmark::State& s) {
    run(s, EMatrixEdit::Rotate90, 16, 16, false);
}
void redoRotate90(benchmark::State& s) {
    run(s, EMatrixEdit::Rotate90, 16, 16, true);
}

} // namespace

BENCHMARK(undoInvert)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(redoInvert)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(undoRotate90)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(redoRotate90)->Unit(benchmark::kMillisecond)->Iterations(5);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
