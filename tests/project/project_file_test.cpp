#include "base/text.h"
#include "project/project_document.h"
#include "project_test_support.h"

#include <gtest/gtest.h>

namespace tgw {
namespace {

using test::kStamp;

// Everything the file keeps of an entry, as one text, so that lists compare in one go and a
// mismatch shows what differs.
std::string describe(const CGlyphEntry& e) {
    std::string s = format("type %d %dx%d", e.kind(), e.width(), e.height());
    auto font = [&](const CFontSettings& f) {
        s += format(" font %d '%s' size %d cell %dx%d b%d i%d s%d u%d offset %d", f.kind,
                    utf16ToUtf8(f.face).c_str(), f.size, f.width, f.height, f.bold, f.italic,
                    f.strikeout, f.underline, f.offset);
    };
    if (e.isCharacter()) {
        const auto& c = static_cast<const CCharEntry&>(e);
        s += format(" code %u", unsigned(c.code()));
        font(c.font());
    } else if (e.isPicture()) {
        const auto& p = static_cast<const CPictureEntry&>(e);
        s += " path '" + utf16ToUtf8(p.path()) + format("' threshold %u", p.threshold());
    } else {
        const auto& t = static_cast<const CStringEntry&>(e);
        s += " text '" + utf16ToUtf8(t.text()) + format("' rtl %d", t.rightToLeft());
        font(t.font());
    }
    const CDotMatrix& m = e.matrix();
    for (int r = 0; r < m.height(); ++r) {
        s += "\n";
        for (int c = 0; c < m.width(); ++c)
            s += m.lit(r, c) ? '*' : '.';
    }
    return s;
}

std::vector<std::string> describe(const CGlyphList& list) {
    std::vector<std::string> out;
    for (size_t i = 0; i < list.size(); ++i)
        out.push_back(describe(list.at(i)));
    return out;
}

// A UTF-8 project text with the given entries (tests of the loader read best in UTF-8; the
// loader takes either).
std::string project(const std::string& matrices, const std::string& count = "1") {
    return "<?xml version='1.0'?><Tessaglyphworks project_version=\"50332161\">"
           "<Matrixes count=\"" +
           count + "\" last_modified=\"x\">" + matrices + "</Matrixes></Tessaglyphworks>";
}

class ProjectFileTest : public ::testing::Test {
protected:
    test::CBlankRasteriser raster;
    CGlyphList list{raster};

