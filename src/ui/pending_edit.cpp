#include "ui/pending_edit.h"

#include <utility>

namespace mrw {

int PendingEdits::Register(Validator validator) {
    const int id = nextId_++;
    validators_.emplace(id, std::move(validator));
    return id;
}

void PendingEdits::Unregister(int id) {
    validators_.erase(id);
}

void PendingEdits::RegisterEntry(EntryGuard guard) {
    entries_.push_back(std::move(guard));
}

bool PendingEdits::ConfirmLeavingEntries() {
    for (const EntryGuard& guard : entries_) {
        if (guard && !guard()) {
            return false;
        }
    }
    return true;
}

bool PendingEdits::Commit() {
    for (auto& [id, validator] : validators_) {
        if (validator && !validator()) {
            return false;
        }
    }
    return true;
}

}  // namespace mrw
