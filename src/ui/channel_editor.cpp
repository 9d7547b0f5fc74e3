#include "ui/channel_editor.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QFont>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSizePolicy>
#include <QStyle>
#include <QTableWidget>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <optional>
#include <string>
#include <utility>

#include "core/config.h"
#include "edit/channel_grid.h"
#include "edit/channel_lists.h"
#include "edit/refusal.h"
#include "image/image.h"
#include "ui/category_tree.h"
#include "ui/channel_widgets.h"
#include "ui/main_window.h"
#include "ui/wheel_scroll.h"

namespace mrw {

namespace {

// Fills a drop-down list from its items (each item carries its value) and selects the first
// item carrying `value`; no value selects nothing.
void FillList(QComboBox* list, const ItemList& items, std::optional<int> value) {
    list->clear();
    for (const ListItem& item : items) {
        list->addItem(QString::fromStdString(item.text), item.value);
    }
    list->setCurrentIndex(value ? IndexOfValue(items, *value) : -1);
}

// The value of the selected item; -1 when none is selected.
int ValueOf(const QComboBox* list) {
    return list->currentIndex() >= 0 ? list->currentData().toInt() : -1;
}

template <typename T>
T* Named(T* widget, const char* name) {
    widget->setObjectName(name);
    return widget;
}

QLabel* Label(const char* name, const char* caption, QWidget* parent) {
    return Named(new QLabel(caption, parent), name);
}

QCheckBox* CheckBox(const char* name, const char* caption, QWidget* parent) {
    return Named(new QCheckBox(caption, parent), name);
}

QComboBox* DropDown(const char* name, QWidget* parent) {
    auto* list = Named(new QComboBox(parent), name);
    list->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    return list;
}

}  // namespace

ChannelEditor* ChannelEditor::Install(MainWindow& window, Config& config) {
    return new ChannelEditor(window, config);
}

ChannelEditor::ChannelEditor(MainWindow& window, Config& config)
    : QObject(window.Panel("pictB")),
      window_(window),
      config_(config),
      pictB_(window.Panel("pictB")),
      pictC_(window.Panel("pictC")) {
    setObjectName("channelEditor");
    BuildList();
    BuildPanel();
    for (QWidget* panel : {pictB_, pictC_}) {
        for (QWidget* child : panel->findChildren<QWidget*>()) {
            child->installEventFilter(this);
        }
    }
    // A click on the tree while a box of the panel refuses must not choose another node.
    if (auto* tree = window_.findChild<QTreeWidget*>("tvTreeView")) {
        tree->viewport()->installEventFilter(this);
    }
    window_.SetPanelHandler("pictB", [this](const NodeTarget& target) { ShowList(target); });
    window_.AddPanelWidthHint([this] { return GridWidthNeeded(); });
    // Another configuration was loaded: its tables start again at their first row.
    window_.AddRebuildHook([this] { list_ = ChannelListState{}; });
    window_.pendingEdits().Register([this] { return CommitPendingEdit(); });
    window_.pendingEdits().RegisterEntry([this] { return ConfirmLeave(); });
}

// ---- Construction ----------------------------------------------------------------------------

void ChannelEditor::BuildList() {
    auto* layout = new QVBoxLayout(pictB_);
    grid_ = Named(new QTableWidget(pictB_), "MSFlexGrid1");
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_->setAlternatingRowColors(true);
    grid_->verticalHeader()->setVisible(false);
    grid_->verticalHeader()->setDefaultSectionSize(grid_->fontMetrics().height() + 6);
    grid_->horizontalHeader()->setHighlightSections(false);
    AttachWheelScrolling(grid_, config_.state.DebugSwitch);
    layout->addWidget(grid_, 1);

    auto* buttons = new QHBoxLayout;
    newButton_ = Named(new QPushButton("NEW", pictB_), "cmdBNew");
    editButton_ = Named(new QPushButton("EDIT", pictB_), "cmdBEdit");
    deleteButton_ = Named(new QPushButton("DELETE", pictB_), "cmdBDELETE");
    for (QPushButton* button : {newButton_, editButton_, deleteButton_}) {
        buttons->addWidget(button);
    }
    buttons->addStretch(1);
    layout->addLayout(buttons);

    window_.ConnectCommand(newButton_, [this] { NewCommand(); });
    window_.ConnectCommand(editButton_, [this] { EditCommand(); });
    window_.ConnectCommand(deleteButton_, [this] { DeleteCommand(); });
    connect(grid_, &QTableWidget::cellDoubleClicked, this,
            [this](int, int) { window_.RunCommand([this] { EditCommand(); }); });
    connect(grid_->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (!fillingGrid_ && SelectedRow() >= 0) {
            list_.selectedRow = SelectedRow();
        }
    });
}

