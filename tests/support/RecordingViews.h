#pragma once
#include <array>
#include <vector>

#include "pipeline/PacketView.h"

namespace pelsid::test {

/// A ViewSet that remembers what the pipeline asked of each view.
class RecordingViews : public ViewSet {
  public:
    struct View : PacketView {
        std::vector<int> plotted;
        std::vector<int> thumbnails;
        int clears = 0;
        void plot(const PlayedPacket& p) override { plotted.push_back(p.number); }
        void plotThumbnail(const PlayedPacket& p) override { thumbnails.push_back(p.number); }
        void clear() override { ++clears; }
    };

    PacketView& view(int index) override { return views[index]; }
    bool isShown(int) override { return true; }

    /// What the first view drew and how often it was cleared (all views see the same).
    const std::vector<int>& plotted() const { return views[0].plotted; }
    int clears() const { return views[0].clears; }
    void forget() {
        for (auto& v : views) {
            v.plotted.clear();
            v.thumbnails.clear();
            v.clears = 0;
        }
    }

    std::array<View, kViewCount> views;
};

}  // namespace pelsid::test
