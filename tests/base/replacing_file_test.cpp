#include "base/file_io.h"
#include "base/replacing_file.h"
#include "base/termination.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sys/stat.h>
#include <vector>

namespace tgw {
namespace {

namespace fs = std::filesystem;

std::string readFile(const fs::path& path) {
    Result<std::string> bytes = readWholeFile(path.string(), std::numeric_limits<size_t>::max());
    return bytes ? *bytes : std::string();
}

fs::path makeTempFolder() {
    std::string pattern = (fs::temp_directory_path() / "tgw-test-XXXXXX").string();
    return mkdtemp(pattern.data()) ? fs::path(pattern) : fs::path();
}

TEST(ReplacingFile, TargetChangesOnlyOnCommit) {
    const fs::path dir = makeTempFolder();
    const fs::path target = dir / "out.c", link = dir / "link.c";
    auto files = [&] { return std::distance(fs::directory_iterator(dir), {}); };
    std::ofstream(target) << "old";
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::create_symlink(target, link);
    {
        CReplacingFile file(link.string());
        ASSERT_TRUE(file.open());
        ASSERT_TRUE(file.write("half"));
        EXPECT_EQ(files(), 3);
    } // never committed: the temporary file goes, the old content stays
    EXPECT_EQ(readFile(target), "old");
    EXPECT_EQ(files(), 2);

    // Through the link: the file it points to is replaced, keeping its permissions.
    ASSERT_TRUE(writeFileReplacing(link.string(), "new"));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(readFile(target), "new");
    EXPECT_EQ(fs::status(target).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(files(), 2);

    Status s = writeFileReplacing((dir / "no/such/x.c").string(), "x");
    EXPECT_NE(s.error().find("/no/such/x.c"), std::string::npos) << s.error();
    fs::remove_all(dir);
}

// Renaming over a device would replace the device itself (as root, /dev/null).
TEST(ReplacingFile, DevicesAreWrittenInPlace) {
    ASSERT_TRUE(writeFileReplacing("/dev/null", "data"));
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
}

TEST(ReplacingFile, DanglingLinksAreFollowedAndLoopsRefused) {
    const fs::path dir = makeTempFolder();
    fs::create_directory(dir / "real");
    fs::create_symlink("real/out.c", dir / "link.c"); // relative to the link's folder
    ASSERT_TRUE(writeFileReplacing((dir / "link.c").string(), "made"));
    EXPECT_TRUE(fs::is_symlink(dir / "link.c"));
    EXPECT_EQ(readFile(dir / "real" / "out.c"), "made");

    fs::create_symlink(dir / "b.c", dir / "a.c");
    fs::create_symlink(dir / "a.c", dir / "b.c");
    Status loop = writeFileReplacing((dir / "a.c").string(), "x");
    EXPECT_FALSE(loop);
    EXPECT_NE(loop.error().find("a.c"), std::string::npos) << loop.error();
    EXPECT_TRUE(fs::is_symlink(dir / "a.c"));
    EXPECT_TRUE(fs::is_symlink(dir / "b.c"));
    fs::remove_all(dir);
}

// As the shell's `>` does; the rename would otherwise replace it without a word.
TEST(ReplacingFile, WriteProtectedFilesNeedForce) {
    const fs::path dir = makeTempFolder();
    const fs::path target = dir / "out.c";
    std::ofstream(target) << "old";
    fs::permissions(target, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    Status refused = writeFileReplacing(target.string(), "new");
    ASSERT_FALSE(refused);
    EXPECT_NE(refused.error().find("write-protected"), std::string::npos) << refused.error();
    EXPECT_EQ(readFile(target), "old");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), {}), 1);

    ASSERT_TRUE(writeFileReplacing(target.string(), "new", true));
    EXPECT_EQ(readFile(target), "new");
    EXPECT_EQ(fs::status(target).permissions(),
              fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    fs::remove_all(dir);
}

// The temporary name adds 18 bytes to the target's; near NAME_MAX it is shortened to fit.
TEST(ReplacingFile, NamesUpToTheLimitCanBeWritten) {
    const fs::path dir = makeTempFolder();
    for (size_t length : {237u, 238u, 255u}) {
        const fs::path target = dir / std::string(length, 'n');
        CReplacingFile file(target.string());
        ASSERT_TRUE(file.open()) << length;
        EXPECT_LE(fs::path(file.temporaryPath()).filename().string().size(), 255u);
        ASSERT_TRUE(file.write("x"));
        ASSERT_TRUE(file.commit()) << length;
        EXPECT_EQ(readFile(target), "x");
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), {}), 3);
    fs::remove_all(dir);
}

// Readers refuse what is not a regular file before reading a byte: /dev/zero never ends, a FIFO
// without a writer would block the open.
// The termination clean-up knows the temporary file exactly while it exists.
TEST(ReplacingFile, TemporaryFileIsRegisteredWhileItExists) {
    const fs::path dir = makeTempFolder();
    const size_t before = registeredTemporaryFiles();
    {
        CReplacingFile kept((dir / "kept.c").string()), dropped((dir / "dropped.c").string());
        ASSERT_TRUE(kept.open());
        ASSERT_TRUE(dropped.open());
        EXPECT_EQ(registeredTemporaryFiles(), before + 2);
        ASSERT_TRUE(kept.commit());
        EXPECT_EQ(registeredTemporaryFiles(), before + 1);
    }
    EXPECT_EQ(registeredTemporaryFiles(), before);
    EXPECT_TRUE(fs::exists(dir / "kept.c"));
    EXPECT_FALSE(fs::exists(dir / "dropped.c"));
    // A full table refuses, and frees its places again.
    std::vector<std::string> names;
    while (registerTemporaryFile((dir / std::to_string(names.size())).string()))
        names.push_back((dir / std::to_string(names.size())).string());
    EXPECT_EQ(registeredTemporaryFiles(), kMaxTemporaryFiles);
    for (const std::string& name : names)
        unregisterTemporaryFile(name);
    EXPECT_EQ(registeredTemporaryFiles(), before);
    fs::remove_all(dir);
}

TEST(FileIo, ReadersRefuseFoldersDevicesAndPipes) {
    const fs::path dir = makeTempFolder();
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
    for (const std::string& path :
         {dir.string(), std::string("/dev/zero"), (dir / "fifo").string()}) {
        EReadFailure why = EReadFailure::None;
        Result<std::string> bytes = readWholeFile(path, size_t(1) << 20, &why);
        ASSERT_FALSE(bytes) << path;
        EXPECT_EQ(why, EReadFailure::Open);
        EXPECT_NE(bytes.error().find(path), std::string::npos) << bytes.error();
    }
    std::ofstream(dir / "four") << "four";
    EReadFailure why = EReadFailure::None;
    EXPECT_FALSE(readWholeFile((dir / "four").string(), 3, &why));
    EXPECT_EQ(why, EReadFailure::TooLarge);
    EXPECT_EQ(readFile(dir / "four"), "four");
    fs::remove_all(dir);
}

} // namespace
} // namespace tgw