void ChannelEditor::BuildPanel() {
    QWidget* p = pictC_;
    const auto programFills = [this] { return config_.state.Loading; };

    auto* fields = new QGridLayout;
    positionLabel_ = Label("lblCPosition", "BASE CH No.", p);
    baseChannel_ = DropDown("cmbBaseChNo", p);
    baseChannel_->setMaxVisibleItems(16);
    display_ = Named(new QLineEdit(p), "txtCNN");
    ApplyEntryRules(display_, EntryBox::Display, programFills);
    display_->setMaximumWidth(display_->fontMetrics().horizontalAdvance("WWWW") + 12);
    connect(display_, &QLineEdit::textEdited, this, [this] {
        if (!config_.state.Loading && PanelActive()) {
            displayPending_ = true;
        }
    });
    fields->addWidget(positionLabel_, 0, 0);
    fields->addWidget(baseChannel_, 0, 1, Qt::AlignLeft);
    fields->addWidget(display_, 0, 1, Qt::AlignLeft);

    rxLabel_ = Label("lblCRF", "Rx Frequency", p);
    txLabel_ = Label("lblCTF", "Tx Frequency", p);
    const char* titles[] = {"Rx frequency", "Tx frequency"};
    const char* names[] = {"txtCRF", "txtCTF"};
    for (int i = 0; i < 2; ++i) {
        FrequencyBox& box = frequency_[static_cast<size_t>(i)];
        box.edit = Named(new QLineEdit(p), names[i]);
        box.title = titles[i];
        ApplyEntryRules(box.edit, EntryBox::Frequency, programFills);
        box.edit->setMaximumWidth(box.edit->fontMetrics().horizontalAdvance("0000.00000") + 12);
        connect(box.edit, &QLineEdit::textEdited, this, [this, &box] {
            if (Handles(box)) {
                box.pending = true;
            }
        });
        units_[static_cast<size_t>(i)] =
            Named(new QLabel("MHz", p), i == 0 ? "lblCUnit_0" : "lblCUnit_1");
        fields->addWidget(i == 0 ? rxLabel_ : txLabel_, 1 + i, 0);
        fields->addWidget(box.edit, 1 + i, 1);
        fields->addWidget(units_[static_cast<size_t>(i)], 1 + i, 2);
    }

    duplexLabel_ = Label("lblCDUP", "SIMP/DUP", p);
    duplex_ = DropDown("cmbCDUP", p);
    statusNoLabel_ = Label("lblStatusNo", "CH Status No.", p);
    statusNo_ = DropDown("cmbStatusNo", p);
    statusIconLabel_ = Label("lblStatusIcon", "Status Icon", p);
    statusIcon_ = DropDown("cmbStatusIcon", p);
    tagLabel_ = Label("lblCTag", "CH Name", p);
    tag_ = Named(new QLineEdit(p), "txtCTag");
    ApplyEntryRules(tag_, EntryBox::Name, programFills);
    tag_->setMinimumWidth(tag_->fontMetrics().horizontalAdvance("WWWWWWWWWWWWWWWW") / 2 + 40);
    scrambleLabel_ = Label("lblCScramble", "Scrambler", p);
    scramble_ = DropDown("cmbScramble", p);
    // One form: labels, fields and units on the left, each check box beside the field it
    // belongs to, SAVE and CANCEL under the fields. A user channel shows its group boxes
    // where a standard channel has its lists; those rows keep their height when hidden, so
    // the buttons stay where they are whichever kind of channel is open.
    int row = 3;
    for (auto [label, control] : {std::pair<QWidget*, QWidget*>{duplexLabel_, duplex_},
                                  {statusNoLabel_, statusNo_},
                                  {statusIconLabel_, statusIcon_},
                                  {tagLabel_, tag_},
                                  {scrambleLabel_, scramble_}}) {
        fields->addWidget(label, row, 0);
        fields->addWidget(control, row, 1, 1, control == tag_ ? 2 : 1,
                          control == tag_ ? Qt::Alignment() : Qt::AlignLeft);
        if (row < 6) {
            for (QWidget* w : {label, control}) {
                QSizePolicy policy = w->sizePolicy();
                policy.setRetainSizeWhenHidden(true);
                w->setSizePolicy(policy);
            }
        }
        ++row;
    }
    scrambleLabel_->setVisible(false);
    scramble_->setVisible(false);

    channelEnable_ = CheckBox("chkCEnable", "CH Enable", p);
    fields->addWidget(channelEnable_, 0, 4);

    txFrame_ = Named(new QFrame(p), "pictCCC2");
    txFrame_->setFrameShape(QFrame::StyledPanel);
    auto* chain = new QGridLayout(txFrame_);
    chain->setContentsMargins(6, 4, 6, 4);
    chain->setHorizontalSpacing(2);
    chain->setVerticalSpacing(0);
    txEnable_ = CheckBox("chkCTXEnable", "Tx Enable", txFrame_);
    lowPower_ = CheckBox("chkCTXOnly", "Low Power Only", txFrame_);
    powerUp_ = CheckBox("chkCTXPower", "Power Up", txFrame_);
    lowPowerLine_ = Named(new ConnectorLine(txFrame_), "linCTXOnly");
    powerUpLine_ = Named(new ConnectorLine(txFrame_), "linCTXPower");
    chain->addWidget(txEnable_, 0, 0, 1, 3);
    chain->addWidget(lowPowerLine_, 1, 0);
    chain->addWidget(lowPower_, 1, 1, 1, 2);
    chain->addWidget(powerUpLine_, 2, 1);
    chain->addWidget(powerUp_, 2, 2);
    chain->setColumnStretch(2, 1);
    fields->addWidget(txFrame_, 1, 4, 2, 1, Qt::AlignTop);

    scan_ = CheckBox("chkCScan", "Scan Memory", p);
    interShip_ = CheckBox("chkInterShip", "DSC INTERSHIP CH", p);
    fields->addWidget(scan_, 3, 4);
    fields->addWidget(interShip_, 4, 4);
    expFrame_ = Named(new QFrame(p), "pictCCC6");
    expFrame_->setFrameShape(QFrame::StyledPanel);
    auto* groups = new QVBoxLayout(expFrame_);
    groups->setContentsMargins(6, 2, 6, 2);
    groups->setSpacing(0);
    for (int i = 0; i < 3; ++i) {
        const std::string name = "chkCBExp_" + std::to_string(i);
        expGroups_[static_cast<size_t>(i)] = CheckBox(name.c_str(), "", expFrame_);
        groups->addWidget(expGroups_[static_cast<size_t>(i)]);
    }
    fields->addWidget(expFrame_, 3, 0, 3, 3, Qt::AlignLeft | Qt::AlignTop);

    auto* buttons = new QHBoxLayout;
    saveButton_ = Named(new QPushButton("SAVE", p), "cmdSave");
    cancelButton_ = Named(new QPushButton("CANCEL", p), "cmdCancel");
    buttons->addWidget(saveButton_);
    buttons->addWidget(cancelButton_);
    buttons->addStretch(1);
    fields->addLayout(buttons, row + 1, 0, 1, 3);
    fields->setRowMinimumHeight(row, 6);
    fields->setColumnMinimumWidth(3, 12);
    fields->setColumnStretch(5, 1);
    fields->setRowStretch(row + 2, 1);

    auto* outer = new QVBoxLayout(p);
    outer->addLayout(fields);

    FillList(duplex_, ChannelListItems(ChannelList::Duplex), std::nullopt);
    FillList(statusNo_, ChannelListItems(ChannelList::StatusNo), std::nullopt);
    FillList(statusIcon_, ChannelListItems(ChannelList::StatusIcon), std::nullopt);
    FillList(scramble_, ChannelListItems(ChannelList::Scramble), std::nullopt);

    connect(channelEnable_, &QCheckBox::toggled, this, [this] { ApplyChannelEnable(); });
    connect(txEnable_, &QCheckBox::toggled, this, [this] { ApplyTransmitRules(); });
    connect(lowPower_, &QCheckBox::toggled, this, [this] { ApplyTransmitRules(); });
    connect(duplex_, &QComboBox::activated, this, [this] { ApplyBaseChannel(); });
    connect(baseChannel_, &QComboBox::activated, this, [this] { ApplyBaseChannel(); });
    window_.ConnectCommand(saveButton_, [this] { Save(); });
    window_.ConnectCommand(cancelButton_, [this] { Cancel(); });
}

