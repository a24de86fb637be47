#include "cli/common.h"

#include "base/codepage.h"
#include "base/replacing_file.h"
#include "base/text.h"
#include "model/profile_store.h"
#include "project/project_document.h"
#include "project/text_import.h"
#include "raster/rasteriser.h"

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <iterator>
#include <map>

namespace tgw::cli {
namespace {

const std::map<std::string, int> kFontKindNames = {
    {"ascii5x7", kFontAscii5x7},   {"ascii5x8", kFontAscii5x8},   {"ascii6x12", kFontAscii6x12},
    {"ascii8x16", kFontAscii8x16}, {"gb2312-12", kFontGb2312_12}, {"gb2312-16", kFontGb2312_16},
    {"truetype", kFontTrueType},
};

} // namespace

int fail(const std::string& message) {
    std::fprintf(stderr, "tgw: %s\n", message.c_str());
    return 1;
}

Status writeOutput(const std::string& path, const std::string& data) {
    if (path.empty() || path == "-") {
        if (std::fwrite(data.data(), 1, data.size(), stdout) != data.size() ||
            std::fflush(stdout) != 0)
            return failure("cannot write to standard output");
        return {};
    }
    return writeFileReplacing(path, data);
}

std::u16string unescapeTemplate(const std::string& text) {
    std::string s = replaceAll<std::string>(text, "\\r\\n", "\r\n");
    s = replaceAll<std::string>(s, "\\t", "\t");
    return utf8ToUtf16(s);
}

void CCommandOptions::addSettingsOptions(CLI::App* cmd) {
    cmd->add_option("--settings", m_settingsFile,
                    "Start from this profile INI instead of the defaults")
        ->check(CLI::ExistingFile);
    cmd->add_option(
        "--font-kind", m_fontKind,
        "0..6 or ascii5x7, ascii5x8, ascii6x12, ascii8x16, gb2312-12, gb2312-16, truetype");
    cmd->add_option("--face", m_face, "TrueType face name (implies --font-kind truetype)");
    cmd->add_option("--size", m_size,
                    "Font size in dots (0: the matrix height; fit: the largest size whose ascent "
                    "and descent fit the matrix height)")
        ->check(CLI::IsMember({"fit"}) | CLI::Range(0, kMaxMatrixSide));
    cmd->add_option("--font-file", m_fontFile,
                    "Read the font from this file (TrueType, OpenType, collections, BDF, PCF; "
                    "implies --font-kind truetype)");
    cmd->add_option("--face-index", m_faceIndex, "The face of a font collection (.ttc, .otc)")
        ->check(CLI::Range(0, 0xFFFF));
    cmd->add_option("--width", m_width, "Matrix width in dots")
        ->check(CLI::Range(1, kMaxMatrixSide));
    cmd->add_option("--height", m_height, "Matrix height in dots")
        ->check(CLI::Range(1, kMaxMatrixSide));
    cmd->add_flag("--bold", m_bold, "Bold");
    cmd->add_flag("--italic", m_italic, "Italic");
    cmd->add_flag("--underline", m_underline, "Underline");
    cmd->add_flag("--strikeout", m_strikeout, "Strike-out");
    cmd->add_option("--offset", m_offset, "Vertical offset in dots (negative moves up)")
        ->check(CLI::Range(-kMaxMatrixSide, kMaxMatrixSide));
    cmd->add_flag("--half-width", m_halfWidth, "ASCII half width with a TrueType face");
    cmd->add_option("--dot-order", m_dotOrder, "Dot order 0..3")->check(CLI::Range(0, 3));
    cmd->add_option("--byte-order", m_byteOrder, "Byte order 0..7")->check(CLI::Range(0, 7));
    cmd->add_option("--language", m_language, "Code language")->check(CLI::IsMember({"c", "asm"}));
    cmd->add_flag("--unicode", m_unicode, "Code characters as UCS-2 instead of code page 936");
    cmd->add_option("--head", m_head, "Header template (\\r\\n and \\t are read as CR LF and tab)");
    cmd->add_option("--tail", m_tail, "Tail template (\\r\\n and \\t are read as CR LF and tab)");
    cmd->add_flag("--keep-duplicates", m_keepDuplicates, "Do not drop repeated characters");
    cmd->add_flag("--keep-blanks", m_keepBlanks, "Do not drop white-space characters");
}

void CCommandOptions::addEntryOptions(CLI::App* cmd) {
    m_optTexts = cmd->add_option("TEXT", m_texts, "Characters: one entry per character");
    m_optTextFiles =
        cmd->add_option("--text-file", m_textFiles,
                        "Characters of a text file (UTF-16 LE with BOM, else code page 936)")
            ->check(CLI::ExistingFile);
    m_optStrings = cmd->add_option("--string", m_strings, "One string entry of this text");
    m_optRtl = cmd->add_flag("--rtl", m_rtlFlags, "The next --string reads right to left");
    m_optThreshold = cmd->add_option("--threshold", m_thresholds,
                                     "Brightness threshold of the following pictures (default 184)")
                         ->check(CLI::Range(0, 255));
    m_optPictures = cmd->add_option("--picture", m_pictures, "One picture entry of this file");
    m_optProjects = cmd->add_option("--project", m_projects, "Every entry of a project file");
    for (CLI::Option* o :
         {m_optTextFiles, m_optStrings, m_optThreshold, m_optPictures, m_optProjects})
        o->multi_option_policy(CLI::MultiOptionPolicy::TakeAll)->allow_extra_args(false);
}

Result<CSettings> CCommandOptions::settings() const {
    CSettings s = CSettings::defaults(systemGuiFont());
    if (!m_settingsFile.empty()) {
        CProfileStore profile(m_settingsFile);
        profile.load();
        s.load(profile, systemGuiFont());
    }
    if (!m_fontKind.empty()) {
        auto named = kFontKindNames.find(m_fontKind);
        if (named != kFontKindNames.end()) {
            s.fontType = named->second;
        } else if (m_fontKind.size() == 1 && m_fontKind[0] >= '0' && m_fontKind[0] <= '6') {
            s.fontType = m_fontKind[0] - '0';
        } else {
            return failure("unknown font kind '" + m_fontKind + "'");
        }
    }
    if (!m_face.empty()) {
        s.faceName = utf8ToUtf16(m_face);
        s.fontType = kFontTrueType;
    }
    if (m_size) {
        s.fitCell = *m_size == "fit";
        if (!s.fitCell)
            s.fontSize = std::stoi(*m_size);
    }
    if (!m_fontFile.empty()) {
        Result<std::vector<CFileFace>> faces = listFileFaces(m_fontFile);
        if (!faces)
            return failure(faces.error());
        const int index = m_faceIndex.value_or(0);
        if (size_t(index) >= faces->size())
            return failure(
                format("the font file '%s' has %zu face%s: face index %d is out of range",
                       m_fontFile.c_str(), faces->size(), faces->size() == 1 ? "" : "s", index));
        s.fontFile = m_fontFile;
        s.faceIndex = index;
        s.fontType = kFontTrueType;
        s.faceName = utf8ToUtf16(faces->at(size_t(index)).family);
    } else if (m_faceIndex) {
        return failure("--face-index belongs to --font-file");
    }
    if (m_width)
        s.width = unsigned(*m_width);
    if (m_height)
        s.height = unsigned(*m_height);
    s.bold |= m_bold;
    s.italic |= m_italic;
    s.underline |= m_underline;
    s.strikeout |= m_strikeout;
    if (m_offset)
        s.offset = *m_offset;
    s.halfWidth |= m_halfWidth;
    if (m_dotOrder)
        s.pointsSeq = *m_dotOrder;
    if (m_byteOrder)
        s.bytesSeq = *m_byteOrder;
    if (!m_language.empty())
        s.language = m_language == "asm" ? 1 : 0;
    s.useUnicode |= m_unicode;
    if (m_head)
        s.codeHead = unescapeTemplate(*m_head);
    if (m_tail)
        s.codeTail = unescapeTemplate(*m_tail);
    if (m_keepDuplicates)
        s.filterRedup = 0;
    if (m_keepBlanks)
        s.filterSpace = 0;
    return s;
}

Status CCommandOptions::makeEntries(const CLI::App* cmd, const CSettings& s,
                                    CGlyphList& list) const {
    CAddOptions add;
    add.filterDuplicates = s.filterRedup;
    add.filterBlanks = s.filterSpace;
    add.halfWidth = s.halfWidth;
    const CFontSettings font = s.font();
    if (!font.usable())
        return failure("the font settings cannot render anything (font kind, face and size)");

    // Each option's values in the order given; parse_order() says which option came next.
    std::map<const CLI::Option*, size_t> next;
    bool rtl = false;
    uint8_t threshold = s.threshold;
    for (const CLI::Option* o : cmd->parse_order()) {
        size_t i = next[o]++;
        if (o == m_optTexts) {
            list.addCharacters(utf8ToUtf16(m_texts.at(i)), font, add);
        } else if (o == m_optTextFiles) {
            Result<std::u16string> text = importTextFile(m_textFiles.at(i));
            if (!text)
                return failure(text.error());
            list.addCharacters(*text, font, add);
        } else if (o == m_optRtl) {
            rtl = true;
        } else if (o == m_optStrings) {
            std::u16string text = utf8ToUtf16(m_strings.at(i));
            if (text.empty())
                return failure("a string entry needs a text");
            if (!(add.filterDuplicates && list.hasString(text)))
                list.append(std::make_unique<CStringEntry>(list.rasteriser(), text, rtl, font));
            rtl = false;
        } else if (o == m_optThreshold) {
            threshold = uint8_t(m_thresholds.at(i));
        } else if (o == m_optPictures) {
            std::u16string path = utf8ToUtf16(m_pictures.at(i));
            if (!(add.filterDuplicates && list.hasPicture(path)))
                list.append(std::make_unique<CPictureEntry>(list.rasteriser(), path, threshold));
        } else if (o == m_optProjects) {
            if (Status loaded = appendProjectFile(list, m_projects.at(i)); !loaded)
                return loaded;
        }
    }
    return {};
}

} // namespace tgw::cli
