// The main window frmMain: menus, toolbar, category tree, stacked panels, status bar and the
// commands of the File, Edit, Transfer, Region, Options and Help menus.
#pragma once

#include <QMainWindow>
#include <QRect>
#include <QString>
#include <array>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "core/config.h"
#include "ui/category_tree.h"
#include "ui/pending_edit.h"
#include "ui/serial_menu.h"

class QAbstractButton;
class QAction;
class QLabel;
class QListWidget;
class QMenu;
class QShortcut;
class QSplitter;
class QStackedWidget;
class QTimer;
class QToolBar;
class QTreeWidget;
class QTreeWidgetItem;

namespace mrw {

/// The status-bar hint shown whenever the category tree's selection is used.
inline constexpr const char* kTreeHint = "[Up]/[Down]/[Left]/[Right]:Change of a Selection item.";
/// The question asked before unsaved changes would be lost.
inline constexpr const char* kSaveChangesQuestion =
    "MRW data has changed.\nDo you want to save changes?";
/// Minimum window size in twips.
inline constexpr double kMinWidthTwips = 9105;
inline constexpr double kMinHeightTwips = 6660;
/// Closest the splitter comes to either side of the window, in twips.
inline constexpr double kSplitterLimitTwips = 2500;
/// The height of the window at a first start (within the screen), in pixels: room for about
/// twenty channel rows.
inline constexpr int kFirstStartHeight = 620;
/// How long the middle panel of the status bar confirms a save or an open, in milliseconds.
inline constexpr int kFileStatusMs = 5000;

/// The program's main window. It is the Shell through which core operations ask for view
/// rebuilds, and it reaches the configuration only through the Config it was given.
class MainWindow : public QMainWindow, public Shell {
    Q_OBJECT
public:
    /// Builds the window for `config` and attaches itself as the configuration's shell.
    explicit MainWindow(Config& config, QWidget* parent = nullptr);
    ~MainWindow() override;

    /// The load sequence: model types from global.ini, the stored model type, the serial-port
    /// menu, the window size, the reset to the defaults of the stored region. False when no
    /// model type is usable ("Unknown model!!" was shown): the program must end.
    bool Load();

    // ---- Shell ---------------------------------------------------------------------------
    void SetBusy(bool busy) override;
    void RebuildViews() override;
    void ShowCategory(const std::string& key) override;
    void UpdateWindowCaption() override;
    void RegionMenuChanged() override;
    std::string CurrentCategory() const override;
    void HistoryChanged() override;
    /// Pauses on the configuration's clock, events let through, so the user sees the step.
    void HoldBusy(int ms) override;

    // ---- Category tree -------------------------------------------------------------------
    /// Clears and rebuilds the tree from the data model, then applies the group captions.
    void BuildTree();
    /// Selects the node with exactly this key and shows its panel as a click would.
    bool SelectNodeByKey(const QString& key);
    /// Shows again the panel of the selected node.
    void ShowCurrentNode();
    /// The panel dispatch of a node.
    void ShowNodePanel(QTreeWidgetItem* node);
    /// Rewrites the captions of the children of "SM" or "SG" from the directories.
    void RefreshDirectoryCaptions(const QString& key);
    /// The index (1-based, in the order of adding) of the node whose panel is shown.
    int CurrentNodeIndex() const { return currentIndex_; }
    /// Tree position (1-based) of the node of channel group g (0..3), 0 when absent.
    int GroupNodePosition(int group) const { return groupPositions_.at(group); }
    /// The tree item with exactly this key, or null.
    QTreeWidgetItem* FindNode(const QString& key) const;

    // ---- Panels --------------------------------------------------------------------------
    /// The panel widget with this objectName (pictGeneral, pictB, ...), or null.
    QWidget* Panel(const QString& name) const;
    /// Called with the node's target each time a node shows this panel, before it is
    /// brought to the front; the editor of the panel fills it there.
    void SetPanelHandler(const QString& panel, std::function<void(const NodeTarget&)> handler);
    /// Runs on every view rebuild, before the tree is rebuilt (drop-down lists, grids).
    void AddRebuildHook(std::function<void()> hook);
    /// The width a panel needs to show its content whole (a grid with every column); the
    /// window opens wide enough for the widest when no placement was stored.
    void AddPanelWidthHint(std::function<int()> hint);
    /// Disables every panel.
    void DisablePanels();
    /// Brings the named panel to the front and enables it (the others are disabled).
    void BringPanelToFront(const QString& name);
    /// Panel 1 of the status bar.
    void ShowHint(const QString& text);

