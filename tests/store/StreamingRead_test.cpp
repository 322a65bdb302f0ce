// The readers read files in bounded pieces: the same records whatever the
// piece size, memory that does not follow the file's size, streams that
// never end, and the frames the user chose.
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "store/CaptureFile.h"
#include "store/DatasetScan.h"
#include "store/Messages.h"
#include "store/PacketBuffer.h"
#include "support/PcapBytes.h"

using namespace pelsid;
using namespace pelsid::test;

namespace {
const std::string kDelim = "<PELSID[CR][LF]>";

Bytes bytesOf(const std::string& s) {
    return {s.begin(), s.end()};
}

// An Ethernet frame carrying IPv4 with `protocol`, numbered by its IP id.
Bytes ethernetIp(std::uint16_t id, std::uint8_t protocol = 17, std::size_t length = 60) {
    Bytes f(length, 0);
    f[12] = 0x08;
    f[14] = 0x45;
    f[16] = std::uint8_t((length - 14) >> 8);
    f[17] = std::uint8_t(length - 14);
    f[18] = std::uint8_t(id >> 8);
    f[19] = std::uint8_t(id);
    f[22] = 64;
    f[23] = protocol;
    return f;
}

Bytes pcapOf(int frames, int firstId = 1) {
    Bytes b = pcapHeader(1);
    for (int i = 0; i < frames; ++i)
        pcapFrame(b, ethernetIp(std::uint16_t(firstId + i), i % 2 ? 6 : 17));
    return b;
}

ReadOptions pieces(std::size_t size) {
    ReadOptions o;
    o.pieceSize = size;
    return o;
}

std::vector<Bytes> recordsOf(const CaptureFile& f) {
    std::vector<Bytes> out;
    for (int i = 0; i < f.recordCount(); ++i) {
        const auto r = f.record(i);
        out.emplace_back(r.begin(), r.end());
    }
    return out;
}

// IP ids of the stored frames, which the tests use to name frames.
std::vector<int> ids(const CaptureFile& f) {
    std::vector<int> out;
    for (int i = 0; i < f.recordCount(); ++i) {
        const auto r = f.record(i);
        out.push_back(r[18] << 8 | r[19]);
    }
    return out;
}

std::vector<std::uint32_t> wireLengths(const CaptureFile& f) {
    std::vector<std::uint32_t> out;
    for (int i = 0; i < f.recordCount(); ++i) {
        const std::uint32_t w = f.records()[std::size_t(i)].wireLength;
        out.push_back(w ? w : std::uint32_t(f.record(i).size()));
    }
    return out;
}

// The same frames as pcap and pcapng, a few hundred KB of them so that every
// piece size moves the reader's window along its buffer at many offsets.
// Lengths step across a slot's (1600, 1601, 1602) and through short ones;
// some frames were captured only in part, so their wire length is longer
// than what is stored; every byte after the IP header is non-zero, so that
// a byte read past a frame's end shows.
struct EdgeCapture {
    Bytes pcap, pcapng;
    std::vector<Bytes> stored;        // each frame as a slot keeps it
    std::vector<std::uint32_t> wire;  // its length on the wire
    int cut = 0;                      // frames whose captured part exceeds a slot
};

EdgeCapture edgeCapture() {
    static const std::size_t kLengths[] = {60,   1600, 61, 1601, 34,  1602,
                                           1599, 3000, 97, 1023, 4097};
    const std::size_t slot = PacketBuffer::kSlotBytes;
    EdgeCapture c;
    c.pcap = pcapHeader(1);
    sectionHeader(c.pcapng);
    interfaceBlock(c.pcapng, 1);
    for (int i = 0; i < 400; ++i) {
        // Lengths off the list by a few bytes move every later offset.
        const std::size_t length =
            kLengths[std::size_t(i) % std::size(kLengths)] + (i % 4 == 3 ? std::size_t(i) % 13 : 0);
        Bytes f = ethernetIp(std::uint16_t(i + 1), i % 3 ? 17 : 6, length);
        for (std::size_t k = 34; k < length; ++k) f[k] = std::uint8_t(std::size_t(i) * 7 + k) | 1;
        const std::size_t kept =
            i % 5 == 4 ? std::min(length, i % 2 ? 1599 + std::size_t(i / 10) % 4 : 40) : length;
        pcapCutFrame(c.pcap, f, kept);
        packetBlock(c.pcapng, 0, Bytes(f.begin(), f.begin() + std::ptrdiff_t(kept)), false, 0,
                    std::uint32_t(length));
        c.stored.emplace_back(f.begin(), f.begin() + std::ptrdiff_t(std::min(kept, slot)));
        c.wire.push_back(std::uint32_t(length));
        c.cut += kept > slot;
    }
    return c;
}

// Resident memory of this process in kB (VmHWM: its peak).
long peakKb() {
    std::ifstream in("/proc/self/status");
    std::string key;
    long value = 0;
    while (in >> key) {
        if (key == "VmHWM:") {
            in >> value;
            return value;
        }
        in.ignore(1 << 12, '\n');
    }
    return 0;
}
}  // namespace

