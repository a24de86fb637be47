#include "transfer/hex_bytes.h"
#include "transfer/network_transfer.h"
#include "transfer_test_support.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>

using namespace tgw;
using namespace tgw::test;

namespace {

const CBytes kReply = {0x06, 0x41, 0x0D};

// A socket of the test's own peer on 127.0.0.1, at a port the system chooses.
class CPeer {
public:
    explicit CPeer(int type) {
        m_fd.reset(::socket(AF_INET, type | SOCK_CLOEXEC, 0));
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof a;
        if (::bind(m_fd.get(), reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
            ::getsockname(m_fd.get(), reinterpret_cast<sockaddr*>(&a), &len) != 0)
            m_fd.reset();
        else if (type == SOCK_STREAM && ::listen(m_fd.get(), 1) != 0)
            m_fd.reset();
        m_port = ntohs(a.sin_port);
    }
    int fd() const { return m_fd.get(); }
    uint16_t port() const { return m_port; }
    void close() { m_fd.reset(); }

private:
    CUniqueFd m_fd;
    uint16_t m_port = 0;
};

bool readable(int fd, int timeoutMs = 5000) {
    pollfd p{fd, POLLIN, 0};
    return ::poll(&p, 1, timeoutMs) > 0;
}

// Reads exactly `n` bytes from a stream; fewer when it ends or stays silent.
CBytes readStream(int fd, size_t n) {
    CBytes out(n);
    size_t got = 0;
    while (got < n && readable(fd)) {
        ssize_t r = ::recv(fd, out.data() + got, n - got, 0);
        if (r <= 0)
            break;
        got += size_t(r);
    }
    out.resize(got);
    return out;
}

void sendAll(int fd, const CBytes& bytes) {
    ASSERT_EQ(::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL), ssize_t(bytes.size()));
}

CFramingSettings framing(size_t packetSize) {
    CFramingSettings s;
    s.header1 = parseHexBytes("7E", "h").value();
    s.header2 = parseHexBytes("01", "h").value();
    s.checksum = EChecksumKind::Xor;
    s.packetSize = packetSize;
    return s;
}

CBytes someData(size_t n) {
    CBytes data(n);
    for (size_t i = 0; i < n; ++i)
        data[i] = uint8_t(255 - i);
    return data;
}

CNetworkSettings settings(EProtocol protocol, uint16_t port, int timeoutMs = 300) {
    CNetworkSettings s;
    s.protocol = protocol;
    s.address = parseIpv4Address("127.0.0.1").value();
    s.port = port;
    s.replyTimeoutMs = timeoutMs;
    return s;
}

std::vector<size_t> packetSizes(const CPacketFramer& framer) {
    std::vector<size_t> sizes;
    for (size_t i = 0; i < framer.packetCount(); ++i)
        sizes.push_back(framer.packet(i).size());
    return sizes;
}

} // namespace

TEST(NetworkTransfer, TcpPacketsArriveAndRepliesAreLogged) {
    CPeer server(SOCK_STREAM);
    ASSERT_GE(server.fd(), 0);
    CPacketFramer framer(framing(3), someData(7));
    std::vector<CBytes> got;
    std::thread peer([&, sizes = packetSizes(framer)] {
        CUniqueFd c(::accept(server.fd(), nullptr, nullptr));
        for (size_t size : sizes) {
            got.push_back(readStream(c.get(), size));
            sendAll(c.get(), kReply);
        }
    });
    CLogCollector log;
    CNetworkTransfer transfer(settings(EProtocol::Tcp, server.port(), 5000), framer, log);
    const CTransferOutcome& outcome = transfer.run();
    peer.join();

    EXPECT_TRUE(outcome.succeeded()) << outcome.detail;
    EXPECT_EQ(outcome.notice, "");
    ASSERT_EQ(got.size(), 3u);
    for (size_t i = 0; i < 3; ++i)
        EXPECT_EQ(got[i], framer.packet(i));
    const std::vector<std::string> lines = log.lines();
    ASSERT_EQ(lines.size(), 5u) << log.log;
    for (size_t i = 0; i < 3; ++i)
        EXPECT_TRUE(isStampedLine(lines[i], "06 41 0D ")) << lines[i];
}

