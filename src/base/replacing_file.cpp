#include "base/replacing_file.h"

#include "base/termination.h"

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

// The file a chain of symbolic links ends in, followed by hand so that a dangling link gives the
// path it points to (where the file is then created). Fails with ELOOP on a loop.
bool followLinks(std::string& path) {
    for (int hops = 0;; ++hops) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0)
            return errno == ENOENT;
        if (!S_ISLNK(st.st_mode))
            return true;
        if (hops == 40) { // the kernel's own limit
            errno = ELOOP;
            return false;
        }
        std::string target(PATH_MAX, '\0');
        ssize_t n = ::readlink(path.c_str(), target.data(), target.size());
        if (n < 0)
            return false;
        target.resize(size_t(n));
        if (target.empty() || target[0] != '/') {
            const size_t slash = path.rfind('/');
            if (slash != std::string::npos)
                target = path.substr(0, slash + 1) + target;
        }
        path = std::move(target);
    }
}

// Not writable by us: the shell's `>` would refuse it, so replacing it by a rename would not be
// what the user expects. For root, access() grants everything, so the mode bits decide.
bool writeProtected(const std::string& path, const struct stat& st) {
    if (::access(path.c_str(), W_OK) != 0)
        return errno == EACCES || errno == EROFS;
    return (st.st_mode & 0222) == 0;
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
    m_file = m_target;
    if (!followLinks(m_file))
        return error("write");
    struct stat st {};
    const bool exists = ::stat(m_file.c_str(), &st) == 0;
    if (exists && S_ISDIR(st.st_mode)) {
        errno = EISDIR;
        return error("write");
    }
    if (exists && !S_ISREG(st.st_mode)) {
        if (m_regularOnly)
            return failure("'" + m_target + "' is not a regular file; it is left as it is");
        m_fd = ::open(m_file.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
        if (m_fd < 0)
            return error("open");
        m_direct = true;
        return {};
    }
    if (exists && !m_force && writeProtected(m_file, st))
        return failure("'" + m_target + "' is write-protected; it is left as it is");
    const size_t slash = m_file.rfind('/');
    const std::string folder =
        slash == std::string::npos ? std::string() : m_file.substr(0, slash + 1);
    std::string name = slash == std::string::npos ? m_file : m_file.substr(slash + 1);
    // "." + name + "." + 12 characters + ".tmp" must fit in a file name of NAME_MAX bytes.
    const size_t room = NAME_MAX - 18;
    if (name.size() > room)
        name.resize(room);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string temp = folder + "." + name + "." + randomSuffix() + ".tmp";
        // Registered before it exists, so that no signal between its creation and its
        // registration can leave it behind.
        const bool registered = registerTemporaryFile(temp);
        // 0666 under the umask, as any newly created file; an existing target's own mode below.
        int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (fd < 0) {
            const int why = errno;
            if (registered)
                unregisterTemporaryFile(temp);
            errno = why;
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
        dropTemporary();
        return s;
    }
    m_fd = -1;
    if (::rename(m_temp.c_str(), m_file.c_str()) != 0) {
        Status s = error("replace");
        dropTemporary();
        return s;
    }
    // Renamed: a signal from now on finds no file of that name to remove.
    unregisterTemporaryFile(m_temp);
    m_temp.clear();
    return {};
}

void CReplacingFile::dropTemporary() {
    if (m_temp.empty())
        return;
    // Removed before it leaves the table, so that a signal in between still removes it.
    ::unlink(m_temp.c_str());
    unregisterTemporaryFile(m_temp);
    m_temp.clear();
}

void CReplacingFile::discard() {
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_direct = false;
    dropTemporary();
}

Status writeFileReplacing(const std::string& path, std::string_view data, bool force) {
    CReplacingFile file(path);
    file.setForce(force);
    if (Status s = file.open(); !s)
        return s;
    if (Status s = file.write(data); !s)
        return s;
    return file.commit();
}

} // namespace tgw
