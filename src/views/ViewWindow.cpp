#include "views/ViewWindow.h"

#include <QKeyEvent>
#include <QStringList>
#include <QToolTip>
#include <memory>

#include "pipeline/PacketSelection.h"
#include "widgets/SurfaceWidget.h"

#include "raster/Surface.h"
#include "widgets/DarkGrey.h"

namespace pelsid {

ViewWindow::ViewWindow(ViewContext& context, ViewRenderer& renderer, bool ownsRenderer,
                       const QString& objectName, const QString& caption, QWidget* parent)
    : QWidget(parent, Qt::Window),
      context_(context),
      owned_(ownsRenderer ? &renderer : nullptr),
      renderer_(renderer) {
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

ViewWindow::~ViewWindow() {
    // The pictures show the renderer's surfaces: they go first.
    qDeleteAll(findChildren<QWidget*>(Qt::FindDirectChildrenOnly));
}

std::uint32_t ViewWindow::packetAt(SurfaceWidget& picture, QPoint pos) const {
    return renderer_.packetAt(picture.objectName(), pos);
}

QString ViewWindow::toolTipAt(SurfaceWidget& picture, QPoint pos) {
    const int number = int(packetAt(picture, pos));
    const std::unique_ptr<HeldPacket> held =
        context_.selection ? context_.selection->lookUp(number) : nullptr;
    QStringList lines;
    const QString byte =
        renderer_.byteText(picture.objectName(), pos, held ? &held->packet : nullptr);
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

}  // namespace pelsid
