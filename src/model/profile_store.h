#pragma once

#include "base/result.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tgw {

// The per-user profile: an INI file whose sections hold KEY=value lines. Only the keys of the
// section asked for are touched; other sections and lines survive a save unchanged.
class CProfileStore {
public:
    // $TESSAGLYPHWORKS_PROFILE when set, else $XDG_CONFIG_HOME/tessaglyphworks/profile.ini
    // (~/.config when XDG_CONFIG_HOME is unset).
    static std::string defaultPath();

    explicit CProfileStore(std::string path);

    // Reads the file; a missing or unreadable file is an empty profile.
    void load();
    // Writes the file through a temporary file renamed over it.
    Status save() const;

    std::optional<std::string> get(const std::string& section, const std::string& key) const;
    void set(const std::string& section, const std::string& key, const std::string& value);

    // An integer read as the system's profile reads one: a missing key or a value without
    // leading digits gives `fallback`.
    long getInt(const std::string& section, const std::string& key, long fallback) const;

    const std::string& path() const { return m_path; }

private:
    struct CLine {
        std::string section;
        std::string key; // empty for comments, blank lines and section headers
        std::string text;
    };
    std::string m_path;
    std::vector<CLine> m_lines;
};

} // namespace tgw
