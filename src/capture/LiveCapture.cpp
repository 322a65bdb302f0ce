#include "capture/LiveCapture.h"

#include <pcap/pcap.h>
#include <poll.h>
#include <unistd.h>

#include <climits>
#include <filesystem>

#include "store/PacketBuffer.h"

namespace pelsid {

static_assert(LiveCapture::kSlotBytes == PacketBuffer::kSlotBytes);

namespace {
constexpr int kTimeoutMs = 50;
// Room in the kernel for about a second of a fast flood while the reader catches up.
constexpr int kKernelBufferBytes = 64 << 20;

CaptureProblem activationProblem(pcap_t* p, int status) {
    std::string reason = pcap_geterr(p);
    if (reason.empty()) reason = pcap_statustostr(status);
    switch (status) {
        case PCAP_ERROR_PERM_DENIED:
        case PCAP_ERROR_PROMISC_PERM_DENIED:
            return {CaptureProblem::Kind::Permission, reason};
        default:
            return {CaptureProblem::Kind::Open, reason};
    }
}

pcap_t* create(const std::string& adapter, CaptureProblem& problem) {
    char errbuf[PCAP_ERRBUF_SIZE] = {};
    pcap_t* p = pcap_create(adapter.c_str(), errbuf);
    if (!p) problem = {CaptureProblem::Kind::Open, errbuf};
    return p;
}

// Ethernet framing, asked for when the adapter offers it besides its default.
bool useEthernet(pcap_t* p) {
    if (pcap_datalink(p) == DLT_EN10MB) return true;
    int* links = nullptr;
    const int n = pcap_list_datalinks(p, &links);
    bool offered = false;
    for (int i = 0; i < n; ++i) offered = offered || links[i] == DLT_EN10MB;
    if (n > 0) pcap_free_datalinks(links);
    return offered && pcap_set_datalink(p, DLT_EN10MB) == 0;
}
}  // namespace

std::string capturePermissionHint() {
    std::error_code ec;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    const std::string helper = ec ? std::string("/usr/bin/pelsid-capture")
                                  : (self.parent_path() / "pelsid-capture").string();
    return "\n\nCapturing needs the capture capabilities on " + helper +
           ", which the pelsid package grants to the members of the group pelsid (add "
           "yourself with: sudo adduser $USER pelsid, then log in again). Elsewhere:\n"
           "sudo setcap cap_net_raw,cap_net_admin=eip " +
           helper + "\nNever give them to pelsid itself.";
}

std::string CaptureProblem::message(const std::string& adapter, const std::string& filter) const {
    switch (kind) {
        case Kind::None:
            return {};
        case Kind::Helper:
            return reason;
        case Kind::Filter:
            return "The capture filter \"" + filter + "\" is not valid: " + reason;
        case Kind::Permission:
            return "Cannot capture on adapter \"" + adapter + "\": " + reason +
                   capturePermissionHint();
        case Kind::Framing:
        case Kind::Open:
            return "Cannot capture on adapter \"" + adapter + "\": " + reason;
        case Kind::Failed:
            return "Capture on adapter \"" + adapter + "\" stopped: " + reason;
    }
    return {};
}

LiveCapture::~LiveCapture() {
    if (handle_) pcap_close(handle_);
}

CaptureProblem LiveCapture::open(const std::string& adapter, const std::string& filter,
                                 int snapshotLength, bool promiscuous) {
    if (handle_) pcap_close(handle_), handle_ = nullptr;
    CaptureProblem problem;
    pcap_t* p = create(adapter, problem);
    if (!p) return problem;
    pcap_set_snaplen(p, snapshotLength);
    pcap_set_promisc(p, promiscuous ? 1 : 0);
    pcap_set_timeout(p, kTimeoutMs);
    pcap_set_buffer_size(p, kKernelBufferBytes);
    // Nanoseconds where the adapter has them; otherwise libpcap keeps microseconds.
    pcap_set_tstamp_precision(p, PCAP_TSTAMP_PRECISION_NANO);
    if (const int status = pcap_activate(p); status < 0) {
        problem = activationProblem(p, status);
        pcap_close(p);
        return problem;
    }
    if (!useEthernet(p)) {
        const char* name = pcap_datalink_val_to_name(pcap_datalink(p));
        problem = {CaptureProblem::Kind::Framing,
                   std::string("the adapter does not deliver Ethernet frames (link type ") +
                       (name ? name : std::to_string(pcap_datalink(p)).c_str()) + ")"};
        pcap_close(p);
        return problem;
    }
    if (!filter.empty()) {
        bpf_program program{};
        if (pcap_compile(p, &program, filter.c_str(), 1, PCAP_NETMASK_UNKNOWN) != 0) {
            problem = {CaptureProblem::Kind::Filter, pcap_geterr(p)};
            pcap_close(p);
            return problem;
        }
        const int set = pcap_setfilter(p, &program);
        pcap_freecode(&program);
        if (set != 0) {
            problem = {CaptureProblem::Kind::Filter, pcap_geterr(p)};
            pcap_close(p);
            return problem;
        }
    }
    // The caller waits in waitForFrames(), where a signal or a timeout ends
    // the wait even while no frame comes.
    char errbuf[PCAP_ERRBUF_SIZE] = {};
    pcap_setnonblock(p, 1, errbuf);
    handle_ = p;
    decimals_ = pcap_get_tstamp_precision(p) == PCAP_TSTAMP_PRECISION_NANO ? 9 : 6;
    return problem;
}

bool LiveCapture::waitForFrames(int ms) {
    pollfd p{pcap_get_selectable_fd(handle_), POLLIN, 0};
    return p.fd >= 0 && ::poll(&p, 1, ms) > 0;
}

int LiveCapture::dispatch(FrameHandler handler, void* context, int maxFrames,
                          CaptureProblem& problem) {
    struct Call {
        FrameHandler handler;
        void* context;
        std::uint8_t decimals;
    } call{handler, context, decimals_};
    auto trampoline = [](u_char* user, const pcap_pkthdr* h, const u_char* bytes) {
        const auto* c = reinterpret_cast<const Call*>(user);
        const int wire = h->len > unsigned(INT_MAX) ? INT_MAX : int(h->len);
        // With nanosecond precision libpcap puts nanoseconds where microseconds go.
        const auto fraction = std::uint32_t(h->ts.tv_usec);
        const CaptureTime time{std::int64_t(h->ts.tv_sec),
                               c->decimals == 9 ? fraction : fraction * 1000u, c->decimals, true};
        c->handler(c->context, bytes, int(h->caplen), wire, time);
    };
    const int n = pcap_dispatch(handle_, maxFrames > 0 ? maxFrames : -1, trampoline,
                                reinterpret_cast<u_char*>(&call));
    if (n == PCAP_ERROR_BREAK) return 0;
    if (n < 0) {
        problem = {CaptureProblem::Kind::Failed, pcap_geterr(handle_)};
        return -1;
    }
    return n;
}

void LiveCapture::breakLoop() {
    if (handle_) pcap_breakloop(handle_);
}

std::uint64_t LiveCapture::kernelDropped() {
    const CaptureCounts c = counts();
    return c.systemDropped + c.interfaceDropped;
}

CaptureCounts LiveCapture::counts() {
    pcap_stat s{};
    if (!handle_ || pcap_stats(handle_, &s) != 0) return {};
    return {s.ps_recv, s.ps_drop, s.ps_ifdrop};
}

bool LiveCapture::canCapture(const std::string& adapter) {
    CaptureProblem problem;
    pcap_t* p = create(adapter, problem);
    if (!p) return false;
    const bool ok = pcap_activate(p) >= 0 && useEthernet(p);
    pcap_close(p);
    return ok;
}

}  // namespace pelsid