// ---- Channel list ----------------------------------------------------------------------------

void ChannelEditor::ShowList(const NodeTarget& target) {
    ShowTable(list_, TableKindOfKey(target.key));
    for (FrequencyBox& box : frequency_) {
        box.pending = false;
    }
    displayPending_ = false;
    refusal_.Clear();
    FillGrid();
}

void ChannelEditor::FillGrid() {
    const ChannelGrid grid = BuildChannelGrid(config_.model, list_.kind);
    fillingGrid_ = true;
    grid_->clear();
    grid_->setColumnCount(static_cast<int>(grid.headers.size()));
    grid_->setRowCount(static_cast<int>(grid.rows.size()));
    QStringList headers;
    for (const std::string& header : grid.headers) {
        headers << QString::fromStdString(header);
    }
    grid_->setHorizontalHeaderLabels(headers);
    // The ticked and empty boxes read better a little larger than the text around them.
    QFont markFont = grid_->font();
    if (markFont.pointSizeF() > 0) {
        markFont.setPointSizeF(markFont.pointSizeF() * 1.3);
    }
    for (int r = 0; r < grid_->rowCount(); ++r) {
        const auto& cells = grid.rows[static_cast<size_t>(r)];
        for (int c = 0; c < grid_->columnCount(); ++c) {
            auto* item =
                new QTableWidgetItem(QString::fromStdString(cells[static_cast<size_t>(c)]));
            if (grid.markColumns[static_cast<size_t>(c)]) {
                item->setTextAlignment(Qt::AlignCenter);
                item->setFont(markFont);
            }
            grid_->setItem(r, c, item);
        }
    }
    grid_->resizeColumnsToContents();
    const ChannelTable* table = TableOf(config_.model, list_.kind);
    const int row = table != nullptr ? RowToSelect(list_, *table) : -1;
    if (row >= 0) {
        grid_->selectRow(row);
        grid_->scrollToItem(grid_->item(row, 0));
    }
    fillingGrid_ = false;
}

