#include "model/settings.h"
#include "base/screen_text.h"

#include "base/text.h"
#include "model/dot_matrix.h"

namespace tgw {
namespace {

const std::u16string kDefaultCodeHead = u"/* %MATRIXCODE_HEAD_FONT%*/%MATRIXCODE_HEAD_CRLF%";

std::u16string cut(std::u16string s) {
    if (s.size() > kMaxProfileText)
        s.resize(kMaxProfileText);
    return s;
}

class CReader {
public:
    explicit CReader(const CProfileStore& p) : m_p(p) {}
    long integer(const char* key, long fallback) const {
        return m_p.getInt(kProfileSection, key, fallback);
    }
    // A value outside [lo, hi] is garbage and gives the default.
    long ranged(const char* key, long fallback, long lo, long hi) const {
        long v = integer(key, fallback);
        return v < lo || v > hi ? fallback : v;
    }
    int flag(const char* key, int fallback) const { return ranged(key, fallback, 0, 1); }
    std::u16string text(const char* key, const std::u16string& fallback) const {
        auto v = m_p.get(kProfileSection, key);
        return cut(v ? utf8ToUtf16(*v) : fallback);
    }

private:
    const CProfileStore& m_p;
};

} // namespace

bool isMenuPointSize(int size) {
    return (size >= 1 && size <= 10) || size == 12 || size == 16 || size == 20;
}

const char* dotOrderName(int pointsSeq) {
    static const char* const names[] = {TGW_TR_NOOP("tgw::core::settings", "横向取点左高位"),
                                        TGW_TR_NOOP("tgw::core::settings", "横向取点右高位"),
                                        TGW_TR_NOOP("tgw::core::settings", "纵向取点上高位"),
                                        TGW_TR_NOOP("tgw::core::settings", "纵向取点下高位")};
    return pointsSeq >= 0 && pointsSeq <= 3 ? names[pointsSeq] : "";
}

std::u16string encodeTemplateMarkers(std::u16string text, bool head) {
    text = replaceAll<std::u16string>(text, u"\t",
                                      head ? u"%MATRIXCODE_HEAD_TAB%" : u"%MATRIXCODE_TAIL_TAB%");
    return replaceAll<std::u16string>(text, u"\r\n",
                                      head ? u"%MATRIXCODE_HEAD_CRLF%" : u"%MATRIXCODE_TAIL_CRLF%");
}

std::u16string decodeTemplateMarkers(std::u16string text, bool head) {
    text = replaceAll<std::u16string>(
        text, head ? u"%MATRIXCODE_HEAD_CRLF%" : u"%MATRIXCODE_TAIL_CRLF%", u"\r\n");
    return replaceAll<std::u16string>(
        text, head ? u"%MATRIXCODE_HEAD_TAB%" : u"%MATRIXCODE_TAIL_TAB%", u"\t");
}

CSettings CSettings::defaults(const CSystemFont& systemFont) {
    CSettings s;
    s.bold = systemFont.weight > 400;
    s.italic = systemFont.italic;
    s.strikeout = systemFont.strikeout;
    s.underline = systemFont.underline;
    s.faceName = cut(systemFont.face);
    s.codeHead = decodeTemplateMarkers(kDefaultCodeHead, true);
    return s;
}

void CSettings::load(const CProfileStore& profile, const CSystemFont& systemFont) {
    const CSettings d = defaults(systemFont);
    CReader r(profile);
    width = unsigned(r.ranged("WIDTH", d.width, 1, kMaxMatrixSide));
    height = unsigned(r.ranged("HEIGHT", d.height, 1, kMaxMatrixSide));
    pointSize = int(r.ranged("POINTSIZE", d.pointSize, 1, 20));
    if (!isMenuPointSize(pointSize))
        pointSize = d.pointSize;
    mouseDraw = r.flag("MOUSEDRAW", d.mouseDraw);
    filterRedup = r.flag("FILTERREDUP", d.filterRedup);
    filterSpace = r.flag("FILTERSPACE", d.filterSpace);
    // Kept in eight bits: a stored 300 reads back as 44.
    threshold = uint8_t(r.integer("THRESHOLD", d.threshold) & 0xFF);
    color = int(r.ranged("COLOR", d.color, 0, 6));
    fontType = int(r.ranged("FONTTYPE", d.fontType, 0, 6));
    bold = r.flag("BOLD", d.bold);
    italic = r.flag("ITALIC", d.italic);
    strikeout = r.flag("STRIKEOUT", d.strikeout);
    underline = r.flag("UNDERLINE", d.underline);
    fontSize = int(r.ranged("FONTSIZE", d.fontSize, 0, kMaxMatrixSide));
    offset = r.ranged("OFFSET", d.offset, -kMaxMatrixSide, kMaxMatrixSide);
    halfWidth = r.flag("HALFWIDTH", d.halfWidth);
    faceName = r.text("FACENAME", d.faceName);
    if (faceName.empty())
        faceName = d.faceName;
    codeBrowser = r.text("CODEBROWSER", d.codeBrowser);
    codeHead = decodeTemplateMarkers(r.text("CODEHEAD", kDefaultCodeHead), true);
    codeTail = decodeTemplateMarkers(r.text("CODETAIL", u""), false);
    pointsSeq = int(r.ranged("POINTSSEQ", d.pointsSeq, 0, 3));
    bytesSeq = int(r.ranged("BYTESSEQ", d.bytesSeq, 0, 7));
    language = int(r.integer("LANGUAGE", d.language));
    useUnicode = r.flag("USEUNICODE", d.useUnicode);
}

void CSettings::save(CProfileStore& p) const {
    auto u = [&](const char* key, unsigned long v) {
        p.set(kProfileSection, key, format("%lu", v));
    };
    auto t = [&](const char* key, const std::u16string& v) {
        p.set(kProfileSection, key, utf16ToUtf8(v));
    };
    u("WIDTH", width);
    u("HEIGHT", height);
    u("POINTSIZE", unsigned(pointSize));
    u("MOUSEDRAW", unsigned(mouseDraw));
    u("FILTERREDUP", unsigned(filterRedup));
    u("FILTERSPACE", unsigned(filterSpace));
    u("THRESHOLD", threshold);
    u("COLOR", unsigned(color));
    u("FONTTYPE", unsigned(fontType));
    u("BOLD", unsigned(bold));
    u("ITALIC", unsigned(italic));
    u("STRIKEOUT", unsigned(strikeout));
    u("UNDERLINE", unsigned(underline));
    u("FONTSIZE", unsigned(fontSize));
    p.set(kProfileSection, "OFFSET", format("%ld", offset));
    u("HALFWIDTH", unsigned(halfWidth));
    t("FACENAME", faceName);
    u("POINTSSEQ", unsigned(pointsSeq));
    u("BYTESSEQ", unsigned(bytesSeq));
    u("LANGUAGE", unsigned(language));
    u("USEUNICODE", unsigned(useUnicode));
    t("CODEHEAD", encodeTemplateMarkers(codeHead, true));
    t("CODETAIL", encodeTemplateMarkers(codeTail, false));
    t("CODEBROWSER", codeBrowser);
}

CFontSettings CSettings::font() const {
    CFontSettings f;
    f.kind = fontType;
    f.face = faceName;
    f.size = fontSize;
    f.width = int(width);
    f.height = int(height);
    f.bold = bold;
    f.italic = italic;
    f.strikeout = strikeout;
    f.underline = underline;
    f.offset = int(offset);
    return f;
}

void CSettings::setFont(const CFontSettings& f) {
    fontType = f.kind;
    faceName = f.face;
    fontSize = f.size;
    width = unsigned(f.width);
    height = unsigned(f.height);
    bold = f.bold;
    italic = f.italic;
    strikeout = f.strikeout;
    underline = f.underline;
    offset = f.offset;
}

} // namespace tgw
