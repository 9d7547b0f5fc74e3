#include "ui/channel_csv.h"

#include <QAction>
#include <QFileInfo>
#include <QMenu>
#include <QTreeWidget>
#include <filesystem>
#include <string>

#include "core/config.h"
#include "files/atomic_file.h"
#include "files/csv_channels.h"
#include "platform/qt_folders.h"
#include "ui/main_window.h"

namespace mrw {

namespace {

// How many notes the import box lists in its text; all of them are in its details.
constexpr int kShownNotes = 8;

// The folder the file dialogs open in: that of the settings file in use, if any.
std::string DialogFolder(const Config& config) {
    const std::filesystem::path current =
        PathFromQString(QString::fromStdString(config.state.CurrentFileName));
    return current.has_parent_path() ? QStringFromPath(current.parent_path()).toStdString()
                                     : std::string();
}

std::string AllNotes(const CsvImport& import) {
    std::string text;
    for (const CsvNote& note : import.notes) {
        text += NoteText(note) + "\n";
    }
    return text;
}

}  // namespace

ChannelCsvCommands::ChannelCsvCommands(MainWindow& window, Config& config,
                                       std::function<QString()> shownKey)
    : QObject(&window), window_(window), config_(config), shownKey_(std::move(shownKey)) {}

ChannelCsvCommands* ChannelCsvCommands::Install(MainWindow& window, Config& config,
                                                std::function<QString()> shownKey) {
    auto* commands = new ChannelCsvCommands(window, config, std::move(shownKey));
    commands->setObjectName("channelCsvCommands");
    auto* file = window.findChild<QMenu*>("mnuFile");
    auto* saveAsDefault = window.findChild<QAction*>("mnuFileSaveAsDefault");
    if (file == nullptr || saveAsDefault == nullptr) {
        return commands;
    }
    const QList<QAction*> actions = file->actions();
    const qsizetype after = actions.indexOf(saveAsDefault) + 1;
    QAction* before = after < actions.size() ? actions[after] : nullptr;
    file->insertSeparator(before);
    commands->importAction_ = new QAction(QString::fromUtf8("&Import Channels from CSV…"), file);
    commands->importAction_->setObjectName("mnuFileImportCsv");
    commands->exportAction_ = new QAction(QString::fromUtf8("&Export Channels to CSV…"), file);
    commands->exportAction_->setObjectName("mnuFileExportCsv");
    file->insertAction(before, commands->importAction_);
    file->insertAction(before, commands->exportAction_);
    window.ConnectCommand(commands->importAction_, [commands] { commands->Import(); });
    window.ConnectCommand(commands->exportAction_, [commands] { commands->Export(); });
    connect(file, &QMenu::aboutToShow, commands, &ChannelCsvCommands::UpdateEnabled);
    if (auto* tree = window.findChild<QTreeWidget*>("tvTreeView")) {
        connect(tree, &QTreeWidget::currentItemChanged, commands,
                &ChannelCsvCommands::UpdateEnabled);
    }
    commands->UpdateEnabled();
    return commands;
}

TableKind ChannelCsvCommands::ShownTable() const {
    const TableKind kind = TableKindOfKey(shownKey_ ? shownKey_().toStdString() : std::string());
    return ChannelTableName(kind).empty() ? TableKind::None : kind;
}

void ChannelCsvCommands::UpdateEnabled() {
    const bool shown = ShownTable() != TableKind::None;
    for (QAction* action : {importAction_, exportAction_}) {
        if (action != nullptr) {
            action->setEnabled(shown);
        }
    }
}

void ChannelCsvCommands::Import() {
    if (!window_.CommitPendingEdit()) {
        return;
    }
    const TableKind kind = ShownTable();
    if (kind == TableKind::None) {
        return;
    }
    FileDialogRequest dialog;
    dialog.title = "Import Channels from CSV";
    dialog.filter = kCsvFileFilter;
    dialog.folder = DialogFolder(config_);
    dialog.mustExist = true;
    const std::string path = config_.prompt().FileDialog(dialog);
    if (path.empty()) {
        return;
    }
    std::string text;
    std::string error;
    if (!ReadCsvFile(path, text, error)) {
        ShowMessage(config_, "FileRead Error!!\n" + error, Icon::Critical);
        return;
    }
    const CsvImport import = ImportChannelCsv(text, kind, *TableOf(config_.model, kind));
    MessageRequest box;
    box.title = config_.state.TitleText;
    box.icon = Icon::Exclamation;
    box.details = AllNotes(import);
    const std::string name = QFileInfo(QString::fromStdString(path)).fileName().toStdString();
    if (!import.refusal.empty()) {
        box.text = "Nothing was imported from " + name + ".\n" + import.refusal;
        for (size_t i = 0; i < import.notes.size() && i < static_cast<size_t>(kShownNotes); ++i) {
            box.text += (i == 0 ? "\n\n" : "\n") + NoteText(import.notes[i]);
        }
        config_.prompt().Message(box);
        return;
    }
    box.text = ImportSummary(config_.model, kind, import, kShownNotes);
    box.buttons = Buttons::OkCancel;
    box.okText = "Import";
    if (config_.prompt().Message(box) != Answer::Ok) {
        return;
    }
    ApplyChannelImport(config_, kind, import.table);
    window_.ShowCurrentNode();  // the grid shows the channels now in the table
}

void ChannelCsvCommands::Export() {
    if (!window_.CommitPendingEdit()) {
        return;
    }
    const TableKind kind = ShownTable();
    if (kind == TableKind::None) {
        return;
    }
    FileDialogRequest dialog;
    dialog.save = true;
    dialog.title = "Export Channels to CSV";
    dialog.filter = kCsvFileFilter;
    dialog.folder = DialogFolder(config_);
    dialog.initialName = ChannelTableName(kind) + ".csv";
    dialog.overwritePrompt = true;
    dialog.defaultSuffix = "csv";
    const std::string path = config_.prompt().FileDialog(dialog);
    if (path.empty()) {
        return;
    }
    SaveDocument(
        config_, path, [this, kind] { return ChannelTableCsv(config_.model, kind); },
        "frmMain.ExportChannelsCsv");
}

}  // namespace mrw