int ChannelEditor::GridWidthNeeded() const {
    // Every table of the configuration laid out in a grid like the list's own: the widest
    // gives the width the list needs to show every column.
    QTableWidget probe;
    probe.setFont(grid_->font());
    probe.verticalHeader()->setVisible(false);
    int widest = 0;
    for (TableKind kind :
         {TableKind::USA, TableKind::INT, TableKind::CAN, TableKind::RG, TableKind::EXP}) {
        const ChannelGrid grid = BuildChannelGrid(config_.model, kind);
        probe.clear();
        probe.setColumnCount(static_cast<int>(grid.headers.size()));
        probe.setRowCount(static_cast<int>(grid.rows.size()));
        QStringList headers;
        for (const std::string& header : grid.headers) {
            headers << QString::fromStdString(header);
        }
        probe.setHorizontalHeaderLabels(headers);
        for (int r = 0; r < probe.rowCount(); ++r) {
            for (int c = 0; c < probe.columnCount(); ++c) {
                probe.setItem(r, c,
                              new QTableWidgetItem(QString::fromStdString(
                                  grid.rows[static_cast<size_t>(r)][static_cast<size_t>(c)])));
            }
        }
        probe.resizeColumnsToContents();
        widest = std::max(widest, probe.horizontalHeader()->length());
    }
    const QMargins margins = pictB_->layout()->contentsMargins();
    return widest + 2 * grid_->frameWidth() +
           grid_->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, grid_) +
           margins.left() + margins.right();
}

