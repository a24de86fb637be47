#include "transfer/serial_port.h"

#include "base/screen_text.h"

#include "base/text.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <libserialport.h>
#include <memory>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>

namespace tgw {
namespace {

struct CPortListDeleter {
    void operator()(sp_port** list) const noexcept { sp_free_port_list(list); }
};

std::string libraryError() {
    char* text = sp_last_error_message();
    std::string out = text ? text : TGW_TR_EN("tgw::core::transfer", "unknown error");
    sp_free_error_message(text);
    return out;
}

// The B-constant of a rate termios names directly; 0 for the others.
speed_t standardSpeed(unsigned rate) {
    static const struct {
        unsigned rate;
        speed_t speed;
    } kSpeeds[] = {{50, B50},         {75, B75},         {110, B110},       {134, B134},
                   {150, B150},       {200, B200},       {300, B300},       {600, B600},
                   {1200, B1200},     {1800, B1800},     {2400, B2400},     {4800, B4800},
                   {9600, B9600},     {19200, B19200},   {38400, B38400},   {57600, B57600},
                   {115200, B115200}, {230400, B230400}, {460800, B460800}, {921600, B921600}};
    for (const auto& s : kSpeeds)
        if (s.rate == rate)
            return s.speed;
    return 0;
}

} // namespace

Result<std::vector<CSerialPortInfo>> listSerialPorts() {
    sp_port** raw = nullptr;
    if (sp_list_ports(&raw) != SP_OK)
        return failure(
            format(TGW_TR_EN("tgw::core::transfer", "the serial ports cannot be listed: %s"),
                   libraryError().c_str()));
    std::unique_ptr<sp_port*, CPortListDeleter> list(raw);
    std::vector<CSerialPortInfo> ports;
    for (sp_port** p = raw; *p; ++p) {
        const char* name = sp_get_port_name(*p);
        const char* description = sp_get_port_description(*p);
        if (name)
            ports.push_back({name, description ? description : ""});
    }
    return ports;
}

Result<CSerialPort> CSerialPort::open(const std::string& path, unsigned baudRate, bool* busy) {
    if (busy)
        *busy = false;
    if (path.empty())
        return failure(TGW_TR_EN("tgw::core::transfer", "no serial port was given"));
    if (baudRate == 0)
        return failure(TGW_TR_EN("tgw::core::transfer", "the baud rate must be above 0"));
    CUniqueFd fd(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (!fd) {
        // EBUSY: the holder set TIOCEXCL.
        if (errno == EBUSY && busy)
            *busy = true;
        return failure(path + ": " + lastError());
    }
    if (!::isatty(fd.get()))
        return failure(
            format(TGW_TR_EN("tgw::core::transfer", "%s is not a serial port"), path.c_str()));
    // The advisory lock serial terminals take on the device. Taken before the settings below,
    // so that a port in use keeps its holder's rate and queued bytes.
    if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) {
        const bool held = errno == EWOULDBLOCK;
        if (held && busy)
            *busy = true;
        return failure(
            held ? format(TGW_TR_EN("tgw::core::transfer", "%s is in use by another program"),
                          path.c_str())
                 : path + ": " + lastError());
    }
    termios t{};
    if (::tcgetattr(fd.get(), &t) != 0)
        return failure(path + ": " + lastError());
    // Raw bytes both ways: no line editing, no CR/LF translation, no XON/XOFF, 8-N-1.
    ::cfmakeraw(&t);
    t.c_cflag &= ~(CSIZE | PARENB | CSTOPB | CRTSCTS);
    t.c_cflag |= CS8 | CREAD | CLOCAL;
    t.c_iflag &= ~(IXON | IXOFF | IXANY);
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    const speed_t speed = standardSpeed(baudRate);
    if (speed) {
        ::cfsetispeed(&t, speed);
        ::cfsetospeed(&t, speed);
    }
    if (::tcsetattr(fd.get(), TCSANOW, &t) != 0)
        return failure(path + ": " + lastError());
    if (!speed && !setFreeBaudRate(fd.get(), baudRate))
        return failure(format(TGW_TR_EN("tgw::core::transfer", "%s does not take %u baud: %s"),
                              path.c_str(), baudRate, lastError().c_str()));
    // Whatever another program left in the queues is not ours to send or to read.
    ::tcflush(fd.get(), TCIOFLUSH);
    // Exclusive while we hold it: another program's bytes must not mix with ours, nor may it
    // take the device's replies. Not every driver supports it, and the lock above already keeps
    // out programs that ask for it (root passes TIOCEXCL anyway).
    ::ioctl(fd.get(), TIOCEXCL);
    return CSerialPort(std::move(fd), baudRate);
}

CSerialPort::~CSerialPort() {
    if (m_fd)
        ::ioctl(m_fd.get(), TIOCNXCL);
}

Status CSerialPort::purge() {
    if (::tcflush(m_fd.get(), TCIFLUSH) != 0)
        return failure(
            format(TGW_TR_EN("tgw::core::transfer", "the port's input cannot be emptied: %s"),
                   lastError().c_str()));
    return {};
}

Status CSerialPort::writeAll(std::span<const unsigned char> data, int stallMs,
                             const CCancelSignal& cancel) {
    size_t done = 0;
    long long progress = steadyMs();
    while (done < data.size()) {
        ssize_t n = ::write(m_fd.get(), data.data() + done, data.size() - done);
        if (n > 0) {
            done += size_t(n);
            progress = steadyMs();
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN)
            return failure(
                format(TGW_TR_EN("tgw::core::transfer", "%zu of %zu bytes were written: %s"), done,
                       data.size(), lastError().c_str()));
        // The driver's queue is full: wait for room, but not for ever.
        const long long left = stallMs - (steadyMs() - progress);
        EWait w = left > 0 ? waitFor(m_fd.get(), POLLOUT, int(left), cancel) : EWait::TimedOut;
        if (w == EWait::Cancelled)
            return failure(TGW_TR_EN("tgw::core::transfer", "cancelled"));
        if (w == EWait::Failed)
            return failure(lastError());
        if (w == EWait::TimedOut)
            return failure(format(
                TGW_TR_EN("tgw::core::transfer",
                          "%zu of %zu bytes were written; the port took nothing more for %d ms"),
                done, data.size(), stallMs));
    }
    return {};
}

Status CSerialPort::drain(int stallMs, const CCancelSignal& cancel) {
    int lowest = INT_MAX;
    long long progress = steadyMs();
    for (;;) {
        int queued = 0;
        // A driver that cannot tell has nothing we could wait for.
        if (::ioctl(m_fd.get(), TIOCOUTQ, &queued) != 0 || queued <= 0)
            return {};
        const long long now = steadyMs();
        if (queued < lowest) {
            lowest = queued;
            progress = now;
        } else if (now - progress >= stallMs) {
            return failure(format(TGW_TR_EN("tgw::core::transfer",
                                            "%d bytes stayed in the port's output queue for %d ms"),
                                  queued, stallMs));
        }
        // About the time the queue takes at this rate (10 bits a byte), in short naps.
        const long long need = (long long)queued * 10000 / m_baud;
        const int nap = int(std::clamp(need, 1LL, 20LL));
        if (waitFor(-1, 0, nap, cancel) == EWait::Cancelled)
            return failure(TGW_TR_EN("tgw::core::transfer", "cancelled"));
    }
}

CSerialPort::ERead CSerialPort::read(unsigned char* buffer, size_t capacity, int timeoutMs,
                                     const CCancelSignal& cancel, size_t& got, std::string& error) {
    got = 0;
    const long long deadline = steadyMs() + timeoutMs;
    for (;;) {
        const long long left = std::max(0LL, deadline - steadyMs());
        switch (waitFor(m_fd.get(), POLLIN, int(left), cancel)) {
        case EWait::TimedOut:
            return ERead::TimedOut;
        case EWait::Cancelled:
            return ERead::Cancelled;
        case EWait::Failed:
            error = lastError();
            return ERead::Failed;
        case EWait::Ready:
            break;
        }
        ssize_t n = ::read(m_fd.get(), buffer, capacity);
        if (n > 0) {
            got = size_t(n);
            return ERead::Data;
        }
        if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
            if (left == 0)
                return ERead::TimedOut;
            continue;
        }
        error = n == 0 ? TGW_TR_EN("tgw::core::transfer", "the device hung up") : lastError();
        return ERead::Failed;
    }
}

} // namespace tgw
