#pragma once

namespace pelsid {

/// Geometry of the PVR's buffer-range strip, in twips (15 per pixel): a track
/// with two handles that pick the first and last packet to replay.
struct BufferRangeGeometry {
    static constexpr int kTrackWidth = 6375;
    static constexpr int kTrackHeight = 310;
    static constexpr int kHandleWidth = 255;
    static constexpr int kRightMargin = 60;
    /// Where the maximum handle sits at window load, the rightmost place it may take.
    static constexpr int kMaxHandleRight = kTrackWidth - kHandleWidth - kRightMargin;
    static constexpr int kTrackLength = kTrackWidth - 2 * kHandleWidth;
};

/// Twips in a pixel of the window.
inline constexpr int kTwipsPerPixel = 15;

/// Pixels (a mouse position) to twips.
constexpr int pixelsToTwips(int pixels) {
    return pixels * kTwipsPerPixel;
}

struct PacketRange {
    int first;
    int last;
};

/// Maps the two handle offsets (0..trackLength) linearly onto the held packet
/// numbers: offset 0 is `oldest`, `trackLength` is `newest`. Offsets outside
/// the track are clamped and first never exceeds last. With nothing held
/// (newest < oldest) the range is empty: {oldest, newest}.
PacketRange packetRangeFor(int minOffset, int maxOffset, int trackLength, int oldest, int newest);

/// New left edge of the minimum handle dragged to `x` (handle coordinates,
/// grabbed at `grab`): never left of 0, and at least one twip before the
/// maximum handle's left edge.
int dragMinHandle(int left, int width, int x, int grab, int maxLeft);

/// New left edge of the maximum handle, the mirror of dragMinHandle: at least
/// one twip right of the minimum handle and never beyond `rightmost`.
int dragMaxHandle(int left, int x, int grab, int minLeft, int minWidth, int rightmost);

}  // namespace pelsid
