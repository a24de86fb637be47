#include "base/file_io.h"
#include "base/replacing_file.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>

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

} // namespace
} // namespace tgw
