#include "platform/qt_clock.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

namespace mrw {

void QtClock::Sleep(int ms) {
    if (QCoreApplication::instance() == nullptr) {
        return;
    }
    if (ms <= 0) {
        PumpEvents();
        return;
    }
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

double QtClock::Seconds() {
    return static_cast<double>(timer_.nsecsElapsed()) / 1e9;
}

void QtClock::PumpEvents() {
    if (QCoreApplication::instance() != nullptr) {
        QCoreApplication::processEvents();
    }
}

}  // namespace mrw
