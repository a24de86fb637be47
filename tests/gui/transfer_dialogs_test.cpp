#include "app/messages.h"
#include "app/network_dialog.h"
#include "app/serial_dialog.h"
#include "transfer/unique_fd.h"
#include "view/hex_byte_edit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QtTest>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <unistd.h>

#include <thread>
#include <vector>

using namespace tgw;

namespace {

const CBytes kReply = {0x06, 0x41, 0x0D};
const char kData[] = "\x01\x02\x03\x04\x05";

// With header 1 = AA, header 2 = 55, prefix F0, packet size 4, XOR from header 2, tail 0D and
// EE in place of the last packet's tail, the data 01 02 03 04 05 goes as:
//   AA 55 | F0 01 02 03 | A5 | 0D     (55^F0^01^02^03 = A5)
//   AA 55 | 04 05       | 54 | EE     (55^04^05 = 54)
const CBytes kPacket1 = {0xAA, 0x55, 0xF0, 0x01, 0x02, 0x03, 0xA5, 0x0D};
const CBytes kPacket2 = {0xAA, 0x55, 0x04, 0x05, 0x54, 0xEE};

void setFraming(CTransferDialogBase& d) {
    QTest::keyClicks(d.hexBox(EFramingField::Header1), "aa");
    d.hexBox(EFramingField::Header2)->setText("55");
    d.hexBox(EFramingField::Tail)->setText("0d");
    d.hexBox(EFramingField::Prefix)->setText("F0");
    d.hexBox(EFramingField::LastBytes)->setText("EE");
    d.lastModeBox()->setCurrentIndex(int(ELastPacketMode::Tail));
    d.checksumKindBox()->setCurrentIndex(int(EChecksumKind::Xor));
    d.checksumRangeBox()->setCurrentIndex(int(EChecksumRange::FromHeader2));
    d.packetSizeBox()->setValue(4);
}

// Answers every message box as a person would, and keeps what it said.
class CMessageRecorder {
public:
    struct CMessage {
        QMessageBox::Icon icon;
        QString title;
        QString text;
    };
    CMessageRecorder() {
        setMessageHook([this](QMessageBox::Icon icon, const QString& title, const QString& text,
                              QMessageBox::StandardButtons) {
            messages.push_back({icon, title, text});
            return QMessageBox::Ok;
        });
    }
    ~CMessageRecorder() { setMessageHook({}); }

    std::vector<CMessage> messages;
};

// A reply line: "[mm:ss.mmm] " then `rest`.
bool isStampedLine(const QString& line, const QString& rest) {
    static const QRegularExpression stamp("^\\[[0-5]\\d:[0-5]\\d\\.\\d{3}\\] ");
    return stamp.match(line).hasMatch() && line.mid(12) == rest;
}

CBytes readExactly(int fd, size_t n) {
    CBytes out;
    unsigned char buf[4096];
    while (out.size() < n) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 10000) <= 0)
            break;
        const ssize_t got = ::read(fd, buf, std::min(sizeof buf, n - out.size()));
        if (got <= 0)
            break;
        out.insert(out.end(), buf, buf + got);
    }
    return out;
}

