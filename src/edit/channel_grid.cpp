#include "edit/channel_grid.h"

#include <cstdio>

#include "edit/channel_panel.h"
#include "image/image.h"

namespace mrw {

namespace {

// Which table kinds a column belongs to.
enum class Applies { Standard, User, Both };

// What a cell is rendered from: the record, its row number (1 upward) and the table kind.
struct CellSource {
    const ChannelRecord& record;
    int rowNumber;
    TableKind kind;
};

// One column: its header (a channel group's name when `group` is 0..2), where it applies,
// whether its cells are marks, and its render function.
struct ChannelColumn {
    const char* header;
    int group;
    Applies applies;
    bool mark;
    std::string (*render)(const CellSource&);
};

std::string Mark(bool value) {
    return value ? kTickedMark : kEmptyMark;
}

std::string Flag(bool value, const char* set, const char* cleared) {
    return value ? set : cleared;
}

std::string UserLabel(const CellSource& c) {
    char number[16];
    std::snprintf(number, sizeof number, "%02d", c.rowNumber);
    return (c.kind == TableKind::RG ? "RG" : "EXP") + std::string(number);
}

constexpr ChannelColumn kColumns[] = {
    {"CH", -1, Applies::Standard, false,
     [](const CellSource& c) { return ChannelLabel(c.record); }},
    {"CH", -1, Applies::User, false, UserLabel},
    {"", 0, Applies::User, true, [](const CellSource& c) { return Mark(c.record.ExpCB[0]); }},
    {"", 1, Applies::User, true, [](const CellSource& c) { return Mark(c.record.ExpCB[1]); }},
    {"", 2, Applies::User, true, [](const CellSource& c) { return Mark(c.record.ExpCB[2]); }},
    {"DISP", -1, Applies::User, false, [](const CellSource& c) { return c.record.CHDisplayL; }},
    {"RX[MHz]", -1, Applies::Standard, false,
     [](const CellSource& c) { return CatalogueRxText(c.record); }},
    {"RX[MHz]", -1, Applies::User, false,
     [](const CellSource& c) { return FormatFreq4(c.record.Rxfreq); }},
    {"TX[MHz]", -1, Applies::Standard, false,
     [](const CellSource& c) { return CatalogueTxText(c.record); }},
    {"TX[MHz]", -1, Applies::User, false,
     [](const CellSource& c) { return FormatFreq4(c.record.Txfreq); }},
    {"TX", -1, Applies::Standard, false,
     [](const CellSource& c) { return Flag(c.record.TxEnable, "TX", "--"); }},
    {"LOW", -1, Applies::Both, false,
     [](const CellSource& c) { return Flag(c.record.LowPower, "LOW", "---"); }},
    {"UP", -1, Applies::Both, false,
     [](const CellSource& c) { return Flag(c.record.PowUp, "UP", "--"); }},
    {"DUP", -1, Applies::Standard, false,
     [](const CellSource& c) { return DuplexCellText(c.record.Duplex); }},
    {"MEM", -1, Applies::Both, false,
     [](const CellSource& c) { return Flag(c.record.ScanMemory, "MEM", "---"); }},
    {"DSC IS", -1, Applies::Standard, true,
     [](const CellSource& c) { return Mark(c.record.InterShipCH); }},
    {"CH Name", -1, Applies::Both, false, [](const CellSource& c) { return c.record.ChTag; }},
};

bool ColumnShown(const ChannelColumn& column, const DataModel& model, bool user) {
    if (column.applies != Applies::Both && (column.applies == Applies::User) != user) {
        return false;
    }
    return column.group < 0 || model.Groups[static_cast<size_t>(column.group)].Usable;
}

}  // namespace

std::string ChannelGroupCaption(const DataModel& model, int group) {
    std::string caption = group == 3 ? "EXP Channel" : "Group" + std::to_string(group + 1);
    const std::string& name = model.Groups.at(static_cast<size_t>(group)).StatusName;
    if (!name.empty()) {
        caption += "(" + name + ")";
    }
    return caption;
}

std::string ChannelRowLabel(TableKind kind, int row, const ChannelRecord& record) {
    const CellSource source{record, row + 1, kind};
    return IsUserTable(kind) ? UserLabel(source) : ChannelLabel(record);
}

ChannelGrid BuildChannelGrid(const DataModel& model, TableKind kind) {
    ChannelGrid grid;
    const ChannelTable* table = TableOf(model, kind);
    if (table == nullptr || kind == TableKind::WX) {
        return grid;
    }
    const bool user = IsUserTable(kind);
    std::vector<const ChannelColumn*> columns;
    for (const ChannelColumn& column : kColumns) {
        if (ColumnShown(column, model, user)) {
            columns.push_back(&column);
            grid.headers.push_back(column.group >= 0 ? ChannelGroupCaption(model, column.group)
                                                     : column.header);
            grid.markColumns.push_back(column.mark);
        }
    }
    int number = 0;
    for (const ChannelRecord& record : *table) {
        const CellSource source{record, ++number, kind};
        std::vector<std::string>& row = grid.rows.emplace_back();
        for (const ChannelColumn* column : columns) {
            row.push_back(column->render(source));
        }
    }
    return grid;
}

}  // namespace mrw
