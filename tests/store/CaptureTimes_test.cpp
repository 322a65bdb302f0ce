// Every reader hands each frame's capture time to the buffer, in the
// resolution its file keeps; datasets have none.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "store/CaptureFile.h"
#include "store/PacketBuffer.h"
#include "support/PcapBytes.h"

using namespace pelsid;
using namespace pelsid::test;

namespace {

std::string fixture(const char* name) {
    return std::string(PELSID_TEST_DATA) + "/" + name;
}

std::vector<std::string> times(const CaptureFile& f) {
    std::vector<std::string> out;
    for (const RecordRef& r : f.records()) out.push_back(epochText(r.time));
    return out;
}

Bytes le64(std::uint64_t v) {
    Bytes b;
    for (int i = 0; i < 8; ++i) b.push_back(std::uint8_t(v >> (8 * i)));
    return b;
}

}  // namespace

TEST(CaptureTimes, RealCapturesReadAsTcpdumpShowsThem) {
    // tcpdump -tt --time-stamp-precision=nano shows these for the first frames.
    const CaptureFile pcap = readCaptureFile(fixture("lo_ethernet.pcap"));
    ASSERT_EQ(pcap.recordCount(), 14);
    EXPECT_EQ(times(pcap)[0], "1796695852.181476");
    EXPECT_EQ(times(pcap)[2], "1796695852.181883");
    const CaptureFile ng = readCaptureFile(fixture("lo_ethernet.pcapng"));
    ASSERT_EQ(ng.recordCount(), 14);
    EXPECT_EQ(times(ng)[0], "1796695860.115523999");
    EXPECT_EQ(times(ng)[1], "1796695860.115546428");
    const CaptureFile cooked = readCaptureFile(fixture("any_cooked_sll.pcap"));
    EXPECT_EQ(times(cooked)[0], "1796695854.814524");

    // And the buffer keeps them with each packet.
    PacketBuffer buffer;
    ng.insertInto(buffer);
    EXPECT_EQ(epochText(buffer.captureTime(2)), "1796695860.115546428");
    EXPECT_EQ(buffer.captureTime(2).decimals, 9);
}

TEST(CaptureTimes, PcapMicroAndNanosecondsInEitherByteOrder) {
    for (bool big : {false, true}) {
        SCOPED_TRACE(big ? "big-endian" : "little-endian");
        Bytes micro = pcapHeader(1, 262144, big, 0xA1B2C3D4);
        pcapFrame(micro, ethernetFrame(60), 0, big, 1765200001, 123456);
        pcapFrame(micro, ethernetFrame(60), 0, big, 1765200001, 7);
        // A fraction of a whole second or more is carried into the seconds.
        pcapFrame(micro, ethernetFrame(60), 0, big, 1765200001, 2500000);
        EXPECT_EQ(times(readCaptureBytes(micro, "u.pcap")),
                  (std::vector<std::string>{"1765200001.123456", "1765200001.000007",
                                            "1765200003.500000"}));
        Bytes nano = pcapHeader(1, 262144, big, 0xA1B23C4D);
        pcapFrame(nano, ethernetFrame(60), 0, big, 1765200001, 123456789);
        pcapFrame(nano, ethernetFrame(60), 0, big, 0, 1);
        const CaptureFile f = readCaptureBytes(nano, "n.pcap");
        EXPECT_EQ(times(f), (std::vector<std::string>{"1765200001.123456789", "0.000000001"}));
        EXPECT_EQ(f.records()[0].time.decimals, 9);
    }
}

