#include "edit/edit.h"

#include <optional>

namespace mrw {

bool EditModel(Config& config, const std::string& what,
               const std::function<void(DataModel&)>& change) {
    AppState& state = config.state;
    if (state.Loading) {
        return false;
    }
    DataModel before = config.model;
    change(config.model);
    const bool wasChanged = state.DataChanged;
    state.DataChanged = true;
    if (!wasChanged) {
        config.shell().UpdateWindowCaption();
    }
    // A change that leaves the model as it was (typing that is not committed yet) is no step.
    if (config.model != before) {
        config.history.Record(before, config.model, what, config.shell().CurrentCategory());
        config.shell().HistoryChanged();
    }
    return true;
}

namespace {

// True when the history may move: not while the program fills its controls, and not over a
// change made outside it (then the history starts again from the present model).
bool CanMove(Config& config) {
    if (config.state.Loading) {
        return false;
    }
    if (!config.history.IsPresent(config.model)) {
        config.history.Reset(false);
        config.shell().HistoryChanged();
        return false;
    }
    return true;
}

bool Restore(Config& config, const std::optional<EditHistory::Move>& move) {
    if (!move) {
        return false;
    }
    config.model = *move->model;
    config.state.DataChanged = !config.history.AtClean();
    Shell& shell = config.shell();
    shell.RebuildViews();
    if (!move->where.empty()) {
        shell.ShowCategory(move->where);
    }
    shell.UpdateWindowCaption();
    shell.HistoryChanged();
    return true;
}

}  // namespace

bool UndoEdit(Config& config) {
    return CanMove(config) && Restore(config, config.history.Undo());
}

bool RedoEdit(Config& config) {
    return CanMove(config) && Restore(config, config.history.Redo());
}

}  // namespace mrw
