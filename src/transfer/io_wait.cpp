#include "transfer/io_wait.h"

#include "base/screen_text.h"

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <poll.h>
#include <sys/eventfd.h>

namespace tgw {

CCancelSignal::CCancelSignal() : m_event(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

void CCancelSignal::raise() noexcept {
    m_raised.store(true, std::memory_order_release);
    if (m_event) {
        uint64_t one = 1;
        // The counter only saturates after 2^64 - 1 raises; a failed write still leaves the flag.
        [[maybe_unused]] ssize_t n = ::write(m_event.get(), &one, sizeof one);
    }
}

EWait waitFor(int fd, short events, int timeoutMs, const CCancelSignal& cancel) {
    // Without the event counter the flag is looked at every 50 ms instead.
    const int slice = cancel.fd() >= 0 ? -1 : 50;
    const long long deadline = steadyMs() + (timeoutMs < 0 ? 0 : timeoutMs);
    for (;;) {
        if (cancel.raised())
            return EWait::Cancelled;
        long long left = deadline - steadyMs();
        if (left < 0)
            left = 0;
        int wait = int(left);
        if (slice > 0 && wait > slice)
            wait = slice;
        pollfd fds[2] = {{fd, events, 0}, {cancel.fd(), POLLIN, 0}};
        int n = ::poll(fds, cancel.fd() >= 0 ? 2 : 1, wait);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return EWait::Failed;
        }
        if (cancel.raised())
            return EWait::Cancelled;
        if (n > 0 && (fds[0].revents & (events | POLLHUP | POLLERR | POLLNVAL)))
            return EWait::Ready;
        if (left == 0)
            return EWait::TimedOut;
    }
}

long long steadyMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

namespace {

// The reasons a link commonly fails for, worded as the C library words them, so that a
// translated program can show them in its own language. Others come from strerror.
struct CErrnoText {
    int error;
    const char* text;
};
const CErrnoText kErrnoTexts[] = {
    {EACCES, TGW_TR_EN_NOOP("tgw::core::transfer", "Permission denied")},
    {EADDRINUSE, TGW_TR_EN_NOOP("tgw::core::transfer", "Address already in use")},
    {EADDRNOTAVAIL, TGW_TR_EN_NOOP("tgw::core::transfer", "Cannot assign requested address")},
    {EAGAIN, TGW_TR_EN_NOOP("tgw::core::transfer", "Resource temporarily unavailable")},
    {EBUSY, TGW_TR_EN_NOOP("tgw::core::transfer", "Device or resource busy")},
    {ECONNABORTED, TGW_TR_EN_NOOP("tgw::core::transfer", "Software caused connection abort")},
    {ECONNREFUSED, TGW_TR_EN_NOOP("tgw::core::transfer", "Connection refused")},
    {ECONNRESET, TGW_TR_EN_NOOP("tgw::core::transfer", "Connection reset by peer")},
    {EHOSTDOWN, TGW_TR_EN_NOOP("tgw::core::transfer", "Host is down")},
    {EHOSTUNREACH, TGW_TR_EN_NOOP("tgw::core::transfer", "No route to host")},
    {EINTR, TGW_TR_EN_NOOP("tgw::core::transfer", "Interrupted system call")},
    {EINVAL, TGW_TR_EN_NOOP("tgw::core::transfer", "Invalid argument")},
    {EIO, TGW_TR_EN_NOOP("tgw::core::transfer", "Input/output error")},
    {EISDIR, TGW_TR_EN_NOOP("tgw::core::transfer", "Is a directory")},
    {EMSGSIZE, TGW_TR_EN_NOOP("tgw::core::transfer", "Message too long")},
    {ENETDOWN, TGW_TR_EN_NOOP("tgw::core::transfer", "Network is down")},
    {ENETUNREACH, TGW_TR_EN_NOOP("tgw::core::transfer", "Network is unreachable")},
    {ENOBUFS, TGW_TR_EN_NOOP("tgw::core::transfer", "No buffer space available")},
    {ENODEV, TGW_TR_EN_NOOP("tgw::core::transfer", "No such device")},
    {ENOENT, TGW_TR_EN_NOOP("tgw::core::transfer", "No such file or directory")},
    {ENOMEM, TGW_TR_EN_NOOP("tgw::core::transfer", "Cannot allocate memory")},
    {ENOTTY, TGW_TR_EN_NOOP("tgw::core::transfer", "Inappropriate ioctl for device")},
    {ENXIO, TGW_TR_EN_NOOP("tgw::core::transfer", "No such device or address")},
    {EPERM, TGW_TR_EN_NOOP("tgw::core::transfer", "Operation not permitted")},
    {EPIPE, TGW_TR_EN_NOOP("tgw::core::transfer", "Broken pipe")},
    {ETIMEDOUT, TGW_TR_EN_NOOP("tgw::core::transfer", "Connection timed out")},
};

} // namespace

std::string errorText(int error) {
    for (const CErrnoText& known : kErrnoTexts)
        if (known.error == error)
            return screenText("tgw::core::transfer", known.text);
    char buf[256];
    // The GNU strerror_r returns its text, which need not be in `buf`.
    return ::strerror_r(error, buf, sizeof buf);
}

std::string lastError() {
    return errorText(errno);
}

} // namespace tgw
