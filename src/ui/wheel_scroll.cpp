#include "ui/wheel_scroll.h"

#include <QAbstractScrollArea>
#include <QEvent>
#include <QScrollBar>
#include <QWheelEvent>

namespace mrw {

WheelRowScroller::WheelRowScroller(QAbstractScrollArea* grid) : QObject(grid), grid_(grid) {
    grid_->viewport()->installEventFilter(this);
}

bool WheelRowScroller::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::Wheel) {
        return QObject::eventFilter(watched, event);
    }
    auto* wheel = static_cast<QWheelEvent*>(event);
    const int delta = wheel->angleDelta().y();
    QScrollBar* bar = grid_->verticalScrollBar();
    if (delta == 0 || bar == nullptr) {
        return false;  // a horizontal wheel keeps its own handling
    }
    bar->triggerAction(delta > 0 ? QAbstractSlider::SliderSingleStepSub
                                 : QAbstractSlider::SliderSingleStepAdd);
    wheel->accept();
    return true;
}

void AttachWheelScrolling(QAbstractScrollArea* grid, bool debugMode) {
    if (grid == nullptr || debugMode) {
        return;
    }
    new WheelRowScroller(grid);
}

}  // namespace mrw
