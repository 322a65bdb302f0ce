#include "views/FrequencyRendering.h"

#include <algorithm>
#include <charconv>

#include "views/Color.h"

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

void drawFrequencyRow(Surface& target, int row, const float* frequency, FrequencyMode mode,
                      std::uint32_t packetColour, double threshold) {
    if (row < 0 || row >= target.height()) return;
    QRgb* out = target.row(row);
    const int n = std::min(256, target.width());
    // Selects rather than branches: which bytes occur is as good as random.
    if (mode == FrequencyMode::Presence) {
        if (packetColour == 0) return;  // black leaves the row as it is
        const QRgb c = toQRgb(packetColour);
        for (int v = 0; v < n; ++v) out[v] = frequency[v] != 0.0f ? c : out[v];
    } else {
        const float t = float(threshold);
        const QRgb red = toQRgb(kRed), blue = toQRgb(kBlue);
        for (int v = 0; v < n; ++v) {
            const QRgb c = frequency[v] > t ? red : blue;
            out[v] = frequency[v] != 0.0f ? c : out[v];
        }
    }
    target.touch();
}

void drawFrequencyThumbnailRow(Surface& thumbnail, int row, const float* frequency) {
    if (row < 0 || row >= thumbnail.height()) return;
    QRgb* out = thumbnail.row(row);
    const QRgb green = toQRgb(kGreen);
    const int n = std::min(256, thumbnail.width());
    for (int v = 0; v < n; ++v) out[v] = frequency[v] > 0.0f ? green : out[v];
    thumbnail.touch();
}

std::optional<QString> byteReadout(int x) {
    if (x < 0 || x > 255) return std::nullopt;
    return QString::number(x) + QStringLiteral("  0x") + QString::number(x, 16).toUpper() +
           QStringLiteral("  ") + QChar(char16_t(x));
}

}  // namespace pelsid
