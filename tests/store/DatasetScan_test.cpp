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

// How delimiters cut a file into records: the texts of the records found.
struct Cut {
    const char* name;
    std::string file;
    std::vector<std::string> records;
};

class DatasetCuts : public ::testing::TestWithParam<Cut> {};

TEST_P(DatasetCuts, RecordsAreWhatTheDelimitersEnd) {
    EXPECT_EQ(recordTexts(GetParam().file, scan(GetParam().file)), GetParam().records);
}

INSTANTIATE_TEST_SUITE_P(
    Files, DatasetCuts,
    ::testing::Values(
        Cut{"BytesAfterTheLastDelimiterAreDropped",
            dataset({"one", "two"}) + "three without end",
            {"one", "two"}},
        Cut{"NoDelimiterAtAll", kMagic + "no delimiter at all", {}},
        Cut{"DelimiterInsideDataSplitsThePacket",
            kMagic + "head" + kDelim + "tail" + kDelim,
            {"head", "tail"}},
        Cut{"GreaterThanAndPartialDelimitersAreData",
            dataset({"a>b<PELSID[CR]>c<PELSID[CR][LF]x>"}),
            {"a>b<PELSID[CR]>c<PELSID[CR][LF]x>"}},
        // Right after the magic, and right after a record, a delimiter ends no record.
        Cut{"DelimiterRightAfterTheMagic", kMagic + kDelim + "x" + kDelim, {kDelim + "x"}},
        Cut{"DelimiterRightAfterARecord", dataset({"p"}) + kDelim + kDelim, {"p", kDelim}},
        // Pairs: each unrecognised delimiter is the packet ended by the next one.
        Cut{"OnlyDelimitersMakeRecordsOfDelimiterText",
            kMagic + kDelim + kDelim + kDelim + kDelim + kDelim,
            {kDelim, kDelim}}),
    [](const auto& info) { return std::string(info.param.name); });

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
    EXPECT_EQ(set.problems[0].text,
              "2 packets were longer than 1601 bytes and were stored cut to the first 1601 bytes.");
    const RecordSet one = scan(dataset({std::string(1602, 'y')}));
    ASSERT_EQ(one.problems.size(), 1u);
    EXPECT_EQ(one.problems[0].text,
              "1 packet was longer than 1601 bytes and was stored cut to the first 1601 bytes.");
}
