#include "base/codepage.h"
#include "codegen/binary_file.h"
#include "codegen/code_text.h"
#include "codegen/matrix_packing.h"
#include "library/character_set.h"
#include "library/library_builder.h"
#include "raster/rasteriser.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

using namespace tgw;
namespace fs = std::filesystem;

namespace {

CSettings fontSettings(int kind, int width, int height, const char16_t* face = u"") {
    CSettings s;
    s.fontType = kind;
    s.faceName = face;
    s.width = unsigned(width);
    s.height = unsigned(height);
    return s;
}
const CSettings kGb16 = fontSettings(kFontGb2312_16, 16, 16);

// What the code generator's writers make of a glyph list holding one character entry per
// character (made by the add operation, no filters, the half-width rule of the settings).
std::string reference(const CSettings& s, std::u16string_view chars, const COutputWriter& output,
                      bool withIndex) {
    CRasteriser rasteriser;
    CGlyphList list(rasteriser);
    CAddOptions add;
    add.filterDuplicates = add.filterBlanks = false;
    add.halfWidth = s.halfWidth;
    list.addCharacters(chars, s.font(), add);
    CEncodingOptions options = CEncodingOptions::fromSettings(s);
    options.assembler = &output == findWriter("asm");
    Result<std::string> r = &output == findWriter("bin") ? binaryFile(list, options, withIndex)
                                                         : codeText(list, options);
    return r ? *r : "<failed: " + r.error() + ">";
}

std::string built(const CSettings& s, std::u16string chars, const COutputWriter& output,
                  bool withIndex, unsigned threads = 0) {
    CLibraryBuilder builder(s, std::move(chars), output, withIndex);
    builder.setThreads(threads);
    CStringOutput out;
    Result<CBuildSummary> r = builder.run(out);
    if (!r)
        return "<failed: " + r.error() + ">";
    EXPECT_EQ(r->bytes, out.data().size());
    EXPECT_EQ(builder.done(), builder.total());
    return out.data();
}

std::u16string plan(const CLibraryRequest& request, const CFontSettings& font = kGb16.font(),
                    const CUnicodeOrderConsent& consent = {}) {
    Result<CCharacterPlan> p = planCharacters(request, font, consent);
    return p ? p->characters : u"<failed>";
}

CLibraryRequest custom(const std::u16string& text, bool sort = false, bool dedupe = false) {
    CLibraryRequest r;
    r.set = ECharacterSet::Custom;
    r.customText = text;
    r.sort = sort;
    r.codePageOrder = true;
    r.removeDuplicates = dedupe;
    return r;
}

uint32_t bigEndian(const std::string& s, size_t at, int bytes) {
    uint32_t v = 0;
    for (int i = 0; i < bytes; ++i)
        v = v << 8 | uint8_t(s[at + i]);
    return v;
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

struct CTempFolder {
    fs::path path;
    CTempFolder() {
        std::string pattern = (fs::temp_directory_path() / "tgw-library-XXXXXX").string();
        path = mkdtemp(pattern.data());
    }
    ~CTempFolder() { fs::remove_all(path); }
    std::vector<std::string> names() const {
        std::vector<std::string> out;
        for (const auto& e : fs::directory_iterator(path))
            out.push_back(e.path().filename().string());
        std::sort(out.begin(), out.end());
        return out;
    }
};

} // namespace

TEST(CharacterSet, AsciiGb2312AndFaceSetsInTheirOrder) {
    CLibraryRequest request;
    request.set = ECharacterSet::Ascii;
    EXPECT_EQ(plan(request), asciiCharacters(false));
    ASSERT_EQ(asciiCharacters(false).size(), 127u);
    EXPECT_EQ(asciiCharacters(false).front(), 1);
    request.printableOnly = true;
    const std::u16string printable = plan(request);
    ASSERT_EQ(printable.size(), 96u);
    EXPECT_EQ(printable.front(), u' ');
    EXPECT_EQ(printable.back(), 127);
    // What an ASCII dot font offers is the same set.
    request.set = ECharacterSet::Font;
    EXPECT_EQ(plan(request, fontSettings(kFontAscii5x7, 5, 7).font()), printable);

    // GB2312: rows A1..F7 of 94, first byte major; sorting in code-page order keeps it.
    const std::u16string gb = gb2312Characters();
    ASSERT_EQ(gb.size(), 8178u);
    EXPECT_EQ(gb.front(), u'\u3000');
    EXPECT_EQ(gb[(0xB0 - 0xA1) * 94], u'啊');
    for (size_t i = 0; i < gb.size(); ++i)
        ASSERT_EQ(ansiForm(gb[i]).code(), (0xA1 + i / 94) << 8 | (0xA1 + i % 94)) << i;
    request.set = ECharacterSet::Gb2312;
    request.sort = request.codePageOrder = true;
    EXPECT_EQ(plan(request), gb);
    request.codePageOrder = false;
    const std::u16string unicodeOrder = plan(request);
    EXPECT_TRUE(std::is_sorted(unicodeOrder.begin(), unicodeOrder.end()));
    EXPECT_EQ(unicodeOrder.size(), gb.size());

    // A face's coverage: ascending, basic plane only, no code 0, no surrogate halves.
    Result<std::u16string> dejaVu = faceCharacters(u"DejaVu Sans", false, false);
    ASSERT_TRUE(dejaVu) << dejaVu.error();
    EXPECT_GT(dejaVu->size(), 3000u);
    EXPECT_TRUE(std::adjacent_find(dejaVu->begin(), dejaVu->end(), std::greater_equal<>()) ==
                dejaVu->end());
    EXPECT_EQ(dejaVu->front(), u' ');
    EXPECT_NE(dejaVu->find(u'Ж'), std::u16string::npos);
    EXPECT_EQ(dejaVu->find(u'中'), std::u16string::npos);
    EXPECT_TRUE(std::none_of(dejaVu->begin(), dejaVu->end(),
                             [](char16_t c) { return c >= 0xD800 && c <= 0xDFFF; }));
    Result<std::u16string> wqy = faceCharacters(u"WenQuanYi Micro Hei", false, false);
    ASSERT_TRUE(wqy) << wqy.error();
    EXPECT_NE(wqy->find(u'中'), std::u16string::npos);
}

TEST(CharacterPlan, SortDedupeAndBlanks) {
    EXPECT_EQ(plan(custom(u"BAAB", true, true)), u"AB");
    EXPECT_EQ(plan(custom(u"BAAB", false, true)), u"BA"); // the first of each, where it stood
    EXPECT_EQ(plan(custom(u"BAAB", true, false)), u"AABB");
    // Code-page order: ASCII, then 啊 (B0A1) before 中 (D6D0); Unicode order the other way.
    EXPECT_EQ(plan(custom(u"中啊A", true)), u"A啊中");
    CLibraryRequest unicode = custom(u"中啊A", true);
    unicode.codePageOrder = false;
    EXPECT_EQ(plan(unicode), u"A中啊");

    // Blanks go when asked; code 0 always.
    CLibraryRequest blanks = custom(std::u16string(u"a b\r\n\u3000c\0", 9));
    EXPECT_EQ(plan(blanks), u"a b\r\n\u3000c");
    blanks.skipBlanks = true;
    EXPECT_EQ(plan(blanks), u"abc");
    // An empty custom text is a mistake, not an empty library.
    EXPECT_FALSE(planCharacters(custom(u""), kGb16.font(), {}));
}

TEST(CharacterPlan, CodePageOrderAsksBeforeFallingBackToUnicodeOrder) {
    // À has no code page 936 form: the question names it, once, and no stops the build.
    std::vector<char16_t> asked;
    bool answer = false;
    auto consent = [&](char16_t c) {
        asked.push_back(c);
        return answer;
    };
    Result<CCharacterPlan> refused = planCharacters(custom(u"中À啊A", true), kGb16.font(), consent);
    ASSERT_TRUE(refused);
    EXPECT_TRUE(refused->refused);
    EXPECT_TRUE(refused->characters.empty());
    EXPECT_EQ(asked, std::vector<char16_t>{u'À'});
    EXPECT_TRUE(planCharacters(custom(u"中À", true), kGb16.font(), {})->refused); // no one asked

    // Yes: the whole set in Unicode order.
    answer = true;
    EXPECT_EQ(plan(custom(u"中À啊A", true), kGb16.font(), consent), u"AÀ中啊");
    // Nothing to ask without sorting, in Unicode order, or when every character has a form.
    asked.clear();
    EXPECT_EQ(plan(custom(u"中À", false), kGb16.font(), consent), u"中À");
    CLibraryRequest unicode = custom(u"中À", true);
    unicode.codePageOrder = false;
    EXPECT_EQ(plan(unicode, kGb16.font(), consent), u"À中");
    EXPECT_EQ(plan(custom(u"中A", true), kGb16.font(), consent), u"A中");
    EXPECT_TRUE(asked.empty());
}

TEST(LibraryBuilder, CodeTextIsTheWritersTextOfTheSameEntries) {
    // ASCII of a dot font: 96 entries, the blank first.
    const CSettings ascii = fontSettings(kFontAscii8x16, 8, 16);
    const std::string text = built(ascii, asciiCharacters(true), *findWriter("c"), false);
    EXPECT_EQ(text, reference(ascii, asciiCharacters(true), *findWriter("c"), false));
    EXPECT_EQ(text.rfind("/*   [0x0020]    8x16 */\r\n", 0), 0u);
    size_t entries = 0;
    for (size_t at = 0; (at = text.find("x16 */\r\n", at)) != std::string::npos; ++at)
        ++entries;
    EXPECT_EQ(entries, 96u);

    // A TrueType face with half-width ASCII (two sizes), templates, both languages, to a file.
    CSettings s = fontSettings(kFontTrueType, 12, 16, u"DejaVu Sans");
    s.codeHead = u"/* %MATRIXCODE_HEAD_FONT% */\r\n";
    s.codeTail = u"\t// end\r\n";
    s.halfWidth = 1;
    const std::u16string chars = u" !AgЖ→中";
    CTempFolder dir;
    const fs::path file = dir.path / "lib.txt";
    for (const COutputWriter* writer : {findWriter("c"), findWriter("asm")}) {
        const COutputWriter& output = *writer;
        Result<CBuildSummary> r = CLibraryBuilder(s, chars, output, false).build(file.string());
        ASSERT_TRUE(r) << r.error();
        EXPECT_EQ(r->glyphs, chars.size());
        EXPECT_EQ(readFile(file), reference(s, chars, output, false));
        EXPECT_EQ(r->bytes, fs::file_size(file));
    }
}

TEST(LibraryBuilder, BinaryIndexAgreesWithItsDataAndWithTheBinaryWriter) {
    // Half-width ASCII beside full-width characters, in a column dot order: a 15 × 13 matrix
    // packs into 2 × 15 bytes, an 8 × 13 one into 2 × 8, so offsets are no multiple of one size.
    CSettings s = fontSettings(kFontTrueType, 15, 13, u"DejaVu Sans");
    s.halfWidth = 1;
    s.pointsSeq = 2;
    s.bytesSeq = 5;
    const std::u16string chars = u"A中B€ЖÀ";
    for (bool unicode : {false, true}) {
        s.useUnicode = unicode;
        const std::string data = built(s, chars, *findWriter("bin"), true);
        EXPECT_EQ(data, reference(s, chars, *findWriter("bin"), true));
        ASSERT_EQ(bigEndian(data, 0, 4), chars.size());
        uint32_t offset = 0;
        for (size_t k = 0; k < chars.size(); ++k) {
            const size_t at = 4 + 10 * k;
            const int width = chars[k] < 0x80 ? 8 : 15;
            // À has no code page 936 form: 0xFFFF unless the index holds UCS-2.
            EXPECT_EQ(bigEndian(data, at, 2),
                      uint32_t(unicode ? chars[k] : ansiForm(chars[k]).code()));
            EXPECT_EQ(bigEndian(data, at + 2, 2), uint32_t(width));
            EXPECT_EQ(bigEndian(data, at + 4, 2), 13u);
            EXPECT_EQ(bigEndian(data, at + 6, 4), offset);
            offset += uint32_t(packedLayout(width, 13, 2).size());
        }
        EXPECT_EQ(bigEndian(data, 4 + 10 * 5, 2), unicode ? 0xC0u : 0xFFFFu);
        EXPECT_EQ(data.size(), 4 + 10 * chars.size() + offset);
        EXPECT_EQ(built(s, chars, *findWriter("bin"), false), data.substr(4 + 10 * chars.size()));
    }

    // Many chunks on more workers than cores: whatever order they finish in, the file is the one
    // a single pass over the list writes.
    const std::string gb = reference(kGb16, gb2312Characters(), *findWriter("bin"), true);
    ASSERT_EQ(gb.size(), 4 + 10 * 8178 + 32 * 8178u);
    EXPECT_EQ(bigEndian(gb, 4, 2), 0xA1A1u);
    for (unsigned threads : {1u, 2u, 5u})
        EXPECT_TRUE(built(kGb16, gb2312Characters(), *findWriter("bin"), true, threads) == gb);
}

TEST(LibraryBuilder, FailuresLeaveTheTargetAsItWas) {
    CTempFolder dir;
    // An empty library is an empty file, index or not.
    Result<CBuildSummary> r =
        CLibraryBuilder(kGb16, u"", *findWriter("bin"), true).build((dir.path / "e").string());
    ASSERT_TRUE(r) << r.error();
    EXPECT_EQ(fs::file_size(dir.path / "e"), 0u);

    std::ofstream(dir.path / "keep.c") << "keep me";
    CSettings noFace = fontSettings(kFontTrueType, 16, 16);
    r = CLibraryBuilder(noFace, u"AB", *findWriter("c"), false)
            .build((dir.path / "keep.c").string());
    EXPECT_FALSE(r);
    EXPECT_EQ(readFile(dir.path / "keep.c"), "keep me");

    // A failed write ends the build with the output's reason.
    struct CFullDisk : IOutput {
        Status write(std::string_view) override { return failure("the disk is full"); }
    } full;
    r = CLibraryBuilder(kGb16, gb2312Characters(), *findWriter("c"), false).run(full);
    ASSERT_FALSE(r);
    EXPECT_EQ(r.error(), "the disk is full");

    // A file that cannot be made: start() says so and starts nothing.
    CLibraryBuilder nowhere(kGb16, u"A", *findWriter("c"), false);
    EXPECT_FALSE(nowhere.start((dir.path / "no" / "lib.c").string()));
    EXPECT_FALSE(nowhere.finished());
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"e", "keep.c"}));
}

