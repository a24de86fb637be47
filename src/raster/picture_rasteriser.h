#pragma once

#include "base/result.h"
#include "model/dot_matrix.h"
#include "model/picture_options.h"
#include "raster/decoded_picture.h"
#include "raster/picture_filters.h"

#include <cstdint>
#include <string>

namespace tgw {

class CFreeTypeRenderer;

// The text shown instead of a picture that is not loaded: "Image Invalid" or "Image Too Big".
const char16_t* placeholderText(EPictureOutcome outcome);

// The picture that stands for an unloaded one: its text in the system's user-interface font,
// white on black, exactly as large as the single line of text.
Result<CRgbImage> placeholderPicture(CFreeTypeRenderer& freeType, EPictureOutcome outcome);

// What became of the last picture rendered, for a caller that wants to tell the user.
struct CPictureReport {
    EPictureOutcome outcome = EPictureOutcome::kLoaded;
    std::string reason; // empty when loaded
};

// A picture entry's matrix from the file at `path`. A file that cannot be read or is too big
// gives the matrix of its placeholder and still succeeds; `report` (when given) says which.
// Fails only for an empty path, or when not even the placeholder can be drawn.
Status rasterisePicture(CFreeTypeRenderer& freeType, const std::u16string& path, uint8_t threshold,
                        CDotMatrix& out, CPictureReport* report = nullptr);
// The same under `options` (method, inversion, scaling). A placeholder is never dithered or
// scaled: it takes only the threshold, so that its text stays readable.
Status rasterisePicture(CFreeTypeRenderer& freeType, const std::u16string& path,
                        const CPictureOptions& options, CDotMatrix& out,
                        CPictureReport* report = nullptr);

} // namespace tgw
