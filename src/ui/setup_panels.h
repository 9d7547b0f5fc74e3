// The setup panels of the main window: usable channel groups (pictUsable), common setup
// (pictCommon), DSC setup with its tab strips and auto position frames (pictDSC), and ATIS
// setup (pictATIS), with the buttons that clear stored data in the radio.
#pragma once

#include <QString>
#include <array>

#include "ui/setup_widgets.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QTabWidget;

namespace mrw {

/// Builds the four setup panels in the window and attaches them: each fills itself when its
/// tree node is shown, and again on a view rebuild while it is the panel on view.
void InstallSetupPanels(MainWindow& window, Config& config);

/// pictUsable: chkUsable(0..3), cmbUsablePri(0..3), txtUsable(0..3) and chkEXP(0..2).
class UsablePanel : public SetupPanel {
    Q_OBJECT
public:
    UsablePanel(MainWindow& window, Config& config);

protected:
    void FillOwn() override;
    void AfterStore(const std::string& objectName) override;
    void AfterCommit(QLineEdit* edit, int group) override;

private:
    void ApplyEnables();
    void ShowExpCaptions();

    std::array<QLineEdit*, 4> names_{};
};

/// pictCommon: the eleven lists of the common setup, SCAN with the rows it enables.
class CommonPanel : public SetupPanel {
    Q_OBJECT
public:
    CommonPanel(MainWindow& window, Config& config);
};

/// pictDSC: the tab strips tbsDSC and tbsDSC_USER with their child panels pictDSCChild(k),
/// every DSC list, the user MMSI, the clear buttons and the two auto position frames.
class DscPanel : public SetupPanel {
    Q_OBJECT
public:
    DscPanel(MainWindow& window, Config& config);

protected:
    void FillOwn() override;
    void AfterStore(const std::string& objectName) override;
    void AfterCommit(QLineEdit* edit, int frame) override;
    void AfterTyping(QLineEdit* edit) override;

private:
    struct Frame {
        QCheckBox* enable = nullptr;
        QCheckBox* remote = nullptr;
        QComboBox* marine = nullptr;
        QComboBox* channel = nullptr;
        QComboBox* interval = nullptr;
        QComboBox* selectCall = nullptr;
        QComboBox* directory = nullptr;
        QComboBox* mmsiPick = nullptr;
        QLineEdit* mmsi = nullptr;
        QLabel* mmsiLabel = nullptr;
        std::vector<QWidget*> controls;  // enabled with the frame's Enable box
    };

    QWidget* BuildBasic();
    QWidget* BuildCalls(int firstType);
    QWidget* BuildDisplay();
    QWidget* BuildBeeps();
    QWidget* BuildPosRequest();
    QWidget* BuildLogClear();
    QWidget* BuildAutoPos();
    QWidget* BuildFrame(int frame, QWidget* parent);
    void FillFrame(int frame);
    void SelectTab(QTabWidget* strip, int index);

    QTabWidget* strip_ = nullptr;      // tbsDSC
    QTabWidget* userStrip_ = nullptr;  // tbsDSC_USER
    QLineEdit* userMmsi_ = nullptr;
    std::array<Frame, 2> frames_{};
};

/// pictATIS: chkATISChGroup(0..3), chkATISKiller(0..3), txtATIScode and the ATIS clear.
class AtisPanel : public SetupPanel {
    Q_OBJECT
public:
    AtisPanel(MainWindow& window, Config& config);

protected:
    void FillOwn() override;

private:
    QLineEdit* code_ = nullptr;
};

}  // namespace mrw
