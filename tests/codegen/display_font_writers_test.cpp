#include "codegen/output_writers.h"

#include <gtest/gtest.h>

using namespace tgw;

namespace {

CProportionalGlyph glyph(char16_t code, int w, int h, const char* dots, int advance, int x, int y) {
    CDotMatrix m(w, h);
    for (int i = 0; dots[i]; ++i)
        if (dots[i] == 'X')
            m.set(i / w, i % w, true);
    CProportionalGlyph g;
    g.code = code;
    g.dots = m;
    g.advance = advance;
    g.xOffset = x;
    g.yOffset = y;
    return g;
}

Result<std::string> write(const char* writer, const CProportionalFont& font) {
    CStringOutput out;
    if (Status s =
            findWriter(writer)->writeProportional(font, CEncodingOptions(), CWriterOptions(), out);
        !s)
        return failure(s.error());
    return std::move(out).data();
}

} // namespace

TEST(BdfFont, NamesFromTheFaceAreStrippedAndQuoted) {
    CProportionalFont font;
    font.name = "x";
    font.line = {14, 11};
    font.settings.kind = kFontTrueType;
    font.settings.face = u"Bad\x01 \"Quoted\"-Face\n\u0085";
    font.settings.size = 12;
    font.settings.italic = true;
    font.glyphs.push_back(glyph('A', 1, 1, "X", 5, 0, -1));
    Result<std::string> bdf = write("bdf", font);
    ASSERT_TRUE(bdf) << bdf.error();
    EXPECT_NE(bdf->find("FAMILY_NAME \"Bad \"\"Quoted\"\"-Face\"\n"), std::string::npos) << *bdf;
    // In the XLFD name the face's hyphen would start a new field.
    EXPECT_NE(bdf->find("\nFONT -misc-Bad  Quoted  Face-medium-i-normal--12-120-72-72-m-50-"),
              std::string::npos)
        << *bdf;
    for (char c : *bdf)
        EXPECT_TRUE(c == '\n' || static_cast<unsigned char>(c) >= 0x20) << int(c);
    EXPECT_EQ(bdf->find("\xC2\x85"), std::string::npos);
}

TEST(BdfFont, BoxesFromTheLowerLeftDotAndRowsPaddedToBytes) {
    CProportionalFont font;
    font.name = "Test 8";
    font.line = {10, 8};
    font.settings.kind = kFontTrueType;
    font.settings.face = u"Test";
    font.settings.size = 8;
    // 9 wide, two rows from row -3 above the baseline: its lowest row is 2 up.
    font.glyphs.push_back(glyph(0x4E00, 9, 2, "X.......XXXXXXXXXX", 10, 1, -4));
    font.glyphs.push_back(glyph('g', 2, 3, "XXX.XX", 3, 0, -1));
    font.glyphs.push_back(glyph('g', 1, 1, "X", 9, 0, 0)); // a repeat: the first stays
    Result<std::string> bdf = write("bdf", font);
    ASSERT_TRUE(bdf) << bdf.error();
    EXPECT_NE(bdf->find("CHARS 2\nSTARTCHAR uni0067\nENCODING 103\nSWIDTH 375 0\nDWIDTH 3 0\n"
                        "BBX 2 3 0 -2\nBITMAP\nC0\n80\nC0\nENDCHAR\n"),
              std::string::npos)
        << *bdf;
    EXPECT_NE(bdf->find("ENCODING 19968\nSWIDTH 1250 0\nDWIDTH 10 0\nBBX 9 2 1 2\nBITMAP\n"
                        "8080\nFF80\nENDCHAR\n"),
              std::string::npos)
        << *bdf;
    // The font's box holds both: x 0 to 10, y -2 to 4.
    EXPECT_NE(bdf->find("FONTBOUNDINGBOX 10 6 0 -2\n"), std::string::npos);
    EXPECT_NE(bdf->find("FONT_ASCENT 8\nFONT_DESCENT 2\n"), std::string::npos);
    EXPECT_FALSE(write("bdf", CProportionalFont()));
}

