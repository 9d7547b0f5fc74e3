// The message of a refused entry: the program's own text first, then why it was refused, in
// the user's words. The rules decide the reason; the editors only show it.
#pragma once

#include <string>
#include <string_view>

#include "core/config.h"

namespace mrw {

/// The first line of every refused entry of the editors.
inline constexpr const char* kDataError = "Data Error!!";

/// `message` (kept as its first line or lines), then `reason` on a line of its own.
inline std::string WithReason(std::string_view message, std::string_view reason) {
    std::string text(message);
    if (!reason.empty()) {
        text += "\n";
        text += reason;
    }
    return text;
}

/// Shows "Data Error!!" and the reason, titled `title`, with the exclamation icon.
inline void ShowDataError(Config& config, const std::string& title, std::string_view reason) {
    MessageRequest request;
    request.text = WithReason(kDataError, reason);
    request.title = title;
    request.icon = Icon::Exclamation;
    config.prompt().Message(request);
}

}  // namespace mrw
