#include "ui/focus_refusal.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <utility>

namespace mrw {

bool FocusRefusal::Swallows(const QEvent* event) const {
    const QEvent::Type type = event->type();
    return pending_ && (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick);
}

void FocusRefusal::Defer(std::function<void()> refuse) {
    pending_ = true;
    QTimer::singleShot(0, context_, [this, refuse = std::move(refuse)] {
        pending_ = false;
        refuse();
    });
}

void FocusRefusal::RestoreFocus(QWidget* box) {
    if (QApplication::focusWidget() == box) {
        return;
    }
    restoring_ = true;
    box->setFocus(Qt::OtherFocusReason);
    restoring_ = false;
}

}  // namespace mrw
