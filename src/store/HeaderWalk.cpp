#include "store/HeaderWalk.h"

namespace pelsid {

namespace {
constexpr std::uint16_t kVlan = 0x8100, kQinQ = 0x88A8, kQinQOld = 0x9100;
constexpr int kHopByHop = 0, kRouting = 43, kFragment = 44, kAuthentication = 51, kDestination = 60,
              kMobility = 135;

bool isVlanTag(std::uint16_t type) {
    return type == kVlan || type == kQinQ || type == kQinQOld;
}

// IPv6 extension headers up to the upper layer, a bounded number of them; a
// header that runs past the frame's end ends the walk at it.
void walkIPv6(const FrameBytes& p, HeaderWalk& w) {
    std::size_t at = w.networkAt + 40;
    int next = p.u8(w.networkAt + 6);
    for (int hops = 0; hops < HeaderWalk::kMaxExtensionHeaders; ++hops) {
        if (next == kFragment) {
            if (!p.has(at, 8)) break;
            const std::uint16_t offsetAndFlags = p.u16(at + 2);
            w.ipv6Fragment = true;
            w.fragmentOffset = std::uint16_t(offsetAndFlags >> 3);
            w.moreFragments = (offsetAndFlags & 1) != 0;
            w.fragmentId = p.u32(at + 4);
            next = p.u8(at);
            at += 8;
            // What follows a later fragment is payload, not headers.
            if (w.fragmentOffset != 0) {
                w.laterFragment = true;
                break;
            }
        } else if (next == kHopByHop || next == kRouting || next == kDestination ||
                   next == kMobility) {
            if (!p.has(at, 2)) break;
            const std::size_t length = (std::size_t(p.u8(at + 1)) + 1) * 8;
            next = p.u8(at);
            at += length;
        } else if (next == kAuthentication) {
            if (!p.has(at, 2)) break;
            const std::size_t length = (std::size_t(p.u8(at + 1)) + 2) * 4;
            next = p.u8(at);
            at += length;
        } else {
            break;
        }
    }
    w.protocol = next;
    w.transportAt = at;
}
}  // namespace

HeaderWalk walkHeaders(std::span<const std::uint8_t> frame) {
    const FrameBytes p(frame);
    HeaderWalk w;
    w.etherType = p.u16(12);
    w.innerType = w.etherType;
    std::size_t typeAt = 12;
    while (w.vlanTags < HeaderWalk::kMaxVlanTags && isVlanTag(w.innerType) &&
           p.has(typeAt + 2, 4)) {
        w.vlanIds[w.vlanTags++] = p.u16(typeAt + 2) & 0x0FFF;
        typeAt += 4;
        w.innerType = p.u16(typeAt);
    }
    w.networkAt = typeAt + 2;
    if (w.innerType == kEtherTypeIPv4) {
        w.network = IpNetwork::IPv4;
        const std::uint8_t ihl = p.u8(w.networkAt) & 0x0F;
        // A header length below 5 words is taken as 5.
        w.transportAt = w.networkAt + (ihl < 5 ? 20 : std::size_t(ihl) * 4);
        w.protocol = p.u8(w.networkAt + 9);
        w.laterFragment = (p.u16(w.networkAt + 6) & 0x1FFF) != 0;
    } else if (w.innerType == kEtherTypeIPv6) {
        w.network = IpNetwork::IPv6;
        walkIPv6(p, w);
    }
    return w;
}

}  // namespace pelsid
