#include "views/ByteFrequencyRenderer.h"

#include "views/Thumbnails.h"

namespace pelsid {

const QStringList& ByteFrequencyRenderer::modeNames() {
    static const QStringList names{QStringLiteral("byte presence"),
                                   QStringLiteral("byte frequency (by packet)")};
    return names;
}

ByteFrequencyRenderer::ByteFrequencyRenderer(Thumbnails& thumbnails)
    : ScrollingRenderer(thumbnails, 2, "_bytefrequency.bmp") {
    setPictureSize(kPictureWidth, kPictureHeight);
}

void ByteFrequencyRenderer::grayVisThumb() {
    thumbnails_.setBordered(thumbnailNumber(), true);
}

void ByteFrequencyRenderer::beginRun() {
    ScrollingRenderer::beginRun();
    settings_.beginRun();
}

std::vector<SettingControl> ByteFrequencyRenderer::settingControls() {
    std::vector<SettingControl> controls = ScrollingRenderer::settingControls();
    controls.push_back(SettingControl::choice(
        QStringLiteral("cmbVisMode"), modeNames(), [this] { return settings().mode; },
        [this](int m) { setMode(m); }));
    controls.push_back(SettingControl::number(
        QStringLiteral("scrThreshold"), 0, kThresholdMaximum,
        [this] { return settings().threshold; }, [this](int t) { setThreshold(t); }));
    return controls;
}

double ByteFrequencyRenderer::threshold(const Settings& settings) {
    return thresholdShare(settings.threshold, kThresholdMaximum);
}

std::uint32_t ByteFrequencyRenderer::scaleColor(const PlayedPacket& packet,
                                                float currentFrequency) const {
    if (currentFrequency == 0.0f) return 0;
    return frequencyColour(mode(), packet.color, threshold(settings()), currentFrequency);
}

void ByteFrequencyRenderer::drawRow(Surface& target, int row, const PlayedPacket& packet) {
    const Settings& run = settings_.run();
    if (run.mode < 0) return;
    const FrequencyMode m = FrequencyMode(run.mode);
    const std::uint32_t colour = m == FrequencyMode::Presence ? packet.color : 0;
    drawFrequencyRow(target, row, packet.bytes, packet.length, m, colour, threshold(run));
}

void ByteFrequencyRenderer::drawThumbnailRow(Surface& thumbnail, int row,
                                             const PlayedPacket& packet) {
    drawFrequencyThumbnailRow(thumbnail, row, packet.bytes, packet.length);
}

QString ByteFrequencyRenderer::byteText(const QString&, QPoint pos, const PlayedPacket*) const {
    return byteReadout(pos.x()).value_or(QString());
}

}  // namespace pelsid
