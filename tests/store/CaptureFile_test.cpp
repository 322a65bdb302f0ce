#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <stdexcept>
#include <string>

#include "store/CaptureFile.h"
#include "store/Messages.h"
#include "store/PacketBuffer.h"
#include "support/PcapBytes.h"

using namespace pelsid;

namespace {
std::vector<std::uint8_t> bytesOf(const std::string& s) {
    return {s.begin(), s.end()};
}
}  // namespace

TEST(CaptureFile, MissingFileIsAnErrorNamingFileAndReason) {
    const CaptureFile f = readCaptureFile("/nonexistent/dir/capture.pelsid");
    EXPECT_EQ(f.format(), CaptureFile::Format::Unreadable);
    EXPECT_FALSE(f.isLoadable());
    EXPECT_EQ(f.recordCount(), 0);
    ASSERT_EQ(f.problems().size(), 1u);
    EXPECT_EQ(f.problems()[0].severity, LoadProblem::Severity::Error);
    EXPECT_NE(f.problems()[0].text.find("/nonexistent/dir/capture.pelsid"), std::string::npos);
    EXPECT_NE(f.problems()[0].text.find("No such file or directory"), std::string::npos);
}

TEST(CaptureFile, DirectoryIsUnreadable) {
    const CaptureFile f = readCaptureFile(PELSID_TEST_DATA);
    EXPECT_EQ(f.format(), CaptureFile::Format::Unreadable);
    ASSERT_EQ(f.problems().size(), 1u);
    EXPECT_NE(f.problems()[0].text.find("Is a directory"), std::string::npos);
}

TEST(CaptureFile, UnknownMagicIsNotAPelsidFile) {
    for (const std::string content : {"", "abc", "<PELSI", "GET / HTTP/1.1\r\n"}) {
        const CaptureFile f = readCaptureBytes(bytesOf(content), "x");
        EXPECT_EQ(f.format(), CaptureFile::Format::NotPelsid);
        ASSERT_EQ(f.problems().size(), 1u);
        EXPECT_EQ(f.problems()[0].text, msg::kNotPelsidFile);
        EXPECT_EQ(f.problems()[0].title, msg::kWarningTitle);
    }
}

TEST(CaptureFile, ReadsADatasetFromDiskAndStoresItsRecords) {
    const std::string path = test::tempPath("two.pelsid");
    {
        std::ofstream out(path, std::ios::binary);
        out << "<PELSID>" << std::string(60, 'a') << "<PELSID[CR][LF]>"
            << "b"
            << "<PELSID[CR][LF]>";
    }
    const CaptureFile f = readCaptureFile(path);
    std::remove(path.c_str());
    EXPECT_EQ(f.format(), CaptureFile::Format::Dataset);
    EXPECT_EQ(f.fileSize(), 8u + 60 + 16 + 1 + 16);
    EXPECT_EQ(f.record(1).size(), 1u);
    EXPECT_THROW(f.record(2), std::out_of_range);  // one past the last
    EXPECT_THROW(f.record(-1), std::out_of_range);
    PacketBuffer b;
    EXPECT_EQ(f.insertInto(b), 2);
    EXPECT_EQ(b.newestHeld(), 2);
    EXPECT_EQ(b.frameLength(1), 60);
    EXPECT_EQ(b.frameLength(2), 1);
    EXPECT_EQ(b.getPacketByte(2, 0), 'b');
    EXPECT_EQ(b.getPacketByte(2, 1), 0);  // nothing of the longer record before it shows
}

TEST(CaptureFile, BundledSampleLoadsCompletely) {
    const CaptureFile f = readCaptureFile(std::string(PELSID_SOURCE_DIR) + "/data/sample.pelsid");
    EXPECT_EQ(f.format(), CaptureFile::Format::Dataset);
    EXPECT_EQ(f.recordCount(), 3000);
    EXPECT_TRUE(f.problems().empty());
    for (const RecordRef& r : f.records()) {
        EXPECT_GE(r.length, 60u);
        EXPECT_LE(r.length, 1514u);
    }
}
