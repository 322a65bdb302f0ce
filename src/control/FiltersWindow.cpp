#include "control/FiltersWindow.h"

#include "control/FixedWindowFlags.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPushButton>

#include "store/Dialogs.h"
#include "views/Color.h"

namespace pelsid {

namespace {
struct Row {
    ProtocolClass cls;
    const char* toggle;
    const char* caption;
    const char* swatch;
};
// Top to bottom as the window shows them.
constexpr Row kRows[] = {
    {ProtocolClass::TCP, "tglTCP", "TCP", "picTCP"},
    {ProtocolClass::UDP, "tglUDP", "UDP", "picUDP"},
    {ProtocolClass::ICMP, "tglICMP", "ICMP", "picICMP"},
    {ProtocolClass::IGMP, "tglIGMP", "IGMP", "picIGMP"},
    {ProtocolClass::OtherTransport, "tglOtherTransport", "other legal", "picOtherTransport"},
    {ProtocolClass::UnassignedTransport, "tglUnkTransport", "unassigned", "picUnassignedTransport"},
};
// 139 pixels leave too little title bar for "filters" where the window
// manager keeps its minimise and maximise buttons on a fixed window; the rows
// stay centred in the 16 more.
constexpr int kClientWidth = 155;
constexpr int kIndent = (kClientWidth - 139) / 2;
}  // namespace

FiltersWindow::FiltersWindow(FilterModel& model, Dialogs& dialogs, QWidget* parent)
    : QWidget(parent, fixedWindowFlags()), model_(model), dialogs_(dialogs) {
    setObjectName(QStringLiteral("frmEncodings"));
    setWindowTitle(QStringLiteral("filters"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(kClientWidth, 203);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(64, 64, 64));
    setPalette(pal);
    setAutoFillBackground(true);
    model_.reset();

    int y = 8;
    for (const Row& r : kRows) {
        auto* t = new QPushButton(QString::fromLatin1(r.caption), this);
        t->setObjectName(QString::fromLatin1(r.toggle));
        t->setCheckable(true);
        t->setGeometry(kIndent + 8, y, 89, 25);
        t->setStyleSheet(
            QStringLiteral("QPushButton { background: rgb(192,192,192); color: black; }"
                           "QPushButton:checked { background: rgb(128,128,128); }"));
        const ProtocolClass c = r.cls;
        connect(t, &QPushButton::toggled, this, [this, c](bool on) { model_.setHidden(c, on); });
        toggles_[int(c)] = t;

        auto* s = new QWidget(this);
        s->setObjectName(QString::fromLatin1(r.swatch));
        s->setGeometry(kIndent + 104, y, 25, 25);
        s->setAutoFillBackground(true);
        s->setCursor(Qt::PointingHandCursor);
        s->installEventFilter(this);
        swatches_[int(c)] = s;
        paintSwatch(c);
        y += 32;
    }
}

void FiltersWindow::paintSwatch(ProtocolClass c) {
    QPalette pal = swatches_[int(c)]->palette();
    pal.setColor(QPalette::Window, QColor::fromRgb(toQRgb(model_.color(c))));
    swatches_[int(c)]->setPalette(pal);
}

void FiltersWindow::chooseColor(ProtocolClass c) {
    model_.setColor(c, dialogs_.chooseColor(model_.color(c)));
    paintSwatch(c);
}

bool FiltersWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease) {
        for (int i = 0; i < kProtocolClassCount; ++i)
            if (watched == swatches_[i]) {
                chooseColor(ProtocolClass(i));
                return true;
            }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace pelsid
