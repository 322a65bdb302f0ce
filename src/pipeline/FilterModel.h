#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "store/ProtocolClass.h"

namespace pelsid {

class PacketMatcher;

/// A colour for the packets an expression matches.
struct ColorRule {
    std::shared_ptr<const PacketMatcher> matcher;
    std::uint32_t color = 0;
};

/// The filter toggles, colour swatches, display filter and colour rules of
/// the Filters window. The window binds to this model; creating (or closing)
/// the window resets it. It changes on the GUI thread between runs only; its
/// matchers never change, so any thread may ask while a run is drawn.
class FilterModel {
  public:
    FilterModel();
    ~FilterModel();

    /// All classes shown, every colour its default.
    void reset();

    bool hidden(ProtocolClass c) const { return hidden_[int(c)]; }
    void setHidden(ProtocolClass c, bool hidden) { hidden_[int(c)] = hidden; }
    std::uint32_t color(ProtocolClass c) const { return colors_[int(c)]; }
    void setColor(ProtocolClass c, std::uint32_t color) { colors_[int(c)] = color; }

    /// True when packets of this protocol are to be hidden.
    bool isFilteredOut(int protocol) const { return hidden(protocolClassOf(protocol)); }
    /// Colour of a packet by its IP protocol keyword.
    std::uint32_t protocolColor(int protocol) const;

    /// Compiles the expression packets must match to be shown (empty: every
    /// packet). A bad one leaves the filter in force and returns false with
    /// libpcap's message in `error`.
    bool setDisplayFilter(const std::string& expression, std::string* error);
    /// The expression in force; empty for none.
    const std::string& displayFilter() const;

    const std::vector<ColorRule>& colorRules() const { return rules_; }
    /// Appends a rule; a bad expression adds nothing and returns false with
    /// libpcap's message in `error`.
    bool addColorRule(const std::string& expression, std::uint32_t color, std::string* error);
    /// Indexes outside the list change nothing.
    void removeColorRule(int index);
    /// Moves a rule to another place in the order.
    void moveColorRule(int from, int to);
    void setColorRuleColor(int index, std::uint32_t color);

    /// The decision for a packet being played: hidden by its class toggle or
    /// by not matching the display filter. `frame` is the packet as stored,
    /// `wireLength` its length on the wire (0: the stored length), which
    /// `len` and `greater` compare also for a frame cut to a slot.
    bool hides(int protocol, std::span<const std::uint8_t> frame,
               std::uint32_t wireLength = 0) const;
    /// The colour of the first rule the packet matches, else its protocol colour.
    std::uint32_t colorOf(int protocol, std::span<const std::uint8_t> frame,
                          std::uint32_t wireLength = 0) const;

    static std::uint32_t defaultColor(ProtocolClass c);

  private:
    bool holdsRule(int index) const;

    std::array<bool, kProtocolClassCount> hidden_{};
    std::array<std::uint32_t, kProtocolClassCount> colors_{};
    std::shared_ptr<const PacketMatcher> display_;  // null: every packet shown
    std::vector<ColorRule> rules_;
};

}  // namespace pelsid
