#pragma once

#include "base/result.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tgw {

// Profiles are read only up to this size; a longer file is not a profile we wrote.
inline constexpr size_t kMaxProfileBytes = size_t(1) << 20;

// The suffix of a key whose value is written escaped (see CProfileStore).
inline constexpr const char* kEscapedKeySuffix = ".escaped";

// The per-user profile: an INI file whose sections hold KEY=value lines. Only the keys of the
// section asked for are touched; other sections and lines survive a save unchanged.
//
// Every value comes back from a save and a load exactly as it was set. A value without control
// characters is written as it is: "FACENAME=DejaVu Sans". One with any (a line break, a tab,
// NUL, ESC ...) would break its line or be cut at reading, so it is written escaped on a line
// of its own form, which no plain value can take and which older readers pass over:
//
//   FONTFILE.escaped=/fonts/a\nb.pcf      (\\ a backslash, \n \r \t, \xHH any other control)
class CProfileStore {
public:
    // $TESSAGLYPHWORKS_PROFILE when set, else $XDG_CONFIG_HOME/tessaglyphworks/profile.ini
    // (~/.config when XDG_CONFIG_HOME is unset).
    static std::string defaultPath();

    explicit CProfileStore(std::string path);

    // Reads the file. A missing file is an empty profile. A file that cannot be read (no
    // permission, over kMaxProfileBytes, a folder, device or pipe) also leaves the profile empty,
    // fails with a message naming the file, and makes save() refuse: the user's file is never
    // written over with what little was known.
    Status load();
    // Writes the file through a temporary file renamed over it. A symbolic link is followed (a
    // dangling one gets its file created) and the file keeps its mode; anything at the path that
    // is not a regular file, or a profile that could not be loaded, is left alone and fails. So
    // does a profile of more than kMaxProfileBytes, which load() would refuse.
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
        std::string key;  // empty for comments, blank lines and section headers
        std::string text; // the value, unescaped
        std::string raw;  // the line as read, written back while the key is not set
    };
    std::string m_path;
    std::vector<CLine> m_lines;
    bool m_unreadable = false;
};

} // namespace tgw
