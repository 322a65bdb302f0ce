#pragma once
#include <cstdint>
#include <span>
#include <string>

namespace pelsid {

/// One line about a stored Ethernet frame, as a packet list would show it:
/// its length, then for IPv4 and IPv6 the addresses (with ports for TCP and
/// UDP), the protocol keyword, TCP flags or the ICMP type; for ARP who-has or
/// is-at; for anything else the Ethernet addresses and the EtherType. A frame
/// captured on another link type than Ethernet (`linkType`) names it after
/// its length. Every read is checked against the frame's end: a cut frame
/// says what it holds.
std::string packetSummary(std::span<const std::uint8_t> frame, std::uint32_t linkType = 1);

}  // namespace pelsid
