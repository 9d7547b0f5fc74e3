#include "model/regions.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <ctime>
#include <fstream>
#include <system_error>

#include "core/calendar.h"
#include "core/file_read.h"
#include "core/log.h"
#include "core/path_text.h"
#include "core/profile.h"
#include "core/text.h"
#include "image/check_map.h"
#include "image/checks.h"
#include "image/codec.h"
#include "model/catalogue.h"

namespace mrw {

namespace {

constexpr int kRegionMenuEntries = 11;
constexpr int kRegionNamesUsed = 10;
constexpr int kModelMenuEntries = 10;
constexpr int kRegionImagePauseMs = 500;
constexpr const char* kIniExtension = ".ini";
constexpr const char* kGlobalIni = "global.ini";
constexpr const char* kStoreSection = "IniFilePath";
constexpr const char* kStoreKeyPrefix = "IniFileName_";
constexpr const char* kGeneralCategory = "General";
constexpr const char* kUserDefaultsFolder = "defaults";

std::string StoreKey(const Config& config) {
    return kStoreKeyPrefix + std::to_string(config.state.ModelType);
}

std::string Suffix(const Config& config) {
    return ModelFileSuffix(config.state.ModelType);
}

// "True"/"False" as global.ini writes them, or any number (not 0 is True).
bool ProfileBool(const std::string& text) {
    std::string t = Trim(text);
    if (EqualsIgnoreCase(t, "True")) {
        return true;
    }
    if (EqualsIgnoreCase(t, "False")) {
        return false;
    }
    return ValToBool(t);
}

// The regular files of a folder, in listing order; an unreadable folder lists nothing.
std::vector<std::string> ListFolder(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    std::filesystem::directory_iterator it(folder, ec);
    for (; !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
        std::error_code typeError;
        if (it->is_regular_file(typeError)) {
            names.push_back(PathText(it->path().filename()));
        }
    }
    return names;
}

// The file `name` of `folder`: the exact name when it exists, else the first file whose name
// differs only in case (default images copied from a case-blind file system keep working).
std::optional<std::filesystem::path> FindFile(const std::filesystem::path& folder,
                                              const std::string& name) {
    std::error_code ec;
    if (std::filesystem::is_regular_file(folder / name, ec)) {
        return folder / name;
    }
    for (const std::string& listed : ListFolder(folder)) {
        if (EqualsIgnoreCase(listed, name)) {
            return folder / listed;
        }
    }
    return std::nullopt;
}

int CheckedEntry(const RegionMenu& menu) {
    for (int i = 0; i < kRegionMenuEntries; ++i) {
        if (menu.entries[static_cast<size_t>(i)].checked) {
            return i;
        }
    }
    return -1;
}

void UncheckAll(RegionMenu& menu) {
    for (auto& entry : menu.entries) {
        entry.checked = false;
    }
}

bool IsRegionEntry(int k) {
    return k >= 0 && k < kRegionMenuEntries;
}

// Reads the whole region image; nothing when the file cannot be read.
std::optional<std::vector<uint8_t>> ReadImageFile(const std::filesystem::path& path, size_t size,
                                                  std::string& error) {
    std::istringstream in;
    if (!OpenRegularFile(path, in, &error)) {
        return std::nullopt;
    }
    std::vector<uint8_t> bytes(size);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size));
    if (in.gcount() != static_cast<std::streamsize>(size)) {
        error = "cannot read " + PathText(path);
        return std::nullopt;
    }
    return bytes;
}

uint16_t CodeAt(const std::vector<uint8_t>& bytes, size_t address) {
    return static_cast<uint16_t>(bytes[address] * 256 + bytes[address + 1]);
}

