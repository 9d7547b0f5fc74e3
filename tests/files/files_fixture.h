// Shared set-up of the data file tests: the configuration fixture with a new image of model
// type 1, and file helpers.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "core/config_fixture.h"
#include "fifo_reader.h"
#include "image/checks.h"
#include "model/catalogue.h"
#include "model/regions.h"

namespace mrw::test {

namespace fs = std::filesystem;

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

using testing::ReadFromFifo;

/// The folder where the build puts the program and its factory region images.
inline fs::path BinDir() {
    return fs::path(MRW_TEST_BIN_DIR);
}

/// The folder of the test sources (golden files).
inline fs::path SourceDir() {
    return fs::path(MRW_TEST_SOURCE_DIR);
}

/// Test base: model type 1 with a new image of region INTL and the weather channels.
class FilesTest : public testing::ConfigFixture {
protected:
    FilesTest() {
        UseModel(1, false);
        NewImage(config.image, config.model, 1);
        RebuildWeatherTable(config.model);
        config.image.Set(271, 0);
    }

    /// Model type, name, ATIS and caption without reading global.ini.
    void UseModel(int type, bool atis) {
        config.state.ModelType = static_cast<int16_t>(type);
        config.state.ModelName = ModelNameOf(type);
        config.state.AtisSupported = atis;
        config.state.TitleText = "PC Program for " + config.state.ModelName;
    }
};

}  // namespace mrw::test
