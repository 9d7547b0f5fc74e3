#include "edit/channel_table.h"

#include <algorithm>
#include <string>

#include "core/text.h"
#include "edit/channel_grid.h"
#include "edit/edit.h"
#include "image/image.h"

namespace mrw {

namespace {

// The question DELETE asks before it removes a channel.
constexpr const char* kDeleteQuestion = "Are you sure ?";

bool Holds(const ChannelTable& table, int row) {
    return row >= 0 && row < static_cast<int>(table.size());
}

int32_t& PriorityOf(DataModel& model, int group) {
    return model.Groups[static_cast<size_t>(group)].PriorityCH;
}

}  // namespace

int PriorityGroupOf(TableKind kind) {
    switch (kind) {
        case TableKind::USA:
            return 0;
        case TableKind::INT:
            return 1;
        case TableKind::CAN:
            return 2;
        default:
            return -1;
    }
}

int PriorityRecord(const DataModel& model, TableKind kind) {
    const int group = PriorityGroupOf(kind);
    if (group < 0) {
        return -1;
    }
    const int32_t value = model.Groups[static_cast<size_t>(group)].PriorityCH;
    const ChannelTable& table = *TableOf(model, kind);
    return value >= 1 && value <= static_cast<int32_t>(table.size()) ? value - 1 : -1;
}

void InsertChannel(DataModel& model, TableKind kind, int row, const ChannelRecord& record) {
    const int priority = PriorityRecord(model, kind);
    ChannelTable& table = *TableOf(model, kind);
    table.insert(table.begin() + row, record);
    if (priority >= 0 && priority >= row) {
        PriorityOf(model, PriorityGroupOf(kind)) = priority + 2;
    }
}

void RemoveChannel(DataModel& model, TableKind kind, int row) {
    const int priority = PriorityRecord(model, kind);
    ChannelTable& table = *TableOf(model, kind);
    table.erase(table.begin() + row);
    if (priority < 0 || priority < row) {
        return;
    }
    PriorityOf(model, PriorityGroupOf(kind)) = priority == row ? kNoPriorityChannel : priority;
}

void ReplaceChannels(DataModel& model, TableKind kind, ChannelTable table) {
    const int priority = PriorityRecord(model, kind);
    ChannelTable& current = *TableOf(model, kind);
    if (priority >= 0) {
        const ChannelRecord& old = current[static_cast<size_t>(priority)];
        const auto samePosition = [&old](const ChannelRecord& r) {
            return r.Position == old.Position;
        };
        auto found = std::find_if(table.begin(), table.end(), [&](const ChannelRecord& r) {
            return samePosition(r) && ChannelLabel(r) == ChannelLabel(old);
        });
        if (found == table.end()) {
            found = std::find_if(table.begin(), table.end(), samePosition);
        }
        PriorityOf(model, PriorityGroupOf(kind)) =
            found == table.end() ? kNoPriorityChannel
                                 : static_cast<int32_t>(found - table.begin()) + 1;
    }
    current = std::move(table);
}

std::string PriorityDeleteWarning(const DataModel& model, TableKind kind, int row) {
    if (row < 0 || PriorityRecord(model, kind) != row) {
        return {};
    }
    const std::string group = kGroupNames[static_cast<size_t>(PriorityGroupOf(kind))];
    return "Channel " + ChannelLabel((*TableOf(model, kind))[static_cast<size_t>(row)]) +
           " is the priority channel of " + group + "; " + group +
           " will have no priority channel.";
}

TableKind TableKindOfKey(std::string_view key) {
    const std::string prefix = ToUpper(key.substr(0, 2));
    if (prefix == "PU") {
        return TableKind::USA;
    }
    if (prefix == "PI") {
        return TableKind::INT;
    }
    if (prefix == "PC") {
        return TableKind::CAN;
    }
    if (prefix == "PR") {
        return TableKind::RG;
    }
    if (prefix == "EX") {
        return TableKind::EXP;
    }
    return TableKind::None;
}

bool IsUserTable(TableKind kind) {
    return kind == TableKind::RG || kind == TableKind::EXP;
}

ChannelTable* TableOf(DataModel& model, TableKind kind) {
    return const_cast<ChannelTable*>(TableOf(static_cast<const DataModel&>(model), kind));
}

const ChannelTable* TableOf(const DataModel& model, TableKind kind) {
    switch (kind) {
        case TableKind::USA:
            return &model.CHUSA;
        case TableKind::INT:
            return &model.CHINT;
        case TableKind::CAN:
            return &model.CHCAN;
        case TableKind::RG:
            return &model.CHRG;
        case TableKind::WX:
            return &model.CHWX;
        case TableKind::EXP:
            return &model.CHEXP;
        case TableKind::None:
            break;
    }
    return nullptr;
}

int TableCapacity(TableKind kind) {
    switch (kind) {
        case TableKind::RG:
            return kMaxRgChannels;
        case TableKind::EXP:
            return kMaxExpChannels;
        case TableKind::WX:
            return kWeatherChannels;
        case TableKind::None:
            return 0;
        default:
            return kMaxStandardChannels;
    }
}

ChannelRecord NewChannelRecord() {
    ChannelRecord record;
    record.Position = 0;
    record.Enable = true;
    record.StatusNo = 127;
    record.StatusIcon = 0;
    record.Duplex = 2;
    record.TxEnable = true;
    return record;
}

void ShowTable(ChannelListState& state, TableKind kind) {
    if (state.kind != kind) {
        state.kind = kind;
        state.insertionIndex = 0;
        state.selectedRow = 0;
    }
}

int RowToSelect(const ChannelListState& state, const ChannelTable& table) {
    if (table.empty()) {
        return -1;
    }
    const int last = static_cast<int>(table.size()) - 1;
    return state.selectedRow < 0 ? 0 : std::min(state.selectedRow, last);
}

std::optional<ChannelRecord> StartNew(Config& config, ChannelListState& state, int row) {
    const ChannelTable* table = TableOf(config.model, state.kind);
    if (table == nullptr) {
        return std::nullopt;
    }
    state.mode = EntryMode::New;
    if (table->empty()) {
        state.insertionIndex = -1;
        return NewChannelRecord();
    }
    if (!Holds(*table, row)) {
        return std::nullopt;
    }
    // A channel the radio has no room for would only fail later, when the radio is programmed.
    const int capacity = TableCapacity(state.kind);
    if (static_cast<int>(table->size()) >= capacity) {
        ShowMessage(config,
                    "This channel table is full: the radio holds " + std::to_string(capacity) +
                        " channels in it.",
                    Icon::Exclamation);
        return std::nullopt;
    }
    state.insertionIndex = row;
    return NewChannelRecord();
}

std::optional<ChannelRecord> StartEdit(const Config& config, ChannelListState& state, int row) {
    const ChannelTable* table = TableOf(config.model, state.kind);
    if (table == nullptr) {
        return std::nullopt;
    }
    state.mode = EntryMode::Edit;
    if (!Holds(*table, row)) {
        return std::nullopt;
    }
    state.insertionIndex = row;
    return (*table)[static_cast<size_t>(row)];
}

bool DeleteChannel(Config& config, ChannelListState& state, int row) {
    const ChannelTable* table = TableOf(config.model, state.kind);
    if (table == nullptr || !Holds(*table, row)) {
        return false;
    }
    const TableKind kind = state.kind;
    std::string question = kDeleteQuestion;
    if (const std::string warning = PriorityDeleteWarning(config.model, kind, row);
        !warning.empty()) {
        question += "\n" + warning;
    }
    if (ShowMessage(config, question, Icon::Critical, Buttons::YesNo, Answer::No) != Answer::Yes) {
        return false;
    }
    const std::string what =
        "Delete channel " + ChannelRowLabel(kind, row, (*table)[static_cast<size_t>(row)]);
    const bool deleted =
        EditModel(config, what, [kind, row](DataModel& model) { RemoveChannel(model, kind, row); });
    if (deleted) {
        state.selectedRow = row;  // the next channel takes the deleted one's row
    }
    return deleted;
}

bool StoreChannel(Config& config, ChannelListState& state, const ChannelRecord& record) {
    const ChannelTable* table = TableOf(config.model, state.kind);
    if (table == nullptr) {
        return false;
    }
    const TableKind kind = state.kind;
    const int size = static_cast<int>(table->size());
    const int k = state.insertionIndex;
    int stored = -1;
    if (state.mode == EntryMode::Edit) {
        if (!Holds(*table, k)) {
            return false;
        }
        stored = k;
        if (!EditModel(config, "Edit channel " + ChannelRowLabel(kind, k, record),
                       [kind, k, &record](DataModel& model) {
                           (*TableOf(model, kind))[static_cast<size_t>(k)] = record;
                       })) {
            return false;
        }
    } else {
        if (size == 0 && k == -1) {
            stored = 0;
        } else if (Holds(*table, k) && size < TableCapacity(kind)) {
            stored = k + 1;
        } else {
            return false;
        }
        if (!EditModel(config, "New channel " + ChannelRowLabel(kind, stored, record),
                       [kind, stored, &record](DataModel& model) {
                           InsertChannel(model, kind, stored, record);
                       })) {
            return false;
        }
    }
    state.insertionIndex = stored;
    state.selectedRow = stored;
    return true;
}

}  // namespace mrw
