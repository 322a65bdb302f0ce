#include <gtest/gtest.h>

#include <sys/wait.h>
#include <cstdio>
#include <string>

namespace {

struct Outcome {
    int status = -1;
    std::string out;
};

// Runs the program with no display at all, so nothing here may need one.
Outcome run(const std::string& args) {
    const std::string command = std::string("env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM= ") +
                                PELSID_EXECUTABLE + " " + args + " 2>&1";
    Outcome r;
    std::FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return r;
    char buf[4096];
    while (std::fgets(buf, sizeof buf, pipe)) r.out += buf;
    const int w = pclose(pipe);
    r.status = WIFEXITED(w) ? WEXITSTATUS(w) : -1;
    return r;
}

}  // namespace

TEST(CommandLine, HelpListsEveryOptionOnALineOfItsOwn) {
    const Outcome r = run("--help");
    EXPECT_EQ(r.status, 0);
    for (const char* option : {"--fields", "--render", "--set", "--capture", "--filter", "--count",
                               "--help", "--version"})
        EXPECT_NE(r.out.find(std::string("\n  ") + option + " "), std::string::npos) << option;
}

TEST(CommandLine, VersionAndMistakes) {
    const Outcome version = run("--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "pelsid " PELSID_VERSION "\n");
    // Mistakes get the short usage and status 2, before any display is needed.
    for (const char* args : {"--bogus", "-x", "one two", "--fields", "--capture"}) {
        const Outcome r = run(args);
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_NE(r.out.find("usage: pelsid"), std::string::npos) << args;
    }
}