    // ---- Command dispatch ----------------------------------------------------------------
    /// The one gate of every command the user can start in this window: menu entries,
    /// toolbar buttons, shortcuts and the buttons and keys of the editor panels. While the
    /// window is busy, or another command is still running, it only beeps and returns false;
    /// otherwise it runs `command` and returns true.
    bool RunCommand(const std::function<void()>& command);
    /// Runs `command` through RunCommand whenever `action` is triggered. A refused checkable
    /// entry keeps the check it had.
    void ConnectCommand(QAction* action, std::function<void()> command);
    /// Runs `command` through RunCommand whenever the shortcut is activated.
    void ConnectCommand(QShortcut* shortcut, std::function<void()> command);
    /// Runs `command` through RunCommand whenever the button is clicked. A refused checkable
    /// button keeps the check it had.
    void ConnectCommand(QAbstractButton* button, std::function<void()> command);

    // ---- Commands ------------------------------------------------------------------------
    /// The validators of the editor panels.
    PendingEdits& pendingEdits() { return pendingEdits_; }
    /// Commits the edit in progress; false means it was refused and the command must stop.
    bool CommitPendingEdit();
    /// With unsaved changes asks "MRW data has changed. Do you want to save changes?";
    /// Yes saves as the Save command does. True when the caller may go on.
    bool OfferToSaveChanges();

    /// Edit > Undo and Redo: commit the pending entry, then move through the edit history.
    void EditUndo();
    void EditRedo();

    void FileNew();
    void FileOpen();
    void FileSave();
    void FileSaveAs();
    void FilePrint();
    void FilePrintToFile();
    /// Model menu entry k (model type k + 1).
    void ModelMenuCommand(int k);
    /// Region menu entry k.
    void RegionMenuCommand(int k);
    /// Transfer menu: commits the pending edit and opens the transfer dialog in this mode
    /// (0 read, 1 program, 2..10 clear).
    void TransferCommand(int mode);
    /// The one place where the transfer dialog opens.
    virtual void OpenTransferDialog(int mode);
    /// Replaces what OpenTransferDialog does (the transfer dialog, or a test's recorder).
    void SetTransferDialog(std::function<void(int)> dialog) { transferDialog_ = std::move(dialog); }

    /// Where the serial-port menu takes the present ports from.
    void SetPortLister(PortLister lister) { portLister_ = std::move(lister); }
    /// Start-up: rebuilds the serial-port menu and says "There is no port that can be used!!"
    /// when it offers no port.
    void PortCheck();
    /// Fills the serial-port menu from the present ports, the device given with --port and
    /// the device last named by its path; the chosen one is checked. Runs each time the menu
    /// opens, so a cable plugged in meanwhile appears.
    void RebuildPortMenu();
    /// Serial-port menu entry i chosen.
    void SerialPortCommand(int i);
    /// "Other Device…": asks for a device path, remembers it and chooses it.
    void OtherDeviceCommand();

    /// Ctrl+F2 (debug only): opens a raw image file.
    void OpenHexCommand();
    /// Ctrl+F3 (debug only): saves the memory image as a raw image file.
    void SaveHexCommand();
    /// Options > Hexdump toggled.
    void ToggleHexdump();
    /// Fills lstHex with the dump of the image, or clears it when hidden.
    void RefreshHexDump();

    void ShowAbout();
    void HelpContents();
    /// F1: the help topic of the panel shown.
    void HelpForPanel();

    // ---- Files by name and the user's own defaults (main_files.cpp) ---------------------
    /// The start-up file argument: opens it through the command gate as OpenFileByName does,
    /// a relative name taken from the working folder.
    void OpenStartupFile(const std::string& path);
    /// Opens a file chosen by name (Open Recent, the command line, a drop) exactly as File >
    /// Open does after its dialog; a name ending in ".hex" opens as a raw image does.
    void OpenFileByName(const std::string& path);
    /// File > Open Recent from the stored list, newest first; a missing file is greyed.
    void RefreshRecentMenu();
    /// File > Save As Default: commits the pending entry, then stores the configuration as
    /// the user's own default of its model type and region.
    void FileSaveAsDefault();
    /// Options > Use Factory Defaults: removes the user's own default after asking.
    void UseFactoryDefaults();