TEST(LibraryBuilder, CancelStopsTheWorkersAndLeavesNoFile) {
    // Cancelled during the first write: nothing more is written and run() says why.
    CLibraryBuilder builder(kGb16, gb2312Characters(), *findWriter("c"), false);
    builder.setThreads(2);
    struct CCancelling : IOutput {
        CLibraryBuilder* builder;
        int writes = 0;
        Status write(std::string_view) override {
            ++writes;
            builder->cancel();
            return {};
        }
    } out;
    out.builder = &builder;
    Result<CBuildSummary> r = builder.run(out);
    ASSERT_FALSE(r);
    EXPECT_EQ(r.error(), CLibraryBuilder::cancelledMessage());
    EXPECT_EQ(out.writes, 1);
    EXPECT_LT(builder.done(), builder.total());

    // In the background: neither the file nor its temporary file stays, and a file that stood
    // there keeps its content. Large cells of a CJK face take long enough to be stopped.
    const CSettings slow = fontSettings(kFontTrueType, 64, 64, u"WenQuanYi Micro Hei");
    CTempFolder dir;
    for (bool existed : {false, true}) {
        const fs::path file = dir.path / "lib.c";
        if (existed)
            std::ofstream(file) << "old";
        CLibraryBuilder background(slow, gb2312Characters(), *findWriter("c"), false);
        ASSERT_TRUE(background.start(file.string()));
        while (background.done() == 0 && !background.waitFor(std::chrono::milliseconds(1))) {
        }
        background.cancel();
        EXPECT_FALSE(background.wait());
        EXPECT_LT(background.done(), background.total());
        EXPECT_EQ(dir.names(),
                  existed ? std::vector<std::string>{"lib.c"} : std::vector<std::string>{});
        if (existed) {
            EXPECT_EQ(readFile(file), "old");
        }
    }
    // A builder destroyed mid-build (its dialog closed) stops and cleans up the same way.
    {
        CLibraryBuilder dropped(slow, gb2312Characters(), *findWriter("bin"), true);
        ASSERT_TRUE(dropped.start((dir.path / "lib.bin").string()));
    }
    EXPECT_EQ(dir.names(), std::vector<std::string>{"lib.c"});
}

