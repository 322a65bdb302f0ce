#pragma once
#include <cstdint>
#include <string>

namespace pelsid {

class PacketBuffer;

/// Where "Go to" leads: the packet number, or 0 and what to tell the user.
struct GoToResult {
    int packet = 0;
    std::string problem;
};

/// The packet held at or after what the user typed: a packet number
/// ("1500"), a time of day ("13:20:30", "13:20:30.250", local time, or UTC
/// with a trailing "UTC"), or seconds after the first packet held ("+2.5").
/// `utcOffsetSeconds` is the local time's offset from UTC at that time.
GoToResult goToPacket(const PacketBuffer& buffer, const std::string& text,
                      long utcOffsetSeconds = 0);

/// The first packet held that was captured at or after `epochNs`; 0 for none.
int packetAtOrAfter(const PacketBuffer& buffer, std::int64_t epochNs);

}  // namespace pelsid
