#pragma once

#include "base/result.h"
#include "base/screen_text.h"
#include "transfer/io_wait.h"
#include "transfer/packet_framing.h"
#include "transfer/transfer_log.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tgw {

// Message box texts of the transfers.
inline constexpr const char* kSendSucceededNotice =
    TGW_TR_NOOP("tgw::core::transfer", "数据发送成功！");
inline constexpr const char* kSendFailedNotice =
    TGW_TR_NOOP("tgw::core::transfer", "数据发送失败，请检查网络连接！");

// "点阵数据共%d字节": the size of the matrix data, as the transfer dialogs show it on opening.
std::string dataSizeText(size_t bytes);

// What a running transfer tells its front end. Called on the thread that runs the transfer;
// a dialog that runs it on a worker forwards these to its own thread (queued signals).
class ITransferObserver {
public:
    virtual ~ITransferObserver() = default;
    // A piece of the on-screen log (UTF-8, lines end in '\n'): append it as it stands.
    virtual void appendLog(std::string_view text) = 0;
    // `sent` of `total` packets have gone out (after each packet, reply included).
    virtual void packetSent(size_t /*sent*/, size_t /*total*/) {}
};

enum class ETransferState { Idle, Sending, Succeeded, Failed, Cancelled };

struct CTransferOutcome {
    ETransferState state = ETransferState::Idle;
    // The message box to show, or empty for none: "数据发送成功！" when no replies were logged,
    // the link's own text when it did not open, kSendFailedNotice when sending failed.
    std::string notice;
    // Why it failed, in words a user can act on (the system's reason); empty otherwise.
    std::string detail;
    size_t packetsSent = 0; // written in full, replies waited for
    size_t packetCount = 0;

    bool succeeded() const { return state == ETransferState::Succeeded; }
};

// A failure to open a link: the message box text and the system's reason.
struct CLinkFailure {
    std::string notice;
    std::string detail;
};

// Sends framed packets over a link, one after the other, and keeps the log. The serial and
// network transfers derive from it and supply the link.
//
// Two ways to drive it:
//   - run() on a worker thread; cancel() from the user-interface thread stops it at once (a
//     reply wait or a stalled write is woken, not waited out) and the observer's calls are
//     forwarded to the user-interface thread;
//   - begin() and then step() per packet from the user-interface thread, handling the window
//     system's events between the calls; each step blocks for one packet and its reply wait.
// Either way a transfer ends in Succeeded, Failed or Cancelled; the link is closed then, and
// a log that received anything is ended with a line break.
class CPacketTransfer {
public:
    virtual ~CPacketTransfer() = default;
    CPacketTransfer(const CPacketTransfer&) = delete;
    CPacketTransfer& operator=(const CPacketTransfer&) = delete;

    // Opens the link and sends every packet; returns outcome().
    const CTransferOutcome& run();

    // Opens the link. False when the transfer is over (the link did not open, or it was
    // cancelled) or was begun before.
    bool begin();
    // Sends the next packet and waits for its reply. False once the transfer is over.
    bool step();

    // Thread-safe. The transfer ends as Cancelled before its next packet; a wait in progress
    // ends at once. A packet already on its way may be cut short.
    void cancel() noexcept { m_cancel.raise(); }

    const CTransferOutcome& outcome() const { return m_outcome; }
    size_t packetCount() const { return m_framer.packetCount(); }
    size_t payloadSize() const { return m_framer.payloadSize(); }

protected:
    // `logsReplies`: replies are waited for and logged, so success needs no message box.
    CPacketTransfer(CPacketFramer framer, bool logsReplies, ITransferObserver& observer);

    virtual std::optional<CLinkFailure> openLink() = 0;
    // Sends one packet and handles its reply. Calls packetWritten() once every byte went out.
    // A failure ends the transfer; its message says why.
    virtual Status sendPacket(const CBytes& packet) = 0;
    // Closes the link; never fails.
    virtual void closeLink() = 0;

    void packetWritten() { m_written = true; }
    CTransferLog& log() { return m_log; }
    const CCancelSignal& cancelSignal() const { return m_cancel; }

private:
    void finish(ETransferState state, std::string notice = {}, std::string detail = {});

    CPacketFramer m_framer;
    bool m_logsReplies;
    ITransferObserver* m_observer;
    CTransferLog m_log;
    CCancelSignal m_cancel;
    CTransferOutcome m_outcome;
    bool m_linkOpen = false;
    bool m_written = false;
};

} // namespace tgw
