#include "core/calendar.h"

namespace mrw {

// The C runtime's own thread-safe forms (arguments in the other order than POSIX).
std::tm LocalTimeOf(std::time_t t) {
    std::tm tm{};
    localtime_s(&tm, &t);
    return tm;
}

std::tm UtcTimeOf(std::time_t t) {
    std::tm tm{};
    gmtime_s(&tm, &t);
    return tm;
}

}  // namespace mrw
