#include "ui/wheel_scroll.h"

#include <QAbstractScrollArea>
#include <QEvent>
#include <QScrollBar>
#include <QWheelEvent>

namespace mrw {

WheelRowScroller::WheelRowScroller(QAbstractScrollArea* grid) : QObject(grid), grid_(grid) {
    grid_->installEventFilter(this);
    grid_->viewport()->installEventFilter(this);
    active_ = grid_->hasFocus();
}

bool WheelRowScroller::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::FocusIn:
            if (watched == grid_) {
                active_ = true;
            }
            break;
        case QEvent::FocusOut:
            if (watched == grid_) {
                active_ = false;
            }
            break;
        case QEvent::Wheel: {
            if (!active_) {
                break;
            }
            auto* wheel = static_cast<QWheelEvent*>(event);
            const int delta = wheel->angleDelta().y();
            if (delta == 0) {
                break;  // a horizontal wheel keeps its own handling
            }
            QScrollBar* bar = grid_->verticalScrollBar();
            if (bar != nullptr) {
                bar->triggerAction(delta > 0 ? QAbstractSlider::SliderSingleStepSub
                                             : QAbstractSlider::SliderSingleStepAdd);
            }
            wheel->accept();
            return true;
        }
        default:
            break;
    }
    return QObject::eventFilter(watched, event);
}

void AttachWheelScrolling(QAbstractScrollArea* grid, bool debugMode) {
    if (grid == nullptr || debugMode) {
        return;
    }
    new WheelRowScroller(grid);
}

}  // namespace mrw
