#include "transfer/net_socket.h"

#include "base/screen_text.h"

#include "base/text.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

namespace tgw {
namespace {

sockaddr_in socketAddress(const CIpv4Address& address, uint16_t port) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    const auto& b = address.bytes;
    a.sin_addr.s_addr =
        htonl(uint32_t(b[0]) << 24 | uint32_t(b[1]) << 16 | uint32_t(b[2]) << 8 | uint32_t(b[3]));
    return a;
}

// Errors a datagram socket may report for an earlier datagram (an ICMP answer); they say
// nothing about the datagram at hand.
bool isStaleDatagramError(int error) {
    return error == ECONNREFUSED || error == EHOSTUNREACH || error == ENETUNREACH;
}

} // namespace

std::string CIpv4Address::text() const {
    return format("%d.%d.%d.%d", bytes[0], bytes[1], bytes[2], bytes[3]);
}

Result<CIpv4Address> parseIpv4Address(std::string_view text) {
    const std::string shown(text);
    std::array<std::optional<int>, 4> fields;
    size_t field = 0;
    size_t i = 0;
    for (;;) {
        int value = 0;
        size_t digits = 0;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9' && digits < 4) {
            value = value * 10 + (text[i] - '0');
            ++digits, ++i;
        }
        if (digits == 0 || digits > 3)
            return failure(format(TGW_TR_EN("tgw::core::transfer",
                                            "'%s' is not an IPv4 address of four numbers 0 to 255"),
                                  shown.c_str()));
        fields[field++] = value;
        if (i == text.size() || field == 4)
            break;
        if (text[i] != '.')
            return failure(format(TGW_TR_EN("tgw::core::transfer",
                                            "'%s' is not an IPv4 address of four numbers 0 to 255"),
                                  shown.c_str()));
        ++i;
    }
    if (field != 4 || i != text.size())
        return failure(format(TGW_TR_EN("tgw::core::transfer",
                                        "'%s' is not an IPv4 address of four numbers 0 to 255"),
                              shown.c_str()));
    return ipv4FromFields(fields);
}

Result<CIpv4Address> ipv4FromFields(const std::array<std::optional<int>, 4>& fields) {
    CIpv4Address a;
    for (size_t i = 0; i < 4; ++i) {
        if (!fields[i])
            return failure(format(
                TGW_TR_EN("tgw::core::transfer", "field %zu of the address is empty"), i + 1));
        if (*fields[i] < 0 || *fields[i] > 255)
            return failure(format(
                TGW_TR_EN("tgw::core::transfer", "field %zu of the address is %d, not 0 to 255"),
                i + 1, *fields[i]));
        a.bytes[i] = uint8_t(*fields[i]);
    }
    return a;
}

