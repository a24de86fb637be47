#include "model/glyph_list.h"
#include "test_rasteriser.h"

#include <gtest/gtest.h>

using namespace tgw;

namespace {

CFontSettings trueType(int w = 18, int h = 18) {
    CFontSettings f;
    f.kind = kFontTrueType;
    f.face = u"DejaVu Sans";
    f.width = w;
    f.height = h;
    return f;
}

std::u16string codes(const CGlyphList& list) {
    std::u16string s;
    for (size_t i = 0; i < list.size(); ++i)
        s.push_back(static_cast<const CCharEntry&>(list.at(i)).code());
    return s;
}

struct CRecorder : IGlyphListObserver {
    std::vector<std::string> events;
    void entriesInserted(size_t first, size_t count) override {
        events.push_back("insert " + std::to_string(first) + "+" + std::to_string(count));
    }
    void entriesRemoved(size_t lowest) override {
        events.push_back("remove from " + std::to_string(lowest));
    }
    void entryResized(CGlyphEntry&) override { events.push_back("resize"); }
};

class GlyphListTest : public ::testing::Test {
protected:
    test::CBlankRasteriser raster;
    CGlyphList list{raster};
    CAddOptions add;
};

} // namespace

TEST_F(GlyphListTest, DuplicateAndBlankFilters) {
    list.addCharacters(u"B", trueType(), add);
    EXPECT_EQ(list.addCharacters(u"AAB", trueType(), add), 1u);
    EXPECT_EQ(codes(list), u"BA");

    CGlyphList other(raster);
    EXPECT_EQ(other.addCharacters(u"A B", trueType(), add), 2u);
    add.filterBlanks = false;
    CGlyphList third(raster);
    EXPECT_EQ(third.addCharacters(u"A B", trueType(), add), 3u);
    add.filterDuplicates = false;
    EXPECT_EQ(third.addCharacters(u"AA", trueType(), add), 2u);
    EXPECT_EQ(codes(third), u"A BAA");
}

TEST_F(GlyphListTest, HalfWidthNarrowsOnlyAsciiInASystemFont) {
    add.halfWidth = true;
    list.addCharacters(u"A中", trueType(17, 18), add);
    EXPECT_EQ(list.at(0).width(), 9); // (17 + 1) / 2
    EXPECT_EQ(list.at(1).width(), 17);
    CFontSettings builtin = trueType(17, 18);
    builtin.kind = kFontAscii8x16;
    list.addCharacters(u"B", builtin, add);
    EXPECT_EQ(list.at(2).width(), 17);
}

TEST_F(GlyphListTest, SelectionRules) {
    list.addCharacters(u"ABCD", trueType(), add);
    list.select(1, ESelect::Replace);
    list.select(2, ESelect::Add);
    EXPECT_EQ(list.selectedCount(), 2u);
    list.select(3, ESelect::Clear); // Shift on an unselected entry changes nothing
    EXPECT_EQ(list.selectedCount(), 2u);
    list.select(0, ESelect::Replace);
    EXPECT_EQ(list.selectedCount(), 1u);
    EXPECT_TRUE(list.at(0).selected());
    list.invertSelection();
    EXPECT_EQ(list.selectedCount(), 3u);
    list.selectAll();
    EXPECT_EQ(list.selectedCount(), 4u);
    list.clearSelection();
    EXPECT_EQ(list.selectedCount(), 0u);
}

TEST_F(GlyphListTest, DeleteSelectedReportsTheLowestRemovedPosition) {
    CRecorder rec;
    list.setObserver(&rec);
    list.addCharacters(u"ABCDE", trueType(), add);
    EXPECT_EQ(list.deleteSelected(), 0u); // nothing selected: no event
    list.select(3, ESelect::Replace);
    list.select(1, ESelect::Add);
    EXPECT_EQ(list.deleteSelected(), 2u);
    EXPECT_EQ(codes(list), u"ACE");
    EXPECT_EQ(rec.events, (std::vector<std::string>{"insert 0+5", "remove from 1"}));
    list.deleteAll();
    EXPECT_TRUE(list.empty());
    list.setObserver(nullptr);
}

TEST_F(GlyphListTest, ChangeOfFontReRendersSelectedEntriesOnly) {
    list.addCharacters(u"ABC", trueType(), add);
    for (size_t i = 0; i < list.size(); ++i)
        ASSERT_TRUE(list.at(i).ensureRendered());
    list.select(1, ESelect::Replace);
    list.select(2, ESelect::Add);
    raster.calls = 0;
    auto first = list.applyFont(trueType(20, 18), false);
    ASSERT_TRUE(first);
    EXPECT_EQ(*first, 1u);
    EXPECT_EQ(raster.calls, 2);
    EXPECT_EQ(list.at(0).width(), 18);
    EXPECT_EQ(list.at(1).width(), 20);
    EXPECT_EQ(list.at(1).matrix().width(), 20);
    // The same font again renders nothing and resizes nothing.
    EXPECT_FALSE(list.applyFont(trueType(20, 18), false));
    EXPECT_EQ(raster.calls, 2);
}

