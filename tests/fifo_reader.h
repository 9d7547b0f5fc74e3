// Reading from a named pipe in a test without hanging it.
#pragma once

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <thread>

namespace mrw::testing {

/// Makes a named pipe at `path` and runs `read` on it. A reader that opens the pipe waits for a
/// writer: after two seconds one comes and goes, ending that wait so that the test fails
/// instead of hanging.
inline void ReadFromFifo(const std::filesystem::path& path,
                         const std::function<void(const std::filesystem::path&)>& read) {
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

}  // namespace mrw::testing
