#include "model/profile_store.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

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
