// Reading a file: only a regular file is read, and opening never waits.
#include "core/file_read.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "core/config_fixture.h"
#include "fifo_reader.h"

namespace mrw {
namespace {

namespace fs = std::filesystem;

#ifdef _WIN32
constexpr bool kOnWindows = true;
#else
constexpr bool kOnWindows = false;
#endif

TEST(FileReadTest, ReadsARegularFileUpToTheLimitAndRefusesAnythingElseWithoutWaiting) {
    testing::TempFolder temp{"mrw_file_read_"};
    const fs::path folder = temp.path();
    std::ofstream(folder / "a.dat", std::ios::binary) << "abcdef";
    std::string bytes;
    ASSERT_TRUE(ReadRegularFile(folder / "a.dat", 100, bytes));
    EXPECT_EQ(bytes, "abcdef");
    // Symbolic links are followed (Windows gives them to administrators only).
    const bool links = !kOnWindows;
    if (links) {
        fs::create_symlink(folder / "a.dat", folder / "link.dat");
        ASSERT_TRUE(ReadRegularFile(folder / "link.dat", 2, bytes));
        EXPECT_EQ(bytes, "ab");
    }

    std::string error;
    EXPECT_FALSE(ReadRegularFile(folder / "absent.dat", 100, bytes, &error));
    EXPECT_EQ(error,
              "cannot open " + (folder / "absent.dat").string() + ": No such file or directory");
    EXPECT_FALSE(ReadRegularFile(folder, 100, bytes, &error));
    EXPECT_EQ(error, folder.string() + " is not a regular file");
    // A pipe, also behind a link: opened without waiting for a writer, and refused for what
    // was opened.
    testing::ReadFromFifo(folder / "pipe.dat", [&](const fs::path& pipe) {
        std::vector<fs::path> paths = {pipe};
        if (links) {
            fs::create_symlink(pipe, folder / "pipe-link.dat");
            paths.push_back(folder / "pipe-link.dat");
        }
        for (const fs::path& path : paths) {
            std::istringstream in;
            EXPECT_FALSE(OpenRegularFile(path, in, &error));
            EXPECT_EQ(error, path.string() + " is not a regular file");
        }
    });
}

}  // namespace
}  // namespace mrw
