#include "platform/qt_folders.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

#include "core/folders.h"

namespace mrw {

std::filesystem::path PathFromQString(const QString& name) {
    return std::filesystem::path(name.toStdU16String());
}

QString QStringFromPath(const std::filesystem::path& path) {
    // With "/" between the names, as Qt writes paths on every system.
    return QString::fromStdU16String(path.generic_u16string());
}

std::filesystem::path InstalledDataFolder() {
    return MRW_INSTALLED_DATA_DIR;
}

std::filesystem::path UserStateFolder() {
    return PathFromQString(QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation));
}

void ChooseProgramFolders(Services& services) {
    const std::filesystem::path exeFolder = PathFromQString(QCoreApplication::applicationDirPath());
    services.programFolder = FindDataFolder(exeFolder, InstalledDataFolder());
    services.logFolder = ChooseLogFolder(exeFolder, services.programFolder, UserStateFolder());
    services.userDataFolder = UserStateFolder();
    // A fresh account may have no Documents folder yet: the dialogs then start at home.
    QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty() || !QDir(documents).exists()) {
        documents = QDir::homePath();
    }
    services.documentsFolder = PathFromQString(documents);
}

}  // namespace mrw
