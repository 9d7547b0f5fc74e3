// The one way an editor changes the configuration: every control, list command and panel
// SAVE stores through EditModel, which marks the configuration changed. Undo hooks in here.
#pragma once

#include <functional>
#include <string>

#include "core/config.h"

namespace mrw {

/// Applies `change` to the data model and marks the configuration changed (DataChanged, and
/// the window caption follows). Nothing happens while Loading is set: the program itself is
/// filling controls, and showing a value never changes it. `what` names the change for the
/// user ("Channel 72", "Resume Time"). True when the change was applied.
bool EditModel(Config& config, const std::string& what,
               const std::function<void(DataModel&)>& change);

}  // namespace mrw
