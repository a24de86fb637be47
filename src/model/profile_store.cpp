#include "model/profile_store.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace tgw {
namespace {

std::string trim(const std::string& s) {
    size_t b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos)
        return {};
    size_t e = s.find_last_not_of(" \t\r");
    return s.substr(b, e - b + 1);
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

void CProfileStore::load() {
    m_lines.clear();
    std::ifstream in(m_path, std::ios::binary);
    if (!in)
        return;
    std::string line, section;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        std::string t = trim(line);
        if (t.size() >= 2 && t.front() == '[' && t.back() == ']') {
            section = t.substr(1, t.size() - 2);
            m_lines.push_back({section, {}, line});
            continue;
        }
        size_t eq = line.find('=');
        if (eq == std::string::npos || t.empty() || t[0] == ';' || t[0] == '#') {
            m_lines.push_back({section, {}, line});
            continue;
        }
        std::string key = trim(line.substr(0, eq));
        m_lines.push_back({section, key, line.substr(eq + 1)});
    }
}

Status CProfileStore::save() const {
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::path target(m_path);
    if (target.has_parent_path())
        fs::create_directories(target.parent_path(), ec);
    std::string tmp = m_path + ".XXXXXX";
    int fd = mkstemp(tmp.data());
    if (fd < 0)
        return failure("cannot write the profile '" + m_path + "'");
    std::ostringstream out;
    for (const CLine& l : m_lines)
        out << (l.key.empty() ? l.text : l.key + "=" + l.text) << '\n';
    std::string data = out.str();
    bool good = ::write(fd, data.data(), data.size()) == ssize_t(data.size());
    good = ::fsync(fd) == 0 && good;
    good = ::close(fd) == 0 && good;
    if (good && std::rename(tmp.c_str(), m_path.c_str()) == 0)
        return {};
    std::remove(tmp.c_str());
    return failure("cannot write the profile '" + m_path + "'");
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
            return;
        }
    }
    if (!sectionSeen) {
        m_lines.push_back({section, {}, "[" + section + "]"});
        lastInSection = m_lines.size() - 1;
    }
    m_lines.insert(m_lines.begin() + long(lastInSection) + 1, CLine{section, key, value});
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
