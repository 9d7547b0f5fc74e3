// What the fuzz targets share: the property check, a configuration on virtual time with a
// prompt that says Yes to every question and no window, holding the default image and model of
// model type 1, region INTL, and checks of rendered text that hold whatever the input was.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include "core/config.h"
#include "image/checks.h"
#include "model/regions.h"

namespace mrw::fuzz {

/// Aborts with a message when a property the fuzzer checks does not hold.
inline void Check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "property violated: %s\n", what);
        std::abort();
    }
}

/// A folder no file can be created in: the error log and the daily logs of debug mode fail
/// at once instead of growing a file with every input.
inline const std::filesystem::path kNoFolder = "/dev/null/mrw-fuzz";

struct FuzzConfig {
    FuzzConfig() {
        prompt.onMessage = [this](const MessageRequest&) { prompt.answers.push_back(Answer::Yes); };
        config.services.clock = &clock;
        config.services.prompt = &prompt;
        config.services.settings = &store;
        config.services.shell = &shell;
        config.services.programFolder = kNoFolder;
        config.state.ModelType = 1;
        config.state.ModelName = "HV2300";
        config.state.TitleText = "PC Program for HV2300";
        NewImage(config.image, config.model, 1);
        RebuildWeatherTable(config.model);
        config.image.Set(271, 0);
        baseImage = config.image;
        baseModel = config.model;
    }
    FuzzConfig(const FuzzConfig&) = delete;
    FuzzConfig& operator=(const FuzzConfig&) = delete;

    /// Back to the base image and model, with no message history. Assignment reuses what the
    /// previous input allocated.
    void Reset() {
        config.image = baseImage;
        config.model = baseModel;
        config.state.ErrorFlag = false;
        config.state.CancelFlag = false;
        config.state.Loading = false;
        prompt.messages.clear();
        prompt.answers.clear();
    }

    VirtualClock clock;
    ScriptedPrompt prompt;
    MemorySettingsStore store;
    Shell shell;
    Config config;
    Image baseImage;
    DataModel baseModel;
};

/// True for the bytes a settings text may hold whatever it was read from: printable ASCII.
inline bool Printable(uint8_t c) {
    return c >= 0x20 && c <= 0x7E;
}

/// Whether `text` is a whole number in plain decimal: an optional "-", then "0" or digits
/// without a leading zero; no "+", blank, exponent or period.
inline bool PlainInteger(std::string_view text) {
    if (!text.empty() && text.front() == '-') {
        text.remove_prefix(1);
    }
    if (text.empty() || (text.size() > 1 && text.front() == '0')) {
        return false;
    }
    for (char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    return true;
}

/// Whether `text` is a non-negative decimal number as a settings file writes a frequency:
/// digits, no leading zero before others, optionally a period and digits of which the last is
/// not 0, and at most 15 significant digits.
inline bool PlainDecimal(std::string_view text) {
    size_t point = text.find('.');
    std::string_view whole = text.substr(0, point);
    if (!PlainInteger(whole) || whole.front() == '-') {
        return false;
    }
    size_t significant = whole == "0" ? 0 : whole.size();
    if (point != std::string_view::npos) {
        std::string_view fraction = text.substr(point + 1);
        if (fraction.empty() || fraction.back() == '0') {
            return false;
        }
        bool leading = significant == 0;
        for (char c : fraction) {
            if (c < '0' || c > '9') {
                return false;
            }
            if (leading && c == '0') {
                continue;
            }
            leading = false;
            ++significant;
        }
    }
    return significant <= 15;
}

}  // namespace mrw::fuzz
