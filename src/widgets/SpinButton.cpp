#include "widgets/SpinButton.h"

#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionButton>
#include <algorithm>

namespace pelsid {

namespace {
constexpr int kFirstRepeatMs = 300;  // as long as a held arrow waits before it repeats
constexpr int kRepeatMs = 50;
}  // namespace

SpinButton::SpinButton(QWidget* parent) : QSpinBox(parent) {
    // The number has no room here: its editor stays hidden, yet still takes typed digits.
    lineEdit()->hide();
    // A click on an arrow steps without taking the keyboard: the window's
    // own keys (Space, Left, Right, Home) must keep working after it.
    setFocusPolicy(Qt::TabFocus);
    repeat_.setSingleShot(false);
    connect(&repeat_, &QTimer::timeout, this, &SpinButton::repeatStep);
    // An arrow greys out at its end of the range.
    connect(this, &QSpinBox::valueChanged, this, qOverload<>(&QWidget::update));
}

QSize SpinButton::sizeHint() const {
    return {17, 25};
}

QSize SpinButton::minimumSizeHint() const {
    return {9, 10};
}

int SpinButton::arrowAt(QPoint pos) const {
    return pos.y() < height() / 2 ? 1 : -1;
}

void SpinButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const int half = height() / 2;
    const QRect halves[] = {QRect(0, 0, width(), half), QRect(0, half, width(), height() - half)};
    for (int i = 0; i < 2; ++i) {
        const int arrow = i == 0 ? 1 : -1;
        QStyleOptionButton b;
        b.initFrom(this);
        b.rect = halves[i];
        const bool canStep = arrow > 0 ? value() < maximum() : value() > minimum();
        if (!canStep || !isEnabled()) b.state &= ~QStyle::State_Enabled;
        b.state |= held_ == arrow && b.rect.contains(mapFromGlobal(QCursor::pos()))
                       ? QStyle::State_Sunken
                       : QStyle::State_Raised;
        b.state &= ~QStyle::State_HasFocus;
        style()->drawControl(QStyle::CE_PushButtonBevel, &b, &p, this);
        QStyleOption a = b;
        // Arrows in the buttons' text colour: the window's own may be white.
        const QPalette::ColorGroup group =
            a.state & QStyle::State_Enabled ? QPalette::Active : QPalette::Disabled;
        a.palette.setColor(QPalette::WindowText, palette().color(group, QPalette::ButtonText));
        const int side = std::max(3, std::min(b.rect.width(), b.rect.height()) - 6);
        a.rect = QRect(0, 0, side, side);
        a.rect.moveCenter(b.rect.center());
        style()->drawPrimitive(
            arrow > 0 ? QStyle::PE_IndicatorArrowUp : QStyle::PE_IndicatorArrowDown, &a, &p, this);
    }
    if (hasFocus()) {
        QStyleOptionFocusRect f;
        f.initFrom(this);
        f.rect = rect().adjusted(2, 2, -2, -2);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &f, &p, this);
    }
}

void SpinButton::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton || !isEnabled()) {
        e->ignore();
        return;
    }
    e->accept();
    if (focusPolicy() & Qt::ClickFocus) setFocus(Qt::MouseFocusReason);
    held_ = arrowAt(e->position().toPoint());
    stepBy(held_);
    repeat_.start(kFirstRepeatMs);
    update();
}

void SpinButton::mouseDoubleClickEvent(QMouseEvent* e) {
    // The second press of a quick pair is a step like the first.
    mousePressEvent(e);
}

void SpinButton::mouseMoveEvent(QMouseEvent* e) {
    e->accept();
    if (held_) update();
}

void SpinButton::mouseReleaseEvent(QMouseEvent* e) {
    e->accept();
    if (e->button() != Qt::LeftButton) return;
    held_ = 0;
    repeat_.stop();
    update();
}

void SpinButton::repeatStep() {
    repeat_.setInterval(kRepeatMs);
    // Only while the pointer is still on the arrow it pressed.
    if (held_ && arrowAt(mapFromGlobal(QCursor::pos())) == held_ &&
        rect().contains(mapFromGlobal(QCursor::pos())))
        stepBy(held_);
}

}  // namespace pelsid
