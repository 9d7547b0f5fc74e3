#include "ui/setup_widgets.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimer>
#include <QTreeWidget>
#include <QValidator>
#include <algorithm>

#include "edit/edit.h"
#include "ui/main_window.h"
#include "ui/transfer_command.h"

namespace mrw {

namespace {

template <typename T>
T* Named(T* widget, const QString& name) {
    widget->setObjectName(name);
    return widget;
}

// The property of a drop-down list that holds the index of the item the fill selected.
constexpr const char* kShownIndex = "shownIndex";

// Takes only the characters an entry box takes, typed or pasted.
class CharFilter : public QValidator {
public:
    CharFilter(bool (*accepts)(char32_t), QObject* parent)
        : QValidator(parent), accepts_(accepts) {}
    State validate(QString& input, int& /*pos*/) const override {
        for (const char32_t c : input.toStdU32String()) {
            if (!accepts_(c)) {
                return Invalid;
            }
        }
        return Acceptable;
    }

private:
    bool (*accepts_)(char32_t);
};

}  // namespace

void ShowListView(QComboBox* list, const ListView& view) {
    const QSignalBlocker blocker(list);
    list->clear();
    for (const ListItem& item : view.items) {
        list->addItem(QString::fromStdString(item.text), item.value);
    }
    list->setCurrentIndex(view.selected);
    list->setProperty(kShownIndex, view.selected);
    // The list keeps the room its longest item needs, so that no text is cut (a list shown
    // as a drop-down button only keeps its fixed width).
    if (list->maximumWidth() == QWIDGETSIZE_MAX) {
        list->setMinimumWidth(list->sizeHint().width());
    }
}

SetupPanel::SetupPanel(MainWindow& window, Config& config, const QString& panelName)
    : QObject(window.Panel(panelName)),
      window_(window),
      config_(config),
      panel_(window.Panel(panelName)) {
    setObjectName(panelName + "Editor");
    // A click on the tree while an entry box refuses must not choose another node.
    if (auto* tree = window_.findChild<QTreeWidget*>("tvTreeView")) {
        tree->viewport()->installEventFilter(this);
    }
    window_.pendingEdits().Register([this] { return CommitPendingEdit(); });
}

// ---- Controls --------------------------------------------------------------------------------

QComboBox* SetupPanel::AddList(const SettingList& list, QWidget* parent) {
    auto* combo = Named(new QComboBox(parent), QString::fromStdString(list.objectName));
    combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    // The many short "Off"/"On" and "Low"/"Hi" lists take no more room than their texts.
    const ItemList items = list.items(config_.model);
    const bool shortTexts =
        !items.empty() && std::all_of(items.begin(), items.end(),
                                      [](const ListItem& item) { return item.text.size() <= 3; });
    if (shortTexts) {
        combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        combo->setMinimumContentsLength(3);
    }
    Watch(combo);
    const size_t binding = lists_.size();
    lists_.push_back({combo, list, {}});
    connect(combo, &QComboBox::activated, this, [this, binding](int index) {
        if (!window_.RunCommand([this, binding, index] { StoreList(binding, index); })) {
            ShowListView(lists_[binding].combo, lists_[binding].view);
        }
    });
    return combo;
}

void SetupPanel::StoreList(size_t binding, int index) {
    ListBinding& bound = lists_[binding];
    // Picking the item that is shown already changes nothing.
    if (index == bound.view.selected || !StoreListChoice(config_, bound.list, bound.view, index)) {
        return;
    }
    bound.view.selected = index;
    EnableNamed(bound.list.enables, EnablesFollow(bound.view, index));
    AfterStore(bound.list.objectName);
}

QCheckBox* SetupPanel::AddCheck(const SettingCheck& check, QWidget* parent) {
    auto* box = Named(new QCheckBox(QString::fromStdString(check.caption), parent),
                      QString::fromStdString(check.objectName));
    Watch(box);
    checks_.push_back({box, check});
    window_.ConnectCommand(box, [this, box, check] {
        if (StoreCheck(config_, check, box->isChecked())) {
            AfterStore(check.objectName);
        }
    });
    return box;
}

QComboBox* SetupPanel::AddPickList(const QString& name, QWidget* parent,
                                   std::function<void(int)> onPick) {
    auto* combo = Named(new QComboBox(parent), name);
    combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    Watch(combo);
    connect(combo, &QComboBox::activated, this, [this, combo, onPick](int index) {
        // Picking the item that is shown already changes nothing.
        const QVariant value = combo->itemData(index);
        if (value.isValid() && index != combo->property(kShownIndex).toInt()) {
            window_.RunCommand([&] { onPick(value.toInt()); });
        }
        // Whatever was stored, the panel shows the data model again.
        Fill();
    });
    return combo;
}

QLineEdit* SetupPanel::AddStatusNameBox(int group, QWidget* parent) {
    auto* edit = Named(new QLineEdit(parent), QString("txtUsable_%1").arg(group));
    edit->setMaxLength(kStatusNameLength);
    edit->setValidator(new CharFilter(&IsStatusNameChar, edit));
    Watch(edit);
    entries_.push_back({edit, true, DigitBox::UserMmsi, group, false});
    connect(edit, &QLineEdit::textEdited, this, [this, edit] { Typed(*EntryOf(edit)); });
    return edit;
}

QLineEdit* SetupPanel::AddDigitBox(DigitBox digits, int frame, const QString& name,
                                   QWidget* parent) {
    auto* edit = Named(new QLineEdit(parent), name);
    edit->setMaxLength(DigitBoxLength(digits));
    edit->setValidator(new CharFilter(&IsDigitChar, edit));
    Watch(edit);
    entries_.push_back({edit, false, digits, frame, false});
    connect(edit, &QLineEdit::textEdited, this, [this, edit] {
        Typed(*EntryOf(edit));
        AfterTyping(edit);
    });
    return edit;
}

QPushButton* SetupPanel::AddClearButton(const QString& name, const QString& caption, int mode,
                                        QLineEdit* countBox, QWidget* parent) {
    auto* button = Named(new QPushButton(caption, parent), name);
    Watch(button);
    window_.ConnectCommand(button, [this, mode, countBox] {
        const ClearOutcome outcome = ClearCommand(window_, config_, mode);
        if (outcome.done && countBox != nullptr) {
            countBox->setText(QString::fromStdString(outcome.countText));
        }
    });
    return button;
}

QLabel* SetupPanel::AddLabel(const QString& name, const QString& caption, QWidget* parent) {
    auto* label = new QLabel(caption, parent);
    if (!name.isEmpty()) {
        label->setObjectName(name);
    }
    return label;
}

void SetupPanel::Watch(QWidget* control) {
    control->installEventFilter(this);
}

void SetupPanel::GuardPageSwitch(QWidget* tabBar) {
    pageSwitches_.push_back(tabBar);
    tabBar->installEventFilter(this);
}

// ---- Fill ------------------------------------------------------------------------------------

void SetupPanel::Fill() {
    const LoadingScope loading(config_.state);
    FillBound();
    for (EntryBox& box : entries_) {
        box.pending = false;
    }
    FillOwn();
}

void SetupPanel::FillBound() {
    const LoadingScope loading(config_.state);
    for (ListBinding& bound : lists_) {
        bound.view = ViewList(bound.list, config_.model);
        ShowListView(bound.combo, bound.view);
    }
    for (CheckBinding& bound : checks_) {
        const QSignalBlocker blocker(bound.box);
        bound.box->setChecked(bound.check.read(config_.model));
    }
    ApplyListEnables();
}

void SetupPanel::ApplyListEnables() {
    for (const ListBinding& bound : lists_) {
        EnableNamed(bound.list.enables, EnablesFollow(bound.view, bound.view.selected));
    }
}

void SetupPanel::EnableNamed(const std::vector<std::string>& names, bool enabled) {
    if (names.empty()) {
        return;
    }
    for (QWidget* widget : panel_->findChildren<QWidget*>()) {
        const QString name = widget->objectName();
        const QString base = name.section('_', 0, 0);
        for (const std::string& wanted : names) {
            const QString w = QString::fromStdString(wanted);
            if (name == w || (!w.contains('_') && base == w)) {
                widget->setEnabled(enabled);
            }
        }
    }
}

void SetupPanel::ShowDigits(QLineEdit* edit, const std::string& text) {
    const QSignalBlocker blocker(edit);
    edit->setText(QString::fromStdString(text));
    if (EntryBox* box = EntryOf(edit)) {
        box->pending = false;
    }
}

QComboBox* SetupPanel::ListNamed(const std::string& objectName) const {
    for (const ListBinding& bound : lists_) {
        if (bound.list.objectName == objectName) {
            return bound.combo;
        }
    }
    return nullptr;
}

QCheckBox* SetupPanel::CheckNamed(const std::string& objectName) const {
    for (const CheckBinding& bound : checks_) {
        if (bound.check.objectName == objectName) {
            return bound.box;
        }
    }
    return nullptr;
}

// ---- Entry boxes -----------------------------------------------------------------------------

SetupPanel::EntryBox* SetupPanel::EntryOf(const QObject* object) {
    for (EntryBox& box : entries_) {
        if (box.edit == object) {
            return &box;
        }
    }
    return nullptr;
}

void SetupPanel::Typed(EntryBox& box) {
    if (config_.state.Loading || !panel_->isEnabled()) {
        return;
    }
    box.pending = true;
    // Typing marks the configuration changed at once, so that leaving the program asks
    // about the entry before it is committed.
    EditModel(config_, box.edit->objectName().toStdString(), [](DataModel&) {});
}

bool SetupPanel::Validate(EntryBox& box) {
    if (!box.pending || config_.state.Loading) {
        return true;
    }
    const std::string text = box.edit->text().toStdString();
    if (box.statusName) {
        CommitStatusName(config_, box.index, text);
        box.pending = false;
        AfterCommit(box.edit, box.index);
        return true;
    }
    const DigitCommit commit =
        CommitDigitEntry(config_, box.digits, box.index, text, CommitMode::KeepText);
    if (commit.accepted) {
        ShowDigits(box.edit, commit.text);
        AfterCommit(box.edit, box.index);
    }
    return commit.accepted;
}

void SetupPanel::LostFocus(EntryBox& box) {
    if (!box.pending || config_.state.Loading) {
        return;
    }
    if (box.statusName) {
        Validate(box);
        return;
    }
    const DigitCommit commit = CommitDigitEntry(
        config_, box.digits, box.index, box.edit->text().toStdString(), CommitMode::Restore);
    ShowDigits(box.edit, commit.text);
    AfterCommit(box.edit, box.index);
}

void SetupPanel::Refuse(EntryBox& box) {
    if (!panel_->isEnabled() || !box.edit->isVisible()) {
        LostFocus(box);
        return;
    }
    refusal_.RestoreFocus(box.edit);
    window_.ShowHint(
        QString::fromStdString(SetupControlHint(box.edit->objectName().toStdString())));
    Validate(box);  // refuses again, now with its message
}

bool SetupPanel::CommitPendingEdit() {
    if (!panel_->isEnabled() || !panel_->isVisible()) {
        return true;
    }
    // The window's own focus: while a message box or another window is active the
    // application has none, and the box being typed in must be checked all the same.
    EntryBox* box = EntryOf(window_.focusWidget());
    return box == nullptr || Validate(*box);
}

bool SetupPanel::RefuseFocusedEntry() {
    EntryBox* box = EntryOf(QApplication::focusWidget());
    if (box == nullptr || box->statusName || !box->pending || config_.state.Loading ||
        DigitEntryValue(box->digits, box->edit->text().toStdString())) {
        return false;
    }
    return !Validate(*box);
}

// ---- Events ----------------------------------------------------------------------------------

bool SetupPanel::eventFilter(QObject* watched, QEvent* event) {
    // A digit box refused to let the focus go to the control clicked: the click is not for it.
    if (refusal_.Swallows(event)) {
        return true;
    }
    if (event->type() == QEvent::MouseButtonPress &&
        std::find(pageSwitches_.begin(), pageSwitches_.end(), watched) != pageSwitches_.end() &&
        RefuseFocusedEntry()) {
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
            EntryBox* box = EntryOf(watched);
            if (box != nullptr && box->statusName &&
                (key == Qt::Key_Return || key == Qt::Key_Enter)) {
                window_.RunCommand([this, box] { Validate(*box); });
                return true;
            }
            break;
        }
        default:
            break;
    }
    return QObject::eventFilter(watched, event);
}

