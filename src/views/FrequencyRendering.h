#pragma once
#include <QString>
#include <cstdint>
#include <optional>

#include "raster/Surface.h"

namespace pelsid {

/// The byte frequency view's colourings, in the order of its mode list.
enum class FrequencyMode { Presence, ByPacket };

/// The share of a packet (0 .. 0.2) that the threshold bar stands for.
double thresholdShare(int value, int maximum);
/// The bar's value as the label shows it: per cent, shortest decimal text, "%".
QString thresholdText(int value, int maximum);

/// Colour of one cell, 0 meaning nothing is drawn. Shares are compared in
/// the precision they were measured in, so a share equal to the threshold
/// is not taken as above it.
std::uint32_t frequencyColour(FrequencyMode mode, std::uint32_t packetColour, double threshold,
                              float frequency);

/// Each byte value's share of a packet: its count over (length - 1), the raw
/// count for a packet of one byte. 256 values.
void computeByteFrequency(const std::uint8_t* bytes, int length, float* frequency);

/// One packet's row: column v is byte value v, coloured by its share
/// (computeByteFrequency); cells of colour 0 are left alone.
void drawFrequencyRow(Surface& target, int row, const std::uint8_t* bytes, int length,
                      FrequencyMode mode, std::uint32_t packetColour, double threshold);

/// The thumbnail's presence row in green, as many byte values as fit.
void drawFrequencyThumbnailRow(Surface& thumbnail, int row, const std::uint8_t* bytes, int length);

/// The mouse read-out over column x: decimal, hex and the character; none
/// outside 0..255.
std::optional<QString> byteReadout(int x);

}  // namespace pelsid
