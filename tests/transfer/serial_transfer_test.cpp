#include "transfer/hex_bytes.h"
#include "transfer/serial_transfer.h"
#include "transfer_test_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/file.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

using namespace tgw;
using namespace tgw::test;

namespace {

const CBytes kReply = {0x06, 0x41, 0x0D};

// A pseudo-terminal pair: the transfer opens the slave by its path like any serial port, and
// the test plays the device on the master side.
class CPseudoTerminal {
public:
    CPseudoTerminal() {
        m_master.reset(::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC));
        if (!m_master || ::grantpt(m_master.get()) != 0 || ::unlockpt(m_master.get()) != 0)
            return;
        m_slavePath = ::ptsname(m_master.get());
        // Held open so that the master does not see a hang-up between the transfer's opens.
        m_keeper.reset(::open(m_slavePath.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC));
    }

    bool ok() const { return m_master && m_keeper; }
    const std::string& slavePath() const { return m_slavePath; }

    // Reads `n` bytes as the device; fewer when nothing comes for `timeoutMs`.
    CBytes read(size_t n, int timeoutMs = 5000) {
        CBytes out;
        unsigned char buf[4096];
        while (out.size() < n) {
            pollfd p{m_master.get(), POLLIN, 0};
            if (::poll(&p, 1, timeoutMs) <= 0)
                break;
            ssize_t got = ::read(m_master.get(), buf, std::min(sizeof buf, n - out.size()));
            if (got <= 0)
                break;
            out.insert(out.end(), buf, buf + got);
        }
        return out;
    }
    void write(const CBytes& bytes) {
        ASSERT_EQ(::write(m_master.get(), bytes.data(), bytes.size()), ssize_t(bytes.size()));
    }
    // The device goes away.
    void closeMaster() { m_master.reset(); }

private:
    CUniqueFd m_master;
    CUniqueFd m_keeper;
    std::string m_slavePath;
};

CFramingSettings framing(size_t packetSize) {
    CFramingSettings s;
    s.header1 = parseHexBytes("AA 55", "h").value();
    s.tail = parseHexBytes("0D", "t").value();
    s.checksum = EChecksumKind::Sum;
    s.checksumRange = EChecksumRange::FromData;
    s.packetSize = packetSize;
    return s;
}

CBytes someData(size_t n) {
    CBytes data(n);
    for (size_t i = 0; i < n; ++i)
        data[i] = uint8_t(i * 7 + 1);
    return data;
}

class SerialTransfer : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_pty.ok()) << "no pseudo-terminal"; }

    CSerialSettings settings(int timeoutMs = 200) {
        CSerialSettings s;
        s.port = m_pty.slavePath();
        s.replyTimeoutMs = timeoutMs;
        return s;
    }

    // The device: reads each packet and answers it with `reply` (none when empty).
    std::thread device(const CPacketFramer& framer, CBytes reply, std::vector<CBytes>& got) {
        std::vector<size_t> sizes;
        for (size_t i = 0; i < framer.packetCount(); ++i)
            sizes.push_back(framer.packet(i).size());
        return std::thread([this, sizes, reply, &got] {
            for (size_t size : sizes) {
                got.push_back(m_pty.read(size));
                if (!reply.empty())
                    m_pty.write(reply);
            }
        });
    }

    CPseudoTerminal m_pty;
};

} // namespace

TEST_F(SerialTransfer, PacketsArriveAndRepliesAreLogged) {
    CPacketFramer framer(framing(4), someData(10));
    ASSERT_EQ(framer.packetCount(), 3u);
    std::vector<CBytes> got;
    std::thread dev = device(framer, kReply, got);
    CLogCollector log;
    CSerialTransfer transfer(settings(300), framer, log);
    const CTransferOutcome& outcome = transfer.run();
    dev.join();

    EXPECT_TRUE(outcome.succeeded()) << outcome.detail;
    EXPECT_EQ(outcome.notice, ""); // the log is the result
    for (size_t i = 0; i < framer.packetCount(); ++i)
        EXPECT_EQ(got.at(i), framer.packet(i)) << "packet " << i;
    const std::vector<std::string> lines = log.lines();
    ASSERT_EQ(lines.size(), 5u) << log.log; // three replies, the closing break, nothing after
    for (size_t i = 0; i < 3; ++i)
        EXPECT_TRUE(isStampedLine(lines[i], "06 41 0D ")) << lines[i];
    EXPECT_EQ(lines[3], "");
    EXPECT_EQ(log.progress, (std::vector<size_t>{1, 2, 3}));
}

TEST_F(SerialTransfer, SilentDeviceCostsOneTimeOutPerPacket) {
    CPacketFramer framer(framing(5), someData(12));
    std::vector<CBytes> got;
    std::thread dev = device(framer, {}, got);
    CLogCollector log;
    CSerialTransfer transfer(settings(100), framer, log);
    // Driven a packet at a time, as a dialog does between its events.
    ASSERT_TRUE(transfer.begin());
    size_t steps = 1;
    while (transfer.step())
        ++steps;
    EXPECT_EQ(steps, 3u);
    EXPECT_TRUE(transfer.outcome().succeeded());
    dev.join();

    EXPECT_EQ(got.size(), 3u);
    const std::vector<std::string> lines = log.lines();
    ASSERT_EQ(lines.size(), 5u) << log.log;
    for (size_t i = 0; i < 3; ++i)
        EXPECT_TRUE(isStampedLine(lines[i], kReplyTimeoutText)) << lines[i];
}

