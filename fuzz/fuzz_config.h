// A configuration for the fuzz targets: virtual time, a prompt that says Yes to every
// question, no window, and the default image and model of model type 1, region INTL.
#pragma once

#include <unistd.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

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

struct FuzzConfig {
    FuzzConfig() {
        prompt.onMessage = [this](const MessageRequest&) { prompt.answers.push_back(Answer::Yes); };
        config.services.clock = &clock;
        config.services.prompt = &prompt;
        config.services.settings = &store;
        config.services.shell = &shell;
        folder = std::filesystem::temp_directory_path() / ("mrw_fuzz_" + std::to_string(getpid()));
        std::filesystem::create_directories(folder);
        config.services.programFolder = folder;
        config.state.ModelType = 1;
        config.state.ModelName = "HV2300";
        config.state.TitleText = "PC Program for HV2300";
        NewImage(config.image, config.model, 1);
        RebuildWeatherTable(config.model);
        config.image.Set(271, 0);
        baseImage = config.image;
        baseModel = config.model;
    }
    ~FuzzConfig() {
        std::error_code ec;
        std::filesystem::remove_all(folder, ec);
    }
    /// Back to the default image and model, with no message history.
    void Reset() {
        config.image = baseImage;
        config.model = baseModel;
        config.state.ErrorFlag = false;
        config.state.CancelFlag = false;
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
    std::filesystem::path folder;
};

}  // namespace mrw::fuzz
