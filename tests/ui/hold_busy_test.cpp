// The desktop window keeps the pauses that show the user a load: its start-up holds the busy
// window on its clock for each of the two steps of loading the region's default image.
#include <QtTest>
#include <vector>

#include "core/config.h"
#include "ui/main_window.h"
#include "ui/window_harness.h"

namespace mrw {

// Virtual time that notes every pause asked of it.
struct NotingClock : VirtualClock {
    void Sleep(int ms) override {
        pauses.push_back(ms);
        VirtualClock::Sleep(ms);
    }
    std::vector<int> pauses;
};

class HoldBusyTest : public QObject {
    Q_OBJECT
private slots:
    void startUpHoldsTheWindowOnItsClock() {
        testing::BasicWindowHarness<NotingClock> h;
        QVERIFY(h.Load());
        QCOMPARE(h.clock.pauses, (std::vector<int>{500, 500}));
    }
};

}  // namespace mrw

QTEST_MAIN(mrw::HoldBusyTest)
#include "hold_busy_test.moc"
