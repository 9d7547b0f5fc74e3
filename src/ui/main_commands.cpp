// The commands of the main window: start-up load, File, Edit (model), Transfer, Region,
// Options and Help, and the exit path.
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QListWidget>
#include <QMenu>
#include <QScreen>
#include <QSplitter>
#include <QStackedWidget>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <algorithm>
#include <exception>

#include "core/folders.h"
#include "core/log.h"
#include "core/startup.h"
#include "core/text.h"
#include "edit/edit.h"
#include "files/hex_file.h"
#include "files/settings_file.h"
#include "link/hex_dump.h"
#include "model/catalogue.h"
#include "model/regions.h"
#include "ui/about_box.h"
#include "ui/main_window.h"
#include "ui/placement.h"
#include "ui/report_window.h"

namespace mrw {

namespace {

// A stored text as a Boolean: a number (0 is False) or the words True and False.
bool TextToBool(const std::string& text, bool fallback) {
    const std::string t = Trim(text);
    if (EqualsIgnoreCase(t, "True")) {
        return true;
    }
    if (EqualsIgnoreCase(t, "False")) {
        return false;
    }
    if (const auto value = ParseNumber(t)) {
        return *value != 0.0;
    }
    return fallback;
}

// Runs one step of the load sequence; a failure is logged and the next step runs.
template <typename Step>
void RunLoadStep(Config& config, Step step) {
    try {
        step();
    } catch (const std::exception& e) {
        WriteErrorLog(config, "frmMain.Form_Load", e.what());
    } catch (...) {
        WriteErrorLog(config, "frmMain.Form_Load", "unknown failure");
    }
}

}  // namespace

// ---- Start-up --------------------------------------------------------------------------------

bool MainWindow::Load() {
    AppState& state = config_.state;
    SetBusy(true);

    ModelScan scan;
    RunLoadStep(config_,
                [&] { scan = ScanModelTypes(config_.services.programFolder / "global.ini"); });
    for (int k = 0; k < kModelMenuLength; ++k) {
        QAction* entry = modelEntries_[k];
        entry->setChecked(false);
        const bool usable = scan.usable[k];
        entry->setText(usable ? QString::fromStdString(ModelCaptionOf(k + 1)) : QString());
        entry->setVisible(usable);
        entry->setEnabled(usable);
    }
    if (scan.count == 0) {
        SetBusy(false);
        ShowMessage(config_, "Unknown model!!", Icon::Critical);
        return false;
    }
    modelMenu_->menuAction()->setVisible(scan.count >= 2);

    RunLoadStep(config_, [&] {
        const int type =
            ChooseModelType(scan, config_.settings().Get("Settings", "lastmodel", "1"));
        ApplyModelType(config_, type);
    });
    SetModelChecks();
    UpdateWindowCaption();

    // The second Program and Read buttons of the toolbar.
    for (QAction* button : toolButtons_) {
        const QString key = button->data().toString();
        if (key == "Program2" || key == "Read2") {
            button->setVisible(false);
        }
    }
    RunLoadStep(config_, [&] {
        hexdumpAction_->setChecked(
            TextToBool(config_.settings().Get("Settings", "hexvisible", "False"), false));
    });
    hexdumpAction_->setVisible(state.DebugSwitch);

    RunLoadStep(config_, [&] {
        state.PortNumber = static_cast<int16_t>(LoadPortNumber(config_.settings()));
        PortCheck();
        // A device given on the command line is the choice of this run; otherwise the stored
        // port is chosen again as if the user had picked it.
        for (int i = 0; i < kSerialMenuEntries && state.PortDevice.empty(); ++i) {
            if (serialEntries_[i]->isVisible() &&
                PortNumberFromCaption(serialEntries_[i]->text().toStdString()) ==
                    state.PortNumber) {
                SerialPortCommand(i);
                break;
            }
        }
    });

    RestorePlacement();
    RunLoadStep(config_, [&] { (void)ChannelCatalogue(); });
    RunLoadStep(config_, [&] { ResetToStoredRegion(config_); });
    FitTreeToCaptions();

    MarkConfigurationLoaded(config_);
    // The dump list follows its menu entry's check (debug mode only).
    hexList_->setVisible(state.DebugSwitch && hexdumpAction_->isChecked());
    RefreshHexDump();
    SetBusy(false);
    return true;
}

void MainWindow::RestorePlacement() {
    resize(607, 444);
    const std::optional<QRect> stored = StoredPlacement(config_.settings(), Dpi());
    if (!stored) {
        return;
    }
    // The screen the window was on, or this window's own when that one is gone.
    const QScreen* screen = QGuiApplication::screenAt(stored->center());
    if (screen == nullptr) {
        screen = this->screen();
    }
    placedFrame_ = FitPlacement(*stored, screen->availableGeometry(), minimumSize());
    FitToPlacedFrame();
}

void MainWindow::FitToPlacedFrame() {
    if (!placedFrame_ || isMinimized() || isMaximized()) {
        return;
    }
    // The stored size is the frame's; the border, known once the window is shown, is not
    // part of the window's own size.
    const QSize border = frameGeometry().size() - size();
    resize(placedFrame_->size() - border);
    move(placedFrame_->topLeft());
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (placedFrame_) {
        FitToPlacedFrame();
        // Some window systems tell the border only after the window has appeared.
        QTimer::singleShot(0, this, [this] {
            FitToPlacedFrame();
            placedFrame_.reset();
        });
    }
}

void MainWindow::FitTreeToCaptions() {
    const QFontMetrics metrics(tree_->font());
    int widest = 0;
    for (QTreeWidgetItemIterator it(tree_); *it != nullptr; ++it) {
        int depth = 1;  // the roots carry the branch decoration too
        for (const QTreeWidgetItem* p = (*it)->parent(); p != nullptr; p = p->parent()) {
            ++depth;
        }
        widest = std::max(widest,
                          depth * tree_->indentation() + metrics.horizontalAdvance((*it)->text(0)));
    }
    // The directory entries change their captions as they are enabled: room for the longest
    // they can take, whether or not their directory is expanded now.
    for (const auto& [prefix, size] :
         {std::pair{"SM", kIndividualDirectorySize}, {"SG", kGroupDirectorySize}}) {
        widest = std::max(
            widest, 3 * tree_->indentation() + metrics.horizontalAdvance(QString::fromStdString(
                                                   DirectoryCaption(prefix, size, true))));
    }
    // The item's text margins, the frame and room for a vertical scroll bar.
    const int margins =
        2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, tree_) + 1);
    const int wanted = widest + margins + 2 * tree_->frameWidth() +
                       style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, tree_);
    const int limit = TwipsToPixels(kSplitterLimitTwips, Dpi());
    const int handle = splitter_->handleWidth();
    // The panels never get less room than the smallest window leaves them beside the
    // narrowest tree, also when the window is made smaller; what is left goes to the tree.
    // Opening at the usual size, the window grows as much as the captions need.
    // The tree keeps its captions whole at any window size; the panels never get less room
    // than the smallest window leaves them beside it.
    tree_->setMinimumWidth(std::max(limit, wanted));
    const int tree = tree_->minimumWidth();
    const int panels =
        std::max({limit, panels_->minimumSizeHint().width(), minimumWidth() - tree - handle});
    panels_->setMinimumWidth(panels);
    if (!placedFrame_) {
        // A first start, or a window placed by the system: as large as the widest panel
        // wants (the whole channel grid, every column), within the screen.
        int preferred = panels;
        for (const auto& hint : panelWidthHints_) {
            preferred = std::max(preferred, hint());
        }
        const QRect available = screen()->availableGeometry();
        const QSize frame = frameGeometry().size() - size();
        const int w = std::min(tree + handle + preferred, available.width() - frame.width());
        const int h = std::min(kFirstStartHeight, available.height() - frame.height());
        resize(std::max(w, minimumWidth()), std::max(h, minimumHeight()));
    }
    splitter_->setSizes({tree, std::max(panels, width() - handle - tree)});
}

