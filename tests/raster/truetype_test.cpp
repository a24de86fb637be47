#include "raster/font_config.h"
#include "raster/rasteriser.h"

#include "font_settings_support.h"

#include <gtest/gtest.h>

#include <ft2build.h>
#include FT_FREETYPE_H

using namespace tgw;

namespace {

CFontSettings face(const char16_t* name, int w, int h, int size = 0) {
    return test::truetype(name, w, h, size);
}

CDotMatrix render(char16_t code, const CFontSettings& f) {
    CRasteriser r;
    CDotMatrix m;
    Status s = r.renderCharacter(code, ansiForm(code), f, m);
    EXPECT_TRUE(s) << s.error();
    return m;
}

int firstLitRow(const CDotMatrix& m) {
    for (int r = 0; r < m.height(); ++r)
        for (int c = 0; c < m.width(); ++c)
            if (m.lit(r, c))
                return r;
    return -1;
}

struct CBox {
    int left = -1, right = -1;
    int width() const { return left < 0 ? 0 : right - left + 1; }
};
CBox litColumns(const CDotMatrix& m) {
    CBox b;
    for (int c = 0; c < m.width(); ++c)
        for (int r = 0; r < m.height(); ++r)
            if (m.lit(r, c)) {
                if (b.left < 0)
                    b.left = c;
                b.right = c;
            }
    return b;
}

// The glyph as bare FreeType draws it, for an independent account of where it must land.
struct CBareGlyph {
    int ascent = 0, top = 0, rows = 0, width = 0;
    std::vector<std::vector<bool>> dots;
};
CBareGlyph bare(const char16_t* family, char16_t code, int em) {
    Result<CFaceFile> file = findFace(family, false, false);
    EXPECT_TRUE(file);
    FT_Library lib;
    FT_Init_FreeType(&lib);
    FT_Face face;
    EXPECT_EQ(FT_New_Face(lib, file->file.c_str(), file->index, &face), 0);
    FT_Set_Pixel_Sizes(face, 0, em);
    FT_Load_Char(face, code, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO);
    CBareGlyph g;
    g.ascent = int((face->size->metrics.ascender + 63) >> 6);
    g.top = face->glyph->bitmap_top;
    g.rows = int(face->glyph->bitmap.rows);
    g.width = int(face->glyph->bitmap.width);
    for (int r = 0; r < g.rows; ++r) {
        g.dots.emplace_back();
        for (int c = 0; c < g.width; ++c)
            g.dots.back().push_back(
                face->glyph->bitmap.buffer[r * face->glyph->bitmap.pitch + c / 8] &
                (0x80 >> (c % 8)));
    }
    FT_Done_Face(face);
    FT_Done_FreeType(lib);
    return g;
}

} // namespace

TEST(TrueType, GlyphIsPlacedByAscentAndCentred) {
    for (char16_t code : {u'g', u'A', u'中'}) {
        const char16_t* family = code == u'中' ? u"WenQuanYi Micro Hei" : u"DejaVu Sans";
        CBareGlyph g = bare(family, code, 16);
        CDotMatrix m =
            render(code, face(code == u'中' ? u"WenQuanYi Micro Hei" : u"DejaVu Sans", 16, 16));
        int row0 = std::max(0, g.ascent - g.top);
        int col0 = g.width < 16 ? (16 - g.width) / 2 : 0;
        for (int r = 0; r < 16; ++r)
            for (int c = 0; c < 16; ++c) {
                int gr = r - row0, gc = c - col0;
                bool expected = gr >= 0 && gr < g.rows && gc >= 0 && gc < g.width && g.dots[gr][gc];
                ASSERT_EQ(m.lit(r, c), expected) << char(code) << " at " << r << "," << c;
            }
    }
}

TEST(TrueType, FontSizeBelowTheCellStartsLower) {
    CBareGlyph g = bare(u"DejaVu Sans", u'H', 12);
    CDotMatrix m = render(u'H', face(u"DejaVu Sans", 16, 16, 12));
    EXPECT_EQ(firstLitRow(m), 2 + (g.ascent - g.top));
    CBareGlyph g16 = bare(u"DejaVu Sans", u'H', 16);
    EXPECT_EQ(firstLitRow(render(u'H', face(u"DejaVu Sans", 16, 16, 16))), g16.ascent - g16.top);
    EXPECT_EQ(firstLitRow(render(u'H', face(u"DejaVu Sans", 16, 16, 0))), g16.ascent - g16.top);
}