CUniqueFd loopbackSocket(int type, uint16_t& port) {
    CUniqueFd fd(::socket(AF_INET, type | SOCK_CLOEXEC, 0));
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    if (!fd || ::bind(fd.get(), reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
        ::getsockname(fd.get(), reinterpret_cast<sockaddr*>(&a), &len) != 0)
        return {};
    port = ntohs(a.sin_port);
    return fd;
}

// Plays a device on `fd` on a thread of its own: reads each packet and answers it with `reply`
// (none when empty).
class CDevice {
public:
    ~CDevice() { join(); }
    void serve(int fd, std::vector<size_t> packetSizes, CBytes reply) {
        m_thread = std::thread([this, fd, packetSizes, reply] {
            for (size_t size : packetSizes) {
                received.push_back(readExactly(fd, size));
                if (!reply.empty())
                    (void)!::write(fd, reply.data(), reply.size());
            }
        });
    }
    void join() {
        if (m_thread.joinable())
            m_thread.join();
    }
    std::vector<CBytes> received;

private:
    std::thread m_thread;
};

// A TCP port of this machine that takes one connection.
class CTcpListener {
public:
    CTcpListener() {
        m_fd = loopbackSocket(SOCK_STREAM, m_port);
        if (m_fd && ::listen(m_fd.get(), 4) != 0)
            m_fd.reset();
    }
    bool ok() const { return bool(m_fd); }
    uint16_t port() const { return m_port; }
    // Whether anyone has asked to connect.
    bool connectionPending(int waitMs) const {
        pollfd p{m_fd.get(), POLLIN, 0};
        return ::poll(&p, 1, waitMs) > 0;
    }
    CUniqueFd accept() { return CUniqueFd(::accept(m_fd.get(), nullptr, nullptr)); }

private:
    CUniqueFd m_fd;
    uint16_t m_port = 0;
};

// A pseudo-terminal pair: the dialog opens the slave by its path like any serial port, and the
// test plays the device on the master side.
struct CPseudoTerminal {
    CPseudoTerminal() {
        master.reset(::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC));
        if (!master || ::grantpt(master.get()) != 0 || ::unlockpt(master.get()) != 0)
            return;
        slavePath = ::ptsname(master.get());
        // Held open so that the master sees no hang-up between the dialog's opens.
        keeper.reset(::open(slavePath.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC));
    }
    bool ok() const { return master && keeper; }

    CUniqueFd master;
    CUniqueFd keeper;
    std::string slavePath;
};

QStringList logLines(const CTransferDialogBase& d) {
    return d.logText().split('\n');
}

void clickSend(CTransferDialogBase& d) {
    QTest::mouseClick(d.sendButton(), Qt::LeftButton);
}

bool waitUntilDone(CTransferDialogBase& d) {
    return QTest::qWaitFor([&] { return !d.isSending(); }, 20000);
}

// The log as a transfer writes it, without a transfer.
struct CLogProbe : CNetworkDialog {
    using CNetworkDialog::CNetworkDialog;
    using CTransferDialogBase::appendLog;
};

} // namespace

class TransferDialogsTest : public QObject {
    Q_OBJECT

private slots:
    void networkSendsFramedPacketsAndLogsReplies() {
        CTcpListener listener;
        QVERIFY(listener.ok());
        CMessageRecorder boxes;
        CTransferMemory memory;
        CNetworkDialog d(std::string(kData, 5), memory);
        d.show();
        QCOMPARE(d.windowTitle(), QString("通过网络发送字模点阵数据"));
        QCOMPARE(d.dataSizeLabel()->text(), QString("点阵数据共5字节"));
        setFraming(d);
        d.addressEdit()->setFields({127, 0, 0, 1});
        d.portBox()->setValue(listener.port());
        d.tcpButton()->setChecked(true);
        d.replyTimeoutBox()->setValue(3000);
        QVERIFY(d.logRepliesBox()->isChecked() && d.singleReplyBox()->isChecked());

        clickSend(d);
        QVERIFY(d.isSending());
        QVERIFY(listener.connectionPending(10000));
        CUniqueFd peer = listener.accept();
        CDevice device;
        device.serve(peer.get(), {kPacket1.size(), kPacket2.size()}, kReply);
        // While it runs the dialog cannot be closed.
        QVERIFY(!d.closeButton()->isEnabled());
        d.reject();
        QVERIFY(d.isVisible());
        QVERIFY(waitUntilDone(d));
        device.join();

        QCOMPARE(device.received, (std::vector<CBytes>{kPacket1, kPacket2}));
        QVERIFY(d.lastOutcome().succeeded());
        const QStringList lines = logLines(d);
        QVERIFY2(lines.size() >= 2 && isStampedLine(lines[0], "06 41 0D ") &&
                     isStampedLine(lines[1], "06 41 0D "),
                 qPrintable(d.logText()));
        QVERIFY(boxes.messages.empty()); // the log is the result
        QVERIFY(d.closeButton()->isEnabled());

        // The next use starts from what this one was left with.
        QTest::mouseClick(d.closeButton(), Qt::LeftButton);
        QVERIFY(!d.isVisible());
        CNetworkDialog again(std::string(kData, 5), memory);
        QCOMPARE(again.portBox()->value(), int(listener.port()));
        QCOMPARE(again.hexBox(EFramingField::Header1)->text(),
                 d.hexBox(EFramingField::Header1)->text());
        QCOMPARE(again.hexBox(EFramingField::LastBytes)->text(), QString("EE"));
        QCOMPARE(again.lastModeBox()->currentIndex(), int(ELastPacketMode::Tail));
        QCOMPARE(again.packetSizeBox()->value(), 4);
    }

