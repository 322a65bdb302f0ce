#pragma once
#include <cstdint>
#include <optional>

#include "raster/Surface.h"

namespace pelsid {

/// The binary rainfall's renderings, in the order of its mode list.
enum class BinaryMode { PacketLength, Rainfall24, Rainfall8, Rainfall1 };

/// Which bytes the 8:1 and 1:1 renderings mark.
struct Highlights {
    bool ascii = false;  // printable bytes 32..126
    bool nop = false;    // the byte 0x90
};

/// True for the renderings that draw in the packet's protocol colour.
inline bool usesPacketColour(BinaryMode mode) {
    return mode == BinaryMode::PacketLength || mode == BinaryMode::Rainfall1;
}

/// Draws one packet (`length` of `bytes`, at most 1601 are read) on pixel row
/// `row` of `target`; pixels beyond the right edge fall away.
void drawBinaryRow(Surface& target, int row, BinaryMode mode, Highlights highlights,
                   const std::uint8_t* bytes, int length, std::uint32_t packetColour);

/// Bytes shown by one pixel of a rendering: 3 (24:1), 1 (8:1); 0 for 1:1,
/// where a byte takes eight pixels, and for the length bar.
int bytesPerPixel(BinaryMode mode);

/// Where a column of a row lies in its packet: the (first) byte and, in
/// 1:1, the bit counted from the most significant (else -1).
struct BytePosition {
    int offset = 0;
    int bit = -1;
};
/// The byte column x shows; none for the length bar.
std::optional<BytePosition> byteAtColumn(BinaryMode mode, int x);

/// The thumbnail's row: one green-level pixel per byte, no highlights.
void drawBinaryThumbnailRow(Surface& thumbnail, int row, const std::uint8_t* bytes, int length);

}  // namespace pelsid
