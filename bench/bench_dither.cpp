// Converting a 2048 × 2048 picture: greys, scaling and each method, to 128 × 64 and at full size.
#include "raster/picture_filters.h"

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

using namespace tgw;

// A photo-like picture: smooth gradients with some fine texture.
const CRgbImage& photo() {
    static const CRgbImage image = [] {
        CRgbImage p(2048, 2048);
        for (int y = 0; y < p.height; ++y)
            for (int x = 0; x < p.width; ++x) {
                const int v = int(128 + 100 * std::sin(x * 0.003) * std::cos(y * 0.002)) +
                              ((x * 7 + y * 13) % 23) - 11;
                p.set(x, y, uint8_t(std::clamp(v, 0, 255)), uint8_t(x / 8), uint8_t(y / 8));
            }
        return p;
    }();
    return image;
}

void convert(benchmark::State& state) {
    CPictureOptions o;
    o.method = EPictureMethod(state.range(0));
    o.scale = state.range(1) ? EPictureScale::kFit : EPictureScale::kFill;
    o.targetWidth = state.range(1) ? 128 : 2048;
    o.targetHeight = state.range(1) ? 64 : 2048;
    o.invert = o.method == EPictureMethod::kThreshold; // keep the threshold off the plain path
    const CRgbImage& image = photo();
    for (auto _ : state)
        benchmark::DoNotOptimize(convertPicture(image, o));
    state.SetLabel(std::string(pictureMethodName(o.method)) +
                   (state.range(1) ? " to 128x64" : " at 2048x2048"));
}
BENCHMARK(convert)->ArgsProduct({{0, 1, 2, 3}, {1, 0}})->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
