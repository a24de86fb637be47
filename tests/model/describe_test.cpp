#include "model/describe.h"
#include "test_rasteriser.h"

#include <gtest/gtest.h>

using namespace tgw;

namespace {
const std::string kUsage = "\r\n选中当前字模 [双击左键]\r\n加选当前字模 [CTRL  键]+[双击] "
                           "\r\n清除选中状态 [SHIFT 键]+[双击]";
bool startsWith(const std::string& s, const std::string& prefix) {
    return s.rfind(prefix, 0) == 0;
}
} // namespace

TEST(Describe, SettingsSummary) {
    CSettings s = CSettings::defaults();
    s.faceName = u"DejaVu Sans";
    s.bold = 1;
    s.underline = 1;
    s.offset = -2;
    s.pointsSeq = 2;
    s.bytesSeq = 3;
    EXPECT_EQ(
        settingsSummary(s, 5, 2),
        "【设置状态】   〖字模数量：5 [2/3]〗〖字体：DejaVu Sans[18] 加粗 下划线〗〖大小：18x18〗"
        "〖纵向偏移：-2〗〖ASCII半宽：关〗〖纵向取点上高位 模式4〗〖字符集：MBCS〗");
    s.fontType = kFontGb2312_16;
    s.fontSize = 12;
    s.halfWidth = 1;
    s.useUnicode = 1;
    s.bold = s.underline = 0;
    EXPECT_EQ(
        settingsSummary(s, 0, 0),
        "【设置状态】   〖字模数量：0 [0/0]〗〖字体：GB2312 16x16点阵字库[12]〗〖大小：18x18〗"
        "〖纵向偏移：-2〗〖ASCII半宽：开〗〖纵向取点上高位 模式4〗〖字符集：UNICODE〗");
}

TEST(Describe, CharacterTipInEveryCodeForm) {
    test::CBlankRasteriser raster;
    CFontSettings f;
    f.kind = kFontTrueType;
    f.face = u"DejaVu Sans";
    f.size = 12;
    f.width = 2;
    f.height = 2;
    f.bold = true;
    f.offset = 1;
    CCharEntry zhong(raster, u'中', f);
    ASSERT_TRUE(zhong.ensureRendered());
    zhong.setDot(0, 0, true);
    EXPECT_EQ(entryTip(zhong, false), "字符 [中][0xD6D0][DejaVu Sans 12 加粗][2x2][下移 1]\r\n"
                                      "统计 [点数=4 亮点=1≈25.00% 暗点=3≈75.00%]\r\n" +
                                          kUsage);
    EXPECT_TRUE(startsWith(entryTip(zhong, true), "字符 [中][0x4E2D]["));

    f.size = 0;
    f.bold = false;
    f.offset = -3;
    CCharEntry a(raster, u'A', f);
    EXPECT_TRUE(startsWith(entryTip(a, false), "字符 [A][0x41][DejaVu Sans][2x2][上移 -3]\r\n"));
    f.kind = kFontAscii5x7;
    CCharEntry thai(raster, u'\u0E01', f);
    EXPECT_TRUE(startsWith(entryTip(thai, false),
                           "字符 [\u0E01][UNICODE][ASCII 5x7点阵字库][2x2][上移 -3]"));
}
