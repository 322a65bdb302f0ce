#pragma once
#include <array>
#include <cstdint>

namespace pelsid {

/// The protocol classes that can be hidden and coloured.
enum class ProtocolClass { TCP, UDP, ICMP, IGMP, OtherTransport, UnassignedTransport };
inline constexpr int kProtocolClassCount = 6;

/// Class of an IP protocol number: 1, 2, 6, 17 their own; 138..252 unassigned;
/// every other value "other legal".
ProtocolClass protocolClassOf(int protocol);

/// The filter toggles and colour swatches of the Filters window. The window
/// binds to this model; creating (or closing) the window resets it.
class FilterModel {
  public:
    FilterModel() { reset(); }

    /// All classes shown, every colour its default.
    void reset();

    bool hidden(ProtocolClass c) const { return hidden_[int(c)]; }
    void setHidden(ProtocolClass c, bool hidden) { hidden_[int(c)] = hidden; }
    std::uint32_t color(ProtocolClass c) const { return colors_[int(c)]; }
    void setColor(ProtocolClass c, std::uint32_t color) { colors_[int(c)] = color; }
    /// The Ethernet and IP swatches: editable, used by no rule.
    std::uint32_t etherColor = 0;
    std::uint32_t ipColor = 0;

    /// True when packets of this protocol are to be hidden.
    bool isFilteredOut(int protocol) const { return hidden(protocolClassOf(protocol)); }
    /// Colour of a packet by its IP protocol keyword.
    std::uint32_t protocolColor(int protocol) const;

    static std::uint32_t defaultColor(ProtocolClass c);

  private:
    std::array<bool, kProtocolClassCount> hidden_{};
    std::array<std::uint32_t, kProtocolClassCount> colors_{};
};

}  // namespace pelsid
