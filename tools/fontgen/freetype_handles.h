#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H

#include <memory>
#include <stdexcept>
#include <string>

namespace tgw::fontgen {

struct CFtLibraryDeleter {
    void operator()(FT_Library library) const { FT_Done_FreeType(library); }
};
struct CFtFaceDeleter {
    void operator()(FT_Face face) const { FT_Done_Face(face); }
};

using FtLibraryPtr = std::unique_ptr<std::remove_pointer_t<FT_Library>, CFtLibraryDeleter>;
using FtFacePtr = std::unique_ptr<std::remove_pointer_t<FT_Face>, CFtFaceDeleter>;

inline FtLibraryPtr openFreeType() {
    FT_Library library = nullptr;
    if (FT_Error error = FT_Init_FreeType(&library))
        throw std::runtime_error("FreeType init failed, error " + std::to_string(error));
    return FtLibraryPtr(library);
}

// A face must not outlive its library: keep the library pointer alive longer than the face.
inline FtFacePtr openFace(FT_Library library, const std::string& path) {
    FT_Face face = nullptr;
    if (FT_Error error = FT_New_Face(library, path.c_str(), 0, &face))
        throw std::runtime_error("cannot open font " + path + ", FreeType error " +
                                 std::to_string(error));
    return FtFacePtr(face);
}

} // namespace tgw::fontgen
