#include "files/user_defaults.h"

#include <exception>
#include <filesystem>
#include <string>
#include <system_error>

#include "core/log.h"
#include "core/path_text.h"
#include "core/text.h"
#include "files/atomic_file.h"
#include "image/check_map.h"
#include "image/checks.h"
#include "image/codec.h"
#include "model/catalogue.h"
#include "model/regions.h"

namespace mrw {

namespace {

constexpr const char* kProcedure = "frmMain.SaveAsDefault";

std::string ModelAndRegion(const Config& config, const std::string& region) {
    return config.state.ModelName + " " + region;
}

}  // namespace

Outcome SaveAsDefault(Config& config) {
    AppState& st = config.state;
    const std::string region = RegionName(config.image.Get(checkmap::kRegionAddress));
    const RegionMenu::Entry* entry = nullptr;
    for (const RegionMenu::Entry& e : config.regionMenu.entries) {
        if (entry == nullptr && e.visible && EqualsIgnoreCase(RegionFileStem(e.caption), region)) {
            entry = &e;
        }
    }
    if (entry == nullptr) {
        ShowMessage(config,
                    "The " + ModelAndRegion(config, region) +
                        " has no factory default here, so New would never start from your "
                        "own.\nNothing was saved.",
                    Icon::Critical);
        return Outcome::Failed;
    }
    const std::filesystem::path file = UserDefaultPath(config, entry->caption);
    if (file.empty()) {
        ShowMessage(config, "There is no per-user folder to keep your own defaults in.",
                    Icon::Critical);
        return Outcome::Failed;
    }

    // The same preparation as before programming the radio, on copies: the configuration
    // being edited stays as it is.
    DataModel model = config.model;
    Image image = config.image;
    std::string error;
    bool prepared = false;
    try {
        prepared = EncodeImage(model, image, &error);
        if (prepared) {
            PrepareImageForWrite(image, model);
            UpdateChecksum(image);
        }
    } catch (const std::exception& e) {
        error = e.what();
    }
    if (!prepared) {
        WriteErrorLog(config, kProcedure, error);
        ShowMessage(config, error.empty() ? "FileSave Error!!" : error, Icon::Critical);
        return Outcome::Failed;
    }
    std::error_code ec;
    std::filesystem::create_directories(file.parent_path(), ec);  // a failure shows below
    const size_t size = static_cast<size_t>(image.ImageLastAddress) + 1;
    const bool written = SaveDocument(
        config, file,
        [&] { return std::string(reinterpret_cast<const char*>(image.bytes.data()), size); },
        kProcedure);
    st.CancelFlag = !written;
    if (!written) {
        return Outcome::Failed;
    }
    StoreRegionCaption(config, entry->caption);
    DefaultsInUse& in = config.defaults;
    in.region = RegionFileStem(entry->caption);
    in.own = true;
    in.savedAt = FileTimeText(file);
    in.refused.clear();
    return Outcome::Done;
}

bool HasOwnDefault(const Config& config) {
    if (config.defaults.region.empty()) {
        return false;
    }
    const std::filesystem::path file = UserDefaultPath(config, config.defaults.region);
    std::error_code ec;
    return !file.empty() && std::filesystem::is_regular_file(file, ec);
}

Outcome UseFactoryDefaults(Config& config) {
    if (!HasOwnDefault(config)) {
        return Outcome::Cancelled;
    }
    DefaultsInUse& in = config.defaults;
    const std::filesystem::path file = UserDefaultPath(config, in.region);
    const std::string saved = FileTimeText(file);
    MessageRequest question;
    question.text = "Remove your own default for the " + ModelAndRegion(config, in.region) +
                    (saved.empty() ? std::string() : ", saved " + saved) +
                    "?\nNew will start from the factory default again. The configuration you "
                    "are editing stays as it is.";
    question.title = config.state.TitleText;
    question.icon = Icon::Exclamation;
    question.buttons = Buttons::OkCancel;
    question.defaultButton = Answer::Cancel;
    question.okText = "Remove";
    if (config.prompt().Message(question) != Answer::Ok) {
        return Outcome::Cancelled;
    }
    std::error_code ec;
    if (!std::filesystem::remove(file, ec) && ec) {
        ShowMessage(
            config,
            "Your own default could not be removed.\n" + PathText(file) + ": " + ec.message(),
            Icon::Critical);
        return Outcome::Failed;
    }
    in.own = false;
    in.savedAt.clear();
    return Outcome::Done;
}

}  // namespace mrw
