// The DSC setup panel: two tab strips, the user settings (tbsDSC_USER) as the first page of
// the panel's own strip (tbsDSC), whose further pages hold the beep outputs, the position
// request rows, the log clear buttons and the auto position frames.
#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include "edit/directory_mmsi.h"
#include "edit/setup_autopos.h"
#include "link/transfer.h"
#include "ui/main_window.h"
#include "ui/mmsi_info_label.h"
#include "ui/setup_panels.h"

namespace mrw {

namespace {

// The pages of tbsDSC_USER are pictDSCChild(0..3); page k of tbsDSC is pictDSCChild(4 + k).
constexpr int kUserPages = 4;
constexpr int kAutoPosTab = 4;
constexpr int kPickButtonWidth = 22;
// Tabs of both strips take little more room than their captions, so that all of them show
// at the window's minimum width.
constexpr const char* kCompactTabs =
    "QTabBar::tab { padding: 3px 5px; margin-right: 1px; border: 1px solid palette(mid);"
    " border-bottom: none; border-top-left-radius: 3px; border-top-right-radius: 3px;"
    " background: palette(button); }"
    "QTabBar::tab:selected { background: palette(base); }"
    "QTabBar::tab:!selected { margin-top: 2px; }";

const SettingList& ListOf(const std::vector<SettingList>& lists, const std::string& name) {
    static const SettingList kNone;
    for (const SettingList& l : lists) {
        if (l.objectName == name) {
            return l;
        }
    }
    return kNone;
}

std::string Element(const char* name, int i) {
    return std::string(name) + "_" + std::to_string(i);
}

QWidget* Page(int k) {
    auto* page = new QWidget();
    page->setObjectName(QString("pictDSCChild_%1").arg(k));
    return page;
}

QGridLayout* PageGrid(QWidget* page) {
    auto* grid = new QGridLayout(page);
    grid->setContentsMargins(6, 6, 6, 6);
    grid->setVerticalSpacing(3);
    return grid;
}

// A closing stretch below and right of the rows of a grid.
void CloseGrid(QGridLayout* grid) {
    grid->setRowStretch(grid->rowCount(), 1);
    grid->setColumnStretch(grid->columnCount(), 1);
}

}  // namespace

DscPanel::DscPanel(MainWindow& window, Config& config) : SetupPanel(window, config, "pictDSC") {
    auto* layout = new QVBoxLayout(panel_);
    layout->setContentsMargins(4, 4, 4, 4);

    strip_ = new QTabWidget(panel_);
    strip_->setObjectName("tbsDSC");
    strip_->setUsesScrollButtons(false);
    // On the tab bars alone: a style sheet on the tab widgets would restyle every control
    // of their pages, and again each time a page is added.
    strip_->tabBar()->setStyleSheet(kCompactTabs);
    userStrip_ = new QTabWidget();
    userStrip_->setObjectName("tbsDSC_USER");
    userStrip_->setUsesScrollButtons(false);
    userStrip_->setDocumentMode(true);
    userStrip_->tabBar()->setStyleSheet(kCompactTabs);

    userStrip_->addTab(BuildBasic(), "Basic Setup");
    userStrip_->addTab(BuildCalls(0), "Advanced Setup1");
    userStrip_->addTab(BuildCalls(3), "Advanced Setup2");
    userStrip_->addTab(BuildDisplay(), "Display Setup");

    QWidget* user = Page(kUserPages);
    auto* userLayout = new QVBoxLayout(user);
    userLayout->setContentsMargins(0, 0, 0, 0);
    userLayout->addWidget(userStrip_);
    strip_->addTab(user, "DSC Setup");
    strip_->addTab(BuildBeeps(), "Beep Output");
    strip_->addTab(BuildPosRequest(), "POS Request");
    strip_->addTab(BuildLogClear(), "Log Clear");
    strip_->addTab(BuildAutoPos(), "Auto POS");
    layout->addWidget(strip_);

    for (QTabWidget* strip : {strip_, userStrip_}) {
        GuardPageSwitch(strip->tabBar());
        connect(strip, &QTabWidget::currentChanged, this,
                [this, strip](int index) { SelectTab(strip, index); });
        SelectTab(strip, 0);
    }
}

// ---- Pages -----------------------------------------------------------------------------------

QWidget* DscPanel::BuildBasic() {
    const std::vector<SettingList> lists = DscLists();
    QWidget* page = Page(0);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(6, 6, 6, 6);

    auto* usable = new QGroupBox("Usable DSC CH Group", page);
    auto* usableGrid = new QGridLayout(usable);
    for (int g = 0; g < 3; ++g) {
        const SettingList& l = ListOf(lists, Element("cmbUsableDsc", g));
        usableGrid->addWidget(AddLabel("", QString::fromStdString(l.caption), usable), g, 0);
        usableGrid->addWidget(AddList(l, usable), g, 1);
    }
    usableGrid->setColumnStretch(2, 1);
    layout->addWidget(usable);

    auto* mmsi = new QGroupBox("User MMSI", page);
    auto* grid = new QGridLayout(mmsi);
    userMmsi_ = AddDigitBox(DigitBox::UserMmsi, 0, "txtUserMMSI", mmsi);
    userMmsi_->setMaximumWidth(100);
    grid->addWidget(AddLabel("", "User MMSI", mmsi), 0, 0);
    grid->addWidget(userMmsi_, 0, 1);
    auto* userInfo = new MmsiInfoLabel(userMmsi_, MmsiUse::OwnShip, mmsi);
    userInfo->setObjectName("lblUserMMSIInfo");
    grid->addWidget(userInfo, 0, 2, 1, 2);
    auto* count = new QLineEdit(mmsi);
    count->setObjectName("txtFCount");
    count->setReadOnly(true);
    count->setFocusPolicy(Qt::ClickFocus);
    count->setMaximumWidth(50);
    grid->addWidget(AddClearButton("cmdFClear", "MMSI Clear", kModeClearMmsi, count, mmsi), 1, 0);
    grid->addWidget(AddLabel("", "Count", mmsi), 1, 1, Qt::AlignRight);
    grid->addWidget(count, 1, 2);
    grid->setColumnStretch(3, 1);
    layout->addWidget(mmsi);
    layout->addStretch(1);
    return page;
}

QWidget* DscPanel::BuildCalls(int firstType) {
    static constexpr const char* kCallLists[kDscCallTypes] = {
        "cmbUsableDscAllShipsCall", "cmbUsableDscGroupCall", "cmbUsableDscIndividualCall",
        "cmbUsablePosReqCall",      "cmbUsablePosRepCall",   "cmbUsableTestCall"};
    static constexpr const char* kCategories[] = {"Distress", "Urgency", "Safety", "Routine"};
    const std::vector<SettingList> lists = DscLists();
    QWidget* page = Page(firstType == 0 ? 1 : 2);
    auto* grid = PageGrid(page);
    for (int j = 0; j < 4; ++j) {
        grid->addWidget(AddLabel("", kCategories[j], page), 0, j + 1, Qt::AlignCenter);
    }
    // Each call type: its name, then the row of its lists and the row of its TX lists.
    int row = 1;
    for (int t = firstType; t < firstType + 3; ++t) {
        const std::string base = kCallLists[t];
        grid->addWidget(AddLabel("", kDscCallTypeNames[static_cast<size_t>(t)], page), row, 0, 1,
                        5);
        grid->addWidget(AddLabel("", "TX", page), row + 2, 0, Qt::AlignRight);
        for (int j = 0; j < 4; ++j) {
            grid->addWidget(AddList(ListOf(lists, Element(base.c_str(), j)), page), row + 1, j + 1);
            grid->addWidget(AddList(ListOf(lists, Element((base + "TX").c_str(), j)), page),
                            row + 2, j + 1);
        }
        row += 3;
    }
    grid->setColumnMinimumWidth(0, 24);
    CloseGrid(grid);
    return page;
}

QWidget* DscPanel::BuildDisplay() {
    const std::vector<SettingList> lists = DscLists();
    QWidget* page = Page(3);
    auto* grid = PageGrid(page);
    for (int i = 0; i < 3; ++i) {
        const SettingList& l = ListOf(lists, Element("cmbDscDisplay", i));
        grid->addWidget(AddLabel("", QString::fromStdString(l.caption), page), i, 0);
        grid->addWidget(AddList(l, page), i, 1);
    }
    CloseGrid(grid);
    return page;
}

QWidget* DscPanel::BuildBeeps() {
    const std::vector<SettingList> lists = DscLists();
    QWidget* page = Page(kUserPages + 1);
    auto* grid = PageGrid(page);
    for (int i = 0; i < 8; ++i) {
        const SettingList& l = ListOf(lists, Element("cmbUsableDscBeepOut", i));
        grid->addWidget(AddLabel("", QString::fromStdString(l.caption), page), i, 0);
        grid->addWidget(AddList(l, page), i, 1);
    }
    CloseGrid(grid);
    return page;
}

QWidget* DscPanel::BuildPosRequest() {
    const std::vector<SettingList> lists = DscLists();
    QWidget* page = Page(kUserPages + 2);
    auto* grid = PageGrid(page);
    grid->addWidget(AddLabel("", "TX", page), 0, 2, Qt::AlignCenter);
    for (int i = 0; i < 4; ++i) {
        const SettingList& l = ListOf(lists, Element("cmbUsableDscPosRequest", i));
        grid->addWidget(AddLabel("", QString::fromStdString(l.caption), page), i + 1, 0);
        grid->addWidget(AddList(l, page), i + 1, 1);
        grid->addWidget(AddList(ListOf(lists, Element("cmbUsableDscPosRequestTX", i)), page), i + 1,
                        2);
    }
    CloseGrid(grid);
    return page;
}

QWidget* DscPanel::BuildLogClear() {
    QWidget* page = Page(kUserPages + 3);
    auto* grid = PageGrid(page);
    // Button k clears in mode kModes[k]; the rows list them by what they clear.
    struct Row {
        const char* caption;
        int button;
        int mode;
    };
    static constexpr Row kRows[] = {
        {"ALL Clear", 6, kModeClearAll},
        {"DSC Log", 5, kModeClearDscLog},
        {"DSC TX Log", 4, kModeClearDscTxLog},
        {"Distress Log", 3, kModeClearDistressLog},
        {"Individual Directory", 0, kModeClearIndividual},
        {"Group Directory", 1, kModeClearGroup},
        {"Waypoint Directory", 2, kModeClearWaypoint},
    };
    int r = 0;
    for (const Row& row : kRows) {
        grid->addWidget(AddLabel("", row.caption, page), r, 0);
        grid->addWidget(AddClearButton(QString("cmdFclearLog_%1").arg(row.button), "Clear",
                                       row.mode, nullptr, page),
                        r, 1);
        ++r;
    }
    CloseGrid(grid);
    return page;
}

QWidget* DscPanel::BuildAutoPos() {
    QWidget* page = Page(kUserPages + 4);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(6, 4, 6, 4);
    layout->setSpacing(4);
    layout->addWidget(BuildFrame(0, page));
    layout->addWidget(BuildFrame(1, page));
    auto* menuRow = new QHBoxLayout();
    menuRow->addWidget(AddLabel("", "Auto POS Menu", page));
    menuRow->addWidget(AddList(ListOf(DscLists(), "cmbUsableDscAutoPosMenu"), page));
    menuRow->addStretch(1);
    layout->addLayout(menuRow);
    layout->addStretch(1);
    return page;
}

QWidget* DscPanel::BuildFrame(int frame, QWidget* parent) {
    Frame& f = frames_[static_cast<size_t>(frame)];
    auto* box = new QGroupBox(frame == 0 ? "Auto POS Report" : "Auto POS Request", parent);
    box->setObjectName(QString("fraAutoPos_%1").arg(frame));
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(6, 2, 6, 4);
    grid->setVerticalSpacing(2);
    grid->setHorizontalSpacing(4);
    const std::vector<SettingCheck> checks = AutoPosChecks(frame);
    f.enable = AddCheck(checks[0], box);
    f.remote = AddCheck(checks[1], box);
    auto pick = [this, frame, box](const char* name, AutoPosList list) {
        return AddPickList(
            QString("%1_%2").arg(name).arg(frame), box,
            [this, frame, list](int value) { ChooseAutoPos(config_, frame, list, value); });
    };
    f.marine = pick("cmbUsableDscAutoPosRequestMarine", AutoPosList::Marine);
    f.channel = pick("cmbUsableDscAutoPosRequestChannel", AutoPosList::Channel);
    f.interval = pick("cmbUsableDscAutoPosRequestInterval", AutoPosList::Interval);
    f.selectCall = pick("cmbUsableDscAutoPosRequestSelectCall", AutoPosList::SelectCall);
    f.directory = pick("cmbUsableDscAutoPosRequestSCDirName", AutoPosList::Directory);
    f.mmsiPick = pick("cmbUsableDscAutoPosMMSI", AutoPosList::MmsiPick);
    // The picking list shows as the drop-down button of the MMSI box; it opens wide.
    f.mmsiPick->setFixedWidth(kPickButtonWidth);
    f.mmsiPick->view()->setMinimumWidth(200);
    f.mmsi =
        AddDigitBox(DigitBox::AutoPosMmsi, frame, QString("txtAutoPosMMSI_%1").arg(frame), box);
    f.mmsi->setFixedWidth(f.mmsi->fontMetrics().horizontalAdvance(QString(10, '0')) + 8);
    f.mmsiLabel = AddLabel(QString("lblAutoPosMMSI_%1").arg(frame), "MMSI", box);

    auto* marineLabel = AddLabel("", "Marine CH Enable", box);
    marineLabel->setWordWrap(true);
    auto* channelLabel = AddLabel("", "Channel NO#.", box);
    auto* intervalLabel = AddLabel("", "Interval", box);
    auto* selectLabel = AddLabel("", "Select Call", box);
    auto* dirLabel = AddLabel("", "Dir Name", box);
    auto* mmsiRow = new QHBoxLayout();
    mmsiRow->setSpacing(0);
    mmsiRow->addWidget(f.mmsi);
    mmsiRow->addWidget(f.mmsiPick);
    mmsiRow->addStretch(1);
    auto* mmsiInfo = new MmsiInfoLabel(f.mmsi, AutoPosMmsiUse(config_.model, frame), box);
    mmsiInfo->setObjectName(QString("lblAutoPosMMSIInfo_%1").arg(frame));

    grid->addWidget(f.enable, 0, 0, 1, 2);
    grid->addWidget(f.remote, 0, 2, 1, 2);
    grid->addWidget(marineLabel, 1, 0);
    grid->addWidget(f.marine, 1, 1);
    grid->addWidget(channelLabel, 1, 2);
    grid->addWidget(f.channel, 1, 3);
    grid->addWidget(intervalLabel, 2, 0);
    grid->addWidget(f.interval, 2, 1);
    grid->addWidget(selectLabel, 2, 2);
    grid->addWidget(f.selectCall, 2, 3);
    grid->addWidget(dirLabel, 3, 0);
    grid->addWidget(f.directory, 3, 1);
    grid->addWidget(f.mmsiLabel, 3, 2);
    grid->addLayout(mmsiRow, 3, 3);
    grid->addWidget(mmsiInfo, 4, 2, 1, 2);
    grid->setColumnStretch(4, 1);
    f.controls = {f.remote,   marineLabel, f.marine,     channelLabel, f.channel,  intervalLabel,
                  f.interval, selectLabel, f.selectCall, dirLabel,     f.directory};
    return box;
}

// ---- Behaviour -------------------------------------------------------------------------------

void DscPanel::SelectTab(QTabWidget* strip, int index) {
    // The page on view is the one enabled; the others of the strip are not.
    for (int k = 0; k < strip->count(); ++k) {
        strip->widget(k)->setEnabled(k == index);
    }
    if (strip == strip_ && index == kAutoPosTab) {
        // The auto position page shows the stored settings again (never storing).
        const LoadingScope loading(config_.state);
        FillFrame(0);
        FillFrame(1);
    }
}

void DscPanel::FillOwn() {
    ShowDigits(userMmsi_, DigitBoxText(DigitBox::UserMmsi, config_.model.DscBasic.UserMmsi));
    FillFrame(0);
    FillFrame(1);
}

void DscPanel::FillFrame(int frame) {
    const LoadingScope loading(config_.state);
    const Frame& f = frames_[static_cast<size_t>(frame)];
    const AutoPosFrameView view = ViewAutoPosFrame(config_.model, frame);
    for (auto [box, checked] :
         {std::pair{f.enable, view.enable}, std::pair{f.remote, view.remote}}) {
        const QSignalBlocker blocker(box);
        box->setChecked(checked);
    }
    ShowListView(f.marine, view.marine);
    ShowListView(f.channel, view.channel);
    ShowListView(f.interval, view.interval);
    ShowListView(f.selectCall, view.selectCall);
    ShowListView(f.directory, view.directory);
    ShowListView(f.mmsiPick, view.mmsiPick);
    ShowDigits(f.mmsi, view.mmsiText);
    for (QWidget* control : f.controls) {
        control->setEnabled(view.controlsEnabled);
    }
    for (QWidget* control : {static_cast<QWidget*>(f.mmsi), static_cast<QWidget*>(f.mmsiPick),
                             static_cast<QWidget*>(f.mmsiLabel)}) {
        control->setEnabled(view.mmsiEnabled);
    }
    // The select call decides whether the number calls a station or a group.
    const QString info = QString("lblAutoPosMMSIInfo_%1").arg(frame);
    if (auto* mmsiInfo = panel_->findChild<MmsiInfoLabel*>(info)) {
        mmsiInfo->SetUse(AutoPosMmsiUse(config_.model, frame));
    }
}

void DscPanel::AfterStore(const std::string& objectName) {
    // The Enable and Remote Control boxes enable the controls of their frame.
    for (int frame = 0; frame < kAutoPosFrames; ++frame) {
        if (objectName.ends_with("_" + std::to_string(frame)) &&
            objectName.starts_with("chkUsableDscAutoPosRequest")) {
            FillFrame(frame);
        }
    }
}

void DscPanel::AfterCommit(QLineEdit* edit, int frame) {
    // A committed auto-position MMSI moves its picking list.
    if (edit != userMmsi_) {
        FillFrame(frame);
    }
}

void DscPanel::AfterTyping(QLineEdit* edit) {
    for (const Frame& f : frames_) {
        if (f.mmsi == edit) {
            const QSignalBlocker blocker(f.mmsiPick);
            f.mmsiPick->setCurrentIndex(MmsiPickIndex(MmsiPickItems(config_.model), config_.model,
                                                      edit->text().toStdString()));
        }
    }
}

}  // namespace mrw
