// Small widgets of the channel panel: the character filter of its entry boxes and the lines
// that connect the transmit check boxes.
#pragma once

#include <QString>
#include <QValidator>
#include <QWidget>
#include <functional>

#include "edit/channel_lists.h"

class QLineEdit;

namespace mrw {

/// Keeps, of what the user types, pastes or drops into an entry box, only the characters the
/// box takes; what the box already held stays. Texts the program sets while `programFills`
/// answers true pass unchanged.
class EntryValidator : public QValidator {
public:
    EntryValidator(EntryBox box, QLineEdit* edit, std::function<bool()> programFills);
    State validate(QString& input, int& pos) const override;

private:
    EntryBox box_;
    QString before_;  // the box's text before the change being validated
    std::function<bool()> programFills_;
};

/// Gives `edit` the length limit and character filter of `box`.
void ApplyEntryRules(QLineEdit* edit, EntryBox box, std::function<bool()> programFills);

/// A line from the middle of its top edge down and across to its right edge, joining a check
/// box to the one it enables. Drawn in the window-text colour while the joined box is
/// enabled, in a grey otherwise.
class ConnectorLine : public QWidget {
public:
    explicit ConnectorLine(QWidget* parent = nullptr);
    void SetActive(bool active);
    bool IsActive() const { return active_; }
    /// The colour the line is drawn in now.
    QColor LineColor() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool active_ = true;
};

}  // namespace mrw