    // A field that does not read stops the send before any socket is made.
    void badFieldsOpenNoSocket() {
        CTcpListener listener;
        QVERIFY(listener.ok());
        CMessageRecorder boxes;
        CTransferMemory memory;
        CNetworkDialog d(std::string(kData, 5), memory);
        d.show();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        d.portBox()->setValue(listener.port());

        // A pasted token that is not hexadecimal: said, with the field's name.
        d.hexBox(EFramingField::Header2)->setText("12 G5");
        clickSend(d);
        QVERIFY(!d.isSending());
        QCOMPARE(boxes.messages.size(), size_t(1));
        QCOMPARE(boxes.messages[0].icon, QMessageBox::Warning);
        QVERIFY2(boxes.messages[0].text.contains("包头2"), qPrintable(boxes.messages[0].text));
        QVERIFY(d.hexBox(EFramingField::Header2)->hasFocus());

        // An address with an empty field: its focus, and nothing else.
        d.hexBox(EFramingField::Header2)->setText("12 05");
        d.addressEdit()->setFields({127, 0, std::nullopt, 1});
        clickSend(d);
        QVERIFY(!d.isSending());
        QVERIFY(d.addressEdit()->field(2)->hasFocus());
        QCOMPARE(boxes.messages.size(), size_t(1));

        // Typed as one would: a dot, or a field that can take no more digits, moves on.
        d.addressEdit()->setFields({});
        d.addressEdit()->field(0)->setFocus();
        QTest::keyClicks(nullptr, "192.168.1.20");
        QCOMPARE(d.addressEdit()->fields(), (std::array<std::optional<int>, 4>{192, 168, 1, 20}));

        QVERIFY(!listener.connectionPending(200));
        QVERIFY(d.logText().isEmpty());
    }

    void networkFailureAndSuccessNotices() {
        CMessageRecorder boxes;
        CTransferMemory memory;

        // Nothing listens on a port that was just given back.
        uint16_t closedPort = 0;
        QVERIFY(loopbackSocket(SOCK_STREAM, closedPort));
        {
            CNetworkDialog d(std::string(kData, 5), memory);
            d.show();
            d.portBox()->setValue(closedPort);
            clickSend(d);
            QVERIFY(waitUntilDone(d));
            QCOMPARE(d.lastOutcome().state, ETransferState::Failed);
            QCOMPARE(boxes.messages.size(), size_t(1));
            QCOMPARE(boxes.messages[0].icon, QMessageBox::Warning);
            QCOMPARE(boxes.messages[0].title, QString("Tessaglyphworks 提示"));
            QCOMPARE(boxes.messages[0].text,
                     QString("连接 127.0.0.1:%1 失败，请检查！").arg(closedPort));
            QVERIFY(!d.logText().trimmed().isEmpty()); // the system's reason
        }

        // UDP without replies: every datagram is one packet, and success is said.
        boxes.messages.clear();
        uint16_t udpPort = 0;
        CUniqueFd udp = loopbackSocket(SOCK_DGRAM, udpPort);
        QVERIFY(udp);
        CNetworkDialog d(std::string(kData, 5), memory);
        d.show();
        setFraming(d);
        d.udpButton()->setChecked(true);
        d.portBox()->setValue(udpPort);
        d.logRepliesBox()->setChecked(false);
        clickSend(d);
        QVERIFY(waitUntilDone(d));
        std::vector<CBytes> datagrams;
        for (int i = 0; i < 2; ++i) {
            unsigned char buf[256];
            const ssize_t got = ::recv(udp.get(), buf, sizeof buf, MSG_DONTWAIT);
            QVERIFY(got > 0);
            datagrams.emplace_back(buf, buf + got);
        }
        QCOMPARE(datagrams, (std::vector<CBytes>{kPacket1, kPacket2}));
        QCOMPARE(boxes.messages.size(), size_t(1));
        QCOMPARE(boxes.messages[0].icon, QMessageBox::Information);
        QCOMPARE(boxes.messages[0].text, QString("数据发送成功！"));
    }

