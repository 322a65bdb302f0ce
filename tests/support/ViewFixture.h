#pragma once
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <deque>
#include <vector>

#include "pipeline/FilterModel.h"
#include "pipeline/Pipeline.h"
#include "store/PacketBuffer.h"
#include "views/Thumbnails.h"
#include "views/ViewWindow.h"

namespace pelsid::test {

/// The control named `name` in `window`; a failure names the missing one.
template <class T>
T* control(QWidget& window, const char* name) {
    T* c = window.findChild<T*>(QLatin1String(name));
    EXPECT_NE(c, nullptr) << name;
    return c;
}

/// A buffer, colours and thumbnails for constructing view windows directly,
/// and packets played by hand the way the pipeline hands them over.
class ViewFixture : public ::testing::Test {
  protected:
    PacketBuffer buffer;
    FilterModel filters;
    Thumbnails thumbnails;
    ViewContext context{thumbnails};

    /// Stores `bytes` in the buffer and returns it as played.
    PlayedPacket packet(const std::vector<std::uint8_t>& bytes) {
        auto& copy = copies_.emplace_back();
        std::copy(bytes.begin(), bytes.end(), copy.bytes.begin());
        buffer.insertPacket(bytes);
        const int n = buffer.newestHeld();
        return {n,
                copy.bytes.data(),
                int(bytes.size()),
                &buffer.fields(n),
                filters.protocolColor(buffer.getIPProtocol(n)),
                buffer.captureTime(n)};
    }
    /// An IPv4 frame of `length` (at least 34) bytes with IP protocol `protocol`, payload `fill`.
    PlayedPacket ipPacket(int protocol, int length, std::uint8_t fill = 0) {
        std::vector<std::uint8_t> b(std::size_t(std::max(length, 34)), fill);
        b[12] = 0x08;
        b[13] = 0x00;
        b[14] = 0x45;
        b[23] = std::uint8_t(protocol);
        return packet(b);
    }
    std::uint32_t colourOf(const PlayedPacket& p) const {
        return filters.protocolColor(buffer.getIPProtocol(p.number));
    }

  private:
    struct Copy {
        std::array<std::uint8_t, PacketBuffer::kSlotBytes> bytes{};
    };
    std::deque<Copy> copies_;
};

}  // namespace pelsid::test