void MainWindow::AddPanelWidthHint(std::function<int()> hint) {
    panelWidthHints_.push_back(std::move(hint));
}

void MainWindow::SetModelChecks() {
    for (int k = 0; k < kModelMenuLength; ++k) {
        modelEntries_[k]->setChecked(k + 1 == config_.state.ModelType);
    }
}

// ---- Pending edits and unsaved changes -------------------------------------------------------

bool MainWindow::CommitPendingEdit() {
    // An entry panel left open with changes asks first: the command would lose them.
    return pendingEdits_.ConfirmLeavingEntries() && pendingEdits_.Commit();
}

bool MainWindow::OfferToSaveChanges() {
    AppState& state = config_.state;
    if (!state.DataChanged) {
        return true;
    }
    const Answer answer = ShowMessage(config_, kSaveChangesQuestion, Icon::Exclamation,
                                      Buttons::YesNoCancel, Answer::Yes);
    if (answer == Answer::No) {
        return true;
    }
    if (answer != Answer::Yes) {
        return false;
    }
    if (!CommitPendingEdit()) {
        return false;
    }
    if (SaveSettings(config_, true) != Outcome::Done) {
        return false;
    }
    ShowFileStatus("Saved");
    return true;
}

// ---- File menu -------------------------------------------------------------------------------

