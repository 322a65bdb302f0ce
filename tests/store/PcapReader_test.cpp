#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "store/CaptureFile.h"
#include "store/IpFlags.h"
#include "store/PacketBuffer.h"
#include "store/PcapReader.h"
#include "support/PcapBytes.h"

using namespace pelsid;
using namespace pelsid::test;

namespace {
std::string fixture(const char* name) {
    return std::string(PELSID_TEST_DATA) + "/" + name;
}

// A classic pcap written by hand, for link types and shapes no tool here
// makes; an empty frame is one of 60 bytes on the wire, none captured.
Bytes handPcap(std::uint32_t linkType, const std::vector<Bytes>& frames, bool bigEndian = false,
               std::uint32_t magic = 0xA1B2C3D4, std::uint32_t snaplen = 262144) {
    Bytes b = pcapHeader(linkType, snaplen, bigEndian, magic);
    for (const Bytes& f : frames) {
        if (f.empty())
            pcapEmptyFrame(b, 60, bigEndian);
        else
            pcapFrame(b, f, 0, bigEndian);
    }
    return b;
}

// An IPv4/UDP packet from 10.0.0.1:1000 to 10.0.0.2:2000.
Bytes ipv4Udp() {
    return {0x45, 0, 0,  28, 0x12, 0x34, 0x40, 0,    64,   17,   0, 0, 10, 0,
            0,    1, 10, 0,  0,    2,    0x03, 0xE8, 0x07, 0xD0, 0, 8, 0,  0};
}

std::vector<std::vector<std::string>> readTsv(const std::string& path) {
    std::ifstream in(path);
    std::vector<std::vector<std::string>> rows;
    std::string line;
    std::getline(in, line);  // header
    while (std::getline(in, line)) {
        std::vector<std::string> cells;
        std::stringstream s(line);
        std::string cell;
        while (std::getline(s, cell, '\t')) cells.push_back(cell);
        cells.resize(20);
        rows.push_back(cells);
    }
    return rows;
}

int number(const std::string& s) {
    return s.empty() ? 0 : int(std::stoul(s, nullptr, 0));
}

// Every decoded field of a fixture against what tshark shows for it.
void expectMatchesTshark(const char* capture, const char* expected, int linkHeader) {
    const CaptureFile file = readCaptureFile(fixture(capture));
    const auto rows = readTsv(fixture(expected));
    ASSERT_EQ(file.recordCount(), int(rows.size()));
    PacketBuffer b;
    file.insertInto(b);
    for (int i = 0; i < int(rows.size()); ++i) {
        const auto& r = rows[std::size_t(i)];
        const int n = i + 1;
        SCOPED_TRACE("frame " + std::to_string(n));
        const int frameLength = number(r[0]) - linkHeader + 14;
        EXPECT_EQ(b.frameLength(n), std::min(frameLength, PacketBuffer::kSlotBytes));
        EXPECT_EQ(b.getEtherType(n), number(r[1]));
        EXPECT_EQ(b.getIPVersion(n), number(r[2]));
        EXPECT_EQ(b.getIPHeaderLength(n) * 4, number(r[3]));
        EXPECT_EQ(b.getTOS(n), number(r[4]));
        EXPECT_EQ(b.getIPTotalLength(n), number(r[5]));
        EXPECT_EQ(b.getIPID(n), number(r[6]));
        EXPECT_EQ(b.getFlagReserved(n), number(r[7]) != 0);
        EXPECT_EQ(b.getFlagDF(n), number(r[8]) != 0);
        EXPECT_EQ(b.getFlagMF(n), number(r[9]) != 0);
        EXPECT_EQ(b.getFragOffset(n) * 8, number(r[10]));
        EXPECT_EQ(b.getTTL(n), number(r[11]));
        EXPECT_EQ(b.getIPProtocol(n), number(r[12]));
        EXPECT_EQ(b.getIPChecksum(n), number(r[13]));
        EXPECT_EQ(b.getSrcIPText(n), r[14]);
        EXPECT_EQ(b.getDstIPText(n), r[15]);
        // tshark also names ports inside an ICMP error's quoted header; the
        // decoder reads ports of the packet's own transport only.
        const bool tcp = b.getIPProtocol(n) == 6, udp = b.getIPProtocol(n) == 17;
        EXPECT_EQ(b.getTCPSrcPort(n), tcp ? number(r[16]) : 0);
        EXPECT_EQ(b.getTCPDstPort(n), tcp ? number(r[17]) : 0);
        EXPECT_EQ(b.getUDPSrcPort(n), udp ? number(r[18]) : 0);
        EXPECT_EQ(b.getUDPDstPort(n), udp ? number(r[19]) : 0);
    }
}
}  // namespace