TEST(TrueType, OffsetMovesAndRowsLeavingTheTopAreLost) {
    CFontSettings f = face(u"DejaVu Sans", 16, 16);
    CDotMatrix base = render(u'H', f);
    int top = firstLitRow(base);
    f.offset = -(top + 3); // three rows of the glyph leave the top
    CDotMatrix up = render(u'H', f);
    EXPECT_EQ(firstLitRow(up), 0);
    for (int r = 0; r + top + 3 < 16; ++r)
        for (int c = 0; c < 16; ++c)
            EXPECT_EQ(up.lit(r, c), base.lit(r + top + 3, c));
    // Nothing wraps round to the bottom.
    for (int r = 16 - top - 3; r < 16; ++r)
        for (int c = 0; c < 16; ++c)
            EXPECT_FALSE(up.lit(r, c));
    f.offset = 2;
    EXPECT_EQ(firstLitRow(render(u'H', f)), top + 2);
}

TEST(TrueType, FixedPitchAsciiKeepsNaturalWidthUntilTheCellIsTooNarrow) {
    // DejaVu Sans Mono is fixed-pitch: a 9×18 cell renders at natural width, 8×18 squeezes.
    CBox natural = litColumns(render(u'M', face(u"DejaVu Sans Mono", 18, 18)));
    CBox nine = litColumns(render(u'M', face(u"DejaVu Sans Mono", 9, 18)));
    CBox eight = litColumns(render(u'M', face(u"DejaVu Sans Mono", 8, 18)));
    EXPECT_EQ(nine.width(), std::min(natural.width(), 9));
    EXPECT_LT(eight.width(), nine.width());
    // A proportional face squeezes a narrow cell and stretches a wide one.
    CBox square = litColumns(render(u'O', face(u"DejaVu Sans", 18, 18)));
    EXPECT_LT(litColumns(render(u'O', face(u"DejaVu Sans", 9, 18))).width(), square.width());
    EXPECT_GT(litColumns(render(u'O', face(u"DejaVu Sans", 36, 18))).width(), square.width());
}

TEST(TrueType, StylesAddDots) {
    CFontSettings f = face(u"DejaVu Sans", 16, 16, 12); // room below the baseline
    int plain = render(u'n', f).litCount();
    CFontSettings u = f;
    u.underline = true;
    EXPECT_GT(render(u'n', u).litCount(), plain);
    CFontSettings s = f;
    s.strikeout = true;
    EXPECT_GT(render(u'n', s).litCount(), plain);
    CFontSettings b = f;
    b.bold = true;
    EXPECT_GT(render(u'n', b).litCount(), plain);
    // WenQuanYi Micro Hei has no bold face: bold is synthesised.
    CFontSettings w = face(u"WenQuanYi Micro Hei", 16, 16);
    int wqy = render(u'中', w).litCount();
    w.bold = true;
    EXPECT_GT(render(u'中', w).litCount(), wqy);
}

TEST(TrueType, MissingFaceFallsBackAndWhiteSpaceIsBlank) {
    CDotMatrix m = render(u'A', face(u"No Such Face Anywhere", 16, 16));
    EXPECT_GT(m.litCount(), 0);
    EXPECT_EQ(render(u' ', face(u"DejaVu Sans", 16, 16)).litCount(), 0);
    CRasteriser r;
    CDotMatrix out;
    EXPECT_FALSE(r.renderCharacter(u'A', ansiForm(u'A'), face(u"", 16, 16), out));
    // A glyph larger than its matrix is clipped, never written outside it.
    CDotMatrix tiny = render(u'W', face(u"DejaVu Sans", 3, 2, 40));
    EXPECT_EQ(tiny.width(), 3);
    EXPECT_EQ(tiny.height(), 2);
}