TEST(U8g2Font, HeaderFieldsAndTheJumpTableOfAFontWithoutHighCodes) {
    CProportionalFont font;
    font.name = "Test 8";
    font.glyphs.push_back(glyph(' ', 0, 0, "", 3, 0, 0));
    font.glyphs.push_back(glyph('A', 3, 2, "XXXX.X", 4, 0, -2));
    font.glyphs.push_back(glyph('b', 1, 3, "XXX", 2, 1, -3));
    Result<std::string> c = write("u8g2", font);
    ASSERT_TRUE(c) << c.error();
    ASSERT_NE(c->find("const uint8_t Test8["), std::string::npos) << *c;
    std::vector<unsigned> bytes;
    for (size_t at = c->find("0x"); at != std::string::npos; at = c->find("0x", at + 4))
        bytes.push_back(unsigned(std::stoul(c->substr(at + 2, 2), nullptr, 16)));
    ASSERT_GE(bytes.size(), 23u);
    EXPECT_EQ(bytes[0], 3u); // glyphs
    EXPECT_EQ(bytes[1], 0u); // proportional
    // The font's box: 1 + 3 wide from x 0, 3 high from the baseline up.
    EXPECT_EQ(bytes[9], 3u);
    EXPECT_EQ(bytes[10], 3u);
    EXPECT_EQ(bytes[11], 0u);
    EXPECT_EQ(bytes[12], 0u);
    EXPECT_EQ(bytes[13], 2u); // 'A' stands 2 high
    // The blank's record comes first: 'A' after it, 'a' and on at 'b'.
    const unsigned blank = bytes[23 + 1];
    EXPECT_EQ(bytes[17] << 8 | bytes[18], blank);
    const unsigned b = blank + bytes[23 + blank + 1];
    EXPECT_EQ(bytes[19] << 8 | bytes[20], b);
    EXPECT_EQ(bytes[23 + b], unsigned('b'));
    // The end of the first part, then one jump entry past itself to the end mark.
    const unsigned unicode = bytes[21] << 8 | bytes[22];
    const unsigned end = b + bytes[23 + b + 1];
    EXPECT_EQ(unicode, end + 2);
    EXPECT_EQ(bytes[23 + end + 1], 0u);
    const std::vector<unsigned> tail(bytes.end() - 6, bytes.end());
    EXPECT_EQ(tail, (std::vector<unsigned>{0, 4, 0xFF, 0xFF, 0, 0}));
    EXPECT_EQ(bytes.size(), 23 + unicode + 6u);
}

// Reads the first glyph's dots back from the array: its fields from the lowest bit of each
// byte, then pairs of runs, each followed by 1 bits for its repeats and a 0.
TEST(U8g2Font, RunsAcrossWordsAndLongerThanTheTableDecodeToTheDots) {
    // 70 wide: rows cross 64-dot words; a row of ink, four empty rows (a run of 280), then
    // stripes of changing width, the last byte of the stream partly filled.
    std::string dots;
    for (int r = 0; r < 9; ++r)
        for (int c = 0; c < 70; ++c)
            dots += r == 0 || (r > 4 && (c / (r - 2)) % 2 == 1) ? 'X' : '.';
    CProportionalFont font;
    font.name = "Runs";
    font.glyphs.push_back(glyph('A', 70, 9, dots.c_str(), 71, 0, -9));
    Result<std::string> c = write("u8g2", font);
    ASSERT_TRUE(c) << c.error();
    std::vector<uint8_t> bytes;
    for (size_t at = c->find("0x"); at != std::string::npos; at = c->find("0x", at + 4))
        bytes.push_back(uint8_t(std::stoul(c->substr(at + 2, 2), nullptr, 16)));
    ASSERT_GT(bytes.size(), 25u);
    size_t bit = (23 + 2) * 8; // past the header, the code and the size
    auto read = [&](int n) {
        unsigned v = 0;
        for (int k = 0; k < n; ++k, ++bit)
            v |= unsigned((bytes.at(bit / 8) >> (bit % 8)) & 1) << k;
        return v;
    };
    const int bits0 = bytes[2], bits1 = bytes[3];
    EXPECT_EQ(read(bytes[4]), 70u);
    EXPECT_EQ(read(bytes[5]), 9u);
    read(bytes[6] + bytes[7] + bytes[8]);
    std::string drawn;
    while (drawn.size() < dots.size()) {
        const unsigned zeros = read(bits0), ink = read(bits1);
        do
            drawn += std::string(zeros, '.') + std::string(ink, 'X');
        while (read(1) == 1);
    }
    EXPECT_EQ(drawn, dots);
}

