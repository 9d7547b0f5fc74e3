#include "ui/main_window.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QSignalBlocker>
#include <QSplitter>
#include <QStackedWidget>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>

#include "core/startup.h"
#include "core/text.h"
#include "ui/app_icon.h"
#include "ui/channel_csv.h"
#include "ui/channel_editor.h"
#include "ui/directory_editor.h"
#include "ui/fixed_font.h"
#include "ui/setup_panels.h"

namespace mrw {

namespace {

constexpr int kKeyRole = Qt::UserRole;
constexpr int kIndexRole = Qt::UserRole + 1;

// The shell a configuration falls back to when its window is gone.
Shell gDetachedShell;

QString KeyOf(const QTreeWidgetItem* item) {
    return item != nullptr ? item->data(0, kKeyRole).toString() : QString();
}

}  // namespace

MainWindow::MainWindow(Config& config, QWidget* parent) : QMainWindow(parent), config_(config) {
    setObjectName("frmMain");
    setWindowIcon(ApplicationIcon());
    BuildMenus();
    BuildToolBar();
    BuildCentralArea();
    BuildStatusBar();
    ChannelEditor::Install(*this, config_);
    ChannelCsvCommands::Install(*this, config_, [this] { return KeyOf(tree_->currentItem()); });
    InstallSetupPanels(*this, config_);
    DirectoryEditor::Install(*this, config_);

    qApp->installEventFilter(this);  // Ctrl+Z in a text box and file drops, see eventFilter
    setAcceptDrops(true);

    newTimer_ = new QTimer(this);
    newTimer_->setObjectName("tmrNew");
    newTimer_->setSingleShot(true);
    newTimer_->setInterval(100);
    connect(newTimer_, &QTimer::timeout, this, &MainWindow::RunDeferredNew);

    // F1: the help of the panel shown.
    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    help->setObjectName("scHelp");
    ConnectCommand(help, [this] { HelpForPanel(); });

    auto* openHex = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_F2), this);
    openHex->setObjectName("scOpenHex");
    ConnectCommand(openHex, [this] { OpenHexCommand(); });
    auto* saveHex = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_F3), this);
    saveHex->setObjectName("scSaveHex");
    ConnectCommand(saveHex, [this] { SaveHexCommand(); });

    const int dpi = Dpi();
    setMinimumSize(TwipsToPixels(kMinWidthTwips, dpi), TwipsToPixels(kMinHeightTwips, dpi));
    config_.services.shell = this;
    UpdateWindowCaption();
}

MainWindow::~MainWindow() {
    if (config_.services.shell == this) {
        config_.services.shell = &gDetachedShell;
    }
}

int MainWindow::Dpi() const {
    const int dpi = logicalDpiX();
    return dpi > 0 ? dpi : 96;
}

// ---- Command dispatch ------------------------------------------------------------------------

bool MainWindow::RunCommand(const std::function<void()>& command) {
    // Every pause of an operation lets events through (so that a Cancel button works), and
    // disabling the contents does not silence shortcuts: a command started from there would
    // run in the middle of the operation, on a half-loaded configuration.
    if (busyDepth_ > 0 || commandDepth_ > 0) {
        QApplication::beep();
        return false;
    }
    ++commandDepth_;
    struct Leave {
        int& depth;
        ~Leave() { --depth; }
    } leave{commandDepth_};
    if (command) {
        command();
    }
    // Loads and saves clear the changed flag after they set the caption.
    UpdateWindowCaption();
    return true;
}

void MainWindow::ConnectCommand(QAction* action, std::function<void()> command) {
    connect(action, &QAction::triggered, this,
            [this, action, command = std::move(command)](bool checked) {
                if (!RunCommand(command) && action->isCheckable()) {
                    action->setChecked(!checked);
                }
            });
}

void MainWindow::ConnectCommand(QShortcut* shortcut, std::function<void()> command) {
    connect(shortcut, &QShortcut::activated, this,
            [this, command = std::move(command)] { RunCommand(command); });
}