TEST(StreamingRead, DatasetRecordsAreTheSameForEveryPieceSize) {
    // Delimiters split at every position between two pieces, a lone '>',
    // part of a delimiter inside a packet, a delimiter with no packet byte
    // before it, a record longer than a slot and bytes after the last delimiter.
    std::string file = "<PELSID>";
    file += "A" + kDelim;
    file += std::string(60, '>') + kDelim;
    file += "x<PELSID[CR]" + kDelim;
    file += kDelim + "after-empty" + kDelim;
    file += std::string(3000, 'L') + kDelim;
    file += "<PELSID[CR][LF]" + std::string("y") + kDelim;
    file += "tail without end";
    const Bytes bytes = bytesOf(file);
    const RecordSet whole = scanDataset(bytes);
    ASSERT_EQ(whole.records.size(), 6u);
    EXPECT_EQ(whole.records[3].length, 16u + 11u);  // the empty delimiter began this record
    EXPECT_EQ(whole.records[4].length, std::uint32_t(PacketBuffer::kSlotBytes));
    EXPECT_EQ(whole.cutCount, 1);
    for (std::size_t piece = 1; piece <= 40; ++piece) {
        const RecordSet set = scanDataset(bytes, piece);
        ASSERT_EQ(set.records.size(), whole.records.size()) << piece;
        for (std::size_t i = 0; i < set.records.size(); ++i) {
            EXPECT_EQ(set.records[i].offset, whole.records[i].offset) << piece << " " << i;
            EXPECT_EQ(set.records[i].length, whole.records[i].length) << piece << " " << i;
            EXPECT_EQ(set.records[i].fileEnd, whole.records[i].fileEnd) << piece << " " << i;
        }
        const CaptureFile f = readCaptureBytes(bytes, "d", pieces(piece));
        ASSERT_EQ(f.recordCount(), 6) << piece;
        for (int i = 0; i < 6; ++i) {
            const auto r = f.record(i);
            EXPECT_EQ(std::string(r.begin(), r.end()),
                      file.substr(whole.records[std::size_t(i)].offset,
                                  whole.records[std::size_t(i)].length))
                << piece << " " << i;
        }
    }
}

TEST(StreamingRead, CapturesAreTheSameForEveryPieceSize) {
    const EdgeCapture c = edgeCapture();
    for (const Bytes* file : {&c.pcap, &c.pcapng}) {
        for (std::size_t piece : {1, 2, 3, 7, 16, 17, 64, 1000, 1601, 4095, 4097, 65536, 1 << 20}) {
            SCOPED_TRACE((file == &c.pcap ? "pcap, piece " : "pcapng, piece ") +
                         std::to_string(piece));
            const CaptureFile f = readCaptureBytes(*file, "c", pieces(piece));
            ASSERT_EQ(f.recordCount(), int(c.stored.size()));
            EXPECT_TRUE(recordsOf(f) == c.stored);
            EXPECT_EQ(wireLengths(f), c.wire);
            EXPECT_EQ(f.recordSet().cutCount, c.cut);
            ASSERT_EQ(f.problems().size(), 1u);
            EXPECT_NE(f.problems()[0].text.find(std::to_string(c.cut) + " packets were longer"),
                      std::string::npos)
                << f.problems()[0].text;
        }
    }
}

