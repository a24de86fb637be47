#pragma once

#include "transfer/packet_transfer.h"
#include "transfer/serial_port.h"

#include <optional>
#include <string>

namespace tgw {

struct CSerialSettings {
    std::string port; // a listed port's system name, or any typed path
    unsigned baudRate = kDefaultBaudRate;
    bool waitReply = true;       // wait for and log each packet's reply
    bool adaptiveTiming = false; // shorten the reply wait from measured reply times
    int replyTimeoutMs = 1000;   // below 1 counts as 1
    // A write that makes no progress this long fails the packet (a device that stopped
    // reading must not hang the transfer).
    int stallTimeoutMs = 10000;
};

// The serial transfer: opens the port, then for each packet discards stale input, writes the
// packet in full, waits until it is on the line and, when asked, logs the reply:
//     [12:34.567] 06 41 0D
//     [12:34.890] 接收应答数据失败 / 应答超时。
// A reply is read in chunks until a read times out, so every packet costs at least one reply
// time-out (adaptive timing shortens the ones after a chunk). A missing reply does not fail
// the packet; a packet not written in full, or a port that goes away, fails the transfer. The
// port is closed at the end whatever the outcome.
class CSerialTransfer : public CPacketTransfer {
public:
    // The framing settings must be valid.
    CSerialTransfer(CSerialSettings settings, CPacketFramer framer, ITransferObserver& observer);

protected:
    std::optional<CLinkFailure> openLink() override;
    Status sendPacket(const CBytes& packet) override;
    void closeLink() override { m_port.reset(); }

private:
    Status readReply();

    CSerialSettings m_settings;
    std::optional<CSerialPort> m_port;
};

// The read time-out after a reply chunk that came `elapsedMs` after the wait began (the first
// chunk) or after the chunk before it (the second): half as long again, at least 1 ms.
int adaptedReplyTimeout(long long elapsedMs);

} // namespace tgw
