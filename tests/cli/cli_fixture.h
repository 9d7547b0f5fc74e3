// The set-up of the in-process mrw-cli tests: a program folder of the test's own holding
// global.ini and the factory region images, virtual time, settings in memory, a simulated radio
// with the UK factory image behind every port but "missing", two listed serial ports, and
// the command's streams.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "cli/cli.h"
#include "core/services.h"
#include "sim/port_on_radio.h"
#include "sim/sim_radio.h"
#include "test_files.h"

namespace mrw::cli::testing {

class CliFixture : public ::testing::Test {
protected:
    /// `prefix` goes before the arguments of every Run.
    explicit CliFixture(std::vector<std::string> prefix = {}) : prefix_(std::move(prefix)) {}

    void SetUp() override {
        namespace fs = std::filesystem;
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        folder = fs::temp_directory_path() / ("mrw_" + std::string(test->test_suite_name()) + "_" +
                                              test->name() + "_" + std::to_string(getpid()));
        fs::remove_all(folder);
        fs::create_directories(folder);
        fs::copy_file(fs::path(MRW_TEST_SOURCE_DIR) / "data" / "global.ini", folder / "global.ini");
        for (const auto& entry : fs::directory_iterator(MRW_TEST_BIN_DIR)) {
            const fs::path name = entry.path().filename();
            if (name.extension() == ".ini" && name != "global.ini") {
                fs::copy_file(entry.path(), folder / name);
            }
        }
        ASSERT_TRUE(fs::exists(folder / "UK_08FD.ini"));
        config.services.clock = &clock;
        config.services.settings = &settings;
        config.services.programFolder = folder;
        platform.openPort = [this](const std::string& port,
                                   std::string& error) -> std::unique_ptr<SerialPort> {
            lastPort = port;
            if (port == "missing") {
                error = "no such port";
                return nullptr;
            }
            return std::make_unique<mrw::testing::PortOnRadio>(radio);
        };
        platform.listPorts = [] {
            return std::vector<PortListing>{{1, "/dev/ttyS0", "Serial"},
                                            {3, "/dev/ttyUSB0", "USB serial"}};
        };
        LoadRadio("UK_08FD.ini");
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    /// The radio's memory becomes the region image `name` of the program folder.
    void LoadRadio(const std::string& name) {
        const std::string bytes = mrw::testing::ReadFile(folder / name);
        ASSERT_EQ(bytes.size(), radio.memory.size());
        std::copy(bytes.begin(), bytes.end(), radio.memory.begin());
    }
    /// Runs mrw-cli on a fresh configuration with the test's services.
    int Run(std::vector<std::string> args) {
        out.str("");
        err.str("");
        Config fresh;
        fresh.services = config.services;
        config = fresh;
        Streams streams{out, err, false};
        args.insert(args.begin(), prefix_.begin(), prefix_.end());
        return cli::Run(args, config, streams, platform);
    }
    std::string Path(const std::string& name) const { return (folder / name).string(); }
    void Write(const std::string& name, const std::string& text) const {
        std::ofstream(folder / name, std::ios::binary) << text;
    }

    std::filesystem::path folder;
    VirtualClock clock;
    MemorySettingsStore settings;
    Config config;
    SimRadio radio{&clock};
    Platform platform;
    std::string lastPort;
    std::ostringstream out;
    std::ostringstream err;

private:
    std::vector<std::string> prefix_;
};

}  // namespace mrw::cli::testing
