#include "../model/test_rasteriser.h"
#include "project/glyph_document.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace tgw;

namespace {

CFontSettings font(int w, int h) {
    CFontSettings f;
    f.kind = kFontTrueType;
    f.face = u"DejaVu Sans";
    f.width = w;
    f.height = h;
    return f;
}

// Everything undo must bring back of an entry.
struct CShot {
    int kind;
    std::u16string source;
    int width, height, fontWidth, threshold;
    CDotMatrix dots;
    bool selected;
    bool operator==(const CShot&) const = default;
};

std::vector<CShot> shot(const CGlyphList& list) {
    std::vector<CShot> out;
    for (size_t i = 0; i < list.size(); ++i) {
        const CGlyphEntry& e = list.at(i);
        CShot s{e.kind(), {}, e.width(), e.height(), 0, 0, e.matrix(), e.selected()};
        if (e.isCharacter())
            s.source = {static_cast<const CCharEntry&>(e).code()};
        if (e.isString())
            s.source = static_cast<const CStringEntry&>(e).text();
        if (e.isPicture()) {
            s.source = static_cast<const CPictureEntry&>(e).path();
            s.threshold = static_cast<const CPictureEntry&>(e).threshold();
        } else {
            s.fontWidth = static_cast<const CFontEntry&>(e).font().width;
        }
        out.push_back(std::move(s));
    }
    return out;
}

// A lopsided pattern, so that every shift, flip and rotation gives other dots.
CDotMatrix pattern(int w, int h, int seed) {
    CDotMatrix m(w, h);
    for (int r = 0; r < h; ++r)
        for (int c = 0; c < w; ++c)
            m.set(r, c, (r * 7 + c * 3 + seed) % 5 == 0 || (r == 1 && c > 0));
    return m;
}

struct CCounter : IDocumentObserver {
    int history = 0;
    std::vector<std::pair<size_t, size_t>> changed;
    void historyChanged() override { ++history; }
    void entriesChanged(size_t first, size_t last) override { changed.emplace_back(first, last); }
};

class GlyphDocumentTest : public ::testing::Test {
protected:
    // "ABC" of 5 × 7 patterned matrices, A and C selected, as if just opened.
    void fill() {
        doc.addCharacters(u"ABC", font(5, 7), add);
        for (size_t i = 0; i < 3; ++i)
            doc.entries().at(i).setMatrix(pattern(5, 7, int(i)));
        doc.entries().select(0, ESelect::Add);
        doc.entries().select(2, ESelect::Add);
        opened();
    }
    void opened() { doc.clearHistory(); }

    test::CBlankRasteriser raster;
    CGlyphDocument doc{raster};
    CAddOptions add;
};

} // namespace

TEST_F(GlyphDocumentTest, EveryWholeMatrixEditIsOneStepBackAndForth) {
    for (int k = int(EMatrixEdit::Invert); k <= int(EMatrixEdit::TrimBottom); ++k) {
        const auto edit = EMatrixEdit(k);
        CGlyphDocument d(raster);
        d.addCharacters(u"ABC", font(5, 7), add);
        for (size_t i = 0; i < 3; ++i) {
            CDotMatrix m = pattern(5, 7, int(i));
            m.set(0, 0, false); // leave a trimmable edge on every side
            for (int c = 0; c < 5; ++c)
                m.set(0, c, false), m.set(6, c, false);
            for (int r = 0; r < 7; ++r)
                m.set(r, 0, false), m.set(r, 4, false);
            m.set(3, 2, true);
            d.entries().at(i).setMatrix(std::move(m));
        }
        d.entries().select(0, ESelect::Add);
        d.entries().select(2, ESelect::Add);
        d.clearHistory();
        const auto before = shot(d.list());
        d.editSelected(edit);
        const auto after = shot(d.list());
        ASSERT_NE(before, after) << k;
        EXPECT_EQ(after[1], before[1]) << k; // not selected
        EXPECT_EQ(d.history().count(), 1u) << k;
        ASSERT_TRUE(d.undo());
        EXPECT_EQ(shot(d.list()), before) << k;
        ASSERT_TRUE(d.redo());
        EXPECT_EQ(shot(d.list()), after) << k;
    }
}

