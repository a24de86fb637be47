#pragma once

#include "model/dot_matrix.h"
#include "model/picture_options.h"
#include "raster/decoded_picture.h"

#include <cstdint>
#include <vector>

namespace tgw {

// One brightness byte a pixel, rows top to bottom.
struct CGreyImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> value;

    CGreyImage() = default;
    CGreyImage(int w, int h) : width(w), height(h), value(size_t(w) * size_t(h), 0) {}
    uint8_t at(int x, int y) const { return value[size_t(y) * size_t(width) + size_t(x)]; }
    uint8_t* row(int y) { return value.data() + size_t(y) * size_t(width); }
    const uint8_t* row(int y) const { return value.data() + size_t(y) * size_t(width); }
};

// The picture's brightness, as the threshold sees it.
CGreyImage greyOf(const CRgbImage& image);

// The size a width × height picture takes under `scale` with a target of W × H (each side
// 1..2048 kept). kFit rounds the scaled sides to the nearest dot, at least one.
void scaledSize(int width, int height, EPictureScale scale, int targetWidth, int targetHeight,
                int& outWidth, int& outHeight);

// The picture resampled to width × height: each axis averaged over the area a new pixel
// covers when it shrinks, interpolated linearly between pixel centres when it grows.
CGreyImage resampleGrey(const CGreyImage& image, int width, int height);

// Dots of a grey picture: lit where light.
CDotMatrix thresholdGrey(const CGreyImage& image, uint8_t threshold);
// Grey levels of `depth` bits: each brightness v becomes the level (v × max + 127) / 255.
CDotMatrix quantiseGrey(const CGreyImage& image, int depth);
// Error diffusion left to right on every row with the weights 7/16, 3/16, 5/16, 1/16; at depth 1
// a pixel (with its carried error, clipped to 0..255) above 128 is lit, at a greater depth it
// takes the nearest level and the error is what that level misses.
CDotMatrix ditherFloydSteinberg(const CGreyImage& image, int depth = 1);
// Atkinson's diffusion: an eighth of the error to each of six neighbours, the rest dropped.
CDotMatrix ditherAtkinson(const CGreyImage& image, int depth = 1);
// Ordered dithering with the 4 × 4 Bayer matrix (between two neighbouring levels at a greater
// depth).
CDotMatrix ditherBayer(const CGreyImage& image, int depth = 1);

// A picture's dots: lit where the pixel's brightness is at least `threshold`, so that light
// pixels are the dots. The image must be 1..2048 pixels on each side.
CDotMatrix thresholdPicture(const CRgbImage& image, uint8_t threshold);

// A decoded picture's dots under `options`. Plain options give exactly thresholdPicture().
CDotMatrix convertPicture(const CRgbImage& image, const CPictureOptions& options);

} // namespace tgw