void MainWindow::EditUndo() {
    if (pendingEdits_.Commit()) {
        UndoEdit(config_);
    }
}

void MainWindow::EditRedo() {
    if (pendingEdits_.Commit()) {
        RedoEdit(config_);
    }
}

void MainWindow::FileNew() {
    if (!CommitPendingEdit() || !OfferToSaveChanges()) {
        return;
    }
    newTimer_->start();  // the menu closes before the reset runs
}

bool MainWindow::NewPending() const {
    return newTimer_->isActive();
}

void MainWindow::RunDeferredNew() {
    newTimer_->stop();
    SetBusy(true);
    ShowCategory("General");
    config_.clock().Sleep(500);
    // A new configuration belongs to no file: Save must not overwrite the last one with it.
    config_.state.CurrentFileName.clear();
    ResetToStoredRegion(config_);
    MarkConfigurationLoaded(config_);
    UpdateWindowCaption();
    SetBusy(false);
}

void MainWindow::FileOpen() {
    OpenSettings({});
}

void MainWindow::OpenSettings(const std::string& chosen) {
    if (!CommitPendingEdit() || !OfferToSaveChanges()) {
        return;
    }
    SetBusy(true);
    config_.state.CancelFlag = true;
    std::string name = chosen;
    if (name.empty()) {
        FileDialogRequest request;
        request.filter = kSettingsFileFilter;
        name = AskForFile(config_, request);
    }
    if (!name.empty() && OpenSettingsFile(config_, name)) {
        ShowFileStatus("Opened");
    }
    SetBusy(false);
}

void MainWindow::FileSave() {
    if (!CommitPendingEdit()) {
        return;
    }
    if (SaveSettings(config_, true) == Outcome::Done) {
        ShowFileStatus("Saved");
    }
}

void MainWindow::FileSaveAs() {
    if (!CommitPendingEdit()) {
        return;
    }
    if (SaveSettings(config_, false) == Outcome::Done) {
        ShowFileStatus("Saved");
    }
}

void MainWindow::FilePrint() {
    if (!CommitPendingEdit()) {
        return;
    }
    PrintReport(this, config_);
}

void MainWindow::FilePrintToFile() {
    if (!CommitPendingEdit()) {
        return;
    }
    ShowReportWindow(this, config_);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // An entry still being typed is checked before the question: a refused one keeps the
    // window open, and a Yes saves what the boxes show.
    if (busyDepth_ > 0 || !CommitPendingEdit() || !OfferToSaveChanges()) {
        event->ignore();
        return;
    }
    // Other windows close first, the most recently opened first.
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (auto it = windows.crbegin(); it != windows.crend(); ++it) {
        if (*it != this && (*it)->isVisible()) {
            (*it)->close();
        }
    }
    WritePlacement();
    event->accept();
}

