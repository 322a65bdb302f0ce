#include "pipeline/GuiThread.h"

#include <QCoreApplication>
#include <QThread>

namespace pelsid {

bool onGuiThread() {
    const QCoreApplication* app = QCoreApplication::instance();
    return !app || QThread::currentThread() == app->thread();
}

void offGuiThread(const char* function) {
    qFatal("%s ran off the GUI thread", function);
}

}  // namespace pelsid
