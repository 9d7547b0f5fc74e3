#include "platform/qt_folders.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

#include "core/folders.h"

namespace mrw {

namespace {

std::filesystem::path ToPath(const QString& folder) {
    return std::filesystem::path(folder.toStdString());
}

}  // namespace

std::filesystem::path InstalledDataFolder() {
    return MRW_INSTALLED_DATA_DIR;
}

std::filesystem::path UserStateFolder() {
    return ToPath(QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation));
}

void ChooseProgramFolders(Services& services) {
    const std::filesystem::path exeFolder = ToPath(QCoreApplication::applicationDirPath());
    services.programFolder = FindDataFolder(exeFolder, InstalledDataFolder());
    services.logFolder = ChooseLogFolder(exeFolder, services.programFolder, UserStateFolder());
    services.userDataFolder = UserStateFolder();
    // A fresh account may have no Documents folder yet: the dialogs then start at home.
    QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty() || !QDir(documents).exists()) {
        documents = QDir::homePath();
    }
    services.documentsFolder = ToPath(documents);
}

}  // namespace mrw
