#pragma once
#include <cstddef>
#include <cstdint>
#include <span>

namespace pelsid {

/// EtherTypes the walk knows.
inline constexpr std::uint16_t kEtherTypeIPv4 = 0x0800;
inline constexpr std::uint16_t kEtherTypeArp = 0x0806;
inline constexpr std::uint16_t kEtherTypeIPv6 = 0x86DD;

/// Which IP header a frame carries, if any.
enum class IpNetwork : std::uint8_t { None, IPv4, IPv6 };

/// Where the headers of a stored Ethernet frame lie: the one walk from the
/// Ethernet header through VLAN tags, the IP header (IPv4 options, IPv6
/// extension headers) and fragments to the transport header. The decoded
/// fields, the one-line summary, the protocol class and the views all read
/// the frame through it. Offsets may point past the frame's end (a cut
/// frame); nothing is read beyond it.
struct HeaderWalk {
    static constexpr int kMaxVlanTags = 4;
    static constexpr int kMaxExtensionHeaders = 8;

    std::uint16_t etherType = 0;  // the frame's own, bytes 12-13
    std::uint16_t innerType = 0;  // inside the VLAN tags
    int vlanTags = 0;
    std::uint16_t vlanIds[kMaxVlanTags] = {};  // outermost first
    std::size_t networkAt = 14;                // first byte after the tags

    IpNetwork network = IpNetwork::None;
    int protocol = 0;             // the upper-layer protocol, after IPv6 extension headers
    std::size_t transportAt = 0;  // first byte of the upper-layer header
    bool laterFragment = false;   // a fragment other than the first: no transport header

    // From an IPv6 Fragment header, when there is one.
    bool ipv6Fragment = false;
    std::uint32_t fragmentId = 0;
    std::uint16_t fragmentOffset = 0;  // in 8-byte units
    bool moreFragments = false;
};

HeaderWalk walkHeaders(std::span<const std::uint8_t> frame);

/// Big-endian reads that give 0 for every byte at or beyond the frame's end.
class FrameBytes {
  public:
    explicit FrameBytes(std::span<const std::uint8_t> frame) : b_(frame) {}
    bool has(std::size_t at, std::size_t n) const { return at <= b_.size() && n <= b_.size() - at; }
    std::uint8_t u8(std::size_t at) const { return at < b_.size() ? b_[at] : 0; }
    std::uint16_t u16(std::size_t at) const { return std::uint16_t(u8(at) << 8 | u8(at + 1)); }
    std::uint32_t u32(std::size_t at) const { return std::uint32_t(u16(at)) << 16 | u16(at + 2); }
    std::span<const std::uint8_t> bytes() const { return b_; }

  private:
    std::span<const std::uint8_t> b_;
};

}  // namespace pelsid
