#pragma once

#include "base/codepage.h"
#include "model/glyph_list.h"
#include "model/null_rasteriser.h"

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

namespace tgw::test {

// Entries in these tests get their dots through setMatrix(); one left without dots has to
// render and fails, as an entry whose font or picture is gone does.
class CNoRasteriser : public CNullRasteriser {
public:
    CNoRasteriser() : CNullRasteriser("the glyph is gone") {}
};

inline CFontSettings gb16() {
    CFontSettings f;
    f.kind = kFontGb2312_16;
    f.width = f.height = 16;
    return f;
}

// Reproducible noise, about half the dots lit.
inline CDotMatrix noise(int width, int height, uint32_t seed) {
    CDotMatrix m(width, height);
    for (int r = 0; r < height; ++r)
        for (int c = 0; c < width; ++c)
            m.set(r, c, (seed = seed * 1664525u + 1013904223u) >> 31);
    return m;
}

// Appends an entry of type E made from `args`, with `dots` unless they are empty.
template <class E, class... Args>
CGlyphEntry& add(CGlyphList& list, CDotMatrix dots, Args&&... args) {
    CGlyphEntry& e =
        list.append(std::make_unique<E>(list.rasteriser(), std::forward<Args>(args)...));
    if (!dots.empty())
        e.setMatrix(std::move(dots));
    return e;
}

inline CGlyphEntry& addChar(CGlyphList& list, char16_t code, CDotMatrix dots,
                            const CFontSettings& font = gb16()) {
    return add<CCharEntry>(list, std::move(dots), code, font);
}

inline std::string gbk(std::u16string_view text) {
    return toCp936(text);
}

inline std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// A new private folder under the system's temporary folder.
inline std::filesystem::path makeTempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tgw-test-XXXXXX").string();
    return mkdtemp(pattern.data()) ? std::filesystem::path(pattern) : std::filesystem::path();
}

} // namespace tgw::test