void MainWindow::WritePlacement() {
    if (isMinimized()) {
        return;
    }
    const int dpi = Dpi();
    const QRect frame = frameGeometry();
    auto store = [this, dpi](const char* key, int pixels) {
        const float twips = static_cast<float>(PixelsToTwips(pixels, dpi));
        config_.settings().Set("Settings", key, FormatDouble(twips));
    };
    store("MainLeft", frame.x());
    store("MainTop", frame.y());
    store("MainWidth", frame.width());
    store("MainHeight", frame.height());
}

// ---- Model and region menus ------------------------------------------------------------------

void MainWindow::ModelMenuCommand(int k) {
    if (k + 1 == config_.state.ModelType || !CommitPendingEdit() || !OfferToSaveChanges()) {
        SetModelChecks();
        return;
    }
    const bool changed = mrw::ModelMenuCommand(config_, k, [this] { newTimer_->start(); });
    SetModelChecks();
    if (changed) {
        UpdateWindowCaption();
    }
}

void MainWindow::RegionMenuCommand(int k) {
    if (!CommitPendingEdit() || !OfferToSaveChanges()) {
        RegionMenuChanged();
        return;
    }
    if (mrw::RegionMenuCommand(config_, k)) {
        // The configuration is now the region's defaults and belongs to no file.
        config_.state.CurrentFileName.clear();
        UpdateWindowCaption();
    }
    RegionMenuChanged();
}

// ---- Transfer menu ---------------------------------------------------------------------------

void MainWindow::TransferCommand(int mode) {
    if (!CommitPendingEdit()) {
        return;
    }
    OpenTransferDialog(mode);
}

void MainWindow::OpenTransferDialog(int mode) {
    config_.state.TransferMode = static_cast<int16_t>(mode);
    if (transferDialog_) {
        transferDialog_(mode);
    }
}

// ---- Serial-port menu ------------------------------------------------------------------------

void MainWindow::PortCheck() {
    RebuildPortMenu();
    if (!portEntries_.empty()) {
        return;
    }
    MessageRequest request;
    request.text = "There is no port that can be used!!";
    request.title = kAppTitle;
    request.icon = Icon::None;
    request.buttons = Buttons::Ok;
    config_.prompt().Message(request);
}

void MainWindow::RebuildPortMenu() {
    try {
        SettingsStore& store = config_.settings();
        listedPorts_ = portLister_ ? portLister_() : std::vector<SerialDevice>{};
        // The device given on the command line and the one last named by its path are
        // listed too, numbered like the others.
        portEntries_ = NumberPorts(
            WithDevicePaths(listedPorts_, {config_.state.PortDevice, LoadPortDevice(store)}),
            store);
    } catch (const std::exception& e) {
        WriteLogData(config_, std::string("frmMain:PortCheck ") + e.what());
        portEntries_.clear();
    }
    for (int i = 0; i < kSerialMenuEntries; ++i) {
        QAction* entry = serialEntries_[i];
        const bool used = i < static_cast<int>(portEntries_.size());
        entry->setText(used ? QString::fromStdString(portEntries_[i].caption) : QString());
        entry->setVisible(used);
        entry->setEnabled(used);
        entry->setChecked(used && IsChosenPort(portEntries_[i]));
    }
}

bool MainWindow::IsChosenPort(const PortEntry& entry) const {
    const AppState& state = config_.state;
    return state.PortDevice.empty() ? entry.number == state.PortNumber
                                    : entry.path == state.PortDevice;
}

