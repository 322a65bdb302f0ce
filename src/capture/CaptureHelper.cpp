#include "capture/CaptureHelper.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <thread>

#include "store/ByteInput.h"
#include "store/FrameIntake.h"
#include "store/PcapngReader.h"

namespace pelsid {

namespace {
constexpr const char* kHelperName = "pelsid-capture";
constexpr int kPermissionStatus = 3;  // the helper's exit status when it may not capture
constexpr int kStartTimeoutMs = 15000;

// Starts the helper with `args`, its standard output and error on pipes of
// ours (close-on-exec here, so no other child inherits them) and an empty
// environment. The errno of a failure, else 0.
int spawn(const std::vector<std::string>& args, pid_t& pid, int& out, int& err) {
    int o[2], e[2];
    if (pipe2(o, O_CLOEXEC) != 0) return errno;
    if (pipe2(e, O_CLOEXEC) != 0) {
        const int error = errno;
        close(o[0]), close(o[1]);
        return error;
    }
    const std::string path = CaptureHelper::programPath();
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(path.c_str()));
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    char* noEnvironment[] = {nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, o[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, e[1], STDERR_FILENO);
    // A group of its own: a Ctrl+C at the terminal reaches pelsid, which ends the helper.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    const int error =
        posix_spawn(&pid, path.c_str(), &actions, &attributes, argv.data(), noEnvironment);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    close(o[1]), close(e[1]);
    if (error != 0) {
        close(o[0]), close(e[0]);
        return error;
    }
    out = o[0], err = e[0];
    return 0;
}

std::string readAll(int fd) {
    std::string text;
    char buf[4096];
    for (ssize_t n; (n = ::read(fd, buf, sizeof buf)) != 0;) {
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) break;
        text.append(buf, std::size_t(n));
    }
    return text;
}

// Waits for the helper; one that lingers after its reader left is killed.
int waitFor(pid_t pid) {
    int status = 0;
    for (int waited = 0; waited < 3000; waited += 10) {
        const pid_t r = waitpid(pid, &status, WNOHANG);
        if (r == pid || (r < 0 && errno != EINTR)) return status;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kill(pid, SIGKILL);
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return status;
}

std::string statusText(int status) {
    if (WIFSIGNALED(status))
        return std::string(kHelperName) + " was ended by signal " +
               std::to_string(WTERMSIG(status)) + " (" + strsignal(WTERMSIG(status)) + ")";
    return std::string(kHelperName) + " ended with status " + std::to_string(WEXITSTATUS(status));
}

void closeFd(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
}
}  // namespace

CaptureHelper::~CaptureHelper() {
    if (pid_ <= 0) return;
    cancel();
    closeFd(out_);
    closeFd(err_);
    waitFor(pid_);
    pid_ = -1;
}

std::string CaptureHelper::programPath() {
    std::error_code ec;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string("/usr/bin/") + kHelperName
              : (self.parent_path() / kHelperName).string();
}

std::vector<CaptureAdapter> CaptureHelper::listAdapters(std::string* error) {
    pid_t pid = -1;
    int out = -1, err = -1;
    if (const int e = spawn({"--list"}, pid, out, err); e != 0) {
        if (error)
            *error = "cannot start " + programPath() + ": " + std::strerror(e) +
                     (e == EACCES ? capturePermissionHint() : std::string());
        return {};
    }
    const std::string text = readAll(out);
    std::string message = readAll(err);
    close(out), close(err);
    const int status = waitFor(pid);
    if (!(WIFEXITED(status) && WEXITSTATUS(status) == 0) && error) {
        while (!message.empty() && message.back() == '\n') message.pop_back();
        *error = message.empty() ? statusText(status) : message;
    }
    return parseAdapterList(text);
}

CaptureProblem CaptureHelper::start(const std::string& adapter, const std::string& filter) {
    stopping_ = cancelled_ = false;
    received_ = systemDropped_ = interfaceDropped_ = 0;
    adapter_ = adapter;
    std::vector<std::string> args{"--adapter", adapter};
    if (!filter.empty()) args.insert(args.end(), {"--filter", filter});
    pid_t pid = -1;
    if (const int e = spawn(args, pid, out_, err_); e != 0)
        // Not in the group that may run it: the message tells how to join.
        return {e == EACCES ? CaptureProblem::Kind::Permission : CaptureProblem::Kind::Open,
                "cannot start " + programPath() + ": " + std::strerror(e)};
    pid_ = pid;
    // The stream's first bytes come once the adapter is open; a helper that
    // cannot open it closes the stream with nothing in it.
    pollfd p{out_, POLLIN, 0};
    int ready;
    while ((ready = poll(&p, 1, kStartTimeoutMs)) < 0 && errno == EINTR) {
    }
    if (ready > 0 && (p.revents & POLLIN)) return {};
    if (ready == 0) stop();
    CaptureProblem problem = ended(ready == 0 ? "it did not begin within 15 s" : "");
    if (problem.ok()) problem = {CaptureProblem::Kind::Open, "stopped before it began"};
    if (problem.kind == CaptureProblem::Kind::Failed) problem.kind = CaptureProblem::Kind::Open;
    return problem;
}

CaptureProblem CaptureHelper::read(FrameHandler frames, CountsHandler counts, void* context) {
    ReadOptions options;
    options.keepAll = true;
    options.cancel = &cancelled_;
    RecordSet set;
    {
        ByteInput input("/proc/self/fd/" + std::to_string(out_), options.pieceSize, &cancelled_);
        FrameIntake intake(
            options, set,
            [&](std::span<const std::uint8_t> frame, std::uint64_t, std::uint64_t,
                std::uint32_t wire, const CaptureTime& time, std::uint32_t,
                std::uint64_t) { frames(context, frame, wire, time); },
            nullptr);
        readPcapngFile(input, kHelperName, intake, set, [&](const InterfaceStatistics& s) {
            received_ = s.received;
            systemDropped_ = s.systemDropped;
            interfaceDropped_ = s.interfaceDropped;
            counts(context, this->counts());
        });
    }
    std::string damage;
    for (const auto& p : set.problems) damage = p.text;
    return ended(damage);
}

CaptureProblem CaptureHelper::ended(const std::string& detail) {
    if (pid_ <= 0) return {CaptureProblem::Kind::Failed, "pelsid-capture is not running"};
    // Closing the stream ends a helper that still writes to it.
    closeFd(out_);
    const int status = waitFor(pid_);
    pid_ = -1;
    std::string message = readAll(err_);
    closeFd(err_);
    if (stopping_) return {};
    // Its own lines, as they are (a capability report is no message).
    std::string lines;
    for (std::size_t at = 0; at < message.size();) {
        std::size_t end = message.find('\n', at);
        if (end == std::string::npos) end = message.size();
        const std::string line = message.substr(at, end - at);
        if (!line.empty() && line.rfind("pelsid-capture: Cap", 0) != 0)
            lines += (lines.empty() ? "" : "\n") + line;
        at = end + 1;
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) == kPermissionStatus)
        return {CaptureProblem::Kind::Helper, lines + capturePermissionHint()};
    if (!lines.empty()) return {CaptureProblem::Kind::Helper, lines};
    std::string reason = statusText(status);
    if (!detail.empty()) reason += " (" + detail + ")";
    return {CaptureProblem::Kind::Failed, reason};
}

void CaptureHelper::stop() {
    stopping_ = true;
    if (const pid_t pid = pid_; pid > 0) kill(pid, SIGTERM);
}

void CaptureHelper::cancel() {
    cancelled_ = true;
    stop();
}

CaptureCounts CaptureHelper::counts() const {
    return {received_, systemDropped_, interfaceDropped_};
}

}  // namespace pelsid
