// The channel tables as the channel list edits them: which table a tree node names, the list
// commands NEW, EDIT and DELETE with their index rules, and storing the channel SAVE built.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/config.h"
#include "model/model.h"

namespace mrw {

/// The channel table kinds, numbered as the channel list remembers them.
enum class TableKind : int { None = 0, USA = 1, INT = 2, CAN = 3, RG = 4, WX = 5, EXP = 6 };

/// The table a channel list node names by its key: "PU" CHUSA, "PI" CHINT, "PC" CHCAN,
/// "PR" CHRG and any key starting with "EX" CHEXP, without regard to case. None otherwise.
TableKind TableKindOfKey(std::string_view key);
/// True for CHRG and CHEXP, whose channels carry their own frequencies and display text.
bool IsUserTable(TableKind kind);
/// The table of this kind in the data model; null for None.
ChannelTable* TableOf(DataModel& model, TableKind kind);
const ChannelTable* TableOf(const DataModel& model, TableKind kind);
/// Most records the radio holds for this kind: 96 standard, 16 CHRG, 64 CHEXP, 10 CHWX.
int TableCapacity(TableKind kind);

/// A channel as NEW starts it: Position 0, Enable True, StatusNo 127 ("None"), StatusIcon 0,
/// Duplex 2 (DUPLEX), TxEnable True; every other field zero, False or empty.
ChannelRecord NewChannelRecord();

/// Whether SAVE inserts a new channel or overwrites the one being edited.
enum class EntryMode { New, Edit };

/// What the channel list remembers while the program runs.
struct ChannelListState {
    TableKind kind = TableKind::None;  ///< The table the list showed last.
    EntryMode mode = EntryMode::New;   ///< Set by NEW and EDIT.
    int insertionIndex = 0;            ///< Where SAVE stores; -1 for a NEW on an empty table.
    int selectedRow = 0;               ///< Record index of the row the user selected last.
};

/// The list shows table `kind`: another table than the last one starts again at its first
/// row (insertion index and selected row 0).
void ShowTable(ChannelListState& state, TableKind kind);
/// The record index of the row to select when the list is shown: the remembered row, the
/// last row when the table has shrunk below it, -1 for an empty table.
int RowToSelect(const ChannelListState& state, const ChannelTable& table);

/// NEW with record `row` selected (-1 for none). On an empty table the new channel will be
/// its only record; otherwise it goes in after `row`, which must be a record of the table.
/// A full table refuses with a message. The record to fill the panel with, or nothing.
std::optional<ChannelRecord> StartNew(Config& config, ChannelListState& state, int row);
/// EDIT of record `row`: the record to fill the panel with, or nothing when `row` is not a
/// record of the table.
std::optional<ChannelRecord> StartEdit(const Config& config, ChannelListState& state, int row);
/// DELETE of record `row`: asks "Are you sure ?" (with PriorityDeleteWarning on a second line
/// when the record is the priority channel) and on Yes removes the record as RemoveChannel
/// does, the records after it moving up. True when the table changed.
bool DeleteChannel(Config& config, ChannelListState& state, int row);

/// Priority CH of a group that has no priority channel, as the radio holds it.
inline constexpr int32_t kNoPriorityChannel = 0xFFFF;

/// The channel group whose Priority CH names a record of table `kind`: 0 (Group1) for CHUSA,
/// 1 for CHINT, 2 for CHCAN; -1 for the other tables, which have no priority channel.
int PriorityGroupOf(TableKind kind);
/// The record of table `kind` that its group's Priority CH names, or -1 when the value names
/// none (no priority channel, or a value beyond the table).
int PriorityRecord(const DataModel& model, TableKind kind);

// Changing the records of a standard table keeps its group's priority channel on the same
// channel: Priority CH is a record position, which moves when records before it come or go.
// A value that names no record of the table is left as it is.

/// Inserts `record` at index `row` (0..size) of table `kind`.
void InsertChannel(DataModel& model, TableKind kind, int row, const ChannelRecord& record);
/// Removes record `row` of table `kind`; removing the priority channel itself leaves the group
/// without one.
void RemoveChannel(DataModel& model, TableKind kind, int row);
/// Replaces the whole table `kind` with `table` (a channel list import). The priority channel
/// stays on the channel of the same catalogue position (the first such record, one with the
/// same label when there is one); the group has none when `table` lacks that channel.
void ReplaceChannels(DataModel& model, TableKind kind, ChannelTable table);

/// The line the DELETE question adds when record `row` is its group's priority channel
/// ("Channel 16 is the priority channel of Group1; Group1 will have no priority channel.");
/// empty otherwise.
std::string PriorityDeleteWarning(const DataModel& model, TableKind kind, int row);

/// Stores `record` as SAVE does. NEW: an empty table with insertion index -1 takes it as its
/// only record; otherwise it is inserted after the record at the insertion index, which then
/// names the new record. EDIT: it replaces the record at the insertion index. Nothing is
/// stored, and false returned, when the index does not fit the table or the table is full.
bool StoreChannel(Config& config, ChannelListState& state, const ChannelRecord& record);

}  // namespace mrw
