#include <gtest/gtest.h>

#include <vector>

#include "store/PacketBuffer.h"
#include "store/PacketExport.h"
#include "store/ProtocolNames.h"

using namespace pelsid;

namespace {
std::vector<std::uint8_t> frame(int len, std::uint8_t fill) {
    return std::vector<std::uint8_t>(len, fill);
}
}  // namespace

TEST(PacketBuffer, WrapsAt30000AndCountsOn) {
    PacketBuffer b;
    int notified = 0;
    b.setListener([&](const PacketBuffer&) { ++notified; });
    auto f = frame(60, 1);
    for (int i = 1; i <= 30000; ++i) {
        f[0] = std::uint8_t(i);
        ASSERT_EQ(b.insertPacket({f.data(), 60}), i);
    }
    EXPECT_EQ(b.currentSlot(), 30000);
    EXPECT_EQ(b.oldestHeld(), 1);
    f[0] = 0xAB;
    EXPECT_EQ(b.insertPacket({f.data(), 60}), 1);
    EXPECT_EQ(b.newestHeld(), 30001);
    EXPECT_EQ(b.oldestHeld(), 2);
    EXPECT_FALSE(b.holds(1));
    EXPECT_EQ(b.getPacketByte(1, 0), 0xAB);
    EXPECT_EQ(b.getPacketByte(30001, 0), 0xAB);
    EXPECT_EQ(notified, 30001);
    // A copy of a range reaching past either end holds the packets held, each its own.
    const FrameBatch copy = copyPackets(b, 1, 30005);
    ASSERT_EQ(copy.size(), 30000);
    EXPECT_EQ(copy.frame(0)[0], 2);
    EXPECT_EQ(copy.frame(29999)[0], 0xAB);
    EXPECT_EQ(copyPackets(b, 30001, 30001).size(), 1);
}

TEST(PacketBuffer, ShorterPacketLeavesNothingOfTheOldOne) {
    PacketBuffer b;
    std::vector<std::uint8_t> ipv4(60, 0);
    ipv4[12] = 0x08;
    ipv4[23] = 6;
    for (int i = 0; i < 30000; ++i) b.insertPacket({ipv4.data(), 60});
    auto shortOne = frame(14, 7);
    b.insertPacket({shortOne.data(), 14});  // overwrites packet 1 in slot 1
    EXPECT_EQ(b.frameLength(30001), 14);
    EXPECT_EQ(b.getPacketByte(30001, 23), 0);
    EXPECT_EQ(b.getIPProtocol(30001), 0);
    EXPECT_EQ(b.getEtherType(30001), 0x0707);
}

TEST(PacketBuffer, InitBufferEmptiesTheRingAndStartsANewGeneration) {
    PacketBuffer b;
    auto f = frame(20, 3);
    b.insertPacket({f.data(), 20});
    const auto gen = b.generation();
    b.initBuffer();
    EXPECT_EQ(b.newestHeld(), 0);
    EXPECT_EQ(b.currentSlot(), 0);
    EXPECT_GT(b.generation(), gen);
    EXPECT_EQ(b.insertPacket({f.data(), 20}), 1);
}

TEST(PacketBuffer, OversizedPacketIsCutToTheSlot) {
    PacketBuffer b;
    auto big = frame(5000, 9);
    b.insertPacket({big.data(), 5000});
    EXPECT_EQ(b.frameLength(1), PacketBuffer::kSlotBytes);
    EXPECT_EQ(b.getPacketByte(1, 1600), 9);
    EXPECT_EQ(b.getPacketByte(1, 1601), 0);
}

TEST(PacketBuffer, KeepsTimeAndWireLengthUntilOverwrittenOrCleared) {
    PacketBuffer b;
    auto f = frame(60, 1);
    const CaptureTime t{1700000000, 123456789, 9, true};
    b.insertPacket({f.data(), 60}, t, 1514);
    b.insertPacket({f.data(), 60});          // a dataset frame: no time, wire = stored
    b.insertPacket({f.data(), 60}, {}, 10);  // a wire length below the stored one is not believed
    EXPECT_EQ(b.captureTime(1), t);
    EXPECT_EQ(b.wireLength(1), 1514u);
    EXPECT_FALSE(b.captureTime(2).known);
    EXPECT_EQ(b.wireLength(2), 60u);
    EXPECT_EQ(b.wireLength(3), 60u);
    for (int n = 4; n <= PacketBuffer::kSlots + 1; ++n) b.insertPacket({f.data(), 60});
    EXPECT_FALSE(b.captureTime(PacketBuffer::kSlots + 1).known);  // slot of packet 1, reused
    b.insertPacket({f.data(), 60}, t, 100, 1, 7);
    EXPECT_EQ(b.frameNumber(PacketBuffer::kSlots + 2), 7u);
    b.initBuffer();
    EXPECT_FALSE(b.captureTime(1).known);
    EXPECT_EQ(b.wireLength(1), 0u);
    EXPECT_EQ(b.frameNumber(2), 0u);  // the slot the last packet had
}

