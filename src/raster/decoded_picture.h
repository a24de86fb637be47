#pragma once

#include "model/dot_matrix.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace tgw {

// Files of pictures are read whole into memory; anything larger is refused before reading.
constexpr size_t kMaxPictureFileBytes = size_t(64) << 20;

// A decoded picture: width × height pixels, rows top to bottom, R, G, B bytes a pixel.
// Transparent parts have already been drawn over black, as they would be on a fresh bitmap.
struct CRgbImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;

    CRgbImage() = default;
    CRgbImage(int w, int h) : width(w), height(h), rgb(size_t(w) * size_t(h) * 3, 0) {}

    uint8_t* pixel(int x, int y) { return rgb.data() + (size_t(y) * size_t(width) + x) * 3; }
    const uint8_t* pixel(int x, int y) const {
        return rgb.data() + (size_t(y) * size_t(width) + x) * 3;
    }
    void set(int x, int y, uint8_t r, uint8_t g, uint8_t b) {
        uint8_t* p = pixel(x, y);
        p[0] = r;
        p[1] = g;
        p[2] = b;
    }
};

// A colour of a given opacity drawn over black.
inline uint8_t overBlack(uint8_t colour, uint8_t alpha) {
    return uint8_t((unsigned(colour) * alpha + 127) / 255);
}

// The picture rasteriser's brightness of a pixel, 0..255.
inline int brightness(uint8_t r, uint8_t g, uint8_t b) {
    return (r * 299 + g * 587 + b * 114) / 1000;
}

// What became of a picture file. A picture that is not loaded is shown as a text instead of
// failing the render, so callers that want to tell the user look here.
enum class EPictureOutcome {
    kLoaded,
    kInvalid, // unreadable, truncated, of an unknown format, or empty path
    kTooBig,  // wider or higher than the matrix limit
};

struct CDecodedPicture {
    EPictureOutcome outcome = EPictureOutcome::kInvalid;
    CRgbImage image;    // only when loaded
    std::string reason; // why not, in words a log or a tip can show

    static CDecodedPicture loaded(CRgbImage image) {
        return {EPictureOutcome::kLoaded, std::move(image), {}};
    }
    static CDecodedPicture invalid(std::string why) {
        return {EPictureOutcome::kInvalid, {}, std::move(why)};
    }
    static CDecodedPicture tooBig(long width, long height) {
        return {EPictureOutcome::kTooBig,
                {},
                "the picture is " + std::to_string(width) + "x" + std::to_string(height) +
                    " pixels, more than " + std::to_string(kMaxMatrixSide) + " on a side"};
    }

    bool ok() const { return outcome == EPictureOutcome::kLoaded; }
};

} // namespace tgw
