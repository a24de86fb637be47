#include "base/file_io.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tgw {
namespace {

// Closes a descriptor on every way out of a function.
class CFd {
public:
    explicit CFd(int fd) : m_fd(fd) {}
    ~CFd() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    CFd(const CFd&) = delete;
    CFd& operator=(const CFd&) = delete;

    int get() const { return m_fd; }
    // Closes now and reports the result: a delayed write error shows up here.
    bool close() {
        int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
    }

private:
    int m_fd;
};

std::string reason() {
    return std::strerror(errno);
}

} // namespace

Result<std::string> readWholeFile(const std::string& path, size_t maxBytes, EReadFailure* why) {
    auto fail = [&](EReadFailure kind, std::string message) -> Result<std::string> {
        if (why)
            *why = kind;
        return failure(std::move(message));
    };
    if (why)
        *why = EReadFailure::None;
    CFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY));
    if (fd.get() < 0)
        return fail(EReadFailure::Open, "cannot open '" + path + "': " + reason());
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0)
        return fail(EReadFailure::Open, "cannot open '" + path + "': " + reason());
    if (S_ISDIR(st.st_mode))
        return fail(EReadFailure::Open, "'" + path + "' is a folder, not a file");
    auto tooLarge = [&] {
        return fail(EReadFailure::TooLarge,
                    "'" + path + "' is larger than " + std::to_string(maxBytes) + " bytes");
    };
    std::string bytes;
    if (S_ISREG(st.st_mode)) {
        if (uint64_t(st.st_size) > maxBytes)
            return tooLarge();
        bytes.reserve(size_t(st.st_size));
    }
    char buffer[65536];
    for (;;) {
        ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return fail(EReadFailure::Read, "cannot read '" + path + "': " + reason());
        if (n == 0)
            break;
        if (size_t(n) > maxBytes - bytes.size())
            return tooLarge();
        bytes.append(buffer, size_t(n));
    }
    return bytes;
}

} // namespace tgw
