// The pending-edit registry: every editor panel that can hold a half-typed value registers a
// validator here, and every file, transfer, print and exit command asks the registry first.
#pragma once

#include <functional>
#include <map>
#include <vector>

namespace mrw {

/// Validators of the editor panels. A validator commits or checks the edit its panel holds
/// (it answers true when there is nothing to commit) and answers false to refuse, after
/// telling the user why; the calling command then stops.
class PendingEdits {
public:
    using Validator = std::function<bool()>;

    /// Adds a validator; the returned id removes it again.
    int Register(Validator validator);
    /// Removes the validator with this id (unknown ids are ignored).
    void Unregister(int id);
    /// Runs the validators in the order they were registered and stops at the first refusal.
    bool Commit();
    /// Number of registered validators.
    int Count() const { return static_cast<int>(validators_.size()); }

    /// An entry panel with its own SAVE (the channel panel): before a command would leave it,
    /// the guard asks whether to store what it holds; it answers false when the user chose
    /// to stay. It answers true when nothing would be lost.
    using EntryGuard = std::function<bool()>;
    void RegisterEntry(EntryGuard guard);
    /// Runs the entry guards; false when one of them keeps its entry open.
    bool ConfirmLeavingEntries();

private:
    std::map<int, Validator> validators_;
    std::vector<EntryGuard> entries_;
    int nextId_ = 1;
};

}  // namespace mrw
