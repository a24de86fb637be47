#pragma once

#include "base/result.h"
#include "base/screen_text.h"
#include "transfer/io_wait.h"
#include "transfer/unique_fd.h"

#include <span>
#include <string>
#include <vector>

namespace tgw {

// The baud list of the serial dialog, in list order; 38400 is selected when it opens.
inline constexpr unsigned kBaudRates[] = {110,   300,   600,   1200,  2400,   4800,   9600,  14400,
                                          19200, 38400, 56000, 57600, 115200, 128000, 256000};
inline constexpr unsigned kDefaultBaudRate = 38400;

inline constexpr const char* kNoSerialPortNotice =
    TGW_TR_NOOP("tgw::core::transfer", "未找到可用的串口，无法进行传输！");
inline constexpr const char* kPortOpenFailedNotice =
    TGW_TR_NOOP("tgw::core::transfer", "串口打开失败，请检查后再重试！");
inline constexpr const char* kPortBusyNotice = TGW_TR_NOOP(
    "tgw::core::transfer", "串口已被其他程序占用，请关闭占用该串口的程序（如串口终端）后再重试！");

// A present serial port: its system name ("/dev/ttyUSB0") and what the system says it is.
struct CSerialPortInfo {
    std::string name;
    std::string description;
};

// The serial ports present on the system, in the system's order. An empty list is not a
// failure: the caller reports kNoSerialPortNotice and sends nothing. Fails only when the system
// cannot be asked.
Result<std::vector<CSerialPortInfo>> listSerialPorts();

// An open serial line, raw 8-N-1, no flow control. Opened by path, so any terminal device
// works: a port of the list, a typed path, or a pseudo-terminal (which the port-list library
// refuses to open). Non-blocking underneath; every wait is bounded and can be cancelled.
class CSerialPort {
public:
    // Opens `path` exclusively at `baudRate` (any rate the driver takes, not only the list's).
    // Fails with the system's reason when it is not a terminal or refuses the settings. A port
    // that another program holds (its flock, or TIOCEXCL) is refused before anything of it is
    // touched, and `busy` (when given) is set.
    static Result<CSerialPort> open(const std::string& path, unsigned baudRate,
                                    bool* busy = nullptr);

    // Discards whatever waits in the input queue. The output queue is left alone: after
    // writeAll() and drain() it should hold nothing of ours, and flushing it could throw away the
    // tail of the packet before, where the driver cannot tell what is still on its way (a
    // pseudo-terminal hands data on asynchronously and reports an empty queue all along).
    Status purge();
    // Writes all of `data`, waiting while the driver's queue is full; fails (saying how many
    // bytes went) when it makes no progress for `stallMs` or on an error.
    Status writeAll(std::span<const unsigned char> data, int stallMs, const CCancelSignal& cancel);
    // Waits until the driver has put its queued bytes on the line (as far as it can tell);
    // fails when the queue stops shrinking for `stallMs`.
    Status drain(int stallMs, const CCancelSignal& cancel);

    enum class ERead { Data, TimedOut, Cancelled, Failed };
    // Waits up to `timeoutMs` for input and reads what has arrived, at most `capacity` bytes.
    // Failed: the device went away (hang-up or read error); `error` says why.
    ERead read(unsigned char* buffer, size_t capacity, int timeoutMs, const CCancelSignal& cancel,
               size_t& got, std::string& error);

    // Gives up the exclusive claim (the lock goes with the descriptor), so that the port stays
    // open to others after us.
    ~CSerialPort();
    CSerialPort(CSerialPort&&) noexcept = default;
    CSerialPort& operator=(CSerialPort&&) = delete;

    int fd() const { return m_fd.get(); }

private:
    explicit CSerialPort(CUniqueFd fd, unsigned baudRate) : m_fd(std::move(fd)), m_baud(baudRate) {}

    CUniqueFd m_fd;
    unsigned m_baud;
};

// Sets a rate that has no B-constant (14400, 56000 …) through the driver's free-rate interface.
// Kept apart because its kernel header cannot share a file with <termios.h>.
bool setFreeBaudRate(int fd, unsigned baudRate);

} // namespace tgw
