#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace tgw {

// How a picture's grey levels become dots.
enum class EPictureMethod {
    kThreshold,      // lit where the brightness is at least the threshold
    kFloydSteinberg, // error diffusion to four neighbours
    kAtkinson,       // error diffusion of three quarters of the error to six neighbours
    kBayer,          // ordered, a 4 × 4 threshold matrix
};

// How a picture's size becomes the matrix size.
enum class EPictureScale {
    kKeep, // one dot a pixel
    kFit,  // as large as fits inside the target keeping the aspect ratio
    kFill, // stretched to exactly the target
};

// What a picture entry does with its picture. The defaults are the plain threshold at one dot
// a pixel, which older project files and profiles mean.
struct CPictureOptions {
    uint8_t threshold = 184;
    EPictureMethod method = EPictureMethod::kThreshold;
    bool invert = false; // dark pixels become the dots
    EPictureScale scale = EPictureScale::kKeep;
    int targetWidth = 0; // the W × H of kFit and kFill, 1..2048
    int targetHeight = 0;
    // Bits a dot: at 2, 4 and 8 the brightness becomes grey levels (quantised, or dithered to
    // the levels by `method`; the threshold is then unused).
    int depth = 1;

    // Only the threshold is set: the picture goes exactly the way it always went.
    bool plain() const {
        return method == EPictureMethod::kThreshold && !invert && scale == EPictureScale::kKeep &&
               depth == 1;
    }
    bool operator==(const CPictureOptions&) const = default;
};

// Short names as project files, profiles and tgw write them: "threshold", "fs", "atkinson",
// "bayer"; "keep", "fit", "fill".
const char* pictureMethodName(EPictureMethod method);
std::optional<EPictureMethod> pictureMethodFromName(std::string_view name);
const char* pictureScaleName(EPictureScale scale);
std::optional<EPictureScale> pictureScaleFromName(std::string_view name);

} // namespace tgw
