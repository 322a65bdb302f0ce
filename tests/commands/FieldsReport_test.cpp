#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "commands/FieldsReport.h"

using namespace pelsid;

namespace {
const char* kHeader =
    "number\tlength\tethertype\tipversion\tihl\ttos\ttotallength\tid\tflags\tfragoffset\tttl\t"
    "protocol\tprotocolname\tchecksum\tsrc\tdst\ttcpsport\ttcpdport\tudpsport\tudpdport\ttime\tvla"
    "n\tframe";

std::string writeDataset(const std::string& name, const std::vector<std::string>& records) {
    const std::string path = testing::TempDir() + "/" + name;
    std::ofstream out(path, std::ios::binary);
    out << "<PELSID>";
    for (const auto& r : records) out << r << "<PELSID[CR][LF]>";
    return path;
}

// Ethernet + IPv4 (one option word) + TCP ports 8080 -> 443, reserved, DF and MF set,
// fragment offset 5: a later fragment, whose payload holds no ports.
std::string tcpWithOptions() {
    std::string f(12, '\x11');
    f += std::string("\x08\x00", 2);
    f += std::string("\x46\x10\x00\x30\xAB\xCD\xE0\x05\x80\x06\x12\x34", 12);
    f += std::string("\xC0\xA8\x00\x01\x0A\x00\x00\xFE", 8);
    f += std::string("\x01\x01\x01\x01", 4);  // the option word
    f += std::string("\x1F\x90\x01\xBB", 4);
    f.resize(64, '\0');
    return f;
}

std::string arp() {
    std::string f(12, '\xFF');
    f += std::string("\x08\x06", 2);
    f.resize(60, '\0');
    return f;
}
}  // namespace

TEST(FieldsReport, PrintsHeaderAndOneLinePerPacket) {
    const std::string path = writeDataset("fields.pelsid", {tcpWithOptions(), arp()});
    std::ostringstream out, err;
    EXPECT_EQ(runFieldsCommand(path, out, err), 0);
    std::remove(path.c_str());
    EXPECT_EQ(err.str(), "");
    std::istringstream lines(out.str());
    std::string header, first, second, extra;
    std::getline(lines, header);
    std::getline(lines, first);
    std::getline(lines, second);
    EXPECT_FALSE(std::getline(lines, extra));
    EXPECT_EQ(header, kHeader);
    EXPECT_EQ(first,
              "1\t64\t0x800\t4\t6\t16\t48\t43981\treservedDFMF\t5\t128\t6\tTCP\t4660\t"
              "192.168.0.1\t10.0.0.254\t0\t0\t0\t0\t\t\t1");
    EXPECT_EQ(
        second,
        "2\t60\t0x806\t0\t0\t0\t0\t0\t\t0\t0\t0\tHOPOPT\t0\t0.0.0.0\t0.0.0.0\t0\t0\t0\t0\t\t\t2");
}

TEST(FieldsReport, TheTimeColumnIsTheCaptureTimeInTheFilesResolution) {
    std::ostringstream out, err;
    EXPECT_EQ(runFieldsCommand(std::string(PELSID_TEST_DATA) + "/lo_ethernet.pcapng", out, err), 0);
    std::istringstream lines(out.str());
    std::string header, first;
    std::getline(lines, header);
    std::getline(lines, first);
    EXPECT_EQ(header, kHeader);
    EXPECT_TRUE(first.starts_with("1\t")) << first;
    EXPECT_TRUE(first.ends_with("\t1796695860.115523999\t\t1")) << first;
    std::ostringstream out2;
    EXPECT_EQ(runFieldsCommand(std::string(PELSID_TEST_DATA) + "/lo_ethernet.pcap", out2, err), 0);
    EXPECT_NE(out2.str().find("\t1796695852.181476\t\t1\n"), std::string::npos);
}

TEST(FieldsReport, BadFilesExitWithStatusOneAndSayWhy) {
    std::ostringstream out, err;
    EXPECT_EQ(runFieldsCommand("/nonexistent.pelsid", out, err), 1);
    EXPECT_NE(err.str().find("error: Cannot read \"/nonexistent.pelsid\""), std::string::npos);
    EXPECT_EQ(out.str(), "");

    const std::string path = testing::TempDir() + "/lower.pelsid";
    std::ofstream(path) << "<pelsid>abc<PELSID[CR][LF]>";
    std::ostringstream out2, err2;
    EXPECT_EQ(runFieldsCommand(path, out2, err2), 1);
    std::remove(path.c_str());
    EXPECT_EQ(err2.str(), "warning: This is not a pelsid format file\n");
}

TEST(FieldsReport, WarningsGoToStderrAndThePacketsStillPrint) {
    const std::string path = writeDataset("long.pelsid", {std::string(2000, 'x')});
    std::ostringstream out, err;
    EXPECT_EQ(runFieldsCommand(path, out, err), 0);
    std::remove(path.c_str());
    EXPECT_NE(err.str().find("warning: 1 packet was longer than 1601 bytes"), std::string::npos);
    EXPECT_NE(out.str().find("\n1\t1601\t0x7878\t"), std::string::npos);
}

TEST(FieldsReport, ExecutableRunsWithoutADisplay) {
    const std::string command = std::string("env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM= ") +
                                PELSID_EXECUTABLE + " --fields " + PELSID_SOURCE_DIR +
                                "/data/sample.pelsid";
    std::FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    int lines = 0;
    char buf[4096];
    while (std::fgets(buf, sizeof buf, pipe))
        if (std::strchr(buf, '\n')) ++lines;
    EXPECT_EQ(pclose(pipe), 0);
    EXPECT_EQ(lines, 3001);
}
