#pragma once
#include <cstdint>
#include <span>

#include "store/CaptureTime.h"
#include "store/PacketFields.h"

namespace pelsid {

/// One packet as the pipeline hands it to the views: everything a view draws
/// it from, so a view never goes back to the buffer.
struct PlayedPacket {
    int number = 0;                        // packetNumber
    const std::uint8_t* bytes = nullptr;   // packetTxt: 1601 readable bytes, zero beyond the packet
    int length = 0;                        // packetLen
    const PacketFields* fields = nullptr;  // its decoded headers
    std::uint32_t color = 0;               // its protocol's colour when it was played
    CaptureTime time;                      // when it was captured, if known
    std::uint64_t frame = 0;               // its number in the file loaded (0: captured)
};

/// What the pipeline needs of a view (a renderer, never a window): draw a
/// packet into its pictures (only while its window is shown), into its
/// thumbnail (always), and forget everything.
/// plot, plotThumbnail, clear and beginRun run on the GUI thread.
class PacketView {
  public:
    virtual ~PacketView() = default;
    virtual void plot(const PlayedPacket& packet) = 0;
    virtual void plotThumbnail(const PlayedPacket& packet) = 0;
    virtual void clear() = 0;

    /// True for a view whose runs may be drawn on the drawing thread while
    /// the other views draw theirs: it draws a run only on its own pictures,
    /// from the packets and the copy of its settings that beginRun took, and
    /// touches no widget and nothing of the event loop.
    virtual bool drawsOffGuiThread() const { return false; }
    /// Before every run, on the GUI thread: takes the copy of the view's
    /// settings that the run is drawn with (the user changes them only between runs).
    virtual void beginRun() {}
    /// A run of packets in order, with the pictures left as plot (or
    /// plotThumbnail) one by one would leave them. Nobody looks in between,
    /// so a view may leave out what later packets of the run are sure to cover.
    virtual void plotRun(std::span<const PlayedPacket> run) {
        for (const PlayedPacket& p : run) plot(p);
    }
    virtual void plotThumbnailRun(std::span<const PlayedPacket> run) {
        for (const PlayedPacket& p : run) plotThumbnail(p);
    }
};

/// The seven views in their fixed order: text rainfall, byte frequency,
/// parallel coordinates, binary rainfall, scatter plot, combined, detail.
class ViewSet {
  public:
    static constexpr int kViewCount = 7;
    virtual ~ViewSet() = default;
    /// View 0..6, made if it does not exist (never a window).
    virtual PacketView& view(int index) = 0;
    virtual bool isShown(int index) = 0;
};

}  // namespace pelsid
