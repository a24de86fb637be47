#include "transfer/serial_transfer.h"

#include "base/screen_text.h"

#include <algorithm>

namespace tgw {

CSerialTransfer::CSerialTransfer(CSerialSettings settings, CPacketFramer framer,
                                 ITransferObserver& observer)
    : CPacketTransfer(std::move(framer), settings.waitReply, observer),
      m_settings(std::move(settings)) {}

int adaptedReplyTimeout(long long elapsedMs) {
    const long long t = std::max(1LL, elapsedMs);
    return int(std::min<long long>((t * 3 + 1) / 2, 1LL << 30));
}

std::optional<CLinkFailure> CSerialTransfer::openLink() {
    bool busy = false;
    Result<CSerialPort> port = CSerialPort::open(m_settings.port, m_settings.baudRate, &busy);
    if (!port)
        return CLinkFailure{
            screenText("tgw::core::transfer", busy ? kPortBusyNotice : kPortOpenFailedNotice),
            port.error()};
    m_port.emplace(std::move(port).value());
    return std::nullopt;
}

Status CSerialTransfer::sendPacket(const CBytes& packet) {
    // A late reply to the packet before, or noise, must not be read as this packet's reply.
    if (Status s = m_port->purge(); !s)
        return s;
    if (Status s = m_port->writeAll(packet, m_settings.stallTimeoutMs, cancelSignal()); !s)
        return s;
    // The driver may still hold the tail of the packet: the reply wait starts once it is on
    // the line, as the device cannot answer before.
    if (Status s = m_port->drain(m_settings.stallTimeoutMs, cancelSignal()); !s)
        return s;
    packetWritten();
    if (!m_settings.waitReply)
        return {};
    return readReply();
}

Status CSerialTransfer::readReply() {
    // Each packet starts from the chosen time-out; adaptive timing then shortens it from the
    // first two chunks of this reply, so a reply that comes in pieces ends soon after its last
    // piece instead of a whole time-out later.
    int timeout = std::max(1, m_settings.replyTimeoutMs);
    int adaptations = 0;
    long long since = steadyMs();
    bool replied = false;
    unsigned char buffer[1024];

    log().stamp();
    for (;;) {
        size_t got = 0;
        std::string error;
        switch (m_port->read(buffer, sizeof buffer, timeout, cancelSignal(), got, error)) {
        case CSerialPort::ERead::Data:
            break;
        case CSerialPort::ERead::TimedOut:
            log().endLine(replied ? "" : screenText("tgw::core::transfer", kReplyTimeoutText));
            return {};
        case CSerialPort::ERead::Cancelled:
            // The packet went out; the transfer ends before the next one and says so.
            return {};
        case CSerialPort::ERead::Failed:
            return failure(error);
        }
        replied = true;
        if (!log().bytes({buffer, got}))
            return {}; // cut: the line is ended
        if (m_settings.adaptiveTiming && adaptations < 2) {
            const long long now = steadyMs();
            timeout = adaptedReplyTimeout(now - since);
            since = now;
            ++adaptations;
        }
    }
}

} // namespace tgw
