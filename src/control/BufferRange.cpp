#include "control/BufferRange.h"

#include <algorithm>
#include <cmath>

namespace pelsid {

PacketRange packetRangeFor(int minOffset, int maxOffset, int trackLength, int oldest, int newest) {
    if (newest < oldest) return {oldest, newest};
    if (trackLength <= 0) return {oldest, newest};
    const double span = double(newest) - double(oldest);
    auto packetAt = [&](int offset) {
        const double t = double(std::clamp(offset, 0, trackLength)) / trackLength;
        return oldest + int(std::nearbyint(t * span));
    };
    const int first = packetAt(minOffset);
    const int last = packetAt(maxOffset);
    return {std::min(first, last), last};
}

int dragMinHandle(int left, int width, int x, int grab, int maxLeft) {
    const int right = x - grab + left + width;
    if (right < maxLeft) return std::max(0, left + x - grab);
    return maxLeft - width - 1;
}

int dragMaxHandle(int left, int x, int grab, int minLeft, int minWidth, int rightmost) {
    const int leftmost = minLeft + minWidth + 1;
    return std::clamp(left + x - grab, leftmost, std::max(leftmost, rightmost));
}

}  // namespace pelsid