TEST(PcapReader, TcpdumpEthernetDecodesAsTsharkShows) {
    expectMatchesTshark("lo_ethernet.pcap", "lo_ethernet.tshark.tsv", 14);
}

TEST(PcapReader, CookedCaptureDecodesAsTsharkShows) {
    expectMatchesTshark("any_cooked_sll2.pcap", "any_cooked_sll2.tshark.tsv", 20);
}

TEST(PcapReader, AllCapturesOfTheSameTrafficAgree) {
    // pcapng from dumpcap and both cooked forms carry the same 14 IPv4 packets.
    const CaptureFile ethernet = readCaptureFile(fixture("lo_ethernet.pcap"));
    EXPECT_EQ(ethernet.format(), CaptureFile::Format::Pcap);
    const CaptureFile pcapng = readCaptureFile(fixture("lo_ethernet.pcapng"));
    EXPECT_EQ(pcapng.format(), CaptureFile::Format::Pcapng);
    for (const char* name : {"lo_ethernet.pcapng", "any_cooked_sll.pcap", "any_cooked_sll2.pcap"}) {
        SCOPED_TRACE(name);
        const CaptureFile f = readCaptureFile(fixture(name));
        ASSERT_EQ(f.recordCount(), 14);
        for (int i = 0; i < f.recordCount(); ++i) {
            const auto bytes = f.record(i);
            EXPECT_EQ(bytes[12], 0x08);
            EXPECT_EQ(bytes[13], 0x00);
            EXPECT_EQ(bytes[14], 0x45);  // IPv4 right behind the (made-up) Ethernet header
            EXPECT_EQ(bytes[26], 127);
        }
    }
}

TEST(PcapReader, OversizeFramesAreCutAndCounted) {
    const CaptureFile f = readCaptureFile(fixture("lo_ethernet.pcap"));
    ASSERT_EQ(f.recordCount(), 14);
    EXPECT_EQ(f.records()[9].length, std::uint32_t(PacketBuffer::kSlotBytes));
    EXPECT_EQ(f.recordSet().cutCount, 1);
    ASSERT_EQ(f.problems().size(), 1u);
    EXPECT_NE(f.problems()[0].text.find("1 packet was longer than 1601"), std::string::npos);
}

TEST(PcapReader, FileCutShortKeepsThePacketsBeforeTheDamage) {
    const CaptureFile f = readCaptureFile(fixture("lo_ethernet_cut.pcap"));
    EXPECT_TRUE(f.isLoadable());
    EXPECT_EQ(f.recordCount(), 9);
    ASSERT_EQ(f.problems().size(), 1u);
    const std::string& text = f.problems()[0].text;
    EXPECT_EQ(f.problems()[0].severity, LoadProblem::Severity::Warning);
    EXPECT_NE(text.find("frame 10"), std::string::npos) << text;
    EXPECT_NE(text.find("truncated"), std::string::npos) << text;  // libpcap's own words
    EXPECT_NE(text.find("lo_ethernet_cut.pcap"), std::string::npos) << text;
}

