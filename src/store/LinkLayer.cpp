#include "store/LinkLayer.h"

#include <pcap/pcap.h>

#include <algorithm>
#include <cstring>

namespace pelsid {

namespace {
constexpr std::size_t kEthernetHeader = 14;
constexpr std::size_t kSllHeader = 16;
constexpr std::size_t kSll2Header = 20;
constexpr std::uint16_t kEtherTypeIPv4 = 0x0800;
constexpr std::uint16_t kEtherTypeIPv6 = 0x86DD;

// Link types as files write them (some differ from libpcap's DLT numbers).
constexpr std::uint32_t kLinkRawOld = 12;  // raw IP as Linux writes DLT_RAW
constexpr std::uint32_t kLinkRaw = 101;
constexpr std::uint32_t kLinkSll = 113;
constexpr std::uint32_t kLinkIPv4 = 228;
constexpr std::uint32_t kLinkIPv6 = 229;
constexpr std::uint32_t kLinkSll2 = 276;

std::uint16_t be16(const std::uint8_t* p) {
    return std::uint16_t(p[0] << 8 | p[1]);
}
}  // namespace

bool isShowableLink(std::uint32_t linkType) {
    switch (linkType) {
        case kLinkEthernet:
        case kLinkRawOld:
        case kLinkRaw:
        case kLinkSll:
        case kLinkIPv4:
        case kLinkIPv6:
        case kLinkSll2:
            return true;
        default:
            return false;
    }
}

std::string linkTypeName(std::uint32_t linkType) {
    // Names are looked up by libpcap's 16-bit numbers; anything wider is shown
    // as the number the file holds.
    const int dlt = int(linkType);
    const char* name = linkType <= 0xFFFF ? pcap_datalink_val_to_name(dlt) : nullptr;
    if (!name) return "number " + std::to_string(linkType);
    std::string text = name;
    if (const char* description = pcap_datalink_val_to_description(dlt))
        text += std::string(" (") + description + ")";
    return text;
}

bool LinkConverter::convert(std::uint32_t linkType, const std::uint8_t* data, std::size_t held,
                            std::uint64_t caplen, std::size_t maxBytes, EthernetFrame& out) {
    held = std::size_t(std::min<std::uint64_t>(held, caplen));
    std::size_t offset = 0;
    std::uint16_t etherType = 0;
    const std::uint8_t* source = nullptr;
    switch (linkType) {
        case kLinkEthernet:
            if (caplen == 0) return false;
            out.fullLength = caplen;
            out.bytes = {data, std::min(held, maxBytes)};
            return true;
        case kLinkSll:
            if (caplen <= kSllHeader || held <= kSllHeader) return false;
            offset = kSllHeader;
            etherType = be16(data + 14);
            if (be16(data + 4) == 6) source = data + 6;
            break;
        case kLinkSll2:
            if (caplen <= kSll2Header || held <= kSll2Header) return false;
            offset = kSll2Header;
            etherType = be16(data);
            if (data[11] == 6) source = data + 12;
            break;
        case kLinkRawOld:
        case kLinkRaw:
            if (caplen == 0 || held == 0) return false;
            etherType = (data[0] >> 4) == 6 ? kEtherTypeIPv6 : kEtherTypeIPv4;
            break;
        case kLinkIPv4:
            if (caplen == 0 || held == 0) return false;
            etherType = kEtherTypeIPv4;
            break;
        case kLinkIPv6:
            if (caplen == 0 || held == 0) return false;
            etherType = kEtherTypeIPv6;
            break;
        default:
            return false;
    }
    std::uint8_t* e = storage_;
    std::memset(e, 0, kEthernetHeader);
    if (source) std::memcpy(e + 6, source, 6);
    e[12] = std::uint8_t(etherType >> 8);
    e[13] = std::uint8_t(etherType);
    const std::size_t room = std::min(maxBytes, sizeof storage_) - kEthernetHeader;
    const std::size_t payload = std::min(held - offset, room);
    std::memcpy(e + kEthernetHeader, data + offset, payload);
    out.fullLength = caplen - offset + kEthernetHeader;
    out.bytes = {e, kEthernetHeader + payload};
    return true;
}

}  // namespace pelsid
