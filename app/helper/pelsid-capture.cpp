// pelsid-capture: the only pelsid program that may hold capture privileges.
// It opens one adapter, gives up every capability before it reads a frame and
// streams the frames as pcapng to its standard output; or it lists adapters.
// Errors go to standard error, one line each. No GUI toolkit, nothing taken
// from the environment.
#include <fcntl.h>
#include <signal.h>
#include <sys/capability.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>

#include "capture/CaptureAdapter.h"
#include "capture/LiveCapture.h"
#include "store/CaptureWriter.h"

namespace {

using pelsid::CaptureProblem;
using pelsid::LiveCapture;

constexpr const char* kUsage =
    "usage: pelsid-capture --list\n"
    "       pelsid-capture --adapter NAME [--filter EXPR] [--snaplen N] [--no-promisc]\n"
    "                      [--report-capabilities]\n";
constexpr int kUsageStatus = 2, kPermissionStatus = 3;
constexpr std::size_t kMaxAdapterName = 64, kMaxFilter = 4096;
constexpr int kMaxSnaplen = 262144;
// Statistics go out this often, also while no frame comes: they show the
// reader that the capture lives and let it flush its recording.
constexpr auto kStatisticsInterval = std::chrono::milliseconds(250);

std::atomic<bool> stopping{false};
LiveCapture* running = nullptr;

void stop(int) {
    stopping = true;
    if (running) running->breakLoop();
}

int usage(const std::string& reason) {
    std::cerr << "pelsid-capture: " << reason << '\n' << kUsage;
    return kUsageStatus;
}

// Names libpcap gives Linux adapters: letters, digits and . _ - : @.
bool validAdapter(std::string_view name) {
    if (name.empty() || name.size() > kMaxAdapterName || name[0] == '-' || name[0] == '.')
        return false;
    for (char c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)) && !std::strchr("._-:@", c)) return false;
    return true;
}

bool validFilter(std::string_view filter) {
    if (filter.size() > kMaxFilter) return false;
    for (char c : filter)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return false;
    return true;
}

bool parseSnaplen(std::string_view text, int& out) {
    if (text.empty() || text.size() > 6) return false;
    int n = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        n = n * 10 + (c - '0');
    }
    if (n < 1 || n > kMaxSnaplen) return false;
    out = n;
    return true;
}

// Every capability gone, from every set, for good.
bool dropCapabilities() {
    cap_t none = cap_init();
    if (!none) return false;
    const bool dropped = cap_set_proc(none) == 0;
    cap_free(none);
    prctl(PR_CAP_AMBIENT, PR_CAP_AMBIENT_CLEAR_ALL, 0, 0, 0);
    // Nothing this process runs may gain privileges again.
    prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0);
    return dropped;
}

// For tests: the capability sets as the kernel shows them, a line each.
void reportCapabilities() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("Cap", 0) == 0) std::cerr << "pelsid-capture: " << line << '\n';
    std::cerr.flush();
}

pelsid::CaptureTime now() {
    const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(
                        std::chrono::system_clock::now().time_since_epoch())
                        .count();
    return {ns / 1000000000, std::uint32_t(ns % 1000000000), 9, true};
}

struct Options {
    bool list = false;
    std::string adapter, filter;
    int snaplen = LiveCapture::kSlotBytes;
    bool promiscuous = true;
    bool reportCapabilities = false;
};

// -1 when the arguments are fine, else the exit status.
int parse(int argc, char** argv, Options& o) {
    bool adapterGiven = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view a = argv[i];
        const bool hasValue = i + 1 < argc;
        if (a == "--list") {
            o.list = true;
        } else if (a == "--adapter" && hasValue && !adapterGiven) {
            o.adapter = argv[++i];
            adapterGiven = true;
            if (!validAdapter(o.adapter))
                return usage("not an adapter name: \"" + o.adapter + "\"");
        } else if (a == "--filter" && hasValue) {
            o.filter = argv[++i];
            if (!validFilter(o.filter))
                return usage("the filter is longer than " + std::to_string(kMaxFilter) +
                             " characters or holds control characters");
        } else if (a == "--snaplen" && hasValue) {
            if (!parseSnaplen(argv[++i], o.snaplen))
                return usage("--snaplen needs a number from 1 to " + std::to_string(kMaxSnaplen));
        } else if (a == "--no-promisc") {
            o.promiscuous = false;
        } else if (a == "--report-capabilities") {
            o.reportCapabilities = true;
        } else {
            return usage("unexpected argument \"" + std::string(a) + "\"");
        }
    }
    if (o.list == adapterGiven) return usage("give either --list or --adapter");
    if (o.list && (!o.filter.empty() || o.snaplen != LiveCapture::kSlotBytes || !o.promiscuous))
        return usage("--list takes no capture options");
    return -1;
}

