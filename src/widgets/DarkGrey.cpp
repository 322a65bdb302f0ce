#include "widgets/DarkGrey.h"

#include <QWidget>

namespace pelsid {

void paintDarkGrey(QWidget* w) {
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, QColor(64, 64, 64));
    pal.setColor(QPalette::WindowText, Qt::white);
    w->setPalette(pal);
    w->setAutoFillBackground(true);
}

}  // namespace pelsid