// Why the user's own default image `file` of `region` must not be loaded; empty when it may.
std::string OwnDefaultProblem(const Config& config, const std::filesystem::path& file,
                              const std::string& region) {
    const size_t size = static_cast<size_t>(config.image.ImageLastAddress) + 1;
    std::error_code ec;
    const std::uintmax_t length = std::filesystem::file_size(file, ec);
    if (ec) {
        return "it cannot be read (" + ec.message() + ")";
    }
    if (length != size) {
        return "it holds " + std::to_string(length) + " bytes instead of " + std::to_string(size);
    }
    std::string error;
    const auto bytes = ReadImageFile(file, size, error);
    if (!bytes) {
        return "it cannot be read (" + error + ")";
    }
    if (!IsModelCodeValid(config.state.ModelType, CodeAt(*bytes, checkmap::kModelCodeAddress),
                          CodeAt(*bytes, size - 2))) {
        return "it is not an image of the " + config.state.ModelName;
    }
    const std::string named = RegionName((*bytes)[checkmap::kRegionAddress]);
    if (!EqualsIgnoreCase(named, region)) {
        return "it holds the region " + named;
    }
    return {};
}

}  // namespace

void ApplyModelType(Config& config, int modelType) {
    AppState& state = config.state;
    state.ModelType = static_cast<int16_t>(modelType);
    state.ModelName = ModelNameOf(modelType);
    state.AtisSupported = ProfileBool(ReadProfileValue(
        config.services.programFolder / kGlobalIni, "model" + std::to_string(modelType), "atis"));
    state.TitleText = "PC Program for " + state.ModelName;
    config.image.ImageLastAddress = kImageSize - 1;  // every known model uses the whole image
}

bool LoadRegionImage(Config& config, const std::filesystem::path& path) {
    AppState& state = config.state;
    std::error_code ec;
    if (!std::filesystem::exists(path, ec) || ec) {
        WriteErrorLog(config, "frmMain.FileReadIni", "file not found: " + PathText(path));
        state.CancelFlag = true;
        return false;
    }
    if (!IsImageFileLengthValid(path, config.image)) {
        return false;
    }
    state.ErrorFlag = false;
    state.Loading = true;
    const size_t size = static_cast<size_t>(config.image.ImageLastAddress) + 1;
    std::string error;
    auto bytes = ReadImageFile(path, size, error);
    if (!bytes) {
        WriteErrorLog(config, "frmMain.FileReadIni", error);
        state.CancelFlag = true;
        state.Loading = false;
        return false;
    }
    const uint16_t codeAt128 = CodeAt(*bytes, checkmap::kModelCodeAddress);
    const uint16_t codeAtEnd = CodeAt(*bytes, size - 2);
    if (IsModelCodeValid(state.ModelType, codeAt128, codeAtEnd)) {
        std::copy(bytes->begin(), bytes->end(), config.image.bytes.begin());
    } else {
        state.ErrorFlag = true;
    }
    config.shell().HoldBusy(kRegionImagePauseMs);
    config.shell().HoldBusy(kRegionImagePauseMs);
    state.Loading = false;
    if (state.ErrorFlag) {
        return false;
    }
    config.model = DecodedModel(config.image);
    return true;
}

std::optional<Image> RegionDefaultImage(const Config& config, int regionCode) {
    Image image = config.image;
    const size_t size = static_cast<size_t>(image.ImageLastAddress) + 1;
    std::string error;
    const auto bytes = ReadImageFile(RegionImagePath(config, RegionName(regionCode)), size, error);
    if (!bytes ||
        !IsModelCodeValid(config.state.ModelType, CodeAt(*bytes, checkmap::kModelCodeAddress),
                          CodeAt(*bytes, size - 2))) {
        return std::nullopt;
    }
    std::copy(bytes->begin(), bytes->end(), image.bytes.begin());
    return image;
}

