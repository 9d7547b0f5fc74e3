// Keeping the focus on an entry box whose pending edit was refused as the focus left it.
#pragma once

#include <Qt>
#include <functional>

class QEvent;
class QObject;
class QWidget;

namespace mrw {

/// True when the focus moved because the window or a popup took or gave it back, not because
/// the user moved within the panel: such a move is no entry into or out of a box.
inline bool IsWindowFocusChange(Qt::FocusReason reason) {
    return reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason;
}

/// The refusal of an editor's entry boxes. A box validated as the focus moves away from it
/// may refuse its text; the refusal then waits until the event that moved the focus is done
/// (Defer), gives the focus back to the box (RestoreFocus) and tells the user why. Until it
/// has run, the click that moved the focus is not for the control clicked (Swallows), and the
/// focus coming back is no fresh entry into the box (Restoring).
class FocusRefusal {
public:
    /// `context` is the editor: a refusal still waiting when it is destroyed never runs.
    explicit FocusRefusal(QObject* context) : context_(context) {}

    /// A deferred refusal waits to run.
    bool Pending() const { return pending_; }
    /// The focus is being given back to the refusing box.
    bool Restoring() const { return restoring_; }
    /// True for a mouse press or double click while a refusal waits: the editor's event filter
    /// swallows it.
    bool Swallows(const QEvent* event) const;
    /// Runs `refuse` once the current event is done; Pending() until then.
    void Defer(std::function<void()> refuse);
    /// Forgets that a refusal waits (the panel was filled again or put away); the refusal
    /// itself still runs and checks for itself whether there is anything left to refuse.
    void Clear() { pending_ = false; }
    /// Gives the focus back to `box` unless it has it, with Restoring() true meanwhile.
    void RestoreFocus(QWidget* box);

private:
    QObject* context_;
    bool pending_ = false;
    bool restoring_ = false;
};

}  // namespace mrw
