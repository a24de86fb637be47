#include "raster/picture_rasteriser.h"

#include "raster/font_config.h"
#include "raster/picture_filters.h"
#include "raster/picture_loader.h"
#include "raster/string_rasteriser.h"

namespace tgw {
namespace {

// The system's user-interface font is drawn at about this em height on a normal screen.
constexpr int kGuiFontPixels = 12;

} // namespace

const char16_t* placeholderText(EPictureOutcome outcome) {
    return outcome == EPictureOutcome::kTooBig ? u"Image Too Big" : u"Image Invalid";
}

Result<CRgbImage> placeholderPicture(CFreeTypeRenderer& freeType, EPictureOutcome outcome) {
    Result<CGrayCanvas> text =
        renderTextLine(freeType, placeholderText(outcome), systemGuiFont().face, kGuiFontPixels);
    if (!text)
        return failure("the picture cannot be shown, not even as a text: " + text.error());
    // Pure white on black: the text reads the same under every threshold the user may set,
    // where its anti-aliased edges would break up under a high one.
    CRgbImage image(text->width, text->height);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            const uint8_t v = text->at(x, y) >= 128 ? 255 : 0;
            image.set(x, y, v, v, v);
        }
    return image;
}

Status rasterisePicture(CFreeTypeRenderer& freeType, const std::u16string& path, uint8_t threshold,
                        CDotMatrix& out, CPictureReport* report) {
    CPictureOptions options;
    options.threshold = threshold;
    return rasterisePicture(freeType, path, options, out, report);
}

Status rasterisePicture(CFreeTypeRenderer& freeType, const std::u16string& path,
                        const CPictureOptions& options, CDotMatrix& out, CPictureReport* report) {
    const uint8_t threshold = options.threshold;
    if (path.empty()) {
        if (report)
            *report = {EPictureOutcome::kInvalid, "no picture file is named"};
        return failure("a picture entry needs a file");
    }
    CDecodedPicture picture = loadPicture(path);
    if (report)
        *report = {picture.outcome, picture.reason};
    if (picture.ok()) {
        out = convertPicture(picture.image, options);
        return {};
    }
    Result<CRgbImage> placeholder = placeholderPicture(freeType, picture.outcome);
    if (!placeholder)
        return failure(placeholder.error());
    out = thresholdPicture(*placeholder, threshold);
    if (validDepth(options.depth) && options.depth > 1)
        out = out.atDepth(options.depth);
    return {};
}

} // namespace tgw
