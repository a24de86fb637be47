#include "cli/common.h"

#include "base/codepage.h"
#include "base/file_name.h"
#include "base/replacing_file.h"
#include "base/text.h"
#include "cli/entry_checks.h"
#include "cli/option_names.h"
#include "cli/preset_checks.h"
#include "codegen/code_text.h"
#include "codegen/display_presets.h"
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

// The font kind of a --font-kind value: a name or a digit 0..6.
std::optional<int> fontKindOf(const std::string& kind) {
    if (auto named = kFontKindNames.find(kind); named != kFontKindNames.end())
        return named->second;
    if (kind.size() == 1 && kind[0] >= '0' && kind[0] <= '6')
        return kind[0] - '0';
    return std::nullopt;
}

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

int finishStdout() {
    if (std::fflush(stdout) != 0 || std::ferror(stdout))
        return fail("cannot write to standard output");
    return 0;
}

void addFileFallbackOption(CLI::App* cmd, bool& fallback) {
    cmd->add_flag("--fallback", fallback,
                  "Draw the characters the --font-file lacks from installed faces that have "
                  "them (the output then depends on the fonts installed); without it they are "
                  "blank and named in a warning");
}

Status checkFileFallback(const CSettings& settings, bool fallback) {
    if (fallback && settings.fontFile.empty())
        return failure("--fallback belongs to --font-file (installed faces always fall back; "
                       "see --allow-fallback for a face that is not installed)");
    return {};
}

void addForceOption(CLI::App* cmd, bool& force) {
    cmd->add_flag("--force", force, "Replace the output file even when it is write-protected");
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
           "0..6 or ascii5x7, ascii5x8, ascii6x12, ascii8x16, gb2312-12, gb2312-16, truetype")
        ->check(CLI::Validator(
            [](const std::string& kind) {
                return fontKindOf(kind) ? std::string() : "unknown font kind '" + kind + "'";
            },
            "KIND"));
    cmd->add_option("--face", m_face,
                    "TrueType face name (implies --font-kind truetype). Without it (and without "
                    "a FACENAME in --settings) tgw draws with DejaVu Sans, whatever the locale");
    cmd->add_option("--size", m_size,
                    "Font size in dots (0: the matrix height; fit: the largest size whose ascent "
                    "and descent fit the matrix height)")
        ->check(CLI::IsMember({"fit"}) | CLI::Range(0, kMaxMatrixSide));
    CLI::Option* fontFile =
        cmd->add_option("--font-file", m_fontFile,
                        "Read the font from this file (TrueType, OpenType, collections, BDF, PCF; "
                        "implies --font-kind truetype)");
    // A face of no file is a mistake in the command line: a usage error.
    cmd->add_option("--face-index", m_faceIndex, "The face of a font collection (.ttc, .otc)")
        ->check(CLI::Range(0, 0xFFFF))
        ->needs(fontFile);
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
    cmd->add_option("--depth,--bpp", m_depth,
                    "Bits a dot: 1 (lit or dark, the default), or 2, 4, 8 for grey levels "
                    "(anti-aliased TrueType, pictures quantised or dithered to the levels; a "
                    "bitmap font's dots are fully lit)")
        ->check(CLI::IsMember({1, 2, 4, 8}));
    CLI::Option* dotOrder =
        cmd->add_option("--dot-order", m_dotOrder, dotOrderHelp())
            ->transform(CLI::CheckedTransformer(dotOrderNames(), CLI::ignore_case).description(""))
            ->type_name("N|NAME");
    CLI::Option* byteOrder =
        cmd->add_option("--byte-order", m_byteOrder, byteOrderHelp())
            ->transform(CLI::CheckedTransformer(byteOrderNames(), CLI::ignore_case).description(""))
            ->type_name("N|NAME");
    std::string presetNames;
    for (const CDisplayPreset& p : displayPresets())
        presetNames += std::string(presetNames.empty() ? "" : ", ") + p.name;
    cmd->add_option("--preset", m_preset,
                    "Dot and byte order of a display controller: " + presetNames +
                        " (see tgw presets)")
        ->check([](const std::string& name) {
            return findDisplayPreset(name) ? std::string()
                                           : "unknown preset '" + name + "' (see tgw presets)";
        })
        ->excludes(dotOrder)
        ->excludes(byteOrder);
    addRotateOption(cmd);
    cmd->add_option("--language", m_language, "Code language")->check(CLI::IsMember({"c", "asm"}));
    cmd->add_flag("--unicode", m_unicode, "Code characters as UCS-2 instead of code page 936");
    cmd->add_option("--head", m_head, "Header template (\\r\\n and \\t are read as CR LF and tab)");
    cmd->add_option("--tail", m_tail, "Tail template (\\r\\n and \\t are read as CR LF and tab)");
    cmd->add_flag("--keep-duplicates", m_keepDuplicates, "Do not drop repeated characters");
    cmd->add_flag("--keep-blanks", m_keepBlanks, "Do not drop white-space characters");
}