void MainWindow::SerialPortCommand(int i) {
    AppState& state = config_.state;
    for (int j = 0; j < kSerialMenuEntries; ++j) {
        bool check = false;
        if (j == i) {
            if (const auto number =
                    PortNumberFromCaption(serialEntries_[j]->text().toStdString())) {
                state.PortNumber = static_cast<int16_t>(*number);
                check = true;
            }
        }
        serialEntries_[j]->setChecked(check);
    }
    SavePortNumber(config_.settings(), state.PortNumber);
    if (i < 0 || i >= static_cast<int>(portEntries_.size()) || !serialEntries_[i]->isChecked()) {
        return;
    }
    // A choice from the menu replaces the command line's device. A device the system does
    // not list is remembered by its path, so that its number finds it again.
    state.PortDevice.clear();
    const std::string& path = portEntries_[i].path;
    const bool listed = std::any_of(listedPorts_.begin(), listedPorts_.end(),
                                    [&](const SerialDevice& d) { return d.path == path; });
    if (!listed) {
        SavePortDevice(config_.settings(), path);
    }
}

void MainWindow::OtherDeviceCommand() {
    AppState& state = config_.state;
    TextInputRequest request;
    request.title = state.TitleText;
#ifdef Q_OS_WIN
    request.label = "Serial port, for example COM3 (Device Manager lists the COM ports):";
#else
    request.label =
        "Serial device, for example /dev/ttyUSB0 (or the /dev/pts/... that "
        "mrw-radiosim prints):";
#endif
    request.text =
        !state.PortDevice.empty() ? state.PortDevice : LoadPortDevice(config_.settings());
    const std::string path = Trim(config_.prompt().TextInput(request));
    if (path.empty()) {
        return;
    }
    SavePortDevice(config_.settings(), path);
    state.PortDevice.clear();
    RebuildPortMenu();
    for (int i = 0; i < static_cast<int>(portEntries_.size()); ++i) {
        if (portEntries_[i].path == path) {
            SerialPortCommand(i);
            return;
        }
    }
    // No room left in the menu: the device is used all the same.
    state.PortDevice = path;
}

// ---- Debug aids ------------------------------------------------------------------------------

void MainWindow::OpenHexCommand() {
    if (config_.state.DebugSwitch) {
        OpenImage({});
    }
}

void MainWindow::OpenImage(const std::string& chosen) {
    if (!CommitPendingEdit() || !OfferToSaveChanges()) {
        return;
    }
    std::string name = chosen;
    if (name.empty()) {
        FileDialogRequest request;
        request.filter = kHexFileFilter;
        request.mustExist = true;
        name = AskForFile(config_, request);
    }
    if (name.empty()) {
        return;
    }
    SetBusy(true);
    try {
        OpenHexFile(config_, name);
    } catch (...) {
        config_.state.CancelFlag = true;
    }
    SetBusy(false);
}

void MainWindow::SaveHexCommand() {
    if (!config_.state.DebugSwitch || !CommitPendingEdit()) {
        return;
    }
    FileDialogRequest request;
    request.save = true;
    request.filter = kHexFileFilter;
    request.overwritePrompt = true;
    const std::string name = AskForFile(config_, request);
    if (name.empty()) {
        return;
    }
    SetBusy(true);
    try {
        SaveHexFile(config_, name);
    } catch (...) {
        config_.state.CancelFlag = true;
    }
    SetBusy(false);
}

void MainWindow::ToggleHexdump() {
    hexList_->setVisible(hexdumpAction_->isChecked());
    RefreshHexDump();
}

void MainWindow::RefreshHexDump() {
    hexList_->clear();
    if (hexList_->isHidden()) {
        return;
    }
    SetBusy(true);
    QStringList lines;
    for (const std::string& line : HexDumpLines(config_.image)) {
        lines << QString::fromStdString(line);
    }
    hexList_->addItems(lines);
    SetBusy(false);
}

// ---- Help menu -------------------------------------------------------------------------------

void MainWindow::ShowAbout() {
    AboutBox box(this);
    box.exec();
}

void MainWindow::HelpContents() {
    ShowHelp(config_.prompt(), windowTitle().toStdString(), kHelpTopicContents);
}

void MainWindow::HelpForPanel() {
    const QWidget* shown = panels_->currentWidget();
    const int topic = HelpTopicOfPanel(shown != nullptr ? shown->objectName().toStdString() : "");
    ShowHelp(config_.prompt(), windowTitle().toStdString(), topic);
}

}  // namespace mrw
