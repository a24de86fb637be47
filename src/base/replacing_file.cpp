#include "base/replacing_file.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace tgw {
namespace {

std::string randomSuffix() {
    static const char kDigits[] = "0123456789abcdefghijklmnopqrstuv";
    std::random_device device;
    uint64_t bits = (uint64_t(device()) << 32) ^ device();
    std::string s;
    for (int i = 0; i < 12; ++i, bits >>= 5)
        s.push_back(kDigits[bits & 31]);
    return s;
}

} // namespace

CReplacingFile::~CReplacingFile() {
    discard();
}

Status CReplacingFile::error(const std::string& what) const {
    return failure("cannot " + what + " '" + m_target + "': " + std::strerror(errno));
}

Status CReplacingFile::open() {
    discard();
    if (m_target.empty()) {
        errno = ENOENT;
        return error("write");
    }
    struct stat st {};
    const bool exists = ::stat(m_target.c_str(), &st) == 0;
    if (exists && S_ISDIR(st.st_mode)) {
        errno = EISDIR;
        return error("write");
    }
    if (exists && !S_ISREG(st.st_mode)) {
        m_fd = ::open(m_target.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
        if (m_fd < 0)
            return error("open");
        m_direct = true;
        return {};
    }
    if (exists) {
        // Replace the file a link points to, not the link.
        if (char* real = ::realpath(m_target.c_str(), nullptr)) {
            m_target = real;
            std::free(real);
        }
    }
    const size_t slash = m_target.rfind('/');
    const std::string folder =
        slash == std::string::npos ? std::string() : m_target.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? m_target : m_target.substr(slash + 1);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string temp = folder + "." + name + "." + randomSuffix() + ".tmp";
        // 0666 under the umask, as any newly created file; an existing target's own mode below.
        int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            return error("create a temporary file for");
        }
        if (exists)
            (void)::fchmod(fd, st.st_mode & 07777);
        m_fd = fd;
        m_temp = std::move(temp);
        return {};
    }
    return error("create a temporary file for");
}

Status CReplacingFile::write(std::string_view bytes) {
    if (m_fd < 0) {
        errno = EBADF;
        return error("write");
    }
    while (!bytes.empty()) {
        ssize_t n = ::write(m_fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return error("write");
        }
        bytes.remove_prefix(size_t(n));
    }
    return {};
}

Status CReplacingFile::commit() {
    if (m_fd < 0) {
        errno = EBADF;
        return error("write");
    }
    if (m_direct) {
        int fd = m_fd;
        m_fd = -1;
        m_direct = false;
        if (::close(fd) != 0)
            return error("write");
        return {};
    }
    if (::fsync(m_fd) != 0 || ::close(m_fd) != 0) {
        m_fd = -1;
        Status s = error("write");
        ::unlink(m_temp.c_str());
        m_temp.clear();
        return s;
    }
    m_fd = -1;
    if (::rename(m_temp.c_str(), m_target.c_str()) != 0) {
        Status s = error("replace");
        ::unlink(m_temp.c_str());
        m_temp.clear();
        return s;
    }
    m_temp.clear();
    return {};
}

void CReplacingFile::discard() {
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_direct = false;
    if (!m_temp.empty())
        ::unlink(m_temp.c_str());
    m_temp.clear();
}

Status writeFileReplacing(const std::string& path, std::string_view data) {
    CReplacingFile file(path);
    if (Status s = file.open(); !s)
        return s;
    if (Status s = file.write(data); !s)
        return s;
    return file.commit();
}

} // namespace tgw