    // A device that never stops answering must not fill the memory: the oldest lines go,
    // whole, and the newest stay.
    void theLogKeepsItsNewestLinesUnderItsLimit() {
        CTransferMemory memory;
        CLogProbe d(std::string(kData, 5), memory);
        QString chunk;
        for (int i = 0; i < 1000; ++i)
            chunk += "[00:00.000] 06 41 0D \n";
        const int chunks = CTransferDialogBase::kMaxLogChars / int(chunk.size()) + 2;
        for (int i = 0; i < chunks; ++i)
            d.appendLog(chunk);
        d.appendLog("[59:59.999] 06 41 ");
        const QString log = d.logText();
        QVERIFY(log.size() <= CTransferDialogBase::kMaxLogChars);
        QVERIFY(log.size() > CTransferDialogBase::kMaxLogChars / 2);
        QVERIFY(log.startsWith("[00:00.000] 06 41 0D \n"));
        QVERIFY(log.endsWith("0D \n[59:59.999] 06 41 "));
    }

    void listedPortsAndTheDefaultRate() {
        CPseudoTerminal pty;
        QVERIFY(pty.ok());
        CMessageRecorder boxes;
        CTransferMemory memory;
        CSerialDialog d(
            std::string(kData, 5), memory,
            std::vector<CSerialPortInfo>{{"/dev/ttyUSB7", "USB 串口"}, {pty.slavePath, ""}});
        d.show();
        QCOMPARE(d.windowTitle(), QString("通过串口发送字模点阵数据"));
        QCOMPARE(d.dataSizeLabel()->text(), QString("点阵数据共5字节"));
        QCOMPARE(d.baudBox()->currentText(), QString("38400"));
        QCOMPARE(d.portBox()->itemText(0), QString("[/dev/ttyUSB7] USB 串口"));
        QCOMPARE(d.portName(), std::string("/dev/ttyUSB7"));
        d.portBox()->setCurrentIndex(1);
        QCOMPARE(d.portName(), pty.slavePath);

        // Without waiting for replies, success is said in a box.
        setFraming(d);
        d.waitReplyBox()->setChecked(false);
        CDevice device;
        device.serve(pty.master.get(), {kPacket1.size(), kPacket2.size()}, {});
        clickSend(d);
        QVERIFY(waitUntilDone(d));
        device.join();
        QCOMPARE(device.received, (std::vector<CBytes>{kPacket1, kPacket2}));
        QCOMPARE(boxes.messages.size(), size_t(1));
        QCOMPARE(boxes.messages[0].text, QString("数据发送成功！"));
        QCOMPARE(boxes.messages[0].title, QString("Tessaglyphworks 提示"));
    }