void SetupPanel::OnFocusIn(QWidget* widget, Qt::FocusReason reason) {
    if (IsWindowFocusChange(reason)) {
        return;
    }
    const std::string hint = SetupControlHint(widget->objectName().toStdString());
    if (!hint.empty()) {
        window_.ShowHint(QString::fromStdString(hint));
    }
    EntryBox* box = EntryOf(widget);
    if (box == nullptr || refusal_.Restoring()) {
        return;
    }
    box->pending = false;
    // The whole text is selected, so that the first key typed replaces it; a click places
    // the cursor after the focus came, so the selection is made again once it has.
    box->edit->selectAll();
    if (reason == Qt::MouseFocusReason) {
        QLineEdit* edit = box->edit;
        QTimer::singleShot(0, edit, [edit] { edit->selectAll(); });
    }
}

void SetupPanel::OnFocusOut(QWidget* widget, Qt::FocusReason reason) {
    EntryBox* box = EntryOf(widget);
    if (box == nullptr || IsWindowFocusChange(reason) || !box->pending || refusal_.Pending() ||
        config_.state.Loading) {
        return;
    }
    // Moving on to another control of the window (the tree included) validates the entry,
    // which may refuse, say why and keep the focus. When the box loses the focus to nothing
    // (the panel is put away), the entry is committed and a refused one gives way to the
    // stored value.
    QWidget* next = QApplication::focusWidget();
    const bool validating =
        next != nullptr && next->window() == panel_->window() && box->edit->isVisible();
    if (!validating || box->statusName) {
        LostFocus(*box);
        return;
    }
    if (DigitEntryValue(box->digits, box->edit->text().toStdString())) {
        Validate(*box);
        return;
    }
    // The focus is moving right now: it comes back, and the message shows, once the event
    // that moved it is done.
    QLineEdit* edit = box->edit;
    refusal_.Defer([this, edit] {
        if (EntryBox* refused = EntryOf(edit)) {
            Refuse(*refused);
        }
    });
}

}  // namespace mrw
