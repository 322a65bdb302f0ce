#pragma once
#include <array>
#include <cstdint>
#include <functional>

#include "views/ViewRenderer.h"

namespace pelsid {

/// The detail view (frmVis7): keeps the newest packet, which its window shows
/// as characters and as a hex dump in its protocol colour. Playing keeps only
/// the packet, so many packets played between two looks cost one text build.
class DetailRenderer : public ViewRenderer {
  public:
    using ViewRenderer::ViewRenderer;

    void plot(const PlayedPacket& packet) override;
    /// Only the last packet of a run shows.
    void plotRun(std::span<const PlayedPacket> run) override {
        if (!run.empty()) plot(run.back());
    }
    void plotThumbnail(const PlayedPacket&) override {}
    void clear() override;

    /// Keeps `packet` to be shown.
    void keep(const PlayedPacket& packet);
    /// Takes the packet kept since the last call: false when there is none.
    bool takeKept();

    std::span<const std::uint8_t> bytes() const { return {bytes_.data(), std::size_t(length_)}; }
    std::uint32_t colour() const { return colour_; }
    CaptureTime time() const { return time_; }
    std::uint64_t fileFrame() const { return fileFrame_; }

    /// Told after a packet was played (true) or after clear (false).
    std::function<void(bool played)> changed;

  private:
    std::array<std::uint8_t, 1601> bytes_{};
    int length_ = 0;
    std::uint32_t colour_ = 0;
    CaptureTime time_;
    std::uint64_t fileFrame_ = 0;  // the packet's number in its file (0: captured)
    bool pending_ = false;
};

}  // namespace pelsid
