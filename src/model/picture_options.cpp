#include "model/picture_options.h"

namespace tgw {
namespace {

constexpr const char* kMethodNames[] = {"threshold", "fs", "atkinson", "bayer"};
constexpr const char* kScaleNames[] = {"keep", "fit", "fill"};

} // namespace

const char* pictureMethodName(EPictureMethod method) {
    return kMethodNames[int(method)];
}

std::optional<EPictureMethod> pictureMethodFromName(std::string_view name) {
    for (int i = 0; i < 4; ++i)
        if (name == kMethodNames[i])
            return EPictureMethod(i);
    return std::nullopt;
}

const char* pictureScaleName(EPictureScale scale) {
    return kScaleNames[int(scale)];
}

std::optional<EPictureScale> pictureScaleFromName(std::string_view name) {
    for (int i = 0; i < 3; ++i)
        if (name == kScaleNames[i])
            return EPictureScale(i);
    return std::nullopt;
}

} // namespace tgw