// Wide glyphs (more than 64 dots a row) and cells narrower than the glyph: every dot of the
// glyph lands where its place in the cell says, or is cut and counted as lost; the uncut glyph
// holds it beside the cell.
TEST(TrueType, EveryDotLandsInPlaceWhateverTheCellCuts) {
    struct Case {
        const char16_t* family;
        char16_t code;
        int em;
        std::vector<int> widths;
    } cases[] = {
        {u"DejaVu Sans", u'W', 90, {140, 96, 90, 70, 65, 64, 63, 20, 1}},
        {u"WenQuanYi Micro Hei", u'中', 16, {17, 16, 15, 9, 8, 7, 1}},
        {u"WenQuanYi Micro Hei", u'龍', 150, {150, 129, 128, 127, 64}},
    };
    for (const Case& k : cases) {
        const CBareGlyph g = bare(k.family, k.code, k.em);
        ASSERT_GT(g.width, 0);
        int inkTop = g.rows, inkBottom = -1, inkLeft = g.width, inkRight = -1;
        for (int r = 0; r < g.rows; ++r)
            for (int c = 0; c < g.width; ++c)
                if (g.dots[r][c]) {
                    inkTop = std::min(inkTop, r);
                    inkBottom = std::max(inkBottom, r);
                    inkLeft = std::min(inkLeft, c);
                    inkRight = std::max(inkRight, c);
                }
        ASSERT_GE(inkBottom, 0);
        for (int w : k.widths) {
            SCOPED_TRACE(testing::Message() << k.em << " dots into " << w << "x" << k.em);
            const int row0 = std::max(0, g.ascent - g.top);
            const int col0 = g.width < w ? (w - g.width) / 2 : 0;
            CRasteriser r;
            CDotMatrix cell, uncut;
            CInkLoss lost;
            ASSERT_TRUE(r.renderUncut(k.code, ansiForm(k.code), face(k.family, w, k.em, k.em), cell,
                                      uncut, lost));
            const CInkLoss expected{0, std::max(0, row0 + inkBottom + 1 - k.em), 0,
                                    std::max(0, col0 + inkRight + 1 - w)};
            EXPECT_EQ(lost, expected);
            EXPECT_EQ(r.lastInkBox().left, col0 + inkLeft);
            EXPECT_EQ(r.lastInkBox().right, col0 + inkRight + 1);
            EXPECT_EQ(r.lastInkBox().top, row0 + inkTop);
            ASSERT_EQ(uncut.width(), w + lost.right);
            ASSERT_EQ(uncut.height(), k.em + lost.bottom);
            for (int row = 0; row < uncut.height(); ++row)
                for (int col = 0; col < uncut.width(); ++col) {
                    const int gr = row - row0, gc = col - col0;
                    const bool dot =
                        gr >= 0 && gr < g.rows && gc >= 0 && gc < g.width && g.dots[gr][gc];
                    ASSERT_EQ(uncut.lit(row, col), dot) << "uncut " << row << "," << col;
                    if (row < cell.height() && col < cell.width()) {
                        ASSERT_EQ(cell.lit(row, col), dot) << "cell " << row << "," << col;
                    }
                }
        }
    }
}

// A rasteriser keeps what it worked out for the fonts it drew with last; whatever came before,
// each character comes out as a fresh rasteriser draws it, in its own face and size.
TEST(TrueType, EachFontKeepsItsOwnFaceAndSizeInOneRasteriser) {
    std::vector<CFontSettings> fonts = {
        face(u"DejaVu Sans", 16, 16),         face(u"DejaVu Sans", 10, 16),
        face(u"DejaVu Sans", 24, 16),         face(u"DejaVu Sans", 16, 16, 12),
        face(u"DejaVu Sans Mono", 9, 18),     face(u"DejaVu Sans Mono", 8, 18),
        face(u"WenQuanYi Micro Hei", 16, 16), face(u"DejaVu Serif", 16, 16),
    };
    CFontSettings bold = fonts[0];
    bold.bold = true;
    CFontSettings italic = fonts[0];
    italic.italic = true;
    CFontSettings fit = fonts[0];
    fit.fitCell = true;
    CFontSettings file = fonts[0];
    if (Result<CFaceFile> f = findFace(u"DejaVu Sans Mono", false, false))
        file.fontFile = f->file;
    CFontSettings fileFallback = file;
    fileFallback.fileFallback = true;
    fonts.insert(fonts.end(), {bold, italic, fit, file, fileFallback});
    CRasteriser shared;
    for (int round = 0; round < 2; ++round)
        for (size_t i = 0; i < fonts.size(); ++i)
            for (char16_t code : {u'M', u'g', u'中', u' '}) {
                // Round two walks the fonts in another order.
                const CFontSettings& f = fonts[round ? (i * 5) % fonts.size() : i];
                CDotMatrix mine;
                ASSERT_TRUE(shared.renderCharacter(code, ansiForm(code), f, mine));
                EXPECT_EQ(mine, render(code, f))
                    << "font " << i << " round " << round << " U+" << std::hex << unsigned(code);
            }
}