TEST_F(GlyphListTest, BuiltinFontsCompareOnlyKindAndSize) {
    CFontSettings a = trueType(16, 16);
    a.kind = kFontGb2312_16;
    CFontSettings b = a;
    b.face = u"Other";
    b.bold = true;
    b.offset = 3;
    EXPECT_TRUE(a.same(b));
    a.kind = kFontTrueType;
    b.kind = kFontTrueType;
    EXPECT_FALSE(a.same(b));
}

TEST_F(GlyphListTest, UnusableFontIsRefusedWithoutChange) {
    list.addCharacters(u"A", trueType(), add);
    auto& e = static_cast<CCharEntry&>(list.at(0));
    CFontSettings bad = trueType();
    bad.face.clear();
    EXPECT_FALSE(e.setFont(bad));
    bad = trueType(0, 18);
    EXPECT_FALSE(e.setFont(bad));
    bad = trueType();
    bad.kind = kFontUnset;
    EXPECT_FALSE(e.setFont(bad));
    EXPECT_EQ(e.font().face, u"DejaVu Sans");
}

TEST_F(GlyphListTest, LargeJobQuestionThresholds) {
    add.filterDuplicates = false;
    add.filterBlanks = false;
    std::u16string text(1000, u'A');
    list.addCharacters(text, trueType(4, 4), add);
    EXPECT_FALSE(list.isLargeJob()); // 1000 entries never ask
    list.addCharacters(u"B", trueType(4, 4), add);
    EXPECT_TRUE(list.isLargeJob()); // 1001 held, 1001 unrendered
    ASSERT_TRUE(list.at(0).ensureRendered());
    ASSERT_TRUE(list.at(1).ensureRendered());
    EXPECT_FALSE(list.isLargeJob()); // 999 unrendered
}

TEST_F(GlyphListTest, StringAndPictureDuplicatesAndThreshold) {
    list.append(std::make_unique<CStringEntry>(raster, u"ab", false, trueType()));
    list.append(std::make_unique<CPictureEntry>(raster, u"/tmp/Logo.png", 184));
    EXPECT_TRUE(list.hasString(u"ab"));
    EXPECT_FALSE(list.hasString(u"abc"));
    EXPECT_TRUE(list.hasPicture(u"/tmp/Logo.png"));
    EXPECT_FALSE(list.hasPicture(u"/tmp/logo.png")); // exact, case-sensitive
    list.selectAll();
    EXPECT_EQ(list.applyThreshold(184), 0u);
    EXPECT_EQ(list.applyThreshold(100), 1u);
    EXPECT_EQ(static_cast<CPictureEntry&>(list.at(1)).threshold(), 100);
}

TEST_F(GlyphListTest, OpenTransactionRemovesFromEitherEnd) {
    list.addCharacters(u"ABCDE", trueType(), add);
    list.removeFront(2);
    EXPECT_EQ(codes(list), u"CDE");
    list.removeBack(1);
    EXPECT_EQ(codes(list), u"CD");
    list.removeBack(10);
    EXPECT_TRUE(list.empty());
}

TEST_F(GlyphListTest, HandEditsTellTheList) {
    CRecorder rec;
    list.addCharacters(u"A", trueType(8, 8), add);
    ASSERT_TRUE(list.at(0).ensureRendered());
    list.setObserver(&rec);
    EXPECT_TRUE(list.at(0).setDot(0, 0, true));
    EXPECT_FALSE(list.at(0).setDot(0, 0, true)); // already lit: no change
    EXPECT_FALSE(list.at(0).setDot(8, 0, true)); // outside
    list.at(0).setMatrix(CDotMatrix(4, 9));
    EXPECT_EQ(rec.events, (std::vector<std::string>{"resize"}));
    EXPECT_EQ(list.at(0).height(), 9);
    list.setObserver(nullptr);
}

TEST_F(GlyphListTest, TakeAndInsertPutEntriesBackWhereTheyWere) {
    list.addCharacters(u"ABCDEF", trueType(), add);
    CRecorder seen;
    list.setObserver(&seen);
    auto taken = list.take({0, 2, 5});
    EXPECT_EQ(codes(list), u"BDE");
    EXPECT_EQ(seen.events.back(), "remove from 0");
    EXPECT_EQ(taken[2]->owner(), nullptr);
    list.insert({0, 2, 5}, std::move(taken));
    EXPECT_EQ(codes(list), u"ABCDEF");
    EXPECT_EQ(seen.events.back(), "insert 0+3");
    EXPECT_EQ(list.at(5).owner(), &list);

    // Positions out of order or out of the list change nothing.
    EXPECT_TRUE(list.take({3, 1}).empty());
    EXPECT_TRUE(list.take({6}).empty());
    std::vector<std::unique_ptr<CGlyphEntry>> one;
    one.push_back(std::make_unique<CCharEntry>(raster, u'Z', trueType()));
    list.insert({9}, std::move(one));
    EXPECT_EQ(codes(list), u"ABCDEF");
    list.setObserver(nullptr);
}
