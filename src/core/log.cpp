#include "core/log.h"

#include <ctime>
#include <filesystem>
#include <fstream>

#include "core/calendar.h"
#include "core/config.h"
#include "core/text.h"

namespace mrw {

namespace {

std::tm LocalTime(Config& config) {
    std::time_t t = std::chrono::system_clock::to_time_t(config.clock().Now());
    return LocalTimeOf(t);
}

std::string Format(const std::tm& tm, const char* format) {
    char buf[64];
    size_t n = std::strftime(buf, sizeof buf, format, &tm);
    return std::string(buf, n);
}

// Appends one line ending in CR LF; returns false when the file could not be written.
bool AppendLine(const std::filesystem::path& path, const std::string& line) {
    std::ofstream out(path, std::ios::binary | std::ios::app);
    if (!out) {
        return false;
    }
    out << line << "\r\n";
    out.flush();
    return static_cast<bool>(out);
}

// The folder of the logs, created when missing (the per-user folder may not exist yet).
std::filesystem::path LogFolder(Config& config) {
    if (config.services.logFolder.empty()) {
        return config.services.programFolder;
    }
    std::error_code ec;
    std::filesystem::create_directories(config.services.logFolder, ec);
    return config.services.logFolder;
}

}  // namespace

void WriteErrorLog(Config& config, const std::string& procedure, const std::string& message) {
    if (!config.state.DebugSwitch) {
        return;
    }
    try {
        std::tm tm = LocalTime(config);
        std::string line = Format(tm, "%Y-%m-%d") + "," + Format(tm, "%H:%M:%S") + ":" + procedure +
                           " -> " + message;
        AppendLine(LogFolder(config) / "err.log", line);
    } catch (...) {
        // The error log is the last resort: its own failure is dropped.
    }
}

void WriteLogData(Config& config, const std::string& message) {
    if (!config.state.DebugSwitch) {
        return;
    }
    try {
        std::filesystem::path folder = LogFolder(config) / "log";
        std::filesystem::create_directories(folder);
        std::tm tm = LocalTime(config);
        std::string line = Format(tm, "%Y-%m-%d %H:%M:%S") + " " + Trim(message);
        if (!AppendLine(folder / ("log_" + Format(tm, "%m%d") + ".txt"), line)) {
            WriteErrorLog(config, "function: WriteLogData", "cannot write the daily log");
        }
    } catch (const std::exception& e) {
        WriteErrorLog(config, "function: WriteLogData", e.what());
    }
}

}  // namespace mrw
