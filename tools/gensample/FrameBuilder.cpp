#include "FrameBuilder.h"

namespace gensample {

namespace {
constexpr std::size_t kMinFrame = 60;

void put16(Bytes& b, std::size_t at, std::uint16_t v) {
    b[at] = std::uint8_t(v >> 8);
    b[at + 1] = std::uint8_t(v);
}
void push16(Bytes& b, std::uint16_t v) {
    b.push_back(std::uint8_t(v >> 8));
    b.push_back(std::uint8_t(v));
}
void push32(Bytes& b, std::uint32_t v) {
    push16(b, std::uint16_t(v >> 16));
    push16(b, std::uint16_t(v));
}

std::uint32_t pseudoHeaderSum(const Ip& src, const Ip& dst, std::uint8_t protocol,
                              std::size_t length) {
    std::uint32_t sum = 0;
    sum += std::uint32_t(src[0] << 8 | src[1]) + std::uint32_t(src[2] << 8 | src[3]);
    sum += std::uint32_t(dst[0] << 8 | dst[1]) + std::uint32_t(dst[2] << 8 | dst[3]);
    sum += protocol;
    sum += std::uint32_t(length);
    return sum;
}
}  // namespace

std::uint16_t FrameBuilder::checksum(const std::uint8_t* p, std::size_t n, std::uint32_t sum) {
    for (std::size_t i = 0; i + 1 < n; i += 2) sum += std::uint32_t(p[i] << 8 | p[i + 1]);
    if (n % 2) sum += std::uint32_t(p[n - 1] << 8);
    while (sum >> 16) sum = (sum & 0xFFFF) + (sum >> 16);
    return std::uint16_t(~sum);
}

Bytes FrameBuilder::ethernet(const Mac& dst, const Mac& src, std::uint16_t etherType,
                             const Bytes& payload) {
    Bytes f(dst.begin(), dst.end());
    f.insert(f.end(), src.begin(), src.end());
    push16(f, etherType);
    f.insert(f.end(), payload.begin(), payload.end());
    if (f.size() < kMinFrame) f.resize(kMinFrame, 0);
    return f;
}

Bytes FrameBuilder::ipv4(const IpHeader& h, const Bytes& payload) {
    const std::size_t headerLength = 20 + h.options.size();
    Bytes p;
    p.push_back(std::uint8_t(0x40 | headerLength / 4));
    p.push_back(h.tos);
    push16(p, std::uint16_t(headerLength + payload.size()));
    push16(p, h.id);
    push16(p, std::uint16_t((h.df ? 0x4000 : 0) | (h.mf ? 0x2000 : 0) | (h.fragOffset & 0x1FFF)));
    p.push_back(h.ttl);
    p.push_back(h.protocol);
    push16(p, 0);
    p.insert(p.end(), h.src.begin(), h.src.end());
    p.insert(p.end(), h.dst.begin(), h.dst.end());
    p.insert(p.end(), h.options.begin(), h.options.end());
    put16(p, 10, checksum(p.data(), p.size()));
    p.insert(p.end(), payload.begin(), payload.end());
    return p;
}

Bytes FrameBuilder::tcp(const Ip& src, const Ip& dst, std::uint16_t sport, std::uint16_t dport,
                        std::uint32_t seq, std::uint32_t ack, std::uint8_t flags,
                        std::uint16_t window, const Bytes& payload, bool mssOption) {
    Bytes t;
    push16(t, sport);
    push16(t, dport);
    push32(t, seq);
    push32(t, (flags & kAck) ? ack : 0);
    const std::size_t headerLength = mssOption ? 24 : 20;
    t.push_back(std::uint8_t(headerLength / 4 << 4));
    t.push_back(flags);
    push16(t, window);
    push16(t, 0);  // checksum
    push16(t, 0);  // urgent pointer
    if (mssOption) {
        t.push_back(2);
        t.push_back(4);
        push16(t, 1460);
    }
    t.insert(t.end(), payload.begin(), payload.end());
    put16(t, 16, checksum(t.data(), t.size(), pseudoHeaderSum(src, dst, 6, t.size())));
    return t;
}

Bytes FrameBuilder::udp(const Ip& src, const Ip& dst, std::uint16_t sport, std::uint16_t dport,
                        const Bytes& payload) {
    Bytes u;
    push16(u, sport);
    push16(u, dport);
    push16(u, std::uint16_t(8 + payload.size()));
    push16(u, 0);
    u.insert(u.end(), payload.begin(), payload.end());
    std::uint16_t sum = checksum(u.data(), u.size(), pseudoHeaderSum(src, dst, 17, u.size()));
    put16(u, 6, sum == 0 ? 0xFFFF : sum);
    return u;
}

Bytes FrameBuilder::icmpEcho(bool request, std::uint16_t id, std::uint16_t seq, const Bytes& data) {
    Bytes m{std::uint8_t(request ? 8 : 0), 0, 0, 0};
    push16(m, id);
    push16(m, seq);
    m.insert(m.end(), data.begin(), data.end());
    put16(m, 2, checksum(m.data(), m.size()));
    return m;
}

Bytes FrameBuilder::igmpV2(std::uint8_t type, std::uint8_t maxResp, const Ip& group) {
    Bytes m{type, maxResp, 0, 0, group[0], group[1], group[2], group[3]};
    put16(m, 2, checksum(m.data(), m.size()));
    return m;
}

Bytes FrameBuilder::arp(bool request, const Mac& senderMac, const Ip& senderIp,
                        const Mac& targetMac, const Ip& targetIp) {
    Bytes a;
    push16(a, 1);       // Ethernet
    push16(a, 0x0800);  // IPv4
    a.push_back(6);
    a.push_back(4);
    push16(a, request ? 1 : 2);
    a.insert(a.end(), senderMac.begin(), senderMac.end());
    a.insert(a.end(), senderIp.begin(), senderIp.end());
    a.insert(a.end(), targetMac.begin(), targetMac.end());
    a.insert(a.end(), targetIp.begin(), targetIp.end());
    return a;
}

}  // namespace gensample
