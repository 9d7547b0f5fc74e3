// Reading from a named pipe in a test without hanging it.
#pragma once

#include <gtest/gtest.h>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <thread>

namespace mrw::testing {

#ifdef _WIN32
/// Makes a named pipe (Windows keeps them under \\.\pipe\, not at `path`; its name ends in
/// the file name of `path`) and runs `read` on it. Nothing ever writes to it: a reader that
/// reads it waits, and the test times out.
inline void ReadFromFifo(const std::filesystem::path& path,
                         const std::function<void(const std::filesystem::path&)>& read) {
    static int count = 0;
    const std::wstring name = L"\\\\.\\pipe\\mrw-test-" + std::to_wstring(GetCurrentProcessId()) +
                              L"-" + std::to_wstring(++count) + L"-" + path.filename().wstring();
    HANDLE server = CreateNamedPipeW(name.c_str(), PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE, 1, 4096,
                                     4096, 0, nullptr);
    ASSERT_NE(server, INVALID_HANDLE_VALUE);
    read(std::filesystem::path(name));
    CloseHandle(server);
}
#else

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
#endif

}  // namespace mrw::testing
