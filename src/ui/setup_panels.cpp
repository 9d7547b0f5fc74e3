#include "ui/setup_panels.h"

#include "edit/channel_grid.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include "link/transfer.h"
#include "ui/category_tree.h"
#include "ui/main_window.h"

namespace mrw {

namespace {

// The lines that connect the SCAN list with the rows it enables: drawn in the window text
// colour while they are enabled, greyed while they are not. It stands beside the rows and
// draws a branch to the middle of each.
class ScanLine : public QWidget {
public:
    ScanLine(std::vector<QWidget*> rows, QWidget* parent)
        : QWidget(parent), rows_(std::move(rows)) {
        setFixedWidth(14);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled,
                                       QPalette::WindowText));
        const int x = 5;
        int last = 0;
        for (const QWidget* row : rows_) {
            last = row->mapTo(parentWidget(), QPoint(0, row->height() / 2)).y() - y();
            painter.drawLine(x, last, width(), last);
        }
        painter.drawLine(x, 0, x, last);
    }

private:
    std::vector<QWidget*> rows_;
};

QVBoxLayout* PanelLayout(QWidget* panel) {
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(8, 8, 8, 8);
    return layout;
}

QGroupBox* Frame(const QString& title, QWidget* parent) {
    return new QGroupBox(title, parent);
}

}  // namespace

void InstallSetupPanels(MainWindow& window, Config& config) {
    if (window.Panel("pictUsable")->findChild<SetupPanel*>() != nullptr) {
        return;  // installed already
    }
    const std::array<SetupPanel*, 4> panels = {
        new UsablePanel(window, config), new CommonPanel(window, config),
        new DscPanel(window, config), new AtisPanel(window, config)};
    for (SetupPanel* panel : panels) {
        window.SetPanelHandler(panel->panel()->objectName(),
                               [panel](const NodeTarget&) { panel->Fill(); });
    }
    // A new configuration shows in the setup panel on view at once.
    window.AddRebuildHook([panels] {
        for (SetupPanel* panel : panels) {
            if (panel->panel()->isVisible()) {
                panel->Fill();
            }
        }
    });
}

// ---- Usable channel groups -------------------------------------------------------------------

UsablePanel::UsablePanel(MainWindow& window, Config& config)
    : SetupPanel(window, config, "pictUsable") {
    auto* layout = PanelLayout(panel_);
    auto* frame = Frame("Usable CH Group Setup", panel_);
    auto* grid = new QGridLayout(frame);
    const std::vector<SettingCheck> checks = UsableChecks();
    for (int g = 0; g < kChannelGroups; ++g) {
        grid->addWidget(AddCheck(checks[static_cast<size_t>(g)], frame), 0, g);
        grid->addWidget(AddLabel(QString("lblUsablePri_%1").arg(g), "Priority CH", frame), 1, g);
        grid->addWidget(AddList(PriorityList(g), frame), 2, g);
        grid->addWidget(AddLabel(QString("lblUsable_%1").arg(g), "Status Name", frame), 3, g);
        names_[static_cast<size_t>(g)] = AddStatusNameBox(g, frame);
        names_[static_cast<size_t>(g)]->setMaximumWidth(80);
        grid->addWidget(names_[static_cast<size_t>(g)], 4, g);
        grid->setColumnStretch(g, 1);
    }
    auto* expFrame = Frame("EXP CH", frame);
    auto* expLayout = new QVBoxLayout(expFrame);
    for (size_t j = 0; j < 3; ++j) {
        expLayout->addWidget(AddCheck(checks[kChannelGroups + j], expFrame));
    }
    grid->addWidget(expFrame, 5, 3);
    layout->addWidget(frame);
    layout->addStretch(1);
}

void UsablePanel::FillOwn() {
    for (size_t g = 0; g < names_.size(); ++g) {
        const QSignalBlocker blocker(names_[g]);
        names_[g]->setText(QString::fromStdString(config_.model.Groups[g].StatusName));
    }
    ShowExpCaptions();
    ApplyEnables();
}

void UsablePanel::ApplyEnables() {
    for (int g = 0; g < kChannelGroups; ++g) {
        const bool usable = config_.model.Groups[static_cast<size_t>(g)].Usable;
        for (const char* name : {"cmbUsablePri", "lblUsablePri", "lblUsable", "txtUsable"}) {
            EnableNamed({std::string(name) + "_" + std::to_string(g)}, usable);
        }
    }
    EnableNamed({"chkEXP"}, config_.model.Groups[3].Usable);
}

void UsablePanel::ShowExpCaptions() {
    for (int j = 0; j < 3; ++j) {
        if (QCheckBox* box = CheckNamed("chkEXP_" + std::to_string(j))) {
            box->setText(QString::fromStdString(ExpGroupCaption(config_.model, j)));
        }
    }
}

void UsablePanel::AfterStore(const std::string& objectName) {
    if (!objectName.starts_with("chkUsable")) {
        return;
    }
    // A group switched off takes the EXP channels out of it as well.
    FillBound();
    ApplyEnables();
    // A group's channel node exists only while the group is usable.
    window_.BuildTree();
}

void UsablePanel::AfterCommit(QLineEdit* /*edit*/, int group) {
    const QSignalBlocker blocker(names_[static_cast<size_t>(group)]);
    names_[static_cast<size_t>(group)]->setText(
        QString::fromStdString(config_.model.Groups[static_cast<size_t>(group)].StatusName));
    ShowExpCaptions();
    window_.BuildTree();  // the group nodes show the new name
}

