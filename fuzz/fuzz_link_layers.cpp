// The link-layer converters: a frame of any link type pelsid shows (the
// first input byte picks which), held whole or only in part, becomes an
// Ethernet frame within a slot whose headers decode and summarise without a
// read outside it; the part held never changes what the whole frame gives
// when both hold its link header and the bytes kept.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "store/LinkLayer.h"
#include "store/PacketBuffer.h"
#include "store/PacketFields.h"
#include "store/PacketSummary.h"

using namespace pelsid;

namespace {
constexpr std::uint32_t kLinkTypes[] = {0,   1,   9,   12,  50,  101, 104, 105, 107, 108, 113,
                                        119, 127, 129, 163, 226, 228, 229, 239, 242, 258, 276};
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::uint32_t linkType = kLinkTypes[data[0] % std::size(kLinkTypes)];
    if (!isShowableLink(linkType)) std::abort();
    const std::vector<std::uint8_t> frame(data + 1, data + size);
    LinkConverter converter;
    EthernetFrame whole;
    const Conversion c = converter.convert(linkType, frame.data(), frame.size(), frame.size(),
                                           PacketBuffer::kSlotBytes, whole);
    if (c != Conversion::Converted) return 0;
    if (whole.bytes.empty() || whole.bytes.size() > std::size_t(PacketBuffer::kSlotBytes) ||
        whole.fullLength < whole.bytes.size())
        std::abort();
    const std::vector<std::uint8_t> kept(whole.bytes.begin(), whole.bytes.end());
    const PacketFields f = decodeHeaders(kept.data(), int(kept.size()));
    if (f.etherType != (kept.size() >= 14 ? kept[12] << 8 | kept[13] : f.etherType)) std::abort();
    if (packetSummary(kept, linkType).empty()) std::abort();

    // Held only as far as a reader looks: the same frame.
    const std::size_t held =
        std::min<std::size_t>(frame.size(), 1601 + LinkConverter::kMaxLinkHeader);
    EthernetFrame part;
    if (converter.convert(linkType, frame.data(), held, frame.size(), PacketBuffer::kSlotBytes,
                          part) != Conversion::Converted ||
        part.fullLength != whole.fullLength || !std::ranges::equal(part.bytes, kept))
        std::abort();
    return 0;
}