TEST(CharacterRanges, CodesRangesAndSymbolsAscendingOnce) {
    Result<std::u16string> set = rangeCharacters("0x20-0x7E, 0x4E00-0x9FA5,65", u"°±µA");
    ASSERT_TRUE(set) << set.error();
    EXPECT_EQ(set->size(), size_t(95 + 0x9FA5 - 0x4E00 + 1 + 3));
    EXPECT_TRUE(std::is_sorted(set->begin(), set->end()));
    EXPECT_EQ(std::adjacent_find(set->begin(), set->end()), set->end());
    EXPECT_EQ(set->front(), u' ');
    EXPECT_EQ(set->back(), u'\u9FA5');
    // Each end is read in its own base; a range across the surrogates keeps only characters.
    EXPECT_EQ(*rangeCharacters("U+41-66", u""), u"AB");
    EXPECT_EQ(rangeCharacters("0xD7FF-0xE000", u"")->size(), size_t(2));

    auto error = [](std::string_view ranges, std::u16string_view symbols = u"") {
        Result<std::u16string> r = rangeCharacters(ranges, symbols);
        return r ? std::string("(no error)") : r.error();
    };
    EXPECT_EQ(error("0x20-0x7E,zz"), "the range 'zz' is not a code or from-to (hex with 0x, or "
                                     "decimal)");
    EXPECT_EQ(error("0x7E-0x20"), "the range '0x7E-0x20' ends before it starts");
    EXPECT_EQ(error("1,,2"), "the ranges hold an empty piece (two commas, or a comma at an end)");
    EXPECT_EQ(error("0-5"), "the range '0-5' holds code 0, which has no glyph");
    EXPECT_EQ(error("0x1F600"),
              "the range '0x1F600' passes U+FFFF: entries hold characters of the basic plane only");
    EXPECT_EQ(error("0x20-"), "the range '0x20-' is not a code or from-to (hex with 0x, or "
                              "decimal)");
    EXPECT_EQ(error("", u"a😀"), "the symbol at position 2 lies beyond U+FFFF: entries hold "
                                "characters of the basic plane only");
}
