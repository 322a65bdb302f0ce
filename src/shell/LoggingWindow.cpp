#include "shell/LoggingWindow.h"

#include <QPushButton>

#include "control/FixedWindowFlags.h"

namespace pelsid {

LoggingWindow::LoggingWindow(QWidget* parent) : QWidget(parent, fixedWindowFlags()) {
    setObjectName(QStringLiteral("frmLogging"));
    setWindowTitle(QStringLiteral("Logging"));
    setFixedSize(312, 213);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("btnLoggingOK"));
    ok->setGeometry(232, 152, 65, 49);
    connect(ok, &QPushButton::clicked, this, &LoggingWindow::okClicked);
}

}  // namespace pelsid