Result<CSocket> CSocket::create(EProtocol protocol, const CIpv4Address& address, uint16_t port) {
    const int type = protocol == EProtocol::Tcp ? SOCK_STREAM : SOCK_DGRAM;
    CUniqueFd fd(::socket(AF_INET, type | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (!fd)
        return failure(format(TGW_TR_EN("tgw::core::transfer", "no socket could be made: %s"),
                              lastError().c_str()));
    return CSocket(std::move(fd), protocol, address, port);
}

Status CSocket::connect(int timeoutMs, const CCancelSignal& cancel) {
    if (m_protocol != EProtocol::Tcp)
        return {};
    const sockaddr_in to = socketAddress(m_address, m_port);
    if (::connect(m_fd.get(), reinterpret_cast<const sockaddr*>(&to), sizeof to) == 0)
        return {};
    if (errno != EINPROGRESS && errno != EINTR)
        return failure(lastError());
    // The connection is made in the background; a host that never answers costs the
    // time-out, not the system's minutes of retries.
    switch (waitFor(m_fd.get(), POLLOUT, timeoutMs, cancel)) {
    case EWait::Ready:
        break;
    case EWait::TimedOut:
        return failure(
            format(TGW_TR_EN("tgw::core::transfer", "no answer within %d ms"), timeoutMs));
    case EWait::Cancelled:
        return failure(TGW_TR_EN("tgw::core::transfer", "cancelled"));
    case EWait::Failed:
        return failure(lastError());
    }
    int error = 0;
    socklen_t length = sizeof error;
    if (::getsockopt(m_fd.get(), SOL_SOCKET, SO_ERROR, &error, &length) != 0)
        return failure(lastError());
    if (error != 0)
        return failure(errorText(error));
    return {};
}

Status CSocket::discardInput() {
    unsigned char buffer[4096];
    // Bounded, so that a peer that never stops sending cannot keep us here.
    for (int reads = 0; reads < 4096; ++reads) {
        ssize_t n = ::recv(m_fd.get(), buffer, sizeof buffer, MSG_DONTWAIT);
        if (n > 0 || (n == 0 && m_protocol == EProtocol::Udp))
            continue;
        if (n == 0)
            return failure(TGW_TR_EN("tgw::core::transfer", "the peer closed the connection"));
        if (errno == EAGAIN || errno == EWOULDBLOCK)
            return {};
        if (errno == EINTR)
            continue;
        if (m_protocol == EProtocol::Udp && isStaleDatagramError(errno))
            continue;
        return failure(lastError());
    }
    return {};
}

Status CSocket::sendAll(std::span<const unsigned char> data, int stallMs,
                        const CCancelSignal& cancel) {
    const sockaddr_in to = socketAddress(m_address, m_port);
    size_t done = 0;
    long long progress = steadyMs();
    int staleErrors = 0;
    // An empty packet is still sent once: to UDP it is a datagram of its own.
    do {
        const size_t size = data.size() - done;
        ssize_t n = m_protocol == EProtocol::Tcp
                        ? ::send(m_fd.get(), data.data() + done, size, MSG_NOSIGNAL)
                        : ::sendto(m_fd.get(), data.data() + done, size, MSG_NOSIGNAL,
                                   reinterpret_cast<const sockaddr*>(&to), sizeof to);
        if (n > 0 || (n == 0 && size == 0)) {
            done += size_t(n);
            progress = steadyMs();
            if (size == 0)
                break;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        // An ICMP answer to an earlier datagram is reported once by the next call; it does not
        // concern this datagram, which is sent again.
        if (n < 0 && m_protocol == EProtocol::Udp && isStaleDatagramError(errno) &&
            ++staleErrors < 4)
            continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
            return failure(
                format(TGW_TR_EN("tgw::core::transfer", "%zu of %zu bytes were sent: %s"), done,
                       data.size(), lastError().c_str()));
        const long long left = stallMs - (steadyMs() - progress);
        EWait w = left > 0 ? waitFor(m_fd.get(), POLLOUT, int(left), cancel) : EWait::TimedOut;
        if (w == EWait::Cancelled)
            return failure(TGW_TR_EN("tgw::core::transfer", "cancelled"));
        if (w == EWait::Failed)
            return failure(lastError());
        if (w == EWait::TimedOut)
            return failure(format(
                TGW_TR_EN("tgw::core::transfer",
                          "%zu of %zu bytes were sent; the peer took nothing more for %d ms"),
                done, data.size(), stallMs));
    } while (done < data.size());
    return {};
}

CSocket::ERecv CSocket::receive(unsigned char* buffer, size_t capacity, int timeoutMs,
                                const CCancelSignal& cancel, size_t& got, std::string& error) {
    got = 0;
    const long long deadline = steadyMs() + timeoutMs;
    for (;;) {
        const long long left = std::max(0LL, deadline - steadyMs());
        switch (waitFor(m_fd.get(), POLLIN, int(left), cancel)) {
        case EWait::TimedOut:
            return ERecv::TimedOut;
        case EWait::Cancelled:
            return ERecv::Cancelled;
        case EWait::Failed:
            error = lastError();
            return ERecv::Failed;
        case EWait::Ready:
            break;
        }
        ssize_t n = m_protocol == EProtocol::Tcp
                        ? ::recv(m_fd.get(), buffer, capacity, MSG_DONTWAIT)
                        : ::recvfrom(m_fd.get(), buffer, capacity, MSG_DONTWAIT, nullptr, nullptr);
        if (n > 0 || (n == 0 && m_protocol == EProtocol::Udp)) {
            got = size_t(n);
            return ERecv::Data;
        }
        if (n == 0)
            return ERecv::Closed;
        const bool retry = errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR ||
                           (m_protocol == EProtocol::Udp && isStaleDatagramError(errno));
        if (!retry) {
            error = lastError();
            return ERecv::Failed;
        }
        if (left == 0)
            return ERecv::TimedOut;
    }
}

} // namespace tgw