TEST(StreamingRead, FiltersOnTheWireLengthSeeFramesCutToASlot) {
    // The stored length is at most a slot's and less for frames cut when
    // captured; `len`, `greater` and `less` compare the length on the wire.
    const EdgeCapture c = edgeCapture();
    const struct {
        const char* filter;
        bool (*keeps)(std::uint32_t wire, bool udp);
    } cases[] = {
        {"greater 1601", [](std::uint32_t w, bool) { return w >= 1601; }},
        {"less 1600", [](std::uint32_t w, bool) { return w <= 1600; }},
        {"len == 1602", [](std::uint32_t w, bool) { return w == 1602; }},
        {"len > 1600 and udp", [](std::uint32_t w, bool udp) { return w > 1600 && udp; }},
    };
    for (const auto& k : cases) {
        std::vector<Bytes> chosen;
        for (std::size_t i = 0; i < c.stored.size(); ++i)
            if (k.keeps(c.wire[i], c.stored[i][23] == 17)) chosen.push_back(c.stored[i]);
        ReadOptions o = pieces(7);
        o.choice.filter = k.filter;
        for (const Bytes* file : {&c.pcap, &c.pcapng}) {
            const CaptureFile f = readCaptureBytes(*file, "c", o);
            EXPECT_EQ(f.recordCount(), int(chosen.size())) << k.filter;
            EXPECT_TRUE(recordsOf(f) == chosen) << k.filter;
        }
    }
}

TEST(StreamingRead, HugeClaimedSizesAreDamageNotAllocations) {
    // A frame claiming the largest length libpcap allows, then the file ends.
    Bytes pcap = pcapOf(2);
    put32(pcap, 0);
    put32(pcap, 0);
    put32(pcap, 262144);
    put32(pcap, 0xFFFFFFFF);
    pcap.resize(pcap.size() + 100, 0xEE);
    CaptureFile f = readCaptureBytes(pcap, "claims.pcap", pieces(7));
    EXPECT_EQ(f.recordCount(), 2);
    ASSERT_EQ(f.problems().size(), 1u);
    EXPECT_NE(f.problems()[0].text.find("frame 3 (byte offset 176)"), std::string::npos)
        << f.problems()[0].text;

    // A pcapng block claiming almost 4 GiB.
    Bytes ng;
    sectionHeader(ng);
    interfaceBlock(ng, 1);
    packetBlock(ng, 0, ethernetIp(1));
    put32(ng, 6);
    put32(ng, 0xFFFFFFF0);
    ng.resize(ng.size() + 64, 0);
    f = readCaptureBytes(ng, "claims.pcapng", pieces(5));
    EXPECT_EQ(f.recordCount(), 1);
    ASSERT_EQ(f.problems().size(), 1u);
    EXPECT_NE(f.problems()[0].text.find("frame 2"), std::string::npos) << f.problems()[0].text;
    EXPECT_NE(f.problems()[0].text.find("The 1 packet before it was kept."), std::string::npos)
        << f.problems()[0].text;
}

TEST(StreamingRead, PcapngInterfacesKeepTheirOwnLinkTypes) {
    // Ethernet, raw IP and 802.11 interfaces, in both byte orders: Ethernet
    // and raw IP frames are kept in file order, the 802.11 ones skipped and
    // counted in one warning; the file is never called damaged.
    for (bool big : {false, true}) {
        SCOPED_TRACE(big ? "big-endian" : "little-endian");
        Bytes b;
        sectionHeader(b, big);
        interfaceBlock(b, 1, big);
        interfaceBlock(b, 101, big);
        interfaceBlock(b, 105, big);
        Bytes raw = ethernetIp(2);
        raw.erase(raw.begin(), raw.begin() + 14);
        packetBlock(b, 0, ethernetIp(1), big);
        packetBlock(b, 1, raw, big);
        packetBlock(b, 2, Bytes(40, 0x88), big);
        packetBlock(b, 2, Bytes(40, 0x88), big);
        packetBlock(b, 0, ethernetIp(3), big);
        const CaptureFile f = readCaptureBytes(b, "mixed.pcapng", pieces(3));
        ASSERT_EQ(f.format(), CaptureFile::Format::Pcapng);
        EXPECT_EQ(ids(f), (std::vector<int>{1, 2, 3}));
        EXPECT_EQ(f.record(1).size(), 60u);  // a made-up Ethernet header before the IP packet
        EXPECT_EQ(f.record(1)[12], 0x08);
        ASSERT_EQ(f.problems().size(), 1u);
        EXPECT_EQ(f.problems()[0].severity, LoadProblem::Severity::Warning);
        EXPECT_NE(f.problems()[0].text.find("2 frames of link type IEEE802_11"), std::string::npos)
            << f.problems()[0].text;
        EXPECT_EQ(f.problems()[0].text.find("damaged"), std::string::npos);
    }
}

