#include "raster/byte_source.h"

#include "base/file_io.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tgw {

bool IByteSource::readVector(uint64_t offset, size_t length, std::vector<uint8_t>& out) const {
    out.clear();
    // Checked before allocating, so that a length read from a hostile file costs nothing.
    if (offset > size() || length > size() - offset)
        return false;
    out.resize(length);
    if (!read(offset, out.data(), length)) {
        out.clear();
        return false;
    }
    return true;
}

bool CMemorySource::read(uint64_t offset, void* out, size_t length) const {
    if (offset > m_bytes.size() || length > m_bytes.size() - offset)
        return false;
    if (length)
        std::memcpy(out, m_bytes.data() + offset, length);
    return true;
}

Result<CFileSource> CFileSource::open(const std::string& path) {
    Result<CReadableFile> file = openRegularFile(path);
    if (!file)
        return failure(file.error());
    const uint64_t size = file->size();
    return CFileSource(file->release(), size);
}

CFileSource::CFileSource(CFileSource&& other) noexcept : m_fd(other.m_fd), m_size(other.m_size) {
    other.m_fd = -1;
}

CFileSource::~CFileSource() {
    if (m_fd >= 0)
        ::close(m_fd);
}

bool CFileSource::read(uint64_t offset, void* out, size_t length) const {
    if (offset > m_size || length > m_size - offset)
        return false;
    auto* p = static_cast<uint8_t*>(out);
    while (length > 0) {
        ssize_t n = ::pread(m_fd, p, length, off_t(offset));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) // shrunk under us, or a read error
            return false;
        p += n;
        offset += uint64_t(n);
        length -= size_t(n);
    }
    return true;
}

Result<std::vector<uint8_t>> readWholeFile(const std::string& path, size_t limit) {
    Result<CFileSource> file = CFileSource::open(path);
    if (!file)
        return failure(file.error());
    if (file->size() > limit)
        return failure("'" + path + "' is larger than " + std::to_string(limit >> 20) + " MiB");
    std::vector<uint8_t> bytes;
    if (!file->readVector(0, size_t(file->size()), bytes))
        return failure("cannot read '" + path + "'");
    return bytes;
}

} // namespace tgw