TEST(FontList, OnlyScalableFamiliesWithoutDuplicates) {
    auto families = listFontFamilies();
    bool dejavu = false, mono = false;
    for (size_t i = 0; i < families.size(); ++i) {
        if (i) {
            EXPECT_LT(families[i - 1].name, families[i].name);
        }
        EXPECT_NE(families[i].name[0], u'@');
        dejavu |= families[i].name == u"DejaVu Sans" && !families[i].fixedPitch;
        mono |= families[i].name == u"DejaVu Sans Mono" && families[i].fixedPitch;
    }
    EXPECT_TRUE(dejavu);
    EXPECT_TRUE(mono);
    EXPECT_FALSE(systemGuiFont().face.empty());
}

TEST(TrueType, CharactersTheFaceLacksComeFromAFaceThatHasThem) {
    // DejaVu Sans has no hanzi; the only installed face that does is WenQuanYi Micro Hei.
    CDotMatrix borrowed = render(u'中', face(u"DejaVu Sans", 16, 16));
    CDotMatrix own = render(u'中', face(u"WenQuanYi Micro Hei", 16, 16));
    EXPECT_EQ(borrowed, own);
    // Back to the face's own glyphs afterwards.
    CRasteriser r;
    CDotMatrix a1, a2, a3;
    ASSERT_TRUE(r.renderCharacter(u'A', ansiForm(u'A'), face(u"DejaVu Sans", 16, 16), a1));
    ASSERT_TRUE(r.renderCharacter(u'中', ansiForm(u'中'), face(u"DejaVu Sans", 16, 16), a2));
    ASSERT_TRUE(r.renderCharacter(u'A', ansiForm(u'A'), face(u"DejaVu Sans", 16, 16), a3));
    EXPECT_EQ(a1, a3);
}

TEST(FaceKerning, PairsOfTheFaceBetweenTheCharactersAsked) {
    CRasteriser r;
    CFontSettings f = tgw::test::truetype(u"DejaVu Sans", 16, 16, 16);
    std::vector<CKerningPair> pairs;
    const std::u16string codes = u"AVTo\u4E00";
    ASSERT_TRUE(r.kerningPairs(codes, f, pairs));
    ASSERT_FALSE(pairs.empty());
    for (size_t i = 1; i < pairs.size(); ++i)
        EXPECT_TRUE(pairs[i - 1].left < pairs[i].left ||
                    (pairs[i - 1].left == pairs[i].left && pairs[i - 1].right < pairs[i].right));
    auto find = [&](char16_t l, char16_t rr) {
        for (const CKerningPair& p : pairs)
            if (p.left == l && p.right == rr)
                return p.adjust;
        return 0;
    };
    // About a dot closer at 16 px, in 1/64 dot; T before o more.
    EXPECT_LT(find(u'A', u'V'), -32);
    EXPECT_GT(find(u'A', u'V'), -128);
    EXPECT_LT(find(u'T', u'o'), find(u'A', u'V'));
    // A character the face lacks (drawn from another face) takes part in none.
    for (const CKerningPair& p : pairs) {
        EXPECT_NE(p.left, u'\u4E00');
        EXPECT_NE(p.right, u'\u4E00');
    }
    // Built-in fonts have none.
    ASSERT_TRUE(r.kerningPairs(codes, tgw::test::builtin(kFontAscii8x16, 8, 16), pairs));
    EXPECT_TRUE(pairs.empty());
}