TEST(PcapReader, ARecordOfNoWireLengthIsDamageThere) {
    // Two frames, then a hole of zeros (as in a sparse file) with frames behind it.
    Bytes b = handPcap(1, {ethernetFrame(60), ethernetFrame(61)});
    const std::size_t hole = b.size();
    b.resize(b.size() + 4096, 0);
    pcapFrame(b, ethernetFrame(62));
    ReadOptions options;
    options.pieceSize = 1000;
    const CaptureFile f = readCaptureBytes(b, "sparse.pcap", options);
    EXPECT_TRUE(f.isLoadable());
    EXPECT_EQ(f.recordCount(), 2);
    ASSERT_EQ(f.problems().size(), 1u);
    const std::string& text = f.problems()[0].text;
    EXPECT_NE(text.find("frame 3 (byte offset " + std::to_string(hole) + ")"), std::string::npos)
        << text;
    EXPECT_NE(text.find("invalid packet length 0"), std::string::npos) << text;
    EXPECT_LT(f.recordSet().bytesRead, b.size());
}

TEST(PcapReader, UnsupportedLinkTypeIsRefusedByName) {
    const CaptureFile f = readCaptureBytes(handPcap(195, {ethernetFrame(60)}), "zigbee.pcap");
    EXPECT_EQ(f.format(), CaptureFile::Format::Unreadable);
    EXPECT_EQ(f.recordCount(), 0);
    ASSERT_EQ(f.problems().size(), 1u);
    EXPECT_EQ(f.problems()[0].severity, LoadProblem::Severity::Error);
    EXPECT_NE(f.problems()[0].text.find("IEEE802_15_4"), std::string::npos) << f.problems()[0].text;
}

TEST(PcapReader, RawIpGetsAnEthernetHeader) {
    for (std::uint32_t linkType : {101u /* LINKTYPE_RAW */, 228u /* IPv4 */}) {
        const CaptureFile f = readCaptureBytes(handPcap(linkType, {ipv4Udp()}), "raw.pcap");
        ASSERT_EQ(f.recordCount(), 1) << linkType;
        PacketBuffer b;
        f.insertInto(b);
        EXPECT_EQ(b.frameLength(1), 14 + 28);
        EXPECT_EQ(b.getEtherType(1), 0x0800);
        EXPECT_EQ(b.getSrcIPText(1), "10.0.0.1");
        EXPECT_EQ(b.getUDPSrcPort(1), 1000);
        EXPECT_EQ(b.getUDPDstPort(1), 2000);
        EXPECT_EQ(ipFlagsLabel(b.fields(1)), "DF");
    }
}

TEST(PcapReader, FormatComesFromTheMagicInEitherByteOrder) {
    const std::vector<Bytes> frames{ethernetFrame(60), ethernetFrame(1514)};
    for (bool bigEndian : {false, true})
        for (std::uint32_t magic : {0xA1B2C3D4u, 0xA1B23C4Du}) {
            const CaptureFile f =
                readCaptureBytes(handPcap(1, frames, bigEndian, magic), "capture.pelsid");
            EXPECT_EQ(f.format(), CaptureFile::Format::Pcap);
            ASSERT_EQ(f.recordCount(), 2);
            EXPECT_EQ(f.records()[1].length, 1514u);
            EXPECT_TRUE(f.problems().empty());
        }
}

