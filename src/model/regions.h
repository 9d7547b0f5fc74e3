// Regions and model types at work: region default images, the region menu, the reset to
// defaults and the model and region test of a settings file.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/config.h"
#include "model/catalogue.h"

namespace mrw {

/// Sets ModelType, ModelName, AtisSupported (from global.ini) and TitleText for `modelType`.
void ApplyModelType(Config& config, int modelType);

/// Reads a region default image over the memory image and decodes it. False (image unchanged)
/// for a file of the wrong length or of another model; a file access failure also logs
/// "frmMain.FileReadIni" and sets CancelFlag.
bool LoadRegionImage(Config& config, const std::filesystem::path& path);

/// The region names offered for the current model type: the files "*" + suffix + ".ini" of
/// the program folder, names before the suffix in upper case, the first ten listed, sorted
/// ignoring case.
std::vector<std::string> ListRegionNames(const Config& config);

/// The region names of a folder listing (file names in listing order) for a model file
/// suffix: names of the files ending in suffix + ".ini" (ignoring case), the part before the
/// suffix in upper case, the first ten, sorted ignoring case.
std::vector<std::string> RegionNamesFromFiles(const std::vector<std::string>& fileNames,
                                              const std::string& suffix);

/// The default image file of a region menu caption: caption in upper case, a trailing "-M"
/// (longer than two characters) removed, + suffix + ".ini", in the program folder.
std::filesystem::path RegionImagePath(const Config& config, const std::string& caption);
/// The region default image of `regionCode` for the current model type, read over a copy of
/// the configuration's image; nothing when it cannot be read or is another model's. Nothing in
/// `config` changes.
std::optional<Image> RegionDefaultImage(const Config& config, int regionCode);

/// A region menu caption in upper case without a trailing "-M" (when something is left before
/// it): the region's name in its default image's file name.
std::string RegionFileStem(const std::string& caption);
/// Stores `caption` as the region of the current model type, the one New starts from.
void StoreRegionCaption(Config& config, const std::string& caption);
/// The user's own default image of a region menu caption for the current model type: the file
/// name of the region's factory image, in the folder "defaults" of the per-user data folder.
/// Empty when there is no per-user data folder.
std::filesystem::path UserDefaultPath(const Config& config, const std::string& caption);
/// The default image of a region menu caption read over the memory image and decoded: the
/// user's own when there is one and it passes the tests of a region image (its length, its
/// model codes, and a region byte naming the region), else the factory image. An own default
/// that fails is reported once ("Your own default ... cannot be used"); config.defaults says
/// which was loaded. False when the factory image cannot be loaded either.
bool LoadRegionDefaults(Config& config, const std::string& caption);
/// "2026-12-07 09:15": when a file was last written, local time; empty when not known.
std::string FileTimeText(const std::filesystem::path& path);

/// Fills the region menu from the files present and loads the stored region.
void BuildRegionMenu(Config& config);
/// Loads the default image of region menu entry `k` and checks the entry. False when `k` names
/// no entry or its image could not be loaded ("IniFileRead Error!!"): the check stays where
/// it was.
bool ChangeRegion(Config& config, int k);
/// The defaults of the current model with its stored region (File > New, start-up).
void ResetToStoredRegion(Config& config);
/// The defaults of the current model with the region of region menu entry `k` (0..10). False
/// when `k` names no entry or its image could not be read: the defaults of the model type stay,
/// without a region's channels.
bool ResetToRegionEntry(Config& config, int k);
/// Only CHWX rebuilt from the weather channel table and the views rebuilt, "General" shown:
/// the step before a settings file is read over the configuration.
void RebuildWeatherAndViews(Config& config);
/// Checks the region menu entry that names the region of image byte 271.
void ShowImageRegion(Config& config);
/// The model and region test of a settings file, made on the text that was read (the file is
/// not read again): the file's region code, or nothing with ErrorFlag set (after the message,
/// or after the user declined the region change).
std::optional<int> CheckFileRegion(Config& config, std::string_view fileText);

/// Click on region menu entry `k`: asks "Do you want to change to <caption>?" unless the entry
/// is checked, then resets to the defaults of that region. False when nothing was done.
bool RegionMenuCommand(Config& config, int k);
/// Click on model menu entry `k` (model type k + 1): asks "Do you want to program the <name>
/// series?" when the type changes, applies the type, stores "lastmodel" and runs `performNew`
/// (the New command). False when the type stayed.
bool ModelMenuCommand(Config& config, int k, const std::function<void()>& performNew);

}  // namespace mrw
