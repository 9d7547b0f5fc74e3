#include "platform/qt_settings.h"

#include <QSettings>

#include "core/config.h"

namespace mrw {

namespace {
QString KeyOf(const std::string& section, const std::string& key) {
    return QString::fromStdString(section) + "/" + QString::fromStdString(key);
}
}  // namespace

QtSettingsStore::QtSettingsStore()
    : settings_(std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, kAppTitle,
                                            kAppTitle)) {}

QtSettingsStore::QtSettingsStore(const QString& iniFile)
    : settings_(std::make_unique<QSettings>(iniFile, QSettings::IniFormat)) {}

QtSettingsStore::~QtSettingsStore() = default;

std::string QtSettingsStore::Get(const std::string& section, const std::string& key,
                                 const std::string& fallback) {
    const QString k = KeyOf(section, key);
    if (!settings_->contains(k)) {
        return fallback;
    }
    return settings_->value(k).toString().toStdString();
}

void QtSettingsStore::Set(const std::string& section, const std::string& key,
                          const std::string& value) {
    const QString k = KeyOf(section, key);
    const QString v = QString::fromStdString(value);
    // A value the file holds already is not written again (the start-up stores the chosen
    // port each time); sync first takes in what another instance may have written meanwhile.
    settings_->sync();
    if (settings_->contains(k) && settings_->value(k).toString() == v) {
        return;
    }
    settings_->setValue(k, v);
    settings_->sync();
}

QString QtSettingsStore::FileName() const {
    return settings_->fileName();
}

}  // namespace mrw