// The "modified" format: 8 more bytes in every record header, frames unchanged.
TEST(PcapReader, ModifiedFormatRecordsAreReadPastTheirLongerHeaders) {
    const std::vector<Bytes> frames{ethernetFrame(60), ethernetFrame(1514), ethernetFrame(98)};
    for (bool bigEndian : {false, true}) {
        Bytes file = pcapHeader(1, 262144, bigEndian, 0xA1B2CD34u);
        for (std::size_t k = 0; k < frames.size(); ++k) {
            Bytes record;
            pcapFrame(record, frames[k], 0, bigEndian, 1700000000 + std::uint32_t(k), 250000);
            record.insert(record.begin() + 16, {0, 0, 0, 2, 0x08, 0x00, 4, 0});
            file.insert(file.end(), record.begin(), record.end());
        }
        const CaptureFile f = readCaptureBytes(file, "modified.pcap");
        EXPECT_EQ(f.format(), CaptureFile::Format::Pcap);
        ASSERT_EQ(f.recordCount(), 3);
        EXPECT_TRUE(f.problems().empty());
        for (int k = 0; k < 3; ++k) {
            const auto r = f.record(k);
            EXPECT_TRUE(std::equal(r.begin(), r.end(), frames[std::size_t(k)].begin(),
                                   frames[std::size_t(k)].end()))
                << k;
            EXPECT_EQ(f.records()[std::size_t(k)].time.seconds, 1700000000 + k);
            EXPECT_EQ(f.records()[std::size_t(k)].time.nanoseconds, 250000000u);
        }
    }
}

TEST(PcapReader, EmptyFramesAreSkippedAndCounted) {
    const Bytes sllHeaderOnly(16, 0);
    CaptureFile f = readCaptureBytes(handPcap(1, {Bytes{}, ethernetFrame(60), Bytes{}}), "e.pcap");
    EXPECT_EQ(f.recordCount(), 1);
    ASSERT_EQ(f.problems().size(), 1u);
    EXPECT_NE(f.problems()[0].text.find("2 frames were skipped"), std::string::npos);
    f = readCaptureBytes(handPcap(113, {sllHeaderOnly}), "sll.pcap");
    EXPECT_EQ(f.recordCount(), 0);
    EXPECT_EQ(f.recordSet().skippedCount, 1);
}

TEST(PcapReader, MoreFramesThanTheBufferHoldsKeepsTheFirst30000) {
    std::vector<Bytes> frames(30001, ethernetFrame(60));
    frames[30000][0] = 0x77;
    const CaptureFile f = readCaptureBytes(handPcap(1, frames), "big.pcap");
    EXPECT_EQ(f.recordCount(), 30000);
    EXPECT_TRUE(f.recordSet().exceeded);
    ASSERT_EQ(f.problems().size(), 1u);
    EXPECT_EQ(f.problems()[0].text,
              "Packets in file exceeded buffer.  Only the first 30000 packets will be used.");

    // From a later frame, and up to a last one: the frames taken are named,
    // and a load that reaches its last frame ends there without a message.
    frames.resize(30020, ethernetFrame(60));
    struct Case {
        std::uint64_t from, to;
        int stored;
        const char* message;
        std::uint64_t lastFrame;
    };
    for (const Case c :
         {Case{11, 0, 30000,
               "Packets in file exceeded buffer.  Frames 11 to 30010 of the file were loaded "
               "(30000 packets).",
               30010},
          Case{11, 30010, 30000, "", 30010}, Case{11, 30009, 29999, "", 30009},
          Case{30020, 0, 1, "", 30020}}) {
        ReadOptions o;
        o.choice.from = c.from;
        o.choice.to = c.to;
        const CaptureFile part = readCaptureBytes(handPcap(1, frames), "big.pcap", o);
        EXPECT_EQ(part.recordCount(), c.stored) << c.from << ".." << c.to;
        EXPECT_EQ(part.records().back().frame, c.lastFrame);
        EXPECT_EQ(part.records().front().frame, c.from);
        EXPECT_EQ(part.problems().empty() ? std::string() : part.problems()[0].text, c.message);
        EXPECT_EQ(part.recordSet().ended, c.to != 0 && c.to < 30020) << c.from << ".." << c.to;
    }
}

TEST(PcapReader, DamagedHeaderStoresNothing) {
    Bytes header = handPcap(1, {});
    header.resize(10);
    const CaptureFile f = readCaptureBytes(header, "short.pcap");
    EXPECT_EQ(f.format(), CaptureFile::Format::Unreadable);
    ASSERT_EQ(f.problems().size(), 1u);
    EXPECT_EQ(f.problems()[0].severity, LoadProblem::Severity::Error);
}

