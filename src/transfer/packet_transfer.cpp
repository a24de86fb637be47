#include "transfer/packet_transfer.h"

#include "base/screen_text.h"

#include "base/text.h"

namespace tgw {

CPacketTransfer::CPacketTransfer(CPacketFramer framer, bool logsReplies,
                                 ITransferObserver& observer)
    : m_framer(std::move(framer)), m_logsReplies(logsReplies), m_observer(&observer),
      m_log(observer) {
    m_outcome.packetCount = m_framer.packetCount();
}

const CTransferOutcome& CPacketTransfer::run() {
    if (begin())
        while (step()) {
        }
    return m_outcome;
}

bool CPacketTransfer::begin() {
    if (m_outcome.state != ETransferState::Idle)
        return false;
    m_outcome.state = ETransferState::Sending;
    if (m_cancel.raised()) {
        finish(ETransferState::Cancelled);
        return false;
    }
    if (std::optional<CLinkFailure> failed = openLink()) {
        if (m_cancel.raised())
            finish(ETransferState::Cancelled); // a connect cut short is no failure of the link
        else
            finish(ETransferState::Failed, std::move(failed->notice), std::move(failed->detail));
        return false;
    }
    m_linkOpen = true;
    return true;
}

bool CPacketTransfer::step() {
    if (m_outcome.state != ETransferState::Sending || !m_linkOpen)
        return false;
    if (m_cancel.raised()) {
        finish(ETransferState::Cancelled);
        return false;
    }
    const size_t index = m_outcome.packetsSent;
    m_written = false;
    Status sent = sendPacket(m_framer.packet(index));
    if (!sent) {
        if (m_cancel.raised()) {
            finish(ETransferState::Cancelled);
        } else {
            // The log says how far it got: packets before this one went out whole, and this
            // one too when only its reply failed.
            m_log.line(
                format(TGW_TR_EN("tgw::core::transfer",
                                 "Transfer stopped at packet %zu of %zu (%s); %zu sent in full."),
                       index + 1, m_outcome.packetCount, sent.error().c_str(),
                       index + (m_written ? 1 : 0)));
            finish(ETransferState::Failed, screenText("tgw::core::transfer", kSendFailedNotice),
                   format(TGW_TR_EN("tgw::core::transfer", "packet %zu of %zu: %s"), index + 1,
                          m_outcome.packetCount, sent.error().c_str()));
        }
        return false;
    }
    ++m_outcome.packetsSent;
    m_observer->packetSent(m_outcome.packetsSent, m_outcome.packetCount);
    if (m_outcome.packetsSent == m_outcome.packetCount) {
        finish(ETransferState::Succeeded,
               m_logsReplies ? "" : screenText("tgw::core::transfer", kSendSucceededNotice));
        return false;
    }
    return true;
}

std::string dataSizeText(size_t bytes) {
    return format(TGW_TR("tgw::core::transfer", "点阵数据共%zu字节"), bytes);
}

void CPacketTransfer::finish(ETransferState state, std::string notice, std::string detail) {
    if (state == ETransferState::Cancelled && m_linkOpen)
        m_log.line(
            format(TGW_TR_EN("tgw::core::transfer", "Transfer cancelled after %zu of %zu packets."),
                   m_outcome.packetsSent, m_outcome.packetCount));
    if (m_linkOpen) {
        closeLink();
        m_linkOpen = false;
    }
    if (m_log.wroteAnything())
        m_log.endLine();
    m_outcome.state = state;
    m_outcome.notice = std::move(notice);
    m_outcome.detail = std::move(detail);
}

} // namespace tgw