void MainWindow::ConnectCommand(QAbstractButton* button, std::function<void()> command) {
    connect(button, &QAbstractButton::clicked, this,
            [this, button, command = std::move(command)](bool checked) {
                if (!RunCommand(command) && button->isCheckable()) {
                    button->setChecked(!checked);
                }
            });
}

// ---- Construction ----------------------------------------------------------------------------

QAction* MainWindow::AddCommand(QMenu* menu, const char* name, const char* caption,
                                void (MainWindow::*slot)()) {
    QAction* action = menu->addAction(QString::fromUtf8(caption));
    action->setObjectName(name);
    if (slot != nullptr) {
        ConnectCommand(action, [this, slot] { (this->*slot)(); });
    }
    commands_[name] = action;
    return action;
}

void MainWindow::BuildMenus() {
    QMenuBar* bar = menuBar();

    QMenu* file = bar->addMenu("&File");
    file->setObjectName("mnuFile");
    AddCommand(file, "mnuFileNew", "&New", &MainWindow::FileNew);
    AddCommand(file, "mnuFileOpen", "&Open", &MainWindow::FileOpen);
    BuildRecentMenu(file);
    AddCommand(file, "mnuFileSave", "&Save", &MainWindow::FileSave);
    AddCommand(file, "mnuFileSaveAs", "Save &As...", &MainWindow::FileSaveAs);
    AddCommand(file, "mnuFileSaveAsDefault", "Save As &Default", &MainWindow::FileSaveAsDefault);
    file->addSeparator();
    AddCommand(file, "mnuFilePrint", "&Print", &MainWindow::FilePrint);
    AddCommand(file, "mnuFilePrintToFile", "P&rint to File", &MainWindow::FilePrintToFile);
    file->addSeparator();
    AddCommand(file, "mnuFileExit", "E&xit", nullptr);
    ConnectCommand(commands_["mnuFileExit"], [this] { close(); });

    editMenu_ = bar->addMenu("&Edit");
    editMenu_->setObjectName("mnuEdit");
    undoAction_ = AddCommand(editMenu_, "mnuEditUndo", "&Undo", &MainWindow::EditUndo);
    undoAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    redoAction_ = AddCommand(editMenu_, "mnuEditRedo", "&Redo", &MainWindow::EditRedo);
    redoAction_->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    editMenu_->addSeparator();
    QMenu* model = editMenu_->addMenu("&Model");
    model->setObjectName("mnuEditModel");
    modelMenu_ = model;
    for (int k = 0; k < static_cast<int>(modelEntries_.size()); ++k) {
        QAction* entry = model->addAction(QString());
        entry->setObjectName(QString("mnuEditModelType_%1").arg(k));
        entry->setCheckable(true);
        entry->setVisible(false);
        entry->setEnabled(false);
        ConnectCommand(entry, [this, k] { ModelMenuCommand(k); });
        modelEntries_[k] = entry;
    }

    QMenu* transfer = bar->addMenu("&Transfer");
    transfer->setObjectName("mnuTransfer");
    AddCommand(transfer, "mnuTransferProgram", "&Program to Radio", nullptr);
    AddCommand(transfer, "mnuTransferRead", "&Read from Radio", nullptr);
    ConnectCommand(commands_["mnuTransferProgram"], [this] { TransferCommand(1); });
    ConnectCommand(commands_["mnuTransferRead"], [this] { TransferCommand(0); });

    regionMenu_ = bar->addMenu("&Region");
    regionMenu_->setObjectName("mnuDestination");
    regionMenu_->menuAction()->setObjectName("mnuDestinationAction");
    for (int k = 0; k < static_cast<int>(regionEntries_.size()); ++k) {
        QAction* entry = regionMenu_->addAction(QString());
        entry->setObjectName(QString("mnuDestinationChild_%1").arg(k));
        entry->setCheckable(true);
        entry->setVisible(false);
        ConnectCommand(entry, [this, k] { RegionMenuCommand(k); });
        regionEntries_[k] = entry;
    }
    regionMenu_->setEnabled(false);

    QMenu* options = bar->addMenu("&Options");
    options->setObjectName("mnuOptions");
    serialMenu_ = options->addMenu("&SerialPort");
    serialMenu_->setObjectName("mnuOptionsSerialPort");
    for (int i = 0; i < kSerialMenuEntries; ++i) {
        QAction* entry = serialMenu_->addAction(QString());
        entry->setObjectName(QString("mnuOptionsSerialPort1_%1").arg(i));
        entry->setCheckable(true);
        entry->setVisible(false);
        ConnectCommand(entry, [this, i] { SerialPortCommand(i); });
        serialEntries_[i] = entry;
    }
    serialMenu_->addSeparator();
    QAction* other = serialMenu_->addAction(QString::fromUtf8("Other Device\u2026"));
    other->setObjectName("mnuOptionsSerialPortOther");
    ConnectCommand(other, [this] { OtherDeviceCommand(); });
    commands_["mnuOptionsSerialPortOther"] = other;
    // A cable plugged in after start-up appears the next time the menu opens.
    connect(serialMenu_, &QMenu::aboutToShow, this, &MainWindow::RebuildPortMenu);
    factoryDefaultsAction_ = AddCommand(options, "mnuOptionsFactoryDefaults",
                                        "Use &Factory Defaults", &MainWindow::UseFactoryDefaults);
    connect(options, &QMenu::aboutToShow, this, &MainWindow::RefreshDefaultsInfo);
    hexdumpAction_ = options->addAction("Hexdump");
    hexdumpAction_->setObjectName("mnuOptionsHexdump");
    hexdumpAction_->setCheckable(true);
    hexdumpAction_->setVisible(false);
    ConnectCommand(hexdumpAction_, [this] { ToggleHexdump(); });
    commands_["mnuOptionsHexdump"] = hexdumpAction_;

    QMenu* help = bar->addMenu("&Help");
    help->setObjectName("mnuHelp");
    AddCommand(help, "mnuHelpContents", "&Contents", &MainWindow::HelpContents);
    AddCommand(help, "mnuHelpAbout", "&About MRW Version", &MainWindow::ShowAbout);

    // The keys every desktop program has for these; the menu shows them beside the entries.
    const std::pair<const char*, QKeySequence> keys[] = {
        {"mnuFileNew", QKeySequence(Qt::CTRL | Qt::Key_N)},
        {"mnuFileOpen", QKeySequence(Qt::CTRL | Qt::Key_O)},
        {"mnuFileSave", QKeySequence(Qt::CTRL | Qt::Key_S)},
        {"mnuFileSaveAs", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)},
        {"mnuFilePrint", QKeySequence(Qt::CTRL | Qt::Key_P)},
        {"mnuFileExit", QKeySequence(Qt::CTRL | Qt::Key_Q)}};
    for (const auto& [name, sequence] : keys) {
        commands_[name]->setShortcut(sequence);
    }
}

