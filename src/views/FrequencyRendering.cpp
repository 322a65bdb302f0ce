#include "views/FrequencyRendering.h"

#include <algorithm>
#include <array>
#include <charconv>

#include "raster/Color.h"

namespace pelsid {

namespace {
constexpr std::uint32_t kRed = rgb(255, 0, 0);
constexpr std::uint32_t kBlue = rgb(0, 0, 255);
constexpr std::uint32_t kGreen = rgb(0, 255, 0);
}  // namespace

double thresholdShare(int value, int maximum) {
    if (maximum <= 0) return 0.0;
    return double(value) / double(maximum) * 20.0 / 100.0;
}

QString thresholdText(int value, int maximum) {
    const double percent = maximum > 0 ? double(value) / double(maximum) * 20.0 : 0.0;
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, percent).ptr;
    return QString::fromLatin1(text, end - text) + QLatin1Char('%');
}

std::uint32_t frequencyColour(FrequencyMode mode, std::uint32_t packetColour, double threshold,
                              float frequency) {
    if (frequency == 0.0f) return 0;
    if (mode == FrequencyMode::Presence) return packetColour;
    return frequency > float(threshold) ? kRed : kBlue;
}

void computeByteFrequency(const std::uint8_t* bytes, int length, float* frequency) {
    // Whole counts first: a float sum of ones is exact, so this is the same
    // value without a float add chained through memory for every byte. Four
    // tables, so runs of one byte value do not wait on one counter.
    std::array<std::array<std::uint16_t, 256>, 4> count{};
    int i = 0;
    for (; i + 4 <= length; i += 4) {
        ++count[0][bytes[i]];
        ++count[1][bytes[i + 1]];
        ++count[2][bytes[i + 2]];
        ++count[3][bytes[i + 3]];
    }
    for (; i < length; ++i) ++count[0][bytes[i]];
    const float d = length >= 2 ? float(length - 1) : 1.0f;
    for (int v = 0; v < 256; ++v)
        frequency[v] = float(count[0][v] + count[1][v] + count[2][v] + count[3][v]) / d;
}

namespace {

/// 1 for each byte value that occurs, else 0: all that presence needs, with
/// no counter to wait on from one byte to the next.
std::array<std::uint8_t, 256> presentValues(const std::uint8_t* bytes, int length) {
    std::array<std::uint8_t, 256> present{};
    for (int i = 0; i < length; ++i) present[bytes[i]] = 1;
    return present;
}

}  // namespace

void drawFrequencyRow(Surface& target, int row, const std::uint8_t* bytes, int length,
                      FrequencyMode mode, std::uint32_t packetColour, double threshold) {
    if (row < 0 || row >= target.height()) return;
    const int n = std::min(256, target.width());
    // Selects rather than branches: which bytes occur is as good as random.
    if (mode == FrequencyMode::Presence) {
        if (packetColour == 0) return;  // black leaves the row as it is
        const std::array<std::uint8_t, 256> present = presentValues(bytes, length);
        QRgb* out = target.row(row);
        const QRgb c = toQRgb(packetColour);
        for (int v = 0; v < n; ++v) out[v] = present[v] ? c : out[v];
        if (std::uint32_t* picks = target.pickRow(row)) {
            const std::uint32_t owner = target.owner();
            for (int v = 0; v < n; ++v) picks[v] = present[v] ? owner : picks[v];
        }
    } else {
        std::array<float, 256> frequency;
        computeByteFrequency(bytes, length, frequency.data());
        QRgb* out = target.row(row);
        const float t = float(threshold);
        const QRgb red = toQRgb(kRed), blue = toQRgb(kBlue);
        for (int v = 0; v < n; ++v) {
            const QRgb c = frequency[v] > t ? red : blue;
            out[v] = frequency[v] != 0.0f ? c : out[v];
        }
        if (std::uint32_t* picks = target.pickRow(row)) {
            const std::uint32_t owner = target.owner();
            for (int v = 0; v < n; ++v) picks[v] = frequency[v] != 0.0f ? owner : picks[v];
        }
    }
    target.touch();
}

void drawFrequencyThumbnailRow(Surface& thumbnail, int row, const std::uint8_t* bytes, int length) {
    if (row < 0 || row >= thumbnail.height()) return;
    const std::array<std::uint8_t, 256> present = presentValues(bytes, length);
    QRgb* out = thumbnail.row(row);
    const QRgb green = toQRgb(kGreen);
    const int n = std::min(256, thumbnail.width());
    for (int v = 0; v < n; ++v) out[v] = present[v] ? green : out[v];
    thumbnail.touch();
}

std::optional<QString> byteReadout(int x) {
    if (x < 0 || x > 255) return std::nullopt;
    return QString::number(x) + QStringLiteral("  0x") + QString::number(x, 16).toUpper() +
           QStringLiteral("  ") + QChar(char16_t(x));
}

}  // namespace pelsid