int list(const Options& o) {
    std::string error;
    const std::string text = pelsid::adapterListText(&error);
    if (!dropCapabilities()) {
        std::cerr << "pelsid-capture: cannot give up capabilities: " << std::strerror(errno)
                  << '\n';
        return 1;
    }
    if (o.reportCapabilities) reportCapabilities();
    if (!error.empty()) {
        std::cerr << "pelsid-capture: cannot list adapters: " << error << '\n';
        return 1;
    }
    std::cout << text;
    std::cout.flush();
    return std::cout ? 0 : 1;
}

int capture(const Options& o) {
    LiveCapture live;
    const CaptureProblem problem = live.open(o.adapter, o.filter, o.snaplen, o.promiscuous);
    if (!dropCapabilities()) {
        std::cerr << "pelsid-capture: cannot give up capabilities: " << std::strerror(errno)
                  << '\n';
        return 1;
    }
    if (o.reportCapabilities) reportCapabilities();
    if (!problem.ok()) {
        // One line; the status tells the reader to add how to get the right.
        if (problem.kind == CaptureProblem::Kind::Permission) {
            std::cerr << CaptureProblem{CaptureProblem::Kind::Open, problem.reason}.message(
                             o.adapter, o.filter)
                      << '\n';
            return kPermissionStatus;
        }
        std::cerr << problem.message(o.adapter, o.filter) << '\n';
        return 1;
    }
    pelsid::CaptureWriter out("standard output", pelsid::CaptureWriter::Format::Pcapng,
                              live.nanoseconds(), pelsid::CaptureWriter::Placement::InPlace);
    // The header tells the reader the capture has begun.
    if (!out.openDescriptor(STDOUT_FILENO) || !out.flush()) return 0;
    running = &live;
    auto write = [](void* writer, const std::uint8_t* data, int captured, int wire,
                    const pelsid::CaptureTime& time) {
        static_cast<pelsid::CaptureWriter*>(writer)->write({data, std::size_t(captured)},
                                                           std::uint32_t(wire), time);
    };
    using Clock = std::chrono::steady_clock;
    auto nextStatistics = Clock::now();
    CaptureProblem failure;
    int status = 0;
    while (!stopping) {
        live.waitForFrames(int(kStatisticsInterval.count()));
        if (live.dispatch(write, &out, 0, failure) < 0) {
            std::cerr << failure.message(o.adapter, o.filter) << '\n';
            status = 1;
            break;
        }
        if (Clock::now() >= nextStatistics || stopping) {
            const pelsid::CaptureCounts c = live.counts();
            out.writeStatistics(now(), c.received, c.interfaceDropped, c.systemDropped);
            nextStatistics = Clock::now() + kStatisticsInterval;
        }
        // A reader that went away ends the capture.
        if (!out.flush()) break;
    }
    running = nullptr;
    // Asked to stop: the frames the kernel still holds (a block is handed
    // over at most 50 ms after its first frame) go out too.
    if (stopping && status == 0)
        for (int i = 0; i < 3 && live.waitForFrames(60); ++i)
            if (live.dispatch(write, &out, 0, failure) < 0) break;
    const pelsid::CaptureCounts c = live.counts();
    out.writeStatistics(now(), c.received, c.interfaceDropped, c.systemDropped);
    out.finish();
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    // Nothing the caller's environment names is looked at: no variable can
    // make this process load code or change what it opens.
    clearenv();
    close_range(3, ~0U, 0);
    // No capture outlives the program that reads it.
    prctl(PR_SET_PDEATHSIG, SIGTERM, 0, 0, 0);
    if (getppid() == 1) return 1;
    struct sigaction sa {};
    sa.sa_handler = stop;
    sigemptyset(&sa.sa_mask);
    for (int s : {SIGTERM, SIGINT, SIGHUP}) sigaction(s, &sa, nullptr);
    // A closed pipe shows as a failed write, which ends the capture.
    signal(SIGPIPE, SIG_IGN);

    Options options;
    if (const int status = parse(argc, argv, options); status >= 0) {
        dropCapabilities();
        return status;
    }
    return options.list ? list(options) : capture(options);
}