void MainWindow::BuildToolBar() {
    toolBar_ = addToolBar("Standard");
    toolBar_->setObjectName("tbToolBar");
    toolBar_->setMovable(false);
    toolBar_->setFloatable(false);
    toolBar_->setToolButtonStyle(Qt::ToolButtonIconOnly);
    QStyle* s = style();
    struct Button {
        const char* key;
        const char* tip;
        const char* command;  // menu entry it runs; null for none
        const char* theme;
        QIcon fallback;  // without an icon theme: a style's pixmap or a drawn icon
    };
    // The button list; a null key is a separator. The second Program and Read buttons are
    // hidden at start-up.
    const Button buttons[] = {
        {"New", "New", "mnuFileNew", "document-new", NewDocumentIcon()},
        {"Open", "Open...", "mnuFileOpen", "document-open",
         s->standardIcon(QStyle::SP_DialogOpenButton)},
        {"Save", "Save", "mnuFileSave", "document-save",
         s->standardIcon(QStyle::SP_DialogSaveButton)},
        {"SaveAsDefault", "Save As Default", "mnuFileSaveAsDefault", "document-save-as",
         s->standardIcon(QStyle::SP_DriveFDIcon)},
        {nullptr, nullptr, nullptr, nullptr, QIcon()},
        {"Print", "Print", "mnuFilePrint", "document-print", PrinterIcon()},
        {nullptr, nullptr, nullptr, nullptr, QIcon()},
        {"Undo", "Undo", "mnuEditUndo", "edit-undo", UndoIcon(false)},
        {"Redo", "Redo", "mnuEditRedo", "edit-redo", UndoIcon(true)},
        {nullptr, nullptr, nullptr, nullptr, QIcon()},
        {"Program", "Program to Radio", "mnuTransferProgram", "go-up",
         s->standardIcon(QStyle::SP_ArrowUp)},
        {"Read", "Read from Radio", "mnuTransferRead", "go-down",
         s->standardIcon(QStyle::SP_ArrowDown)},
        {"Program2", "Program to Radio", "mnuTransferProgram", "go-up",
         s->standardIcon(QStyle::SP_ArrowUp)},
        {"Read2", "Read from Radio", "mnuTransferRead", "go-down",
         s->standardIcon(QStyle::SP_ArrowDown)},
    };
    for (const Button& b : buttons) {
        if (b.key == nullptr) {
            toolButtons_.push_back(toolBar_->addSeparator());
            continue;
        }
        QIcon icon = QIcon::fromTheme(b.theme, b.fallback);
        QAction* action = toolBar_->addAction(icon, b.tip);
        action->setObjectName(QString("tb") + b.key);
        action->setData(QString(b.key));
        action->setToolTip(b.tip);
        toolButtons_.push_back(action);
        if (b.command == nullptr) {
            continue;
        }
        QAction* command = commands_.at(b.command);
        // A button runs its menu entry only while that entry is enabled, and looks it. The entry
        // itself goes through RunCommand.
        connect(action, &QAction::triggered, this, [command] {
            if (command->isEnabled()) {
                command->trigger();
            }
        });
        connect(command, &QAction::changed, action, [this, action, command] {
            action->setEnabled(command->isEnabled());
            if (command == undoAction_ || command == redoAction_) {
                action->setToolTip(QString(command->text()).remove('&'));
            }
        });
    }
}

