#pragma once

#include "base/result.h"
#include "cli/entry_checks.h"
#include "model/glyph_list.h"
#include "model/settings.h"
#include "raster/rasteriser.h"

#include <CLI/CLI.hpp>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tgw::cli {

// What a command that takes entries works on: its settings and the entries, rendered through
// the list's own rasteriser.
struct CEntrySet {
    CSettings settings;
    CRasteriser rasteriser;
    CGlyphList list{rasteriser};
};

// The options every command takes: the settings it starts from, the single settings it
// overrides, and (for commands that make entries) the entries in command-line order.
class CCommandOptions {
public:
    void addSettingsOptions(CLI::App* cmd);
    void addEntryOptions(CLI::App* cmd);
    // --encoding of the commands that write C or assembler text.
    void addCodeEncodingOption(CLI::App* cmd);
    bool codeEncodingGiven() const { return !m_encoding.empty(); }

    // The table's defaults (or --settings FILE), then the single overrides.
    Result<CSettings> settings() const;
    // The settings, then the entries in command-line order through the list's own add
    // operations, every one rendered. Fails on the first entry that cannot be made.
    Result<std::unique_ptr<CEntrySet>> makeEntrySet() const;

    // Commands that write codes warn about characters without a code page 936 form.
    void warnAboutCodes() { m_warnAboutCodes = true; }
    // As --keep-blanks: white-space characters become entries (the proportional formats need
    // their advance).
    void keepBlanks() { m_keepBlanks = true; }
    // The character entries are drawn again at their natural width by a proportional format:
    // what their cells cut off is not lost, and not reported.
    void cellsNotWritten() { m_cellsNotWritten = true; }
    // --rotate without --preset: the display's mounting on its own (tgw preview). Called
    // before addSettingsOptions().
    void rotateWithoutPreset() { m_rotateAlone = true; }
    // Character entries for the characters of `text` that no entry made before has, added
    // after the other entries (tgw preview --text). Line breaks make no entry.
    void alsoCharacters(std::u16string text) { m_alsoCharacters = std::move(text); }

private:
    // The entries made from options, as opposed to those of project files.
    struct CMadeEntries {
        bool usesFont = false;          // characters or strings
        std::vector<size_t> characters; // positions of the character entries
        std::vector<size_t> strings;    // positions of the string entries
    };
    Result<CMadeEntries> makeEntries(const CSettings& settings, CGlyphList& list) const;

    const CLI::App* m_cmd = nullptr;
    std::string m_settingsFile;
    std::string m_fontKind;
    std::string m_face;
    std::optional<std::string> m_size; // dots, or "fit"
    std::string m_fontFile;
    std::optional<int> m_faceIndex;
    std::optional<int> m_width, m_height, m_offset;
    std::optional<int> m_depth; // bits a dot
    bool m_bold = false, m_italic = false, m_underline = false, m_strikeout = false;
    bool m_halfWidth = false;
    std::optional<int> m_dotOrder, m_byteOrder;
    std::string m_preset;
    std::optional<int> m_rotation; // --rotate: how the preset's display is mounted
    bool m_rotateAlone = false;
    std::u16string m_alsoCharacters;
    void addRotateOption(CLI::App* cmd);
    std::string m_language;
    bool m_unicode = false;
    std::string m_encoding; // --encoding: cp936 or utf-8; empty: as the settings say
    std::optional<std::string> m_head, m_tail;
    bool m_keepDuplicates = false, m_keepBlanks = false;
    bool m_cellsNotWritten = false;

    std::vector<std::string> m_texts;
    std::vector<std::string> m_textFiles;
    std::vector<std::string> m_strings;
    std::vector<std::string> m_pictures;
    std::vector<std::string> m_projects;
    std::vector<int> m_thresholds;
    std::vector<std::string> m_dithers;
    std::vector<std::string> m_scales;
    int m_invertFlags = 0;
    int m_rtlFlags = 0;
    CLI::Option* m_optTexts = nullptr;
    CLI::Option* m_optTextFiles = nullptr;
    CLI::Option* m_optStrings = nullptr;
    CLI::Option* m_optRtl = nullptr;
    CLI::Option* m_optPictures = nullptr;
    CLI::Option* m_optThreshold = nullptr;
    CLI::Option* m_optDither = nullptr;
    CLI::Option* m_optInvert = nullptr;
    CLI::Option* m_optScale = nullptr;
    CLI::Option* m_optProjects = nullptr;
    std::vector<std::string> m_edits;
    CEntryChecks m_checks;
    bool m_warnAboutCodes = false;
    mutable bool m_defaultFace = false; // settings() left the face at kDefaultFace
};

// The face tgw renders with when none is named (--face, --font-file or the settings file).
inline constexpr const char16_t* kDefaultFace = u"DejaVu Sans";

// The failure of a command: one line on stderr, exit status 1.
int fail(const std::string& message);

// Writes `data` to `path` ("-" or empty: stdout) through a temporary file renamed over it.
Status writeOutput(const std::string& path, const std::string& data);

// The end of a command that printed to stdout: 0, or 1 after one line on stderr when what was
// printed could not be written (a full disk, a closed pipe).
int finishStdout();

// --fallback: characters a font file lacks come from installed faces.
void addFileFallbackOption(CLI::App* cmd, bool& fallback);
// Fails when --fallback was given without a font file to fall back from.
Status checkFileFallback(const CSettings& settings, bool fallback);

// --force: replace a write-protected output file.
void addForceOption(CLI::App* cmd, bool& force);

// "\r\n" and "\t" typed in a template option become CR LF and a tab.
std::u16string unescapeTemplate(const std::string& text);

} // namespace tgw::cli
