#include "store/PacketMatcher.h"

#include <pcap/pcap.h>

#include <algorithm>

namespace pelsid {

namespace {
// Any snapshot length will do for compiling; frames are at most a slot long.
constexpr int kSnapLen = 65535;
}  // namespace

PacketMatcher::~PacketMatcher() {
    if (program_) pcap_freecode(program_.get());
}

std::shared_ptr<const PacketMatcher> PacketMatcher::compile(const std::string& expression,
                                                            std::string* error) {
    pcap_t* dead = pcap_open_dead(DLT_EN10MB, kSnapLen);
    if (!dead) {
        if (error) *error = "libpcap could not make a filter compiler";
        return nullptr;
    }
    auto program = std::make_unique<bpf_program>();
    const int status =
        pcap_compile(dead, program.get(), expression.c_str(), 1, PCAP_NETMASK_UNKNOWN);
    if (status != 0) {
        if (error) *error = pcap_geterr(dead);
        pcap_close(dead);
        return nullptr;
    }
    pcap_close(dead);
    std::shared_ptr<PacketMatcher> m(new PacketMatcher);
    m->expression_ = expression;
    m->program_ = std::move(program);
    return m;
}

bool PacketMatcher::matches(std::span<const std::uint8_t> frame, std::uint32_t wireLength) const {
    pcap_pkthdr header{};
    header.caplen = bpf_u_int32(frame.size());
    header.len = std::max(wireLength, header.caplen);
    return pcap_offline_filter(program_.get(), &header, frame.data()) != 0;
}

}  // namespace pelsid
