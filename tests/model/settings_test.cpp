#include "model/settings.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <unistd.h>

using namespace tgw;

namespace {

class SettingsTest : public ::testing::Test {
protected:
    // One file per test and process: CTest runs the tests of this suite side by side.
    std::string path = ::testing::TempDir() + "tgw_settings_" +
                       ::testing::UnitTest::GetInstance()->current_test_info()->name() + "_" +
                       std::to_string(::getpid()) + ".ini";
    void SetUp() override { std::remove(path.c_str()); }
    void TearDown() override { std::remove(path.c_str()); }

    void writeProfile(const std::string& text) { std::ofstream(path) << text; }
    CSettings loaded() {
        CProfileStore p(path);
        EXPECT_TRUE(p.load());
        CSettings s;
        s.load(p);
        return s;
    }
    std::string stored(const std::string& key) {
        CProfileStore p(path);
        EXPECT_TRUE(p.load());
        return p.get(kProfileSection, key).value_or("<missing>");
    }
};

} // namespace

TEST_F(SettingsTest, FirstStartGivesTheDefaults) {
    CSystemFont gui{u"Noto Sans", 700, true, false, true};
    CProfileStore p(path);
    ASSERT_TRUE(p.load());
    CSettings s;
    s.load(p, gui);
    EXPECT_EQ(s.width, 18u);
    EXPECT_EQ(s.height, 18u);
    EXPECT_EQ(s.pointSize, 4);
    EXPECT_EQ(s.threshold, 184);
    EXPECT_EQ(s.color, 1);
    EXPECT_EQ(s.fontType, 6);
    EXPECT_EQ(s.filterRedup, 1);
    EXPECT_EQ(s.filterSpace, 1);
    EXPECT_EQ(s.faceName, u"Noto Sans");
    EXPECT_EQ(s.bold, 1);
    EXPECT_EQ(s.italic, 1);
    EXPECT_EQ(s.underline, 1);
    EXPECT_EQ(s.strikeout, 0);
    EXPECT_EQ(s.codeHead, u"/* %MATRIXCODE_HEAD_FONT%*/\r\n"); // a real line break already
    EXPECT_EQ(s.codeTail, u"");
    EXPECT_EQ(s.codeBrowser, u"wordpad.exe");
}

TEST_F(SettingsTest, TemplatesAreStoredWithMarkersAndComeBackUnchanged) {
    CSettings s = CSettings::defaults();
    s.codeHead = u"a\tb\r\nc";
    s.codeTail = u"x\r\ny\nz\r";
    CProfileStore p(path);
    s.save(p);
    ASSERT_TRUE(p.save());
    EXPECT_EQ(stored("CODEHEAD"), "a%MATRIXCODE_HEAD_TAB%b%MATRIXCODE_HEAD_CRLF%c");
    CSettings back = loaded();
    EXPECT_EQ(back.codeHead, s.codeHead);
}

TEST_F(SettingsTest, NumbersAreStoredAsTheirTexts) {
    CSettings s = CSettings::defaults();
    s.offset = -3;
    s.width = 2048;
    CProfileStore p(path);
    s.save(p);
    ASSERT_TRUE(p.save());
    EXPECT_EQ(stored("OFFSET"), "-3");
    EXPECT_EQ(stored("WIDTH"), "2048");
    CSettings back = loaded();
    EXPECT_EQ(back.offset, -3);
    EXPECT_EQ(back.width, 2048u);
}

// The font-file keys are written only once set, and a cleared file is stored as cleared.
TEST_F(SettingsTest, FontFileKeysAreOptional) {
    CSettings s = CSettings::defaults();
    {
        CProfileStore p(path);
        s.save(p);
        ASSERT_TRUE(p.save());
    }
    for (const char* key : {"FONTFILE", "FACEINDEX", "FITCELL"})
        EXPECT_EQ(stored(key), "<missing>") << key;
    s.fontFile = "/fonts/my font.ttc";
    s.faceIndex = 2;
    s.fitCell = 1;
    {
        CProfileStore p(path);
        ASSERT_TRUE(p.load());
        s.save(p);
        ASSERT_TRUE(p.save());
    }
    CSettings back = loaded();
    EXPECT_EQ(back.font().fontFile, "/fonts/my font.ttc");
    EXPECT_EQ(back.font().faceIndex, 2);
    EXPECT_TRUE(back.font().fitCell);
    s.fontFile.clear();
    s.fitCell = 0;
    {
        CProfileStore p(path);
        ASSERT_TRUE(p.load());
        s.save(p);
        ASSERT_TRUE(p.save());
    }
    back = loaded();
    EXPECT_EQ(back.fontFile, "");
    EXPECT_EQ(back.faceIndex, 0);
    EXPECT_EQ(back.fitCell, 0);
}

