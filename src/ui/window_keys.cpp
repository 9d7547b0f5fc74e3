#include "ui/window_keys.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QWidget>

namespace mrw {

namespace {

bool IsEnterKey(const QKeyEvent& key) {
    return key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter;
}

}  // namespace

bool IsTextBox(const QObject* object) {
    return qobject_cast<const QLineEdit*>(object) != nullptr ||
           qobject_cast<const QTextEdit*>(object) != nullptr ||
           qobject_cast<const QPlainTextEdit*>(object) != nullptr;
}

WindowKeys* WindowKeys::Install(QWidget& window) {
    return new WindowKeys(window);
}

WindowKeys::WindowKeys(QWidget& window) : QObject(&window), window_(window) {
    setObjectName("windowKeys");
    qApp->installEventFilter(this);
}

bool WindowKeys::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || !IsEnterKey(*static_cast<QKeyEvent*>(event))) {
        return false;
    }
    auto* box = qobject_cast<QWidget*>(watched);
    if (box == nullptr || box == offering_) {
        return false;
    }
    if (offering_ != nullptr && box->isAncestorOf(offering_)) {
        // The box left the key alone and it travels up to the box's parents: it ends here.
        event->accept();
        return true;
    }
    if (!IsTextBox(box) || box->window() != &window_) {
        return false;
    }
    // The key is delivered once more with the box silenced: its event filters see it and may
    // act on it; the box itself does nothing with it. Multi-line boxes would take it as a line
    // break, so they do not get it at all.
    if (qobject_cast<QLineEdit*>(box) != nullptr) {
        const QPointer<QWidget> outer = offering_;
        const QPointer<QWidget> alive = box;  // a handler may close the panel it is on
        offering_ = box;
        const bool wasSilent = box->blockSignals(true);
        QCoreApplication::sendEvent(box, event);
        if (alive != nullptr) {
            alive->blockSignals(wasSilent);
        }
        offering_ = outer;
    }
    event->accept();
    return true;
}

}  // namespace mrw
