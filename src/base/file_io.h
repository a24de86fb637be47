#pragma once

#include "base/result.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tgw {

// Why a whole-file read failed, for callers that show a different message for each.
// A folder, device, pipe or socket counts as Open: it is refused before anything is read.
enum class EReadFailure { None, Open, Read, TooLarge };

// An open regular file: its descriptor (owned; closed by the destructor) and its size when opened.
class CReadableFile {
public:
    CReadableFile(int fd, uint64_t size) : m_fd(fd), m_size(size) {}
    CReadableFile(CReadableFile&& other) noexcept : m_fd(other.m_fd), m_size(other.m_size) {
        other.m_fd = -1;
    }
    CReadableFile& operator=(CReadableFile&&) = delete;
    ~CReadableFile();

    int fd() const { return m_fd; }
    uint64_t size() const { return m_size; }
    // Hands the descriptor over to the caller, who closes it.
    int release() {
        int fd = m_fd;
        m_fd = -1;
        return fd;
    }

private:
    int m_fd;
    uint64_t m_size;
};

// Opens `path` for reading when it is a regular file (a link is followed). A folder, device,
// FIFO or socket is refused without waiting for a writer or reading a byte, with a message
// naming the path.
Result<CReadableFile> openRegularFile(const std::string& path);

// Reads the whole regular file at `path` (through openRegularFile). A file longer than
// `maxBytes` is refused without being read, and so is one that grows past it while being read.
// On failure `why`, when given, says which step failed.
Result<std::string> readWholeFile(const std::string& path, size_t maxBytes,
                                  EReadFailure* why = nullptr);

} // namespace tgw
