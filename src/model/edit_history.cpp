#include "model/edit_history.h"

namespace mrw {

void EditHistory::Reset(bool clean) {
    base_.reset();
    steps_.clear();
    cursor_ = 0;
    clean_ = clean ? 0 : -1;
}

bool EditHistory::IsPresent(const DataModel& model) const {
    const DataModel* present = cursor_ > 0 ? steps_[cursor_ - 1].after.get() : base_.get();
    return present == nullptr || *present == model;
}

void EditHistory::Record(const DataModel& before, const DataModel& after, std::string what,
                         std::string where) {
    if (base_ == nullptr || !IsPresent(before)) {
        Reset(base_ == nullptr && AtClean());
        base_ = std::make_shared<const DataModel>(before);
    }
    steps_.resize(cursor_);
    if (clean_ > static_cast<long>(cursor_)) {
        clean_ = -1;  // the saved state was undone and is now out of reach
    }
    steps_.push_back({std::make_shared<const DataModel>(after), std::move(what), std::move(where)});
    ++cursor_;
    if (steps_.size() > kMaxSteps) {
        base_ = steps_.front().after;
        steps_.erase(steps_.begin());
        --cursor_;
        clean_ = clean_ > 0 ? clean_ - 1 : -1;
    }
}

std::string EditHistory::UndoText() const {
    return CanUndo() ? steps_[cursor_ - 1].what : std::string();
}

std::string EditHistory::RedoText() const {
    return CanRedo() ? steps_[cursor_].what : std::string();
}

std::optional<EditHistory::Move> EditHistory::Undo() {
    if (!CanUndo()) {
        return std::nullopt;
    }
    --cursor_;
    const DataModel* model = cursor_ > 0 ? steps_[cursor_ - 1].after.get() : base_.get();
    return Move{model, steps_[cursor_].where};
}

std::optional<EditHistory::Move> EditHistory::Redo() {
    if (!CanRedo()) {
        return std::nullopt;
    }
    const Step& step = steps_[cursor_++];
    return Move{step.after.get(), step.where};
}

}  // namespace mrw
