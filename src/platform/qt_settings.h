// The per-user settings store of the desktop program, behind the SettingsStore service.
#pragma once

#include <QString>
#include <memory>

#include "core/services.h"

class QSettings;

namespace mrw {

/// Values kept in an INI file through QSettings, one group per section. By default the file
/// is the user's "MRW/MRW.ini" in the platform's configuration folder; tests name a file of
/// their own.
class QtSettingsStore : public SettingsStore {
public:
    /// The user's store under the application name "MRW".
    QtSettingsStore();
    /// A store kept in the given INI file.
    explicit QtSettingsStore(const QString& iniFile);
    ~QtSettingsStore() override;

    std::string Get(const std::string& section, const std::string& key,
                    const std::string& fallback = "") override;
    /// Stores the value and writes the file at once, so it survives a crash.
    void Set(const std::string& section, const std::string& key, const std::string& value) override;
    /// Where the values are kept.
    QString FileName() const;

private:
    std::unique_ptr<QSettings> settings_;
};

}  // namespace mrw