    /// True while the deferred part of New is waiting for its timer.
    bool NewPending() const;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildMenus();
    void BuildToolBar();
    void BuildCentralArea();
    void BuildStatusBar();
    void BuildGeneralPage();
    /// File > Open Recent: its entries and "Clear Menu".
    void BuildRecentMenu(QMenu* file);
    /// The General page's line on the default in use, and whether Use Factory Defaults works.
    void RefreshDefaultsInfo();
    /// A .dat or .hex file dragged over or dropped on the window; true when it was taken.
    bool HandleFileDrop(QObject* watched, QEvent* event);
    /// File > Open after the dialog, or with the name given (empty: the dialog asks).
    void OpenSettings(const std::string& chosen);
    /// The raw image open of Ctrl+F2 after the dialog, or with the name given.
    void OpenImage(const std::string& chosen);
    /// Status bar panel 2: `verb` and the current file's name ("Saved boat.dat") for a few
    /// seconds; called once the step it names has succeeded.
    void ShowFileStatus(const char* verb);
    /// Opens at the placement stored at the last exit, fitted to the screen it is on.
    void RestorePlacement();
    /// Gives the window the frame placedFrame_, its border taken off the size.
    void FitToPlacedFrame();
    /// The tree as wide as its longest caption needs (never below the splitter's limit).
    void FitTreeToCaptions();
    QAction* AddCommand(QMenu* menu, const char* name, const char* caption,
                        void (MainWindow::*slot)());
    void OnNodeActivated(QTreeWidgetItem* node);
    void RunDeferredNew();
    void ApplyGroupCaptions();
    void RefreshModelPanel();
    void SetModelChecks();
    /// The Undo and Redo entries and buttons say what they would take back or make again.
    void RefreshUndoActions();
    void WritePlacement();
    bool IsChosenPort(const PortEntry& entry) const;
    int Dpi() const;

    Config& config_;
    PendingEdits pendingEdits_;
    std::function<void(int)> transferDialog_;
    PortLister portLister_;

    QTreeWidget* tree_ = nullptr;
    QStackedWidget* panels_ = nullptr;
    QSplitter* splitter_ = nullptr;
    QListWidget* hexList_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    std::array<QLabel*, 3> statusPanels_{};
    QTimer* newTimer_ = nullptr;
    QTimer* statusTimer_ = nullptr;
    QLabel* generalModel_ = nullptr;
    QLabel* generalDefaults_ = nullptr;
    QMenu* recentMenu_ = nullptr;
    std::vector<QAction*> recentEntries_;
    std::vector<std::string> recentPaths_;
    QAction* recentClear_ = nullptr;
    QAction* factoryDefaultsAction_ = nullptr;
    /// The frame the window opens with, until it has been shown.
    std::optional<QRect> placedFrame_;

    QMenu* editMenu_ = nullptr;
    QMenu* modelMenu_ = nullptr;
    QAction* undoAction_ = nullptr;
    QAction* redoAction_ = nullptr;
    QMenu* regionMenu_ = nullptr;
    QMenu* serialMenu_ = nullptr;
    QAction* hexdumpAction_ = nullptr;
    std::map<QString, QAction*> commands_;
    std::array<QAction*, 10> modelEntries_{};
    std::array<QAction*, 11> regionEntries_{};
    std::array<QAction*, kSerialMenuEntries> serialEntries_{};
    /// The serial-port menu as last built: what the system listed and the entries shown.
    std::vector<SerialDevice> listedPorts_;
    std::vector<PortEntry> portEntries_;
    std::vector<QAction*> toolButtons_;

    std::map<QString, std::function<void(const NodeTarget&)>> panelHandlers_;
    std::vector<std::function<void()>> rebuildHooks_;
    std::vector<std::function<int()>> panelWidthHints_;
    std::array<int, 4> groupPositions_{};
    int currentIndex_ = 0;
    int busyDepth_ = 0;
    int commandDepth_ = 0;
    bool closing_ = false;
    /// True while an entry panel asks whether to keep its changes before a node change.
    bool leavingEntry_ = false;
};

}  // namespace mrw
