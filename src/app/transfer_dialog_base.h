#pragma once

#include "transfer/net_socket.h"
#include "transfer/packet_transfer.h"
#include "transfer/serial_port.h"

#include <QDialog>
#include <QMessageBox>

#include <array>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <thread>

class QCheckBox;
class QComboBox;
class QGridLayout;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;

namespace tgw {

class CHexByteEdit;

// The framing fields of a transfer dialog as the user left them. Byte strings are kept as the
// boxes' text, so that one that did not read comes back for correcting.
struct CFramingMemory {
    std::string header1, header2, tail, prefix, suffix, lastBytes;
    ELastPacketMode lastMode = ELastPacketMode::SameAsOthers;
    EChecksumKind checksum = EChecksumKind::None;
    EChecksumRange checksumRange = EChecksumRange::FromHeader2;
    int packetSize = 1024;
};

// What the transfer dialogs remember from one use to the next. The main window keeps one for
// its lifetime and hands it to every dialog it opens; a dialog writes its values back when it
// sends and when it closes.
struct CTransferMemory {
    struct CSerial {
        CFramingMemory framing;
        std::string port; // a listed port's system name or a typed path; empty: the first listed
        unsigned baudRate = kDefaultBaudRate;
        bool waitReply = true;
        bool adaptiveTiming = false;
        int replyTimeoutMs = 1000;
    } serial;
    struct CNetwork {
        CFramingMemory framing;
        EProtocol protocol = EProtocol::Tcp;
        std::array<std::optional<int>, 4> address{127, 0, 0, 1};
        int port = 8000;
        bool logReplies = true;
        bool singleReply = true;
        int replyTimeoutMs = 1000;
    } network;
};

// The byte-string fields of the framing, in the order of CFramingSettings.
enum class EFramingField { Header1, Header2, Tail, Prefix, Suffix, LastBytes };

// What the serial and network dialogs share: the data size, the framing fields, the log and the
// send, stop and close buttons, and the transfer itself. The transfer runs on a worker thread;
// its log and progress come back as queued calls, so the dialog stays live while it waits for
// replies. While it runs, the fields cannot be changed and the dialog cannot be closed (the
// close button is disabled, Escape and the window's close are refused); "停止" cancels it,
// waking a reply wait at once.
class CTransferDialogBase : public QDialog {
    Q_OBJECT

public:
    static constexpr int kMaxLogChars = 1048576;
    // Header, tail and the other byte-string boxes.
    static constexpr int kMaxHexChars = 1024;

    // Cancels a running transfer and waits for its thread.
    ~CTransferDialogBase() override;

    bool isSending() const { return m_transfer != nullptr; }
    QString logText() const;
    // How the last transfer ended (state Idle before the first).
    const CTransferOutcome& lastOutcome() const { return m_lastOutcome; }

    CHexByteEdit* hexBox(EFramingField field) const;
    QComboBox* checksumKindBox() const { return m_checksumKind; }
    QComboBox* checksumRangeBox() const { return m_checksumRange; }
    QComboBox* lastModeBox() const { return m_lastMode; }
    QSpinBox* packetSizeBox() const { return m_packetSize; }
    QLabel* dataSizeLabel() const { return m_dataSize; }
    // The matrix data the dialog sends.
    std::span<const uint8_t> data() const;
    QPushButton* sendButton() const { return m_send; }
    QPushButton* stopButton() const { return m_stop; }
    QPushButton* closeButton() const { return m_close; }

    // Refused while a transfer runs; otherwise the dialog's values are remembered first.
    void reject() override;
    void done(int result) override;

signals:
    // A transfer has ended and its message box, if any, was shown.
    void transferFinished();

protected:
    // `data` is the matrix data to send; `framing` is remembered and updated.
    CTransferDialogBase(std::string data, CFramingMemory& framing, QWidget* parent);

    // Lays the dialog out with `linkFields` (the link's own fields) above the framing fields.
    void buildLayout(QWidget* linkFields);
    // Puts `field` at (row, column + 1) of `grid` and its caption, its buddy, before it.
    static void addLabelled(QGridLayout* grid, int row, int column, const QString& text,
                            QWidget* field);
    // The reply fields of both links: the reply time-out in ms, the box that turns receiving
    // replies on, and a box of the link's own reply option. The time-out and the option can be
    // changed only while receiving is on.
    struct CReplyFields {
        QSpinBox* timeout;
        QCheckBox* receive;
        QCheckBox* option;
    };
    static CReplyFields makeReplyFields(QWidget* parent, int timeoutMs, bool receive,
                                        const QString& optionText, bool option);
    // The framing fields as settings. A field that does not read is reported, gets the focus
    // and gives nullopt.
    std::optional<CFramingSettings> readFraming();
    // What a transfer made by start()'s caller must report to.
    ITransferObserver& observer();
    // Runs `transfer` on the worker thread.
    void start(std::unique_ptr<CPacketTransfer> transfer);
    // A message box titled "Tessaglyphworks 提示".
    void notify(QMessageBox::Icon icon, const QString& text);
    // Appends to the log as it stands (lines end in '\n').
    void appendLog(const QString& text);

    virtual void send() = 0;
    // Writes the link's own fields to the memory; the framing fields are written by the base.
    virtual void storeLinkMemory() = 0;
    void storeMemory();

    void closeEvent(QCloseEvent* event) override;

private:
    class CObserverBridge;

    void trimLog();
    void showProgress(size_t sent, size_t total);
    void transferEnded();
    void setSending(bool sending);

    std::string m_data;
    CFramingMemory& m_framingMemory;
    std::unique_ptr<CObserverBridge> m_bridge;
    std::unique_ptr<CPacketTransfer> m_transfer;
    std::thread m_worker;
    bool m_loggedThisTransfer = false;
    CTransferOutcome m_lastOutcome;

    QWidget* m_fields = nullptr;
    QLabel* m_dataSize = nullptr;
    std::array<CHexByteEdit*, 6> m_hex{};
    QComboBox* m_checksumKind = nullptr;
    QComboBox* m_checksumRange = nullptr;
    QComboBox* m_lastMode = nullptr;
    QSpinBox* m_packetSize = nullptr;
    QPlainTextEdit* m_log = nullptr;
    QProgressBar* m_progress = nullptr;
    QPushButton* m_send = nullptr;
    QPushButton* m_stop = nullptr;
    QPushButton* m_close = nullptr;
};

} // namespace tgw
