#include "views/BinaryRendering.h"

#include <algorithm>
#include <array>

#include "raster/Color.h"
#include "views/RowScroll.h"

namespace pelsid {

namespace {

constexpr int kMaxBytes = 1601;  // what a played packet holds at most
constexpr QRgb kUntouched = 0;   // never a real pixel: those are opaque

constexpr std::uint32_t kRed = rgb(255, 0, 0);
constexpr std::uint32_t kDarkRed = rgb(128, 0, 0);
constexpr std::uint32_t kBlue = rgb(0, 0, 255);
constexpr std::uint32_t kDarkBlue = rgb(0, 0, 128);
constexpr std::uint32_t kGrey = rgb(64, 64, 64);

bool printable(int b) {
    return b >= 32 && b <= 126;
}

std::uint32_t greenLevel(int b) {
    return rgb(0, b, 0);
}

/// 8:1 colour of a byte: the first rule that applies.
std::uint32_t eightBitColour(int b, Highlights h) {
    if (h.nop && b == 0x90) return kRed;
    if (h.ascii) return printable(b) ? kBlue : kGrey;
    return greenLevel(b);
}

/// 1:1 colour of one bit while a highlight is on: every rule that applies is
/// applied in order, the last one winning; kUntouched when none applies.
QRgb oneBitColour(int b, bool bitSet, Highlights h) {
    QRgb c = kUntouched;
    if (h.nop && bitSet) c = toQRgb(b == 0x90 ? kRed : kGrey);
    if (h.nop && !bitSet && b == 0x90) c = toQRgb(kDarkRed);
    if (h.ascii && bitSet) c = toQRgb(printable(b) ? kBlue : kGrey);
    if (h.ascii && !bitSet && printable(b)) c = toQRgb(kDarkBlue);
    return c;
}

int index(Highlights h) {
    return (h.ascii ? 1 : 0) | (h.nop ? 2 : 0);
}

/// Per-byte colours for each highlight combination, made once: the hot loops
/// then cost one lookup per pixel.
struct ColourTables {
    std::array<std::array<QRgb, 256>, 4> eight{};
    std::array<std::array<QRgb, 256>, 4> set{};
    std::array<std::array<QRgb, 256>, 4> clear{};

    ColourTables() {
        for (int k = 0; k < 4; ++k) {
            const Highlights h{(k & 1) != 0, (k & 2) != 0};
            for (int b = 0; b < 256; ++b) {
                eight[k][b] = toQRgb(eightBitColour(b, h));
                set[k][b] = oneBitColour(b, true, h);
                clear[k][b] = oneBitColour(b, false, h);
            }
        }
    }
    static const ColourTables& get() {
        static const ColourTables tables;
        return tables;
    }
};

void packetLength(Surface& s, int row, int length, std::uint32_t colour) {
    s.line(0, row, scaleLength(length, s.width()), row, colour);
}

void rainfall24(QRgb* out, int width, const std::uint8_t* bytes, int length) {
    for (int offset = 0, x = 0; offset + 2 <= length - 1 && x < width; offset += 3, ++x)
        out[x] = toQRgb(rgb(bytes[offset], bytes[offset + 1], bytes[offset + 2]));
}

void rainfall8(QRgb* out, int width, const std::uint8_t* bytes, int length, Highlights h) {
    const auto& table = ColourTables::get().eight[index(h)];
    const int n = std::min(length, width);
    for (int i = 0; i < n; ++i) out[i] = table[bytes[i]];
}

/// Eight pixels of one byte, most significant bit first; `count` < 8 only at
/// the right edge. Selects rather than branches: bits are as good as random.
template <int kCount>
inline void bitPixels(QRgb* px, int b, QRgb on, QRgb off, int count = kCount) {
    for (int k = 0; k < count; ++k) {
        const QRgb set = QRgb(0) - QRgb((b >> (7 - k)) & 1);  // all ones for a set bit
        const QRgb other = off == kUntouched ? px[k] : off;
        px[k] = (on & set) | (other & ~set);
    }
}

void rainfall1(QRgb* out, int width, const std::uint8_t* bytes, int length, Highlights h,
               std::uint32_t packetColour) {
    const bool plain = !h.ascii && !h.nop;
    const auto& set = ColourTables::get().set[index(h)];
    const auto& clear = ColourTables::get().clear[index(h)];
    const QRgb plainSet = toQRgb(packetColour);
    const int whole = std::min(length, width / 8);
    for (int i = 0; i < whole; ++i) {
        const int b = bytes[i];
        bitPixels<8>(out + 8 * i, b, plain ? plainSet : set[b], plain ? kUntouched : clear[b]);
    }
    if (whole < length && width % 8 != 0) {
        const int b = bytes[whole];
        bitPixels<0>(out + 8 * whole, b, plain ? plainSet : set[b], plain ? kUntouched : clear[b],
                     width % 8);
    }
}

}  // namespace

void drawBinaryRow(Surface& target, int row, BinaryMode mode, Highlights highlights,
                   const std::uint8_t* bytes, int length, std::uint32_t packetColour) {
    if (row < 0 || row >= target.height() || length <= 0) return;
    const int n = std::min(length, kMaxBytes);
    QRgb* out = target.row(row);
    const int width = target.width();
    switch (mode) {
        case BinaryMode::PacketLength:
            packetLength(target, row, length, packetColour);
            break;
        case BinaryMode::Rainfall24:
            rainfall24(out, width, bytes, n);
            break;
        case BinaryMode::Rainfall8:
            rainfall8(out, width, bytes, n, highlights);
            break;
        case BinaryMode::Rainfall1:
            rainfall1(out, width, bytes, n, highlights, packetColour);
            break;
    }
    // The row's bytes belong to the packet, drawn or left dark alike (the
    // length bar's line has set its own).
    if (std::uint32_t* picks = target.pickRow(row); picks && mode != BinaryMode::PacketLength) {
        const int covered =
            std::min(width, bytesPerPixel(mode) == 0 ? 8 * n : n / bytesPerPixel(mode));
        std::fill(picks, picks + covered, target.owner());
    }
    target.touch();
}

int bytesPerPixel(BinaryMode mode) {
    switch (mode) {
        case BinaryMode::Rainfall24:
            return 3;
        case BinaryMode::Rainfall8:
            return 1;
        default:
            return 0;
    }
}

std::optional<BytePosition> byteAtColumn(BinaryMode mode, int x) {
    if (x < 0) return std::nullopt;
    switch (mode) {
        case BinaryMode::Rainfall24:
            return BytePosition{3 * x, -1};
        case BinaryMode::Rainfall8:
            return BytePosition{x, -1};
        case BinaryMode::Rainfall1:
            return BytePosition{x / 8, x % 8};
        default:
            return std::nullopt;
    }
}

void drawBinaryThumbnailRow(Surface& thumbnail, int row, const std::uint8_t* bytes, int length) {
    if (row < 0 || row >= thumbnail.height() || length <= 0) return;
    rainfall8(thumbnail.row(row), thumbnail.width(), bytes, std::min(length, kMaxBytes), {});
    thumbnail.touch();
}

}  // namespace pelsid
