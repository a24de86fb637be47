#pragma once

#include "../model/test_rasteriser.h"
#include "model/glyph_list.h"
#include "project/project_file.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

namespace tgw::test {

// The moment every test document is saved at.
inline const CLocalTime kStamp{2024, 5, 1, 13, 45, 12};

inline std::string readBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void writeBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// A private folder under the system's temporary folder; the caller removes it.
inline std::filesystem::path makeTempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tgw-project-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        ADD_FAILURE() << "cannot make a temporary folder";
    return pattern;
}

// A matrix whose dots follow `seed`, so that no two test matrices look alike and a lost row or
// column shows. The structure check of the golden file draws the same dots.
inline CDotMatrix patterned(int width, int height, int seed) {
    CDotMatrix m(width, height);
    for (int r = 0; r < height; ++r)
        for (int c = 0; c < width; ++c)
            m.set(r, c, (r * 7 + c * 3 + seed) % 5 < 2);
    return m;
}

inline CFontSettings trueTypeFont(std::u16string face, int w, int h) {
    CFontSettings f;
    f.kind = kFontTrueType;
    f.face = std::move(face);
    f.width = w;
    f.height = h;
    return f;
}

inline CFontSettings builtinFont(int kind, int w, int h) {
    CFontSettings f;
    f.kind = kind;
    f.width = w;
    f.height = h;
    return f;
}

// Every kind of entry with every attribute the file holds; the dots set by hand, as an edit
// leaves them. The built-in fonts get the cells the loader gives them, so that a loaded copy
// equals the original.
inline void fillSampleDocument(CGlyphList& list) {
    IRasteriser& r = list.rasteriser();
    CFontSettings styled = trueTypeFont(u"DejaVu Sans", 4, 3);
    styled.size = 14;
    styled.bold = true;
    styled.strikeout = true;
    styled.offset = -2;
    auto a = std::make_unique<CCharEntry>(r, u'A', styled);
    a->setMatrix(patterned(4, 3, 0));
    list.append(std::move(a));

    auto zhong = std::make_unique<CCharEntry>(r, u'中', builtinFont(kFontAscii5x7, 5, 7));
    zhong->setMatrix(patterned(5, 7, 1));
    list.append(std::move(zhong));

    auto picture = std::make_unique<CPictureEntry>(r, u"/pics/ünï & \"q\" <a>.bmp", 200);
    picture->setMatrix(patterned(4, 4, 2));
    list.append(std::move(picture));

    CFontSettings slanted = trueTypeFont(u"WenQuanYi Micro Hei", 3, 2);
    slanted.italic = true;
    slanted.underline = true;
    slanted.offset = 5;
    auto text = std::make_unique<CStringEntry>(r, u"Hi\r\n\t<&>\"'中", true, slanted);
    text->setMatrix(patterned(6, 2, 3));
    list.append(std::move(text));

    auto plain =
        std::make_unique<CStringEntry>(r, u"ok", false, builtinFont(kFontAscii8x16, 8, 16));
    plain->setMatrix(patterned(3, 2, 4));
    list.append(std::move(plain));
}

} // namespace tgw::test
