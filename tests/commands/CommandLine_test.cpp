#include <gtest/gtest.h>

#include <sstream>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>

#include "support/CommandOutput.h"
#include "support/PcapBytes.h"

namespace {

using Outcome = pelsid::test::CommandOutcome;

// Runs the program with no display at all, so nothing here may need one.
Outcome run(const std::string& args) {
    return pelsid::test::runCommand("env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM= " +
                                    std::string(PELSID_EXECUTABLE) + " " + args + " 2>&1");
}

}  // namespace

TEST(CommandLine, HelpListsEveryOptionOnALineOfItsOwn) {
    const Outcome r = run("--help");
    EXPECT_EQ(r.status, 0);
    for (const char* option :
         {"--fields", "--export", "--overview", "--interval", "--render", "--set", "--capture",
          "--from", "--filter", "--count", "--write", "--pick", "--help", "--version"})
        EXPECT_NE(r.out.find(std::string("\n  ") + option + " "), std::string::npos) << option;
}

TEST(CommandLine, VersionAndMistakes) {
    const Outcome version = run("--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "pelsid " PELSID_VERSION "\n");
    // Mistakes get the short usage and status 2, before any display is needed.
    // A word that is not understood is named first.
    const std::pair<const char*, const char*> mistakes[] = {
        {"--bogus", "pelsid: unknown option: --bogus\n"},
        {"-x", "pelsid: unknown option: -x\n"},
        {"one two", "pelsid: unexpected argument: two\n"},
        {"--fields", ""},
        {"--capture", ""},
        {"--capture lo --count 1", ""},
        {"--capture lo --count 1 --fields --write x.pcap", ""},
        {"--capture lo --count 1 --write", ""}};
    for (const auto& [args, named] : mistakes) {
        const Outcome r = run(args);
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_NE(r.out.find("usage: pelsid"), std::string::npos) << args;
        EXPECT_TRUE(r.out.starts_with(named)) << args << ": " << r.out;
    }
}

namespace {
// A dataset of `count` 60-byte records; byte 23 (the IP protocol) is TCP for
// every third record, UDP otherwise, and byte 19 holds the record's number.
std::string writeDataset(const std::string& path, int count) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << "<PELSID>";
    for (int i = 1; i <= count; ++i) {
        std::string rec(60, '\0');
        rec[12] = 0x08;
        rec[14] = 0x45;
        rec[19] = char(i);
        rec[22] = 64;
        rec[23] = i % 3 == 1 ? 6 : 17;
        out << rec << "<PELSID[CR][LF]>";
    }
    return path;
}

// The number column of a --fields report: packet numbers 1.. and IP ids.
int lines(const std::string& out) {
    int n = 0;
    for (char c : out) n += c == '\n';
    return n;
}
}  // namespace

TEST(CommandLine, FromAndFilterChooseTheFramesLoadedAnywhereBeforeTheFile) {
    const std::string file = writeDataset(pelsid::test::tempPath("choose.pelsid"), 30);
    // 30 records, 10 of them TCP; from the 5th on 8 are TCP.
    for (const std::string& args :
         {"--fields --from 5 --filter tcp " + file, "--from 5 --fields --filter tcp " + file,
          "--filter tcp --from 5 --fields " + file}) {
        const Outcome r = run(args);
        EXPECT_EQ(r.status, 0) << args;
        EXPECT_EQ(lines(r.out), 1 + 8) << args << r.out;
        // Each packet keeps its number in the file: TCP is every third from the first.
        EXPECT_TRUE(r.out.ends_with("\t28\n")) << r.out;
        EXPECT_NE(r.out.find("\t7\n"), std::string::npos) << r.out;
    }
    EXPECT_EQ(lines(run("--fields --from 30 " + file).out), 2);
    EXPECT_EQ(lines(run("--fields --from 31 " + file).out), 1);  // nothing left: no packets
}

// The overview's table: every interval, empty ones too, with the frames of a
// chosen part of the file counted as --from counts them.
TEST(CommandLine, OverviewPrintsEveryIntervalOfTheFramesChosen) {
    const std::string file = std::string(PELSID_TEST_DATA) + "/veth_mixed.pcap";
    const Outcome all = run("--overview " + file + " --interval 0.25");
    EXPECT_EQ(all.status, 0);
    EXPECT_TRUE(
        all.out.starts_with("start\tfirst\tframes\tbytes\ttcp\tudp\ticmp\tigmp\t"
                            "other_legal\tunassigned\tnon_ip\n"));
    EXPECT_EQ(lines(all.out), 1 + 11);  // as many intervals as tshark counts
    const Outcome part = run("--overview " + file + " --from 5 --filter tcp");
    EXPECT_EQ(part.status, 0);
    // The same frames a load of that choice holds, the first numbered in the file.
    const Outcome fields = run("--fields --from 5 --filter tcp " + file);
    std::istringstream rows(part.out);
    std::string row;
    std::getline(rows, row);
    std::uint64_t frames = 0, first = 0;
    while (std::getline(rows, row)) {
        std::istringstream cols(row);
        std::string start, firstText, count;
        std::getline(cols, start, '\t');
        std::getline(cols, firstText, '\t');
        std::getline(cols, count, '\t');
        if (first == 0 && !firstText.empty()) first = std::stoull(firstText);
        frames += std::stoull(count);
    }
    EXPECT_EQ(frames, std::uint64_t(lines(fields.out) - 1));
    std::string firstFrame(1, '\t');
    firstFrame.append(std::to_string(first)).push_back('\n');
    EXPECT_NE(fields.out.find(firstFrame), std::string::npos);
    EXPECT_GE(first, 5u);
    EXPECT_EQ(run("--overview " + file + " --interval 0").status, 2);
    EXPECT_EQ(run("--overview " + file + " extra").status, 2);
    EXPECT_EQ(run("--overview /no/such/file").status, 1);
}

TEST(CommandLine, BadFromOrFilterIsRefusedBeforeReading) {
    const std::string file = writeDataset(pelsid::test::tempPath("bad.pelsid"), 3);
    const Outcome filter = run("--fields --filter 'tcp port' " + file);
    EXPECT_EQ(filter.status, 1);
    EXPECT_NE(filter.out.find("syntax error"), std::string::npos) << filter.out;
    for (const char* from : {"0", "-3", "x", "1x", "99999999999999999999999"}) {
        const Outcome r = run(std::string("--fields --from ") + from + " " + file);
        EXPECT_EQ(r.status, 2) << from;
    }
    EXPECT_EQ(run("--fields " + file + " --from 2").status, 2);  // only before FILE
    EXPECT_EQ(run("--fields --from").status, 2);
}

TEST(CommandLine, RenderChecksItsFolderBeforeReadingTheFile) {
    // A FIFO nobody writes to would hold up a read for ever.
    const std::string fifo = testing::TempDir() + "/render.fifo";
    std::remove(fifo.c_str());
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const auto start = std::chrono::steady_clock::now();
    const Outcome r = run("--render /nonexistent/folder " + fifo);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("no such folder"), std::string::npos) << r.out;
    std::remove(fifo.c_str());
}
