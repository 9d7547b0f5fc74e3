// The service logs written in debug mode only: the error log "err.log" and the daily log
// "log/log_MMDD.txt", both in the log folder (Services::logFolder, else the program's folder).
// Logging never reports its own failures.
#pragma once

#include <string>

namespace mrw {

struct Config;

/// Appends "date,time:procedure -> message" to err.log; does nothing unless debug.
/// A failure to write is dropped.
void WriteErrorLog(Config& config, const std::string& procedure, const std::string& message);

/// Appends "YYYY-MM-DD HH:mm:ss message" to log/log_MMDD.txt, creating the folder; does
/// nothing unless debug. A failure becomes an error-log entry "function: WriteLogData".
void WriteLogData(Config& config, const std::string& message);

}  // namespace mrw
