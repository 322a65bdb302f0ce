// Files the readers must refuse or cut with a clear message, never a crash.
#include <fcntl.h>
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
#include "store/Messages.h"
#include "store/PacketBuffer.h"
#include "support/PcapBytes.h"

using namespace pelsid;
using namespace pelsid::test;

namespace {
Bytes pcapWithSnaplen(std::uint32_t snaplen, const Bytes& frame) {
    Bytes b = pcapHeader(1, snaplen);
    pcapFrame(b, frame);
    return b;
}

// A pcapng block whose length fields claim `length`, whatever its body.
void blockClaiming(Bytes& b, std::uint32_t type, const Bytes& body, std::uint32_t length) {
    put32(b, type);
    put32(b, length);
    b.insert(b.end(), body.begin(), body.end());
    put32(b, length);
}
Bytes pcapng(int frames) {
    Bytes b;
    sectionHeader(b);
    interfaceBlock(b, 1);
    for (int i = 0; i < frames; ++i) packetBlock(b, 0, ethernetFrame(60 + std::size_t(i)));
    return b;
}

void expectRefused(const CaptureFile& f, const std::string& name) {
    EXPECT_EQ(f.format(), CaptureFile::Format::Unreadable) << name;
    EXPECT_EQ(f.recordCount(), 0) << name;
    ASSERT_EQ(f.problems().size(), 1u) << name;
    EXPECT_EQ(f.problems()[0].severity, LoadProblem::Severity::Error) << name;
    EXPECT_NE(f.problems()[0].text.find(name), std::string::npos) << f.problems()[0].text;
}
}  // namespace

TEST(BadInput, EmptyFileAndZerosAreNotPelsidFiles) {
    const std::string empty = tempPath("empty.pelsid");
    writeFile(empty, {});
    const std::string zeros = tempPath("zeros.pelsid");
    {
        // 100 MB of zeros, written in pieces so the test holds one copy only.
        std::ofstream out(zeros, std::ios::binary | std::ios::trunc);
        const std::vector<char> chunk(1 << 20, 0);
        for (int i = 0; i < 100; ++i) out.write(chunk.data(), std::streamsize(chunk.size()));
    }
    for (const std::string& path : {empty, zeros}) {
        const CaptureFile f = readCaptureFile(path);
        EXPECT_EQ(f.format(), CaptureFile::Format::NotPelsid) << path;
        ASSERT_EQ(f.problems().size(), 1u);
        EXPECT_EQ(f.problems()[0].text, msg::kNotPelsidFile);
    }
    std::remove(zeros.c_str());
}

TEST(BadInput, OnlyACaptureMagicIsRefusedWithLibpcapsReason) {
    const Bytes pcapMagic{0xD4, 0xC3, 0xB2, 0xA1};
    const Bytes pcapngMagic{0x0A, 0x0D, 0x0D, 0x0A};
    for (const Bytes& magic : {pcapMagic, pcapngMagic})
        expectRefused(readCaptureBytes(magic, "magic.pcap"), "magic.pcap");
}

TEST(BadInput, SnaplenOfZeroOrTwoToThe31StillReadsTheFrames) {
    for (std::uint32_t snaplen : {0u, 0x80000000u}) {
        const CaptureFile f = readCaptureBytes(pcapWithSnaplen(snaplen, ethernetFrame(60)), "s");
        ASSERT_TRUE(f.isLoadable()) << snaplen;
        EXPECT_EQ(f.recordCount(), 1);
        EXPECT_EQ(f.records()[0].length, 60u);
    }
}

TEST(BadInput, FrameLongerThanLibpcapAcceptsIsDamageNamedByFrame) {
    // caplen far beyond any snaplen: libpcap refuses the frame, the ones before stay.
    Bytes b = pcapWithSnaplen(65535, ethernetFrame(60));
    put32(b, 1700000000);
    put32(b, 0);
    put32(b, 0x7FFFFFFF);
    put32(b, 0x7FFFFFFF);
    b.resize(b.size() + 100, 0);
    const CaptureFile f = readCaptureBytes(b, "huge.pcap");
    ASSERT_TRUE(f.isLoadable());
    EXPECT_EQ(f.recordCount(), 1);
    ASSERT_EQ(f.problems().size(), 1u);
    EXPECT_NE(f.problems()[0].text.find("frame 2"), std::string::npos) << f.problems()[0].text;
}

