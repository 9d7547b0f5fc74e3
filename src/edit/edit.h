// The one way an editor changes the configuration: every control, list command and panel
// SAVE stores through EditModel, which marks the configuration changed and records the change
// in the configuration's history, from which Undo and Redo restore it.
#pragma once

#include <functional>
#include <string>

#include "core/config.h"

namespace mrw {

/// Applies `change` to the data model and marks the configuration changed (DataChanged, and
/// the window caption follows). Nothing happens while Loading is set: the program itself is
/// filling controls, and showing a value never changes it. `what` names the change for the
/// user ("Edit channel 72", "Resume Time") in the Edit menu's Undo and Redo; the category
/// node shown at the time is where Undo and Redo show it again. True when the change was
/// applied.
bool EditModel(Config& config, const std::string& what,
               const std::function<void(DataModel&)>& change);

/// Puts back the data model as it was before the last change, rebuilds the views and shows
/// the node where the change was made. The changed mark follows: undoing back to the state
/// last loaded or saved clears it. False when there is nothing to undo. A pending entry must
/// be committed first (the window does so).
bool UndoEdit(Config& config);
/// Makes the last undone change again, as UndoEdit does. False when nothing was undone.
bool RedoEdit(Config& config);

}  // namespace mrw