void MainWindow::BuildCentralArea() {
    auto* central = new QWidget(this);
    central->setObjectName("centralArea");
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);

    splitter_ = new QSplitter(Qt::Horizontal, central);
    splitter_->setObjectName("imgSplitter");
    splitter_->setChildrenCollapsible(false);
    // The bar follows the mouse while dragging; the layout changes on release.
    splitter_->setOpaqueResize(false);
    // Wide enough to find with the mouse; it shows the resize pointer.
    splitter_->setHandleWidth(6);

    tree_ = new QTreeWidget(splitter_);
    tree_->setObjectName("tvTreeView");
    tree_->setHeaderHidden(true);
    tree_->setColumnCount(1);
    tree_->setSelectionMode(QAbstractItemView::SingleSelection);
    tree_->installEventFilter(this);
    connect(tree_, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current, QTreeWidgetItem*) { OnNodeActivated(current); });
    // A click makes its node current first; when the node did not stay current (an open
    // entry kept the panel), the click is not for it.
    connect(tree_, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item, int) {
        if (item == tree_->currentItem()) {
            OnNodeActivated(item);
        }
    });
    connect(tree_, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* item) {
        const QString key = KeyOf(item);
        if (key == "SM" || key == "SG") {
            RefreshDirectoryCaptions(key);
        }
    });

    panels_ = new QStackedWidget(splitter_);
    panels_->setObjectName("panelArea");
    for (const char* name : kPanelNames) {
        auto* panel = new QWidget(panels_);
        panel->setObjectName(name);
        panel->setAutoFillBackground(true);
        panel->setEnabled(false);
        panels_->addWidget(panel);
    }

    BuildGeneralPage();

    const int limit = TwipsToPixels(kSplitterLimitTwips, Dpi());
    tree_->setMinimumWidth(limit);
    panels_->setMinimumWidth(limit);
    splitter_->addWidget(tree_);
    splitter_->addWidget(panels_);
    splitter_->setStretchFactor(0, 0);
    splitter_->setStretchFactor(1, 1);
    splitter_->setSizes({limit, 2 * limit});
    layout->addWidget(splitter_, 1);

    hexList_ = new QListWidget(central);
    hexList_->setObjectName("lstHex");
    hexList_->setFont(FixedPitchFont());
    hexList_->setUniformItemSizes(true);
    hexList_->setMinimumHeight(100);
    hexList_->setVisible(false);
    layout->addWidget(hexList_);

    setCentralWidget(central);
}

