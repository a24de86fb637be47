#pragma once

#include "base/result.h"
#include "base/screen_text.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace tgw {

using CBytes = std::vector<uint8_t>;

// How the checksum byte is made; the numbers are the dialog's list positions.
enum class EChecksumKind { None = 0, Xor = 1, Sum = 2 };
// Where the checksum starts; it always ends just before the checksum byte.
enum class EChecksumRange { FromHeader1 = 0, FromHeader2 = 1, FromData = 2 };
// Which framing field the last packet of a split transfer replaces by the last-packet bytes.
enum class ELastPacketMode { SameAsOthers = 0, Header1 = 1, Header2 = 2, Tail = 3 };

// The dialog's list texts, in list order (index = enum value).
inline constexpr const char* kChecksumKindTexts[] = {
    TGW_TR_NOOP("tgw::core::transfer", "自定义/无校验码"),
    TGW_TR_NOOP("tgw::core::transfer", "逐字节异或"),
    TGW_TR_NOOP("tgw::core::transfer", "逐字节相加[溢出]")};
inline constexpr const char* kChecksumRangeTexts[] = {
    TGW_TR_NOOP("tgw::core::transfer", "从包头1开始计算"),
    TGW_TR_NOOP("tgw::core::transfer", "从包头2开始计算"),
    TGW_TR_NOOP("tgw::core::transfer", "从数据部分开始计算")};
inline constexpr const char* kLastPacketModeTexts[] = {
    TGW_TR_NOOP("tgw::core::transfer", "包头包尾均与首包相同"),
    TGW_TR_NOOP("tgw::core::transfer", "包头1数据与首包不相同"),
    TGW_TR_NOOP("tgw::core::transfer", "包头2数据与首包不相同"),
    TGW_TR_NOOP("tgw::core::transfer", "包尾数据与首包不相同")};

inline constexpr size_t kMaxPacketSize = 2147483647;

// The shape of every packet, as the user defines it in a transfer dialog.
struct CFramingSettings {
    CBytes header1;
    CBytes header2;
    CBytes tail;
    CBytes prefix;            // before the matrix data in the payload
    CBytes suffix;            // after the matrix data in the payload
    CBytes lastBytes;         // stands in for one field of the last packet (see lastMode)
    size_t packetSize = 1024; // payload bytes per packet
    ELastPacketMode lastMode = ELastPacketMode::SameAsOthers;
    EChecksumKind checksum = EChecksumKind::None;
    EChecksumRange checksumRange = EChecksumRange::FromHeader2;

    // Fails when the packet size is 0 or over kMaxPacketSize.
    Status validate() const;
};

// XOR or sum modulo 256 of `bytes`, starting from 0; 0 for EChecksumKind::None.
uint8_t checksumOf(EChecksumKind kind, std::span<const uint8_t> bytes);

// Cuts prefix + data + suffix into packets laid out as
//     header 1, header 2, payload piece, checksum byte (kinds 1 and 2), tail
// A payload no longer than the packet size goes as one packet and the last-packet mode does not
// apply, so a payload of exactly one packet size never uses the last-packet bytes. A longer one
// is cut into pieces of packetSize bytes; the last piece keeps the rest, unpadded, and its
// packet takes the last-packet bytes in place of the field lastMode names.
//
// Example: XOR from header 2, header 1 = AA, header 2 = 01 02, payload 10 20:
//     AA 01 02 10 20 33        (01 ^ 02 ^ 10 ^ 20 = 33)
class CPacketFramer {
public:
    // `settings` must be valid (see CFramingSettings::validate).
    CPacketFramer(CFramingSettings settings, std::span<const uint8_t> data);

    size_t payloadSize() const { return m_payload.size(); }
    size_t packetCount() const { return m_count; }
    // Packet `index` (0-based, below packetCount()) as it goes on the line.
    CBytes packet(size_t index) const;
    // Every packet, one after another: what a device receives.
    CBytes allPackets() const;

private:
    CFramingSettings m_settings;
    CBytes m_payload;
    size_t m_count = 1;
};

} // namespace tgw
