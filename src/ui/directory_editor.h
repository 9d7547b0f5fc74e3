// The directory editor of the main window: the directory list (pictE) with its grid, and the
// entry panel (pictG) in which one slot of the individual or group directory is edited.
#pragma once

#include <QObject>
#include <QString>
#include <array>
#include <string>

#include "edit/directory_rules.h"
#include "ui/focus_refusal.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QTableWidget;
class QWidget;

namespace mrw {

class MainWindow;
class MmsiInfoLabel;
struct Config;
struct NodeTarget;

/// Binds the directory list and the entry panel to the directory rules. It holds no rules of
/// its own: it copies what the rules compute into its controls and sends the user's actions
/// back; every change of the data model goes through EditModel.
class DirectoryEditor : public QObject {
    Q_OBJECT
public:
    /// Builds the directory list and the entry panel in the window's pictE and pictG panels,
    /// the weather panel in pictD, and the window's key rule for its text boxes (WindowKeys).
    /// The editor belongs to the pictE panel and lives as long as the window.
    static DirectoryEditor* Install(MainWindow& window, Config& config);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    DirectoryEditor(MainWindow& window, Config& config);
    void BuildList();
    void BuildEntryPanel();

    // The directory list.
    void ShowList(const NodeTarget& target);
    void FillGrid();
    void OpenRow(int row);

    // The entry panel.
    void ShowEntry(const NodeTarget& target);
    void FillEntry();
    void AfterChange();
    void EnableClicked();
    void DeleteClicked();
    void CommitName();
    /// Validate of the name box: false (with its message) for a blank name typed.
    bool ValidateName(bool deferRefusal);
    void RefuseName();
    void MmsiTyped();
    bool ValidateMmsi();
    void RefuseMmsi();
    void MmsiLostFocus();
    bool CommitPendingEdit();
    bool EntryActive() const;

    void OnFocusIn(QWidget* widget, Qt::FocusReason reason);
    void OnFocusOut(QWidget* widget, Qt::FocusReason reason);

    MainWindow& window_;
    Config& config_;
    Directory listDirectory_ = Directory::Individual;  // the directory the list shows
    std::array<int, 2> listRows_{};                    // the row last chosen in each list
    Directory directory_ = Directory::Individual;      // the entry panel's directory
    int slot_ = 0;                                     // and slot, from 1
    bool namePending_ = false;    // the name box was typed into since it was last checked
    bool mmsiPending_ = false;    // the MMSI box was typed into since it was last checked
    FocusRefusal refusal_{this};  // of the MMSI box, when it refused to let the focus go

    QWidget* pictE_ = nullptr;
    QWidget* pictG_ = nullptr;
    QTableWidget* grid_ = nullptr;
    QLabel* title_ = nullptr;  // which slot of which directory is shown
    QCheckBox* enable_ = nullptr;
    QCheckBox* delete_ = nullptr;
    QLabel* tagLabel_ = nullptr;
    QLineEdit* name_ = nullptr;
    QLabel* mmsiLabel_ = nullptr;
    QLabel* groupLabel_ = nullptr;
    QLineEdit* mmsi_ = nullptr;
    MmsiInfoLabel* mmsiInfo_ = nullptr;
};

}  // namespace mrw