void MainWindow::BuildGeneralPage() {
    QWidget* page = Panel("pictGeneral");
    auto* logo = new QLabel(page);
    logo->setObjectName("picGeneralLogo");
    logo->setPixmap(ApplicationIcon().pixmap(64, 64));
    auto* title = new QLabel(QString(kAppTitle) + "  Marine Radio Workbench", page);
    title->setObjectName("lblGeneralTitle");
    title->setWordWrap(true);
    QFont titleFont = title->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.4);
    title->setFont(titleFont);
    generalModel_ = new QLabel(page);
    generalModel_->setObjectName("lblGeneralModel");
    generalDefaults_ = new QLabel(page);
    generalDefaults_->setObjectName("lblGeneralDefaults");
    generalDefaults_->setWordWrap(true);
    auto* start = new QLabel("To get started:", page);
    start->setObjectName("lblGeneralStart");

    auto* heading = new QGridLayout;
    heading->addWidget(logo, 0, 0, 2, 1, Qt::AlignTop);
    heading->addWidget(title, 0, 1, Qt::AlignBottom);
    heading->addWidget(generalModel_, 1, 1, Qt::AlignTop);
    heading->addWidget(generalDefaults_, 2, 1, Qt::AlignTop);
    heading->setColumnStretch(1, 1);
    heading->setHorizontalSpacing(12);

    // The three things a new user does first, each with what it is for. They run through the
    // command gate like the menu entries they stand for.
    auto* steps = new QGridLayout;
    steps->setHorizontalSpacing(12);
    auto addStep = [&](const char* name, const char* caption, const char* toolButton,
                       const char* what, std::function<void()> command) {
        auto* button = new QPushButton(QString::fromUtf8(caption), page);
        button->setObjectName(name);
        if (auto* tool = *toolButton != '\0' ? findChild<QAction*>(toolButton) : nullptr) {
            button->setIcon(tool->icon());
        }
        auto* text = new QLabel(QString::fromUtf8(what), page);
        text->setWordWrap(true);
        const int row = steps->rowCount();
        steps->addWidget(button, row, 0);
        steps->addWidget(text, row, 1);
        if (command) {
            ConnectCommand(button, std::move(command));
        }
        return button;
    };
    addStep("cmdGeneralRead", "Read from Radio", "tbRead",
            "Read the configuration of the radio over the serial cable.",
            [this] { TransferCommand(0); });
    addStep("cmdGeneralOpen", "Open a Settings File\u2026", "tbOpen",
            "Open a configuration kept as a settings file (.dat).", [this] { FileOpen(); });
    QPushButton* port =
        addStep("cmdGeneralPort", "Choose the Serial Port\u2026", "",
                "Choose the serial port of the radio cable, or name another device.", nullptr);
    // The port menu opens under the button; the entry chosen there runs as from the menu bar.
    ConnectCommand(
        port, [this, port] { serialMenu_->popup(port->mapToGlobal(QPoint(0, port->height()))); });
    steps->setColumnStretch(1, 1);

    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(24, 24, 24, 24);
    layout->setSpacing(16);
    layout->addLayout(heading);
    layout->addWidget(start);
    layout->addLayout(steps);
    layout->addStretch(1);
}

void MainWindow::BuildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName("sbStatusBar");
    bar->setSizeGripEnabled(true);
    for (int i = 0; i < 3; ++i) {
        auto* label = new QLabel(bar);
        label->setObjectName(QString("sbStatusBar_Panel%1").arg(i + 1));
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        statusPanels_[i] = label;
        if (i == 0) {
            bar->addWidget(label, 1);
        } else {
            label->setMinimumWidth(i == 1 ? 40 : 90);
            bar->addPermanentWidget(label);
        }
    }
    statusTimer_ = new QTimer(this);
    statusTimer_->setObjectName("tmrStatus");
    statusTimer_->setSingleShot(true);
    statusTimer_->setInterval(kFileStatusMs);
    connect(statusTimer_, &QTimer::timeout, this, [this] { statusPanels_[1]->clear(); });
}

