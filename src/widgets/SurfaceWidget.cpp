#include "widgets/SurfaceWidget.h"

#include <QMouseEvent>
#include <QPainter>
#include <utility>

#include "raster/Surface.h"

namespace pelsid {

SurfaceWidget::SurfaceWidget(Surface& surface, const QString& objectName, QWidget* parent)
    : QWidget(parent), surface_(surface) {
    setObjectName(objectName);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    startTimer(33);
}

void SurfaceWidget::setBordered(bool bordered) {
    bordered_ = bordered;
    update();
}

void SurfaceWidget::refresh() {
    if (surface_.revision() != shownRevision_) update();
}

void SurfaceWidget::setHighlight(std::uint32_t packetNumber) {
    if (packetNumber == highlight_) return;
    highlight_ = packetNumber;
    update();
}

void SurfaceWidget::timerEvent(QTimerEvent*) {
    if (isVisible()) refresh();
}

void SurfaceWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    shownRevision_ = surface_.revision();
    if (width() > surface_.width() || height() > surface_.height()) p.fillRect(rect(), Qt::black);
    surface_.paint(p, 0, 0);
    if (highlight_ != 0) p.drawImage(0, 0, surface_.maskOf(highlight_, kHighlight));
    if (bordered_) {
        p.setPen(Qt::white);
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void SurfaceWidget::mousePressEvent(QMouseEvent* e) {
    emit mousePressed(e->position().toPoint());
}

void SurfaceWidget::mouseReleaseEvent(QMouseEvent* e) {
    emit mouseReleased(e->position().toPoint());
    // The release that ends a double-click is not a second click.
    const bool second = std::exchange(doubleClicking_, false);
    if (e->button() == Qt::LeftButton && !second && rect().contains(e->position().toPoint())) {
        emit clicked();
        emit clickedAt(e->position().toPoint());
    }
}

void SurfaceWidget::mouseDoubleClickEvent(QMouseEvent* e) {
    doubleClicking_ = e->button() == Qt::LeftButton;
    emit doubleClicked();
}

void SurfaceWidget::mouseMoveEvent(QMouseEvent* e) {
    emit mouseMoved(e->position().toPoint());
}

}  // namespace pelsid