TEST_F(GlyphDocumentTest, RotationUndoRestoresSizesAndTellsTheViewFromTheFirstChange) {
    fill();
    CCounter seen;
    doc.addObserver(&seen);
    doc.entries().select(0, ESelect::Clear);
    const auto before = shot(doc.list());
    doc.editSelected(EMatrixEdit::Rotate90);
    EXPECT_EQ(doc.entries().at(2).width(), 7);
    seen.changed.clear();
    doc.undo();
    EXPECT_EQ(shot(doc.list()), before);
    ASSERT_EQ(seen.changed.size(), 1u);
    EXPECT_EQ(seen.changed[0].first, 2u);
    doc.removeObserver(&seen);
}

TEST_F(GlyphDocumentTest, AddsAndDeletesComeBackInOrderWithTheirSelection) {
    fill();
    doc.append(std::make_unique<CStringEntry>(raster, u"xy", false, font(4, 4)),
               EStepKind::AddString);
    doc.append(std::make_unique<CPictureEntry>(raster, u"/p.bmp", 128), EStepKind::AddPicture);
    doc.entries().at(4).setSelected(true);
    const auto full = shot(doc.list());

    EXPECT_EQ(doc.deleteSelected(), 3u); // A, C and the picture
    EXPECT_EQ(doc.list().size(), 2u);
    doc.undo();
    EXPECT_EQ(shot(doc.list()), full);
    doc.redo();
    EXPECT_EQ(doc.list().size(), 2u);
    doc.undo();

    doc.deleteAll();
    EXPECT_TRUE(doc.list().empty());
    EXPECT_EQ(doc.undoStep()->kind(), EStepKind::DeleteAll);
    doc.undo();
    EXPECT_EQ(shot(doc.list()), full);

    // Undoing the adds takes them away again, newest first.
    doc.undo();
    doc.undo();
    EXPECT_EQ(doc.list().size(), 3u);
    doc.undo();
    EXPECT_EQ(doc.list().size(), 3u); // the history started at the opened state
    EXPECT_FALSE(doc.history().canUndo());
    doc.redo();
    doc.redo();
    EXPECT_EQ(shot(doc.list()), full);
}

TEST_F(GlyphDocumentTest, AStrokeIsOneStepAndAnIdleStrokeNone) {
    fill();
    const auto before = shot(doc.list());
    doc.beginStroke(0);
    CGlyphEntry& a = doc.entries().at(0);
    const bool was = a.matrix().lit(2, 2);
    a.setDot(2, 2, !was);
    a.setDot(3, 3, !a.matrix().lit(3, 3));
    doc.endStroke();
    EXPECT_EQ(doc.history().count(), 1u);
    EXPECT_EQ(doc.undoStep()->kind(), EStepKind::Stroke);
    const auto drawn = shot(doc.list());
    doc.undo();
    EXPECT_EQ(shot(doc.list()), before);
    doc.redo();
    EXPECT_EQ(shot(doc.list()), drawn);

    doc.beginStroke(1);
    doc.entries().at(1).setDot(0, 0, doc.entries().at(1).matrix().lit(0, 0)); // no change
    doc.endStroke();
    EXPECT_EQ(doc.history().count(), 1u);

    // A stroke on an entry not rendered yet undoes to "not rendered".
    doc.addCharacters(u"D", font(5, 7), add);
    CGlyphEntry& d = doc.entries().at(3);
    doc.beginStroke(3);
    ASSERT_TRUE(d.ensureRendered());
    d.setDot(1, 1, true);
    doc.endStroke();
    doc.undo();
    EXPECT_FALSE(d.hasDots());
    EXPECT_EQ(d.width(), 5);
}

TEST_F(GlyphDocumentTest, FontAndThresholdStepsBringBackSourcesAndDots) {
    fill();
    doc.append(std::make_unique<CPictureEntry>(raster, u"/p.bmp", 128), EStepKind::AddPicture);
    doc.entries().at(3).setSelected(true);
    const auto before = shot(doc.list());

    doc.applyFont(font(9, 9), false);
    EXPECT_EQ(doc.entries().at(0).width(), 9);
    EXPECT_EQ(doc.undoStep()->kind(), EStepKind::Font);
    doc.undo();
    EXPECT_EQ(shot(doc.list()), before);
    EXPECT_TRUE(static_cast<CCharEntry&>(doc.entries().at(0)).sameFont(font(5, 7)));
    doc.redo();
    EXPECT_EQ(doc.entries().at(2).width(), 9);
    doc.undo();

    EXPECT_EQ(doc.applyThreshold(50), 1u);
    doc.undo();
    EXPECT_EQ(shot(doc.list()), before);
    // The same font again changes nothing and leaves no step.
    const size_t steps = doc.history().count();
    doc.applyFont(font(5, 7), false);
    EXPECT_EQ(doc.history().count(), steps);
}