TEST(PcapReader, DamageNamesTheByteOffsetCountingSkippedFrames) {
    // Two empty frames (skipped), one stored, then a record header cut short.
    Bytes b = handPcap(1, {Bytes{}, Bytes{}, ethernetFrame(60)});
    const std::size_t damageAt = b.size();
    EXPECT_EQ(damageAt, 24u + 16 + 16 + 16 + 60);
    b.insert(b.end(), 8, 0);
    const CaptureFile f = readCaptureBytes(b, "d.pcap");
    EXPECT_EQ(f.recordCount(), 1);
    ASSERT_FALSE(f.problems().empty());
    const std::string& text = f.problems()[0].text;
    EXPECT_NE(text.find("frame 4 (byte offset " + std::to_string(damageAt) + ")"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("The 1 packet before it was kept."), std::string::npos) << text;

    // More than one packet kept: the plural.
    Bytes two = handPcap(1, {ethernetFrame(60), ethernetFrame(60)});
    two.insert(two.end(), 8, 0);
    const std::string plural = readCaptureBytes(two, "d.pcap").problems()[0].text;
    EXPECT_NE(plural.find("The 2 packets before it were kept."), std::string::npos) << plural;

    // Three bytes are no magic, whatever follows them in memory.
    const std::uint8_t magic[4] = {0xD4, 0xC3, 0xB2, 0xA1};
    EXPECT_TRUE(hasPcapMagic({magic, 4}));
    EXPECT_FALSE(hasPcapMagic({magic, 3}));
    // One stray byte after the last record is a record header cut short.
    Bytes stray = handPcap(1, {ethernetFrame(60)});
    stray.push_back(0x42);
    const CaptureFile s = readCaptureBytes(stray, "s.pcap");
    EXPECT_EQ(s.recordCount(), 1);
    ASSERT_EQ(s.problems().size(), 1u);
    EXPECT_NE(s.problems()[0].text.find("frame 2"), std::string::npos) << s.problems()[0].text;
}

TEST(PcapReader, SnaplenSmallerThanTheFramesWarnsOnceWithTheCount) {
    const Bytes b = handPcap(1, {ethernetFrame(200), ethernetFrame(60), ethernetFrame(300)}, false,
                             0xA1B2C3D4, 100);
    const CaptureFile f = readCaptureBytes(b, "snap.pcap");
    ASSERT_EQ(f.recordCount(), 3);
    EXPECT_EQ(f.records()[0].length, 100u);
    EXPECT_EQ(f.records()[1].length, 60u);
    EXPECT_EQ(f.records()[2].length, 100u);
    ASSERT_EQ(f.problems().size(), 1u);
    const std::string& text = f.problems()[0].text;
    EXPECT_EQ(f.problems()[0].severity, LoadProblem::Severity::Warning);
    EXPECT_NE(text.find("2 frames were longer than the file's snapshot length of 100 bytes"),
              std::string::npos)
        << text;

    // Frames the capture itself cut (shorter on file than on the wire) are no news.
    Bytes snapped = handPcap(1, {ethernetFrame(100)}, false, 0xA1B2C3D4, 100);
    snapped[24 + 12] = 200;  // original length 200, captured 100
    EXPECT_TRUE(readCaptureBytes(snapped, "snap.pcap").problems().empty());
}

TEST(PcapReader, UnknownLinkTypeShowsTheNumberTheFileHolds) {
    for (bool bigEndian : {false, true}) {
        const CaptureFile f =
            readCaptureBytes(handPcap(0xFFFFFFFF, {ethernetFrame(60)}, bigEndian), "x.pcap");
        EXPECT_EQ(f.format(), CaptureFile::Format::Unreadable);
        ASSERT_EQ(f.problems().size(), 1u);
        const std::string& text = f.problems()[0].text;
        EXPECT_NE(text.find("4294967295"), std::string::npos) << text;
        EXPECT_EQ(text.find("67108863"), std::string::npos) << text;
    }
}
