#pragma once

#include "base/result.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tgw {

// Random access to the bytes of a file or a buffer, for readers that look at a few parts of a
// large file (a program's resources) and must not load all of it.
class IByteSource {
public:
    virtual ~IByteSource() = default;
    virtual uint64_t size() const = 0;
    // Copies `length` bytes from `offset`; false when they are not all there.
    virtual bool read(uint64_t offset, void* out, size_t length) const = 0;

    // `length` bytes from `offset` into a vector; empty on failure.
    bool readVector(uint64_t offset, size_t length, std::vector<uint8_t>& out) const;
};

class CMemorySource : public IByteSource {
public:
    explicit CMemorySource(std::span<const uint8_t> bytes) : m_bytes(bytes) {}
    uint64_t size() const override { return m_bytes.size(); }
    bool read(uint64_t offset, void* out, size_t length) const override;

private:
    std::span<const uint8_t> m_bytes;
};

// A regular file opened for reading; closes it when destroyed.
class CFileSource : public IByteSource {
public:
    // Fails for anything but a regular file, so that a device or a pipe is never waited on.
    static Result<CFileSource> open(const std::string& utf8Path);
    CFileSource(CFileSource&& other) noexcept;
    CFileSource& operator=(CFileSource&&) = delete;
    ~CFileSource() override;

    uint64_t size() const override { return m_size; }
    bool read(uint64_t offset, void* out, size_t length) const override;

private:
    CFileSource(int fd, uint64_t size) : m_fd(fd), m_size(size) {}
    int m_fd = -1;
    uint64_t m_size = 0;
};

// The whole of a regular file, refused when it is larger than `limit`.
Result<std::vector<uint8_t>> readWholeFile(const std::string& utf8Path, size_t limit);

} // namespace tgw
