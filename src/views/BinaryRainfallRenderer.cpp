#include "views/BinaryRainfallRenderer.h"

namespace pelsid {

const QStringList& BinaryRainfallRenderer::modeNames() {
    static const QStringList names{QStringLiteral("packet length"), QStringLiteral("rainfall 24:1"),
                                   QStringLiteral("rainfall 8:1"), QStringLiteral("rainfall 1:1")};
    return names;
}

BinaryRainfallRenderer::BinaryRainfallRenderer(Thumbnails& thumbnails)
    : ScrollingRenderer(thumbnails, 4, "_binaryrainfall.bmp") {
    setPictureSize(kPictureWidth, kPictureHeight);
}

void BinaryRainfallRenderer::setMode(int mode) {
    settings_.edit().mode = mode;
    initVisAll();
}

void BinaryRainfallRenderer::beginRun() {
    ScrollingRenderer::beginRun();
    settings_.beginRun();
}

std::vector<SettingControl> BinaryRainfallRenderer::settingControls() {
    std::vector<SettingControl> controls = ScrollingRenderer::settingControls();
    controls.push_back(SettingControl::choice(
        QStringLiteral("cmbVisMode"), modeNames(), [this] { return settings().mode; },
        [this](int m) { setMode(m); }));
    for (bool ascii : {true, false})
        controls.push_back(SettingControl::toggle(
            ascii ? QStringLiteral("tglASCII") : QStringLiteral("tglNOP"),
            [this, ascii] { return int(ascii ? highlights().ascii : highlights().nop); },
            [this, ascii](int on) {
                Highlights h = highlights();
                (ascii ? h.ascii : h.nop) = on != 0;
                setHighlights(h);
            }));
    return controls;
}

void BinaryRainfallRenderer::drawRow(Surface& target, int row, const PlayedPacket& packet) {
    const Settings& run = settings_.run();
    if (run.mode < 0) return;
    const BinaryMode m = BinaryMode(run.mode);
    const std::uint32_t colour = usesPacketColour(m) ? packet.color : 0;
    drawBinaryRow(target, row, m, run.highlights, packet.bytes, packet.length, colour);
}

void BinaryRainfallRenderer::drawThumbnailRow(Surface& thumbnail, int row,
                                              const PlayedPacket& packet) {
    drawBinaryThumbnailRow(thumbnail, row, packet.bytes, packet.length);
}

QString BinaryRainfallRenderer::byteText(const QString&, QPoint pos,
                                         const PlayedPacket* packet) const {
    const std::optional<BytePosition> at = byteAtColumn(mode(), pos.x());
    return packet && at ? byteDescription(at->offset, at->bit, *packet) : QString();
}

}  // namespace pelsid
