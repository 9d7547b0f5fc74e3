// The line beside an MMSI box that tells what the number in it is: kind of station and
// country, or what looks wrong. It informs only; the box's own rules decide what is stored.
#pragma once

#include <QLabel>
#include <QPointer>
#include <QString>

#include "edit/mmsi_info.h"

class QLineEdit;

namespace mrw {

/// Follows an MMSI box as it is typed into or filled by the program, and shows the line
/// DescribeMmsi builds from the number in it (empty while fewer than nine digits are there).
/// Warnings are drawn in a warning colour. Put it beside the box:
///
///     auto* info = new MmsiInfoLabel(txtUserMMSI, MmsiUse::OwnShip, panel);
///     info->setObjectName("lblUserMMSIInfo");
///
/// It also follows texts set while the box's signals are blocked (it looks again whenever
/// the box is drawn); Refresh() brings it up to date at once.
class MmsiInfoLabel : public QLabel {
    Q_OBJECT
public:
    MmsiInfoLabel(QLineEdit* edit, MmsiUse use, QWidget* parent = nullptr);

    /// What the box's number is used for, and the digits that stand before the box's text
    /// (the fixed "0" of a group MMSI box). Shows the line again.
    void SetUse(MmsiUse use, const QString& prefix = QString());
    /// Shows the line for the box's text now.
    void Refresh();
    /// The line shown says what looks wrong.
    bool IsWarning() const { return warning_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Describe(const QString& number);

    QPointer<QLineEdit> edit_;
    MmsiUse use_;
    QString prefix_;
    QString described_;  // the number the line was built from
    bool warning_ = false;
};

}  // namespace mrw