void MainWindow::ShowFileStatus(const char* verb) {
    const AppState& state = config_.state;
    if (state.CurrentFileName.empty()) {
        return;
    }
    const std::string& path = state.CurrentFileName;
    const size_t slash = path.find_last_of("/\\");
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    statusPanels_[1]->setText(QString(verb) + " " + QString::fromStdString(name));
    statusTimer_->start();
}

// ---- Shell -----------------------------------------------------------------------------------

void MainWindow::SetBusy(bool busy) {
    if (busy) {
        ++busyDepth_;
    } else if (busyDepth_ > 0) {
        --busyDepth_;
    }
    const bool enabled = busyDepth_ == 0;
    // The hourglass is this window's own pointer, not the application's: the message boxes
    // and file dialogs an operation opens are windows of their own and keep the normal one.
    if (enabled) {
        unsetCursor();
    } else {
        setCursor(Qt::WaitCursor);
    }
    // The window's contents are disabled, not the window itself, so that the message boxes
    // and dialogs it owns stay usable while an operation runs. Its commands are refused by
    // RunCommand meanwhile.
    menuBar()->setEnabled(enabled);
    toolBar_->setEnabled(enabled);
    centralWidget()->setEnabled(enabled);
    if (enabled) {
        UpdateWindowCaption();
    }
}

void MainWindow::HoldBusy(int ms) {
    config_.clock().Sleep(ms);
}

void MainWindow::RebuildViews() {
    for (auto& hook : rebuildHooks_) {
        if (hook) {
            hook();
        }
    }
    BuildTree();
    RefreshModelPanel();
}

void MainWindow::ShowCategory(const std::string& key) {
    // A directory entry's node may be gone after an undo: its directory's node stands in.
    QString wanted = QString::fromStdString(key);
    if (!SelectNodeByKey(wanted)) {
        while (!wanted.isEmpty() && wanted.back().isDigit()) {
            wanted.chop(1);
        }
        SelectNodeByKey(wanted);
    }
    ShowCurrentNode();
}

std::string MainWindow::CurrentCategory() const {
    return KeyOf(tree_->currentItem()).toStdString();
}

void MainWindow::HistoryChanged() {
    RefreshUndoActions();
}

void MainWindow::RefreshUndoActions() {
    const EditHistory& history = config_.history;
    // An ampersand in a description is shown, not taken for a mnemonic.
    const auto caption = [](const char* verb, const std::string& what) {
        QString text = QString::fromUtf8(verb);
        if (!what.empty()) {
            text += ' ' + QString::fromStdString(what).replace('&', "&&");
        }
        return text;
    };
    undoAction_->setText(caption("&Undo", history.UndoText()));
    undoAction_->setEnabled(history.CanUndo());
    redoAction_->setText(caption("&Redo", history.RedoText()));
    redoAction_->setEnabled(history.CanRedo());
}

void MainWindow::UpdateWindowCaption() {
    // A configuration changed since it was loaded or saved shows " *" after the caption.
    QString caption = QString::fromStdString(WindowCaption(config_.state));
    if (config_.state.DataChanged) {
        caption += " *";
    }
    setWindowTitle(caption);
    RefreshModelPanel();
    // Loads and saves start the history again or move its saved step.
    RefreshUndoActions();
}

void MainWindow::RegionMenuChanged() {
    const RegionMenu& menu = config_.regionMenu;
    // The menu widget itself is disabled (not only its action), so that re-enabling the menu
    // bar after a busy spell cannot enable it again.
    regionMenu_->setEnabled(menu.enabled);
    for (size_t k = 0; k < regionEntries_.size(); ++k) {
        const RegionMenu::Entry& entry = menu.entries[k];
        regionEntries_[k]->setText(QString::fromStdString(entry.caption));
        regionEntries_[k]->setVisible(entry.visible);
        regionEntries_[k]->setChecked(entry.checked);
    }
}

