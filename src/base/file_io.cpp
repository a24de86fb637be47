#include "base/file_io.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tgw {
namespace {

std::string reason() {
    return std::strerror(errno);
}

const char* kindOf(mode_t mode) {
    if (S_ISDIR(mode))
        return "a folder";
    if (S_ISFIFO(mode))
        return "a pipe";
    if (S_ISSOCK(mode))
        return "a socket";
    return "a device";
}

} // namespace

CReadableFile::~CReadableFile() {
    if (m_fd >= 0)
        ::close(m_fd);
}

Result<CReadableFile> openRegularFile(const std::string& path) {
    // Non-blocking, so that a FIFO does not wait for a writer before it can be refused.
    int raw = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (raw < 0)
        return failure("cannot open '" + path + "': " + reason());
    CReadableFile file(raw, 0);
    struct stat st {};
    if (::fstat(raw, &st) != 0)
        return failure("cannot open '" + path + "': " + reason());
    if (!S_ISREG(st.st_mode))
        return failure("'" + path + "' is " + kindOf(st.st_mode) + ", not a file");
    const int flags = ::fcntl(raw, F_GETFL);
    if (flags < 0 || ::fcntl(raw, F_SETFL, flags & ~O_NONBLOCK) != 0)
        return failure("cannot open '" + path + "': " + reason());
    return CReadableFile(file.release(), uint64_t(st.st_size));
}

Result<std::string> readWholeFile(const std::string& path, size_t maxBytes, EReadFailure* why) {
    auto fail = [&](EReadFailure kind, std::string message) -> Result<std::string> {
        if (why)
            *why = kind;
        return failure(std::move(message));
    };
    if (why)
        *why = EReadFailure::None;
    Result<CReadableFile> file = openRegularFile(path);
    if (!file)
        return fail(EReadFailure::Open, file.error());
    auto tooLarge = [&] {
        return fail(EReadFailure::TooLarge,
                    "'" + path + "' is larger than " + std::to_string(maxBytes) + " bytes");
    };
    if (file->size() > maxBytes)
        return tooLarge();
    std::string bytes;
    bytes.reserve(size_t(file->size()));
    char buffer[65536];
    for (;;) {
        ssize_t n = ::read(file->fd(), buffer, sizeof buffer);
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
