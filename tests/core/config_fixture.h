// Shared set-up of the tests of core operations: a configuration on virtual time with a scripted
// prompt, a settings store in memory, a shell that records what it was asked to do, and a fresh
// temporary folder as the program's folder.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "core/config.h"

namespace mrw::testing {

/// A shell that records the calls the core makes.
struct RecordingShell : Shell {
    void SetBusy(bool busy) override {
        busyDepth += busy ? 1 : -1;
        calls.push_back(busy ? "busy" : "idle");
    }
    void RebuildViews() override { calls.push_back("rebuild"); }
    void ShowCategory(const std::string& key) override { calls.push_back("show " + key); }
    void UpdateWindowCaption() override { calls.push_back("caption"); }
    void RegionMenuChanged() override { calls.push_back("regionmenu"); }
    /// Holds on the fixture's clock, as the desktop window does on its own.
    void HoldBusy(int ms) override {
        if (clock != nullptr) {
            clock->Sleep(ms);
        }
    }

    bool Called(const std::string& what) const {
        return std::find(calls.begin(), calls.end(), what) != calls.end();
    }

    int busyDepth = 0;
    std::vector<std::string> calls;
    Clock* clock = nullptr;
};

/// A fresh, empty folder named after the running test, removed with the object.
class TempFolder {
public:
    explicit TempFolder(const std::string& prefix) {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = prefix + info->test_suite_name() + "_" + info->name() + "_" +
                           std::to_string(std::random_device{}());
        std::replace(name.begin(), name.end(), '/', '_');  // parameterised test names
        path_ = std::filesystem::temp_directory_path() / name;
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

/// Test base: a configuration on the test services whose program folder is `dir`.
class ConfigFixture : public ::testing::Test {
protected:
    ConfigFixture() {
        config.services = {&clock, &prompt, &store, &shell, dir};
        shell.clock = &clock;
    }

    /// Writes `bytes` to the file `name` of the program folder, replacing it.
    std::filesystem::path WriteFile(const std::string& name, const std::string& bytes) const {
        std::ofstream(dir / name, std::ios::binary | std::ios::trunc) << bytes;
        return dir / name;
    }

    /// The messages shown so far.
    std::vector<std::string> Messages() const { return prompt.Texts(); }

    TempFolder temp_{"mrw_"};
    const std::filesystem::path dir = temp_.path();
    VirtualClock clock;
    ScriptedPrompt prompt;
    MemorySettingsStore store;
    RecordingShell shell;
    Config config;
};

}  // namespace mrw::testing
