#include "transfer/network_transfer.h"

#include "base/screen_text.h"

#include "base/text.h"

namespace tgw {

Status CNetworkSettings::validate() const {
    if (port < 1)
        return failure(TGW_TR_EN("tgw::core::transfer", "the port must be 1 to 65535"));
    if (replyTimeoutMs < 1 || replyTimeoutMs > 65535)
        return failure(
            TGW_TR_EN("tgw::core::transfer", "the reply time-out must be 1 to 65535 ms"));
    return {};
}

std::string connectFailedNotice(const CIpv4Address& address, uint16_t port) {
    const auto& b = address.bytes;
    return format(TGW_TR("tgw::core::transfer", "连接 %d.%d.%d.%d:%d 失败，请检查！"), b[0], b[1],
                  b[2], b[3], int(port));
}

CNetworkTransfer::CNetworkTransfer(CNetworkSettings settings, CPacketFramer framer,
                                   ITransferObserver& observer)
    : CPacketTransfer(std::move(framer), settings.logReplies, observer),
      m_settings(std::move(settings)) {}

std::optional<CLinkFailure> CNetworkTransfer::openLink() {
    if (Status valid = m_settings.validate(); !valid)
        return CLinkFailure{screenText("tgw::core::transfer", kSendFailedNotice), valid.error()};
    Result<CSocket> socket =
        CSocket::create(m_settings.protocol, m_settings.address, m_settings.port);
    if (!socket)
        return CLinkFailure{screenText("tgw::core::transfer", kSendFailedNotice), socket.error()};
    if (Status s = socket->connect(m_settings.stallTimeoutMs, cancelSignal()); !s)
        return CLinkFailure{connectFailedNotice(m_settings.address, m_settings.port),
                            format("%s:%d: %s", m_settings.address.text().c_str(),
                                   int(m_settings.port), s.error().c_str())};
    m_socket.emplace(std::move(socket).value());
    return std::nullopt;
}

Status CNetworkTransfer::sendPacket(const CBytes& packet) {
    // Whatever came before this packet (a late reply, stray datagrams) is not its reply.
    if (Status s = m_socket->discardInput(); !s)
        return s;
    if (Status s = m_socket->sendAll(packet, m_settings.stallTimeoutMs, cancelSignal()); !s)
        return s;
    packetWritten();
    if (!m_settings.logReplies)
        return {};
    return readReplies();
}

Status CNetworkTransfer::readReplies() {
    unsigned char buffer[4096];
    bool replied = false;
    log().stamp();
    for (;;) {
        size_t got = 0;
        std::string error;
        switch (m_socket->receive(buffer, sizeof buffer, m_settings.replyTimeoutMs, cancelSignal(),
                                  got, error)) {
        case CSocket::ERecv::Data:
            replied = true;
            if (!log().bytes({buffer, got}))
                return {}; // cut: the line is ended, and the next packet discards the rest
            if (m_settings.singleReply)
                break;
            continue;
        case CSocket::ERecv::TimedOut:
        case CSocket::ERecv::Cancelled:
            break;
        // No more replies can come. After the last packet the transfer is complete; before
        // another one, that packet's send finds the connection closed and fails.
        case CSocket::ERecv::Closed:
            break;
        case CSocket::ERecv::Failed:
            return failure(error);
        }
        // Without a reply the line stays open: the next packet's stamp follows on it.
        if (replied)
            log().endLine();
        return {};
    }
}

} // namespace tgw