TEST(StreamingRead, RealCaptureOfTwoInterfacesDecodesEveryFrame) {
    // dumpcap -i lo -i any: 14 Ethernet frames and the same 14 as Linux cooked.
    const CaptureFile f =
        readCaptureFile(std::string(PELSID_TEST_DATA) + "/lo_and_any.pcapng", pieces(100));
    ASSERT_EQ(f.recordCount(), 28);
    for (int i = 0; i < 28; ++i) {
        const auto r = f.record(i);
        EXPECT_EQ(r[12], 0x08) << i;
        EXPECT_EQ(r[14], 0x45) << i;
        EXPECT_EQ(r[26], 127) << i;
    }
    // Only the 5085-byte frame and its cooked twin are longer than a slot.
    ASSERT_EQ(f.problems().size(), 1u);
    EXPECT_NE(f.problems()[0].text.find("2 packets were longer"), std::string::npos);
}

TEST(StreamingRead, FromAndFilterChooseFramesBeforeTheLimit) {
    // 30010 frames, UDP and TCP in turn.
    const Bytes b = pcapOf(30010);
    ReadOptions o;
    o.choice.from = 11;
    CaptureFile f = readCaptureBytes(b, "big.pcap", o);
    EXPECT_EQ(f.recordCount(), 30000);
    EXPECT_TRUE(f.problems().empty());  // the last 30000 fit
    EXPECT_EQ(ids(f).front(), 11);

    o.choice.from = 10;
    f = readCaptureBytes(b, "big.pcap", o);
    EXPECT_EQ(f.recordCount(), 30000);
    EXPECT_TRUE(f.recordSet().exceeded);

    o.choice = {};
    o.choice.filter = "tcp";
    f = readCaptureBytes(b, "big.pcap", o);
    EXPECT_EQ(f.recordCount(), 15005);
    EXPECT_EQ(ids(f)[0], 2);
    EXPECT_EQ(ids(f)[1], 4);

    o.choice.from = 29990;
    f = readCaptureBytes(b, "big.pcap", o);
    EXPECT_EQ(ids(f), (std::vector<int>{29990, 29992, 29994, 29996, 29998, 30000, 30002, 30004,
                                        30006, 30008, 30010}));

    // The filter sees the frame as stored: raw IP behind its made-up Ethernet header.
    Bytes raw = pcapHeader(101);
    Bytes ip = ethernetIp(7, 6);
    ip.erase(ip.begin(), ip.begin() + 14);
    pcapFrame(raw, ip);
    o.choice = {};
    o.choice.filter = "ether proto 0x0800 and tcp";
    EXPECT_EQ(readCaptureBytes(raw, "raw.pcap", o).recordCount(), 1);
}

TEST(StreamingRead, BadFilterIsRefusedWithLibpcapsMessage) {
    ReadOptions o;
    o.choice.filter = "tcp port";
    const CaptureFile f = readCaptureBytes(pcapOf(3), "f.pcap", o);
    EXPECT_EQ(f.format(), CaptureFile::Format::Unreadable);
    ASSERT_EQ(f.problems().size(), 1u);
    EXPECT_NE(f.problems()[0].text.find("syntax error"), std::string::npos) << f.problems()[0].text;
}

