// Shared set-up of the data file tests: a configuration of its own per test with virtual time,
// a scripted prompt, a settings store in memory, a shell that records what it was asked to do,
// and a temporary folder as the program's folder.
#pragma once

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "core/config.h"
#include "image/checks.h"
#include "model/catalogue.h"
#include "model/regions.h"

namespace mrw::test {

namespace fs = std::filesystem;

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

    bool Called(const std::string& what) const {
        return std::find(calls.begin(), calls.end(), what) != calls.end();
    }

    int busyDepth = 0;
    std::vector<std::string> calls;
};

/// Reads a whole file as bytes.
inline std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

/// Writes bytes to a file, replacing it.
inline void WriteAll(const fs::path& path, const std::string& data) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(data.data(), static_cast<std::streamsize>(data.size()));
}

/// Makes a named pipe at `path` and runs `read` on it. A reader that opens the pipe waits for a
/// writer: after two seconds one comes and goes, ending that wait so that the test fails
/// instead of hanging.
inline void ReadFromFifo(const fs::path& path, const std::function<void(const fs::path&)>& read) {
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0) << path;
    std::atomic<bool> done{false};
    std::atomic<bool> released{false};
    std::thread writer([&] {
        for (int ticks = 0; !done; ++ticks) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            int fd = ticks < 200 ? -1 : ::open(path.c_str(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0) {
                released = true;
                ::close(fd);
            }
        }
    });
    read(path);
    done = true;
    writer.join();
    EXPECT_FALSE(released) << path << " was opened and waited on";
}

/// The folder where the build puts the program and its factory region images.
inline fs::path BinDir() {
    return fs::path(MRW_TEST_BIN_DIR);
}

/// The folder of the test sources (golden files).
inline fs::path SourceDir() {
    return fs::path(MRW_TEST_SOURCE_DIR);
}

class FilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir = fs::temp_directory_path() /
              ("mrw_files_" + std::string(info->test_suite_name()) + "_" + info->name() + "_" +
               std::to_string(std::random_device{}()));
        fs::remove_all(dir);
        fs::create_directories(dir);
        config.services.clock = &clock;
        config.services.prompt = &prompt;
        config.services.settings = &store;
        config.services.shell = &shell;
        config.services.programFolder = dir;
        UseModel(1, false);
        NewImage(config.image, config.model, 1);
        RebuildWeatherTable(config.model);
        config.image.Set(271, 0);
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }

    /// Model type, name, ATIS and caption without reading global.ini.
    void UseModel(int type, bool atis) {
        config.state.ModelType = static_cast<int16_t>(type);
        config.state.ModelName = ModelNameOf(type);
        config.state.AtisSupported = atis;
        config.state.TitleText = "PC Program for " + config.state.ModelName;
    }

    /// The messages shown so far.
    std::vector<std::string> Messages() const { return prompt.Texts(); }

    VirtualClock clock;
    ScriptedPrompt prompt;
    MemorySettingsStore store;
    RecordingShell shell;
    Config config;
    fs::path dir;
};

}  // namespace mrw::test
