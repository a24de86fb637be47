#pragma once

#include <unistd.h>
#include <utility>

namespace tgw {

// Owns one file descriptor (a port, a socket, an event counter) and closes it exactly once.
class CUniqueFd {
public:
    CUniqueFd() = default;
    explicit CUniqueFd(int fd) : m_fd(fd) {}
    ~CUniqueFd() { reset(); }
    CUniqueFd(CUniqueFd&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
    CUniqueFd& operator=(CUniqueFd&& other) noexcept {
        if (this != &other)
            reset(std::exchange(other.m_fd, -1));
        return *this;
    }
    CUniqueFd(const CUniqueFd&) = delete;
    CUniqueFd& operator=(const CUniqueFd&) = delete;

    int get() const { return m_fd; }
    bool valid() const { return m_fd >= 0; }
    explicit operator bool() const { return valid(); }

    void reset(int fd = -1) noexcept {
        if (m_fd >= 0)
            ::close(m_fd); // nothing useful can be done about a failed close
        m_fd = fd;
    }

private:
    int m_fd = -1;
};

} // namespace tgw
