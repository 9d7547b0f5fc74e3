#include "ui/directory_editor.h"

#include <QApplication>
#include <QCheckBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QValidator>
#include <algorithm>
#include <utility>

#include "core/config.h"
#include "edit/edit.h"
#include "ui/category_tree.h"
#include "ui/channel_widgets.h"
#include "ui/main_window.h"
#include "ui/mmsi_info_label.h"
#include "ui/weather_panel.h"
#include "ui/wheel_scroll.h"
#include "ui/window_keys.h"

namespace mrw {

namespace {

// The MMSI box takes digits only; a key or a paste with anything else changes nothing.
// Texts the program sets pass unchanged.
class DigitsOnly : public QValidator {
public:
    DigitsOnly(const AppState& state, QObject* parent) : QValidator(parent), state_(state) {}
    State validate(QString& input, int& /*pos*/) const override {
        if (state_.Loading) {
            return Acceptable;
        }
        for (const QChar c : input) {
            if (c < QLatin1Char('0') || c > QLatin1Char('9')) {
                return Invalid;
            }
        }
        return Acceptable;
    }

private:
    const AppState& state_;
};

template <typename T>
T* Named(T* widget, const char* name) {
    widget->setObjectName(name);
    return widget;
}

int ListIndex(Directory dir) {
    return dir == Directory::Group ? 1 : 0;
}

MmsiUse UseOf(Directory dir) {
    return dir == Directory::Group ? MmsiUse::Group : MmsiUse::Individual;
}

}  // namespace

DirectoryEditor* DirectoryEditor::Install(MainWindow& window, Config& config) {
    auto* editor = new DirectoryEditor(window, config);
    WeatherPanel::Install(window, config);
    WindowKeys::Install(window);
    return editor;
}

DirectoryEditor::DirectoryEditor(MainWindow& window, Config& config)
    : QObject(window.Panel("pictE")),
      window_(window),
      config_(config),
      pictE_(window.Panel("pictE")),
      pictG_(window.Panel("pictG")) {
    setObjectName("directoryEditor");
    BuildList();
    BuildEntryPanel();
    for (QWidget* panel : {pictE_, pictG_}) {
        for (QWidget* child : panel->findChildren<QWidget*>()) {
            child->installEventFilter(this);
        }
    }
    // A click on the tree while the MMSI box refuses must not choose another node.
    if (auto* tree = window_.findChild<QTreeWidget*>("tvTreeView")) {
        tree->viewport()->installEventFilter(this);
    }
    window_.SetPanelHandler("pictE", [this](const NodeTarget& target) { ShowList(target); });
    window_.SetPanelHandler("pictG", [this](const NodeTarget& target) { ShowEntry(target); });
    // Another configuration was loaded: the lists start again at their first row.
    window_.AddRebuildHook([this] { listRows_ = {}; });
    window_.pendingEdits().Register([this] { return CommitPendingEdit(); });
}

// ---- Construction ----------------------------------------------------------------------------

void DirectoryEditor::BuildList() {
    auto* layout = new QVBoxLayout(pictE_);
    grid_ = Named(new QTableWidget(pictE_), "MSFlexGrid2");
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_->setAlternatingRowColors(true);
    grid_->verticalHeader()->setVisible(false);
    grid_->verticalHeader()->setDefaultSectionSize(grid_->fontMetrics().height() + 6);
    grid_->horizontalHeader()->setHighlightSections(false);
    grid_->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(grid_, 1);
    AttachWheelScrolling(grid_, config_.state.DebugSwitch);

    connect(grid_, &QTableWidget::cellDoubleClicked, this,
            [this](int row, int) { window_.RunCommand([this, row] { OpenRow(row); }); });
    connect(grid_, &QTableWidget::currentCellChanged, this, [this](int row) {
        if (row >= 0) {
            listRows_[static_cast<size_t>(ListIndex(listDirectory_))] = row;
        }
    });
}

void DirectoryEditor::BuildEntryPanel() {
    QWidget* p = pictG_;
    title_ = Named(new QLabel(p), "lblGTitle");
    QFont bold = title_->font();
    bold.setBold(true);
    title_->setFont(bold);

    enable_ = Named(new QCheckBox("Enable", p), "chkGEnable");
    delete_ = Named(new QCheckBox("Delete", p), "chkGDelete");
    auto* checks = new QHBoxLayout;
    checks->addWidget(enable_);
    checks->addSpacing(24);
    checks->addWidget(delete_);
    checks->addStretch(1);

    const auto programFills = [this] { return config_.state.Loading; };
    tagLabel_ = Named(new QLabel("Station Name", p), "lblTag");
    name_ = Named(new QLineEdit(p), "txtGPosi");
    ApplyEntryRules(name_, EntryBox::Name, programFills);
    name_->setMaxLength(kDirectoryNameLength);
    name_->setMinimumWidth(name_->fontMetrics().horizontalAdvance("WWWWWWWWWWW") * 3 / 4 + 16);

    mmsiLabel_ = Named(new QLabel("MMSI", p), "lblMmsi");
    groupLabel_ = Named(new QLabel("0", p), "lblGroup");
    mmsi_ = Named(new QLineEdit(p), "txtGMMSI");
    mmsi_->setMaxLength(MmsiBoxLength(Directory::Individual));
    mmsi_->setValidator(new DigitsOnly(config_.state, mmsi_));
    mmsi_->setFixedWidth(mmsi_->fontMetrics().horizontalAdvance("0000000000") + 16);
    mmsiInfo_ = new MmsiInfoLabel(mmsi_, MmsiUse::Individual, p);
    mmsiInfo_->setObjectName("lblGMMSIInfo");
    auto* number = new QHBoxLayout;
    number->setSpacing(2);
    number->addWidget(groupLabel_);
    number->addWidget(mmsi_);
    number->addSpacing(10);
    number->addWidget(mmsiInfo_, 1);

    auto* fields = new QGridLayout;
    fields->addWidget(tagLabel_, 0, 0);
    fields->addWidget(name_, 0, 1, Qt::AlignLeft);
    fields->addWidget(mmsiLabel_, 1, 0);
    fields->addLayout(number, 1, 1);
    fields->setColumnStretch(1, 1);

    auto* layout = new QVBoxLayout(p);
    layout->addWidget(title_);
    layout->addLayout(checks);
    layout->addLayout(fields);
    layout->addStretch(1);

    window_.ConnectCommand(enable_, [this] { EnableClicked(); });
    window_.ConnectCommand(delete_, [this] { DeleteClicked(); });
    connect(mmsi_, &QLineEdit::textEdited, this, [this] { MmsiTyped(); });
    connect(name_, &QLineEdit::textEdited, this, [this] {
        if (!config_.state.Loading && EntryActive()) {
            namePending_ = true;
        }
    });
}

// ---- Directory list --------------------------------------------------------------------------

void DirectoryEditor::ShowList(const NodeTarget& target) {
    listDirectory_ = DirectoryOfKey(target.key).value_or(Directory::Individual);
    FillGrid();
}

void DirectoryEditor::FillGrid() {
    const DirectoryGrid grid = BuildDirectoryGrid(config_.model, listDirectory_);
    const QSignalBlocker blocker(grid_);
    grid_->clear();
    grid_->setColumnCount(static_cast<int>(grid.headers.size()));
    grid_->setRowCount(static_cast<int>(grid.rows.size()));
    QStringList headers;
    for (const std::string& header : grid.headers) {
        headers << QString::fromStdString(header);
    }
    grid_->setHorizontalHeaderLabels(headers);
    for (int r = 0; r < grid_->rowCount(); ++r) {
        const auto& cells = grid.rows[static_cast<size_t>(r)];
        const QString about = QString::fromStdString(cells[kMmsiAboutColumn]);
        for (int c = 0; c < grid_->columnCount(); ++c) {
            auto* item =
                new QTableWidgetItem(QString::fromStdString(cells[static_cast<size_t>(c)]));
            if (c == 0) {
                item->setTextAlignment(Qt::AlignCenter);
            }
            if (!about.isEmpty()) {
                item->setToolTip(about);
            }
            grid_->setItem(r, c, item);
        }
    }
    grid_->resizeColumnsToContents();
    // An empty directory shows columns as wide as a full name and a full MMSI need.
    const QFontMetrics metrics = grid_->fontMetrics();
    const int widths[] = {0, metrics.horizontalAdvance(QString(kDirectoryNameLength, 'M')) * 3 / 4,
                          metrics.horizontalAdvance(QString(9, '0'))};
    for (int c = 1; c < 3; ++c) {
        grid_->setColumnWidth(c, std::max(grid_->columnWidth(c), widths[c] + 12));
    }
    const int row = listRows_[static_cast<size_t>(ListIndex(listDirectory_))];
    if (row >= 0 && row < grid_->rowCount()) {
        grid_->setCurrentCell(row, 0);
        grid_->scrollToItem(grid_->item(row, 0));
    }
}

void DirectoryEditor::OpenRow(int row) {
    if (row < 0 || row >= grid_->rowCount() || !pictE_->isEnabled()) {
        return;
    }
    listRows_[static_cast<size_t>(ListIndex(listDirectory_))] = row;
    const QString key =
        QString::fromStdString(DirectoryKey(listDirectory_)) + QString::number(row + 1);
    if (!window_.SelectNodeByKey(key)) {
        return;
    }
    // The user came to edit this slot: the first control that is open takes the focus.
    for (QWidget* control : std::initializer_list<QWidget*>{name_, enable_}) {
        if (control->isEnabled()) {
            control->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
}

// ---- Entry panel -----------------------------------------------------------------------------

void DirectoryEditor::ShowEntry(const NodeTarget& target) {
    directory_ = DirectoryOfKey(target.key).value_or(Directory::Individual);
    slot_ = target.entry;
    FillEntry();
}

void DirectoryEditor::FillEntry() {
    const EntryPanelView view = ViewEntryPanel(config_.model, directory_, slot_);
    {
        const LoadingScope loading(config_.state);
        const QSignalBlocker blockEnable(enable_);
        const QSignalBlocker blockDelete(delete_);
        const QSignalBlocker blockName(name_);
        const QSignalBlocker blockMmsi(mmsi_);
        title_->setText(
            QString::fromStdString(DirectoryTitle(directory_)) + "  " +
            QString::fromStdString(DirectoryCaption(DirectoryKey(directory_), slot_, false)));
        tagLabel_->setText(QString::fromStdString(view.nameCaption));
        mmsiLabel_->setText("MMSI");
        name_->setText(QString::fromStdString(view.name));
        mmsi_->setMaxLength(view.mmsiLength);
        mmsi_->setText(QString::fromStdString(view.mmsi));
        groupLabel_->setVisible(view.groupPrefix);
        mmsiInfo_->SetUse(UseOf(directory_), view.groupPrefix ? "0" : "");
        enable_->setChecked(view.enableChecked);
        enable_->setEnabled(view.enableOpen);
        delete_->setChecked(false);
        delete_->setEnabled(view.deleteOpen);
        for (QWidget* field :
             std::initializer_list<QWidget*>{tagLabel_, name_, mmsiLabel_, groupLabel_, mmsi_}) {
            field->setEnabled(view.fieldsOpen);
        }
        mmsiPending_ = false;
        namePending_ = false;
        refusal_.Clear();
        if (view.incompleteBefore) {
            ShowDirectoryDataError(config_, directory_, view.incompleteReason);
        }
    }
}

void DirectoryEditor::AfterChange() {
    FillEntry();
    window_.RefreshDirectoryCaptions(QString::fromStdString(DirectoryKey(directory_)));
}

void DirectoryEditor::EnableClicked() {
    if (!EntryActive() || config_.state.Loading || !enable_->isChecked()) {
        return;
    }
    const bool added = AddEntry(config_, directory_, slot_);
    AfterChange();
    if (added) {
        name_->setFocus(Qt::OtherFocusReason);
    }
}

void DirectoryEditor::DeleteClicked() {
    if (!EntryActive() || config_.state.Loading || !delete_->isChecked()) {
        return;
    }
    if (DeleteEntry(config_, directory_, slot_)) {
        AfterChange();
        return;
    }
    const QSignalBlocker blocker(delete_);
    delete_->setChecked(false);
}

void DirectoryEditor::CommitName() {
    if (EntryActive() && CommitEntryName(config_, directory_, slot_, name_->text().toStdString())) {
        AfterChange();
    }
}

bool DirectoryEditor::ValidateName(bool deferRefusal) {
    if (!namePending_ || !EntryActive() || config_.state.Loading) {
        CommitName();
        return true;
    }
    if (EntryNameRefusal(directory_, name_->text().toStdString()).empty()) {
        namePending_ = false;
        CommitName();
        return true;
    }
    if (deferRefusal) {
        // The focus is moving right now: it comes back, and the message shows, once the event
        // that moved it is done.
        refusal_.Defer([this] { RefuseName(); });
    } else {
        RefuseName();
    }
    return false;
}

void DirectoryEditor::RefuseName() {
    const std::string reason = EntryNameRefusal(directory_, name_->text().toStdString());
    if (!EntryActive() || !namePending_ || reason.empty()) {
        return;
    }
    refusal_.RestoreFocus(name_);
    window_.ShowHint(QString::fromStdString(DirectoryControlHint("txtGPosi")));
    ShowDirectoryDataError(config_, directory_, reason);
}

void DirectoryEditor::MmsiTyped() {
    if (config_.state.Loading || !EntryActive()) {
        return;
    }
    mmsiPending_ = true;
    // Typing marks the configuration changed at once, so that leaving the program asks
    // about the entry before it is committed.
    EditModel(config_, "MMSI", [](DataModel&) {});
}

bool DirectoryEditor::ValidateMmsi() {
    if (!mmsiPending_ || !EntryActive() || config_.state.Loading) {
        return true;
    }
    const MmsiCommit commit = CommitEntryMmsi(config_, directory_, slot_,
                                              mmsi_->text().toStdString(), MmsiRefusal::KeepText);
    if (!commit.accepted) {
        return false;
    }
    mmsiPending_ = false;
    AfterChange();
    return true;
}

void DirectoryEditor::RefuseMmsi() {
    if (!EntryActive()) {
        return;
    }
    refusal_.RestoreFocus(mmsi_);
    window_.ShowHint(QString::fromStdString(DirectoryControlHint("txtGMMSI")));
    ValidateMmsi();  // refuses again, now with its message
}

void DirectoryEditor::MmsiLostFocus() {
    if (!mmsiPending_ || !EntryActive() || config_.state.Loading) {
        return;
    }
    const MmsiCommit commit = CommitEntryMmsi(config_, directory_, slot_,
                                              mmsi_->text().toStdString(), MmsiRefusal::Restore);
    mmsiPending_ = false;
    if (commit.accepted) {
        AfterChange();
        return;
    }
    const LoadingScope loading(config_.state);
    const QSignalBlocker blocker(mmsi_);
    mmsi_->setText(QString::fromStdString(commit.text));
}

bool DirectoryEditor::CommitPendingEdit() {
    if (!EntryActive()) {
        return true;
    }
    // The window's own focus: while a message box or another window is active the
    // application has none, and the box being typed in must be checked all the same.
    QWidget* focus = window_.focusWidget();
    if (focus == name_) {
        return ValidateName(false);
    }
    return focus != mmsi_ || ValidateMmsi();
}

bool DirectoryEditor::EntryActive() const {
    return pictG_->isEnabledTo(pictG_->parentWidget()) && slot_ > 0;
}

// ---- Events ----------------------------------------------------------------------------------

bool DirectoryEditor::eventFilter(QObject* watched, QEvent* event) {
    // The MMSI box refused to let the focus go to the control or the tree node clicked: the
    // click is not for it.
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
        case QEvent::KeyPress:
            if (watched == grid_) {
                const int key = static_cast<QKeyEvent*>(event)->key();
                if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                    window_.RunCommand([this] { OpenRow(grid_->currentRow()); });
                    return true;
                }
            }
            break;
        default:
            break;
    }
    return QObject::eventFilter(watched, event);
}

void DirectoryEditor::OnFocusIn(QWidget* widget, Qt::FocusReason reason) {
    if (IsWindowFocusChange(reason)) {
        return;
    }
    const std::string hint = DirectoryControlHint(widget->objectName().toStdString());
    if (!hint.empty()) {
        window_.ShowHint(QString::fromStdString(hint));
    }
    auto* edit = qobject_cast<QLineEdit*>(widget);
    if (edit == nullptr || refusal_.Restoring()) {
        return;
    }
    if (edit == mmsi_) {
        mmsiPending_ = false;
    }
    if (edit == name_) {
        namePending_ = false;
    }
    // The whole text is selected, so that the first key typed replaces it; a click places
    // the cursor after the focus came, so the selection is made again once it has.
    edit->selectAll();
    if (reason == Qt::MouseFocusReason) {
        QTimer::singleShot(0, edit, [edit] { edit->selectAll(); });
    }
}

void DirectoryEditor::OnFocusOut(QWidget* widget, Qt::FocusReason reason) {
    if (IsWindowFocusChange(reason) || config_.state.Loading) {
        return;
    }
    if (refusal_.Pending()) {
        return;
    }
    // Moving on to another control of the window (the tree included, where Tab leads from
    // here) validates the entry, which may refuse and keep the focus. When the box loses the
    // focus to nothing (the panel is put away), the entry is committed and a refused one
    // gives way to the stored value.
    QWidget* next = QApplication::focusWidget();
    const bool validating = next != nullptr && next->window() == pictG_->window();
    if (widget == name_) {
        if (validating) {
            ValidateName(true);
        } else {
            CommitName();
        }
        return;
    }
    if (widget != mmsi_ || !mmsiPending_ || !EntryActive()) {
        return;
    }
    if (!validating) {
        MmsiLostFocus();
        return;
    }
    if (MmsiEntryValue(directory_, mmsi_->text().toStdString())) {
        ValidateMmsi();
        return;
    }
    // The focus is moving right now: it comes back, and the message shows, once the event
    // that moved it is done.
    refusal_.Defer([this] { RefuseMmsi(); });
}

}  // namespace mrw
