#include "views/ViewWindow.h"

#include <QDir>
#include <QKeyEvent>
#include <QStringList>
#include <QToolTip>
#include <memory>

#include "pipeline/PacketSelection.h"
#include "views/SurfaceWidget.h"

#include "views/DarkGrey.h"
#include "views/Surface.h"

namespace pelsid {

ViewWindow::ViewWindow(ViewContext& context, const QString& objectName, const QString& caption,
                       QWidget* parent)
    : QWidget(parent, Qt::Window), context_(context) {
    setObjectName(objectName);
    setWindowTitle(caption);
    setAttribute(Qt::WA_DeleteOnClose);
    paintDarkGrey(this);
    if (context_.selection)
        connect(context_.selection, &PacketSelection::changed, this, &ViewWindow::showSelection);
}

void ViewWindow::linkPicture(SurfaceWidget* picture) {
    pictures_.push_back(picture);
    // Pointing at a mark names its packet in any view, not only the active one.
    setAttribute(Qt::WA_AlwaysShowToolTips);
    connect(picture, &SurfaceWidget::mouseMoved, this, [this, picture](QPoint pos) {
        // Only a held button reports moves beyond the picture: the tip stays.
        if (!picture->rect().contains(pos)) return;
        const QString tip = toolTipAt(*picture, pos);
        picture->setToolTip(tip);
        if (tip.isEmpty())
            QToolTip::hideText();
        else if (QToolTip::isVisible())
            QToolTip::showText(picture->mapToGlobal(pos), tip, picture);
    });
    connect(picture, &SurfaceWidget::clickedAt, this,
            [this, picture](QPoint pos) { clickAt(*picture, pos); });
    if (context_.selection) picture->setHighlight(std::uint32_t(context_.selection->selected()));
}

std::uint32_t ViewWindow::packetAt(SurfaceWidget& picture, QPoint pos) {
    return picture.surface().pickAt(pos.x(), pos.y());
}

QString ViewWindow::toolTipAt(SurfaceWidget& picture, QPoint pos) {
    const int number = int(packetAt(picture, pos));
    const std::unique_ptr<HeldPacket> held =
        context_.selection ? context_.selection->lookUp(number) : nullptr;
    QStringList lines;
    const QString byte = byteText(picture, pos, held ? &held->packet : nullptr);
    if (!byte.isEmpty()) lines << byte;
    if (held)
        lines << QStringLiteral("packet %1: %2")
                     .arg(number)
                     .arg(QString::fromStdString(held->summary));
    else if (number > 0)
        lines << QStringLiteral("packet %1 (no longer held)").arg(number);
    return lines.join(QLatin1Char('\n'));
}

void ViewWindow::clickAt(SurfaceWidget& picture, QPoint pos) {
    if (context_.selection) context_.selection->select(int(packetAt(picture, pos)));
}

QString ViewWindow::byteText(SurfaceWidget&, QPoint, const PlayedPacket*) const {
    return {};
}

void ViewWindow::showSelection(int packetNumber) {
    for (SurfaceWidget* p : pictures_) p->setHighlight(std::uint32_t(packetNumber));
}

void ViewWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && context_.selection && context_.selection->selected()) {
        context_.selection->clear();
        return;
    }
    QWidget::keyPressEvent(event);
}

QString byteDescription(int offset, int bit, const PlayedPacket& packet) {
    if (offset < 0 || offset >= packet.length) return {};
    const int value = packet.bytes[offset];
    QString text = QStringLiteral("byte %1").arg(offset);
    if (bit >= 0) text += QStringLiteral(", bit %1").arg(bit);
    return text + QStringLiteral(": 0x") +
           QString::number(value, 16).toUpper().rightJustified(2, QLatin1Char('0'));
}

bool ViewWindow::ScreenShot(const QString& folder, const QString& systemTime, QString* error) {
    for (const ShotFile& f : screenshotFiles())
        if (!saveShot(*f.surface, folder, systemTime, f.suffix, error)) return false;
    return true;
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
