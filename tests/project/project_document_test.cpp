#include "project/glyph_document.h"
#include "project/project_document.h"
#include "project_test_support.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

namespace tgw {
namespace {

namespace fs = std::filesystem;
using test::kStamp;

class ProjectDocumentTest : public ::testing::Test {
protected:
    void TearDown() override { fs::remove_all(dir); }

    size_t filesInFolder() const { return size_t(std::distance(fs::directory_iterator(dir), {})); }

    test::CBlankRasteriser raster;
    CGlyphList list{raster};
    fs::path dir = test::makeTempFolder();
    fs::path file = dir / "work.tgx";
};

TEST_F(ProjectDocumentTest, OpenReplacesTheEntriesOnlyOnSuccess) {
    test::fillSampleDocument(list);
    ASSERT_TRUE(saveProject(list, file.string(), kStamp));
    const std::string saved = test::readBytes(file);

    test::CBlankRasteriser r2;
    CGlyphDocument doc(r2);
    doc.addCharacters(u"XY", test::builtinFont(kFontAscii5x7, 5, 7), {});
    ASSERT_TRUE(doc.modified());
    Status opened = doc.open(file.string());
    ASSERT_TRUE(opened) << opened.error();
    EXPECT_EQ(doc.list().size(), 5u);
    EXPECT_TRUE(doc.list().at(0).isCharacter());
    EXPECT_FALSE(doc.modified());
    EXPECT_FALSE(doc.history().canUndo());
    EXPECT_EQ(doc.path(), file.string());
    Result<std::string> again = writeProject(doc.entries(), kStamp);
    EXPECT_EQ(*again, saved);

    // A missing file and a damaged one: the document stays as it was, and the message names
    // the file.
    doc.entries().selectAll();
    doc.editSelected(EMatrixEdit::Invert);
    const CGlyphEntry* first = &doc.list().at(0);
    Status missing = doc.open((dir / "none.tgx").string());
    ASSERT_FALSE(missing);
    EXPECT_NE(missing.error().find("none.tgx"), std::string::npos) << missing.error();
    test::writeBytes(dir / "cut.tgx", saved.substr(0, saved.size() - 40));
    Status cut = doc.open((dir / "cut.tgx").string());
    ASSERT_FALSE(cut);
    EXPECT_NE(cut.error().find("cut.tgx"), std::string::npos) << cut.error();
    EXPECT_EQ(doc.list().size(), 5u);
    EXPECT_EQ(&doc.list().at(0), first);
    EXPECT_TRUE(doc.modified());
    EXPECT_TRUE(doc.history().canUndo());
    EXPECT_EQ(doc.path(), file.string());

    // Saved to its own file unmodified: nothing to write; to another file it is written and
    // becomes the document's file.
    ASSERT_TRUE(doc.save(file.string(), kStamp));
    EXPECT_FALSE(doc.modified());
    EXPECT_FALSE(doc.saveNeeded(file.string()));
    EXPECT_TRUE(doc.saveNeeded((dir / "copy.tgx").string()));
    ASSERT_TRUE(doc.save((dir / "copy.tgx").string(), kStamp));
    EXPECT_EQ(doc.path(), (dir / "copy.tgx").string());
    EXPECT_EQ(test::readBytes(dir / "copy.tgx"), test::readBytes(file));
    doc.undo(); // back past the save: modified again
    EXPECT_TRUE(doc.modified());

    doc.newProject();
    EXPECT_TRUE(doc.list().empty());
    EXPECT_FALSE(doc.modified());
    EXPECT_TRUE(doc.path().empty());
    EXPECT_FALSE(doc.history().canUndo());
}

TEST_F(ProjectDocumentTest, SaveReplacesTheFileOnlyWhenTheNewOneIsWhole) {
    test::writeBytes(file, "previous good file");
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::create_symlink(file, dir / "link.tgx");
    test::fillSampleDocument(list);
    ASSERT_TRUE(saveProject(list, (dir / "link.tgx").string(), kStamp));
    EXPECT_EQ(test::readBytes(file), *writeProject(list, kStamp));
    EXPECT_TRUE(fs::is_symlink(dir / "link.tgx"));
    EXPECT_EQ(fs::status(file).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(filesInFolder(), 2u);

    // An entry that cannot be rendered: no file is touched.
    test::writeBytes(file, "previous good file");
    struct CFailingRasteriser : test::CBlankRasteriser {
        Status renderPicture(const std::u16string&, uint8_t, CDotMatrix&) override {
            return failure("unreadable picture");
        }
    } failing;
    list.append(std::make_unique<CPictureEntry>(failing, u"/gone.bmp", 1));
    Status s = saveProject(list, file.string(), kStamp);
    ASSERT_FALSE(s);
    EXPECT_EQ(s.error(), "entry 6 ('/gone.bmp'): unreadable picture");
    EXPECT_EQ(test::readBytes(file), "previous good file");
    EXPECT_EQ(filesInFolder(), 2u);

    EXPECT_FALSE(saveProject(list, (dir / "no/such/folder.tgx").string(), kStamp));
    EXPECT_FALSE(saveProject(list, dir.string(), kStamp));
}

// The disk fills up half-way through the new file (here: a file size limit): the old file must
// come through whole and no half-written file may be left beside it.
TEST_F(ProjectDocumentTest, AWriteThatFailsHalfWayKeepsThePreviousFile) {
    test::writeBytes(file, "previous good file");
    auto big = std::make_unique<CPictureEntry>(raster, u"/big.bmp", 1);
    big->setMatrix(test::patterned(2048, 64, 0)); // about 270 KB in the file
    list.append(std::move(big));

    struct rlimit saved {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    struct rlimit small = saved;
    small.rlim_cur = 64 * 1024;
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    Status s = saveProject(list, file.string(), kStamp);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    ASSERT_FALSE(s);
    EXPECT_NE(s.error().find("work.tgx"), std::string::npos) << s.error();
    EXPECT_EQ(test::readBytes(file), "previous good file");
    EXPECT_EQ(filesInFolder(), 1u);
}

TEST_F(ProjectDocumentTest, SaveIsNeededUnlessUnmodifiedToItsOwnFile) {
    test::writeBytes(file, "x");
    const std::string same = (dir / "." / "work.tgx").string();
    EXPECT_FALSE(projectSaveNeeded(false, file.string(), same));
    EXPECT_TRUE(projectSaveNeeded(false, file.string(), (dir / "other.tgx").string()));
    EXPECT_TRUE(projectSaveNeeded(false, "", file.string()));
    EXPECT_TRUE(projectSaveNeeded(true, file.string(), file.string()));
    // The document's file was deleted meanwhile: writing nothing would lose the work.
    fs::remove(file);
    EXPECT_TRUE(projectSaveNeeded(false, file.string(), file.string()));
}

} // namespace
} // namespace tgw