// The picture keys stay out of a profile until a conversion other than the plain threshold
// is chosen; once there, they follow the choice back to the default.
TEST_F(SettingsTest, PictureKeysAreWrittenOnceSet) {
    CSettings s = CSettings::defaults();
    {
        CProfileStore p(path);
        s.save(p);
        ASSERT_TRUE(p.save());
    }
    EXPECT_EQ(stored("PICTUREMETHOD"), "<missing>");
    EXPECT_EQ(stored("PICTURESCALE"), "<missing>");
    s.pictureMethod = EPictureMethod::kBayer;
    s.pictureScale = EPictureScale::kFill;
    {
        CProfileStore p(path);
        ASSERT_TRUE(p.load());
        s.save(p);
        ASSERT_TRUE(p.save());
    }
    EXPECT_EQ(stored("PICTUREMETHOD"), "3");
    EXPECT_EQ(stored("PICTURESCALE"), "2");
    EXPECT_EQ(stored("PICTUREINVERT"), "<missing>");
    CSettings back = loaded();
    EXPECT_EQ(back.pictureOptions().method, EPictureMethod::kBayer);
    EXPECT_EQ(back.pictureOptions().targetWidth, 18);
    s.pictureMethod = EPictureMethod::kThreshold;
    {
        CProfileStore p(path);
        ASSERT_TRUE(p.load());
        s.save(p);
        ASSERT_TRUE(p.save());
    }
    EXPECT_EQ(stored("PICTUREMETHOD"), "0");
    writeProfile("[Tessaglyphworks]\nPICTUREMETHOD=4\nPICTURESCALE=-1\nPICTUREINVERT=0\n");
    EXPECT_TRUE(loaded().pictureOptions().plain());
}

// DEPTH stays out of a profile of one-bit work; a grey depth goes into new fonts and pictures
// and back; a depth no entry can have reads as the default.
TEST_F(SettingsTest, DepthIsWrittenOnceGrey) {
    CSettings s = CSettings::defaults();
    {
        CProfileStore p(path);
        s.save(p);
        ASSERT_TRUE(p.save());
    }
    EXPECT_EQ(stored("DEPTH"), "<missing>");
    s.depth = 4;
    {
        CProfileStore p(path);
        ASSERT_TRUE(p.load());
        s.save(p);
        ASSERT_TRUE(p.save());
    }
    EXPECT_EQ(stored("DEPTH"), "4");
    CSettings back = loaded();
    EXPECT_EQ(back.font().depth, 4);
    EXPECT_EQ(back.pictureOptions().depth, 4);
    EXPECT_FALSE(back.pictureOptions().plain());
    writeProfile("[Tessaglyphworks]\nDEPTH=3\n");
    EXPECT_EQ(loaded().depth, 1);
}

// The recent projects and the code text's encoding are newer keys: absent until used, then
// kept; the list holds each path once, the latest first, at most kMaxRecentFiles.
TEST_F(SettingsTest, RecentFilesAndCodeEncodingAreWrittenOnceUsed) {
    CSettings s = CSettings::defaults();
    auto save = [&] {
        CProfileStore p(path);
        ASSERT_TRUE(p.load());
        s.save(p);
        ASSERT_TRUE(p.save());
    };
    save();
    EXPECT_EQ(stored("RECENTFILES"), "<missing>");
    EXPECT_EQ(stored("CODEENCODING"), "<missing>");
    for (int i = 0; i < 10; ++i)
        s.addRecentFile("/p/" + std::to_string(i) + ".tgx");
    s.addRecentFile("/p/5.tgx");
    s.addRecentFile("/p/a\nb.tgx"); // would split the list: not kept
    s.codeEncoding = kCodeEncodingUtf8;
    save();
    const std::vector<std::string> expected = {"/p/5.tgx", "/p/9.tgx", "/p/8.tgx", "/p/7.tgx",
                                               "/p/6.tgx", "/p/4.tgx", "/p/3.tgx", "/p/2.tgx"};
    EXPECT_EQ(s.recentFiles, expected);
    EXPECT_EQ(loaded().recentFiles, expected);
    EXPECT_EQ(loaded().codeEncoding, kCodeEncodingUtf8);
    writeProfile("[Tessaglyphworks]\nCODEENCODING=7\n");
    EXPECT_EQ(loaded().codeEncoding, kCodeEncodingCp936);
}