TEST(StreamingRead, CountingPassCountsEveryFrameOfEachFormat) {
    ReadOptions o;
    o.countOnly = true;
    o.pieceSize = 13;
    EXPECT_EQ(readCaptureBytes(pcapOf(40000), "c.pcap", o).recordSet().frames, 40000u);
    EXPECT_EQ(readCaptureBytes(pcapOf(40000), "c.pcap", o).recordCount(), 0);
    std::string dataset = "<PELSID>";
    for (int i = 0; i < 31000; ++i) dataset += "ab" + kDelim;
    EXPECT_EQ(readCaptureBytes(bytesOf(dataset), "c.pelsid", o).recordSet().frames, 31000u);
    const CaptureFile two =
        readCaptureFile(std::string(PELSID_TEST_DATA) + "/lo_and_any.pcapng", o);
    EXPECT_EQ(two.recordSet().frames, 28u);
}

TEST(StreamingRead, DevZeroIsNoPelsidFileAtOnce) {
    const CaptureFile f = readCaptureFile("/dev/zero");
    EXPECT_EQ(f.format(), CaptureFile::Format::NotPelsid);
    EXPECT_LE(f.recordSet().bytesRead, ByteInput::kDefaultPieceSize);
}

TEST(StreamingRead, SparseFilesOf64GiBReadOnlyTheirStart) {
    // Once zeros only: no format at once. Then 30001 frames before the hole:
    // the read stops at the buffer's limit. Neither holds memory by the size.
    const std::string path = tempPath("sparse64.pcap");
    for (int frames : {0, 30001}) {
        SCOPED_TRACE(frames);
        writeFile(path, frames ? pcapOf(frames) : Bytes{});
        ASSERT_EQ(::truncate(path.c_str(), off_t(64) << 30), 0);
        const long before = peakKb();
        const CaptureFile f = readCaptureFile(path);
        EXPECT_EQ(f.format(), frames ? CaptureFile::Format::Pcap : CaptureFile::Format::NotPelsid);
        EXPECT_EQ(f.recordCount(), frames ? 30000 : 0);
        EXPECT_EQ(f.recordSet().exceeded, frames > 0);
        EXPECT_LT(f.recordSet().bytesRead, 4u << 20);
        EXPECT_LT(peakKb() - before, 64 * 1024);
    }
    std::remove(path.c_str());
}

TEST(StreamingRead, EndlessFifoStopsAtTheLimitAndGarbageAtOnce) {
    ::signal(SIGPIPE, SIG_IGN);  // the writers learn of the reader's end by EPIPE
    const std::string path = tempPath("endless.fifo");
    for (bool dataset : {true, false}) {
        SCOPED_TRACE(dataset ? "dataset" : "garbage");
        std::remove(path.c_str());
        ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
        std::thread writer([&] {
            const int fd = ::open(path.c_str(), O_WRONLY);
            const std::string start = dataset ? "<PELSID>" : "garbage!";
            std::string more;
            for (int i = 0; i < 100; ++i)
                more += (dataset ? std::string(60, 'r') + kDelim : "zzzzzz");
            bool ok = ::write(fd, start.data(), start.size()) > 0;
            while (ok) ok = ::write(fd, more.data(), more.size()) > 0;  // until the reader leaves
            ::close(fd);
        });
        const CaptureFile f = readCaptureFile(path);
        writer.join();
        if (dataset) {
            EXPECT_EQ(f.recordCount(), 30000);
            EXPECT_TRUE(f.recordSet().exceeded);
        } else {
            EXPECT_EQ(f.format(), CaptureFile::Format::NotPelsid);
        }
    }
    std::remove(path.c_str());
}

TEST(StreamingRead, ReadOfASilentFifoEndsOnCancel) {
    const std::string path = tempPath("silent.fifo");
    std::remove(path.c_str());
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    std::atomic<bool> cancel = false;
    ReadOptions o;
    o.cancel = &cancel;
    std::thread stopper([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        cancel = true;
    });
    const CaptureFile f = readCaptureFile(path, o);  // nobody ever writes
    stopper.join();
    EXPECT_TRUE(f.cancelled());
    EXPECT_EQ(f.recordCount(), 0);
    std::remove(path.c_str());
}
