// The matrix view with 100 000 entries of 16 × 16 at cell size 4: a full layout, one screen
// painted at the top, the middle and the end (first paint renders and builds the pictures,
// a repaint reuses them), and the peak memory after paging through the whole document.
#include "view/qx_view.h"

#include <QApplication>
#include <QPainter>
#include <QScrollBar>
#include <benchmark/benchmark.h>

#include <sys/resource.h>

using namespace tgw;

namespace {

constexpr size_t kEntries = 100000;

CQxView& view() {
    static CQxView* v = [] {
        auto* v = new CQxView(nullptr);
        v->resize(1000, 700);
        CFontSettings f;
        f.kind = kFontGb2312_16;
        f.width = f.height = 16;
        // Every code of the GB2312 rows in turn, as a built library holds them.
        std::vector<char16_t> codes;
        for (int b1 = 0xA1; b1 <= 0xF7; ++b1)
            for (int b2 = 0xA1; b2 <= 0xFE; ++b2)
                codes.push_back(ansiToUnicode(uint8_t(b1), uint8_t(b2)));
        for (size_t i = 0; i < kEntries; ++i)
            v->list().append(
                std::make_unique<CCharEntry>(v->rasteriser(), codes[i % codes.size()], f));
        v->document().settings().pointSize = 4;
        v->layout(-1);
        return v;
    }();
    return *v;
}

void paintScreen(CQxView& v, QImage& target) {
    QPainter p(&target);
    const QPoint origin(v.horizontalScrollBar()->value(), v.verticalScrollBar()->value());
    p.translate(-origin);
    v.paintArea(p, QRect(origin, v.viewport()->size()));
}

void layoutAll(benchmark::State& state) {
    CQxView& v = view();
    for (auto _ : state)
        v.layout(-1);
    state.counters["entries"] = double(kEntries);
}

void paint(benchmark::State& state, double where, bool warm) {
    CQxView& v = view();
    QImage target(v.viewport()->size(), QImage::Format_RGB32);
    QScrollBar* bar = v.verticalScrollBar();
    const int y = int(bar->maximum() * where);
    for (auto _ : state) {
        if (!warm) {
            state.PauseTiming();
            // A cold screen: dots and pictures of these entries are built again.
            for (size_t i = 0; i < v.list().size(); ++i)
                if (v.entryRect(i).bottom() >= y && v.entryRect(i).top() <= y + 700)
                    v.list().at(i).freeDots();
            state.ResumeTiming();
        }
        bar->setValue(y);
        paintScreen(v, target);
    }
}

// Paints every page of the document, top to bottom.
void paintEveryPage(CQxView& v) {
    QImage target(v.viewport()->size(), QImage::Format_RGB32);
    QScrollBar* bar = v.verticalScrollBar();
    for (int y = 0; y <= bar->maximum(); y += bar->pageStep()) {
        bar->setValue(y);
        paintScreen(v, target);
    }
}

void pageThrough(benchmark::State& state) {
    CQxView& v = view();
    for (auto _ : state)
        paintEveryPage(v);
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_MB"] = double(usage.ru_maxrss) / 1024.0;
    state.counters["pictures_MB"] = double(v.cachedPictureBytes()) / (1 << 20);
}

// Paging through 10 000 TrueType entries of 16 × 16 at 1 and at 4 bits a dot (the argument):
// anti-aliased rendering and the grey pictures against the one-bit ones.
void pageThroughDepth(benchmark::State& state) {
    CQxView v(nullptr);
    v.resize(1000, 700);
    CFontSettings f;
    f.kind = kFontTrueType;
    f.face = u"WenQuanYi Micro Hei";
    f.width = f.height = 16;
    f.depth = int(state.range(0));
    for (size_t i = 0; i < 10000; ++i)
        v.list().append(std::make_unique<CCharEntry>(v.rasteriser(), char16_t(0x4E00 + i), f));
    v.document().settings().pointSize = 4;
    v.layout(-1);
    for (auto _ : state)
        paintEveryPage(v);
    const QScrollBar* bar = v.verticalScrollBar();
    state.counters["pages"] = double(bar->maximum() / std::max(1, bar->pageStep()) + 1);
}

} // namespace

BENCHMARK(pageThroughDepth)->Arg(1)->Arg(4)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(layoutAll)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(paint, top_first, 0.0, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(paint, top_repaint, 0.0, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(paint, middle_first, 0.5, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(paint, middle_repaint, 0.5, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(paint, end_first, 1.0, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(paint, end_repaint, 1.0, true)->Unit(benchmark::kMillisecond);
BENCHMARK(pageThrough)->Unit(benchmark::kMillisecond)->Iterations(1);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
