#include "model/profile_store.h"

#include "base/file_io.h"
#include "base/replacing_file.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>

namespace tgw {
namespace {

std::string trim(const std::string& s) {
    size_t b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos)
        return {};
    size_t e = s.find_last_not_of(" \t\r");
    return s.substr(b, e - b + 1);
}

bool isControl(unsigned char c) {
    return c < 0x20 || c == 0x7F;
}

bool needsEscape(std::string_view value) {
    for (unsigned char c : value)
        if (isControl(c))
            return true;
    return false;
}

std::string escape(std::string_view value) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(value.size() + 8);
    for (unsigned char c : value) {
        if (c == '\\')
            out += "\\\\";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else if (c == '\t')
            out += "\\t";
        else if (isControl(c))
            out += {'\\', 'x', kHex[c >> 4], kHex[c & 15]};
        else
            out.push_back(char(c));
    }
    return out;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// The writer's escapes undone; a backslash that begins none of them (a hand edit) stays.
std::string unescape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const char next = i + 1 < text.size() ? text[i + 1] : '\0';
        if (c != '\\' || i + 1 == text.size()) {
            out.push_back(c);
        } else if (next == '\\' || next == 'n' || next == 'r' || next == 't') {
            out.push_back(next == 'n' ? '\n' : next == 'r' ? '\r' : next == 't' ? '\t' : '\\');
            ++i;
        } else if (next == 'x' && i + 3 < text.size() && hexDigit(text[i + 2]) >= 0 &&
                   hexDigit(text[i + 3]) >= 0) {
            out.push_back(char(hexDigit(text[i + 2]) * 16 + hexDigit(text[i + 3])));
            i += 3;
        } else {
            out.push_back(c);
        }
    }
    return out;
}

bool endsWith(const std::string& s, std::string_view tail) {
    return s.size() > tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

} // namespace

std::string CProfileStore::defaultPath() {
    if (const char* p = std::getenv("TESSAGLYPHWORKS_PROFILE"); p && *p)
        return p;
    std::string base;
    if (const char* x = std::getenv("XDG_CONFIG_HOME"); x && *x)
        base = x;
    else if (const char* h = std::getenv("HOME"); h && *h)
        base = std::string(h) + "/.config";
    else
        base = ".";
    return base + "/tessaglyphworks/profile.ini";
}

CProfileStore::CProfileStore(std::string path) : m_path(std::move(path)) {}

Status CProfileStore::load() {
    m_lines.clear();
    m_unreadable = false;
    struct stat st {};
    if (::stat(m_path.c_str(), &st) != 0 && errno == ENOENT)
        return {}; // a first start (or a link to a file not made yet)
    Result<std::string> bytes = readWholeFile(m_path, kMaxProfileBytes);
    if (!bytes) {
        m_unreadable = true;
        return failure(bytes.error());
    }
    std::string section;
    size_t begin = 0;
    const std::string& text = *bytes;
    while (begin < text.size()) {
        size_t end = text.find('\n', begin);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(begin, end - begin);
        begin = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        std::string t = trim(line);
        if (t.size() >= 2 && t.front() == '[' && t.back() == ']') {
            section = t.substr(1, t.size() - 2);
            m_lines.push_back({section, {}, line, line});
            continue;
        }
        size_t eq = line.find('=');
        if (eq == std::string::npos || t.empty() || t[0] == ';' || t[0] == '#') {
            m_lines.push_back({section, {}, line, line});
            continue;
        }
        std::string key = trim(line.substr(0, eq));
        if (endsWith(key, kEscapedKeySuffix)) {
            key.resize(key.size() - std::string_view(kEscapedKeySuffix).size());
            m_lines.push_back({section, key, unescape(line.substr(eq + 1)), line});
            continue;
        }
        m_lines.push_back({section, key, line.substr(eq + 1), line});
    }
    return {};
}

Status CProfileStore::save() const {
    if (m_unreadable)
        return failure("the profile '" + m_path +
                       "' could not be read, so it is not written over; it is left as it is");
    std::string data;
    for (const CLine& l : m_lines) {
        if (!l.raw.empty())
            data += l.raw;
        else if (l.key.empty())
            data += l.text;
        else if (needsEscape(l.text))
            data += l.key + kEscapedKeySuffix + "=" + escape(l.text);
        else
            data += l.key + "=" + l.text;
        data += '\n';
    }
    if (data.size() > kMaxProfileBytes)
        return failure("the profile '" + m_path + "' would be larger than it may be read back (" +
                       std::to_string(kMaxProfileBytes) + " bytes); it is left as it is");
    std::error_code ec;
    std::filesystem::path target(m_path);
    if (target.has_parent_path())
        std::filesystem::create_directories(target.parent_path(), ec);
    CReplacingFile file(m_path);
    file.refuseNonRegular();
    if (Status s = file.open(); !s)
        return failure("cannot write the profile: " + s.error());
    if (Status s = file.write(data); !s)
        return failure("cannot write the profile: " + s.error());
    if (Status s = file.commit(); !s)
        return failure("cannot write the profile: " + s.error());
    return {};
}

std::optional<std::string> CProfileStore::get(const std::string& section,
                                              const std::string& key) const {
    for (const CLine& l : m_lines)
        if (!l.key.empty() && l.section == section && l.key == key)
            return l.text;
    return std::nullopt;
}

void CProfileStore::set(const std::string& section, const std::string& key,
                        const std::string& value) {
    size_t lastInSection = m_lines.size();
    bool sectionSeen = false;
    for (size_t i = 0; i < m_lines.size(); ++i) {
        CLine& l = m_lines[i];
        if (l.section != section)
            continue;
        sectionSeen = true;
        lastInSection = i;
        if (l.key == key) {
            l.text = value;
            l.raw.clear();
            return;
        }
    }
    if (!sectionSeen) {
        m_lines.push_back({section, {}, "[" + section + "]", {}});
        lastInSection = m_lines.size() - 1;
    }
    m_lines.insert(m_lines.begin() + long(lastInSection) + 1, CLine{section, key, value, {}});
}

long CProfileStore::getInt(const std::string& section, const std::string& key,
                           long fallback) const {
    auto v = get(section, key);
    if (!v)
        return fallback;
    std::string t = trim(*v);
    const char* s = t.c_str();
    char* end = nullptr;
    errno = 0;
    long n = std::strtol(s, &end, 10);
    if (end == s || errno == ERANGE)
        return fallback;
    return n;
}

} // namespace tgw