TEST(CaptureTimes, PcapngFollowsEachInterfacesResolutionAndOffset) {
    for (bool big : {false, true}) {
        SCOPED_TRACE(big ? "big-endian" : "little-endian");
        Bytes b;
        sectionHeader(b, big);
        interfaceBlock(b, 1, big);  // no if_tsresol: microseconds
        Bytes millis;
        option(millis, 9, {3}, big);
        interfaceBlock(b, 1, big, millis);
        Bytes binary;  // 2^-10 s, and an hour's offset
        option(binary, 2, Bytes{'e', 't', 'h', '0'}, big);
        option(binary, 9, {0x80 | 10}, big);
        Bytes offset = le64(3600);
        if (big) offset = Bytes(offset.rbegin(), offset.rend());
        option(binary, 14, offset, big);
        interfaceBlock(b, 1, big, binary);
        Bytes tooFine;  // 10^-20 s does not fit a 64-bit count of seconds' units
        option(tooFine, 9, {20}, big);
        interfaceBlock(b, 1, big, tooFine);

        packetBlock(b, 0, ethernetFrame(60), big, 1765200001123456ull);
        packetBlock(b, 1, ethernetFrame(60), big, 1765200001123ull);
        packetBlock(b, 2, ethernetFrame(60), big, (std::uint64_t(1000) << 10) | 512);
        packetBlock(b, 3, ethernetFrame(60), big, 42);
        simplePacketBlock(b, ethernetFrame(60), big);

        const std::vector<std::string> expected{"1765200001.123456", "1765200001.123", "4600.5000",
                                                "", ""};
        const CaptureFile f = readCaptureBytes(b, "t.pcapng");
        ASSERT_EQ(f.recordCount(), 5);
        EXPECT_EQ(times(f), expected);
        // The options are read alike however the file comes in pieces.
        for (std::size_t piece : {1, 3, 7}) {
            ReadOptions options;
            options.pieceSize = piece;
            EXPECT_EQ(times(readCaptureBytes(b, "t.pcapng", options)), expected) << piece;
        }
        EXPECT_EQ(f.records()[1].time.decimals, 3);
        EXPECT_FALSE(f.records()[4].time.known);
    }
}

TEST(CaptureTimes, PcapngNanosecondsAndTheOrderOfANewSection) {
    Bytes b;
    sectionHeader(b);
    Bytes nano;
    option(nano, 9, {9});
    interfaceBlock(b, 1, false, nano);
    packetBlock(b, 0, ethernetFrame(60), false, 1765200001123456789ull);
    // A new section forgets the interfaces of the one before: microseconds again.
    sectionHeader(b, true);
    interfaceBlock(b, 1, true);
    packetBlock(b, 0, ethernetFrame(60), true, 1765200002000001ull);
    EXPECT_EQ(times(readCaptureBytes(b, "s.pcapng")),
              (std::vector<std::string>{"1765200001.123456789", "1765200002.000001"}));
}

TEST(CaptureTimes, DatasetsHaveNone) {
    const CaptureFile f = readCaptureFile(std::string(PELSID_SOURCE_DIR) + "/data/sample.pelsid");
    ASSERT_GT(f.recordCount(), 0);
    for (const RecordRef& r : f.records()) ASSERT_FALSE(r.time.known);
    PacketBuffer buffer;
    f.insertInto(buffer);
    EXPECT_FALSE(buffer.captureTime(1).known);
}

TEST(CaptureTimes, EpochTextKeepsTheResolution) {
    EXPECT_EQ(epochText({}), "");
    EXPECT_EQ(epochText({.seconds = 5, .nanoseconds = 120000000, .decimals = 0, .known = true}),
              "5");
    EXPECT_EQ(epochText({.seconds = 5, .nanoseconds = 120000000, .decimals = 2, .known = true}),
              "5.12");
    EXPECT_EQ(epochText({.seconds = -5, .nanoseconds = 250000000, .decimals = 2, .known = true}),
              "-4.75");
    EXPECT_EQ(epochText({.seconds = -5, .nanoseconds = 0, .decimals = 1, .known = true}), "-5.0");
    EXPECT_EQ(epochText({.seconds = -5, .nanoseconds = 1, .decimals = 9, .known = true}),
              "-4.999999999");
    const CaptureTime a{.seconds = 10, .nanoseconds = 900000000, .known = true};
    const CaptureTime b{.seconds = 12, .nanoseconds = 100000000, .known = true};
    EXPECT_EQ(nanosecondsBetween(a, b), 1200000000);
    EXPECT_EQ(nanosecondsBetween(b, a), -1200000000);
}
