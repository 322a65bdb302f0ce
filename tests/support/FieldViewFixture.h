#pragma once
#include <QComboBox>
#include <QRect>
#include <memory>

#include "fieldviews/AxisStore.h"
#include "fieldviews/HeaderAxes.h"
#include "pipeline/FilterModel.h"
#include "raster/Color.h"
#include "raster/Surface.h"
#include "store/PacketBuffer.h"
#include "support/FieldPackets.h"
#include "views/Thumbnails.h"
#include "views/ViewWindow.h"

namespace pelsid::test {

inline constexpr std::uint32_t kWhite = rgb(255, 255, 255);
inline constexpr std::uint32_t kShadow = rgb(64, 64, 64);
inline constexpr std::uint32_t kTcp = rgb(0, 255, 0);

/// What the application owns and the views borrow.
struct FieldViewFixture {
    PacketBuffer buffer;
    FilterModel filters;
    Thumbnails thumbnails;
    ViewContext context{thumbnails};
    AxisStore axes;

    /// Stored packet `number` as the pipeline plays it.
    PlayedPacket packet(int number) const {
        return {number,
                buffer.packetData(number),
                buffer.frameLength(number),
                &buffer.fields(number),
                colorOf(number),
                buffer.captureTime(number)};
    }
    std::uint32_t colorOf(int number) const {
        return filters.protocolColor(buffer.getIPProtocol(number));
    }
};

/// Bounding box of the pixels of `color` inside `region`.
inline QRect boxOf(const Surface& s, std::uint32_t color, QRect region) {
    QRect box;
    for (int y = region.top(); y <= region.bottom(); ++y)
        for (int x = region.left(); x <= region.right(); ++x)
            if (s.pixel(x, y) == color) box |= QRect(x, y, 1, 1);
    return box;
}

inline int countOf(const Surface& s, std::uint32_t color) {
    int n = 0;
    for (int y = 0; y < s.height(); ++y)
        for (int x = 0; x < s.width(); ++x) n += s.pixel(x, y) == color;
    return n;
}

}  // namespace pelsid::test
