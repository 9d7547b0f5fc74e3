// The one configuration of the running program: the memory image, the data model, the
// application state and the services through which the core reaches the platform.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "core/services.h"
#include "image/image.h"
#include "model/edit_history.h"
#include "model/model.h"

namespace mrw {

/// Application state shared by every part of the program.
struct AppState {
    int16_t ModelType = 1;         ///< 1, 2 or 11.
    std::string ModelName;         ///< Name of the current model type.
    bool AtisSupported = false;    ///< From global.ini key "atis".
    std::string TitleText;         ///< "PC Program for " + ModelName; every message box caption.
    std::string CurrentFileName;   ///< Settings file last opened or saved; empty when none.
    bool DataChanged = false;      ///< Edited since loaded, created or saved.
    bool Loading = false;          ///< The program itself fills the model or the controls.
    bool ErrorFlag = false;        ///< The last load, save or transfer step failed.
    bool CancelFlag = false;       ///< The user cancelled, or a step failed.
    bool DebugSwitch = false;      ///< "/D": logs, progress notes, hex dump, hex files.
    bool Baud19200Switch = false;  ///< "/E": the link stays at 19200 baud.

    int16_t TransferMode = 0;           ///< Mode the transfer dialog opens in (0..10).
    bool TransferDone = false;          ///< The last transfer operation completed.
    bool RegionChangeAccepted = false;  ///< A read took over the radio's region.

    int16_t PortNumber = 1;  ///< Serial port number n of "COM n".
    std::string PortDevice;  ///< Device path given explicitly (--port); overrides the number.
};

/// Sets Loading while the program fills its own controls or model and puts the earlier value
/// back, so that change handlers stay still meanwhile.
class LoadingScope {
public:
    explicit LoadingScope(AppState& state) : state_(state), before_(state.Loading) {
        state_.Loading = true;
    }
    ~LoadingScope() { state_.Loading = before_; }
    LoadingScope(const LoadingScope&) = delete;
    LoadingScope& operator=(const LoadingScope&) = delete;

private:
    AppState& state_;
    bool before_;
};

/// The application's short title: the settings store's application name and the first part
/// of the window caption.
inline constexpr const char* kAppTitle = "MRW";

/// The region menu "&Region": eleven entries, at most ten used.
struct RegionMenu {
    struct Entry {
        std::string caption;
        bool visible = false;
        bool checked = false;
    };
    bool enabled = false;
    std::array<Entry, 11> entries{};
};

/// Which default image the reset to the defaults of the current model type and region starts
/// from: the factory's of the region, or the user's own (File > Save As Default).
struct DefaultsInUse {
    std::string region;   ///< The region ("UK"); empty when no default image was found.
    bool own = false;     ///< The user's own default image, else the factory's.
    std::string savedAt;  ///< When the user's own was saved: "2026-12-07 09:15", local time.
    /// The user's own default last refused (its path and time), so that it is reported once.
    std::string refused;
};

/// Hooks through which core operations ask the window to follow them. All do nothing unless
/// a window is attached; so the command line takes no pause that only a window needs.
class Shell {
public:
    virtual ~Shell() = default;
    /// Hourglass on and window disabled (true), or the reverse (false).
    virtual void SetBusy(bool /*busy*/) {}
    /// Rebuild drop-down lists, grids and the category tree from the data model.
    virtual void RebuildViews() {}
    /// Select the category node with this key and show its panel.
    virtual void ShowCategory(const std::string& /*key*/) {}
    /// Recompute the window caption from the application state.
    virtual void UpdateWindowCaption() {}
    /// The region menu changed (entries, checks or enabled state).
    virtual void RegionMenuChanged() {}
    /// The key of the category node whose panel is shown; empty when none.
    virtual std::string CurrentCategory() const { return {}; }
    /// The edit history changed: a step was added, undone or redone.
    virtual void HistoryChanged() {}
    /// Holds the busy window a moment after a load, save or region change so that the user
    /// sees the step happen. Without a window there is nobody to show it to, and nothing waits.
    virtual void HoldBusy(int /*ms*/) {}
};

/// Thrown when a configuration is asked for a service nobody gave it: a programming error.
struct MissingService : std::logic_error {
    using std::logic_error::logic_error;
};

/// The platform services used by the core. The program and every test give a configuration
/// its clock, prompt and settings store explicitly; there are no hidden defaults.
struct Services {
    Clock* clock = nullptr;
    Prompt* prompt = nullptr;
    SettingsStore* settings = nullptr;
    Shell* shell = nullptr;
    /// The folder of the data files: global.ini and the region default images.
    std::filesystem::path programFolder;
    /// Where the debug logs err.log and log/ are written; empty: the program's folder.
    std::filesystem::path logFolder;
    /// Where the file dialogs start when none was used yet: the user's documents.
    std::filesystem::path documentsFolder;
    /// The per-user data folder; its folder "defaults" holds the user's own default images.
    /// Empty: there are none.
    std::filesystem::path userDataFolder;
};

/// The whole configuration.
struct Config {
    Image image;
    DataModel model;
    AppState state;
    RegionMenu regionMenu;
    DefaultsInUse defaults;
    Services services;
    /// The edits made since the configuration was loaded, for Undo and Redo.
    EditHistory history;

    Config();
    /// The services; each throws MissingService when it was not given.
    Clock& clock();
    Prompt& prompt();
    SettingsStore& settings();
    Shell& shell();
};

/// A whole configuration was just created, opened or read: nothing is changed and there is
/// nothing to undo.
void MarkConfigurationLoaded(Config& config);
/// The configuration was just saved: nothing is changed, and undoing back to this point
/// leaves it unchanged again.
void MarkConfigurationSaved(Config& config);

/// The configuration of the running program.
Config& TheConfig();

/// Shows a message box captioned with the application's TitleText.
Answer ShowMessage(Config& config, const std::string& text, Icon icon,
                   Buttons buttons = Buttons::Ok, Answer defaultButton = Answer::Ok);

}  // namespace mrw
