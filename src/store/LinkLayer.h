#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace pelsid {

/// Link types as capture files write them.
inline constexpr std::uint32_t kLinkEthernet = 1;

/// True for the link types pelsid shows: Ethernet, and Linux cooked (SLL,
/// SLL2) and raw IP, which get a made-up Ethernet header.
bool isShowableLink(std::uint32_t linkType);

/// The link type's name and description for messages, or its number as the
/// file holds it when libpcap knows no name for it.
std::string linkTypeName(std::uint32_t linkType);

/// A frame of a showable link type as an Ethernet frame of at most `maxBytes`.
struct EthernetFrame {
    std::span<const std::uint8_t> bytes;  // into `data` or the converter's own storage
    std::uint64_t fullLength = 0;         // the converted frame's captured length, uncut
};

/// Converts link-layer frames to Ethernet frames, one at a time; the result
/// stays valid until the next call.
class LinkConverter {
  public:
    static constexpr std::size_t kMaxLinkHeader = 20;

    /// `data` holds the first `held` bytes of a frame of `caplen` captured
    /// bytes. False when the frame carries nothing beyond its link header.
    bool convert(std::uint32_t linkType, const std::uint8_t* data, std::size_t held,
                 std::uint64_t caplen, std::size_t maxBytes, EthernetFrame& out);

  private:
    std::uint8_t storage_[2048];
};

}  // namespace pelsid
