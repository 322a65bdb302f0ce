#include "shell/AboutWindow.h"

#include <QLabel>
#include <QPainter>

#include "control/FixedWindowFlags.h"
#include "widgets/DarkGrey.h"

namespace pelsid {

namespace {
// A little parallel-coordinates emblem for the About window.
QPixmap emblem() {
    QPixmap pm(96, 96);
    pm.fill(Qt::black);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor colours[] = {QColor(0, 255, 0), QColor(255, 128, 0), QColor(0, 0, 255),
                              QColor(255, 255, 128)};
    p.setPen(QColor(128, 128, 128));
    for (int x : {8, 48, 88}) p.drawLine(x, 6, x, 90);
    for (int i = 0; i < 12; ++i) {
        p.setPen(colours[i % 4]);
        const int a = 10 + (i * 37) % 76, b = 10 + (i * 53) % 76, c = 10 + (i * 29) % 76;
        p.drawLine(8, a, 48, b);
        p.drawLine(48, b, 88, c);
    }
    return pm;
}
}  // namespace

AboutWindow::AboutWindow(QWidget* parent) : QWidget(parent, fixedWindowFlags()) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("about pelsid"));
    setFixedSize(312, 128);
    paintDarkGrey(this);
    auto* pic = new QLabel(this);
    pic->setPixmap(emblem());
    pic->setGeometry(16, 16, 96, 96);
    QFont verdana(QStringLiteral("Verdana"));
    verdana.setPointSize(10);
    auto* name = new QLabel(QStringLiteral("pelsid network visualization"), this);
    name->setFont(verdana);
    name->setGeometry(128, 40, 180, 20);
    auto* version = new QLabel(QStringLiteral("version 1.86"), this);
    version->setFont(verdana);
    version->setGeometry(128, 68, 180, 20);
}

}  // namespace pelsid