TEST(NetworkTransfer, AllRepliesKeepsWaitingAfterTheFirst) {
    CPeer server(SOCK_STREAM);
    CPacketFramer framer(framing(2), someData(4));
    std::thread peer([&, sizes = packetSizes(framer)] {
        CUniqueFd c(::accept(server.fd(), nullptr, nullptr));
        // A reply in two pieces; both belong on the packet's line.
        readStream(c.get(), sizes[0]);
        sendAll(c.get(), {0x06});
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        sendAll(c.get(), {0x41, 0x0D});
        readStream(c.get(), sizes[1]);
        sendAll(c.get(), {0x15});
        // Closing after the last reply ends the replies, not the (complete) transfer.
    });
    CLogCollector log;
    CNetworkSettings s = settings(EProtocol::Tcp, server.port(), 300);
    s.singleReply = false;
    CNetworkTransfer transfer(s, framer, log);
    EXPECT_TRUE(transfer.run().succeeded());
    peer.join();
    const std::vector<std::string> lines = log.lines();
    ASSERT_EQ(lines.size(), 4u) << log.log;
    EXPECT_TRUE(isStampedLine(lines[0], "06 41 0D ")) << lines[0];
    EXPECT_TRUE(isStampedLine(lines[1], "15 ")) << lines[1];
}

TEST(NetworkTransfer, PeerThatClosesMidwayFailsTheTransfer) {
    CPeer server(SOCK_STREAM);
    CPacketFramer framer(framing(2), someData(8));
    std::thread peer([&, sizes = packetSizes(framer)] {
        CUniqueFd c(::accept(server.fd(), nullptr, nullptr));
        readStream(c.get(), sizes[0]);
        sendAll(c.get(), kReply);
    });
    CLogCollector log;
    CNetworkTransfer transfer(settings(EProtocol::Tcp, server.port(), 5000), framer, log);
    const CTransferOutcome& outcome = transfer.run();
    peer.join();

    EXPECT_EQ(outcome.state, ETransferState::Failed);
    EXPECT_EQ(outcome.notice, kSendFailedNotice);
    // Whether the peer's close arrives before the second packet is sent is up to the network:
    // then that packet fails; else the system takes it (the peer answers with a reset) and the
    // third fails. Either way the transfer stops there and says so.
    EXPECT_TRUE(outcome.packetsSent == 1u || outcome.packetsSent == 2u) << outcome.packetsSent;
    EXPECT_TRUE(isStampedLine(log.lines().at(0), "06 41 0D ")) << log.log;
    EXPECT_NE(log.log.find("Transfer stopped at packet " + std::to_string(outcome.packetsSent + 1) +
                           " of 4"),
              std::string::npos)
        << log.log;
}

TEST(NetworkTransfer, ConnectionRefused) {
    CPeer nobody(SOCK_STREAM);
    const uint16_t port = nobody.port();
    nobody.close();
    CLogCollector log;
    CNetworkTransfer transfer(settings(EProtocol::Tcp, port),
                              CPacketFramer(framing(8), someData(3)), log);
    const CTransferOutcome& outcome = transfer.run();
    EXPECT_EQ(outcome.state, ETransferState::Failed);
    EXPECT_EQ(outcome.notice, "连接 127.0.0.1:" + std::to_string(port) + " 失败，请检查！");
    EXPECT_EQ(log.log, "");
}

