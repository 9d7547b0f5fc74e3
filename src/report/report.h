// The settings report: a plain-text listing of the whole configuration.
#pragma once

#include <string>

#include "core/config.h"

namespace mrw {

/// The report text, lines separated by CR LF, no trailing separator.
std::string ReportText(const Config& config);

}  // namespace mrw