// ---- Common setup ----------------------------------------------------------------------------

CommonPanel::CommonPanel(MainWindow& window, Config& config)
    : SetupPanel(window, config, "pictCommon") {
    const std::vector<SettingList> lists = CommonLists();
    auto list = [&](const char* name) {
        for (const SettingList& l : lists) {
            if (l.objectName == name) {
                return l;
            }
        }
        return SettingList{};
    };
    // A caption and its list in one row of a frame's grid.
    auto row = [&](QGridLayout* grid, int r, const char* name, const char* labelName = "") {
        const SettingList l = list(name);
        QWidget* parent = grid->parentWidget();
        grid->addWidget(AddLabel(labelName, QString::fromStdString(l.caption), parent), r, 1);
        grid->addWidget(AddList(l, parent), r, 2);
    };

    auto* layout = PanelLayout(panel_);
    auto* power = Frame("TX Power", panel_);
    auto* powerGrid = new QGridLayout(power);
    row(powerGrid, 0, "cmbCommonTXPo");
    powerGrid->setColumnStretch(3, 1);
    layout->addWidget(power);

    auto* columns = new QGridLayout();
    auto* scan = Frame("Scanning Function", panel_);
    auto* scanGrid = new QGridLayout(scan);
    scanGrid->setHorizontalSpacing(4);
    scanGrid->addWidget(AddLabel("", "SCAN", scan), 0, 0, 1, 2);
    scanGrid->addWidget(AddList(list("cmbCommonScan"), scan), 0, 2);
    row(scanGrid, 1, "cmbCommonResume", "lblCommonResume");
    row(scanGrid, 2, "cmbCommonPTTSCAN", "lblCommonPTTSCAN");
    auto* line = new ScanLine({ListNamed("cmbCommonResume"), ListNamed("cmbCommonPTTSCAN")}, scan);
    line->setObjectName("linScan");
    scanGrid->addWidget(line, 1, 0, 2, 1);
    scanGrid->addWidget(AddLabel("", "Dual Watch", scan), 3, 0, 1, 2);
    scanGrid->addWidget(AddList(list("cmbCommonDual"), scan), 3, 2);
    columns->addWidget(scan, 0, 0);

    auto* time = Frame("Time Setup", panel_);
    auto* timeGrid = new QGridLayout(time);
    row(timeGrid, 0, "cmbCommonTimedisplay");
    row(timeGrid, 1, "cmbCommonOffset");
    row(timeGrid, 2, "cmbCommonFormat");
    columns->addWidget(time, 0, 1);

    auto* units = Frame("Units of Measure", panel_);
    auto* unitsGrid = new QGridLayout(units);
    row(unitsGrid, 0, "cmbCommonSOG");
    row(unitsGrid, 1, "cmbCommonDistance");
    columns->addWidget(units, 1, 0);

    auto* weather = Frame("Weather CH Function", panel_);
    auto* weatherGrid = new QGridLayout(weather);
    row(weatherGrid, 0, "cmbCommonWeater");
    columns->addWidget(weather, 1, 1, Qt::AlignTop);

    layout->addLayout(columns);
    layout->addStretch(1);
}

// ---- ATIS setup ------------------------------------------------------------------------------

AtisPanel::AtisPanel(MainWindow& window, Config& config) : SetupPanel(window, config, "pictATIS") {
    auto* layout = PanelLayout(panel_);
    const std::vector<SettingCheck> checks = AtisChecks();
    const char* titles[] = {"Usable ATIS CH Group", "ATIS Killer CH Group"};
    for (size_t f = 0; f < 2; ++f) {
        auto* frame = Frame(titles[f], panel_);
        auto* row = new QHBoxLayout(frame);
        for (size_t g = 0; g < kChannelGroups; ++g) {
            row->addWidget(AddCheck(checks[f * kChannelGroups + g], frame));
        }
        layout->addWidget(frame);
    }
    auto* codeFrame = Frame("ATIS Code", panel_);
    auto* grid = new QGridLayout(codeFrame);
    code_ = AddDigitBox(DigitBox::AtisCode, 0, "txtATIScode", codeFrame);
    code_->setMaximumWidth(120);
    grid->addWidget(AddLabel("", "ATIS Code", codeFrame), 0, 0);
    grid->addWidget(code_, 0, 1);
    auto* count = new QLineEdit(codeFrame);
    count->setObjectName("txtACount");
    count->setReadOnly(true);
    count->setFocusPolicy(Qt::ClickFocus);
    count->setMaximumWidth(50);
    grid->addWidget(AddClearButton("cmdAtisClear", "ATIS Clear", kModeClearAtis, count, codeFrame),
                    1, 0);
    grid->addWidget(AddLabel("", "Count", codeFrame), 1, 1, Qt::AlignRight);
    grid->addWidget(count, 1, 2);
    grid->setColumnStretch(3, 1);
    layout->addWidget(codeFrame);
    layout->addStretch(1);
}

void AtisPanel::FillOwn() {
    ShowDigits(code_, DigitBoxText(DigitBox::AtisCode, config_.model.Atis.AtisCode));
    // The groups as the tree names them.
    for (int g = 0; g < kChannelGroups; ++g) {
        const QString caption = QString::fromStdString(ChannelGroupCaption(config_.model, g));
        for (const char* name : {"chkATISChGroup_", "chkATISKiller_"}) {
            if (QCheckBox* box = CheckNamed(name + std::to_string(g))) {
                box->setText(caption);
            }
        }
    }
}

}  // namespace mrw
