#include "project/text_import.h"

#include "base/codepage.h"
#include "base/text.h"
#include "project_test_support.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace tgw {
namespace {

namespace fs = std::filesystem;

std::string bytes(std::initializer_list<int> values) {
    std::string s;
    for (int v : values)
        s.push_back(char(v));
    return s;
}

TEST(TextImport, DecodingByByteOrderMark) {
    EXPECT_EQ(decodeImportedText(""), u"");
    // FF FE: UTF-16 LE without its mark, line breaks kept.
    EXPECT_EQ(decodeImportedText(bytes({0xFF, 0xFE, 0x41, 0, 0x2D, 0x4E, 0x0D, 0, 0x0A, 0})),
              u"A中\r\n");
    EXPECT_EQ(decodeImportedText(bytes({0xFF, 0xFE})), u"");
    // FE FF: UTF-16 BE.
    EXPECT_EQ(decodeImportedText(bytes({0xFE, 0xFF, 0x00, 0x41, 0x4E, 0x2D})), u"A中");
    // An odd last byte pairs with a zero byte: the low byte in LE, the high byte in BE.
    EXPECT_EQ(decodeImportedText(bytes({0xFF, 0xFE, 0x41, 0, 0x42})), u"AB");
    EXPECT_EQ(decodeImportedText(bytes({0xFE, 0xFF, 0x00, 0x41, 0x4E})), u"A\u4E00");
    // EF BB BF: UTF-8 without its mark, even where the bytes would be code page 936 too.
    EXPECT_EQ(decodeImportedText("\xEF\xBB\xBF中文\n"), u"中文\n");
    EXPECT_EQ(decodeImportedText(bytes({0xEF, 0xBB, 0xBF, 0xC4, 0xA3})), u"\u0123");

    // The text ends at its first zero character, in every encoding.
    EXPECT_EQ(decodeImportedText(bytes({0xFF, 0xFE, 0x41, 0, 0, 0, 0x42, 0})), u"A");
    EXPECT_EQ(decodeImportedText(bytes({0xFE, 0xFF, 0, 0x41, 0, 0, 0, 0x42})), u"A");
    EXPECT_EQ(decodeImportedText(std::string("A\0B", 3)), u"A");
    EXPECT_EQ(decodeImportedText(bytes({0xD6, 0xD0, 0xCE, 0xC4, 0, 0x41})), u"中文");
}

TEST(TextImport, UnmarkedTextIsUtf8WhenValidElseCodePage936) {
    // What editors here write: the 64 characters U+4E00..U+4E3F, one entry each.
    std::u16string hanzi;
    for (char16_t c = 0x4E00; c < 0x4E40; ++c)
        hanzi.push_back(c);
    EXPECT_EQ(decodeImportedText(utf16ToUtf8(hanzi)), hanzi);
    EXPECT_EQ(decodeImportedText("plain ASCII\r\n"), u"plain ASCII\r\n");

    // Malformed UTF-8 is code page 936: a cut sequence, an overlong form, a surrogate.
    EXPECT_EQ(decodeImportedText(bytes({0xE4, 0xB8})), fromCp936(bytes({0xE4, 0xB8})));
    EXPECT_EQ(decodeImportedText(bytes({0xC0, 0xAF})), fromCp936(bytes({0xC0, 0xAF})));
    EXPECT_EQ(decodeImportedText(bytes({0xED, 0xA0, 0x80})), fromCp936(bytes({0xED, 0xA0, 0x80})));

    // GBK text of any length past a character or two is not valid UTF-8: sentences, and every
    // row of GB2312's hanzi (94 characters a row) come back as written.
    for (const char16_t* text : {u"中文", u"你好，世界！", u"欢迎使用点阵字模工具\r\n第二行",
                                 u"温度：25℃ 湿度：60％", u"确定 取消 返回 设置"}) {
        const std::string gbk = toCp936(text);
        EXPECT_EQ(decodeImportedText(gbk), text) << utf16ToUtf8(text);
    }
    for (int lead = 0xB0; lead <= 0xF7; ++lead) {
        std::string gbk;
        for (int trail = 0xA1; trail <= 0xFE; ++trail) {
            if (!ansiToUnicode(uint8_t(lead), uint8_t(trail)))
                continue;
            gbk.push_back(char(lead));
            gbk.push_back(char(trail));
        }
        EXPECT_EQ(decodeImportedText(gbk), fromCp936(gbk)) << "row " << lead;
    }
}

TEST(TextImport, FilesAndTheirFailures) {
    const fs::path dir = test::makeTempFolder();
    EReadFailure why = EReadFailure::Read;

    test::writeBytes(dir / "empty.txt", "");
    Result<std::u16string> empty = importTextFile((dir / "empty.txt").string(), &why);
    ASSERT_TRUE(empty);
    EXPECT_EQ(*empty, u"");
    EXPECT_EQ(why, EReadFailure::None);

    test::writeBytes(dir / "utf16.txt", bytes({0xFF, 0xFE, 0x2D, 0x4E, 0x0A, 0}));
    EXPECT_EQ(*importTextFile((dir / "utf16.txt").string()), u"中\n");
    // Devices and pipes are refused before a byte is read: /dev/zero would never end, and a
    // FIFO without a writer would wait for one.
    Result<std::u16string> device = importTextFile("/dev/zero", &why);
    ASSERT_FALSE(device);
    EXPECT_EQ(why, EReadFailure::Open);
    EXPECT_NE(device.error().find("/dev/zero"), std::string::npos);
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
    EXPECT_FALSE(importTextFile((dir / "fifo").string(), &why));
    EXPECT_EQ(why, EReadFailure::Open);

    Result<std::u16string> missing = importTextFile((dir / "none.txt").string(), &why);
    ASSERT_FALSE(missing);
    EXPECT_EQ(why, EReadFailure::Open);
    EXPECT_NE(missing.error().find("none.txt"), std::string::npos);
    EXPECT_FALSE(importTextFile(dir.string(), &why));
    EXPECT_EQ(why, EReadFailure::Open);

    // Exactly at the limit is read; one byte over is refused before reading.
    test::writeBytes(dir / "full.txt", std::string(kMaxImportBytes, 'A'));
    Result<std::u16string> full = importTextFile((dir / "full.txt").string(), &why);
    ASSERT_TRUE(full) << full.error();
    EXPECT_EQ(full->size(), kMaxImportBytes);
    fs::resize_file(dir / "full.txt", kMaxImportBytes + 1);
    Result<std::u16string> over = importTextFile((dir / "full.txt").string(), &why);
    ASSERT_FALSE(over);
    EXPECT_EQ(why, EReadFailure::TooLarge);
    EXPECT_NE(over.error().find("16 MB"), std::string::npos) << over.error();
    fs::remove_all(dir);
}

} // namespace
} // namespace tgw