void CCommandOptions::addCodeEncodingOption(CLI::App* cmd) {
    cmd->add_option("--encoding", m_encoding,
                    "Text of the C and assembler code: cp936 (code page 936 with CR LF line "
                    "ends, the default) or utf-8 (UTF-8 with LF line ends); the data bytes are "
                    "the same")
        ->check(CLI::IsMember({"cp936", "utf-8"}));
}

void CCommandOptions::addEntryOptions(CLI::App* cmd) {
    m_cmd = cmd;
    m_optTexts = cmd->add_option("TEXT", m_texts, "Characters: one entry per character");
    m_optTextFiles =
        cmd->add_option(
               "--text-file", m_textFiles,
               "Characters of a text file (UTF-8, UTF-16 with a byte-order mark, or code page 936)")
            ->check(CLI::ExistingFile);
    m_optStrings = cmd->add_option(
        "--string", m_strings,
        "One string entry of this text, all its lines in one matrix (lines split at line "
        "breaks, as in bash's $'one\\ntwo'). --width and --height are the size of one "
        "character cell; the matrix is one cell high per line and as wide as the longest line. "
        "With a TrueType face each character gets (width - height) dots of extra spacing after "
        "it (none when width = height, closer together when narrower); built-in fonts set each "
        "character in its own cell.");
    m_optRtl = cmd->add_flag("--rtl", m_rtlFlags, "The next --string reads right to left");
    m_optThreshold = cmd->add_option("--threshold", m_thresholds,
                                     "Brightness threshold of the following pictures (default 184)")
                         ->check(CLI::Range(0, 255));
    m_optDither = cmd->add_option("--dither", m_dithers,
                                  "Dithering of the following pictures: fs (Floyd-Steinberg), "
                                  "atkinson, bayer, or threshold (default)")
                      ->check(CLI::IsMember({"threshold", "fs", "atkinson", "bayer"}));
    m_optInvert =
        cmd->add_flag("--invert", m_invertFlags, "The following pictures light their dark pixels");
    m_optScale = cmd->add_option("--scale", m_scales,
                                 "Size of the following pictures: keep (one dot a pixel, "
                                 "default), fit (inside --width x --height keeping the aspect "
                                 "ratio) or fill (stretched to --width x --height)")
                     ->check(CLI::IsMember({"keep", "fit", "fill"}));
    m_optPictures = cmd->add_option(
        "--picture", m_pictures,
        "One picture entry of this file. --dither, --invert and --scale apply to the pictures "
        "after them; given after the last picture, to every picture that had none before it");
    m_optProjects = cmd->add_option("--project", m_projects, "Every entry of a project file");
    for (CLI::Option* o : {m_optTextFiles, m_optStrings, m_optThreshold, m_optDither, m_optScale,
                           m_optPictures, m_optProjects})
        o->multi_option_policy(CLI::MultiOptionPolicy::TakeAll)->allow_extra_args(false);

    std::vector<std::string> edits;
    for (const auto& e : editNames())
        edits.push_back(e.first);
    cmd->add_option("--edit", m_edits, editHelp())
        ->delimiter(',')
        ->check(CLI::IsMember(edits).description(""))
        ->type_name("EDIT,...")
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll)
        ->allow_extra_args(false);
    cmd->add_flag("--allow-placeholder", m_checks.allowPlaceholder,
                  "A picture that cannot be loaded becomes its placeholder text instead of "
                  "failing");
    cmd->add_flag("--allow-fallback", m_checks.allowFallback,
                  "Render with fontconfig's substitute when the --face is not installed");
    addFileFallbackOption(cmd, m_checks.fileFallback);
    cmd->add_flag("--allow-empty", m_checks.allowEmpty, "No entries is not an error");
    cmd->add_flag("--strict", m_checks.strict,
                  "Fail when characters cannot be shown by the font or coded in code page 936, "
                  "or when glyphs lose dots beyond their cells");
    cmd->add_flag("-v,--verbose", m_checks.verbose,
                  "Also name the characters drawn from a fallback face");
}

