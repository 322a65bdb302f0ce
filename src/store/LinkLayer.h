#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace pelsid {

/// Link types as capture files write them.
inline constexpr std::uint32_t kLinkEthernet = 1;

/// True for the link types pelsid shows: Ethernet, and those whose frames
/// are stored as Ethernet: Linux cooked (SLL, SLL2), raw IP, BSD loopback
/// (NULL, LOOP), PPP, Cisco HDLC, Frame Relay, NFLOG, PKTAP, IPNET, IP over
/// InfiniBand, ARCNET and 802.11 (plain, radiotap, Prism, AVS).
bool isShowableLink(std::uint32_t linkType);

/// The link type's name and description for messages, or its number as the
/// file holds it when libpcap knows no name for it.
std::string linkTypeName(std::uint32_t linkType);
/// The link type's short name ("NULL", "IEEE802_11_RADIO"), or its number.
std::string linkTypeShortName(std::uint32_t linkType);

/// A frame of a showable link type as an Ethernet frame of at most `maxBytes`.
struct EthernetFrame {
    std::span<const std::uint8_t> bytes;  // into `data` or the converter's own storage
    std::uint64_t fullLength = 0;         // the converted frame's captured length, uncut
};

/// What became of a frame.
enum class Conversion {
    Converted,  // `out` holds it as Ethernet
    Empty,      // nothing was captured beyond its link header
    NotCarried  // it carries no IPv4, IPv6, ARP or Ethernet (an 802.11 beacon, say)
};

/// Converts link-layer frames to Ethernet frames, one at a time; the result
/// stays valid until the next call. Every link header is read through
/// bounds-checked reads of what is held.
class LinkConverter {
  public:
    /// The longest link header looked through (radiotap, Prism, NFLOG, PKTAP).
    static constexpr std::size_t kMaxLinkHeader = 512;

    /// `data` holds the first `held` bytes of a frame of `caplen` captured bytes.
    Conversion convert(std::uint32_t linkType, const std::uint8_t* data, std::size_t held,
                       std::uint64_t caplen, std::size_t maxBytes, EthernetFrame& out);

  private:
    std::uint8_t storage_[2048];
};

}  // namespace pelsid
