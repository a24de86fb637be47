#pragma once

#include <fontconfig/fontconfig.h>

#include <memory>

namespace tgw {

// Owners of fontconfig's objects.
struct CPatternDeleter {
    void operator()(FcPattern* p) const { FcPatternDestroy(p); }
};
struct CFontSetDeleter {
    void operator()(FcFontSet* s) const { FcFontSetDestroy(s); }
};
struct CObjectSetDeleter {
    void operator()(FcObjectSet* s) const { FcObjectSetDestroy(s); }
};
using CPattern = std::unique_ptr<FcPattern, CPatternDeleter>;
using CFontSet = std::unique_ptr<FcFontSet, CFontSetDeleter>;
using CObjectSet = std::unique_ptr<FcObjectSet, CObjectSetDeleter>;

} // namespace tgw
