#include "views/DetailRenderer.h"

#include <algorithm>
#include <cstring>

namespace pelsid {

void DetailRenderer::plot(const PlayedPacket& packet) {
    keep(packet);
    if (changed) changed(true);
}

void DetailRenderer::keep(const PlayedPacket& packet) {
    length_ = std::clamp(packet.length, 0, int(bytes_.size()));
    std::memcpy(bytes_.data(), packet.bytes, std::size_t(length_));
    colour_ = packet.color;
    time_ = packet.time;
    fileFrame_ = packet.frame;
    pending_ = true;
}

bool DetailRenderer::takeKept() {
    const bool kept = pending_;
    pending_ = false;
    return kept;
}

void DetailRenderer::clear() {
    pending_ = false;
    if (changed) changed(false);
}

}  // namespace pelsid
