#include "raster/freetype_renderer.h"

#include <gtest/gtest.h>

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

using namespace tgw;

namespace {

// A BDF of one 8 × 8 glyph for 'A' whose rows are all `row`.
void writeBdf(const std::string& path, const char* family, const char* row) {
    std::FILE* f = std::fopen(path.c_str(), "w");
    ASSERT_TRUE(f);
    std::fprintf(f,
                 "STARTFONT 2.1\nFONT -test-%s-medium-r-normal--8-80-75-75-c-80-iso10646-1\n"
                 "SIZE 8 75 75\nFONTBOUNDINGBOX 8 8 0 0\nSTARTPROPERTIES 3\nFAMILY_NAME \"%s\"\n"
                 "FONT_ASCENT 8\nFONT_DESCENT 0\nENDPROPERTIES\nCHARS 1\nSTARTCHAR A\n"
                 "ENCODING 65\nSWIDTH 1000 0\nDWIDTH 8 0\nBBX 8 8 0 0\nBITMAP\n",
                 family, family);
    for (int r = 0; r < 8; ++r)
        std::fprintf(f, "%s\n", row);
    std::fputs("ENDCHAR\nENDFONT\n", f);
    std::fclose(f);
}

class SharedFaces : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "tgw-shared-faces-XXXXXX").string();
        ASSERT_TRUE(mkdtemp(pattern.data()));
        m_folder = pattern;
    }
    void TearDown() override { std::filesystem::remove_all(m_folder); }
    std::string m_folder;
};

} // namespace

// A bitmap font is parsed whole on every open: a renderer made after another has gone gets
// the face that one opened, and two alive at once never share one.
TEST_F(SharedFaces, AFaceGivenBackIsTakenAgainNotReopened) {
    const std::string path = m_folder + "/one.bdf";
    writeBdf(path, "One", "F0");
    FT_Face first = nullptr;
    {
        CFreeTypeRenderer r;
        Result<FT_Face> face = r.fileFace(path, 0);
        ASSERT_TRUE(face) << face.error();
        first = *face;
        // A mark only the very face object carries (a face opened anew at the same address
        // would not).
        first->generic.data = &first;
    }
    CFreeTypeRenderer a;
    Result<FT_Face> again = a.fileFace(path, 0);
    ASSERT_TRUE(again) << again.error();
    EXPECT_EQ(*again, first);
    EXPECT_EQ((*again)->generic.data, &first);
    CFreeTypeRenderer b;
    Result<FT_Face> other = b.fileFace(path, 0);
    ASSERT_TRUE(other) << other.error();
    EXPECT_NE(*other, first);
    EXPECT_STREQ((*other)->family_name, "One");
}

// A file written anew under the same name is read anew.
TEST_F(SharedFaces, AChangedFileIsReadAgain) {
    const std::string path = m_folder + "/font.bdf";
    writeBdf(path, "Before", "F0");
    {
        CFreeTypeRenderer r;
        Result<FT_Face> face = r.fileFace(path, 0);
        ASSERT_TRUE(face) << face.error();
        EXPECT_STREQ((*face)->family_name, "Before");
    }
    const std::string fresh = m_folder + "/fresh.bdf";
    writeBdf(fresh, "After", "0F");
    std::filesystem::rename(fresh, path); // a new inode, as an editor's save makes
    CFreeTypeRenderer r;
    Result<FT_Face> face = r.fileFace(path, 0);
    ASSERT_TRUE(face) << face.error();
    EXPECT_STREQ((*face)->family_name, "After");
}
