#pragma once

namespace pelsid {

/// The classes the Filters window hides and colours packets by.
enum class ProtocolClass { TCP, UDP, ICMP, IGMP, OtherTransport, UnassignedTransport };
inline constexpr int kProtocolClassCount = 6;

/// Class of an IP protocol number: 1, 2, 6, 17 their own, ICMPv6 (58) with
/// ICMP; 138..252 unassigned; every other value "other legal".
ProtocolClass protocolClassOf(int protocol);

}  // namespace pelsid
