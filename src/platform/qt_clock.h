// Time and event pumping of the desktop program, behind the Clock service.
#pragma once

#include <QElapsedTimer>

#include "core/services.h"

namespace mrw {

/// Real time; pauses keep the user interface alive by running a local event loop.
class QtClock : public Clock {
public:
    QtClock() { timer_.start(); }
    /// Waits `ms` milliseconds while processing window events (repaints, a Cancel button).
    void Sleep(int ms) override;
    /// Seconds since the clock was made, from a monotonic timer.
    double Seconds() override;
    /// Processes the pending window events once.
    void PumpEvents() override;

private:
    QElapsedTimer timer_;
};

}  // namespace mrw
