#include "transfer/transfer_log.h"

#include "base/text.h"
#include "transfer/hex_bytes.h"
#include "transfer/packet_transfer.h"

#include <ctime>

namespace tgw {

std::string logTimeStamp(int minute, int second, int millisecond) {
    return format("[%02d:%02d.%03d] ", minute, second, millisecond);
}

std::string currentLogTimeStamp() {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    tm local{};
    ::localtime_r(&now.tv_sec, &local);
    return logTimeStamp(local.tm_min, local.tm_sec, int(now.tv_nsec / 1000000));
}

void CTransferLog::append(std::string_view text) {
    if (text.empty())
        return;
    m_wrote = true;
    m_observer->appendLog(text);
}

void CTransferLog::stamp() {
    append(currentLogTimeStamp());
    m_lineOpen = true;
    m_replyBytes = 0;
}

bool CTransferLog::bytes(std::span<const unsigned char> data) {
    const size_t room = kMaxLoggedReplyBytes - m_replyBytes;
    if (data.size() <= room) {
        append(hexText(data));
        m_replyBytes += data.size();
        return true;
    }
    append(hexText(data.first(room)));
    m_replyBytes = kMaxLoggedReplyBytes;
    endLine(format(screenText("tgw::core::transfer", kRepliesCutText), kMaxLoggedReplyBytes));
    return false;
}

void CTransferLog::endLine(std::string_view text) {
    append(std::string(text) + '\n');
    m_lineOpen = false;
}

void CTransferLog::line(std::string_view text) {
    if (m_lineOpen)
        endLine();
    endLine(text);
}

} // namespace tgw