TEST(WriterTable, FontFormatsOfOtherProgramsTakeOneBitADot) {
    for (const char* name : {"bdf", "u8g2"}) {
        const COutputWriter* w = findWriter(name);
        ASSERT_NE(w, nullptr) << name;
        EXPECT_TRUE(w->proportional());
        EXPECT_TRUE(w->takesDepth(1));
        EXPECT_FALSE(w->takesDepth(2));
        EXPECT_FALSE(w->takesDepth(0));
    }
    EXPECT_FALSE(findWriter("bdf")->takesName);
    EXPECT_TRUE(findWriter("u8g2")->takesName);
}

namespace {

Result<std::string> writeWith(const char* writer, const CProportionalFont& font,
                              const CWriterOptions& options) {
    CStringOutput out;
    if (Status s = findWriter(writer)->writeProportional(font, CEncodingOptions(), options, out);
        !s)
        return failure(s.error());
    return std::move(out).data();
}

// A font of one-dot glyphs at `codes`, `depth` bits a dot.
CProportionalFont dotsAt(const std::u16string& codes, int depth = 1) {
    CProportionalFont font;
    font.name = "Dots 8";
    font.line = {10, 8};
    for (char16_t c : codes) {
        CProportionalGlyph g;
        g.code = c;
        g.dots = CBitMatrix(1, 1, depth);
        g.dots.setLevel(0, 0, 1);
        g.yOffset = -1;
        g.advance = 2;
        font.glyphs.push_back(g);
    }
    return font;
}

size_t count(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

} // namespace

TEST(LvglFont, RunsGetMapsOfTheirOwnAndScatteredCodesShareASparseOne) {
    std::u16string codes;
    for (char16_t c = 0x20; c < 0x7F; ++c)
        codes += c;
    codes += u"\u4E00\u4E10\u4E20\u4E21\u00B0";
    Result<std::string> text = writeWith("lvgl", dotsAt(codes), CWriterOptions());
    ASSERT_TRUE(text) << text.error();
    EXPECT_EQ(count(*text, "LV_FONT_FMT_TXT_CMAP_FORMAT0_TINY}"), 1u);
    EXPECT_EQ(count(*text, "LV_FONT_FMT_TXT_CMAP_SPARSE_TINY}"), 1u);
    EXPECT_NE(text->find(".range_start = 32, .range_length = 95, .glyph_id_start = 1,"),
              std::string::npos);
    // The degree sign sorts after ASCII: glyph ids follow the codes.
    EXPECT_NE(text->find(".range_start = 176, .range_length = 19826, .glyph_id_start = 96,"),
              std::string::npos);
    EXPECT_NE(text->find("0x0, 0x4D50, 0x4D60, 0x4D70, 0x4D71,"), std::string::npos);
    EXPECT_NE(text->find(".cmap_num = 2,"), std::string::npos);
    EXPECT_NE(text->find("const lv_font_t lv_font_dots_8 = {"), std::string::npos);
}

TEST(LvglFont, KerningAsClassesWhenDenseAndAsPairsWhenSparse) {
    CProportionalFont font = dotsAt(u"ABCDEFGH");
    // Every left glyph kerns every right one alike: one class a side beats 64 pairs.
    for (char16_t l : u"ABCDEFGH")
        for (char16_t r : u"ABCDEFGH")
            if (l && r)
                font.kerning.push_back({l, r, -64});
    Result<std::string> text = writeWith("lvgl", font, CWriterOptions());
    ASSERT_TRUE(text) << text.error();
    EXPECT_NE(text->find(".kern_classes = 1,"), std::string::npos);
    EXPECT_NE(text->find(".left_class_cnt = 1,"), std::string::npos);
    EXPECT_NE(text->find("kern_class_values[] = {\n    -16,\n};"), std::string::npos);
    // Two pairs: as pairs; values below 1/32 dot vanish, large ones scale.
    font = dotsAt(u"ABV");
    font.kerning = {{u'A', u'V', -40 * 64}, {u'V', u'A', 1}, {u'V', u'B', 8 * 64}};
    text = writeWith("lvgl", font, CWriterOptions());
    ASSERT_TRUE(text) << text.error();
    EXPECT_NE(text->find(".kern_classes = 0,"), std::string::npos);
    EXPECT_NE(text->find("_kern_pair_glyph_ids[] = {\n    1, 3, 3, 2,\n};"), std::string::npos);
    EXPECT_NE(text->find(".pair_cnt = 2,"), std::string::npos);
    // -40 dots is -640/16: the 12.4 scale grows so that it fits a signed byte (-126 × 81/16).
    EXPECT_NE(text->find(".kern_scale = 81,"), std::string::npos);
    EXPECT_NE(text->find("_kern_pair_values[] = {\n    -126, 25,\n};"), std::string::npos);
    // Off: nothing of it.
    CWriterOptions off;
    off.kerning = false;
    CProportionalFont plain = dotsAt(u"ABCDEFGH");
    text = writeWith("lvgl", plain, off);
    ASSERT_TRUE(text) << text.error();
    EXPECT_NE(text->find(".kern_dsc = NULL,"), std::string::npos);
}

TEST(LvglFont, CompressionAtTwoAndFourBitsOnly) {
    CWriterOptions compressed;
    compressed.compression = ECompression::RleXorFilter;
    for (int depth : {1, 2, 4, 8}) {
        const bool held = depth == 2 || depth == 4;
        EXPECT_EQ(bool(checkWriterChoices(*findWriter("lvgl"), compressed, depth)), held) << depth;
        EXPECT_EQ(bool(writeWith("lvgl-bin", dotsAt(u"AB", depth), compressed)), held) << depth;
    }
    EXPECT_FALSE(checkWriterChoices(*findWriter("bdf"), compressed, 1));
    EXPECT_TRUE(checkWriterChoices(*findWriter("bdf"), CWriterOptions(), 1));
    CWriterOptions eight;
    eight.libraryVersion = 8;
    Result<std::string> text = writeWith("lvgl", dotsAt(u"AB", 4), eight);
    ASSERT_TRUE(text);
    EXPECT_NE(text->find(".cache = &lv_font_dots_8_cache,"), std::string::npos);
    EXPECT_NE(text->find("#if LVGL_VERSION_MAJOR != 8\n"), std::string::npos);
}

TEST(LvglFont, OtherFormatsIgnoreKerning) {
    CProportionalFont font = dotsAt(u"AV");
    const CProportionalFont kerned = [&] {
        CProportionalFont k = font;
        k.kerning = {{u'A', u'V', -128}};
        return k;
    }();
    for (const COutputWriter& w : outputWriters()) {
        if (!w.proportional() || w.takesKerning)
            continue;
        EXPECT_EQ(writeWith(w.name, font, CWriterOptions()).value(),
                  writeWith(w.name, kerned, CWriterOptions()).value())
            << w.name;
    }
}
