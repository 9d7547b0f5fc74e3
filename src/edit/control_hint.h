// The status-bar hint of a control, looked up by its objectName in a panel's table.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <utility>

namespace mrw {

/// One row of a hint table: the control's name without its "_<index>" suffix, and the hint.
using ControlHint = std::pair<std::string_view, const char*>;

/// The hint of the control `objectName` (an indexed name "txtUsable_2" counts as
/// "txtUsable"); empty when the table has none.
inline std::string FindControlHint(std::span<const ControlHint> hints,
                                   std::string_view objectName) {
    const std::string_view base = objectName.substr(0, objectName.find('_'));
    for (const auto& [name, hint] : hints) {
        if (name == base) {
            return hint;
        }
    }
    return {};
}

}  // namespace mrw
