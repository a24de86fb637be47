#include "model/profile_store.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using namespace tgw;

namespace {

namespace fs = std::filesystem;

std::string contents(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

class ProfileStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "tgw-profile-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir = pattern;
    }
    void TearDown() override { fs::remove_all(dir); }

    // Loads the profile at `path`, changes one key and saves.
    Status touch(const fs::path& path) {
        CProfileStore p(path.string());
        if (Status s = p.load(); !s)
            return s;
        p.set("Tessaglyphworks", "WIDTH", "20");
        return p.save();
    }

    fs::path dir;
};

} // namespace

TEST_F(ProfileStoreTest, UnknownSectionsKeysAndCommentsSurviveASave) {
    const fs::path path = dir / "profile.ini";
    const std::string before = "; mine\n[Other]\nKEY=1\n[Tessaglyphworks]\nWIDTH=18\nFUTURE=x\n"
                               "[Last]\nA = b \n";
    std::ofstream(path) << before;
    ASSERT_TRUE(touch(path));
    EXPECT_EQ(contents(path), "; mine\n[Other]\nKEY=1\n[Tessaglyphworks]\nWIDTH=20\nFUTURE=x\n"
                              "[Last]\nA = b \n");
}

// A file that cannot be read is never written over with what little was known of it.
TEST_F(ProfileStoreTest, AnUnreadableProfileIsLeftAlone) {
    const fs::path big = dir / "big.ini";
    const std::string huge = "[Tessaglyphworks]\nWIDTH=18\n" + std::string(kMaxProfileBytes, ';');
    std::ofstream(big) << huge;
    CProfileStore p(big.string());
    Status loaded = p.load();
    ASSERT_FALSE(loaded);
    EXPECT_NE(loaded.error().find(big.string()), std::string::npos) << loaded.error();
    EXPECT_FALSE(p.get("Tessaglyphworks", "WIDTH"));
    p.set("Tessaglyphworks", "WIDTH", "20");
    EXPECT_FALSE(p.save());
    EXPECT_EQ(contents(big), huge);

    // A folder where the profile should be: refused on reading and on writing.
    fs::create_directory(dir / "folder.ini");
    EXPECT_FALSE(touch(dir / "folder.ini"));
    EXPECT_TRUE(fs::is_directory(dir / "folder.ini"));

    // A missing file is a first start, not a failure.
    EXPECT_TRUE(touch(dir / "sub" / "new.ini"));
    EXPECT_EQ(contents(dir / "sub" / "new.ini"), "[Tessaglyphworks]\nWIDTH=20\n");
}

TEST_F(ProfileStoreTest, SavingWritesThroughLinksAndKeepsTheMode) {
    const fs::path real = dir / "dotfiles" / "profile.ini", link = dir / "profile.ini";
    fs::create_directory(dir / "dotfiles");
    std::ofstream(real) << "[Tessaglyphworks]\nWIDTH=18\n";
    ::chmod(real.c_str(), 0644);
    fs::create_symlink(real, link);
    ASSERT_TRUE(touch(link));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(contents(real), "[Tessaglyphworks]\nWIDTH=20\n");
    struct stat st {};
    ASSERT_EQ(::stat(real.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0644u);

    // A dangling link (relative, as dotfile managers make them) gets the file it names.
    const fs::path dangling = dir / "dangling.ini";
    fs::create_symlink("dotfiles/later.ini", dangling);
    ASSERT_TRUE(touch(dangling));
    EXPECT_TRUE(fs::is_symlink(dangling));
    EXPECT_EQ(contents(dir / "dotfiles" / "later.ini"), "[Tessaglyphworks]\nWIDTH=20\n");

    // A loop of links is refused.
    fs::create_symlink(dir / "b.ini", dir / "a.ini");
    fs::create_symlink(dir / "a.ini", dir / "b.ini");
    EXPECT_FALSE(touch(dir / "a.ini"));
    EXPECT_TRUE(fs::is_symlink(dir / "a.ini"));
}

// A FIFO would hang the program at exit, and a device would become a regular file.
TEST_F(ProfileStoreTest, PipesAndDevicesAreNeitherReadNorReplaced) {
    const fs::path fifo = dir / "fifo.ini";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    CProfileStore p(fifo.string());
    EXPECT_FALSE(p.load());
    EXPECT_FALSE(p.save());
    EXPECT_TRUE(fs::is_fifo(fifo));

    CProfileStore zero("/dev/zero");
    EXPECT_FALSE(zero.load()); // at once, not after reading a gigabyte

    // Loaded while missing, then a FIFO appears before the save: still refused, still a FIFO.
    const fs::path late = dir / "late.ini";
    CProfileStore q(late.string());
    ASSERT_TRUE(q.load());
    ASSERT_EQ(::mkfifo(late.c_str(), 0600), 0);
    q.set("Tessaglyphworks", "WIDTH", "20");
    EXPECT_FALSE(q.save());
    EXPECT_TRUE(fs::is_fifo(late));
}

// Whatever a value holds comes back exactly; a value without control characters is written as
// it always was, and one with them cannot end its line and start another key.
TEST_F(ProfileStoreTest, EveryValueComesBackAsItWasSet) {
    const fs::path path = dir / "profile.ini";
    std::string everyByte;
    for (int c = 0; c < 256; ++c)
        everyByte.push_back(char(c));
    const std::vector<std::pair<std::string, std::string>> values = {
        {"FACENAME", "Evil\nCODEBROWSER=touch marker"},
        {"FONTFILE", std::string("/f/a\r\nb\0c.pcf\r", 14)},
        {"CODEBROWSER", "C:\\new\\x41 \\\\ tool --arg=1 "},
        {"CODEHEAD", everyByte},
        {"EMPTY", ""},
        {"TAB", "\t"},
        {"BACKSLASHES", "\\x4\\"},
    };
    {
        CProfileStore p(path.string());
        ASSERT_TRUE(p.load());
        for (const auto& [key, value] : values)
            p.set("Tessaglyphworks", key, value);
        ASSERT_TRUE(p.save());
    }
    const std::string text = contents(path);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), long(values.size()) + 1);
    EXPECT_EQ(text.find("\nCODEBROWSER=touch"), std::string::npos);
    EXPECT_NE(text.find("\nCODEBROWSER=C:\\new\\x41 \\\\ tool --arg=1 \n"), std::string::npos);
    EXPECT_NE(text.find("\nFACENAME.escaped=Evil\\nCODEBROWSER=touch marker\n"), std::string::npos);
    EXPECT_NE(text.find("\nEMPTY=\n"), std::string::npos);
    CProfileStore q(path.string());
    ASSERT_TRUE(q.load());
    for (const auto& [key, value] : values)
        EXPECT_EQ(q.get("Tessaglyphworks", key), value) << key;

    // Set again without control characters: the plain line comes back in its place.
    q.set("Tessaglyphworks", "FACENAME", "DejaVu Sans");
    ASSERT_TRUE(q.save());
    const std::string again = contents(path);
    EXPECT_EQ(again.find("FACENAME.escaped"), std::string::npos);
    EXPECT_EQ(again.find("[Tessaglyphworks]\nFACENAME=DejaVu Sans\n"), 0u);

    // A profile too large to be read back is not written.
    q.set("Tessaglyphworks", "CODETAIL", std::string(kMaxProfileBytes, 'x'));
    EXPECT_FALSE(q.save());
    EXPECT_EQ(contents(path), again);
}
