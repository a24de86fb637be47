#include "project/text_import.h"
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
    // FF FE: UTF-16 LE without its mark, line breaks kept, characters past a NUL kept.
    EXPECT_EQ(decodeImportedText(
                  bytes({0xFF, 0xFE, 0x41, 0, 0x2D, 0x4E, 0x0D, 0, 0x0A, 0, 0, 0, 0x42, 0})),
              std::u16string(u"A中\r\n\0B", 6));
    EXPECT_EQ(decodeImportedText(bytes({0xFF, 0xFE})), u"");
    // Half a code unit at the end is damage, shown as such rather than dropped.
    EXPECT_EQ(decodeImportedText(bytes({0xFF, 0xFE, 0x41, 0, 0x42})), u"A\uFFFD");

    // Anything else is code page 936: "中文" in GBK, and CR LF kept.
    EXPECT_EQ(decodeImportedText(bytes({0xD6, 0xD0, 0xCE, 0xC4, 0x0D, 0x0A, 0x41})), u"中文\r\nA");
    // A big-endian mark is no mark: FE FF 00 41 4E 2D is not "A中".
    const std::string bigEndian = bytes({0xFE, 0xFF, 0x00, 0x41, 0x4E, 0x2D});
    std::u16string be = decodeImportedText(bigEndian);
    EXPECT_EQ(be, fromCp936(bigEndian));
    EXPECT_EQ(be.substr(be.size() - 4), std::u16string(u"\0AN-", 4));
    // UTF-8 is not recognised: "中文" (E4 B8 AD E6 96 87) comes out as the GBK pairs E4B8 ...
    std::u16string utf8 = decodeImportedText("中文");
    EXPECT_EQ(utf8.size(), 3u);
    EXPECT_EQ(utf8[0], u'涓');
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
    fs::resize_file((test::writeBytes(dir / "full.txt", "A"), dir / "full.txt"), kMaxImportBytes);
    Result<std::u16string> full = importTextFile((dir / "full.txt").string(), &why);
    ASSERT_TRUE(full) << full.error();
    EXPECT_EQ(full->size(), kMaxImportBytes);
    EXPECT_EQ(full->front(), u'A');
    fs::resize_file(dir / "full.txt", kMaxImportBytes + 1);
    Result<std::u16string> over = importTextFile((dir / "full.txt").string(), &why);
    ASSERT_FALSE(over);
    EXPECT_EQ(why, EReadFailure::TooLarge);
    EXPECT_NE(over.error().find("16 MB"), std::string::npos) << over.error();
    fs::remove_all(dir);
}

} // namespace
} // namespace tgw