TEST(NetworkTransfer, CancelEndsAReplyWaitAtOnce) {
    CPeer server(SOCK_STREAM);
    CPacketFramer framer(framing(1), someData(3));
    std::thread peer([&] {
        CUniqueFd c(::accept(server.fd(), nullptr, nullptr));
        // Reads, never answers, until the client goes.
        unsigned char buf[64];
        while (readable(c.get(), 10000) && ::recv(c.get(), buf, sizeof buf, 0) > 0) {
        }
    });
    CLogCollector log;
    // A minute per reply: only the cancel can end this test in time.
    CNetworkTransfer transfer(settings(EProtocol::Tcp, server.port(), 60000), framer, log);
    std::thread canceller([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        transfer.cancel();
    });
    const CTransferOutcome& outcome = transfer.run();
    canceller.join();
    peer.join();
    EXPECT_EQ(outcome.state, ETransferState::Cancelled);
    EXPECT_EQ(outcome.packetsSent, 1u); // the packet whose reply was awaited went out
    EXPECT_NE(log.log.find("Transfer cancelled after 1 of 3 packets."), std::string::npos)
        << log.log;
}

TEST(NetworkTransfer, UdpDatagramsAndRepliesFromTheDevice) {
    CPeer device(SOCK_DGRAM);
    ASSERT_GE(device.fd(), 0);
    CPacketFramer framer(framing(4), someData(9));
    std::vector<CBytes> got;
    std::thread peer([&, count = framer.packetCount()] {
        for (size_t i = 0; i < count && readable(device.fd()); ++i) {
            CBytes buf(65536);
            sockaddr_in from{};
            socklen_t len = sizeof from;
            ssize_t n = ::recvfrom(device.fd(), buf.data(), buf.size(), 0,
                                   reinterpret_cast<sockaddr*>(&from), &len);
            buf.resize(size_t(std::max<ssize_t>(n, 0)));
            got.push_back(buf);
            ::sendto(device.fd(), kReply.data(), kReply.size(), 0,
                     reinterpret_cast<sockaddr*>(&from), len);
        }
    });
    CLogCollector log;
    CNetworkTransfer transfer(settings(EProtocol::Udp, device.port(), 5000), framer, log);
    EXPECT_TRUE(transfer.run().succeeded());
    peer.join();
    ASSERT_EQ(got.size(), 3u);
    for (size_t i = 0; i < 3; ++i)
        EXPECT_EQ(got[i], framer.packet(i));
    for (size_t i = 0; i < 3; ++i)
        EXPECT_TRUE(isStampedLine(log.lines().at(i), "06 41 0D ")) << log.log;
}

TEST(NetworkTransfer, UdpToAPortWhereNothingListensSucceeds) {
    CPeer nobody(SOCK_DGRAM);
    const uint16_t port = nobody.port();
    nobody.close();
    for (bool logReplies : {true, false}) {
        CNetworkSettings s = settings(EProtocol::Udp, port, 100);
        s.logReplies = logReplies;
        CLogCollector log;
        CNetworkTransfer transfer(s, CPacketFramer(framing(2), someData(5)), log);
        const CTransferOutcome& outcome = transfer.run();
        EXPECT_TRUE(outcome.succeeded()) << outcome.detail;
        // Unanswered waits leave their stamps on one line; without the log, a success box.
        EXPECT_EQ(outcome.notice, logReplies ? "" : kSendSucceededNotice);
        EXPECT_EQ(log.lines().size(), logReplies ? 2u : 1u) << log.log;
    }
}

TEST(NetworkAddress, FourNumbersFrom0To255) {
    EXPECT_EQ(parseIpv4Address("192.168.1.20")->text(), "192.168.1.20");
    EXPECT_EQ(parseIpv4Address("010.0.0.255")->text(), "10.0.0.255"); // decimal, not octal
    for (const char* bad : {"", "192.168.1", "192.168.1.", "1..2.3", "1.2.3.256", "1.2.3.4.5",
                            " 1.2.3.4", "1.2.3.4 ", "0001.2.3.4", "a.b.c.d", "-1.2.3.4"})
        EXPECT_FALSE(parseIpv4Address(bad)) << bad;
    EXPECT_FALSE(ipv4FromFields({1, 2, std::nullopt, 4}));
    EXPECT_FALSE(ipv4FromFields({1, 2, 300, 4}));
    EXPECT_EQ(ipv4FromFields({127, 0, 0, 1})->text(), "127.0.0.1");
}
