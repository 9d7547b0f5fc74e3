// The history of the changes made to one configuration, for Undo and Redo. Each step keeps
// the whole data model as it was after the change (the model is small), its description for
// the Edit menu, and the category tree node where it was made.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "model/model.h"

namespace mrw {

class EditHistory {
public:
    /// The most steps kept; the oldest go first.
    static constexpr size_t kMaxSteps = 200;

    /// What Undo or Redo puts back: the data model and where the change was made.
    struct Move {
        const DataModel* model = nullptr;
        std::string where;
    };

    /// Forgets every step: a whole configuration was loaded. `clean` says whether it is the
    /// one a file holds (new, opened, read) or already differs from any file.
    void Reset(bool clean = true);
    /// Adds the step from `before` to `after`, made at `where`, and drops the steps that were
    /// undone. When `before` is not the model of the present step, the model was replaced
    /// outside the history: the old steps would restore another configuration, so they go.
    void Record(const DataModel& before, const DataModel& after, std::string what,
                std::string where);

    /// True when `model` is the model of the present step, or there are no steps. A model
    /// changed outside the history since is not: Undo would lose that change unseen.
    bool IsPresent(const DataModel& model) const;

    bool CanUndo() const { return cursor_ > 0; }
    bool CanRedo() const { return cursor_ < steps_.size(); }
    /// The description of the step Undo or Redo would take; empty when there is none.
    std::string UndoText() const;
    std::string RedoText() const;

    /// Steps back; the model to restore, or nothing when there is no step to undo.
    std::optional<Move> Undo();
    /// Steps forward again; the model to restore, or nothing when nothing was undone.
    std::optional<Move> Redo();

    /// The present step is the one last saved.
    void MarkClean() { clean_ = static_cast<long>(cursor_); }
    /// No step matches a saved file any more (the image changed outside the data model).
    void ForgetClean() { clean_ = -1; }
    /// True when the present step is the one last loaded or saved.
    bool AtClean() const { return clean_ == static_cast<long>(cursor_); }
    /// Steps that can be undone.
    size_t Depth() const { return cursor_; }

private:
    struct Step {
        std::shared_ptr<const DataModel> after;
        std::string what;
        std::string where;
    };
    /// The model before the first kept step; null when there are no steps.
    std::shared_ptr<const DataModel> base_;
    std::vector<Step> steps_;
    size_t cursor_ = 0;  ///< Steps applied: steps_[0..cursor_) are in the present model.
    long clean_ = 0;     ///< The step count of the saved state; -1 when none is.
};

}  // namespace mrw
