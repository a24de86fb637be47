#pragma once

#include "base/screen_text.h"
#include "transfer/net_socket.h"
#include "transfer/packet_transfer.h"

#include <optional>

namespace tgw {

inline constexpr const char* kNetworkDialogTitle =
    TGW_TR_NOOP("tgw::core::transfer", "通过网络发送字模点阵数据");

struct CNetworkSettings {
    EProtocol protocol = EProtocol::Tcp;
    CIpv4Address address;      // 127.0.0.1
    uint16_t port = 0;         // 1..65535
    bool logReplies = true;    // wait for replies and log them
    bool singleReply = true;   // stop after the first reply of a packet
    int replyTimeoutMs = 1000; // 1..65535, per wait
    // Connecting, and a send that makes no progress, give up after this long (a peer that
    // neither answers nor reads must not hang the transfer).
    int stallTimeoutMs = 10000;

    // Fails when the port or the reply time-out is out of its range.
    Status validate() const;
};

// The network transfer: TCP connects first, UDP sends datagrams to the address. For each
// packet it throws away whatever arrived before, sends the packet in full and, when replies
// are logged, waits for them: one wait with singleReply, else waits until one times out. Each
// arrival is logged as "%02X " bytes after the packet's time stamp, and the line ends when any
// reply came. A peer that closes or resets the connection ends the transfer with the failure;
// packets already sent stay sent.
class CNetworkTransfer : public CPacketTransfer {
public:
    // The settings and the framing settings must be valid.
    CNetworkTransfer(CNetworkSettings settings, CPacketFramer framer, ITransferObserver& observer);

protected:
    std::optional<CLinkFailure> openLink() override;
    Status sendPacket(const CBytes& packet) override;
    void closeLink() override { m_socket.reset(); }

private:
    Status readReplies();

    CNetworkSettings m_settings;
    std::optional<CSocket> m_socket;
};

// "连接 %d.%d.%d.%d:%d 失败，请检查！"
std::string connectFailedNotice(const CIpv4Address& address, uint16_t port);

} // namespace tgw
