#pragma once
// Running other programs from a test: the built pelsid, or tcpdump to read
// back what pelsid wrote.
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>

namespace pelsid::test {

struct CommandOutcome {
    int status = -1;  // the exit status; -1 when it did not exit normally
    std::string out;  // what it wrote to standard output
};

/// Runs `command` in a shell and waits for it.
inline CommandOutcome runCommand(const std::string& command) {
    CommandOutcome r;
    std::FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return r;
    char buf[4096];
    while (std::fgets(buf, sizeof buf, pipe)) r.out += buf;
    const int w = pclose(pipe);
    r.status = WIFEXITED(w) ? WEXITSTATUS(w) : -1;
    return r;
}

/// True when tcpdump is installed; tests that compare with it skip that part otherwise.
inline bool haveTcpdump() {
    return access("/usr/bin/tcpdump", X_OK) == 0 || access("/usr/sbin/tcpdump", X_OK) == 0;
}

}  // namespace pelsid::test
