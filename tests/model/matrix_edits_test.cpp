#include "model/glyph_list.h"
#include "model/matrix_edits.h"
#include "test_rasteriser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace tgw;

namespace {

// Rows of '#' and '.' to a matrix and back.
CDotMatrix dots(const std::vector<std::string>& rows) {
    CDotMatrix m(int(rows[0].size()), int(rows.size()));
    for (int r = 0; r < m.height(); ++r)
        for (int c = 0; c < m.width(); ++c)
            m.set(r, c, rows[r][c] == '#');
    return m;
}

std::vector<std::string> rows(const CDotMatrix& m) {
    std::vector<std::string> out;
    for (int r = 0; r < m.height(); ++r) {
        out.emplace_back();
        for (int c = 0; c < m.width(); ++c)
            out.back().push_back(m.lit(r, c) ? '#' : '.');
    }
    return out;
}

using Rows = std::vector<std::string>;

std::vector<std::string> edited(const Rows& in, EMatrixEdit e) {
    auto out = applyEdit(dots(in), e);
    return out ? rows(*out) : Rows{"<unchanged>"};
}

// An asymmetric 3-wide, 2-high shape that tells every orientation apart.
const Rows kShape = {"##.", "..#"};

} // namespace

TEST(MatrixEdits, InvertShiftAndMirror) {
    EXPECT_EQ(edited(kShape, EMatrixEdit::Invert), (Rows{"..#", "##."}));
    EXPECT_EQ(edited(kShape, EMatrixEdit::ShiftUp), (Rows{"..#", "..."}));
    EXPECT_EQ(edited(kShape, EMatrixEdit::ShiftDown), (Rows{"...", "##."}));
    EXPECT_EQ(edited(kShape, EMatrixEdit::ShiftLeft), (Rows{"#..", ".#."}));
    EXPECT_EQ(edited(kShape, EMatrixEdit::ShiftRight), (Rows{".##", "..."}));
    EXPECT_EQ(edited(kShape, EMatrixEdit::MirrorHorizontal), (Rows{".##", "#.."}));
    EXPECT_EQ(edited(kShape, EMatrixEdit::MirrorVertical), (Rows{"..#", "##."}));
    // Dots pushed over the edge are gone: shifting back does not restore them.
    auto left = applyEdit(dots(kShape), EMatrixEdit::ShiftLeft);
    EXPECT_EQ(rows(*applyEdit(*left, EMatrixEdit::ShiftRight)), (Rows{".#.", "..#"}));
}

TEST(MatrixEdits, Rotations) {
    EXPECT_EQ(edited(kShape, EMatrixEdit::Rotate90), (Rows{".#", ".#", "#."}));
    EXPECT_EQ(edited(kShape, EMatrixEdit::Rotate180), (Rows{"#..", ".##"}));
    EXPECT_EQ(edited(kShape, EMatrixEdit::Rotate270), (Rows{".#", "#.", "#."}));
    // An odd height mirrors its middle row in place.
    EXPECT_EQ(edited({"#..", "##.", "..."}, EMatrixEdit::Rotate180), (Rows{"...", ".##", "..#"}));
    // Four quarter turns are the identity.
    CDotMatrix m = dots({"#..#.", ".##..", "....#"});
    CDotMatrix turned = m;
    for (int i = 0; i < 4; ++i)
        turned = *applyEdit(turned, EMatrixEdit::Rotate90);
    EXPECT_EQ(turned, m);
}

TEST(MatrixEdits, TrimsRemoveOnlyEmptyEdgeLines) {
    Rows framed = {".....", "..#..", ".#...", "....."};
    EXPECT_EQ(edited(framed, EMatrixEdit::TrimLeft), (Rows{"....", ".#..", "#...", "...."}));
    EXPECT_EQ(edited(framed, EMatrixEdit::TrimRight), (Rows{"...", "..#", ".#.", "..."}));
    EXPECT_EQ(edited(framed, EMatrixEdit::TrimTop), (Rows{"..#..", ".#...", "....."}));
    EXPECT_EQ(edited(framed, EMatrixEdit::TrimBottom), (Rows{".....", "..#..", ".#..."}));
    // Nothing to trim, or nothing but empty lines: unchanged.
    EXPECT_EQ(edited({"#.#"}, EMatrixEdit::TrimLeft), Rows{"<unchanged>"});
    EXPECT_EQ(edited({"...", "..."}, EMatrixEdit::TrimTop), Rows{"<unchanged>"});
    EXPECT_EQ(edited({"...", "..."}, EMatrixEdit::TrimRight), Rows{"<unchanged>"});
}

TEST(MatrixEdits, ListEditsSelectedEntriesAndReportsTheFirstResize) {
    test::CBlankRasteriser raster;
    CGlyphList list(raster);
    CFontSettings f;
    f.kind = kFontAscii8x16;
    f.width = 3;
    f.height = 2;
    CAddOptions add;
    list.addCharacters(u"ABC", f, add);
    for (size_t i = 0; i < 3; ++i)
        list.at(i).setMatrix(dots(kShape));

    EXPECT_FALSE(list.editSelected(EMatrixEdit::Invert)); // nothing selected

    list.select(1, ESelect::Replace);
    list.select(2, ESelect::Add);
    auto first = list.editSelected(EMatrixEdit::Rotate90);
    ASSERT_TRUE(first);
    EXPECT_EQ(*first, 1u);
    EXPECT_EQ(list.at(0).width(), 3);
    EXPECT_EQ(list.at(1).width(), 2);
    EXPECT_EQ(list.at(1).height(), 3);

    // A trim that changes nothing resizes nothing.
    EXPECT_FALSE(list.editSelected(EMatrixEdit::TrimTop));
    // A square rotation changes the dots but not the size.
    list.at(1).setMatrix(dots({"#.", ".."}));
    list.select(1, ESelect::Replace);
    EXPECT_FALSE(list.editSelected(EMatrixEdit::Rotate90));
    EXPECT_EQ(rows(list.at(1).matrix()), (Rows{".#", ".."}));
}