TEST(BadInput, PcapngBlockShorterThanItsMinimum) {
    // A section header block of 12 bytes (its minimum is 28) cannot be opened.
    Bytes shb;
    blockClaiming(shb, 0x0A0D0D0A, {0x4D, 0x3C, 0x2B, 0x1A}, 12);
    expectRefused(readCaptureBytes(shb, "short.pcapng"), "short.pcapng");

    // After two good ones, a packet block of 12 bytes, or of 34 (long enough,
    // but not a multiple of 4): the two are kept.
    for (std::uint32_t length : {12u, 34u}) {
        Bytes b = pcapng(2);
        blockClaiming(b, 6, Bytes(length - 12, 0x55), length);
        const CaptureFile f = readCaptureBytes(b, "block.pcapng");
        ASSERT_TRUE(f.isLoadable());
        EXPECT_EQ(f.recordCount(), 2);
        ASSERT_EQ(f.problems().size(), 1u);
        EXPECT_EQ(f.problems()[0].severity, LoadProblem::Severity::Warning);
        EXPECT_NE(f.problems()[0].text.find("frame 3"), std::string::npos) << f.problems()[0].text;
        EXPECT_NE(f.problems()[0].text.find(std::to_string(length) + " bytes"), std::string::npos)
            << f.problems()[0].text;
    }
}

TEST(BadInput, TruncatedFinalPcapngRecordKeepsTheOthers) {
    Bytes b = pcapng(3);
    b.resize(b.size() - 10);
    const CaptureFile f = readCaptureBytes(b, "cut.pcapng");
    ASSERT_TRUE(f.isLoadable());
    EXPECT_EQ(f.recordCount(), 2);
    ASSERT_EQ(f.problems().size(), 1u);
    EXPECT_NE(f.problems()[0].text.find("The 2 packets before it were kept"), std::string::npos)
        << f.problems()[0].text;
}

TEST(BadInput, FileWithoutReadPermission) {
    if (::geteuid() == 0) GTEST_SKIP() << "root reads files whatever their permission bits";
    const std::string path = tempPath("locked.pelsid");
    writeFile(path, {'<', 'P', 'E', 'L', 'S', 'I', 'D', '>'});
    ASSERT_EQ(::chmod(path.c_str(), 0), 0);
    const CaptureFile f = readCaptureFile(path);
    expectRefused(f, path);
    EXPECT_NE(f.problems()[0].text.find("Permission denied"), std::string::npos);
    std::remove(path.c_str());
}

TEST(BadInput, FileThatOpensButCannotBeReadNamesTheReason) {
    // Reading this process's memory at offset 0 fails even for root.
    const CaptureFile f = readCaptureFile("/proc/self/mem");
    expectRefused(f, "/proc/self/mem");
    EXPECT_NE(f.problems()[0].text.find("Input/output error"), std::string::npos)
        << f.problems()[0].text;
}

TEST(BadInput, DatasetFedThroughAPipeReadsToItsEnd) {
    // A pipe has no size: the reader must not trust the size it is told.
    const std::string path = tempPath("dataset.fifo");
    std::remove(path.c_str());
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    const std::string record(60, 'x');
    std::thread writer([&] {
        std::ofstream out(path, std::ios::binary);
        out << "<PELSID>";
        for (int i = 0; i < 500; ++i) out << record << "<PELSID[CR][LF]>";
    });
    const CaptureFile f = readCaptureFile(path);
    writer.join();
    std::remove(path.c_str());
    EXPECT_EQ(f.format(), CaptureFile::Format::Dataset);
    EXPECT_EQ(f.recordCount(), 500);
}

TEST(BadInput, DatasetFileChangingSizeWhileItIsRead) {
    // Another program appends to and cuts the file while it is read: every
    // read gives whole records of what was there, never bytes from outside.
    const std::string path = tempPath("changing.pelsid");
    const std::string record = std::string(60, 'y') + "<PELSID[CR][LF]>";
    writeFile(path, {'<', 'P', 'E', 'L', 'S', 'I', 'D', '>'});
    std::atomic<bool> stop = false;
    std::thread writer([&] {
        const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND);
        for (int round = 0; !stop; ++round) {
            for (int i = 0; i < 200 && !stop; ++i)
                if (::write(fd, record.data(), record.size()) < 0) break;
            if (::ftruncate(fd, 8 + off_t(record.size()) * (round % 50)) != 0) break;
        }
        ::close(fd);
    });
    PacketBuffer buffer;
    for (int i = 0; i < 200; ++i) {
        const CaptureFile f = readCaptureFile(path);
        ASSERT_EQ(f.format(), CaptureFile::Format::Dataset);
        // Read in pieces, the file may be cut between two of them: a read
        // that meets a cut can see the cut page's zeros, and records then run
        // together. Never anything the file did not hold, never past a slot.
        static const std::string held("y\0<PELSID[CR][LF]>", 18);
        for (int k = 0; k < f.recordCount(); ++k) {
            const auto bytes = f.record(k);
            ASSERT_LE(bytes.size(), std::size_t(PacketBuffer::kSlotBytes));
            for (std::uint8_t b : bytes) ASSERT_NE(held.find(char(b)), std::string::npos) << int(b);
        }
        f.insertInto(buffer);
    }
    stop = true;
    writer.join();
    std::remove(path.c_str());
}
