#include "views/ViewRenderer.h"

#include <QDir>

#include "raster/Surface.h"

namespace pelsid {

const Surface* ViewRenderer::picture(const QString& name) const {
    // A view of one picture calls it picGraph.
    const std::vector<ShotFile> files = screenshotFiles();
    return name == QLatin1String("picGraph") && files.size() == 1 ? files[0].surface : nullptr;
}

std::uint32_t ViewRenderer::packetAt(const QString& name, QPoint pos) const {
    const Surface* s = picture(name);
    return s ? s->pickAt(pos.x(), pos.y()) : 0;
}

QString ViewRenderer::byteText(const QString&, QPoint, const PlayedPacket*) const {
    return {};
}

bool ViewRenderer::screenShot(const QString& folder, const QString& systemTime,
                              QString* error) const {
    for (const ShotFile& f : screenshotFiles())
        if (!saveShot(*f.surface, folder, systemTime, f.suffix, error)) return false;
    return true;
}

QString byteDescription(int offset, int bit, const PlayedPacket& packet) {
    if (offset < 0 || offset >= packet.length) return {};
    const int value = packet.bytes[offset];
    QString text = QStringLiteral("byte %1").arg(offset);
    if (bit >= 0) text += QStringLiteral(", bit %1").arg(bit);
    return text + QStringLiteral(": 0x") +
           QString::number(value, 16).toUpper().rightJustified(2, QLatin1Char('0'));
}

bool saveShot(const Surface& surface, const QString& folder, const QString& systemTime,
              const char* suffix, QString* error) {
    const QString path = QDir(folder).filePath(systemTime + QLatin1String(suffix));
    QString reason;
    if (surface.saveBitmap(path, &reason)) return true;
    if (error)
        *error =
            QStringLiteral("Could not write %1: %2").arg(QDir::toNativeSeparators(path), reason);
    return false;
}

}  // namespace pelsid
