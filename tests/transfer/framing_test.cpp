#include "transfer/hex_bytes.h"
#include "transfer/packet_framing.h"

#include <gtest/gtest.h>

using namespace tgw;

namespace {

CBytes hex(const char* text) {
    return parseHexBytes(text, "test").value();
}

std::vector<CBytes> packets(const CFramingSettings& s, const CBytes& data) {
    CPacketFramer framer(s, data);
    std::vector<CBytes> out;
    for (size_t i = 0; i < framer.packetCount(); ++i)
        out.push_back(framer.packet(i));
    return out;
}

} // namespace

TEST(Framing, XorFromHeader2) {
    CFramingSettings s;
    s.header1 = hex("AA");
    s.header2 = hex("01 02");
    s.tail = hex("0D 0A");
    s.checksum = EChecksumKind::Xor;
    s.checksumRange = EChecksumRange::FromHeader2;
    EXPECT_EQ(packets(s, hex("10 20")), std::vector<CBytes>{hex("AA 01 02 10 20 33 0D 0A")});
}

TEST(Framing, ChecksumKindsAndRanges) {
    EXPECT_EQ(checksumOf(EChecksumKind::Sum, hex("FF 02")), 0x01);
    EXPECT_EQ(checksumOf(EChecksumKind::Xor, hex("FF 02")), 0xFD);

    CFramingSettings s;
    s.header1 = hex("AA");
    s.header2 = hex("55");
    s.checksum = EChecksumKind::Sum;
    s.checksumRange = EChecksumRange::FromData;
    EXPECT_EQ(packets(s, hex("FF 02")), std::vector<CBytes>{hex("AA 55 FF 02 01")});
    // No payload bytes in the range: the byte stays at its start value.
    EXPECT_EQ(packets(s, {}), std::vector<CBytes>{hex("AA 55 00")});
    s.checksumRange = EChecksumRange::FromHeader1;
    EXPECT_EQ(packets(s, hex("01")), std::vector<CBytes>{hex("AA 55 01 00")});
}

TEST(Framing, BareFramingSendsThePayloadItself) {
    CFramingSettings s;
    s.packetSize = 3;
    s.prefix = hex("F0");
    s.suffix = hex("0F");
    CPacketFramer framer(s, hex("01 02 03 04 05"));
    EXPECT_EQ(framer.packetCount(), 3u);
    EXPECT_EQ(framer.allPackets(), hex("F0 01 02 03 04 05 0F"));
}

TEST(Framing, ExactMultiplesAndOneByteOver) {
    CFramingSettings s;
    s.packetSize = 2;
    s.header1 = hex("A1");
    s.lastBytes = hex("E1");
    s.lastMode = ELastPacketMode::Header1;

    // Exactly one packet size: a single packet, the last-packet bytes unused.
    EXPECT_EQ(packets(s, hex("01 02")), std::vector<CBytes>{hex("A1 01 02")});
    // Twice the size: two full packets, the second is the last.
    EXPECT_EQ(packets(s, hex("01 02 03 04")),
              (std::vector<CBytes>{hex("A1 01 02"), hex("E1 03 04")}));
    // One byte over: the third packet carries that byte, unpadded.
    EXPECT_EQ(packets(s, hex("01 02 03 04 05")),
              (std::vector<CBytes>{hex("A1 01 02"), hex("A1 03 04"), hex("E1 05")}));
    // The prefix and suffix count: 1 + 1 + 1 bytes fit one packet of 3 but not of 2.
    s.prefix = hex("50");
    s.suffix = hex("5F");
    s.packetSize = 3;
    EXPECT_EQ(packets(s, hex("01")), std::vector<CBytes>{hex("A1 50 01 5F")});
    s.packetSize = 2;
    EXPECT_EQ(packets(s, hex("01")), (std::vector<CBytes>{hex("A1 50 01"), hex("E1 5F")}));
}

TEST(Framing, LastPacketReplacementsOfOtherLengths) {
    CFramingSettings s;
    s.packetSize = 1;
    s.header1 = hex("AA");
    s.header2 = hex("01 02");
    s.tail = hex("0D");
    s.checksum = EChecksumKind::Xor;
    s.checksumRange = EChecksumRange::FromHeader2;
    const CBytes data = hex("10 20");

    // A longer header 1 moves the start of the range along with it.
    s.lastMode = ELastPacketMode::Header1;
    s.lastBytes = hex("E1 E2 E3");
    EXPECT_EQ(packets(s, data),
              (std::vector<CBytes>{hex("AA 01 02 10 13 0D"), hex("E1 E2 E3 01 02 20 23 0D")}));
    // An empty header 1 in the last packet: the range starts at its first byte.
    s.lastBytes = {};
    EXPECT_EQ(packets(s, data)[1], hex("01 02 20 23 0D"));

    // A shorter header 2, checked from the data on.
    s.lastMode = ELastPacketMode::Header2;
    s.lastBytes = hex("7F");
    s.checksumRange = EChecksumRange::FromData;
    EXPECT_EQ(packets(s, data)[1], hex("AA 7F 20 20 0D"));

    // The tail is outside every range.
    s.lastMode = ELastPacketMode::Tail;
    s.lastBytes = hex("0D 0A 00");
    s.checksumRange = EChecksumRange::FromHeader1;
    EXPECT_EQ(packets(s, data),
              (std::vector<CBytes>{hex("AA 01 02 10 B9 0D"), hex("AA 01 02 20 89 0D 0A 00")}));
}

TEST(Framing, PacketSizeMustBePositive) {
    CFramingSettings s;
    s.packetSize = 0;
    EXPECT_FALSE(s.validate());
    s.packetSize = 1;
    EXPECT_TRUE(s.validate());
}

TEST(HexBytes, NormalForm) {
    EXPECT_EQ(normaliseHexText("A 123"), "0A 01 23 ");
    EXPECT_EQ(normaliseHexText("aa\tbB\r\n0c"), "AA BB 0C ");
    EXPECT_EQ(normaliseHexText("  \r\n"), "");
    EXPECT_EQ(hex("A 123"), (CBytes{0x0A, 0x01, 0x23}));
    EXPECT_EQ(hexText(CBytes{0x0A, 0xFF, 0x12}), "0A FF 12 ");
    EXPECT_EQ(countHexBytes("", "f").value(), 0u);
    EXPECT_EQ(countHexBytes("ABCDE 1", "f").value(), 4u);
}

TEST(HexBytes, TokenWithOtherCharactersIsRejected) {
    // Pasted text can hold anything; it must not turn into bytes the user did not mean.
    for (const char* text : {"AA 0G 01", "AA,01", "0x41", "AA \xE3\x80\x80"}) {
        Result<CBytes> bytes = parseHexBytes(text, "header 1");
        ASSERT_FALSE(bytes) << text;
        EXPECT_NE(bytes.error().find("header 1"), std::string::npos) << bytes.error();
        EXPECT_FALSE(countHexBytes(text, "header 1")) << text;
    }
    EXPECT_NE(parseHexBytes("AA 0G", "f").error().find("'0G'"), std::string::npos);
    // The normal form keeps such a token in view for the user to correct.
    EXPECT_EQ(normaliseHexText("a 0g"), "0A 0G ");
    // A long pasted token is shown cut short.
    std::string pasted(5000, 'Z');
    EXPECT_LT(parseHexBytes(pasted, "f").error().size(), 200u);
}
