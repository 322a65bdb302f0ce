#pragma once
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

namespace pelsid::test {

// Lets the event loop run until `done` holds or `ms` milliseconds have passed.
template <class F>
bool waitFor(F done, int ms) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(2);
    }
    return done();
}

}  // namespace pelsid::test
