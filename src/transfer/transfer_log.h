#pragma once

#include "base/screen_text.h"
#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace tgw {

class ITransferObserver;

// The line a packet's reply ends with when nothing came back.
inline constexpr const char* kReplyTimeoutText =
    TGW_TR_NOOP("tgw::core::transfer", "接收应答数据失败 / 应答超时。");

// What one packet's replies may add to the log: this many bytes. A reply beyond it is cut,
// the line says so, and the transfer waits for nothing more on that packet, so that a peer
// that never stops replying can neither fill the log nor hold the transfer.
inline constexpr size_t kMaxLoggedReplyBytes = size_t(1) << 20;
// The end of a line whose replies were cut; %zu is kMaxLoggedReplyBytes.
inline constexpr const char* kRepliesCutText =
    TGW_TR_NOOP("tgw::core::transfer", "（应答超过 %zu 字节，其余未记录）");

// "[mm:ss.mmm] ": minute, second and millisecond of a log line's time.
std::string logTimeStamp(int minute, int second, int millisecond);
// The stamp for the local time now.
std::string currentLogTimeStamp();

// The on-screen log of a transfer as the observer receives it, piece by piece so that reply
// bytes show as they arrive. Lines end in '\n'. Remembers whether anything was written and
// whether a line has been begun but not yet ended.
class CTransferLog {
public:
    explicit CTransferLog(ITransferObserver& observer) : m_observer(&observer) {}

    // Begins a reply line with the time stamp.
    void stamp();
    // Appends each byte as "%02X ". Past kMaxLoggedReplyBytes since the stamp, appends only
    // what fits, ends the line with kRepliesCutText and returns false: the caller stops
    // reading replies of this packet.
    bool bytes(std::span<const unsigned char> data);
    // Ends the current line, after `text`.
    void endLine(std::string_view text = {});
    // A line of its own; ends a begun line first.
    void line(std::string_view text);

    bool wroteAnything() const { return m_wrote; }
    bool lineOpen() const { return m_lineOpen; }

private:
    void append(std::string_view text);

    ITransferObserver* m_observer;
    bool m_wrote = false;
    bool m_lineOpen = false;
    size_t m_replyBytes = 0; // logged since the stamp
};

} // namespace tgw