TEST_F(GlyphDocumentTest, ANewStepAfterUndoDropsTheRedoBranch) {
    fill();
    const auto start = shot(doc.list());
    doc.editSelected(EMatrixEdit::Invert);
    doc.editSelected(EMatrixEdit::ShiftUp);
    doc.undo();
    EXPECT_TRUE(doc.history().canRedo());
    doc.editSelected(EMatrixEdit::MirrorHorizontal);
    EXPECT_FALSE(doc.history().canRedo());
    EXPECT_EQ(doc.history().count(), 2u);
    doc.undo();
    doc.undo();
    EXPECT_EQ(shot(doc.list()), start);
}

TEST_F(GlyphDocumentTest, TheModifiedStateFollowsTheCleanPoint) {
    fill();
    EXPECT_FALSE(doc.modified());
    doc.editSelected(EMatrixEdit::Invert);
    EXPECT_TRUE(doc.modified());
    doc.undo();
    EXPECT_FALSE(doc.modified());
    doc.redo();
    EXPECT_TRUE(doc.modified());

    const auto file = std::filesystem::path(::testing::TempDir()) / "clean-point.tgx";
    ASSERT_TRUE(doc.save(file.string())); // saved after the invert
    EXPECT_FALSE(doc.modified());
    EXPECT_EQ(doc.path(), file.string());
    doc.editSelected(EMatrixEdit::ShiftUp);
    doc.undo();
    EXPECT_FALSE(doc.modified());
    doc.undo();
    EXPECT_TRUE(doc.modified()); // before the save
    doc.redo();
    EXPECT_FALSE(doc.modified());

    // A new branch from before the saved state: that state cannot come back.
    doc.undo();
    doc.editSelected(EMatrixEdit::ShiftDown);
    doc.undo();
    EXPECT_TRUE(doc.modified());

    // Open / New: no history, nothing modified.
    opened();
    EXPECT_FALSE(doc.history().canUndo() || doc.history().canRedo());
    EXPECT_FALSE(doc.modified());
}

TEST_F(GlyphDocumentTest, TheBoundDropsTheOldestStepsButKeepsAnOverLargeOne) {
    CGlyphDocument few(raster, CUndoHistory::kDefaultMaxBytes, 3);
    few.addCharacters(u"A", font(5, 7), add);
    few.entries().selectAll();
    for (int i = 0; i < 5; ++i)
        few.editSelected(EMatrixEdit::Invert);
    EXPECT_EQ(few.history().count(), 3u);
    int undone = 0;
    while (few.undo())
        ++undone;
    EXPECT_EQ(undone, 3);
    EXPECT_EQ(few.list().size(), 1u); // the add went out of the history
    EXPECT_TRUE(few.modified());      // and so did the clean state

    CGlyphDocument tiny(raster, 64, 1000);
    tiny.addCharacters(u"AB", font(16, 16), add);
    tiny.entries().selectAll();
    ASSERT_TRUE(tiny.entries().at(0).ensureRendered() && tiny.entries().at(1).ensureRendered());
    const auto before = shot(tiny.list());
    tiny.editSelected(EMatrixEdit::Invert);
    EXPECT_EQ(tiny.history().count(), 1u);
    EXPECT_GT(tiny.history().bytes(), 64u);
    EXPECT_TRUE(tiny.undo());
    EXPECT_EQ(shot(tiny.list()), before);
    EXPECT_FALSE(tiny.undo());
}

TEST_F(GlyphDocumentTest, AnEditStepHoldsLittleMoreThanTheDotsItChanged) {
    std::u16string text;
    for (char16_t c = 0x4E00; c < 0x4E00 + 2000; ++c)
        text.push_back(c);
    doc.addCharacters(text, font(16, 16), add);
    doc.entries().selectAll();
    const size_t before = doc.history().bytes();
    doc.editSelected(EMatrixEdit::Invert);
    const size_t step = doc.history().bytes() - before;
    const size_t dots = 2000 * 16 * 16;
    EXPECT_LE(step, 2 * dots);
    CCounter seen;
    doc.addObserver(&seen);
    doc.undo();
    EXPECT_EQ(seen.history, 1);
    doc.removeObserver(&seen);
}

