#pragma once

#include "base/result.h"
#include "model/glyph_list.h"
#include "model/settings.h"

#include <CLI/CLI.hpp>

#include <optional>
#include <string>
#include <vector>

namespace tgw::cli {

// The options every command takes: the settings it starts from, the single settings it
// overrides, and (for commands that make entries) the entries in command-line order.
class CCommandOptions {
public:
    void addSettingsOptions(CLI::App* cmd);
    void addEntryOptions(CLI::App* cmd);

    // The table's defaults (or --settings FILE), then the single overrides.
    Result<CSettings> settings() const;
    // Makes the entries in command-line order through the list's own add operations.
    Status makeEntries(const CLI::App* cmd, const CSettings& settings, CGlyphList& list) const;

private:
    std::string m_settingsFile;
    std::string m_fontKind;
    std::string m_face;
    std::optional<int> m_size, m_width, m_height, m_offset;
    bool m_bold = false, m_italic = false, m_underline = false, m_strikeout = false;
    bool m_halfWidth = false;
    std::optional<int> m_dotOrder, m_byteOrder;
    std::string m_preset;
    std::string m_language;
    bool m_unicode = false;
    std::optional<std::string> m_head, m_tail;
    bool m_keepDuplicates = false, m_keepBlanks = false;

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
};

// The failure of a command: one line on stderr, exit status 1.
int fail(const std::string& message);

// Writes `data` to `path` ("-" or empty: stdout) through a temporary file renamed over it.
Status writeOutput(const std::string& path, const std::string& data);

// "\r\n" and "\t" typed in a template option become CR LF and a tab.
std::u16string unescapeTemplate(const std::string& text);

} // namespace tgw::cli