int ChannelEditor::SelectedRow() const {
    const QModelIndexList rows = grid_->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void ChannelEditor::NewCommand() {
    if (const std::optional<ChannelRecord> record = StartNew(config_, list_, SelectedRow())) {
        OpenPanel(*record);
    }
}

void ChannelEditor::EditCommand() {
    if (const std::optional<ChannelRecord> record = StartEdit(config_, list_, SelectedRow())) {
        OpenPanel(*record);
    }
}

void ChannelEditor::DeleteCommand() {
    if (DeleteChannel(config_, list_, SelectedRow())) {
        window_.ShowCurrentNode();
        grid_->setFocus();
    }
}

// ---- Channel panel ---------------------------------------------------------------------------

void ChannelEditor::OpenPanel(const ChannelRecord& record) {
    const bool user = IsUserTable(list_.kind);
    SetLayoutFor(user);
    {
        const LoadingScope loading(config_.state);
        if (user) {
            FillUser(record);
        } else {
            FillStandard(record);
        }
    }
    for (FrequencyBox& box : frequency_) {
        box.pending = false;
    }
    displayPending_ = false;
    refusal_.Clear();
    window_.BringPanelToFront("pictC");
    ApplyChannelEnable();
    opened_ = PanelValues();
    (user ? static_cast<QWidget*>(display_) : baseChannel_)->setFocus(Qt::OtherFocusReason);
}

void ChannelEditor::SetLayoutFor(bool user) {
    for (const FrequencyBox& box : frequency_) {
        box.edit->setReadOnly(!user);
        QPalette palette = QApplication::palette(box.edit);
        if (!user) {
            palette.setColor(QPalette::Base, palette.color(QPalette::Button));
        }
        box.edit->setPalette(palette);
    }
    positionLabel_->setText(user ? "CH Display" : "BASE CH No.");
    display_->setVisible(user);
    baseChannel_->setVisible(!user);
    interShip_->setVisible(!user);
    for (QWidget* standardOnly : std::initializer_list<QWidget*>{
             duplexLabel_, duplex_, statusNoLabel_, statusNo_, statusIconLabel_, statusIcon_}) {
        standardOnly->setVisible(!user);
    }
    scrambleLabel_->setVisible(false);
    scramble_->setVisible(false);
    expFrame_->setVisible(user);
    for (int i = 0; i < 3; ++i) {
        QCheckBox* box = expGroups_[static_cast<size_t>(i)];
        box->setText(QString::fromStdString(ChannelGroupCaption(config_.model, i)));
        box->setVisible(config_.model.Groups[static_cast<size_t>(i)].Usable);
    }
}

void ChannelEditor::FillStandard(const ChannelRecord& r) {
    FillList(baseChannel_, ChannelListItems(ChannelList::BaseChannel, r.Position), r.Position);
    FillList(duplex_, ChannelListItems(ChannelList::Duplex, r.Duplex), r.Duplex);
    frequency_[0].edit->setText(QString::fromStdString(CatalogueRxText(r)));
    frequency_[1].edit->setText(QString::fromStdString(CatalogueTxText(r)));
    FillList(statusNo_, ChannelListItems(ChannelList::StatusNo, r.StatusNo), r.StatusNo);
    FillList(statusIcon_, ChannelListItems(ChannelList::StatusIcon, r.StatusIcon), r.StatusIcon);
    FillList(scramble_, ChannelListItems(ChannelList::Scramble), std::nullopt);
    channelEnable_->setChecked(r.Enable);
    txEnable_->setChecked(r.TxEnable);
    lowPower_->setChecked(r.LowPower);
    powerUp_->setChecked(r.PowUp);
    scan_->setChecked(r.ScanMemory);
    interShip_->setChecked(r.InterShipCH);
    tag_->setText(QString::fromStdString(r.ChTag));
}

void ChannelEditor::FillUser(const ChannelRecord& r) {
    display_->setText(QString::fromStdString(r.CHDisplayL));
    frequency_[0].edit->setText(QString::fromStdString(FormatFreq4(r.Rxfreq)));
    frequency_[1].edit->setText(QString::fromStdString(FormatFreq4(r.Txfreq)));
    FillList(scramble_, ChannelListItems(ChannelList::Scramble), std::nullopt);
    channelEnable_->setChecked(r.Enable);
    txEnable_->setChecked(r.TxEnable);
    lowPower_->setChecked(r.LowPower);
    powerUp_->setChecked(r.PowUp);
    scan_->setChecked(r.ScanMemory);
    tag_->setText(QString::fromStdString(r.ChTag));
    for (size_t i = 0; i < expGroups_.size(); ++i) {
        expGroups_[i]->setChecked(r.ExpCB[i]);
    }
}

void ChannelEditor::ApplyChannelEnable() {
    if (config_.state.Loading) {
        return;
    }
    const bool enabled = channelEnable_->isChecked();
    for (QWidget* w : std::initializer_list<QWidget*>{
             positionLabel_, display_, rxLabel_, txLabel_, frequency_[0].edit, frequency_[1].edit,
             units_[0], units_[1], txEnable_, scan_, tag_, tagLabel_}) {
        w->setEnabled(enabled);
    }
    if (expFrame_->isVisibleTo(pictC_)) {
        for (QCheckBox* box : expGroups_) {
            box->setEnabled(enabled);
        }
    }
    ApplyTransmitRules();
}

void ChannelEditor::ApplyTransmitRules() {
    if (config_.state.Loading) {
        return;
    }
    const PanelEnables enables =
        ChannelPanelEnables(channelEnable_->isChecked(), txEnable_->isChecked(),
                            lowPower_->isChecked(), txFrame_->isVisibleTo(pictC_));
    lowPower_->setEnabled(enables.lowPower);
    lowPowerLine_->SetActive(enables.lowPower);
    powerUp_->setEnabled(enables.powerUp);
    powerUpLine_->SetActive(enables.powerUp);
}

void ChannelEditor::ApplyBaseChannel() {
    if (config_.state.Loading || !PanelActive()) {
        return;
    }
    const std::optional<FrequencyTexts> texts =
        BaseChannelTexts(ValueOf(baseChannel_), ValueOf(duplex_), txEnable_->isChecked());
    if (texts) {
        SetBoxText(frequency_[0].edit, QString::fromStdString(texts->rx));
        SetBoxText(frequency_[1].edit, QString::fromStdString(texts->tx));
    }
}

ChannelPanelValues ChannelEditor::PanelValues() const {
    ChannelPanelValues v;
    v.baseChannel = ValueOf(baseChannel_);
    v.duplex = ValueOf(duplex_);
    v.statusNo = ValueOf(statusNo_);
    v.statusIcon = ValueOf(statusIcon_);
    v.scramble = ValueOf(scramble_);
    v.display = display_->text().toStdString();
    v.rxText = frequency_[0].edit->text().toStdString();
    v.txText = frequency_[1].edit->text().toStdString();
    v.name = tag_->text().toStdString();
    v.txEnable = txEnable_->isChecked();
    v.lowPower = lowPower_->isChecked();
    v.powerUp = powerUp_->isChecked();
    v.scanMemory = scan_->isChecked();
    v.interShip = interShip_->isChecked();
    for (size_t i = 0; i < expGroups_.size(); ++i) {
        v.expGroups[i] = expGroups_[i]->isChecked();
    }
    return v;
}

bool ChannelEditor::Save() {
    if (!PanelActive() || refusal_.Pending()) {
        return false;
    }
    for (FrequencyBox& box : frequency_) {
        if (window_.focusWidget() == box.edit && !Validate(box, false)) {
            return false;
        }
    }
    if (window_.focusWidget() == display_ && !ValidateDisplay(false)) {
        return false;
    }
    if (SaveChannel(config_, list_, PanelValues()) != SaveOutcome::Stored) {
        return false;
    }
    window_.ShowCurrentNode();
    grid_->setFocus();
    return true;
}

bool ChannelEditor::ConfirmLeave() {
    if (!PanelActive() || PanelValues() == opened_) {
        return true;
    }
    const Answer answer =
        ShowMessage(config_, UnsavedChannelQuestion(config_.model, list_, PanelValues()),
                    Icon::Exclamation, Buttons::YesNoCancel, Answer::Yes);
    if (answer == Answer::Yes) {
        return Save();  // with its checks: a refused entry stays open for correction
    }
    if (answer == Answer::No) {
        Cancel();
        return true;
    }
    return false;
}

void ChannelEditor::Cancel() {
    if (!PanelActive()) {
        return;
    }
    refusal_.Clear();
    window_.BringPanelToFront("pictB");
    grid_->setFocus();
}

bool ChannelEditor::CommitPendingEdit() {
    if (!PanelActive()) {
        return true;
    }
    // The window's own focus: while a message box or another window is active the
    // application has none, and the box being typed in must be checked all the same.
    for (FrequencyBox& box : frequency_) {
        if (window_.focusWidget() == box.edit && !Validate(box, false)) {
            return false;
        }
    }
    if (window_.focusWidget() == display_ && !ValidateDisplay(false)) {
        return false;
    }
    const QLineEdit* rx = frequency_[0].edit;
    if (!rx->isReadOnly() && channelEnable_->isChecked()) {
        const std::string reason =
            PendingChannelReason(rx->text().toStdString(), display_->text().toStdString());
        if (!reason.empty()) {
            ShowMessage(config_, WithReason(kChannelDataError, reason), Icon::Exclamation);
            return false;
        }
    }
    return true;
}

bool ChannelEditor::PanelActive() const {
    return pictC_->isEnabledTo(pictC_->parentWidget());
}

// ---- Frequency boxes -------------------------------------------------------------------------

ChannelEditor::FrequencyBox* ChannelEditor::BoxOf(const QObject* object) {
    for (FrequencyBox& box : frequency_) {
        if (box.edit == object) {
            return &box;
        }
    }
    return nullptr;
}

bool ChannelEditor::Handles(const FrequencyBox& box) const {
    return !config_.state.Loading && PanelActive() && !box.edit->isReadOnly();
}

bool ChannelEditor::Validate(FrequencyBox& box, bool deferRefusal) {
    if (!Handles(box) || !box.pending) {
        return true;
    }
    const FrequencyEntry entry =
        ParseFrequency(box.edit->text().toStdString(), FrequencyMode::KeepText);
    SetBoxText(box.edit, QString::fromStdString(entry.text));
    if (entry.valid) {
        box.pending = false;
        return true;
    }
    if (deferRefusal) {
        // The focus is moving right now: it comes back, and the message shows, once the event
        // that moved it is done.
        refusal_.Defer([this, &box] { RefuseFrequency(box); });
    } else {
        RefuseFrequency(box);
    }
    return false;
}

void ChannelEditor::RefuseFrequency(FrequencyBox& box) {
    refusal_.Clear();
    if (!PanelActive()) {
        return;
    }
    refusal_.RestoreFocus(box.edit);
    window_.ShowHint(box.title);
    const FrequencyEntry entry =
        ParseFrequency(box.edit->text().toStdString(), FrequencyMode::KeepText);
    ShowDataError(config_, box.title, entry.reason);
}

bool ChannelEditor::ValidateDisplay(bool deferRefusal) {
    if (!displayPending_ || config_.state.Loading || !PanelActive() || !display_->isVisible()) {
        return true;
    }
    if (DisplayTextRefusal(display_->text().toStdString()).empty()) {
        displayPending_ = false;
        return true;
    }
    if (deferRefusal) {
        refusal_.Defer([this] { RefuseDisplay(); });
    } else {
        RefuseDisplay();
    }
    return false;
}

void ChannelEditor::RefuseDisplay() {
    refusal_.Clear();
    const std::string reason = DisplayTextRefusal(display_->text().toStdString());
    if (!PanelActive() || reason.empty()) {
        return;
    }
    refusal_.RestoreFocus(display_);
    window_.ShowHint(QString::fromStdString(ChannelControlHint("txtCNN")));
    ShowDataError(config_, "CH Display", reason);
}

void ChannelEditor::LostFocus(FrequencyBox& box) {
    if (!Handles(box) || !box.pending) {
        return;
    }
    const FrequencyEntry entry =
        ParseFrequency(box.edit->text().toStdString(), FrequencyMode::Reformat);
    SetBoxText(box.edit, QString::fromStdString(entry.text));
    box.pending = false;
}

void ChannelEditor::SetBoxText(QLineEdit* edit, const QString& text) {
    const LoadingScope loading(config_.state);
    if (edit->text() != text) {
        edit->setText(text);
    }
}

// ---- Events ----------------------------------------------------------------------------------

bool ChannelEditor::eventFilter(QObject* watched, QEvent* event) {
    // A frequency box refused to let the focus go to the control clicked: the click is not
    // for it.
    if (refusal_.Swallows(event)) {
        return true;
    }
    switch (event->type()) {
        case QEvent::FocusIn:
            OnFocusIn(static_cast<QWidget*>(watched), static_cast<QFocusEvent*>(event)->reason());
            break;
        case QEvent::FocusOut:
            OnFocusOut(static_cast<QWidget*>(watched), static_cast<QFocusEvent*>(event)->reason());
            break;
        case QEvent::KeyPress: {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (watched == grid_ && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
                window_.RunCommand([this] { EditCommand(); });
                return true;
            }
            // On the list, Insert is NEW and Delete is DELETE.
            if (watched == grid_ && (key == Qt::Key_Insert || key == Qt::Key_Delete)) {
                window_.RunCommand([this, key] {
                    if (key == Qt::Key_Insert) {
                        NewCommand();
                    } else {
                        DeleteCommand();
                    }
                });
                return true;
            }
            // Esc in the channel panel is CANCEL.
            if (key == Qt::Key_Escape && PanelActive() && watched->isWidgetType() &&
                pictC_->isAncestorOf(static_cast<QWidget*>(watched))) {
                window_.RunCommand([this] { Cancel(); });
                return true;
            }
            break;
        }
        default:
            break;
    }
    return QObject::eventFilter(watched, event);
}

void ChannelEditor::OnFocusIn(QWidget* widget, Qt::FocusReason reason) {
    if (IsWindowFocusChange(reason)) {
        return;
    }
    const std::string hint = ChannelControlHint(widget->objectName().toStdString());
    if (!hint.empty()) {
        window_.ShowHint(QString::fromStdString(hint));
    }
    auto* edit = qobject_cast<QLineEdit*>(widget);
    if (edit == nullptr || edit->isReadOnly() || refusal_.Restoring()) {
        return;
    }
    if (FrequencyBox* box = BoxOf(edit)) {
        box->pending = false;
    }
    if (edit == display_) {
        displayPending_ = false;
    }
    // The whole text is selected, so that the first key typed replaces it; a click places
    // the cursor after the focus came, so the selection is made again once it has.
    edit->selectAll();
    if (reason == Qt::MouseFocusReason) {
        QTimer::singleShot(0, edit, [edit] { edit->selectAll(); });
    }
}

void ChannelEditor::OnFocusOut(QWidget* widget, Qt::FocusReason reason) {
    if (IsWindowFocusChange(reason) || refusal_.Pending()) {
        return;
    }
    // Validation runs when the focus moves on to another control of the window (the tree
    // included): a refused entry keeps the focus and says why. CANCEL drops the whole panel,
    // and a panel put away (the focus going nowhere) only has its text reformatted.
    QWidget* next = QApplication::focusWidget();
    const bool validating =
        next != nullptr && next != cancelButton_ && next->window() == pictC_->window();
    if (widget == display_) {
        if (validating) {
            ValidateDisplay(true);
        }
        return;
    }
    FrequencyBox* box = BoxOf(widget);
    if (box == nullptr || !Handles(*box) || !box->pending) {
        return;
    }
    if (validating && !Validate(*box, true)) {
        return;
    }
    LostFocus(*box);
}

}  // namespace mrw