void MainWindow::RefreshModelPanel() {
    const QString model = QString::fromStdString(config_.state.ModelName);
    statusPanels_[2]->setText(model);
    generalModel_->setText("Radio model: " + model);
    RefreshDefaultsInfo();
}

void MainWindow::ShowHint(const QString& text) {
    statusPanels_[0]->setText(text);
}

// ---- Category tree ---------------------------------------------------------------------------

void MainWindow::BuildTree() {
    const QString previousKey = KeyOf(tree_->currentItem());
    const QSignalBlocker blocker(tree_);
    tree_->clear();
    groupPositions_.fill(0);
    std::map<std::string, QTreeWidgetItem*> byKey;
    const std::vector<CategoryNode> nodes =
        CategoryNodes(config_.model, config_.state.AtisSupported);
    int index = 0;
    for (const CategoryNode& node : nodes) {
        QTreeWidgetItem* item = nullptr;
        auto parent = byKey.find(node.parentKey);
        if (node.parentKey.empty() || parent == byKey.end()) {
            item = new QTreeWidgetItem(tree_);
        } else {
            item = new QTreeWidgetItem(parent->second);
        }
        ++index;
        item->setText(0, QString::fromStdString(node.text));
        item->setData(0, kKeyRole, QString::fromStdString(node.key));
        item->setData(0, kIndexRole, index);
        byKey[node.key] = item;
        for (int g = 0; g < 4; ++g) {
            if (node.key == GroupNodeKey(g)) {
                groupPositions_[g] = index;
            }
        }
    }
    for (const char* root : {"General", "Program", "DSCSetting"}) {
        if (auto it = byKey.find(root); it != byKey.end()) {
            it->second->setExpanded(true);
        }
    }
    ApplyGroupCaptions();
    RefreshDirectoryCaptions("SM");
    QTreeWidgetItem* keep = FindNode(previousKey);
    if (keep == nullptr) {
        keep = FindNode("General");
    }
    tree_->setCurrentItem(keep);
}

void MainWindow::ApplyGroupCaptions() {
    for (int g = 0; g < 4; ++g) {
        QTreeWidgetItem* item = FindNode(QString::fromStdString(GroupNodeKey(g)));
        if (item == nullptr) {
            continue;
        }
        const std::string caption =
            GroupCaption(item->text(0).toStdString(), config_.model.Groups[g].StatusName);
        item->setText(0, QString::fromStdString(caption));
    }
}

QTreeWidgetItem* MainWindow::FindNode(const QString& key) const {
    if (key.isEmpty()) {
        return nullptr;
    }
    for (QTreeWidgetItemIterator it(tree_); *it != nullptr; ++it) {
        if (KeyOf(*it) == key) {
            return *it;
        }
    }
    return nullptr;
}

bool MainWindow::SelectNodeByKey(const QString& key) {
    QTreeWidgetItem* item = FindNode(key);
    if (item == nullptr) {
        return false;
    }
    if (tree_->currentItem() != item) {
        tree_->setCurrentItem(item);  // runs the selection rule through currentItemChanged
    } else {
        OnNodeActivated(item);
    }
    return true;
}

void MainWindow::ShowCurrentNode() {
    if (QTreeWidgetItem* item = tree_->currentItem()) {
        ShowNodePanel(item);
    }
}

void MainWindow::OnNodeActivated(QTreeWidgetItem* node) {
    if (node == nullptr) {
        return;
    }
    ShowHint(kTreeHint);
    const int index = node->data(0, kIndexRole).toInt();
    if (index == currentIndex_ || index <= 0 || leavingEntry_) {
        return;
    }
    // An entry panel with changes asks before another node's panel replaces it; while it
    // asks, the tree shows the node whose panel is open.
    const auto showOpenNode = [this] {
        for (QTreeWidgetItemIterator it(tree_); *it != nullptr; ++it) {
            if ((*it)->data(0, kIndexRole).toInt() == currentIndex_) {
                const QSignalBlocker block(tree_);
                tree_->setCurrentItem(*it);
                return true;
            }
        }
        return false;
    };
    if (showOpenNode()) {
        leavingEntry_ = true;
        const bool leave = pendingEdits_.ConfirmLeavingEntries();
        leavingEntry_ = false;
        if (!leave) {
            // A mouse click selects its node after this; the open node is selected again
            // once the click is done.
            QTimer::singleShot(0, this, showOpenNode);
            return;
        }
        const QSignalBlocker block(tree_);
        tree_->setCurrentItem(node);
    }
    currentIndex_ = index;
    ShowNodePanel(node);
}

