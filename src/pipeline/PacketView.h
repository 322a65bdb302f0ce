#pragma once
#include <cstdint>

namespace pelsid {

/// One packet as the pipeline hands it to the views.
struct PlayedPacket {
    int number = 0;                       // packetNumber
    const std::uint8_t* bytes = nullptr;  // packetTxt: 1601 readable bytes, zero beyond the packet
    int length = 0;                       // packetLen
    const float* frequency = nullptr;     // frequencyArray: 256 values
};

/// What the pipeline needs of a view: draw a packet into the window's picture
/// (only while shown), into its thumbnail (always), and forget everything.
class PacketView {
  public:
    virtual ~PacketView() = default;
    virtual void Plot(const PlayedPacket& packet) = 0;
    virtual void plotThumbnail(const PlayedPacket& packet) = 0;
    virtual void clear() = 0;
};

/// The seven views in their fixed order: text rainfall, byte frequency,
/// parallel coordinates, binary rainfall, scatter plot, combined, detail.
class ViewSet {
  public:
    static constexpr int kViewCount = 7;
    virtual ~ViewSet() = default;
    /// View 0..6, created hidden if it does not exist.
    virtual PacketView& view(int index) = 0;
    virtual bool isShown(int index) = 0;
    /// True for a view that may draw a range's packets on a second thread
    /// while the others draw theirs: it draws only on its own pictures and
    /// touches nothing of the event loop. Every view draws its packets in order.
    virtual bool drawsOffThread(int /*index*/) const { return false; }
};

}  // namespace pelsid