TEST_F(SettingsTest, WindowPlaceIsWrittenOnlyOnceKnownAndGarbageIsIgnored) {
    CSettings s = CSettings::defaults();
    {
        CProfileStore p(path);
        s.save(p);
        ASSERT_TRUE(p.save());
    }
    EXPECT_EQ(stored("WINDOWRECT"),
              "<missing>"); // older profiles and first starts stay as they were
    EXPECT_FALSE(loaded().windowRect);

    s.windowRect = std::array<int, 4>{-8, 30, 1240, 720};
    {
        CProfileStore p(path);
        s.save(p);
        ASSERT_TRUE(p.save());
    }
    EXPECT_EQ(stored("WINDOWRECT"), "-8,30,1240,720");
    EXPECT_EQ(loaded().windowRect, s.windowRect);

    for (const char* bad : {"1,2,3", "1,2,0,5", "1,2,3,4x", "a,b,c,d", "0,0,200000,10", ""}) {
        writeProfile(std::string("[Tessaglyphworks]\nWINDOWRECT=") + bad + "\n");
        EXPECT_FALSE(loaded().windowRect) << bad;
    }
}

TEST_F(SettingsTest, GarbageAndOutOfRangeValuesGiveTheDefaults) {
    writeProfile("[Other]\nWIDTH=99\n[Tessaglyphworks]\nWIDTH=0\nHEIGHT=banana\nTHRESHOLD=300\n"
                 "COLOR=9\nFONTTYPE=-1\nPOINTSSEQ=4\nBYTESSEQ=12\nPOINTSIZE=11\nMOUSEDRAW=7\n"
                 "FACENAME=\nFONTSIZE=12px\n");
    CSettings s = loaded();
    EXPECT_EQ(s.width, 18u);
    EXPECT_EQ(s.height, 18u);
    EXPECT_EQ(s.threshold, 44); // kept in eight bits
    EXPECT_EQ(s.color, 1);
    EXPECT_EQ(s.fontType, 6);
    EXPECT_EQ(s.pointsSeq, 0);
    EXPECT_EQ(s.bytesSeq, 0);
    EXPECT_EQ(s.pointSize, 4);
    EXPECT_EQ(s.mouseDraw, 1); // any number but 0 is on
    EXPECT_FALSE(s.faceName.empty());
    EXPECT_EQ(s.fontSize, 12); // leading digits count, as the system's profile reads them
}

TEST_F(SettingsTest, LongTextsAreCutAndOtherSectionsSurviveASave) {
    writeProfile("; comment\n[Other]\nKEY=value\n[Tessaglyphworks]\nCODEBROWSER=" +
                 std::string(300, 'v') + "\n");
    CSettings s = loaded();
    EXPECT_EQ(s.codeBrowser.size(), kMaxProfileText);
    CProfileStore p(path);
    ASSERT_TRUE(p.load());
    s.save(p);
    ASSERT_TRUE(p.save());
    std::ifstream in(path);
    std::string all((std::istreambuf_iterator<char>(in)), {});
    EXPECT_NE(all.find("; comment\n[Other]\nKEY=value\n"), std::string::npos);
}

TEST_F(SettingsTest, AFailedWriteIsReportedAndLeavesNoFile) {
    CProfileStore p("/proc/tgw-no-such-dir/profile.ini");
    CSettings::defaults().save(p);
    EXPECT_FALSE(p.save());
}

TEST_F(SettingsTest, BareLineBreaksInTemplatesSurviveASaveAndAReload) {
    CSettings s = CSettings::defaults();
    s.codeHead = u"x\r\ny\nz\r"; // a lone LF would end the profile line, a last CR is taken
    s.codeTail = u"\rt\n\n";     // for the line's end
    CProfileStore p(path);
    s.save(p);
    ASSERT_TRUE(p.save());
    CSettings back = loaded();
    EXPECT_EQ(back.codeHead, s.codeHead);
    EXPECT_EQ(back.codeTail, s.codeTail);
    EXPECT_EQ(back.width, s.width); // nothing after the templates was split off

    // A CR typed into a hand-edited line comes back too, after a save of its own.
    writeProfile("[Tessaglyphworks]\nCODETAIL=a\rb\n");
    CSettings edited = loaded();
    EXPECT_EQ(edited.codeTail, u"a\rb");
    CProfileStore q(path);
    ASSERT_TRUE(q.load());
    edited.save(q);
    ASSERT_TRUE(q.save());
    EXPECT_EQ(loaded().codeTail, u"a\rb");
}

TEST_F(SettingsTest, AnyNonZeroFlagIsOn) {
    writeProfile("[Tessaglyphworks]\nBOLD=2\nITALIC=-1\nUNDERLINE=0\nMOUSEDRAW=255\n"
                 "FILTERSPACE=0\nHALFWIDTH=x\n");
    CSettings s = loaded();
    EXPECT_EQ(s.bold, 1);
    EXPECT_EQ(s.italic, 1);
    EXPECT_EQ(s.underline, 0);
    EXPECT_EQ(s.mouseDraw, 1);
    EXPECT_EQ(s.filterSpace, 0);
    EXPECT_EQ(s.halfWidth, 0); // not a number: the default
}
