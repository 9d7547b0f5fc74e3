// Broken-down calendar time of a moment, in the local time zone or in UTC. The thread-safe
// calls differ between systems (calendar_posix.cpp, calendar_windows.cpp).
#pragma once

#include <ctime>

namespace mrw {

/// The local calendar time of `t`.
std::tm LocalTimeOf(std::time_t t);
/// The UTC calendar time of `t`.
std::tm UtcTimeOf(std::time_t t);

}  // namespace mrw
