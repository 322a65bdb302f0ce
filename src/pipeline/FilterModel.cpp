#include "pipeline/FilterModel.h"

#include <algorithm>

#include "pipeline/Rgb.h"
#include "store/PacketMatcher.h"
#include "store/ProtocolNames.h"

namespace pelsid {

std::uint32_t FilterModel::defaultColor(ProtocolClass c) {
    switch (c) {
        case ProtocolClass::TCP:
            return rgb(0, 255, 0);
        case ProtocolClass::UDP:
            return rgb(255, 128, 0);
        case ProtocolClass::ICMP:
            return rgb(0, 0, 255);
        case ProtocolClass::IGMP:
            return rgb(0, 0, 255);
        case ProtocolClass::OtherTransport:
            return rgb(255, 255, 128);
        case ProtocolClass::UnassignedTransport:
            return rgb(255, 128, 128);
    }
    return 0;
}

FilterModel::FilterModel() {
    reset();
}
FilterModel::~FilterModel() = default;

void FilterModel::reset() {
    for (int i = 0; i < kProtocolClassCount; ++i) {
        hidden_[i] = false;
        colors_[i] = defaultColor(ProtocolClass(i));
    }
    display_.reset();
    rules_.clear();
}

std::uint32_t FilterModel::protocolColor(int protocol) const {
    const std::string_view k = protocolName(protocol);
    if (k == "UDP") return color(ProtocolClass::UDP);
    if (k == "TCP") return color(ProtocolClass::TCP);
    if (k == "ICMP" || k == "IPv6-ICMP") return color(ProtocolClass::ICMP);
    if (k == "IGMP") return color(ProtocolClass::IGMP);
    if (k == "Unassigned") return color(ProtocolClass::UnassignedTransport);
    return color(ProtocolClass::OtherTransport);
}

namespace {
std::shared_ptr<const PacketMatcher> compile(const std::string& expression, std::string* error) {
    std::string message;
    auto m = PacketMatcher::compile(expression, &message);
    if (!m && error) *error = message.empty() ? "bad filter expression" : message;
    return m;
}
bool blank(const std::string& expression) {
    return expression.find_first_not_of(" \t\r\n") == std::string::npos;
}
}  // namespace

bool FilterModel::setDisplayFilter(const std::string& expression, std::string* error) {
    // No filter at all rather than one that matches everything: no cost per packet.
    if (blank(expression)) {
        display_.reset();
        return true;
    }
    auto m = compile(expression, error);
    if (!m) return false;
    display_ = std::move(m);
    return true;
}

const std::string& FilterModel::displayFilter() const {
    static const std::string none;
    return display_ ? display_->expression() : none;
}

bool FilterModel::addColorRule(const std::string& expression, std::uint32_t color,
                               std::string* error) {
    auto m = compile(expression, error);
    if (!m) return false;
    rules_.push_back({std::move(m), color});
    return true;
}

bool FilterModel::holdsRule(int index) const {
    return index >= 0 && index < int(rules_.size());
}

void FilterModel::removeColorRule(int index) {
    if (holdsRule(index)) rules_.erase(rules_.begin() + index);
}

void FilterModel::moveColorRule(int from, int to) {
    if (!holdsRule(from) || !holdsRule(to)) return;
    const ColorRule r = rules_[std::size_t(from)];
    rules_.erase(rules_.begin() + from);
    rules_.insert(rules_.begin() + to, r);
}

void FilterModel::setColorRuleColor(int index, std::uint32_t color) {
    if (holdsRule(index)) rules_[std::size_t(index)].color = color;
}

bool FilterModel::hides(int protocol, std::span<const std::uint8_t> frame,
                        std::uint32_t wireLength) const {
    return isFilteredOut(protocol) || (display_ && !display_->matches(frame, wireLength));
}

std::uint32_t FilterModel::colorOf(int protocol, std::span<const std::uint8_t> frame,
                                   std::uint32_t wireLength) const {
    for (const ColorRule& r : rules_)
        if (r.matcher->matches(frame, wireLength)) return r.color;
    return protocolColor(protocol);
}

}  // namespace pelsid
