// The preview before programming: what programming will change in the radio, grouped by the
// settings file's sections, with Program and Cancel.
#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "files/config_diff.h"

class QLabel;
class QPushButton;
class QTreeWidget;

namespace mrw {

/// The line above the list: "Programming will change N settings in the radio:", or "The radio
/// already holds this configuration." when nothing differs.
std::string PreviewSummary(size_t count);

/// The text of one difference under its heading: "KEY: OLD -> NEW" (or "KEY: NOTE"), "added"
/// or "removed"; a setting kept in the file only, listed under one heading for all sections,
/// as "[SECTION] KEY: OLD -> NEW".
std::string PreviewItemText(const Difference& difference);

/// The differences as the list shows them: grouped by section, in order of their first
/// difference; then the settings kept in the file only (notWritten) in one group whose
/// section is kKeptInFileHeading.
std::vector<DifferenceGroup> PreviewGroups(const std::vector<Difference>& differences);

/// The heading of a group: "[SECTION]" and how many of its differences follow; for the
/// settings kept in the file only "Kept in the file only: N settings".
std::string PreviewGroupText(const DifferenceGroup& group);

/// The line under the list that names the backup: "The radio's present configuration is kept
/// in FILE."; empty without a backup.
std::string PreviewBackupText(const std::string& backupFile);

/// frmProgramPreview: the differences (tvPreview, one top-level item per section), the summary
/// (lblPreviewSummary), the backup (lblPreviewBackup) and the buttons cmdProgram (the default)
/// and cmdCancel.
class ProgramPreviewDialog : public QDialog {
    Q_OBJECT
public:
    ProgramPreviewDialog(const std::vector<Difference>& differences,
                         const std::string& backupFile = {}, QWidget* parent = nullptr);

private:
    QLabel* summary_ = nullptr;
    QLabel* backup_ = nullptr;
    QTreeWidget* list_ = nullptr;
    QPushButton* program_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

/// Shows the preview modally over `parent`; true when the user chose Program.
bool ShowProgramPreview(const std::vector<Difference>& differences, const std::string& backupFile,
                        QWidget* parent);

}  // namespace mrw
