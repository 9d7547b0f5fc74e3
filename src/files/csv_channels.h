// Channel tables as CSV in CHIRP's layout, the form in which boaters and dealers keep and
// share channel lists: one row per channel, found by header name, CHIRP's established
// columns first and MRW's own after them for what those cannot carry.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/config.h"
#include "edit/channel_table.h"
#include "model/model.h"

namespace mrw {

/// Filter of the Open and Save dialogs of channel lists.
inline constexpr const char* kCsvFileFilter = "CSV files(*.csv)|*.csv|All files(*.*)|*.*";
/// The largest channel list the reader accepts; a full table is about 20 KB.
inline constexpr std::uintmax_t kMaxCsvFileSize = 1024 * 1024;

/// The header of an exported channel list: Location, Name, Frequency, Duplex, Offset, the
/// tone columns, Mode, TStep, Skip, Power, Comment and the D-STAR columns as CHIRP writes
/// them, then MRW_Channel, MRW_Duplex, MRW_TxEnable, MRW_LowPower, MRW_PowerUp,
/// MRW_StatusNo, MRW_StatusIcon, MRW_InterShip, MRW_Display, MRW_Group1 to MRW_Group3.
const std::vector<std::string>& ChannelCsvColumns();

/// One record of a CSV text: the line it starts on (1 for the first) and its fields.
struct CsvRecord {
    int line = 0;
    std::vector<std::string> fields;
};

/// Splits a CSV text (RFC 4180) into records: fields separated by commas, a quoted field may
/// hold commas, doubled quotes and line breaks; lines end in CR LF, LF or CR; a UTF-8
/// byte-order mark at the start is skipped. A quote that is never closed takes the rest of
/// the text into its field; `unclosedLine`, when given, is then set to the line the field
/// starts on (0 otherwise).
std::vector<CsvRecord> ParseCsv(std::string_view text, int* unclosedLine = nullptr);
/// One field as a CSV line holds it: quoted (quotes doubled) when it contains a comma, a
/// quote or a line break, or starts or ends with a blank; as it is otherwise.
std::string CsvField(std::string_view text);

/// "CHUSA", "CHINT", "CHCAN", "CHRG", "CHEXP"; empty for the other kinds.
std::string ChannelTableName(TableKind kind);
/// The kind of a table name of ChannelTableName, in any case; nothing for another name.
std::optional<TableKind> ChannelTableOfName(std::string_view name);
/// The table as the category tree names it: "Group1(USA)" (the group's status name in
/// brackets when it has one), "RG Channel", "EXP Channel".
std::string ChannelTableCaption(const DataModel& model, TableKind kind);

/// The channel list of table `kind` (CHUSA, CHINT, CHCAN, CHRG or CHEXP): the header line,
/// then one row per record with Location from 1, lines ending in CR LF. Frequency is the
/// receive frequency with six decimals (a standard channel's from the catalogue by its
/// duplex mode); Duplex +, - or empty with Offset, or off without transmission (Offset then
/// keeps the transmit frequency); Skip "S" for a channel outside the scan memory; Power 1W
/// (Low Power Only) or 25W; Comment the channel label ("16", "1019", "22A", "RG01").
std::string ChannelTableCsv(const DataModel& model, TableKind kind);

/// Something the import of one row, or of the file, has to say: the line it concerns (0 for
/// the file as a whole) and what happened.
struct CsvNote {
    int line = 0;
    std::string text;

    bool operator==(const CsvNote&) const = default;
};

/// What a channel list gives for one table.
struct CsvImport {
    ChannelTable table;          ///< The channels taken, in the order of the file.
    std::vector<CsvNote> notes;  ///< Rows skipped and values changed, in the order of the file.
    int rows = 0;                ///< Rows of the file that hold anything.
    /// Why the file cannot be imported at all (no Frequency column, no usable row); empty
    /// when `table` holds channels. A refused file changes nothing.
    std::string refusal;
};

/// Maps a channel list onto table `kind`, whose records `current` it is to replace. Rows are
/// taken in file order; each row that cannot be taken is skipped with a note.
///
/// Standard tables: a row names the catalogue channel and duplex mode whose receive and
/// transmit frequencies it gives. When only its receive frequency names a channel (Duplex
/// off, or a transmit side that is unusable or names no channel), that channel is taken in a
/// mode that keeps the receive frequency: the one `current` has it in when that mode does,
/// else TX_SIMP for the ship frequency, DUPLEX for the coast frequency; the note says that
/// the transmit frequency was not used, and that the receive frequency was kept where the
/// mode of `current` would have moved it. MRW_Channel and MRW_Duplex, when given, decide;
/// a receive-only row whose receive frequency they do not allow is skipped. A channel
/// `current` holds in the same mode lends its label, inter-ship and Power Up flags, and a
/// channel there that may not transmit or only at low power stays so unless MRW_TxEnable or
/// MRW_LowPower says otherwise. A label in Comment for the same catalogue channel gives the
/// label.
///
/// User tables: receive and transmit frequencies are taken as given and checked as the
/// channel panel checks them (137 to 174 MHz on the 25 kHz grid); the display text is
/// MRW_Display, else the Location as two digits.
///
/// A list without any MRW column (as CHIRP writes it back): a user channel of `current` with
/// the row's receive and transmit frequencies lends it its display, groups and, without a
/// Power, its power flags. The rows taken that got a label, power or groups from the defaults
/// instead are counted in one note of the file, the first ("12 rows without MRW columns:
/// display label, power and groups from defaults").
///
/// Every text of the file a note quotes is one line of at most 80 characters.
///
/// Names keep the characters of the channel panel's name box only and are cut to 16, with a
/// note for each change. Rows beyond the table's capacity are skipped with a note.
CsvImport ImportChannelCsv(std::string_view text, TableKind kind, const ChannelTable& current);

/// Reads a channel list file. False, with a description in `error`, when it is not a regular
/// file, cannot be read or is larger than kMaxCsvFileSize.
bool ReadCsvFile(const std::filesystem::path& path, std::string& text, std::string& error);

/// The note as one line of text: "line 12: ..." ("file: ..." for line 0).
std::string NoteText(const CsvNote& note);

/// The question asked before an import replaces a table: how many channels replace how many,
/// how many rows were skipped, and the notes (at most `shownNotes` of them; the rest are
/// counted).
std::string ImportSummary(const DataModel& model, TableKind kind, const CsvImport& import,
                          int shownNotes);

/// Replaces the records of table `kind` with `table` through EditModel, as ReplaceChannels
/// does (the priority channel stays on its channel), marking the configuration changed. True
/// when it was applied.
bool ApplyChannelImport(Config& config, TableKind kind, const ChannelTable& table);

}  // namespace mrw
