#include "model/describe.h"

#include "base/screen_text.h"
#include "base/text.h"

namespace tgw {
namespace {

// The usage lines every entry tip ends with.
const char* const kUsage = TGW_TR_NOOP(
    "tgw::core::describe", "\r\n选中当前字模 [双击左键]\r\n加选当前字模 [CTRL  键]+[双击] "
                           "\r\n清除选中状态 [SHIFT 键]+[双击]");

std::string fontLabel(const CFontSettings& f) {
    if (isBuiltinFont(f.kind))
        return screenText("tgw::core::settings", builtinFontName(f.kind));
    std::string face = utf16ToUtf8(f.face);
    return f.size ? format("%s %d", face.c_str(), f.size) : face;
}

std::string offsetLabel(int offset) {
    if (offset < 0)
        return format(TGW_TR("tgw::core::describe", "[上移 %d]"), offset);
    if (offset > 0)
        return format(TGW_TR("tgw::core::describe", "[下移 %d]"), offset);
    return {};
}

std::string statistics(const CGlyphEntry& e) {
    long points = long(e.width()) * e.height();
    long lit = e.litCount();
    long dark = points - lit;
    double litShare = points ? lit * 100.0 / points : 0.0;
    double darkShare = points ? dark * 100.0 / points : 0.0;
    std::string line =
        format(TGW_TR("tgw::core::describe", "统计 [点数=%ld 亮点=%ld≈%.2f%% 暗点=%ld≈%.2f%%]"),
               points, lit, litShare, dark, darkShare);
    // Grey entries say their depth; one-bit tips stay as they were.
    if (e.depth() > 1)
        line += format(TGW_TR("tgw::core::describe", "[灰度 %d 位/点]"), e.depth());
    return line;
}

} // namespace

std::string settingsSummary(const CSettings& s, size_t entries, size_t selected) {
    std::string font = isBuiltinFont(s.fontType)
                           ? screenText("tgw::core::settings", builtinFontName(s.fontType))
                           : utf16ToUtf8(s.faceName);
    return format(TGW_TR("tgw::core::describe",
                         "【设置状态】   〖字模数量：%zu "
                         "[%zu/%zu]〗〖字体：%s[%d]%s%s%s%s〗〖大小：%ux%u〗"
                         "〖纵向偏移：%ld〗〖ASCII半宽：%s〗〖%s 模式%d〗〖字符集：%s〗"),
                  entries, selected, entries - selected, font.c_str(),
                  s.fontSize ? s.fontSize : int(s.height),
                  s.bold ? TGW_TR("tgw::core::describe", " 加粗") : "",
                  s.italic ? TGW_TR("tgw::core::describe", " 斜体") : "",
                  s.strikeout ? TGW_TR("tgw::core::describe", " 删除线") : "",
                  s.underline ? TGW_TR("tgw::core::describe", " 下划线") : "", s.width, s.height,
                  s.offset,
                  s.halfWidth ? TGW_TR("tgw::core::describe", "开")
                              : TGW_TR("tgw::core::describe", "关"),
                  screenText("tgw::core::settings", dotOrderName(s.pointsSeq)), s.bytesSeq + 1,
                  s.useUnicode ? "UNICODE" : "MBCS") +
           (s.depth > 1 ? format(TGW_TR("tgw::core::describe", "〖灰度：%d 位/点〗"), s.depth)
                        : std::string());
}

std::string entryTip(const CGlyphEntry& e, bool useUnicode) {
    std::string stats = statistics(e);
    if (e.isPicture()) {
        const auto& p = static_cast<const CPictureEntry&>(e);
        return format(
            TGW_TR("tgw::core::describe", "图形 [阀值:%d][%dx%d]\r\n文件 [%s]\r\n%s\r\n%s"),
            p.threshold(), e.width(), e.height(), utf16ToUtf8(p.path()).c_str(), stats.c_str(),
            screenText("tgw::core::describe", kUsage));
    }
    const CFontSettings& f = static_cast<const CFontEntry&>(e).font();
    std::string styles = std::string(f.bold ? TGW_TR("tgw::core::describe", " 加粗") : "") +
                         (f.italic ? TGW_TR("tgw::core::describe", " 斜体") : "") +
                         (f.strikeout ? TGW_TR("tgw::core::describe", " 删除线") : "") +
                         (f.underline ? TGW_TR("tgw::core::describe", " 下划线") : "");
    std::string font = fontLabel(f);
    std::string offset = offsetLabel(f.offset);
    if (e.isString()) {
        const auto& s = static_cast<const CStringEntry&>(e);
        std::string content =
            f.kind == kFontTrueType && f.width == f.height
                ? format(TGW_TR("tgw::core::describe", "内容 [%d行][行高=%d]"), s.lineCount(),
                         f.height)
                : format(TGW_TR("tgw::core::describe", "内容 [%d行][字宽=%d 行高=%d]"),
                         s.lineCount(), f.width, f.height);
        return format(
            TGW_TR("tgw::core::describe", "字串 [%s%s%s][%dx%d]%s\r\n%s\r\n%s\r\n%s\r\n%s"),
            font.c_str(), styles.c_str(),
            s.rightToLeft() ? TGW_TR("tgw::core::describe", " 从右向左阅读 ") : "", e.width(),
            e.height(), offset.c_str(), content.c_str(), utf16ToUtf8(s.text()).c_str(),
            stats.c_str(), screenText("tgw::core::describe", kUsage));
    }
    const auto& c = static_cast<const CCharEntry&>(e);
    std::string ch = utf16ToUtf8(std::u16string(1, c.code()));
    std::string code;
    if (useUnicode)
        code = format("0x%04X", unsigned(c.code()));
    else if (c.ansi().length == 2)
        code = format("0x%02X%02X", c.ansi().bytes[0], c.ansi().bytes[1]);
    else if (c.ansi().length == 1)
        code = format("0x%02X", c.ansi().bytes[0]);
    else
        code = "UNICODE";
    return format(TGW_TR("tgw::core::describe", "字符 [%s][%s][%s%s][%dx%d]%s\r\n%s\r\n%s"),
                  ch.c_str(), code.c_str(), font.c_str(), styles.c_str(), e.width(), e.height(),
                  offset.c_str(), stats.c_str(), screenText("tgw::core::describe", kUsage));
}

} // namespace tgw
