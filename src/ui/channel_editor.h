// The channel editor of the main window: the channel list (pictB) with its grid and list
// buttons, and the channel panel (pictC) in which one channel is edited and saved.
#pragma once

#include <QObject>
#include <QString>
#include <array>

#include "edit/channel_panel.h"
#include "edit/channel_table.h"
#include "ui/focus_refusal.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;
class QWidget;

namespace mrw {

class ConnectorLine;
class MainWindow;
struct Config;
struct NodeTarget;

/// Binds the channel list and the channel panel to the channel editing rules. It holds no
/// rules of its own: it copies what the rules compute into its controls and sends the user's
/// actions back; every change of the data model goes through EditModel.
class ChannelEditor : public QObject {
    Q_OBJECT
public:
    /// Builds the editor's widgets in the window's pictB and pictC panels and attaches it to
    /// the window. The editor belongs to the pictB panel and lives as long as the window.
    static ChannelEditor* Install(MainWindow& window, Config& config);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // One frequency box with its pending edit.
    struct FrequencyBox {
        QLineEdit* edit = nullptr;
        const char* title = "";  // caption of its error message, also its hint
        bool pending = false;    // the user changed the text since it was last checked
    };

    ChannelEditor(MainWindow& window, Config& config);
    void BuildList();
    void BuildPanel();

    // The channel list.
    void ShowList(const NodeTarget& target);
    void FillGrid();
    /// The width the list panel needs to show every column of the widest table.
    int GridWidthNeeded() const;
    int SelectedRow() const;
    void NewCommand();
    void EditCommand();
    void DeleteCommand();

    // The channel panel.
    void OpenPanel(const ChannelRecord& record);
    void SetLayoutFor(bool user);
    void FillStandard(const ChannelRecord& record);
    void FillUser(const ChannelRecord& record);
    void ApplyChannelEnable();
    void ApplyTransmitRules();
    void ApplyBaseChannel();
    ChannelPanelValues PanelValues() const;
    /// SAVE; true when the channel was stored.
    bool Save();
    /// Before a command leaves the panel: with changes, asks whether to store them (Yes
    /// stores as SAVE does, No drops them, Cancel stays); false to stay.
    bool ConfirmLeave();
    void Cancel();
    bool CommitPendingEdit();
    bool PanelActive() const;

    // The frequency boxes.
    FrequencyBox* BoxOf(const QObject* object);
    bool Handles(const FrequencyBox& box) const;
    bool Validate(FrequencyBox& box, bool deferRefusal);
    void RefuseFrequency(FrequencyBox& box);
    /// Validate of the display text box: false (with its message) for a blank text typed.
    bool ValidateDisplay(bool deferRefusal);
    void RefuseDisplay();
    void LostFocus(FrequencyBox& box);
    void SetBoxText(QLineEdit* edit, const QString& text);
    void OnFocusIn(QWidget* widget, Qt::FocusReason reason);
    void OnFocusOut(QWidget* widget, Qt::FocusReason reason);

    MainWindow& window_;
    Config& config_;
    ChannelListState list_;
    bool fillingGrid_ = false;
    bool displayPending_ = false;  // the user changed the display text since it was checked
    FocusRefusal refusal_{this};   // of a frequency box that refused to let the focus go

    QWidget* pictB_ = nullptr;
    QWidget* pictC_ = nullptr;
    QTableWidget* grid_ = nullptr;
    QPushButton* newButton_ = nullptr;
    QPushButton* editButton_ = nullptr;
    QPushButton* deleteButton_ = nullptr;

    QLabel* positionLabel_ = nullptr;
    QComboBox* baseChannel_ = nullptr;
    QLineEdit* display_ = nullptr;
    QLabel* rxLabel_ = nullptr;
    QLabel* txLabel_ = nullptr;
    std::array<FrequencyBox, 2> frequency_{};
    std::array<QLabel*, 2> units_{};
    QCheckBox* channelEnable_ = nullptr;
    QFrame* expFrame_ = nullptr;
    std::array<QCheckBox*, 3> expGroups_{};
    QLabel* duplexLabel_ = nullptr;
    QComboBox* duplex_ = nullptr;
    QLabel* statusNoLabel_ = nullptr;
    QComboBox* statusNo_ = nullptr;
    QLabel* statusIconLabel_ = nullptr;
    QComboBox* statusIcon_ = nullptr;
    QFrame* txFrame_ = nullptr;
    QCheckBox* txEnable_ = nullptr;
    QCheckBox* lowPower_ = nullptr;
    QCheckBox* powerUp_ = nullptr;
    ConnectorLine* lowPowerLine_ = nullptr;
    ConnectorLine* powerUpLine_ = nullptr;
    QCheckBox* scan_ = nullptr;
    QLabel* scrambleLabel_ = nullptr;
    QComboBox* scramble_ = nullptr;
    QLabel* tagLabel_ = nullptr;
    QLineEdit* tag_ = nullptr;
    QCheckBox* interShip_ = nullptr;
    QPushButton* saveButton_ = nullptr;
    /// What the panel held when NEW or EDIT opened it.
    ChannelPanelValues opened_;
    QPushButton* cancelButton_ = nullptr;
};

}  // namespace mrw
