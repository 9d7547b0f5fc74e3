#include "ui/mmsi_info_label.h"

#include <QEvent>
#include <QLineEdit>
#include <QPalette>

#include "edit/directory_mmsi.h"

namespace mrw {

MmsiInfoLabel::MmsiInfoLabel(QLineEdit* edit, MmsiUse use, QWidget* parent)
    : QLabel(parent), edit_(edit), use_(use) {
    setTextFormat(Qt::PlainText);
    // A long country name wraps rather than widening the panel it stands in.
    setWordWrap(true);
    setTextInteractionFlags(Qt::TextSelectableByMouse);
    if (edit != nullptr) {
        connect(edit, &QLineEdit::textChanged, this, [this] { Refresh(); });
        edit->installEventFilter(this);
    }
    Describe(edit != nullptr ? edit->text() : QString());
}

void MmsiInfoLabel::SetUse(MmsiUse use, const QString& prefix) {
    use_ = use;
    prefix_ = prefix;
    Describe(edit_ ? prefix_ + edit_->text() : QString());
}

void MmsiInfoLabel::Refresh() {
    const QString number = edit_ ? prefix_ + edit_->text() : QString();
    if (number != described_) {
        Describe(number);
    }
}

void MmsiInfoLabel::Describe(const QString& number) {
    described_ = number;
    const MmsiNote note = NoteOnMmsi(number.trimmed().toStdString(), use_);
    warning_ = note.warning;
    const QString text = QString::fromStdString(note.text);
    setText(text);
    setToolTip(text);
    QPalette colours;  // the application's
    if (warning_) {
        colours.setColor(QPalette::WindowText, QColor(0xB0, 0x1C, 0x1C));
    }
    setPalette(colours);
}

bool MmsiInfoLabel::eventFilter(QObject* watched, QEvent* event) {
    // A fill that blocks the box's signals still redraws it.
    // The event type first: a box being destroyed still sends events, and is no QLineEdit
    // any more by then.
    if ((event->type() == QEvent::Paint || event->type() == QEvent::Show) && watched == edit_) {
        Refresh();
    }
    return QLabel::eventFilter(watched, event);
}

}  // namespace mrw