std::vector<std::string> RegionNamesFromFiles(const std::vector<std::string>& fileNames,
                                              const std::string& suffix) {
    std::vector<std::string> names;
    if (suffix.empty()) {
        return names;  // an unknown model type has no region images
    }
    const std::string upperSuffix = ToUpper(suffix);
    for (const std::string& file : fileNames) {
        if (!EndsWithIgnoreCase(file, suffix + kIniExtension)) {
            continue;
        }
        std::string upper = ToUpper(file);
        std::string name = upper.substr(0, upper.find(upperSuffix));
        if (name.empty()) {
            continue;  // "_08FD.ini" names no region
        }
        names.push_back(name);
        if (static_cast<int>(names.size()) == kRegionNamesUsed) {
            break;
        }
    }
    std::stable_sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return ToUpper(a) < ToUpper(b);
    });
    return names;
}

std::vector<std::string> ListRegionNames(const Config& config) {
    return RegionNamesFromFiles(ListFolder(config.services.programFolder), Suffix(config));
}

std::filesystem::path RegionImagePath(const Config& config, const std::string& caption) {
    const std::string name = RegionFileStem(caption) + Suffix(config) + kIniExtension;
    auto found = FindFile(config.services.programFolder, name);
    return found ? *found : config.services.programFolder / name;
}

std::string RegionFileStem(const std::string& caption) {
    std::string stem = ToUpper(caption);
    if (stem.size() > 2 && EndsWithIgnoreCase(stem, "-M")) {
        stem.resize(stem.size() - 2);
    }
    return stem;
}

void StoreRegionCaption(Config& config, const std::string& caption) {
    config.settings().Set(kStoreSection, StoreKey(config), caption);
}

std::filesystem::path UserDefaultPath(const Config& config, const std::string& caption) {
    const std::filesystem::path& folder = config.services.userDataFolder;
    if (folder.empty()) {
        return {};
    }
    return folder / kUserDefaultsFolder / RegionImagePath(config, caption).filename();
}

