#include "store/FrameFilter.h"

#include <pcap/pcap.h>

#include <algorithm>

namespace pelsid {

struct FrameFilter::Program {
    bpf_program bpf{};
    ~Program() { pcap_freecode(&bpf); }
};

FrameFilter::FrameFilter() : program_(std::make_unique<Program>()) {}
FrameFilter::~FrameFilter() = default;

std::unique_ptr<FrameFilter> FrameFilter::compile(const std::string& expression,
                                                  std::string& error) {
    // A dead handle is all libpcap needs to compile for a link type.
    pcap_t* dead = pcap_open_dead(DLT_EN10MB, 262144);
    if (!dead) {
        error = "libpcap could not make a handle to compile the filter";
        return nullptr;
    }
    std::unique_ptr<FrameFilter> filter(new FrameFilter);
    if (pcap_compile(dead, &filter->program_->bpf, expression.c_str(), 1, PCAP_NETMASK_UNKNOWN) !=
        0) {
        error = pcap_geterr(dead);
        pcap_close(dead);
        return nullptr;
    }
    pcap_close(dead);
    return filter;
}

bool FrameFilter::matches(std::span<const std::uint8_t> frame, std::uint32_t wireLength) const {
    pcap_pkthdr header{};
    header.caplen = bpf_u_int32(frame.size());
    header.len = std::max(wireLength, header.caplen);
    return pcap_offline_filter(&program_->bpf, &header, frame.data()) != 0;
}

}  // namespace pelsid