TEST_F(SerialTransfer, WithoutRepliesSuccessIsAnnounced) {
    // A free rate (no B-constant) of the baud list, at which the driver is set directly.
    CSerialSettings s = settings();
    s.waitReply = false;
    s.baudRate = 14400;
    CPacketFramer framer(framing(1000), someData(2500));
    std::vector<CBytes> got;
    std::thread dev = device(framer, {}, got);
    CLogCollector log;
    CSerialTransfer transfer(s, framer, log);
    const CTransferOutcome& outcome = transfer.run();
    dev.join();

    EXPECT_TRUE(outcome.succeeded()) << outcome.detail;
    EXPECT_EQ(outcome.notice, kSendSucceededNotice);
    EXPECT_EQ(log.log, "");
    CBytes all;
    for (const CBytes& p : got)
        all.insert(all.end(), p.begin(), p.end());
    EXPECT_EQ(all, framer.allPackets());
}

TEST_F(SerialTransfer, PortThatDoesNotOpen) {
    char file[] = "/tmp/tgw-not-a-port-XXXXXX";
    CUniqueFd fd(::mkstemp(file));
    for (const std::string& path : {std::string("/dev/tgw-no-such-port"), std::string(file)}) {
        CSerialSettings s = settings();
        s.port = path;
        CLogCollector log;
        CSerialTransfer transfer(s, CPacketFramer(framing(8), someData(3)), log);
        const CTransferOutcome& outcome = transfer.run();
        EXPECT_EQ(outcome.state, ETransferState::Failed);
        EXPECT_EQ(outcome.notice, kPortOpenFailedNotice);
        EXPECT_NE(outcome.detail.find(path), std::string::npos) << outcome.detail;
        EXPECT_EQ(log.log, "");
    }
    ::unlink(file);
}

TEST_F(SerialTransfer, PortHeldByAnotherProgramIsRefusedUntouched) {
    // A terminal program holds the port the way serial tools do: an exclusive flock.
    CUniqueFd terminal(::open(m_pty.slavePath().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC));
    ASSERT_TRUE(terminal);
    ASSERT_EQ(::flock(terminal.get(), LOCK_EX | LOCK_NB), 0);
    termios before{};
    ASSERT_EQ(::tcgetattr(terminal.get(), &before), 0);
    ::cfsetospeed(&before, B9600);
    ASSERT_EQ(::tcsetattr(terminal.get(), TCSANOW, &before), 0);

    CLogCollector log;
    CSerialTransfer transfer(settings(), CPacketFramer(framing(8), someData(3)), log);
    const CTransferOutcome& outcome = transfer.run();
    EXPECT_EQ(outcome.state, ETransferState::Failed);
    EXPECT_EQ(outcome.notice, kPortBusyNotice);
    EXPECT_NE(outcome.detail.find(m_pty.slavePath()), std::string::npos) << outcome.detail;
    EXPECT_TRUE(m_pty.read(1, 100).empty()) << "nothing may reach the held port";
    termios after{};
    ASSERT_EQ(::tcgetattr(terminal.get(), &after), 0);
    EXPECT_EQ(::cfgetospeed(&after), speed_t(B9600)) << "the holder's settings were changed";

    // Once the holder lets go, the port is ours; while we hold it, a second opener is refused.
    terminal.reset();
    Result<CSerialPort> first = CSerialPort::open(m_pty.slavePath(), 38400);
    ASSERT_TRUE(first) << first.error();
    bool busy = false;
    EXPECT_FALSE(CSerialPort::open(m_pty.slavePath(), 38400, &busy));
    EXPECT_TRUE(busy);
    { CSerialPort released = std::move(first).value(); }
    EXPECT_TRUE(CSerialPort::open(m_pty.slavePath(), 38400, &busy));
    EXPECT_FALSE(busy);
}

TEST_F(SerialTransfer, DeviceThatGoesAwayFailsTheTransfer) {
    CPacketFramer framer(framing(4), someData(12));
    std::thread dev([&] {
        m_pty.read(framer.packet(0).size());
        m_pty.write(kReply);
        m_pty.read(1); // packet 2 is on its way
        m_pty.closeMaster();
    });
    CLogCollector log;
    CSerialTransfer transfer(settings(300), framer, log);
    const CTransferOutcome& outcome = transfer.run();
    dev.join();

    EXPECT_EQ(outcome.state, ETransferState::Failed);
    EXPECT_EQ(outcome.notice, kSendFailedNotice);
    EXPECT_EQ(outcome.packetsSent, 1u);
    EXPECT_NE(log.log.find("Transfer stopped at packet 2 of 3"), std::string::npos) << log.log;
}

TEST_F(SerialTransfer, DeviceThatStopsReadingDoesNotHangTheTransfer) {
    CSerialSettings s = settings();
    s.stallTimeoutMs = 200;
    CFramingSettings f = framing(1 << 20);
    CLogCollector log;
    CSerialTransfer transfer(s, CPacketFramer(f, someData(1 << 20)), log);
    const CTransferOutcome& outcome = transfer.run();
    EXPECT_EQ(outcome.state, ETransferState::Failed);
    EXPECT_EQ(outcome.packetsSent, 0u);
}

TEST(SerialTiming, AdaptiveTimeOutIsHalfAgainTheMeasuredTime) {
    EXPECT_EQ(adaptedReplyTimeout(0), 2); // counted as 1 ms
    EXPECT_EQ(adaptedReplyTimeout(1), 2);
    EXPECT_EQ(adaptedReplyTimeout(3), 5);
    EXPECT_EQ(adaptedReplyTimeout(10), 15);
}

TEST(SerialPorts, ListingSucceedsWithOrWithoutPorts) {
    Result<std::vector<CSerialPortInfo>> ports = listSerialPorts();
    ASSERT_TRUE(ports) << ports.error();
    for (const CSerialPortInfo& p : *ports)
        EXPECT_FALSE(p.name.empty());
}