std::string FileTimeText(const std::filesystem::path& path) {
    std::error_code ec;
    const auto written = std::filesystem::last_write_time(path, ec);
    if (ec) {
        return {};
    }
    const std::time_t t = std::chrono::system_clock::to_time_t(
        std::chrono::time_point_cast<std::chrono::system_clock::duration>(
            std::chrono::file_clock::to_sys(written)));
    const std::tm tm = LocalTimeOf(t);
    char text[32];
    return std::string(text, std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", &tm));
}

bool LoadRegionDefaults(Config& config, const std::string& caption) {
    DefaultsInUse& in = config.defaults;
    in.region = RegionFileStem(caption);
    in.own = false;
    in.savedAt.clear();
    const std::filesystem::path own = UserDefaultPath(config, caption);
    std::error_code ec;
    if (!own.empty() && std::filesystem::exists(own, ec)) {
        std::string problem = OwnDefaultProblem(config, own, in.region);
        if (problem.empty() && LoadRegionImage(config, own)) {
            in.own = true;
            in.savedAt = FileTimeText(own);
            return true;
        }
        if (problem.empty()) {
            problem = "it cannot be read";
        }
        // Each New would say it again: the same file is reported once.
        const std::string mark = PathText(own) + " " + FileTimeText(own);
        if (in.refused != mark) {
            in.refused = mark;
            ShowMessage(config,
                        "Your own default for the " + config.state.ModelName + " " + in.region +
                            " cannot be used: " + problem +
                            ".\nThe factory default is used "
                            "instead. File > Save As Default stores a new one; Options > Use "
                            "Factory Defaults removes it.\n\n" +
                            PathText(own),
                        Icon::Exclamation);
        }
    }
    return LoadRegionImage(config, RegionImagePath(config, caption));
}

void BuildRegionMenu(Config& config) {
    RegionMenu& menu = config.regionMenu;
    menu.enabled = false;
    const std::vector<std::string> names = ListRegionNames(config);
    if (names.empty()) {
        // Entries of another model type must not linger behind the disabled menu.
        menu.entries = {};
        config.defaults.region.clear();
        config.defaults.own = false;
        config.shell().RegionMenuChanged();
        ShowMessage(config, "Ini files are not found!!", Icon::Exclamation);
        return;
    }
    menu.enabled = true;
    for (int i = 0; i < kRegionMenuEntries; ++i) {
        auto& entry = menu.entries[static_cast<size_t>(i)];
        entry.checked = false;
        entry.visible = i < static_cast<int>(names.size());
        entry.caption = entry.visible ? names[static_cast<size_t>(i)] : "";
    }

    // The stored caption counts only while its file is there and the menu offers it.
    std::string stored = config.settings().Get(kStoreSection, StoreKey(config), "");
    auto offered = [&](const std::string& caption) {
        return std::any_of(names.begin(), names.end(),
                           [&](const std::string& n) { return EqualsIgnoreCase(n, caption); });
    };
    if (stored.empty() ||
        !FindFile(config.services.programFolder, stored + Suffix(config) + kIniExtension) ||
        !offered(stored)) {
        stored = names.front();
        config.settings().Set(kStoreSection, StoreKey(config), stored);
    }
    int index = -1;
    for (int i = 0; i < kRegionMenuEntries && index < 0; ++i) {
        const auto& entry = menu.entries[static_cast<size_t>(i)];
        if (entry.visible && EqualsIgnoreCase(entry.caption, stored)) {
            index = i;
        }
    }
    const bool loaded = LoadRegionDefaults(config, stored);
    if (index >= 0) {
        menu.entries[static_cast<size_t>(index)].checked = loaded;
    }
    config.shell().RegionMenuChanged();
    if (loaded) {
        config.shell().RebuildViews();
    } else {
        ShowMessage(config, "Ini file read Error!!", Icon::Exclamation);
    }
}

bool ChangeRegion(Config& config, int k) {
    if (!IsRegionEntry(k)) {
        return false;
    }
    RegionMenu& menu = config.regionMenu;
    config.shell().SetBusy(true);
    const int previous = CheckedEntry(menu);
    UncheckAll(menu);
    const std::string caption = menu.entries[static_cast<size_t>(k)].caption;
    const bool loaded = LoadRegionDefaults(config, caption);
    menu.entries[static_cast<size_t>(k)].checked = loaded;
    if (loaded) {
        config.settings().Set(kStoreSection, StoreKey(config), caption);
        config.shell().RegionMenuChanged();
        config.shell().RebuildViews();
    } else {
        if (previous >= 0) {
            menu.entries[static_cast<size_t>(previous)].checked = true;
        }
        config.shell().RegionMenuChanged();
        ShowMessage(config, "IniFileRead Error!!", Icon::Exclamation);
    }
    config.shell().SetBusy(false);
    return loaded;
}

namespace {

// `defaults`: the default image and the region of `entry` (none: the stored region);
// otherwise only the weather table and the views.
bool ResetToDefaults(Config& config, bool defaults, std::optional<int> entry) {
    config.state.Loading = true;
    bool loaded = true;
    if (defaults) {
        // The model follows the default image at once, so that a region image that cannot be
        // read leaves a model and an image that agree.
        NewImage(config.image, config.model, config.state.ModelType);
        config.model = DecodedModel(config.image);
    }
    // After that decode: the default image's weather area is erased, and CHWX comes from the
    // weather channel table. Only a region image read over the defaults brings its own.
    RebuildWeatherTable(config.model);
    if (defaults) {
        if (!entry) {
            BuildRegionMenu(config);
        } else {
            loaded = ChangeRegion(config, *entry);
        }
    }
    config.state.Loading = true;
    config.shell().RebuildViews();
    config.shell().ShowCategory(kGeneralCategory);
    config.shell().UpdateWindowCaption();
    config.state.Loading = false;
    return loaded;
}

}  // namespace

void ResetToStoredRegion(Config& config) {
    ResetToDefaults(config, true, std::nullopt);
}

bool ResetToRegionEntry(Config& config, int k) {
    return IsRegionEntry(k) && ResetToDefaults(config, true, k);
}

void RebuildWeatherAndViews(Config& config) {
    ResetToDefaults(config, false, std::nullopt);
}

void ShowImageRegion(Config& config) {
    RegionMenu& menu = config.regionMenu;
    if (!menu.enabled) {
        return;
    }
    for (auto& entry : menu.entries) {
        if (entry.visible) {
            entry.checked = false;
        }
    }
    const std::string region = RegionName(config.image.Get(checkmap::kRegionAddress));
    for (auto& entry : menu.entries) {
        const std::string first = Split(ToUpper(entry.caption), "_").front();
        if (EqualsIgnoreCase(first, region)) {
            entry.checked = true;
        }
    }
    config.shell().RegionMenuChanged();
}

std::optional<int> CheckFileRegion(Config& config, std::string_view fileText) {
    AppState& state = config.state;
    const auto modelType = ParseNumber(ProfileTextValue(fileText, "MAIN", "MODELTYPE"));
    if (!modelType || *modelType != state.ModelType) {
        ShowMessage(config, "ModelType Error !!", Icon::Critical);
        state.ErrorFlag = true;
        return std::nullopt;
    }
    // The leading number as a byte; a value no byte can hold names no region.
    const double value = RoundHalfEven(Val(ProfileTextValue(fileText, "MAIN", "REGION")));
    const int fileCode = value >= 0 && value <= 255 ? static_cast<int>(value) : 255;
    const int imageCode = config.image.Get(checkmap::kRegionAddress);
    if (RegionIndex(fileCode) == RegionIndex(imageCode)) {
        return fileCode;
    }
    const std::string lines = RegionMismatchLines(RegionSource::File, fileCode, imageCode, "\n");
    if (RegionIndex(fileCode) == 255 || RegionIndex(imageCode) == 255) {
        MessageRequest request;
        request.text = "Region Unmatched !!" + lines;
        request.title = "Read Binary Data";
        request.icon = Icon::Critical;
        config.prompt().Message(request);
        state.ErrorFlag = true;
        return std::nullopt;
    }
    const Answer answer =
        ShowMessage(config, "The region is unmatched.\nDo you want to change the region?" + lines,
                    Icon::Exclamation, Buttons::YesNo, Answer::No);
    if (answer != Answer::Yes) {
        state.ErrorFlag = true;
        return std::nullopt;
    }
    return fileCode;
}

bool RegionMenuCommand(Config& config, int k) {
    RegionMenu& menu = config.regionMenu;
    if (!IsRegionEntry(k) || !menu.entries[static_cast<size_t>(k)].visible) {
        return false;
    }
    const auto& entry = menu.entries[static_cast<size_t>(k)];
    if (!entry.checked) {
        const Answer answer = ShowMessage(config, "Do you want to change to " + entry.caption + "?",
                                          Icon::Exclamation, Buttons::OkCancel, Answer::Ok);
        if (answer != Answer::Ok) {
            return false;
        }
    }
    config.shell().SetBusy(true);
    config.shell().ShowCategory(kGeneralCategory);
    config.shell().HoldBusy(kRegionImagePauseMs);
    ResetToRegionEntry(config, k);
    ChangeRegion(config, k);
    MarkConfigurationLoaded(config);
    config.shell().SetBusy(false);
    return true;
}

bool ModelMenuCommand(Config& config, int k, const std::function<void()>& performNew) {
    const int type = k + 1;
    if (k < 0 || k >= kModelMenuEntries || type == config.state.ModelType) {
        return false;
    }
    const Answer answer =
        ShowMessage(config, "Do you want to program the " + ModelNameOf(type) + " series?",
                    Icon::Exclamation, Buttons::OkCancel, Answer::Ok);
    if (answer != Answer::Ok) {
        return false;
    }
    ApplyModelType(config, type);
    config.settings().Set("Settings", "lastmodel", std::to_string(type));
    if (performNew) {
        performNew();
    }
    return true;
}

}  // namespace mrw
