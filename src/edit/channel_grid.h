// The channel list grid as data: its columns for a table kind and the text of every cell.
#pragma once

#include <string>
#include <vector>

#include "edit/channel_table.h"
#include "model/model.h"

namespace mrw {

/// A mark cell for True (a ticked box) and for False (an empty box).
inline constexpr const char* kTickedMark = "\u2611";
inline constexpr const char* kEmptyMark = "\u2610";

/// The grid of one channel table: column headers and one row of cell texts per record, in
/// table order. Standard tables: "CH", "RX[MHz]", "TX[MHz]", "TX", "LOW", "UP", "DUP",
/// "MEM", "DSC IS", "CH Name". User tables: "CH", one mark column per usable channel group
/// among the first three (headed by the group's name), "DISP", "RX[MHz]", "TX[MHz]", "LOW",
/// "UP", "MEM", "CH Name".
struct ChannelGrid {
    std::vector<std::string> headers;
    std::vector<bool> markColumns;  ///< Columns whose cells are marks.
    std::vector<std::vector<std::string>> rows;
};

/// The grid of the table of `kind`; empty for None and CHWX.
ChannelGrid BuildChannelGrid(const DataModel& model, TableKind kind);

/// What the "CH" column shows for the record in row `row` (0-based) of the table of `kind`:
/// the channel number of a standard channel ("16", "1078"), "EXP05" or "RG01" for a user one.
std::string ChannelRowLabel(TableKind kind, int row, const ChannelRecord& record);

/// The name of channel group g as the tree shows it: "Group" + (g + 1) for g = 0..2, "EXP
/// Channel" for g = 3, followed by "(" + its status name + ")" when it has one
/// ("Group1(INTL)"). The user channels' group boxes and columns, the ATIS panel and the auto
/// position lists name the groups so.
std::string ChannelGroupCaption(const DataModel& model, int group);

}  // namespace mrw
