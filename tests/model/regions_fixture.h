// A configuration wired to test services and a temporary program folder, for the region and
// factory image tests.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/config.h"

namespace mrw::testing {

/// Records which window hooks a core operation called, in order.
class RecordingShell : public Shell {
public:
    void SetBusy(bool busy) override { calls.push_back(busy ? "busy" : "idle"); }
    void RebuildViews() override { calls.push_back("rebuild"); }
    void ShowCategory(const std::string& key) override { calls.push_back("show " + key); }
    void UpdateWindowCaption() override { calls.push_back("caption"); }
    void RegionMenuChanged() override { calls.push_back("menu"); }

    std::vector<std::string> calls;
};

/// A Config whose program folder is a fresh temporary folder.
class RegionFixture : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        folder = std::filesystem::temp_directory_path() /
                 (std::string("mrw_regions_") + info->test_suite_name() + "_" + info->name());
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        config.services.clock = &clock;
        config.services.prompt = &prompt;
        config.services.settings = &store;
        config.services.shell = &shell;
        config.services.programFolder = folder;
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    /// Writes `bytes` to a file of the program folder.
    std::filesystem::path WriteFile(const std::string& name, const std::string& bytes) {
        std::ofstream(folder / name, std::ios::binary) << bytes;
        return folder / name;
    }

    std::filesystem::path folder;
    VirtualClock clock;
    ScriptedPrompt prompt;
    MemorySettingsStore store;
    RecordingShell shell;
    Config config;
};

}  // namespace mrw::testing
