#include "ui/program_preview.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "files/file_only.h"
#include "ui/fixed_font.h"

namespace mrw {

namespace {

constexpr int kPreviewWidth = 560;
constexpr int kPreviewHeight = 420;

}  // namespace

namespace {

bool IsKeptGroup(const DifferenceGroup& group) {
    return !group.differences.empty() && group.differences.front().notWritten;
}

size_t ChangeCount(const std::vector<Difference>& differences) {
    return static_cast<size_t>(std::count_if(differences.begin(), differences.end(),
                                             [](const Difference& d) { return !d.notWritten; }));
}

}  // namespace

std::string PreviewSummary(size_t count) {
    if (count == 0) {
        return "The radio already holds this configuration.";
    }
    return "Programming will change " + std::to_string(count) +
           (count == 1 ? " setting" : " settings") + " in the radio:";
}

std::string PreviewItemText(const Difference& difference) {
    switch (difference.kind) {
        case DifferenceKind::Added:
            return "added";
        case DifferenceKind::Removed:
            return "removed";
        case DifferenceKind::Changed:
            break;
    }
    const std::string text =
        difference.key + ": " +
        (difference.note.empty() ? difference.oldValue + " -> " + difference.newValue
                                 : difference.note);
    return difference.notWritten ? "[" + difference.section + "] " + text : text;
}

std::vector<DifferenceGroup> PreviewGroups(const std::vector<Difference>& differences) {
    std::vector<Difference> changes;
    DifferenceGroup kept{kKeptInFileHeading, {}};
    for (const Difference& d : differences) {
        (d.notWritten ? kept.differences : changes).push_back(d);
    }
    std::vector<DifferenceGroup> groups = GroupBySection(changes);
    if (!kept.differences.empty()) {
        groups.push_back(std::move(kept));
    }
    return groups;
}

std::string PreviewGroupText(const DifferenceGroup& group) {
    const size_t n = group.differences.size();
    if (IsKeptGroup(group)) {
        return KeptInFileOnlyLine(n);
    }
    return "[" + group.section + "]  " + std::to_string(n) + (n == 1 ? " change" : " changes");
}

std::string PreviewBackupText(const std::string& backupFile) {
    return backupFile.empty() ? std::string()
                              : "The radio's present configuration is kept in " + backupFile + ".";
}

ProgramPreviewDialog::ProgramPreviewDialog(const std::vector<Difference>& differences,
                                           const std::string& backupFile, QWidget* parent)
    : QDialog(parent) {
    setObjectName("frmProgramPreview");
    setWindowTitle("Program to Radio");
    setModal(true);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    resize(kPreviewWidth, kPreviewHeight);

    summary_ = new QLabel(QString::fromStdString(PreviewSummary(ChangeCount(differences))), this);
    summary_->setObjectName("lblPreviewSummary");
    summary_->setWordWrap(true);

    list_ = new QTreeWidget(this);
    list_->setObjectName("tvPreview");
    list_->setHeaderHidden(true);
    list_->setColumnCount(1);
    list_->setRootIsDecorated(true);
    list_->setFont(FixedPitchFont());
    list_->setSelectionMode(QAbstractItemView::NoSelection);
    list_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    for (const DifferenceGroup& group : PreviewGroups(differences)) {
        auto* heading = new QTreeWidgetItem(list_);
        heading->setText(0, QString::fromStdString(PreviewGroupText(group)));
        for (const Difference& d : group.differences) {
            auto* item = new QTreeWidgetItem(heading);
            item->setText(0, QString::fromStdString(PreviewItemText(d)));
            item->setToolTip(0, QString::fromStdString(DifferenceLine(d)));
        }
        heading->setExpanded(true);
    }
    list_->setVisible(!differences.empty());

    backup_ = new QLabel(QString::fromStdString(PreviewBackupText(backupFile)), this);
    backup_->setObjectName("lblPreviewBackup");
    backup_->setWordWrap(true);
    backup_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    backup_->setVisible(!backupFile.empty());

    program_ = new QPushButton("&Program", this);
    program_->setObjectName("cmdProgram");
    program_->setDefault(true);
    cancel_ = new QPushButton("Cancel", this);
    cancel_->setObjectName("cmdCancel");
    connect(program_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(program_);
    buttons->addWidget(cancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(summary_);
    layout->addWidget(list_, 1);
    if (differences.empty()) {
        layout->addStretch(1);
    }
    layout->addWidget(backup_);
    layout->addLayout(buttons);
}

bool ShowProgramPreview(const std::vector<Difference>& differences, const std::string& backupFile,
                        QWidget* parent) {
    ProgramPreviewDialog dialog(differences, backupFile, parent);
    // The transfer shows the hourglass meanwhile; the choice here is the user's.
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    const bool program = dialog.exec() == QDialog::Accepted;
    QApplication::restoreOverrideCursor();
    return program;
}

}  // namespace mrw