// Grey entries: every whole-matrix edit works on levels and is undone to the same levels, as is
// a stroke drawing a chosen level; invert is the highest level minus each, trim keeps any level
// above 0 as ink.
TEST_F(GlyphDocumentTest, GreyLevelsSurviveEveryEditAndItsUndo) {
    for (int depth : {2, 4, 8}) {
        for (int k = int(EMatrixEdit::Invert); k <= int(EMatrixEdit::TrimBottom); ++k) {
            CGlyphDocument d(raster);
            CFontSettings f = font(6, 5);
            f.depth = depth;
            d.addCharacters(u"AB", f, add);
            CDotMatrix m(6, 5, depth);
            for (int r = 1; r < 4; ++r)
                for (int c = 1; c < 5; ++c)
                    m.setLevel(r, c, uint8_t((r * 5 + c * 3) % (m.maxLevel() + 1)));
            m.setLevel(2, 2, 1); // the faintest level still counts as ink
            d.entries().at(0).setMatrix(m);
            d.entries().select(0, ESelect::Add);
            d.clearHistory();
            const auto before = shot(d.list());
            d.editSelected(EMatrixEdit(k));
            const CDotMatrix& after = d.entries().at(0).matrix();
            EXPECT_EQ(after.depth(), depth);
            if (EMatrixEdit(k) == EMatrixEdit::Invert) {
                EXPECT_EQ(after.level(2, 2), m.maxLevel() - 1);
            } else if (EMatrixEdit(k) == EMatrixEdit::TrimLeft) {
                EXPECT_EQ(after.width(), 5);
            } else if (EMatrixEdit(k) == EMatrixEdit::MirrorHorizontal) {
                EXPECT_EQ(after.level(2, 3), 1);
            }
            ASSERT_TRUE(d.undo());
            EXPECT_EQ(shot(d.list()), before) << depth << " " << k;
        }
        CGlyphDocument d(raster);
        CFontSettings f = font(4, 4);
        f.depth = depth;
        d.addCharacters(u"A", f, add);
        CGlyphEntry& e = d.entries().at(0);
        ASSERT_TRUE(e.ensureRendered());
        e.setDotLevel(0, 0, 3);
        d.clearHistory();
        const auto before = shot(d.list());
        d.beginStroke(0);
        EXPECT_TRUE(e.setDotLevel(1, 1, 2));
        EXPECT_TRUE(e.setDotLevel(0, 0, 1));
        EXPECT_FALSE(e.setDotLevel(1, 1, 2));  // no change
        EXPECT_TRUE(e.setDotLevel(2, 2, 255)); // kept within the highest level
        EXPECT_EQ(e.matrix().level(2, 2), e.matrix().maxLevel());
        d.endStroke();
        const auto drawn = shot(d.list());
        ASSERT_TRUE(d.undo());
        EXPECT_EQ(shot(d.list()), before);
        EXPECT_EQ(d.entries().at(0).matrix().level(0, 0), 3);
        ASSERT_TRUE(d.redo());
        EXPECT_EQ(shot(d.list()), drawn);
    }
}

TEST(DotMatrix, DepthsConvertToTheNearestLevel) {
    CDotMatrix one(3, 1);
    one.set(0, 1, true);
    const CDotMatrix four = one.atDepth(4);
    EXPECT_EQ(four.depth(), 4);
    EXPECT_EQ(four.level(0, 1), 15);
    EXPECT_EQ(four.level(0, 0), 0);
    CDotMatrix g(3, 1, 4);
    g.setLevel(0, 0, 7);
    g.setLevel(0, 1, 8);
    g.setLevel(0, 2, 15);
    const CDotMatrix back = g.atDepth(1);
    EXPECT_FALSE(back.lit(0, 0));
    EXPECT_TRUE(back.lit(0, 1));
    EXPECT_EQ(back.level(0, 2), 1);
    EXPECT_EQ(g.atDepth(8).level(0, 2), 255);
    EXPECT_EQ(levelOfCoverage(128, 1), 1);
    EXPECT_EQ(levelOfCoverage(127, 1), 0);
    EXPECT_EQ(levelOfCoverage(255, 4), 15);
    EXPECT_EQ(levelOfCoverage(9, 4), 1);
    EXPECT_EQ(levelOfCoverage(8, 4), 0);
}
