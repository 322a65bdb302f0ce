#pragma once
#include <cstdint>

#include "views/Surface.h"

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

/// The thumbnail's row: one green-level pixel per byte, no highlights.
void drawBinaryThumbnailRow(Surface& thumbnail, int row, const std::uint8_t* bytes, int length);

}  // namespace pelsid
