#include "raster/picture_filters.h"

#include <algorithm>
#include <cmath>

namespace tgw {
namespace {

// The source pixels that make one resampled pixel along an axis, with their weights.
struct CTaps {
    std::vector<int> first; // per output pixel: index of its first source pixel
    std::vector<int> count; // per output pixel: how many source pixels follow
    std::vector<float> weight;
    std::vector<size_t> start; // per output pixel: where its weights begin
};

CTaps makeTaps(int from, int to) {
    CTaps t;
    t.first.resize(size_t(to));
    t.count.resize(size_t(to));
    t.start.resize(size_t(to));
    const double scale = double(from) / double(to);
    for (int i = 0; i < to; ++i) {
        t.start[size_t(i)] = t.weight.size();
        if (to < from) {
            // Shrinking: the output pixel covers [i·scale, (i+1)·scale) of the source.
            const double lo = i * scale, hi = (i + 1) * scale;
            const int k0 = int(std::floor(lo));
            const int k1 = std::min(from, int(std::ceil(hi)));
            t.first[size_t(i)] = k0;
            t.count[size_t(i)] = k1 - k0;
            for (int k = k0; k < k1; ++k) {
                const double overlap = std::min(hi, double(k + 1)) - std::max(lo, double(k));
                t.weight.push_back(float(overlap / scale));
            }
        } else {
            // Growing (or the same size): between the two nearest source centres.
            const double centre = (i + 0.5) * scale - 0.5;
            int k0 = int(std::floor(centre));
            double f = centre - k0;
            if (k0 < 0)
                k0 = 0, f = 0;
            if (k0 >= from - 1)
                k0 = from - 1, f = 0;
            t.first[size_t(i)] = k0;
            t.count[size_t(i)] = f > 0 ? 2 : 1;
            t.weight.push_back(float(1 - f));
            if (f > 0)
                t.weight.push_back(float(f));
        }
    }
    return t;
}

uint8_t toByte(float v) {
    return uint8_t(std::clamp(int(std::lround(v)), 0, 255));
}

// Error diffusion over rows with an error buffer of `rows` rows, each two pixels wider on
// both sides than the picture so that no neighbour needs a bounds check. `spread` adds the
// error of the pixel at x to the buffers; `divisor` scales the summed error back. At depth 1 a
// pixel above `level` is lit; at a greater depth each pixel takes the nearest level
// (levelOfCoverage) and passes on what that level misses.
template <int Rows, class Spread>
CDotMatrix diffuse(const CGreyImage& image, int depth, int divisor, int level, Spread spread) {
    const int w = image.width;
    CDotMatrix dots(w, image.height, depth);
    const int top = maxLevelOf(depth);
    std::vector<int> buffers[Rows];
    for (auto& b : buffers)
        b.assign(size_t(w) + 4, 0);
    for (int y = 0; y < image.height; ++y) {
        const uint8_t* in = image.row(y);
        uint8_t* out = dots.row(y);
        int* err[Rows];
        for (int r = 0; r < Rows; ++r)
            err[r] = buffers[(y + r) % Rows].data() + 2;
        for (int x = 0; x < w; ++x) {
            // C division truncates toward zero, as the usual integer implementations do.
            const int v = std::clamp(in[x] + err[0][x] / divisor, 0, 255);
            if (depth == 1) {
                const int lit = v > level;
                out[x] = uint8_t(lit);
                spread(err, x, v - (lit ? 255 : 0));
                continue;
            }
            const int q = levelOfCoverage(unsigned(v), depth);
            out[x] = uint8_t(q);
            spread(err, x, v - (q * 255 + top / 2) / top);
        }
        std::fill(buffers[y % Rows].begin(), buffers[y % Rows].end(), 0);
    }
    return dots;
}

} // namespace

CDotMatrix thresholdPicture(const CRgbImage& image, uint8_t threshold) {
    CDotMatrix dots(image.width, image.height);
    for (int y = 0; y < image.height; ++y) {
        uint8_t* row = dots.row(y);
        for (int x = 0; x < image.width; ++x) {
            const uint8_t* p = image.pixel(x, y);
            if (brightness(p[0], p[1], p[2]) >= threshold)
                row[x] = 1;
        }
    }
    return dots;
}

CGreyImage greyOf(const CRgbImage& image) {
    CGreyImage grey(image.width, image.height);
    const uint8_t* p = image.rgb.data();
    for (uint8_t& v : grey.value) {
        v = uint8_t(brightness(p[0], p[1], p[2]));
        p += 3;
    }
    return grey;
}

void scaledSize(int width, int height, EPictureScale scale, int targetWidth, int targetHeight,
                int& outWidth, int& outHeight) {
    outWidth = width;
    outHeight = height;
    if (scale == EPictureScale::kKeep || targetWidth <= 0 || targetHeight <= 0 || width <= 0 ||
        height <= 0)
        return;
    targetWidth = std::min(targetWidth, kMaxMatrixSide);
    targetHeight = std::min(targetHeight, kMaxMatrixSide);
    if (scale == EPictureScale::kFill) {
        outWidth = targetWidth;
        outHeight = targetHeight;
        return;
    }
    const double f = std::min(double(targetWidth) / width, double(targetHeight) / height);
    outWidth = std::clamp(int(std::lround(width * f)), 1, targetWidth);
    outHeight = std::clamp(int(std::lround(height * f)), 1, targetHeight);
}

CGreyImage resampleGrey(const CGreyImage& image, int width, int height) {
    if (width == image.width && height == image.height)
        return image;
    const CTaps tx = makeTaps(image.width, width);
    const CTaps ty = makeTaps(image.height, height);
    // Rows first: the source is read once in memory order.
    std::vector<float> across(size_t(width) * size_t(image.height));
    for (int y = 0; y < image.height; ++y) {
        const uint8_t* in = image.row(y);
        float* out = across.data() + size_t(y) * size_t(width);
        for (int x = 0; x < width; ++x) {
            const float* w = tx.weight.data() + tx.start[size_t(x)];
            const uint8_t* s = in + tx.first[size_t(x)];
            float sum = 0;
            for (int k = 0; k < tx.count[size_t(x)]; ++k)
                sum += w[k] * s[k];
            out[x] = sum;
        }
    }
    CGreyImage result(width, height);
    std::vector<float> sum(static_cast<size_t>(width));
    for (int y = 0; y < height; ++y) {
        std::fill(sum.begin(), sum.end(), 0.0f);
        const float* w = ty.weight.data() + ty.start[size_t(y)];
        for (int k = 0; k < ty.count[size_t(y)]; ++k) {
            const float* in = across.data() + size_t(ty.first[size_t(y)] + k) * size_t(width);
            for (int x = 0; x < width; ++x)
                sum[size_t(x)] += w[k] * in[x];
        }
        uint8_t* out = result.row(y);
        for (int x = 0; x < width; ++x)
            out[x] = toByte(sum[size_t(x)]);
    }
    return result;
}

CDotMatrix thresholdGrey(const CGreyImage& image, uint8_t threshold) {
    CDotMatrix dots(image.width, image.height);
    for (int y = 0; y < image.height; ++y) {
        const uint8_t* in = image.row(y);
        uint8_t* out = dots.row(y);
        for (int x = 0; x < image.width; ++x)
            out[x] = in[x] >= threshold ? 1 : 0;
    }
    return dots;
}

CDotMatrix quantiseGrey(const CGreyImage& image, int depth) {
    CDotMatrix dots(image.width, image.height, depth);
    uint8_t table[256];
    for (unsigned v = 0; v < 256; ++v)
        table[v] = levelOfCoverage(v, depth);
    for (int y = 0; y < image.height; ++y) {
        const uint8_t* in = image.row(y);
        uint8_t* out = dots.row(y);
        for (int x = 0; x < image.width; ++x)
            out[x] = table[in[x]];
    }
    return dots;
}

CDotMatrix ditherFloydSteinberg(const CGreyImage& image, int depth) {
    //          *   7
    //      3   5   1     (sixteenths)
    return diffuse<2>(image, depth, 16, 128, [](int** err, int x, int e) {
        err[0][x + 1] += 7 * e;
        err[1][x - 1] += 3 * e;
        err[1][x] += 5 * e;
        err[1][x + 1] += e;
    });
}

CDotMatrix ditherAtkinson(const CGreyImage& image, int depth) {
    //          *   1   1
    //      1   1   1
    //          1         (eighths; two eighths are dropped, which keeps highlights clean)
    return diffuse<3>(image, depth, 8, 128, [](int** err, int x, int e) {
        err[0][x + 1] += e;
        err[0][x + 2] += e;
        err[1][x - 1] += e;
        err[1][x] += e;
        err[1][x + 1] += e;
        err[2][x] += e;
    });
}

CDotMatrix ditherBayer(const CGreyImage& image, int depth) {
    static constexpr uint8_t kBayer[4][4] = {
        {0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    CDotMatrix dots(image.width, image.height, depth);
    if (depth > 1) {
        // Between the two levels around a grey g (scaled to s = g × max / 255), the upper one
        // where the fraction of s reaches the cell's threshold (2b + 1) / 32:
        // level = floor(s + 1 − threshold), in integers.
        const int top = maxLevelOf(depth);
        for (int y = 0; y < image.height; ++y) {
            const uint8_t* in = image.row(y);
            uint8_t* out = dots.row(y);
            for (int x = 0; x < image.width; ++x) {
                const int t = 255 * (2 * kBayer[y & 3][x & 3] + 1);
                out[x] = uint8_t(std::min(top, (in[x] * top * 32 + 32 * 255 - t) / (32 * 255)));
            }
        }
        return dots;
    }
    for (int y = 0; y < image.height; ++y) {
        const uint8_t* in = image.row(y);
        uint8_t* out = dots.row(y);
        // Levels 8, 24 … 248: a grey g lights about (g + 8) / 256 of the dots.
        int level[4];
        for (int i = 0; i < 4; ++i)
            level[i] = kBayer[y & 3][i] * 16 + 8;
        for (int x = 0; x < image.width; ++x)
            out[x] = in[x] >= level[x & 3] ? 1 : 0;
    }
    return dots;
}

CDotMatrix convertPicture(const CRgbImage& image, const CPictureOptions& options) {
    if (options.plain())
        return thresholdPicture(image, options.threshold);
    CGreyImage grey = greyOf(image);
    int w = grey.width, h = grey.height;
    scaledSize(w, h, options.scale, options.targetWidth, options.targetHeight, w, h);
    if (w != grey.width || h != grey.height)
        grey = resampleGrey(grey, w, h);
    if (options.invert)
        for (uint8_t& v : grey.value)
            v = uint8_t(255 - v);
    const int depth = validDepth(options.depth) ? options.depth : 1;
    switch (options.method) {
    case EPictureMethod::kFloydSteinberg:
        return ditherFloydSteinberg(grey, depth);
    case EPictureMethod::kAtkinson:
        return ditherAtkinson(grey, depth);
    case EPictureMethod::kBayer:
        return ditherBayer(grey, depth);
    case EPictureMethod::kThreshold:
        break;
    }
    return depth > 1 ? quantiseGrey(grey, depth) : thresholdGrey(grey, options.threshold);
}

} // namespace tgw