    // Loads `text` into an empty list and returns what came of it.
    Status load(const std::string& text) {
        list.deleteAll();
        return loadProject(list, text);
    }
};

// The sample document against the golden file (which check_structure.py reads with another
// parser), then read back: every attribute and the hand-set dots survive (the blank test
// rasteriser could not have made them), nothing is rendered, and the copy writes the same bytes.
TEST_F(ProjectFileTest, GoldenFileAndRoundTrip) {
    test::fillSampleDocument(list);
    Result<std::string> bytes = writeProject(list, kStamp);
    ASSERT_TRUE(bytes) << bytes.error();
    const std::string golden = std::string(TGW_TEST_DATA) + "/golden/sample.tgx";
    if (std::getenv("TGW_UPDATE_GOLDEN"))
        test::writeBytes(golden, *bytes);
    EXPECT_EQ(*bytes, test::readBytes(golden))
        << "the writer's output changed; if on purpose, run again with TGW_UPDATE_GOLDEN=1";

    test::CBlankRasteriser otherRaster;
    CGlyphList loaded(otherRaster);
    ASSERT_TRUE(loadProject(loaded, *bytes));
    EXPECT_EQ(describe(loaded), describe(list));
    EXPECT_EQ(otherRaster.calls, 0) << "loading must not render: the stored dots are the entry";
    EXPECT_EQ(*writeProject(loaded, kStamp), *bytes);
}

// A picture's conversion is written only when it is not the plain threshold, reads back as
// it was written, and bad values are refused with their name.
TEST_F(ProjectFileTest, PictureConversionAttributes) {
    CPictureOptions o;
    o.threshold = 90;
    o.method = EPictureMethod::kAtkinson;
    o.invert = true;
    o.scale = EPictureScale::kFit;
    o.targetWidth = 128;
    o.targetHeight = 64;
    CGlyphEntry& plain = list.append(std::make_unique<CPictureEntry>(raster, u"a.png", 90));
    CGlyphEntry& dithered = list.append(std::make_unique<CPictureEntry>(raster, u"b.png", o));
    plain.setMatrix(CDotMatrix(2, 1));
    dithered.setMatrix(CDotMatrix(2, 1));
    Result<std::string> bytes = writeProject(list, kStamp);
    ASSERT_TRUE(bytes);
    const std::string text = utf16ToUtf8(std::u16string(
        reinterpret_cast<const char16_t*>(bytes->data() + 2), (bytes->size() - 2) / 2));
    EXPECT_NE(text.find("path=\"a.png\" threshold=\"90\"><![CDATA["), std::string::npos);
    EXPECT_NE(text.find("threshold=\"90\" dither=\"atkinson\" invert=\"1\" scale=\"fit\" "
                        "scalewidth=\"128\" scaleheight=\"64\">"),
              std::string::npos)
        << text;
    ASSERT_TRUE(load(*bytes));
    EXPECT_TRUE(static_cast<const CPictureEntry&>(list.at(0)).options().plain());
    EXPECT_EQ(static_cast<const CPictureEntry&>(list.at(1)).options(), o);

    const std::string head = "<Matrix type='2' width='1' height='1' threshold='1' ";
    EXPECT_EQ(load(project(head + "dither='floyd'/>")).error(),
              "entry 1: unknown dither \"floyd\"");
    EXPECT_EQ(load(project(head + "scale='fit' scalewidth='9'/>")).error(),
              "entry 1: the attribute 'scaleheight' is missing");
    EXPECT_FALSE(load(project(head + "scale='fill' scalewidth='0' scaleheight='9'/>")));
}

TEST_F(ProjectFileTest, EmptyDocumentAndEntriesWithoutDots) {
    Result<std::string> empty = writeProject(list, kStamp);
    ASSERT_TRUE(empty);
    test::CBlankRasteriser r2;
    CGlyphList other(r2);
    other.addCharacters(u"Z", test::builtinFont(kFontAscii5x7, 5, 7), {});
    ASSERT_TRUE(openProjectBytes(other, *empty));
    EXPECT_TRUE(other.empty());

    // An entry not rendered yet is rendered for the file, and the list learns its dots.
    list.addCharacters(u"B", test::trueTypeFont(u"DejaVu Sans", 3, 2), {});
    ASSERT_FALSE(list.at(0).hasDots());
    Result<std::string> bytes = writeProject(list, kStamp);
    ASSERT_TRUE(bytes);
    EXPECT_TRUE(list.at(0).hasDots());
    ASSERT_TRUE(load(*bytes));
    EXPECT_EQ(describe(list.at(0)),
              "type 1 3x2 code 66 font 6 'DejaVu Sans' size 0 cell 3x2 b0 i0 s0 u0 offset 0\n"
              "...\n...");
}

TEST_F(ProjectFileTest, FontAttributesAndTheirDefaults) {
    // A built-in kind carries no face and gets the kind's cell, whatever else stands there.
    ASSERT_TRUE(load(project("<Matrix type='3' width='2' height='1' content='ab' rtl='0' "
                             "fonttype='3' fontwidth='99' bold='1'/>")));
    EXPECT_EQ(describe(list.at(0)),
              "type 3 2x1 text 'ab' rtl 0 font 3 '' size 0 cell 8x16 b0 i0 s0 u0 offset 0\n..");

    // Kind 6 without cell or size: the matrix's own size and 0; a size or offset that is not a
    // number counts as absent.
    ASSERT_TRUE(load(project("<Matrix type='1' width='7' height='9' code='65' fonttype='6' "
                             "facename='F' bold='0' italic='7' strikeout='0' underline='-1' "
                             "fontsize='big' offset=''/>")));
    const std::string loaded = describe(list.at(0));
    EXPECT_EQ(loaded.substr(0, loaded.find('\n')),
              "type 1 7x9 code 65 font 6 'F' size 0 cell 7x9 b0 i1 s0 u1 offset 0");

    // A font kind this version does not know keeps its number, no face and no cell.
    ASSERT_TRUE(load(project("<Matrix type='1' width='1' height='1' code='65' fonttype='9' "
                             "facename='F'><![CDATA[*]]></Matrix>")));
    EXPECT_EQ(describe(list.at(0)),
              "type 1 1x1 code 65 font 9 '' size 0 cell 0x0 b0 i0 s0 u0 offset 0\n*");

    // Picture: threshold kept, no font read; a missing path is an empty one.
    ASSERT_TRUE(load(project("<Matrix type='2' width='1' height='1' threshold=' 200 '/>")));
    EXPECT_EQ(describe(list.at(0)), "type 2 1x1 path '' threshold 200\n.");
}

// An entry made from a font file keeps the file, its face and the fit choice, and loads even
// though the file is nowhere on this machine; entries without them write none of these.
TEST_F(ProjectFileTest, FontFileAndFitAreKeptOnlyWhereSet) {
    CFontSettings f;
    f.kind = kFontTrueType;
    f.face = u"Micro Hei";
    f.width = f.height = 4;
    f.fontFile = "/nowhere/字体 files/wqy microhei.ttc";
    f.faceIndex = 1;
    f.fitCell = true;
    CFontSettings plain = f;
    plain.fontFile.clear();
    plain.faceIndex = 0;
    plain.fitCell = false;
    list.append(std::make_unique<CCharEntry>(raster, u'A', f));
    list.append(std::make_unique<CCharEntry>(raster, u'B', plain));
    Result<std::string> bytes = writeProject(list, kStamp);
    ASSERT_TRUE(bytes) << bytes.error();
    const std::string utf8 = utf16ToUtf8(std::u16string(
        reinterpret_cast<const char16_t*>(bytes->data() + 2), (bytes->size() - 2) / 2));
    EXPECT_NE(utf8.find("fontfile=\"/nowhere/字体 files/wqy microhei.ttc\" faceindex=\"1\" "
                        "fitcell=\"1\""),
              std::string::npos)
        << utf8;
    EXPECT_EQ(utf8.find("fontfile"), utf8.rfind("fontfile")) << "only the first entry has one";

    test::CBlankRasteriser otherRaster;
    CGlyphList loaded(otherRaster);
    ASSERT_TRUE(loadProject(loaded, *bytes));
    ASSERT_EQ(loaded.size(), size_t(2));
    EXPECT_EQ(static_cast<const CCharEntry&>(loaded.at(0)).font(), f);
    EXPECT_EQ(static_cast<const CCharEntry&>(loaded.at(1)).font(), plain);
    EXPECT_EQ(otherRaster.calls, 0);
}

// A font file name that is not UTF-8 (from the command line, or bytes in a hand-made file) is
// stored with U+FFFD for each byte, is reported, and from then on saves as it loaded.
TEST_F(ProjectFileTest, FontFileNameThatIsNotUtf8SavesAsItLoads) {
    CFontSettings f;
    f.kind = kFontTrueType;
    f.face = u"F";
    f.width = f.height = 2;
    f.fontFile = "/fonts/\xCDx.ttf";
    list.append(std::make_unique<CCharEntry>(raster, u'A', f));
    f.fontFile = "/fonts/ok.ttf";
    list.append(std::make_unique<CCharEntry>(raster, u'B', f));
    EXPECT_EQ(entriesWithUnstorableNames(list), std::vector<size_t>{0});
    Result<std::string> first = writeProject(list, kStamp);
    ASSERT_TRUE(first) << first.error();

    test::CBlankRasteriser otherRaster;
    CGlyphList loaded(otherRaster);
    ASSERT_TRUE(loadProject(loaded, *first));
    EXPECT_EQ(static_cast<const CCharEntry&>(loaded.at(0)).font().fontFile,
              "/fonts/\xEF\xBF\xBDx.ttf");
    EXPECT_TRUE(entriesWithUnstorableNames(loaded).empty());
    Result<std::string> second = writeProject(loaded, kStamp);
    ASSERT_TRUE(second);
    EXPECT_EQ(*second, *first);

    // The same for a UTF-8 file holding a stray byte in the name.
    ASSERT_TRUE(load(project("<Matrix type='1' width='1' height='1' code='65' fonttype='6' "
                             "facename='F' bold='0' italic='0' strikeout='0' underline='0' "
                             "fontfile='a\xCD'/>")));
    EXPECT_EQ(static_cast<const CCharEntry&>(list.at(0)).font().fontFile, "a\xEF\xBF\xBD");
}

TEST_F(ProjectFileTest, RowsAreReadLeniently) {
    // Short rows and missing rows stay dark; any character but a blank is lit, counted in
    // UTF-16 units (the CJK character is one dot, the emoji two); extra rows and dots are
    // ignored; rows may be plain text instead of CDATA.
    ASSERT_TRUE(load(project("<Matrix type='2' width='4' height='4' threshold='1'>"
                             "<![CDATA[x]]><![CDATA[ 中 *  *]]><![CDATA[😀 .]]>"
                             "</Matrix>")));
    EXPECT_EQ(describe(list.at(0)), "type 2 4x4 path '' threshold 1\n*...\n.*.*\n**.*\n....");
    ASSERT_TRUE(load(project("<Matrix type='2' width='3' height='2' threshold='1'>"
                             "* *<![CDATA[***]]><![CDATA[***]]></Matrix>")));
    EXPECT_EQ(describe(list.at(0)), "type 2 3x2 path '' threshold 1\n*.*\n***");
}

TEST_F(ProjectFileTest, CountLimitsTheEntriesAndAnIndentedFileLoads) {
    const std::string three = "<Matrix type='2' width='1' height='1' threshold='1'/>\n"
                              "  <Matrix type='2' width='1' height='1' threshold='2'/>\n"
                              "  <Matrix type='2' width='1' height='1' threshold='3'/>\n";
    ASSERT_TRUE(load(project(three, "2")));
    EXPECT_EQ(list.size(), 2u);
    ASSERT_TRUE(load(project(three, "+10")));
    EXPECT_EQ(list.size(), 3u);
    EXPECT_EQ(static_cast<const CPictureEntry&>(list.at(2)).threshold(), 3);
    ASSERT_TRUE(load(project(three, "0")));
    EXPECT_TRUE(list.empty());
    ASSERT_TRUE(load(project("", "-5")));
    EXPECT_TRUE(list.empty());
    // An older format version is read the same way.
    std::string older = project(three);
    older.replace(older.find("50332161"), 8, "1");
    ASSERT_TRUE(load(older));
    EXPECT_EQ(list.size(), 1u);
}

// Each damaged file fails the whole open and leaves the document exactly as it was.
TEST_F(ProjectFileTest, DamagedFilesFailAndLeaveTheDocumentAlone) {
    const std::string good = "<Matrix type='2' width='1' height='1' threshold='1'/>";
    const std::string ch = "<Matrix type='1' width='1' height='1' fonttype='0' ";
    const std::string tt = "<Matrix type='1' width='1' height='1' code='65' fonttype='6' "
                           "facename='F' ";
    const std::string flags = "bold='0' italic='0' strikeout='0' underline='0' ";
    std::string newer = project(good);
    newer.replace(newer.find("50332161"), 8, "50332162");
    std::string unversioned = project(good);
    unversioned.replace(unversioned.find("project_version"), 15, "projectversion");

    const std::vector<std::pair<std::string, std::string>> cases = {
        {"empty file", ""},
        {"truncated", project(good).substr(0, 120)},
        {"not XML", "this is not a project"},
        {"two roots", project(good) + "<Other/>"},
        {"newer version", newer},
        {"version missing", unversioned},
        {"version not a number", "<T project_version='3.0'><Matrixes count='0'/></T>"},
        {"Matrixes not first", "<T project_version='1'><X/><Matrixes count='0'/></T>"},
        {"text before Matrixes", "<T project_version='1'>x<Matrixes count='0'/></T>"},
        {"no Matrixes", "<T project_version='1'/>"},
        {"count missing", "<T project_version='1'><Matrixes/></T>"},
        {"count not a number", "<T project_version='1'><Matrixes count='many'/></T>"},
        {"count without entries", project("", "2")},
        {"type missing", project("<Matrix width='1' height='1' threshold='1'/>")},
        {"width missing", project("<Matrix type='2' height='1' threshold='1'/>")},
        {"width 0", project("<Matrix type='2' width='0' height='1' threshold='1'/>")},
        {"width 2049", project("<Matrix type='2' width='2049' height='1' threshold='1'/>")},
        {"height negative", project("<Matrix type='2' width='1' height='-1' threshold='1'/>")},
        {"height huge", project("<Matrix type='2' width='1' height='99999999999999999999' "
                                "threshold='1'/>")},
        {"width not a number", project("<Matrix type='2' width='1x' height='1' threshold='1'/>")},
        {"unknown type", project("<Matrix type='4' width='1' height='1'/>")},
        {"code missing", project(ch + "/>")},
        {"code 0", project(ch + "code='0'/>")},
        {"code 65536", project(ch + "code='65536'/>")},
        {"fonttype missing", project("<Matrix type='1' width='1' height='1' code='65'/>")},
        {"threshold missing", project("<Matrix type='2' width='1' height='1'/>")},
        {"threshold 256", project("<Matrix type='2' width='1' height='1' threshold='256'/>")},
        {"rtl missing", project("<Matrix type='3' width='1' height='1' content='a' "
                                "fonttype='0'/>")},
        {"empty text run", project("<Matrix type='3' width='1' height='1' content='' rtl='0' "
                                   "fonttype='0'/>")},
        {"bold missing", project(tt + "italic='0' strikeout='0' underline='0'/>")},
        {"underline not a number", project(tt + "bold='0' italic='0' strikeout='0' "
                                                "underline='yes'/>")},
        {"facename missing", project("<Matrix type='1' width='1' height='1' code='65' "
                                     "fonttype='6' " +
                                     flags + "/>")},
        {"fontsize 2049", project(tt + flags + "fontsize='2049'/>")},
        {"offset far out", project(tt + flags + "offset='-2147483648'/>")},
        {"fontwidth 0", project(tt + flags + "fontwidth='0'/>")},
        {"fontheight 3000", project(tt + flags + "fontheight='3000'/>")},
        {"third of five bad",
         project(good + good + "<Matrix type='2' width='1' height='1'/>" + good + good, "5")},
    };
    {
        list.deleteAll();
        list.addCharacters(u"AB", test::builtinFont(kFontAscii5x7, 5, 7), {});
        const CGlyphEntry* first = &list.at(0);
        const CGlyphEntry* second = &list.at(1);
        for (const auto& [name, text] : cases) {
            Status s = openProjectBytes(list, text);
            EXPECT_FALSE(s) << name;
            EXPECT_FALSE(s.error().empty()) << name;
            ASSERT_EQ(list.size(), 2u) << name;
            EXPECT_EQ(&list.at(0), first) << name;
            EXPECT_EQ(&list.at(1), second) << name;
        }
    }
}

TEST_F(ProjectFileTest, FailuresSayWhatIsWrong) {
    EXPECT_EQ(load(project("<Matrix type='2' width='1' height='1' threshold='1'/>"
                           "<Matrix type='2' width='3000' height='1' threshold='1'/>",
                           "2"))
                  .error(),
              "entry 2: width 3000 is outside 1 to 2048");
    EXPECT_EQ(load(project("<Matrix type='4' width='1' height='1'/>")).error(),
              "entry 1: type 4 is not a kind of entry this version knows");
    EXPECT_EQ(load(project("<Matrix type='2' width='1' height='1'/>")).error(),
              "entry 1: the attribute 'threshold' is missing");
}

// A file may declare as many dots as it has bytes, or 2^26, whichever is more: a few hundred
// bytes must not claim gigabytes.
TEST_F(ProjectFileTest, DeclaredDotsAreBoundedByTheFile) {
    std::string big;
    for (int i = 0; i < 17; ++i)
        big += "<Matrix type='2' width='2048' height='2048' threshold='1'/>";
    Status s = load(project(big, "17"));
    ASSERT_FALSE(s);
    EXPECT_EQ(s.error(), "entry 17: the file declares far more dots than it holds");
    ASSERT_TRUE(load(project(big, "16")));
    EXPECT_EQ(list.size(), 16u);
}

// Grey entries keep their levels through a save and a load, with their depth written beside
// them (only for them); rows hold a hex digit a dot, two at 8 bits. What no depth can hold is
// refused with a reason.
TEST_F(ProjectFileTest, GreyEntriesSaveTheirLevels) {
    for (int depth : {2, 4, 8}) {
        list.deleteAll();
        CFontSettings f = test::trueTypeFont(u"DejaVu Sans", 5, 3);
        f.depth = depth;
        CDotMatrix m(5, 3, depth);
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 5; ++c)
                m.setLevel(r, c, uint8_t((r * 5 + c) * 37 % (m.maxLevel() + 1)));
        auto a = std::make_unique<CCharEntry>(raster, u'A', f);
        a->setMatrix(m);
        list.append(std::move(a));
        CPictureOptions o;
        o.depth = depth;
        auto p = std::make_unique<CPictureEntry>(raster, u"p.png", o);
        p->setMatrix(m);
        list.append(std::move(p));
        auto one =
            std::make_unique<CCharEntry>(raster, u'B', test::trueTypeFont(u"DejaVu Sans", 5, 3));
        one->setMatrix(test::patterned(5, 3, 1));
        list.append(std::move(one));

        Result<std::string> bytes = writeProject(list, kStamp);
        ASSERT_TRUE(bytes);
        const std::string text = utf16ToUtf8(std::u16string(
            reinterpret_cast<const char16_t*>(bytes->data() + 2), (bytes->size() - 2) / 2));
        EXPECT_NE(text.find(format("depth=\"%d\"", depth)), std::string::npos) << text;
        EXPECT_EQ(text.find("depth", text.find("code=\"66\"")), std::string::npos) << text;
        EXPECT_NE(text.find(depth == 8 ? "<![CDATA[00254A6F94]]>" : "<![CDATA[0"),
                  std::string::npos)
            << text;

        test::CBlankRasteriser other;
        CGlyphList loaded(other);
        ASSERT_TRUE(loadProject(loaded, *bytes));
        ASSERT_EQ(loaded.size(), 3u);
        EXPECT_EQ(loaded.at(0).matrix(), m);
        EXPECT_EQ(loaded.at(1).matrix(), m);
        EXPECT_EQ(static_cast<const CCharEntry&>(loaded.at(0)).font().depth, depth);
        EXPECT_EQ(static_cast<const CPictureEntry&>(loaded.at(1)).options().depth, depth);
        EXPECT_EQ(loaded.at(2).matrix().depth(), 1);
        EXPECT_EQ(*writeProject(loaded, kStamp), *bytes);
    }
    const std::string head = "<Matrix type='2' width='2' height='1' threshold='1' path='p' ";
    EXPECT_EQ(load(project(head + "depth='3'/>")).error(),
              "entry 1: a depth of 3 bits a dot is not one this version knows (1, 2, 4 or 8)");
    EXPECT_EQ(load(project(head + "depth='2'><![CDATA[07]]></Matrix>")).error(),
              "entry 1: row 1 holds the level 7, above the 3 of 2 bits a dot");
    EXPECT_EQ(load(project(head + "depth='4'><![CDATA[0g]]></Matrix>")).error(),
              "entry 1: row 1 holds \"g\" where a level belongs");
    ASSERT_TRUE(load(project(head + "depth='4'><![CDATA[F]]></Matrix>")));
    EXPECT_EQ(list.at(0).matrix().level(0, 0), 15);
    EXPECT_EQ(list.at(0).matrix().level(0, 1), 0); // a short row ends dark
}

} // namespace
} // namespace tgw
