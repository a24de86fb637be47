#include "transfer/packet_framing.h"

#include "base/screen_text.h"

#include "base/text.h"

#include <algorithm>

namespace tgw {

Status CFramingSettings::validate() const {
    if (packetSize < 1 || packetSize > kMaxPacketSize)
        return failure(
            format(TGW_TR_EN("tgw::core::transfer", "the packet size must be 1 to %zu bytes"),
                   kMaxPacketSize));
    return {};
}

uint8_t checksumOf(EChecksumKind kind, std::span<const uint8_t> bytes) {
    uint8_t c = 0;
    for (uint8_t b : bytes) {
        if (kind == EChecksumKind::Xor)
            c ^= b;
        else if (kind == EChecksumKind::Sum)
            c = uint8_t(c + b);
    }
    return c;
}

CPacketFramer::CPacketFramer(CFramingSettings settings, std::span<const uint8_t> data)
    : m_settings(std::move(settings)) {
    if (m_settings.packetSize < 1)
        m_settings.packetSize = 1;
    m_payload.reserve(m_settings.prefix.size() + data.size() + m_settings.suffix.size());
    m_payload.insert(m_payload.end(), m_settings.prefix.begin(), m_settings.prefix.end());
    m_payload.insert(m_payload.end(), data.begin(), data.end());
    m_payload.insert(m_payload.end(), m_settings.suffix.begin(), m_settings.suffix.end());
    const size_t size = m_settings.packetSize;
    m_count = m_payload.size() <= size ? 1 : (m_payload.size() + size - 1) / size;
}

CBytes CPacketFramer::packet(size_t index) const {
    const CFramingSettings& s = m_settings;
    const size_t first = index * s.packetSize;
    const size_t length =
        m_count == 1 ? m_payload.size() : std::min(s.packetSize, m_payload.size() - first);

    const bool last = m_count > 1 && index == m_count - 1;
    const ELastPacketMode mode = last ? s.lastMode : ELastPacketMode::SameAsOthers;
    const CBytes& h1 = mode == ELastPacketMode::Header1 ? s.lastBytes : s.header1;
    const CBytes& h2 = mode == ELastPacketMode::Header2 ? s.lastBytes : s.header2;
    const CBytes& tail = mode == ELastPacketMode::Tail ? s.lastBytes : s.tail;

    CBytes p;
    p.reserve(h1.size() + h2.size() + length + 1 + tail.size());
    p.insert(p.end(), h1.begin(), h1.end());
    p.insert(p.end(), h2.begin(), h2.end());
    p.insert(p.end(), m_payload.begin() + first, m_payload.begin() + first + length);
    if (s.checksum != EChecksumKind::None) {
        // The covered bytes start after the fields the range skips, as this packet lays them
        // out (a replacing field counts with its own length).
        size_t start = 0;
        if (s.checksumRange == EChecksumRange::FromHeader2)
            start = h1.size();
        else if (s.checksumRange == EChecksumRange::FromData)
            start = h1.size() + h2.size();
        p.push_back(checksumOf(s.checksum, std::span(p).subspan(start)));
    }
    p.insert(p.end(), tail.begin(), tail.end());
    return p;
}

CBytes CPacketFramer::allPackets() const {
    CBytes all;
    for (size_t i = 0; i < m_count; ++i) {
        CBytes p = packet(i);
        all.insert(all.end(), p.begin(), p.end());
    }
    return all;
}

} // namespace tgw
