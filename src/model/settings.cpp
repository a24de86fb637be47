#include "model/settings.h"
#include "base/screen_text.h"

#include "base/text.h"
#include "model/dot_matrix.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

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
    // Any number but 0 is on, as a hand-edited "BOLD=2" means.
    int flag(const char* key, int fallback) const { return integer(key, fallback) != 0; }
    std::u16string text(const char* key, const std::u16string& fallback) const {
        auto v = m_p.get(kProfileSection, key);
        return cut(v ? utf8ToUtf16(*v) : fallback);
    }

private:
    const CProfileStore& m_p;
};

} // namespace

namespace {

// "x,y,width,height" with a sane size (a window of at least 1×1, at most 100000 on a side);
// anything else is garbage and gives no rectangle.
std::optional<std::array<int, 4>> parseWindowRect(const std::string& text) {
    std::array<int, 4> r{};
    char tail = 0;
    if (std::sscanf(text.c_str(), "%d,%d,%d,%d%c", &r[0], &r[1], &r[2], &r[3], &tail) != 4)
        return std::nullopt;
    if (r[2] < 1 || r[3] < 1 || r[2] > 100000 || r[3] > 100000 || std::abs(r[0]) > 100000 ||
        std::abs(r[1]) > 100000)
        return std::nullopt;
    return r;
}

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

// A profile value is one line, so a CR or LF outside a CR LF pair has a marker of its own too:
// written raw it would end the line (LF) or be taken for the line's end (a last CR).
std::u16string encodeTemplateMarkers(std::u16string text, bool head) {
    text = replaceAll<std::u16string>(text, u"\t",
                                      head ? u"%MATRIXCODE_HEAD_TAB%" : u"%MATRIXCODE_TAIL_TAB%");
    text = replaceAll<std::u16string>(text, u"\r\n",
                                      head ? u"%MATRIXCODE_HEAD_CRLF%" : u"%MATRIXCODE_TAIL_CRLF%");
    text = replaceAll<std::u16string>(text, u"\r",
                                      head ? u"%MATRIXCODE_HEAD_CR%" : u"%MATRIXCODE_TAIL_CR%");
    return replaceAll<std::u16string>(text, u"\n",
                                      head ? u"%MATRIXCODE_HEAD_LF%" : u"%MATRIXCODE_TAIL_LF%");
}

std::u16string decodeTemplateMarkers(std::u16string text, bool head) {
    text = replaceAll<std::u16string>(
        text, head ? u"%MATRIXCODE_HEAD_CRLF%" : u"%MATRIXCODE_TAIL_CRLF%", u"\r\n");
    text = replaceAll<std::u16string>(
        text, head ? u"%MATRIXCODE_HEAD_CR%" : u"%MATRIXCODE_TAIL_CR%", u"\r");
    text = replaceAll<std::u16string>(
        text, head ? u"%MATRIXCODE_HEAD_LF%" : u"%MATRIXCODE_TAIL_LF%", u"\n");
    return replaceAll<std::u16string>(
        text, head ? u"%MATRIXCODE_HEAD_TAB%" : u"%MATRIXCODE_TAIL_TAB%", u"\t");
}

const std::u16string& defaultCodeHead() {
    static const std::u16string head = decodeTemplateMarkers(kDefaultCodeHead, true);
    return head;
}

CSettings CSettings::defaults(const CSystemFont& systemFont) {
    CSettings s;
    s.bold = systemFont.weight > 400;
    s.italic = systemFont.italic;
    s.strikeout = systemFont.strikeout;
    s.underline = systemFont.underline;
    s.faceName = cut(systemFont.face);
    s.codeHead = defaultCodeHead();
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
    fontFile = profile.get(kProfileSection, "FONTFILE").value_or("");
    faceIndex = int(r.ranged("FACEINDEX", 0, 0, 0xFFFF));
    fitCell = r.flag("FITCELL", 0);
    displayPreset = profile.get(kProfileSection, "DISPLAYPRESET").value_or("");
    presetRotation = int(r.ranged("PRESETROTATION", 0, 0, 270));
    if (presetRotation % 90 != 0)
        presetRotation = 0;
    pictureMethod = EPictureMethod(r.ranged("PICTUREMETHOD", int(d.pictureMethod), 0, 3));
    pictureInvert = r.flag("PICTUREINVERT", d.pictureInvert);
    pictureScale = EPictureScale(r.ranged("PICTURESCALE", int(d.pictureScale), 0, 2));
    depth = int(r.ranged("DEPTH", d.depth, 1, 8));
    if (!validDepth(depth))
        depth = d.depth;
    codeEncoding = int(r.ranged("CODEENCODING", kCodeEncodingCp936, 0, 1));
    recentFiles.clear();
    if (const auto recent = profile.get(kProfileSection, "RECENTFILES")) {
        size_t from = 0;
        while (from < recent->size() && recentFiles.size() < kMaxRecentFiles) {
            const size_t end = std::min(recent->find('\n', from), recent->size());
            if (end > from)
                recentFiles.push_back(recent->substr(from, end - from));
            from = end + 1;
        }
    }
    const auto rect = profile.get(kProfileSection, "WINDOWRECT");
    windowRect = rect ? parseWindowRect(*rect) : std::nullopt;
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
    // A path is not cut: a shortened one would name another file.
    auto optional = [&](const char* key, bool set, const std::string& value) {
        if (set || p.get(kProfileSection, key))
            p.set(kProfileSection, key, set ? value : "");
    };
    optional("FONTFILE", !fontFile.empty(), fontFile);
    optional("FACEINDEX", !fontFile.empty() && faceIndex != 0, format("%d", faceIndex));
    optional("FITCELL", fitCell != 0, "1");
    optional("DISPLAYPRESET", !displayPreset.empty(), displayPreset);
    optional("PRESETROTATION", !displayPreset.empty() && presetRotation != 0,
             format("%d", presetRotation));
    // Newer keys: written once set, so that a profile that never used them keeps its keys.
    auto optionalNumber = [&](const char* key, unsigned long v) {
        if (v != 0 || p.get(kProfileSection, key))
            u(key, v);
    };
    optionalNumber("PICTUREMETHOD", unsigned(pictureMethod));
    optionalNumber("PICTUREINVERT", unsigned(pictureInvert));
    optionalNumber("PICTURESCALE", unsigned(pictureScale));
    if (depth != 1 || p.get(kProfileSection, "DEPTH"))
        u("DEPTH", unsigned(depth));
    optionalNumber("CODEENCODING", unsigned(codeEncoding));
    std::string recent;
    for (const std::string& path : recentFiles)
        recent += (recent.empty() ? "" : "\n") + path;
    optional("RECENTFILES", !recent.empty(), recent);
    if (windowRect) {
        const auto& r = *windowRect;
        p.set(kProfileSection, "WINDOWRECT", format("%d,%d,%d,%d", r[0], r[1], r[2], r[3]));
    }
}

CPictureOptions CSettings::pictureOptions() const {
    CPictureOptions o;
    o.threshold = threshold;
    o.method = pictureMethod;
    o.invert = pictureInvert != 0;
    o.scale = pictureScale;
    if (pictureScale != EPictureScale::kKeep) {
        o.targetWidth = int(width);
        o.targetHeight = int(height);
    }
    o.depth = depth;
    return o;
}

void CSettings::setPictureOptions(const CPictureOptions& o) {
    threshold = o.threshold;
    pictureMethod = o.method;
    pictureInvert = o.invert ? 1 : 0;
    pictureScale = o.scale;
    depth = o.depth;
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
    f.fontFile = fontFile;
    f.faceIndex = faceIndex;
    f.fitCell = fitCell != 0;
    f.fileFallback = fileFallback != 0 && !fontFile.empty();
    f.depth = depth;
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
    fontFile = f.fontFile;
    faceIndex = f.faceIndex;
    fitCell = f.fitCell;
    fileFallback = f.fileFallback;
    depth = f.depth;
}

void CSettings::addRecentFile(const std::string& path) {
    // A line break would split the stored list.
    if (path.empty() || path.find('\n') != std::string::npos)
        return;
    std::erase(recentFiles, path);
    recentFiles.insert(recentFiles.begin(), path);
    if (recentFiles.size() > kMaxRecentFiles)
        recentFiles.resize(kMaxRecentFiles);
}

} // namespace tgw
