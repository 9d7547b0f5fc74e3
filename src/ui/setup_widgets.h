// What the four setup panels share: drop-down lists and check boxes bound to their setting
// descriptors, the entry boxes with their pending edits, the status-bar hints, and the fill
// that shows the data model without storing anything.
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "core/config.h"
#include "edit/setup_entry.h"
#include "edit/setup_lists.h"
#include "ui/focus_refusal.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace mrw {

class MainWindow;

/// Shows items in a drop-down list and selects one, without any signal.
void ShowListView(QComboBox* list, const ListView& view);

/// One setup panel: the widgets it builds inside the main window's panel of that name, bound
/// to the editing rules. Its fill shows the data model and never stores; each user action
/// stores through the rules (EditModel) and runs through the window's command gate.
class SetupPanel : public QObject {
    Q_OBJECT
public:
    SetupPanel(MainWindow& window, Config& config, const QString& panelName);

    /// Shows the data model in every control of the panel. Nothing is stored.
    void Fill();
    /// The panel widget (pictUsable, pictCommon, pictDSC, pictATIS).
    QWidget* panel() const { return panel_; }

protected:
    /// The panel's own part of the fill (Loading is set and every control is quiet).
    virtual void FillOwn() {}
    /// Runs after a bound list or check box stored the user's choice.
    virtual void AfterStore(const std::string& /*objectName*/) {}
    /// Runs after an entry box committed; `index` is the group of a status name, the frame
    /// of an auto-position MMSI.
    virtual void AfterCommit(QLineEdit* /*edit*/, int /*index*/) {}
    /// Runs when the user typed into a digit box (the picking list follows the text).
    virtual void AfterTyping(QLineEdit* /*edit*/) {}

    /// A drop-down list bound to a setting element; its enables follow its choice.
    QComboBox* AddList(const SettingList& list, QWidget* parent);
    /// A check box bound to a Boolean setting element.
    QCheckBox* AddCheck(const SettingCheck& check, QWidget* parent);
    /// A drop-down list whose choice `onPick` handles (with the chosen item's value).
    QComboBox* AddPickList(const QString& name, QWidget* parent, std::function<void(int)> onPick);
    /// txtUsable(group).
    QLineEdit* AddStatusNameBox(int group, QWidget* parent);
    /// A digit box: txtUserMMSI, txtAutoPosMMSI(frame), txtATIScode.
    QLineEdit* AddDigitBox(DigitBox box, int frame, const QString& name, QWidget* parent);
    /// A clear button running `mode` through the window's clear command; its count box, when
    /// given, shows the count the clear reports.
    QPushButton* AddClearButton(const QString& name, const QString& caption, int mode,
                                QLineEdit* countBox, QWidget* parent);
    /// A caption label.
    QLabel* AddLabel(const QString& name, const QString& caption, QWidget* parent);
    /// Shows the control's hint when it receives the focus.
    void Watch(QWidget* control);
    /// A tab bar that puts the page of the focused entry box away without taking the focus: a
    /// click on it first validates that box, and a refusal keeps the page.
    void GuardPageSwitch(QWidget* tabBar);

    /// Shows every bound list and check box again from the data model, with their enables.
    void FillBound();
    /// Applies the enables of every bound list.
    void ApplyListEnables();
    /// Enables the named controls of the panel (an array's name, "linScan", names them all).
    void EnableNamed(const std::vector<std::string>& names, bool enabled);
    /// Shows a stored value in a digit box.
    void ShowDigits(QLineEdit* edit, const std::string& text);
    /// The list or check box bound to this objectName, or null.
    QComboBox* ListNamed(const std::string& objectName) const;
    QCheckBox* CheckNamed(const std::string& objectName) const;

    bool eventFilter(QObject* watched, QEvent* event) override;

    MainWindow& window_;
    Config& config_;
    QWidget* panel_;

private:
    struct ListBinding {
        QComboBox* combo = nullptr;
        SettingList list;
        ListView view;
    };
    struct CheckBinding {
        QCheckBox* box = nullptr;
        SettingCheck check;
    };
    struct EntryBox {
        QLineEdit* edit = nullptr;
        bool statusName = false;  // txtUsable, else a digit box
        DigitBox digits = DigitBox::UserMmsi;
        int index = 0;         // the group of a status name, the frame of an auto-position MMSI
        bool pending = false;  // typed into since it was last committed
    };

    void StoreList(size_t binding, int index);
    EntryBox* EntryOf(const QObject* object);
    void Typed(EntryBox& box);
    /// Validate of the box (keep-text mode): false when it refuses.
    bool Validate(EntryBox& box);
    /// LostFocus of the box (restore mode).
    void LostFocus(EntryBox& box);
    void Refuse(EntryBox& box);
    bool CommitPendingEdit();
    /// Validates the focused digit box when it holds an entry that is refused: true when it
    /// refused (its message shown, the focus kept).
    bool RefuseFocusedEntry();
    void OnFocusIn(QWidget* widget, Qt::FocusReason reason);
    void OnFocusOut(QWidget* widget, Qt::FocusReason reason);

    std::vector<ListBinding> lists_;
    std::vector<CheckBinding> checks_;
    std::vector<EntryBox> entries_;
    std::vector<QObject*> pageSwitches_;
    FocusRefusal refusal_{this};  // of a digit box that refused to let the focus go
};

}  // namespace mrw
