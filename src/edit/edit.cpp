#include "edit/edit.h"

namespace mrw {

bool EditModel(Config& config, const std::string& /*what*/,
               const std::function<void(DataModel&)>& change) {
    AppState& state = config.state;
    if (state.Loading) {
        return false;
    }
    change(config.model);
    const bool wasChanged = state.DataChanged;
    state.DataChanged = true;
    if (!wasChanged) {
        config.shell().UpdateWindowCaption();
    }
    return true;
}

}  // namespace mrw
