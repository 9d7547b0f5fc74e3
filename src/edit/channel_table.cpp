#include "edit/channel_table.h"

#include <algorithm>
#include <string>

#include "core/text.h"
#include "edit/channel_grid.h"
#include "edit/edit.h"

namespace mrw {

namespace {

// The question DELETE asks before it removes a channel.
constexpr const char* kDeleteQuestion = "Are you sure ?";

bool Holds(const ChannelTable& table, int row) {
    return row >= 0 && row < static_cast<int>(table.size());
}

}  // namespace

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
    if (ShowMessage(config, kDeleteQuestion, Icon::Critical, Buttons::YesNo, Answer::No) !=
        Answer::Yes) {
        return false;
    }
    const TableKind kind = state.kind;
    const std::string what =
        "Delete channel " + ChannelRowLabel(kind, row, (*table)[static_cast<size_t>(row)]);
    const bool deleted = EditModel(config, what, [kind, row](DataModel& model) {
        ChannelTable& t = *TableOf(model, kind);
        t.erase(t.begin() + row);
    });
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
                           ChannelTable& t = *TableOf(model, kind);
                           t.insert(t.begin() + stored, record);
                       })) {
            return false;
        }
    }
    state.insertionIndex = stored;
    state.selectedRow = stored;
    return true;
}

}  // namespace mrw