namespace {

// tgw's face when neither the command nor its settings file names one. Fixed, not the
// desktop's interface face, which follows the locale: the same command writes the same bytes
// on every machine that has it, and asking for it costs no font lookup at start-up.
CSystemFont defaultFont() {
    CSystemFont font;
    font.face = kDefaultFace;
    return font;
}

} // namespace

Result<CSettings> CCommandOptions::settings() const {
    CSettings s = CSettings::defaults(defaultFont());
    m_defaultFace = m_face.empty() && m_fontFile.empty();
    if (!m_settingsFile.empty()) {
        CProfileStore profile(m_settingsFile);
        if (Status loaded = profile.load(); !loaded)
            return failure("cannot use the settings file: " + loaded.error());
        s.load(profile, defaultFont());
        m_defaultFace =
            m_defaultFace && !profile.get(kProfileSection, "FACENAME").value_or("").size();
    }
    if (!m_fontKind.empty()) {
        std::optional<int> kind = fontKindOf(m_fontKind);
        if (!kind)
            return failure("unknown font kind '" + m_fontKind + "'");
        s.fontType = *kind;
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
        const int index = m_faceIndex.value_or(0);
        Result<CFileFace> face = describeFileFace(m_fontFile, index);
        if (!face)
            return failure(face.error());
        s.fontFile = m_fontFile;
        s.faceIndex = index;
        s.fontType = kFontTrueType;
        s.faceName = utf8ToUtf16(withoutControlCharacters(face->family));
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
    if (m_depth)
        s.depth = *m_depth;
    if (m_dotOrder)
        s.pointsSeq = *m_dotOrder;
    if (m_byteOrder)
        s.bytesSeq = *m_byteOrder;
    if (!m_preset.empty()) {
        const CDisplayPreset* preset = findDisplayPreset(m_preset);
        if (!preset)
            return failure("unknown preset '" + m_preset + "' (see tgw presets)");
        s.pointsSeq = preset->dotOrder;
        s.bytesSeq = preset->byteOrder;
        s.displayPreset = preset->name;
        s.presetRotation = m_rotation.value_or(0);
        // A grey-scale controller's depth, unless --depth says otherwise.
        if (!m_depth)
            s.depth = preset->depth;
    } else if (m_rotation && m_rotateAlone) {
        s.presetRotation = *m_rotation;
    } else if (m_rotation) {
        return failure("--rotate belongs to --preset");
    }
    if (!m_language.empty())
        s.language = m_language == "asm" ? 1 : 0;
    s.useUnicode |= m_unicode;
    if (!m_encoding.empty())
        s.codeEncoding = m_encoding == "utf-8" ? kCodeEncodingUtf8 : kCodeEncodingCp936;
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

Result<std::unique_ptr<CEntrySet>> CCommandOptions::makeEntrySet() const {
    Result<CSettings> s = settings();
    if (!s)
        return failure(s.error());
    if (Status f = checkFileFallback(*s, m_checks.fileFallback); !f)
        return failure(f.error());
    auto set = std::make_unique<CEntrySet>();
    set->settings = std::move(s).value();
    set->settings.fileFallback = m_checks.fileFallback;
    CGlyphList& list = set->list;
    Result<CMadeEntries> made = makeEntries(set->settings, list);
    if (!made)
        return failure(made.error());
    if (made->usesFont && !m_checks.allowFallback)
        if (Status face = checkFace(set->settings); !face)
            return failure(face.error());
    if (made->usesFont && m_checks.verbose)
        reportFace(set->settings, m_defaultFace);
    if (list.empty() && !m_checks.allowEmpty)
        return failure("no entries: give characters, --text-file, --string, --picture or "
                       "--project (--allow-empty accepts none)");

    // A bitmap font cannot be scaled to fit the cell: the whole set moves instead.
    if (set->settings.fitCell && !made->characters.empty()) {
        std::u16string codes;
        for (size_t i : made->characters)
            codes += static_cast<const CCharEntry&>(list.at(i)).code();
        Result<int> offset = set->rasteriser.fitOffset(set->settings.font(), codes);
        if (!offset)
            return failure(offset.error());
        if (*offset != 0)
            for (size_t i : made->characters) {
                auto& e = static_cast<CCharEntry&>(list.at(i));
                CFontSettings f = e.font();
                f.offset += *offset;
                e.setFont(f);
            }
    }

    CInkTally lostInk;
    for (size_t i = 0; i < list.size(); ++i) {
        CGlyphEntry& e = list.at(i);
        const bool rendering = !e.hasDots();
        if (Status r = e.ensureRendered(); !r)
            return failure(
                format("entry %zu (%s): %s", i + 1, entryLabel(e).c_str(), r.error().c_str()));
        // A picture that cannot be loaded still renders, as its placeholder text.
        const CPictureReport& picture = set->rasteriser.lastPictureReport();
        if (rendering && e.isPicture() && picture.outcome != EPictureOutcome::kLoaded &&
            !m_checks.allowPlaceholder)
            return failure(
                format("picture '%s': %s (--allow-placeholder uses the \"%s\" text "
                       "instead)",
                       entryLabel(e).c_str(),
                       picture.reason.empty() ? "cannot be loaded" : picture.reason.c_str(),
                       utf16ToUtf8(placeholderText(picture.outcome)).c_str()));
        if (rendering && !(m_cellsNotWritten && e.isCharacter()))
            lostInk.add(e.inkLoss());
    }

    Result<bool> warned =
        warnAboutCharacters(list, made->characters, made->strings, set->rasteriser,
                            m_warnAboutCodes && !set->settings.useUnicode, m_checks.verbose);
    if (!warned)
        return failure(warned.error());
    if (warnAboutLostInk(lostInk, set->settings.fitCell != 0))
        *warned = true;
    if (*warned && m_checks.strict)
        return failure("stopped by --strict after the warnings above");
    if (Status needs = checkPresetNeeds(set->settings, list, m_checks.strict); !needs)
        return failure(needs.error());

    if (!m_edits.empty()) {
        list.selectAll();
        for (EMatrixEdit edit : editsByName(m_edits))
            list.editSelected(edit);
        list.clearSelection();
    }
    return set;
}

Result<CCommandOptions::CMadeEntries> CCommandOptions::makeEntries(const CSettings& s,
                                                                   CGlyphList& list) const {
    CAddOptions add;
    add.filterDuplicates = s.filterRedup;
    add.filterBlanks = s.filterSpace;
    add.halfWidth = s.halfWidth;
    const CFontSettings font = s.font();
    if (!font.usable())
        return failure("the font settings cannot render anything (font kind, face and size)");

    CMadeEntries made;
    auto addCharacters = [&](std::u16string_view text, const std::string& source,
                             const CAddOptions& how) -> Status {
        if (Status plane = checkBasicPlane(text, source); !plane)
            return plane;
        made.usesFont = true;
        const size_t first = list.size();
        list.addCharacters(text, font, how);
        for (size_t i = first; i < list.size(); ++i)
            made.characters.push_back(i);
        return {};
    };

    // Each option's values in the order given; parse_order() says which option came next.
    std::map<const CLI::Option*, size_t> next;
    bool rtl = false;
    uint8_t threshold = s.threshold;
    // The conversion of pictures: what the options before a picture chose; an option given
    // only after a picture reaches back to it, so that "--picture p --dither fs" dithers p.
    CPictureOptions picture = s.pictureOptions();
    struct CPending {
        CPictureEntry* entry;
        bool method, invert, scale; // whether an option before the picture set them
    };
    std::vector<CPending> pictures;
    bool methodSet = false, invertSet = false, scaleSet = false;
    bool methodLate = false, invertLate = false, scaleLate = false; // after the last picture
    const auto targetOf = [&s](CPictureOptions& o) {
        o.targetWidth = o.scale == EPictureScale::kKeep ? 0 : int(s.width);
        o.targetHeight = o.scale == EPictureScale::kKeep ? 0 : int(s.height);
    };
    for (const CLI::Option* o : m_cmd->parse_order()) {
        size_t i = next[o]++;
        if (o == m_optTexts) {
            if (Status added =
                    addCharacters(utf8ToUtf16(m_texts.at(i)), "'" + m_texts.at(i) + "'", add);
                !added)
                return failure(added.error());
        } else if (o == m_optTextFiles) {
            Result<std::u16string> text = importTextFile(m_textFiles.at(i));
            if (!text)
                return failure(text.error());
            if (Status added = addCharacters(*text, m_textFiles.at(i), add); !added)
                return failure(added.error());
        } else if (o == m_optRtl) {
            rtl = true;
        } else if (o == m_optStrings) {
            std::u16string text = utf8ToUtf16(m_strings.at(i));
            if (text.empty())
                return failure("a string entry needs a text");
            made.usesFont = true;
            if (!(add.filterDuplicates && list.hasString(text))) {
                made.strings.push_back(list.size());
                list.append(std::make_unique<CStringEntry>(list.rasteriser(), text, rtl, font));
            }
            rtl = false;
        } else if (o == m_optThreshold) {
            threshold = uint8_t(m_thresholds.at(i));
        } else if (o == m_optDither) {
            picture.method = *pictureMethodFromName(m_dithers.at(i));
            methodSet = methodLate = true;
        } else if (o == m_optInvert) {
            picture.invert = invertSet = invertLate = true;
        } else if (o == m_optScale) {
            picture.scale = *pictureScaleFromName(m_scales.at(i));
            targetOf(picture);
            scaleSet = scaleLate = true;
        } else if (o == m_optPictures) {
            // The name's bytes as given: a file name need not be UTF-8.
            std::u16string path = fileNameToText(m_pictures.at(i));
            if (!(add.filterDuplicates && list.hasPicture(path))) {
                picture.threshold = threshold;
                auto entry = std::make_unique<CPictureEntry>(list.rasteriser(), path, picture);
                pictures.push_back({entry.get(), methodSet, invertSet, scaleSet});
                methodLate = invertLate = scaleLate = false;
                list.append(std::move(entry));
            }
        } else if (o == m_optProjects) {
            if (Status loaded = appendProjectFile(list, m_projects.at(i)); !loaded)
                return failure(loaded.error());
        }
    }
    if (!m_alsoCharacters.empty()) {
        std::u16string text;
        for (char16_t c : m_alsoCharacters)
            if (c != u'\n' && c != u'\r')
                text += c;
        CAddOptions once = add;
        once.filterDuplicates = true;
        if (Status added = addCharacters(text, "--text", once); !added)
            return failure(added.error());
    }
    for (const CPending& p : pictures) {
        CPictureOptions o = p.entry->options();
        if (!p.method && methodLate)
            o.method = picture.method;
        if (!p.invert && invertLate)
            o.invert = true;
        if (!p.scale && scaleLate) {
            o.scale = picture.scale;
            targetOf(o);
        }
        p.entry->setOptions(o);
    }
    return made;
}

} // namespace tgw::cli