    void withoutListedPortsATypedPathIsUsed() {
        CPseudoTerminal pty;
        QVERIFY(pty.ok());
        CMessageRecorder boxes;
        CTransferMemory memory;
        CSerialDialog d(std::string(kData, 5), memory, std::vector<CSerialPortInfo>{});
        d.show();
        QTRY_COMPARE(boxes.messages.size(), size_t(1));
        QCOMPARE(boxes.messages[0].text, QString("未找到可用的串口，无法进行传输！"));
        QCOMPARE(boxes.messages[0].icon, QMessageBox::Information);

        // Nothing to send to: said again, nothing starts.
        clickSend(d);
        QVERIFY(!d.isSending());
        QCOMPARE(boxes.messages.size(), size_t(2));
        QCOMPARE(boxes.messages[1].text, QString("未找到可用的串口，无法进行传输！"));

        // A path that is no port.
        d.portBox()->setEditText("/nonexistent/ttyS9");
        clickSend(d);
        QVERIFY(waitUntilDone(d));
        QCOMPARE(boxes.messages.size(), size_t(3));
        QCOMPARE(boxes.messages[2].text, QString("串口打开失败，请检查后再重试！"));
        QCOMPARE(boxes.messages[2].icon, QMessageBox::Warning);
        QVERIFY(d.logText().contains("/nonexistent/ttyS9"));

        // The pseudo-terminal's path, with the test as the device.
        d.portBox()->setEditText(QString::fromStdString(pty.slavePath));
        setFraming(d);
        d.waitReplyBox()->setChecked(true);
        d.replyTimeoutBox()->setValue(3000);
        d.adaptiveBox()->setChecked(true); // the wait after a reply is cut to 1.5 times its delay
        CDevice device;
        device.serve(pty.master.get(), {kPacket1.size(), kPacket2.size()}, kReply);
        clickSend(d);
        QVERIFY(waitUntilDone(d));
        device.join();
        QCOMPARE(device.received, (std::vector<CBytes>{kPacket1, kPacket2}));
        QVERIFY(d.lastOutcome().succeeded());
        QCOMPARE(boxes.messages.size(), size_t(3)); // the log is the result
        const QStringList lines = logLines(d);
        QVERIFY2(lines.size() >= 3 && isStampedLine(lines[1], "06 41 0D ") &&
                     isStampedLine(lines[2], "06 41 0D "),
                 qPrintable(d.logText()));

        QTest::mouseClick(d.closeButton(), Qt::LeftButton);
        QCOMPARE(memory.serial.port, pty.slavePath);
        QCOMPARE(memory.serial.replyTimeoutMs, 3000);
        QVERIFY(memory.serial.adaptiveTiming);
    }

    void stopEndsAReplyWaitAtOnce() {
        CPseudoTerminal pty;
        QVERIFY(pty.ok());
        CMessageRecorder boxes;
        CTransferMemory memory;
        CSerialDialog d(std::string(kData, 5), memory, std::vector<CSerialPortInfo>{});
        d.show();
        d.portBox()->setEditText(QString::fromStdString(pty.slavePath));
        // Two packets, the stop before the second; a silent device, so the wait would last a
        // minute.
        setFraming(d);
        d.replyTimeoutBox()->setValue(65535);
        QTRY_COMPARE(boxes.messages.size(), size_t(1));
        boxes.messages.clear();

        clickSend(d);
        QVERIFY(d.isSending());
        QVERIFY(d.stopButton()->isEnabled());
        QVERIFY(!d.sendButton()->isEnabled());
        QTest::qWait(100);
        QTest::mouseClick(d.stopButton(), Qt::LeftButton);
        QVERIFY(waitUntilDone(d));
        QCOMPARE(d.lastOutcome().state, ETransferState::Cancelled);
        QVERIFY(boxes.messages.empty());
        QVERIFY(d.closeButton()->isEnabled());

        // A dialog that goes away in the middle of a transfer stops it first.
        {
            CSerialDialog gone(std::string(kData, 5), memory, std::vector<CSerialPortInfo>{});
            gone.show();
            clickSend(gone);
            QVERIFY(gone.isSending());
            QTest::qWait(100);
        }
    }
};

QTEST_MAIN(TransferDialogsTest)
#include "transfer_dialogs_test.moc"
