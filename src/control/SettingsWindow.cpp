#include "control/SettingsWindow.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

#include "control/FixedWindowFlags.h"
#include "raster/Color.h"
#include "store/Dialogs.h"

namespace pelsid {

SettingsWindow::SettingsWindow(Dialogs& dialogs, QWidget* parent)
    : QWidget(parent, fixedWindowFlags()), dialogs_(dialogs) {
    setObjectName(QStringLiteral("frmSettings"));
    setWindowTitle(QStringLiteral("Settings"));
    setAttribute(Qt::WA_DeleteOnClose);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(224, 224, 224));
    setPalette(pal);
    setAutoFillBackground(true);
    setFixedSize(232, 360);
    QFont sans(QStringLiteral("MS Sans Serif"));
    sans.setStyleHint(QFont::SansSerif);
    sans.setPointSizeF(8.25);
    setFont(sans);

    auto* title = new QLabel(QStringLiteral("Global Settings"), this);
    title->setObjectName(QStringLiteral("lblSettings"));
    title->setFont(QFont(QStringLiteral("Verdana"), 9));
    title->setGeometry(8, 16, 209, 25);

    struct Row {
        const char* caption;
        int y;
        std::uint32_t color;
    };
    const Row rows[kSwatches] = {
        {"UDP in Color", 48, rgb(192, 64, 0)},   {"UDP out Color", 88, rgb(255, 128, 0)},
        {"TCP in Color", 144, rgb(0, 128, 0)},   {"TCP out Color", 184, rgb(0, 255, 0)},
        {"Background Color", 240, rgb(0, 0, 0)},
    };
    for (int i = 0; i < kSwatches; ++i) {
        auto* b = new QPushButton(this);
        b->setObjectName(QStringLiteral("Command%1").arg(i + 1));
        b->setGeometry(8, rows[i].y, 81, 33);
        QString caption = QString::fromLatin1(rows[i].caption);
        if (b->fontMetrics().horizontalAdvance(caption) > b->width() - 8)
            caption.replace(caption.lastIndexOf(u' '), 1,
                            u'\n');  // two lines, as the button is tall
        b->setText(caption);
        connect(b, &QPushButton::clicked, this, [this, i] { chooseColor(i); });
        shapes_[i] = new QFrame(this);
        shapes_[i]->setObjectName(QStringLiteral("Shape1(%1)").arg(i));
        shapes_[i]->setFrameShape(QFrame::Box);
        shapes_[i]->setAutoFillBackground(true);
        shapes_[i]->setGeometry(104, rows[i].y, 33, 33);
        colors_[i] = rows[i].color;
        paintSwatch(i);
    }

    auto* done = new QPushButton(QStringLiteral("Done"), this);
    done->setObjectName(QStringLiteral("btnDone"));
    done->setGeometry(72, 312, 81, 33);
    connect(done, &QPushButton::clicked, this, &QWidget::hide);
}

void SettingsWindow::chooseColor(int index) {
    colors_[index] = dialogs_.chooseColor(rgb(0, 0, 0));  // the dialog always starts from black
    paintSwatch(index);
}

void SettingsWindow::paintSwatch(int index) {
    QPalette pal = shapes_[index]->palette();
    pal.setColor(QPalette::Window, QColor::fromRgb(toQRgb(colors_[index])));
    shapes_[index]->setPalette(pal);
}

}  // namespace pelsid
