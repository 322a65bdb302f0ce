#include <gtest/gtest.h>
#include <zstd.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "store/CaptureFile.h"
#include "support/Compress.h"
#include "support/PcapBytes.h"

using namespace pelsid;
using pelsid::test::Codec;
using pelsid::test::compressed;

namespace {

std::vector<std::uint8_t> fixtureBytes(const char* name) {
    std::ifstream in(std::string(PELSID_TEST_DATA) + "/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

ReadOptions pieces(std::size_t size) {
    ReadOptions o;
    o.pieceSize = size;
    return o;
}

std::vector<std::vector<std::uint8_t>> recordsOf(const CaptureFile& f) {
    std::vector<std::vector<std::uint8_t>> r;
    for (int i = 0; i < f.recordCount(); ++i)
        r.emplace_back(f.record(i).begin(), f.record(i).end());
    return r;
}

std::string problemsOf(const CaptureFile& f) {
    std::string text;
    for (const LoadProblem& p : f.problems()) text += p.text + "\n";
    return text;
}

class CompressedRead : public ::testing::TestWithParam<Codec> {};

// Every format, read through each compression and piece size, gives the
// records of the plain file; concatenated streams are read one after another.
TEST_P(CompressedRead, GivesThePlainFilesRecordsForEveryPieceSize) {
    for (const char* name : {"lo_ethernet.pcap", "lo_and_any.pcapng", "veth_vlan.pcap"}) {
        SCOPED_TRACE(name);
        const auto plain = fixtureBytes(name);
        const CaptureFile expected = readCaptureBytes(plain, name);
        ASSERT_GT(expected.recordCount(), 10);
        for (std::size_t piece : {1, 3, 4096, 1 << 20}) {
            const CaptureFile f =
                readCaptureBytes(compressed(GetParam(), plain), name, pieces(piece));
            EXPECT_EQ(f.format(), expected.format()) << piece;
            EXPECT_EQ(recordsOf(f), recordsOf(expected)) << piece;
            EXPECT_EQ(problemsOf(f), problemsOf(expected)) << piece;
        }
        // From a file, whose long stretches are not passed over by seeking.
        const std::string path = pelsid::test::tempPath("compressed-capture");
        pelsid::test::writeFile(path, compressed(GetParam(), plain));
        EXPECT_EQ(recordsOf(readCaptureFile(path, pieces(100))), recordsOf(expected));
        // Two streams back to back: the second half of the file in the second.
        const std::size_t half = plain.size() / 2;
        auto both = compressed(GetParam(), {plain.begin(), plain.begin() + std::ptrdiff_t(half)});
        const auto second =
            compressed(GetParam(), {plain.begin() + std::ptrdiff_t(half), plain.end()});
        both.insert(both.end(), second.begin(), second.end());
        EXPECT_EQ(recordsOf(readCaptureBytes(both, name, pieces(777))), recordsOf(expected));
    }
    // Frames far longer than a piece, of bytes that do not compress: what a
    // read passes over is passed over in the decompressed stream, never by
    // seeking in the compressed file.
    pelsid::test::Bytes big = pelsid::test::pcapHeader(1);
    std::mt19937 rng(7);
    for (std::size_t length : {60, 200000, 60, 150001, 61}) {
        pelsid::test::Bytes frame = pelsid::test::ethernetFrame(length);
        for (std::size_t i = 14; i < length; ++i) frame[i] = std::uint8_t(rng());
        pelsid::test::pcapFrame(big, frame);
    }
    const std::string path = pelsid::test::tempPath("compressed-big-frames");
    pelsid::test::writeFile(path, compressed(GetParam(), big));
    const auto expected = recordsOf(readCaptureBytes(big, "big.pcap"));
    ASSERT_EQ(expected.size(), 5u);
    for (std::size_t piece : {100, 4096, 1 << 16})
        EXPECT_EQ(recordsOf(readCaptureFile(path, pieces(piece))), expected) << piece;
}

// A cut stream keeps the frames decoded before the cut and says so; a corrupt one
// gives a message, never a crash; compressed text is not a capture.
TEST_P(CompressedRead, HostileStreamsGetTheUsualMessages) {
    const auto plain = fixtureBytes("lo_ethernet.pcap");
    const auto packed = compressed(GetParam(), plain);
    const std::string name = pelsid::test::codecName(GetParam());

    const std::vector<std::uint8_t> cut(packed.begin(),
                                        packed.begin() + std::ptrdiff_t(packed.size() * 3 / 4));
    const CaptureFile c = readCaptureBytes(cut, "cut");
    EXPECT_NE(problemsOf(c).find("the " + name + " data is cut short"), std::string::npos)
        << problemsOf(c);
    // gzip gives up what it decoded so far; zstd and lz4 a whole block or nothing.
    if (GetParam() == Codec::Gzip) {
        EXPECT_GT(c.recordCount(), 0);
        EXPECT_NE(problemsOf(c).find("damaged"), std::string::npos) << problemsOf(c);
    }

    for (std::size_t at : {std::size_t(0), std::size_t(4), packed.size() / 2, packed.size() - 3}) {
        auto bad = packed;
        for (std::size_t k = at; k < std::min(at + 16, bad.size()); ++k) bad[k] ^= 0x5A;
        const CaptureFile f = readCaptureBytes(bad, "bad");
        EXPECT_FALSE(f.problems().empty()) << at;  // whatever the damage, it is told
    }

    // A dataset cut inside its stream: the damage is named at the record after
    // the last one read.
    std::string dataset = "<PELSID>";
    std::mt19937 rng(11);  // enough that whole blocks decode before the cut
    for (int i = 0; i < 20000; ++i)
        dataset.append(std::to_string(rng())).append("<PELSID[CR][LF]>");
    const auto set = compressed(GetParam(), {dataset.begin(), dataset.end()});
    const CaptureFile d =
        readCaptureBytes({set.begin(), set.begin() + std::ptrdiff_t(set.size() / 2)}, "cut.pelsid");
    EXPECT_NE(problemsOf(d).find("frame " + std::to_string(d.recordCount() + 1) + " ("),
              std::string::npos)
        << problemsOf(d);

    const std::string text(5000, 'x');
    const CaptureFile t = readCaptureBytes(compressed(GetParam(), {text.begin(), text.end()}), "t");
    EXPECT_EQ(t.format(), CaptureFile::Format::NotPelsid);
}

INSTANTIATE_TEST_SUITE_P(Codecs, CompressedRead,
                         ::testing::Values(Codec::Gzip, Codec::Zstd, Codec::Lz4),
                         [](const auto& info) { return pelsid::test::codecName(info.param); });

// A gigabyte of zeros behind a pcap header, compressed to a few tens of
// kilobytes: the read stops at the first record, which has no length, and
// never decompresses the rest.
TEST(CompressedRead, ABombStopsAtItsFirstEmptyRecord) {
    const pelsid::test::Bytes header = pelsid::test::pcapHeader(1);
    ZSTD_CCtx* z = ZSTD_createCCtx();
    std::vector<std::uint8_t> bomb(ZSTD_CStreamOutSize());
    std::vector<std::uint8_t> file;
    const std::vector<std::uint8_t> zeros(1 << 20, 0);
    for (int k = 0; k <= 1024; ++k) {
        const bool first = k == 0, last = k == 1024;
        ZSTD_inBuffer in{first ? header.data() : zeros.data(), first ? header.size() : zeros.size(),
                         0};
        ZSTD_EndDirective mode = last ? ZSTD_e_end : ZSTD_e_continue;
        if (last) in.size = 0;
        std::size_t left;
        do {
            ZSTD_outBuffer out{bomb.data(), bomb.size(), 0};
            left = ZSTD_compressStream2(z, &out, &in, mode);
            file.insert(file.end(), bomb.data(), bomb.data() + out.pos);
        } while (in.pos < in.size || (last && left != 0));
    }
    ZSTD_freeCCtx(z);
    ASSERT_LT(file.size(), 1u << 20);
    const CaptureFile f = readCaptureBytes(file, "bomb.pcap.zst");
    EXPECT_EQ(f.recordCount(), 0);
    EXPECT_NE(problemsOf(f).find("frame 1 (byte offset 24)"), std::string::npos) << problemsOf(f);
}

}  // namespace
