// The main window's own key rule: it sees every key before its controls, and the Enter key,
// as a character, never reaches a text box. A box's own key handler (an event filter on it,
// as txtUsable's KeyDown) still sees the key; grids and other controls get it as usual.
#pragma once

#include <QObject>
#include <QPointer>

class QWidget;

namespace mrw {

/// Watches the key presses of every control of `window`. An Enter (Return or keypad Enter)
/// pressed in a text box goes to the box's event filters only: the box itself neither takes
/// it as input nor reports it (returnPressed, editingFinished), and it goes no further up the
/// window. Other windows (message boxes, dialogs) are left alone.
class WindowKeys : public QObject {
    Q_OBJECT
public:
    /// Installs the rule for `window`; it lives as long as the window.
    static WindowKeys* Install(QWidget& window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit WindowKeys(QWidget& window);

    QWidget& window_;
    QPointer<QWidget> offering_;  // the text box whose handlers are being offered the key
};

/// True for the controls in which a typed character is input: line edits, text edits.
bool IsTextBox(const QObject* object);

}  // namespace mrw
