#pragma once

#include "base/result.h"
#include "transfer/io_wait.h"
#include "transfer/unique_fd.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tgw {

// An IPv4 address as the four fields of the address control.
struct CIpv4Address {
    std::array<uint8_t, 4> bytes{127, 0, 0, 1};

    std::string text() const; // "%d.%d.%d.%d"
    bool operator==(const CIpv4Address&) const = default;
};

// "A.B.C.D" with four decimal numbers 0..255 (leading zeros are decimal, not octal). Anything
// else, a missing field above all, fails: an incomplete address never opens a socket.
Result<CIpv4Address> parseIpv4Address(std::string_view text);
// The address control's fields; an empty field (nullopt) or a value outside 0..255 fails.
Result<CIpv4Address> ipv4FromFields(const std::array<std::optional<int>, 4>& fields);

enum class EProtocol { Tcp, Udp };

// A TCP or UDP socket aimed at one address and port. Non-blocking underneath; every wait is
// bounded and can be cancelled; sends never raise SIGPIPE.
class CSocket {
public:
    static Result<CSocket> create(EProtocol protocol, const CIpv4Address& address, uint16_t port);

    // TCP: connects, waiting at most `timeoutMs`. UDP sockets are not connected.
    Status connect(int timeoutMs, const CCancelSignal& cancel);
    // Reads and throws away what has already arrived. Fails when a TCP peer has closed or
    // reset the connection.
    Status discardInput();
    // Sends all of `data` (TCP: a stream, resumed where a send stopped; UDP: datagrams to the
    // address). Fails on an error, or when nothing could be sent for `stallMs`.
    Status sendAll(std::span<const unsigned char> data, int stallMs, const CCancelSignal& cancel);

    enum class ERecv { Data, TimedOut, Cancelled, Closed, Failed };
    // Waits up to `timeoutMs` and receives at most `capacity` bytes (UDP: from any sender; an
    // empty datagram is Data with got = 0). Closed: the TCP peer has ended its side of the
    // connection. Failed: it reset the connection, or another error; `error` says which.
    ERecv receive(unsigned char* buffer, size_t capacity, int timeoutMs,
                  const CCancelSignal& cancel, size_t& got, std::string& error);

    EProtocol protocol() const { return m_protocol; }

private:
    CSocket(CUniqueFd fd, EProtocol protocol, const CIpv4Address& address, uint16_t port)
        : m_fd(std::move(fd)), m_protocol(protocol), m_address(address), m_port(port) {}

    CUniqueFd m_fd;
    EProtocol m_protocol;
    CIpv4Address m_address;
    uint16_t m_port;
};

} // namespace tgw