TEST(HeaderDecoding, FieldsAndOffsets) {
    std::vector<std::uint8_t> p(60, 0);
    p[12] = 0x08;
    p[14] = 0x46;  // version 4, header length 6: ports move by 4 bytes
    p[15] = 0x10;
    p[16] = 0x01;
    p[17] = 0x02;
    p[18] = 0xBE;
    p[19] = 0xEF;
    p[20] = 0x5F;
    p[21] = 0xFF;
    p[22] = 64;
    p[23] = 17;
    p[26] = 192;
    p[27] = 168;
    p[28] = 0;
    p[29] = 1;
    p[38] = 0x00;
    p[39] = 0x35;
    p[40] = 0x04;
    p[41] = 0x00;
    PacketBuffer b;
    b.insertPacket({p.data(), 60});
    EXPECT_EQ(b.getEtherTypeText(1), "0x800");
    EXPECT_EQ(b.getIPVersion(1), 4);
    EXPECT_EQ(b.getIPHeaderLength(1), 6);
    EXPECT_EQ(b.getTOS(1), 16);
    EXPECT_EQ(b.getIPTotalLength(1), 258);
    EXPECT_EQ(b.getIPID(1), 0xBEEF);
    EXPECT_FALSE(b.getFlagReserved(1));
    EXPECT_TRUE(b.getFlagDF(1));
    EXPECT_FALSE(b.getFlagMF(1));
    EXPECT_EQ(b.getFragOffset(1), 8191);
    EXPECT_EQ(b.getSrcIPText(1), "192.168.0.1");
    EXPECT_EQ(b.getSrcIPOctet(1, 3), 0);
    // A fragment other than the first has no transport header: no ports.
    EXPECT_EQ(b.getUDPSrcPort(1), 0);
    EXPECT_EQ(b.getUDPDstPort(1), 0);

    p[20] = 0x40;  // the first fragment (offset 0) carries the ports
    p[21] = 0;
    b.insertPacket({p.data(), 60});
    EXPECT_EQ(b.getUDPSrcPort(2), 53);
    EXPECT_EQ(b.getUDPDstPort(2), 1024);
    EXPECT_EQ(b.getTCPSrcPort(2), 0);

    p[14] = 0x43;  // header length below 5 counts as 5
    p[23] = 6;
    p[34] = 0;
    p[35] = 80;
    b.insertPacket({p.data(), 60});
    EXPECT_EQ(b.getTCPSrcPort(3), 80);
    EXPECT_EQ(b.getUDPSrcPort(3), 0);

    std::vector<std::uint8_t> arp(42, 0xFF);
    arp[12] = 0x08;
    arp[13] = 0x06;
    b.insertPacket({arp.data(), 42});
    EXPECT_EQ(b.getEtherType(4), 2054);
    EXPECT_EQ(b.getEtherTypeText(4), "0x806");
    EXPECT_EQ(b.getIPProtocol(4), 0);
    EXPECT_EQ(b.getTTL(4), 0);
}

TEST(HeaderDecoding, ShortPacketReadsZerosBeyondItsEnd) {
    std::vector<std::uint8_t> p(40, 0xEE);  // a slot of earlier bytes beyond 20 must not leak
    p[12] = 0x08;
    p[13] = 0x00;
    p[14] = 0x45;
    p[23] = 6;
    PacketBuffer b;
    b.insertPacket({p.data(), 40});
    b.insertPacket({p.data(), 24});  // 24 bytes: protocol is the last byte
    EXPECT_EQ(b.getIPProtocol(2), 6);
    EXPECT_EQ(b.getIPChecksum(2), 0);
    EXPECT_EQ(b.getTCPSrcPort(2), 0);
    EXPECT_EQ(b.getSrcIPText(2), "0.0.0.0");
}

TEST(ProtocolNames, Bands) {
    EXPECT_EQ(protocolName(6), "TCP");
    EXPECT_EQ(protocolName(17), "UDP");
    EXPECT_EQ(protocolName(41), "IPv6");
    EXPECT_EQ(protocolName(61), "Host Internal");
    EXPECT_EQ(protocolName(137), "MPLS-in-IP");
    EXPECT_EQ(protocolName(138), "Unassigned");
    EXPECT_EQ(protocolName(252), "Unassigned");
    EXPECT_EQ(protocolName(253), "Experimental");
    EXPECT_EQ(protocolName(254), "Experimental");
    EXPECT_EQ(protocolName(255), "Reserved");
    EXPECT_EQ(protocolName(256), "");
    EXPECT_EQ(protocolName(-1), "");
}

// Packets share one byte ring: whatever the mix of lengths, a new packet never
// lands on one still held, and nothing beyond a packet's end reads as its own.
TEST(PacketBuffer, RingOfMixedLengthsKeepsEveryHeldPacketWhole) {
    PacketBuffer b;
    std::uint32_t seed = 12345;
    auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
    auto lengthOf = [](int n, std::uint32_t r) {
        // Runs of full slots (the worst case for the ring) between random lengths.
        return (n / 1000) % 3 == 0 ? PacketBuffer::kSlotBytes
                                   : int(r % (PacketBuffer::kSlotBytes + 1));
    };
    std::vector<int> length(100001);
    std::vector<std::uint8_t> f(PacketBuffer::kSlotBytes);
    for (int n = 1; n <= 100000; ++n) {
        length[n] = lengthOf(n, next());
        for (int i = 0; i < length[n]; ++i) f[i] = std::uint8_t(n * 7 + i);
        b.insertPacket({f.data(), std::size_t(length[n])});
        if (n % 9973 == 0 || n == 100000) {
            for (int m = b.oldestHeld(); m <= n; ++m) {
                ASSERT_EQ(b.frameLength(m), length[m]) << m;
                const std::uint8_t* d = b.packetData(m);
                for (int i = 0; i < length[m]; ++i)
                    ASSERT_EQ(d[i], std::uint8_t(m * 7 + i)) << "packet " << m << " byte " << i;
                EXPECT_EQ(b.getPacketByte(m, length[m]), 0);
            }
        }
    }
    // After an initialisation slots never written since read as zero bytes.
    b.initBuffer();
    f.assign(3, 9);
    b.insertPacket({f.data(), 3});
    EXPECT_EQ(b.getPacketByte(2, 0), 0);
    EXPECT_EQ(b.packetData(2)[0], 0);
    EXPECT_EQ(b.getPacketByte(1, 2), 9);
    EXPECT_EQ(b.getPacketByte(1, 3), 0);
}