void MainWindow::ShowNodePanel(QTreeWidgetItem* node) {
    if (node == nullptr) {
        return;
    }
    // Change handlers see CancelFlag while the panel is filled; its earlier value comes back
    // afterwards, so showing a panel cannot turn a cancelled command into a completed one.
    const bool cancelBefore = config_.state.CancelFlag;
    config_.state.CancelFlag = true;
    const NodeTarget target =
        PanelForNode(KeyOf(node->parent()).toStdString(), KeyOf(node).toStdString());
    if (!target.panel.empty()) {
        const QString panel = QString::fromStdString(target.panel);
        if (auto it = panelHandlers_.find(panel); it != panelHandlers_.end() && it->second) {
            it->second(target);
        }
        BringPanelToFront(panel);
    }
    config_.state.CancelFlag = cancelBefore;
    ShowHint(kTreeHint);
}

void MainWindow::RefreshDirectoryCaptions(const QString& key) {
    QTreeWidgetItem* parent = FindNode(key);
    if (parent == nullptr) {
        return;
    }
    const bool group = key == "SG";
    for (int i = 0; i < parent->childCount(); ++i) {
        QTreeWidgetItem* child = parent->child(i);
        const std::string childKey = KeyOf(child).toStdString();
        const int n = static_cast<int>(Val(childKey.substr(std::min<size_t>(2, childKey.size()))));
        const int size = group ? kGroupDirectorySize : kIndividualDirectorySize;
        if (n < 1 || n > size) {
            continue;
        }
        const bool enabled =
            group ? config_.model.CHGRPID[n - 1].Enable : config_.model.CHMMSID[n - 1].Enable;
        child->setText(0, QString::fromStdString(DirectoryCaption(key.toStdString(), n, enabled)));
    }
}

// ---- Panels ----------------------------------------------------------------------------------

QWidget* MainWindow::Panel(const QString& name) const {
    for (int i = 0; i < panels_->count(); ++i) {
        if (panels_->widget(i)->objectName() == name) {
            return panels_->widget(i);
        }
    }
    return nullptr;
}

void MainWindow::SetPanelHandler(const QString& panel,
                                 std::function<void(const NodeTarget&)> handler) {
    panelHandlers_[panel] = std::move(handler);
}

void MainWindow::AddRebuildHook(std::function<void()> hook) {
    rebuildHooks_.push_back(std::move(hook));
}

void MainWindow::DisablePanels() {
    for (int i = 0; i < panels_->count(); ++i) {
        panels_->widget(i)->setEnabled(false);
    }
}

void MainWindow::BringPanelToFront(const QString& name) {
    QWidget* panel = Panel(name);
    if (panel == nullptr) {
        return;
    }
    DisablePanels();
    panels_->setCurrentWidget(panel);
    panel->setEnabled(true);
}

// ---- Events ----------------------------------------------------------------------------------

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (HandleFileDrop(watched, event)) {
        return true;
    }
    if (watched == tree_ && event->type() == QEvent::FocusIn) {
        ShowHint(kTreeHint);
    }
    // A text box takes Ctrl+Z for its own typing; once it has nothing of its own to undo or
    // redo, the key goes to the Edit menu, so that it undoes the last change everywhere.
    if (event->type() == QEvent::ShortcutOverride) {
        auto* edit = qobject_cast<QLineEdit*>(watched);
        if (edit != nullptr && edit->window() == this) {
            const QKeySequence key(static_cast<QKeyEvent*>(event)->keyCombination());
            if ((undoAction_->shortcuts().contains(key) && !edit->isUndoAvailable()) ||
                (redoAction_->shortcuts().contains(key) && !edit->isRedoAvailable())) {
                return true;
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

}  // namespace mrw
