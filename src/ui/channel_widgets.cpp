#include "ui/channel_widgets.h"

#include <QLineEdit>
#include <QPainter>
#include <utility>

namespace mrw {

EntryValidator::EntryValidator(EntryBox box, QLineEdit* edit, std::function<bool()> programFills)
    : QValidator(edit), box_(box), before_(edit->text()), programFills_(std::move(programFills)) {
    connect(edit, &QLineEdit::textChanged, this, [this](const QString& text) { before_ = text; });
}

QValidator::State EntryValidator::validate(QString& input, int& pos) const {
    if (programFills_ && programFills_()) {
        return Acceptable;
    }
    const std::u32string kept =
        FilterInsertion(box_, before_.toStdU32String(), input.toStdU32String(), pos);
    input = QString::fromStdU32String(kept);
    return Acceptable;
}

void ApplyEntryRules(QLineEdit* edit, EntryBox box, std::function<bool()> programFills) {
    edit->setMaxLength(EntryMaxLength(box));
    edit->setValidator(new EntryValidator(box, edit, std::move(programFills)));
}

ConnectorLine::ConnectorLine(QWidget* parent) : QWidget(parent) {
    setFixedWidth(14);
    setMinimumHeight(12);
}

void ConnectorLine::SetActive(bool active) {
    if (active_ != active) {
        active_ = active;
        update();
    }
}

QColor ConnectorLine::LineColor() const {
    return active_ ? palette().color(QPalette::Active, QPalette::WindowText)
                   : palette().color(QPalette::Disabled, QPalette::WindowText);
}

void ConnectorLine::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setPen(QPen(LineColor(), 1));
    const int x = width() / 2;
    const int y = height() / 2;
    painter.drawLine(x, 0, x, y);
    painter.drawLine(x, y, width() - 1, y);
}

}  // namespace mrw
