#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "store/DatasetScan.h"
#include "store/Messages.h"
#include "store/PacketBuffer.h"

using namespace pelsid;

namespace {
const std::string kMagic = "<PELSID>";
const std::string kDelim = "<PELSID[CR][LF]>";

std::vector<std::uint8_t> bytesOf(const std::string& s) {
    return {s.begin(), s.end()};
}

std::string dataset(const std::vector<std::string>& records) {
    std::string s = kMagic;
    for (const auto& r : records) s += r + kDelim;
    return s;
}

std::vector<std::string> recordTexts(const std::string& file, const RecordSet& set) {
    std::vector<std::string> out;
    for (const auto& r : set.records) out.push_back(file.substr(r.offset, r.length));
    return out;
}

RecordSet scan(const std::string& file) {
    const auto bytes = bytesOf(file);
    return scanDataset(bytes);
}
}  // namespace

TEST(DatasetScan, MagicMustBeExactAndComplete) {
    for (const std::string bad : {"", "<PELSID", "<pelsid>", "<PELSID]", "x<PELSID>"}) {
        const RecordSet set = scan(bad + kDelim);
        EXPECT_TRUE(set.records.empty()) << bad;
        ASSERT_EQ(set.problems.size(), 1u) << bad;
        EXPECT_EQ(set.problems[0].text, msg::kNotPelsidFile);
        EXPECT_EQ(set.problems[0].title, msg::kWarningTitle);
        EXPECT_EQ(set.problems[0].icon, Dialogs::Icon::Warning);
    }
}

TEST(DatasetScan, OnlyMagicStoresNothingAndSaysNothing) {
    const RecordSet set = scan(kMagic);
    EXPECT_TRUE(set.records.empty());
    EXPECT_TRUE(set.problems.empty());
}

TEST(DatasetScan, RecordsOfOneAndSixtyBytes) {
    const std::string file = dataset({"A", std::string(60, 'b')});
    const RecordSet set = scan(file);
    ASSERT_EQ(set.records.size(), 2u);
    EXPECT_EQ(set.records[0].offset, 8u);
    EXPECT_EQ(set.records[0].length, 1u);
    EXPECT_EQ(set.records[1].length, 60u);
    EXPECT_EQ(set.records[1].fileEnd, file.size());  // the second delimiter's '>' ends the file
    EXPECT_TRUE(set.problems.empty());
}

TEST(DatasetScan, BytesAfterTheLastDelimiterAreDropped) {
    const std::string file = dataset({"one", "two"}) + "three without end";
    EXPECT_EQ(recordTexts(file, scan(file)), (std::vector<std::string>{"one", "two"}));
    EXPECT_TRUE(scan(kMagic + "no delimiter at all").records.empty());
}

TEST(DatasetScan, DelimiterInsideDataSplitsThePacket) {
    const std::string file = kMagic + "head" + kDelim + "tail" + kDelim;
    EXPECT_EQ(recordTexts(file, scan(file)), (std::vector<std::string>{"head", "tail"}));
}

TEST(DatasetScan, GreaterThanAndPartialDelimitersAreData) {
    const std::string data = "a>b<PELSID[CR]>c<PELSID[CR][LF]x>";
    const std::string file = dataset({data});
    EXPECT_EQ(recordTexts(file, scan(file)), (std::vector<std::string>{data}));
}

TEST(DatasetScan, DelimiterWithNoPacketByteBeginsTheNextRecord) {
    // Right after the magic, and right after a record: neither delimiter ends a record.
    std::string file = kMagic + kDelim + "x" + kDelim;
    EXPECT_EQ(recordTexts(file, scan(file)), (std::vector<std::string>{kDelim + "x"}));
    file = dataset({"p"}) + kDelim + kDelim;
    EXPECT_EQ(recordTexts(file, scan(file)), (std::vector<std::string>{"p", kDelim}));
}

TEST(DatasetScan, OnlyDelimitersMakeRecordsOfDelimiterText) {
    std::string file = kMagic;
    for (int i = 0; i < 5; ++i) file += kDelim;
    // Pairs: each unrecognised delimiter is the packet ended by the next one.
    EXPECT_EQ(recordTexts(file, scan(file)), (std::vector<std::string>{kDelim, kDelim}));
}

TEST(DatasetScan, ThirtyThousandRecordsFitAndOneMoreIsRefusedOnce) {
    std::vector<std::string> records(30000, "pkt");
    RecordSet set = scan(dataset(records));
    EXPECT_EQ(set.records.size(), 30000u);
    EXPECT_TRUE(set.problems.empty());
    EXPECT_FALSE(set.exceeded);

    records.push_back("extra");
    records.push_back("more");
    set = scan(dataset(records));
    EXPECT_EQ(set.records.size(), 30000u);
    EXPECT_TRUE(set.exceeded);
    ASSERT_EQ(set.problems.size(), 1u);
    EXPECT_EQ(set.problems[0].text,
              "Packets in file exceeded buffer.  Only the first 30000 packets will be used.");
    EXPECT_EQ(set.problems[0].icon, Dialogs::Icon::None);
}

TEST(DatasetScan, LongRecordsAreCutToASlotAndCountedInOneWarning) {
    const std::string file = dataset(
        {std::string(100000, 'z'), "short", std::string(1602, 'y'), std::string(1601, 'w')});
    const RecordSet set = scan(file);
    ASSERT_EQ(set.records.size(), 4u);
    EXPECT_EQ(set.records[0].length, std::uint32_t(PacketBuffer::kSlotBytes));
    EXPECT_EQ(file.substr(set.records[1].offset, set.records[1].length), "short");
    EXPECT_EQ(set.records[2].length, 1601u);
    EXPECT_EQ(set.records[3].length, 1601u);
    EXPECT_EQ(set.cutCount, 2);
    ASSERT_EQ(set.problems.size(), 1u);
    EXPECT_NE(set.problems[0].text.find("2 packets"), std::string::npos);
    EXPECT_NE(set.problems[0].text.find("1601"), std::string::npos);
}
