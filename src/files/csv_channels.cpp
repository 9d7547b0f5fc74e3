#include "files/csv_channels.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <fstream>
#include <iterator>
#include <map>

#include "core/file_read.h"
#include "core/path_text.h"
#include "core/text.h"
#include "edit/channel_lists.h"
#include "edit/channel_panel.h"
#include "edit/edit.h"
#include "image/image.h"
#include "model/catalogue.h"

namespace mrw {

namespace {

// CHIRP's established columns, in the order CHIRP writes them.
constexpr std::array<const char*, 21> kChirpColumns = {
    "Location",  "Name",     "Frequency",    "Duplex",     "Offset",    "Tone",     "rToneFreq",
    "cToneFreq", "DtcsCode", "DtcsPolarity", "RxDtcsCode", "CrossMode", "Mode",     "TStep",
    "Skip",      "Power",    "Comment",      "URCALL",     "RPT1CALL",  "RPT2CALL", "DVCODE"};

// MRW's own columns, for what the established ones cannot carry.
constexpr std::array<const char*, 12> kMrwColumns = {
    "MRW_Channel", "MRW_Duplex",   "MRW_TxEnable",   "MRW_LowPower",
    "MRW_PowerUp", "MRW_StatusNo", "MRW_StatusIcon", "MRW_InterShip",
    "MRW_Display", "MRW_Group1",   "MRW_Group2",     "MRW_Group3"};
constexpr std::array<const char*, 3> kGroupColumns = {"MRW_Group1", "MRW_Group2", "MRW_Group3"};

// The cells of a row by column name; a column a row does not name stays empty.
using Cells = std::map<std::string, std::string>;

// What CHIRP's tone and mode columns hold for a marine channel: no tone, FM, 25 kHz steps.
const Cells& MarineCells() {
    static const Cells cells = {{"rToneFreq", "88.5"}, {"cToneFreq", "88.5"},
                                {"DtcsCode", "023"},   {"DtcsPolarity", "NN"},
                                {"RxDtcsCode", "023"}, {"CrossMode", "Tone->Tone"},
                                {"Mode", "FM"},        {"TStep", "25.00"}};
    return cells;
}

// The powers written for a channel with and without Low Power Only, and the most a power
// may be to read as low.
constexpr const char* kLowPowerText = "1W";
constexpr const char* kHighPowerText = "25W";
constexpr double kHighestLowPowerWatts = 1.0;
// An Offset of at least this many MHz is a frequency, not a distance between two.
constexpr double kLowestOffsetFrequency = 100.0;
// Frequencies and offsets from this many MHz up are nothing a marine radio could use.
constexpr double kHighestReadFrequency = 10000.0;
// The lowest and highest frequency of a user channel, as the channel panel checks it.
constexpr double kLowestUserFrequency = 137.0;
constexpr double kHighestUserFrequency = 174.0;

std::string Frequency6(double mhz) {
    return FormatFixed(mhz, 1, 6);
}

std::string Flag(bool value) {
    return value ? "1" : "0";
}

// Frequencies are compared in units of 100 Hz: the catalogue's are sums of doubles.
long long Units(double mhz) {
    return std::llround(mhz * 10000.0);
}

bool SameFrequency(double a, double b) {
    return Units(a) == Units(b);
}

// One catalogue channel in one duplex mode, with the frequencies the channel panel shows.
struct CatalogueChannel {
    int position = 0;
    int duplex = 0;
    double rx = 0.0;
    double tx = 0.0;
};

const std::vector<CatalogueChannel>& CatalogueChannels() {
    static const std::vector<CatalogueChannel> channels = [] {
        std::vector<CatalogueChannel> list;
        const int count = static_cast<int>(ChannelCatalogue().size());
        const int modes = static_cast<int>(ChannelListItems(ChannelList::Duplex).size());
        for (int p = 0; p < count; ++p) {
            for (int d = 0; d < modes; ++d) {
                if (auto texts = BaseChannelTexts(p, d, true)) {
                    list.push_back({p, d, Val(texts->rx), Val(texts->tx)});
                }
            }
        }
        return list;
    }();
    return channels;
}

const CatalogueChannel* FindCatalogueChannel(int position, int duplex) {
    for (const CatalogueChannel& c : CatalogueChannels()) {
        if (c.position == position && c.duplex == duplex) {
            return &c;
        }
    }
    return nullptr;
}

// "TX_SIMP", "RX_SIMP", "DUPLEX", "Reverse DUP", as the channel panel's list names them.
std::string DuplexName(int duplex) {
    const ItemList items = ChannelListItems(ChannelList::Duplex, duplex);
    return items[static_cast<size_t>(IndexOfValue(items, duplex))].text;
}

// A channel label split into catalogue channel, channel number prefix and suffix.
struct LabelParts {
    int position = 0;
    int statusNo = 0;
    int statusIcon = 0;
};

// Reads a channel label as ChannelLabel writes it ("16", "1019", "22A"). A given prefix or
// suffix value is the only one tried; otherwise those the channel panel's lists offer.
std::optional<LabelParts> ParseChannelLabel(std::string_view text, std::optional<int> statusNo,
                                            std::optional<int> statusIcon) {
    const std::string label = ToUpper(Trim(text));
    if (label.empty() || label.size() > 8) {
        return std::nullopt;
    }
    auto valuesOf = [](ChannelList list, std::optional<int> given) {
        std::vector<int> values;
        if (given) {
            values.push_back(*given);
        } else {
            for (const ListItem& item : ChannelListItems(list)) {
                values.push_back(item.value);
            }
        }
        return values;
    };
    const std::vector<int> numbers = valuesOf(ChannelList::StatusNo, statusNo);
    const std::vector<int> icons = valuesOf(ChannelList::StatusIcon, statusIcon);
    const auto& catalogue = ChannelCatalogue();
    for (int n : numbers) {
        const std::string prefix = ChannelNumberText(n);
        if (label.compare(0, prefix.size(), prefix) != 0) {
            continue;
        }
        for (int icon : icons) {
            const std::string suffix = ChannelSuffixText(icon);
            if (label.size() < prefix.size() + suffix.size() ||
                label.compare(label.size() - suffix.size(), suffix.size(), suffix) != 0) {
                continue;
            }
            const std::string middle =
                label.substr(prefix.size(), label.size() - prefix.size() - suffix.size());
            for (size_t p = 0; p < catalogue.size(); ++p) {
                if (catalogue[p].Label == middle) {
                    return LabelParts{static_cast<int>(p), n, icon};
                }
            }
        }
    }
    return std::nullopt;
}

// ---- UTF-8 ---------------------------------------------------------------------------------

// The code points of a UTF-8 text; a byte that starts no valid sequence gives U+FFFD.
std::u32string DecodeUtf8(std::string_view text) {
    std::u32string out;
    size_t i = 0;
    while (i < text.size()) {
        const auto b = static_cast<unsigned char>(text[i]);
        int extra = b < 0x80           ? 0
                    : (b >> 5) == 0x6  ? 1
                    : (b >> 4) == 0xE  ? 2
                    : (b >> 3) == 0x1E ? 3
                                       : -1;
        char32_t c = extra == 0   ? b
                     : extra == 1 ? (b & 0x1F)
                     : extra == 2 ? (b & 0x0F)
                                  : (b & 0x07);
        bool valid = extra >= 0 && i + static_cast<size_t>(extra) < text.size();
        for (int k = 1; valid && k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(text[i + static_cast<size_t>(k)]);
            valid = (next & 0xC0) == 0x80;
            c = (c << 6) | (next & 0x3F);
        }
        if (!valid) {
            out += U'\uFFFD';
            ++i;
            continue;
        }
        out += c;
        i += static_cast<size_t>(extra) + 1;
    }
    return out;
}

// A text of the file as a note quotes it: in quotes, on one line, at most 80 characters.
std::string Quoted(std::string_view text) {
    return "\"" + OneLineExcerpt(text) + "\"";
}

// The text as entry box `box` would take it: the characters it accepts, at most as many as
// it holds. `what` describes a change for the note ("name", "display").
std::string AsEntryText(EntryBox box, const std::string& text, const char* what,
                        std::vector<std::string>& changes) {
    std::u32string kept = FilterEntry(box, DecodeUtf8(text));
    const size_t filtered = kept.size();
    const auto most = static_cast<size_t>(EntryMaxLength(box));
    if (kept.size() > most) {
        kept.resize(most);
    }
    // The boxes take ASCII characters only.
    std::string result(kept.begin(), kept.end());
    if (result != text) {
        std::string reason;
        if (filtered != DecodeUtf8(text).size()) {
            reason = "characters the radio cannot show dropped";
        }
        if (filtered > most) {
            reason += std::string(reason.empty() ? "" : ", ") + "cut to " + std::to_string(most);
        }
        changes.push_back(std::string(what) + " " + Quoted(text) + " became " + Quoted(result) +
                          " (" + reason + ")");
    }
    return result;
}

// ---- Reading rows ------------------------------------------------------------------------

// The columns of a channel list by lower-case name, from its header line.
using Columns = std::map<std::string, size_t>;

Columns ColumnsOf(const CsvRecord& header) {
    Columns columns;
    for (size_t i = 0; i < header.fields.size(); ++i) {
        columns.emplace(ToLower(Trim(header.fields[i])), i);  // the first of a name counts
    }
    return columns;
}

bool IsBlankRecord(const CsvRecord& record) {
    return std::all_of(record.fields.begin(), record.fields.end(),
                       [](const std::string& f) { return Trim(f).empty(); });
}

// One data row being imported, with the notes it gives.
class Row {
public:
    Row(const Columns& columns, const CsvRecord& record) : columns_(columns), record_(record) {}

    bool Has(std::string_view column) const { return columns_.count(ToLower(column)) != 0; }
    // The field as written; empty when the column or the field is missing.
    std::string Field(std::string_view column) const {
        auto it = columns_.find(ToLower(column));
        if (it == columns_.end() || it->second >= record_.fields.size()) {
            return {};
        }
        return record_.fields[it->second];
    }
    std::string Trimmed(std::string_view column) const { return Trim(Field(column)); }
    // The trimmed field when it holds anything.
    std::optional<std::string> Given(std::string_view column) const {
        std::string value = Trimmed(column);
        return value.empty() ? std::nullopt : std::optional(value);
    }
    void Note(std::string text) { notes.push_back({record_.line, std::move(text)}); }

    // An MRW flag column: nothing when empty, and a note when it is not 0 or 1.
    std::optional<bool> MrwFlag(const char* column) {
        const std::optional<std::string> value = Given(column);
        if (!value) {
            return std::nullopt;
        }
        const std::string v = ToLower(*value);
        if (v == "1" || v == "true" || v == "yes") {
            return true;
        }
        if (v == "0" || v == "false" || v == "no") {
            return false;
        }
        Note(std::string(column) + " " + Quoted(*value) + " is not 0 or 1; ignored");
        return std::nullopt;
    }
    // An MRW number column from `lowest` to `highest`: nothing when empty, a note for
    // anything else.
    std::optional<int> MrwNumber(const char* column, int lowest, int highest) {
        const std::optional<std::string> value = Given(column);
        if (!value) {
            return std::nullopt;
        }
        const std::optional<double> n = ParseNumber(*value);
        if (!n || *n != std::floor(*n) || *n < lowest || *n > highest) {
            Note(std::string(column) + " " + Quoted(*value) + " is not a number from " +
                 std::to_string(lowest) + " to " + std::to_string(highest) + "; ignored");
            return std::nullopt;
        }
        return static_cast<int>(*n);
    }

    std::vector<CsvNote> notes;

private:
    const Columns& columns_;
    const CsvRecord& record_;
};

// The frequencies a row gives.
struct RowFrequencies {
    double rx = 0.0;
    std::optional<double> tx;  ///< Nothing when the row gives no transmit frequency.
    bool transmit = true;      ///< Duplex is not "off".
};

// Receive frequency from Frequency, transmit frequency from Duplex and Offset. Nothing, with
// a note, when the receive frequency is missing or no number.
std::optional<RowFrequencies> ReadFrequencies(Row& row) {
    const std::string rxText = row.Trimmed("Frequency");
    if (rxText.empty()) {
        row.Note("no Frequency; skipped");
        return std::nullopt;
    }
    const std::optional<double> rx = ParseNumber(rxText);
    if (!rx || *rx <= 0.0) {
        row.Note("Frequency " + Quoted(rxText) + " is no frequency; skipped");
        return std::nullopt;
    }
    if (!(*rx < kHighestReadFrequency)) {
        row.Note("Frequency " + Quoted(rxText) + " lies far above the marine band; skipped");
        return std::nullopt;
    }
    RowFrequencies f;
    f.rx = *rx;
    const std::string duplex = ToLower(row.Trimmed("Duplex"));
    const std::string offsetText = row.Trimmed("Offset");
    const std::optional<double> offset = [&offsetText]() -> std::optional<double> {
        if (offsetText.empty()) {
            return 0.0;
        }
        const std::optional<double> n = ParseNumber(offsetText);
        return n && std::fabs(*n) < kHighestReadFrequency ? n : std::nullopt;
    }();
    if (duplex.empty()) {
        f.tx = f.rx;
    } else if (duplex == "off") {
        f.transmit = false;
        if (offset && *offset >= kLowestOffsetFrequency) {
            f.tx = *offset;
        }
    } else if (duplex != "+" && duplex != "-" && duplex != "split") {
        row.Note("Duplex " + Quoted(row.Trimmed("Duplex")) +
                 " is none of +, -, split, off or empty; no transmit frequency taken from it");
    } else if (!offset || (duplex == "split" && *offset <= 0.0)) {
        row.Note("Offset " + Quoted(offsetText) + " is no " +
                 (duplex == "split" ? "transmit frequency" : "offset") +
                 "; no transmit frequency taken from it");
    } else if (duplex == "split") {
        f.tx = *offset;
    } else {
        f.tx = duplex == "+" ? f.rx + *offset : f.rx - *offset;
    }
    return f;
}

// Low Power Only from a power such as "25W", "1W", "1.0W", "Low" or "High"; nothing when
// the row gives none.
std::optional<bool> ReadLowPower(const Row& row) {
    const std::optional<std::string> power = row.Given("Power");
    if (!power) {
        return std::nullopt;
    }
    if (std::isdigit(static_cast<unsigned char>((*power)[0])) || (*power)[0] == '.') {
        return Val(*power) <= kHighestLowPowerWatts;
    }
    return ToLower(*power).rfind("low", 0) == 0;
}

// Name, scan memory, power and transmission from the established columns and the MRW flags,
// over `r`. `plan` is the channel the table held in the same place, whose restrictions stay.
void TakeCommonColumns(Row& row, const RowFrequencies& f, const ChannelRecord* plan,
                       ChannelRecord& r) {
    std::vector<std::string> changes;
    if (row.Has("Name")) {
        r.ChTag = AsEntryText(EntryBox::Name, row.Field("Name"), "name", changes);
    }
    if (row.Has("Skip")) {
        r.ScanMemory = !EqualsIgnoreCase(row.Trimmed("Skip"), "S");
    }
    const std::optional<bool> mrwLow = row.MrwFlag("MRW_LowPower");
    const std::optional<bool> low = ReadLowPower(row);
    if (low) {
        if (plan != nullptr && plan->LowPower && !*low && !mrwLow) {
            changes.push_back("channel " + ChannelLabel(*plan) +
                              " is low power only in the table it replaces; Power " +
                              OneLineExcerpt(row.Trimmed("Power")) + " not taken");
        } else {
            r.LowPower = *low;
        }
    }
    if (mrwLow) {
        if (low && *low != *mrwLow) {
            changes.push_back("MRW_LowPower " + Flag(*mrwLow) + " decides over Power " +
                              OneLineExcerpt(row.Trimmed("Power")));
        }
        r.LowPower = *mrwLow;
    }
    const std::optional<bool> mrwTx = row.MrwFlag("MRW_TxEnable");
    if (plan != nullptr && !plan->TxEnable && f.transmit && !mrwTx) {
        changes.push_back("channel " + ChannelLabel(*plan) +
                          " receives only in the table it replaces; it does not transmit");
        r.TxEnable = false;
    } else {
        r.TxEnable = f.transmit;
    }
    if (mrwTx) {
        if (*mrwTx && !f.transmit) {
            changes.push_back("MRW_TxEnable 1 decides over Duplex off");
        }
        r.TxEnable = *mrwTx;
    }
    if (const std::optional<bool> up = row.MrwFlag("MRW_PowerUp")) {
        r.PowUp = *up;
    }
    r.Enable = true;
    r.Scramble = 0;
    r.ScrambleOn = false;
    for (std::string& change : changes) {
        row.Note(std::move(change));
    }
}

// ---- Rows without MRW columns ------------------------------------------------------------

// A list that went through CHIRP has lost MRW's columns. What a row of it took from the
// defaults instead of from the channel it replaces, for the one note that counts them.
struct RowDefaults {
    bool label = false;  ///< the label of a standard channel, the display of a user channel
    bool power = false;
    bool rest = false;  ///< inter-ship flag (standard) or groups (user)

    bool Any() const { return label || power || rest; }
};

bool HasMrwColumns(const Columns& columns) {
    return std::any_of(columns.begin(), columns.end(),
                       [](const auto& c) { return c.first.rfind("mrw_", 0) == 0; });
}

// "12 rows without MRW columns: display label, power and groups from defaults".
std::string DefaultsNote(int rows, const RowDefaults& what, bool user) {
    std::vector<std::string> parts;
    if (what.label) {
        parts.emplace_back(user ? "display label" : "label");
    }
    if (what.power) {
        parts.emplace_back("power");
    }
    if (what.rest) {
        parts.emplace_back(user ? "groups" : "inter-ship flag");
    }
    std::string list;
    for (size_t i = 0; i < parts.size(); ++i) {
        list += (i == 0 ? "" : i + 1 == parts.size() ? " and " : ", ") + parts[i];
    }
    return std::to_string(rows) + (rows == 1 ? " row" : " rows") + " without MRW columns: " + list +
           " from defaults";
}

// ---- Standard channels -------------------------------------------------------------------

// The channel `plan` holds on catalogue channel `position` in one of `modes` (in the order of
// the plan), or null.
const ChannelRecord* PlanChannel(const ChannelTable& plan, int position,
                                 const std::vector<int>& modes) {
    for (const ChannelRecord& r : plan) {
        if (r.Position == position &&
            std::find(modes.begin(), modes.end(), r.Duplex) != modes.end()) {
            return &r;
        }
    }
    return nullptr;
}

// Chooses among catalogue channels of one position the mode the plan gives that channel:
// one of `matches` first, then (with `anyMode`) any mode the plan has it in, else the first
// of TX_SIMP, DUPLEX and the rest among `matches`.
const CatalogueChannel* ChooseMode(const std::vector<const CatalogueChannel*>& matches,
                                   const ChannelTable& plan, bool anyMode) {
    const int position = matches.front()->position;
    std::vector<int> modes;
    for (const CatalogueChannel* c : matches) {
        modes.push_back(c->duplex);
    }
    if (const ChannelRecord* r = PlanChannel(plan, position, modes)) {
        return FindCatalogueChannel(position, r->Duplex);
    }
    if (anyMode) {
        for (const ChannelRecord& r : plan) {
            if (r.Position == position) {
                if (const CatalogueChannel* c = FindCatalogueChannel(position, r.Duplex)) {
                    return c;
                }
            }
        }
    }
    for (int preferred : {0, 2}) {
        for (const CatalogueChannel* c : matches) {
            if (c->duplex == preferred) {
                return c;
            }
        }
    }
    return matches.front();
}

std::string ChannelText(const CatalogueChannel& c, const std::string& label) {
    return "channel " + label + ", " + DuplexName(c.duplex) + " (receive " + FormatFreq3(c.rx) +
           ", transmit " + FormatFreq3(c.tx) + " MHz)";
}

// When the plan has the channel of `rxMatches` only in a mode that receives elsewhere, what
// taking that mode would have done ("as 01A, TX_SIMP of the table it replaces it would
// receive 156.050 MHz"); empty otherwise.
std::string ModeThatMovesReception(const ChannelTable& plan,
                                   const std::vector<const CatalogueChannel*>& rxMatches) {
    std::vector<int> modes;
    for (const CatalogueChannel* c : rxMatches) {
        modes.push_back(c->duplex);
    }
    const int position = rxMatches.front()->position;
    if (PlanChannel(plan, position, modes) != nullptr) {
        return {};
    }
    for (const ChannelRecord& r : plan) {
        const CatalogueChannel* c =
            r.Position == position ? FindCatalogueChannel(position, r.Duplex) : nullptr;
        if (c != nullptr) {
            return "as " + ChannelLabel(r) + ", " + DuplexName(r.Duplex) +
                   " of the table it replaces it would receive " + FormatFreq3(c->rx) + " MHz";
        }
    }
    return {};
}

// " as TX_SIMP (MRW_Duplex 0)" for a mode MRW_Duplex gives; empty without one.
std::string ModeGiven(std::optional<int> mrwDuplex) {
    return mrwDuplex ? " as " + DuplexName(*mrwDuplex) + " (MRW_Duplex " +
                           std::to_string(*mrwDuplex) + ")"
                     : std::string();
}

// `defaults`, when given (a list without MRW columns), is told what came from defaults.
std::optional<ChannelRecord> ImportStandardRow(Row& row, const ChannelTable& plan,
                                               RowDefaults* defaults) {
    std::optional<int> mrwStatusNo = row.MrwNumber("MRW_StatusNo", 0, 127);
    std::optional<int> mrwStatusIcon = row.MrwNumber("MRW_StatusIcon", 0, 7);
    std::optional<LabelParts> named;
    if (const std::optional<std::string> channel = row.Given("MRW_Channel")) {
        named = ParseChannelLabel(*channel, mrwStatusNo, mrwStatusIcon);
        if (!named) {
            row.Note("MRW_Channel " + Quoted(*channel) +
                     " names no catalogue channel; the frequencies decide");
        }
    }
    const std::optional<int> mrwDuplex = row.MrwNumber("MRW_Duplex", 0, 3);
    std::vector<const CatalogueChannel*> candidates;
    for (const CatalogueChannel& c : CatalogueChannels()) {
        if ((!named || c.position == named->position) && (!mrwDuplex || c.duplex == *mrwDuplex)) {
            candidates.push_back(&c);
        }
    }
    std::optional<RowFrequencies> f;
    if (named && row.Trimmed("Frequency").empty()) {
        f = RowFrequencies{};  // MRW_Channel alone names the channel
        f->transmit = !EqualsIgnoreCase(row.Trimmed("Duplex"), "off");
    } else {
        f = ReadFrequencies(row);
        if (!f) {
            return std::nullopt;
        }
    }
    const CatalogueChannel* found = nullptr;
    std::vector<std::string> said;  // what the note on the channel taken says
    if (f->rx > 0.0) {
        for (const CatalogueChannel* c : candidates) {
            if (f->tx && SameFrequency(c->rx, f->rx) && SameFrequency(c->tx, *f->tx)) {
                found = c;
            }
        }
        if (found == nullptr) {
            // Receive only, or a transmit side that names no channel: the channel that
            // receives there, in a mode that keeps the receive frequency.
            std::vector<const CatalogueChannel*> rxMatches;
            std::copy_if(candidates.begin(), candidates.end(), std::back_inserter(rxMatches),
                         [&f](const CatalogueChannel* c) { return SameFrequency(c->rx, f->rx); });
            if (!rxMatches.empty()) {
                found = ChooseMode(rxMatches, plan, false);
                if (f->tx && f->transmit) {
                    said.push_back("the transmit frequency " + Frequency6(*f->tx) +
                                   " MHz was not used");
                }
                if (std::string moved = ModeThatMovesReception(plan, rxMatches); !moved.empty()) {
                    said.push_back("receive frequency kept; " + moved);
                }
            }
        }
    }
    if (found == nullptr && named) {
        if (f->rx > 0.0 && !f->transmit) {
            // All a receive-only row gives is its receive frequency: never another one.
            row.Note("receive only: " + Frequency6(f->rx) +
                     " MHz is no receive frequency of MRW_Channel " +
                     Quoted(row.Trimmed("MRW_Channel")) + ModeGiven(mrwDuplex) + "; skipped");
            return std::nullopt;
        }
        found = ChooseMode(candidates, plan, !mrwDuplex);
        if (f->rx > 0.0) {
            said.push_back(Frequency6(f->rx) +
                           " MHz is not its receive frequency; MRW_Channel decides");
        }
    }
    if (found == nullptr) {
        const bool inOtherMode =
            mrwDuplex &&
            std::any_of(CatalogueChannels().begin(), CatalogueChannels().end(),
                        [&f](const CatalogueChannel& c) { return SameFrequency(c.rx, f->rx); });
        row.Note(Frequency6(f->rx) + " MHz" +
                 (f->tx && !SameFrequency(*f->tx, f->rx)
                      ? " (transmit " + Frequency6(*f->tx) + " MHz)"
                      : std::string()) +
                 (inOtherMode ? " is no receive frequency of a channel" + ModeGiven(mrwDuplex)
                              : std::string(" is no channel of the catalogue")) +
                 "; skipped");
        return std::nullopt;
    }

    const ChannelRecord* planned = PlanChannel(plan, found->position, {found->duplex});
    ChannelRecord r = planned != nullptr ? *planned : NewChannelRecord();
    r.Position = static_cast<int16_t>(found->position);
    r.Duplex = static_cast<int16_t>(found->duplex);
    if (named) {
        r.StatusNo = static_cast<int16_t>(named->statusNo);
        r.StatusIcon = static_cast<int16_t>(named->statusIcon);
    } else if (auto label = ParseChannelLabel(row.Field("Comment"), mrwStatusNo, mrwStatusIcon);
               label && label->position == found->position) {
        r.StatusNo = static_cast<int16_t>(label->statusNo);
        r.StatusIcon = static_cast<int16_t>(label->statusIcon);
    } else if (defaults != nullptr && planned == nullptr) {
        defaults->label = true;
    }
    if (defaults != nullptr && planned == nullptr) {
        defaults->power = !ReadLowPower(row).has_value();
        defaults->rest = true;
    }
    if (mrwStatusNo) {
        r.StatusNo = static_cast<int16_t>(*mrwStatusNo);
    }
    if (mrwStatusIcon) {
        r.StatusIcon = static_cast<int16_t>(*mrwStatusIcon);
    }
    if (!said.empty()) {
        std::string text = ChannelText(*found, ChannelLabel(r)) + ": ";
        for (size_t i = 0; i < said.size(); ++i) {
            text += (i > 0 ? "; " : "") + said[i];
        }
        row.Note(std::move(text));
    }
    TakeCommonColumns(row, *f, planned, r);
    if (const std::optional<bool> interShip = row.MrwFlag("MRW_InterShip")) {
        r.InterShipCH = *interShip;
    }
    return r;
}

// ---- User channels -----------------------------------------------------------------------

// Why a user channel's frequency is refused, as the channel panel refuses it; empty when
// it is taken.
std::string UserFrequencyFault(const char* what, double mhz) {
    // Checked as written and as the channel keeps it (to 100 Hz): a value just beside the grid
    // would otherwise be taken and then held off it.
    const auto onGrid = [](double f) {
        return ParseFrequency(Frequency6(f), FrequencyMode::KeepText).valid;
    };
    if (onGrid(mhz) && (mhz == 0.0 || onGrid(KeptFrequency(mhz)))) {
        return {};
    }
    const bool inRange = mhz >= kLowestUserFrequency && mhz <= kHighestUserFrequency;
    return std::string(what) + " frequency " + Frequency6(mhz) + " MHz " +
           (inRange ? "is not on the 25 kHz grid" : "lies outside 137 to 174 MHz") + "; skipped";
}

// The display text of a user channel from its Location: two digits, or nothing.
std::optional<std::string> LocationDisplay(const Row& row) {
    const std::optional<double> location = ParseNumber(row.Trimmed("Location"));
    if (!location || *location < 0 || *location > 99 || *location != std::floor(*location)) {
        return std::nullopt;
    }
    const int n = static_cast<int>(*location);
    return std::string(1, static_cast<char>('0' + n / 10)) + static_cast<char>('0' + n % 10);
}

// The channel of `plan` not yet `taken` that receives and transmits where the row does (a
// receive-only row without a transmit frequency: one that receives only, on its receive
// frequency); it is then marked taken. Null when there is none.
const ChannelRecord* MatchingUserChannel(const ChannelTable& plan, std::vector<bool>& taken,
                                         const RowFrequencies& f) {
    for (size_t i = 0; i < plan.size(); ++i) {
        const ChannelRecord& r = plan[i];
        const bool tx = f.tx ? SameFrequency(r.Txfreq, *f.tx) : !f.transmit && !r.TxEnable;
        if (!taken[i] && SameFrequency(r.Rxfreq, f.rx) && tx) {
            taken[i] = true;
            return &r;
        }
    }
    return nullptr;
}

// `plan` and `taken`, when given (a list without MRW columns), lend a row the display, power
// and groups of the channel it matches; `defaults` is told what came from defaults instead.
std::optional<ChannelRecord> ImportUserRow(Row& row, TableKind kind, int index,
                                           const ChannelTable* plan, std::vector<bool>* taken,
                                           RowDefaults* defaults) {
    const std::optional<RowFrequencies> f = ReadFrequencies(row);
    if (!f) {
        return std::nullopt;
    }
    const ChannelRecord* match = nullptr;
    if (plan != nullptr && taken != nullptr) {
        match = MatchingUserChannel(*plan, *taken, *f);
    }
    const double tx = f->tx.value_or(match != nullptr ? match->Txfreq : f->rx);
    for (const auto& [what, mhz] : {std::pair{"receive", f->rx}, std::pair{"transmit", tx}}) {
        if (std::string fault = UserFrequencyFault(what, mhz); !fault.empty()) {
            row.Note(fault);
            return std::nullopt;
        }
    }
    ChannelRecord r;  // as a decoded user channel: the fields of standard channels zero
    TakeCommonColumns(row, *f, nullptr, r);

    std::vector<std::string> changes;
    std::string display;
    if (match != nullptr) {
        display = match->CHDisplayL;
    } else if (row.Given("MRW_Display")) {
        display = AsEntryText(EntryBox::Display, row.Field("MRW_Display"), "display", changes);
    }
    if (Trim(display).empty()) {
        const std::optional<std::string> fromLocation = LocationDisplay(row);
        display = fromLocation.value_or(std::string());
        if (display.empty()) {
            const int n = (index + 1) % 100;
            display =
                std::string(1, static_cast<char>('0' + n / 10)) + static_cast<char>('0' + n % 10);
            changes.push_back("no display text in MRW_Display or Location; " + display + " taken");
        } else if (row.Given("MRW_Display")) {
            changes.push_back("display taken from Location: " + display);
        }
    }
    for (std::string& change : changes) {
        row.Note(std::move(change));
    }

    ChannelPanelValues values;
    values.display = display;
    values.rxText = Frequency6(f->rx);
    values.txText = Frequency6(tx);
    values.name = r.ChTag;
    values.txEnable = r.TxEnable;
    values.lowPower = r.LowPower;
    values.powerUp = r.PowUp;
    values.scanMemory = r.ScanMemory;
    for (size_t g = 0; g < kGroupColumns.size(); ++g) {
        values.expGroups[g] = row.MrwFlag(kGroupColumns[g]).value_or(false);
    }
    const bool powerGiven = ReadLowPower(row).has_value();
    if (match != nullptr) {
        values.expGroups = match->ExpCB;
        if (!powerGiven) {
            values.lowPower = match->LowPower;
            values.powerUp = match->PowUp;
        }
    } else if (defaults != nullptr) {
        defaults->label = true;
        defaults->power = !powerGiven;
        defaults->rest = true;
    }
    std::optional<ChannelRecord> built = BuildChannelRecord(kind, r, values);
    if (!built) {
        row.Note("refused as the channel panel refuses it; skipped");
    }
    return built;
}

// ---- Export ------------------------------------------------------------------------------

// Duplex and Offset of a channel that receives `rx` and transmits `tx` (when `transmit`).
void PutDuplex(Cells& cells, double rx, double tx, bool transmit) {
    if (!transmit) {
        cells["Duplex"] = "off";
        cells["Offset"] = tx > 0.0 ? Frequency6(tx) : Frequency6(0.0);
    } else if (SameFrequency(rx, tx)) {
        cells["Offset"] = Frequency6(0.0);
    } else {
        cells["Duplex"] = tx > rx ? "+" : "-";
        cells["Offset"] = Frequency6(std::fabs(tx - rx));
    }
}

Cells ExportCells(const ChannelRecord& r, TableKind kind, size_t index) {
    Cells cells = MarineCells();
    cells["Location"] = std::to_string(index + 1);
    cells["Name"] = r.ChTag;
    cells["Skip"] = r.ScanMemory ? "" : "S";
    cells["Power"] = r.LowPower ? kLowPowerText : kHighPowerText;
    cells["MRW_TxEnable"] = Flag(r.TxEnable);
    cells["MRW_LowPower"] = Flag(r.LowPower);
    cells["MRW_PowerUp"] = Flag(r.PowUp);
    if (IsUserTable(kind)) {
        cells["Frequency"] = Frequency6(r.Rxfreq);
        PutDuplex(cells, r.Rxfreq, r.Txfreq, r.TxEnable);
        const int n = static_cast<int>(index) + 1;
        cells["Comment"] = std::string(kind == TableKind::RG ? "RG" : "EXP") + (n < 10 ? "0" : "") +
                           std::to_string(n);
        cells["MRW_Display"] = r.CHDisplayL;
        for (size_t g = 0; g < kGroupColumns.size(); ++g) {
            cells[kGroupColumns[g]] = Flag(r.ExpCB[g]);
        }
        return cells;
    }
    if (const CatalogueChannel* c = FindCatalogueChannel(r.Position, r.Duplex)) {
        cells["Frequency"] = Frequency6(c->rx);
        PutDuplex(cells, c->rx, c->tx, r.TxEnable);
    }
    cells["Comment"] = ChannelLabel(r);
    cells["MRW_Channel"] = ChannelLabel(r);
    cells["MRW_Duplex"] = std::to_string(r.Duplex);
    cells["MRW_StatusNo"] = std::to_string(r.StatusNo);
    cells["MRW_StatusIcon"] = std::to_string(r.StatusIcon);
    cells["MRW_InterShip"] = Flag(r.InterShipCH);
    return cells;
}

std::string CsvLine(const std::vector<std::string>& fields) {
    std::string line;
    for (size_t i = 0; i < fields.size(); ++i) {
        line += (i > 0 ? "," : "") + CsvField(fields[i]);
    }
    return line + "\r\n";
}

}  // namespace

const std::vector<std::string>& ChannelCsvColumns() {
    static const std::vector<std::string> columns = [] {
        std::vector<std::string> all(kChirpColumns.begin(), kChirpColumns.end());
        all.insert(all.end(), kMrwColumns.begin(), kMrwColumns.end());
        return all;
    }();
    return columns;
}

std::vector<CsvRecord> ParseCsv(std::string_view text, int* unclosedLine) {
    if (unclosedLine != nullptr) {
        *unclosedLine = 0;
    }
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
        text.remove_prefix(kByteOrderMark.size());
    }
    std::vector<CsvRecord> records;
    CsvRecord record{1, {}};
    std::string field;
    int line = 1;
    int quoteLine = 0;  // the line an open quoted field started on; 0 outside quotes
    bool quotedField = false;
    auto endField = [&] {
        record.fields.push_back(std::move(field));
        field.clear();
        quotedField = false;
    };
    auto endRecord = [&] {
        endField();
        records.push_back(std::move(record));
        record = CsvRecord{line, {}};
    };
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const bool lineBreak = c == '\n' || c == '\r';
        const bool crLf = c == '\r' && i + 1 < text.size() && text[i + 1] == '\n';
        if (quoteLine != 0) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                field += '"';
                ++i;
            } else if (c == '"') {
                quoteLine = 0;
            } else {
                field += c;
                if (crLf) {
                    field += '\n';
                    ++i;
                }
                line += lineBreak ? 1 : 0;
            }
        } else if (c == '"' && field.empty() && !quotedField) {
            quoteLine = line;
            quotedField = true;
        } else if (c == ',') {
            endField();
        } else if (lineBreak) {
            i += crLf ? 1 : 0;
            ++line;
            endRecord();
        } else {
            field += c;  // a quote inside an unquoted field, or after a closing quote, is text
        }
    }
    if (quoteLine != 0 && unclosedLine != nullptr) {
        *unclosedLine = quoteLine;
    }
    if (!field.empty() || quotedField || !record.fields.empty()) {
        endRecord();
    }
    return records;
}

std::string CsvField(std::string_view text) {
    auto blank = [](char c) { return c == ' ' || c == '\t'; };
    const bool quote = text.find_first_of(",\"\r\n") != std::string_view::npos ||
                       (!text.empty() && (blank(text.front()) || blank(text.back())));
    if (!quote) {
        return std::string(text);
    }
    std::string out = "\"";
    for (char c : text) {
        out += c;
        if (c == '"') {
            out += '"';
        }
    }
    return out + "\"";
}

std::string ChannelTableName(TableKind kind) {
    switch (kind) {
        case TableKind::USA:
            return "CHUSA";
        case TableKind::INT:
            return "CHINT";
        case TableKind::CAN:
            return "CHCAN";
        case TableKind::RG:
            return "CHRG";
        case TableKind::EXP:
            return "CHEXP";
        case TableKind::None:
        case TableKind::WX:
            break;
    }
    return {};
}

std::optional<TableKind> ChannelTableOfName(std::string_view name) {
    for (TableKind kind :
         {TableKind::USA, TableKind::INT, TableKind::CAN, TableKind::RG, TableKind::EXP}) {
        if (EqualsIgnoreCase(name, ChannelTableName(kind))) {
            return kind;
        }
    }
    return std::nullopt;
}

std::string ChannelTableCaption(const DataModel& model, TableKind kind) {
    switch (kind) {
        case TableKind::USA:
        case TableKind::INT:
        case TableKind::CAN: {
            const int g = static_cast<int>(kind) - static_cast<int>(TableKind::USA);
            const std::string& status = model.Groups[static_cast<size_t>(g)].StatusName;
            return std::string(kGroupNames[static_cast<size_t>(g)]) +
                   (status.empty() ? "" : "(" + status + ")");
        }
        case TableKind::RG:
            return "RG Channel";
        case TableKind::EXP:
            return "EXP Channel";
        case TableKind::None:
        case TableKind::WX:
            break;
    }
    return {};
}

std::string ChannelTableCsv(const DataModel& model, TableKind kind) {
    const std::vector<std::string>& columns = ChannelCsvColumns();
    std::string text = CsvLine(columns);
    const ChannelTable* table = TableOf(model, kind);
    if (table == nullptr || kind == TableKind::WX) {
        return text;
    }
    for (size_t i = 0; i < table->size(); ++i) {
        Cells cells = ExportCells((*table)[i], kind, i);
        std::vector<std::string> fields;
        fields.reserve(columns.size());
        for (const std::string& column : columns) {
            fields.push_back(cells[column]);
        }
        text += CsvLine(fields);
    }
    return text;
}

CsvImport ImportChannelCsv(std::string_view text, TableKind kind, const ChannelTable& current) {
    CsvImport result;
    int unclosedLine = 0;
    const std::vector<CsvRecord> records = ParseCsv(text, &unclosedLine);
    auto header = std::find_if(records.begin(), records.end(),
                               [](const CsvRecord& r) { return !IsBlankRecord(r); });
    if (header == records.end()) {
        result.refusal = "The file is empty.";
        return result;
    }
    const Columns columns = ColumnsOf(*header);
    if (columns.count("frequency") == 0) {
        result.refusal =
            "The file has no Frequency column. Its first line must name the columns as CHIRP "
            "writes them: Location,Name,Frequency,Duplex,Offset,...";
        if (header->fields.size() == 1 && header->fields[0].find(';') != std::string::npos) {
            result.refusal +=
                " This file separates its columns with semicolons; save it "
                "with commas (CSV, comma-separated).";
        }
        return result;
    }
    const int capacity = TableCapacity(kind);
    const bool withoutMrw = !HasMrwColumns(columns);
    std::vector<bool> taken(current.size(), false);
    int defaultedRows = 0;
    RowDefaults defaulted;
    for (auto it = std::next(header); it != records.end(); ++it) {
        if (IsBlankRecord(*it)) {
            continue;
        }
        ++result.rows;
        Row row(columns, *it);
        const int index = static_cast<int>(result.table.size());
        RowDefaults defaults;
        RowDefaults* given = withoutMrw ? &defaults : nullptr;
        std::optional<ChannelRecord> record =
            IsUserTable(kind)
                ? ImportUserRow(row, kind, index, withoutMrw ? &current : nullptr, &taken, given)
                : ImportStandardRow(row, current, given);
        if (record && index >= capacity) {
            row.notes = {{it->line, ChannelTableName(kind) + " holds " + std::to_string(capacity) +
                                        " channels; skipped"}};
            record.reset();
        }
        if (record) {
            result.table.push_back(*record);
            if (defaults.Any()) {
                ++defaultedRows;
                defaulted.label |= defaults.label;
                defaulted.power |= defaults.power;
                defaulted.rest |= defaults.rest;
            }
        }
        result.notes.insert(result.notes.end(), row.notes.begin(), row.notes.end());
    }
    if (defaultedRows > 0) {
        result.notes.insert(result.notes.begin(),
                            {0, DefaultsNote(defaultedRows, defaulted, IsUserTable(kind))});
    }
    if (unclosedLine != 0) {
        result.notes.push_back({unclosedLine,
                                "a quoted field is not closed before the end of "
                                "the file; the rest of the file was read into it"});
    }
    if (result.rows == 0) {
        result.refusal = "The file holds no channel rows.";
    } else if (result.table.empty()) {
        result.refusal = "None of its " + std::to_string(result.rows) +
                         (result.rows == 1 ? " row" : " rows") + " could be taken.";
    }
    return result;
}

bool ReadCsvFile(const std::filesystem::path& path, std::string& text, std::string& error) {
    std::istringstream in;
    if (!OpenRegularFile(path, in, &error)) {
        return false;
    }
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    if (!ec && size > kMaxCsvFileSize) {
        error = PathText(path) + " is larger than a channel list can be (" +
                std::to_string(kMaxCsvFileSize / 1024) + " KB)";
        return false;
    }
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad()) {
        error = PathText(path) + " could not be read";
        return false;
    }
    return true;
}

std::string NoteText(const CsvNote& note) {
    return (note.line > 0 ? "line " + std::to_string(note.line) : std::string("file")) + ": " +
           note.text;
}

std::string ImportSummary(const DataModel& model, TableKind kind, const CsvImport& import,
                          int shownNotes) {
    auto count = [](size_t n, const char* what) {
        return std::to_string(n) + " " + what + (n == 1 ? "" : "s");
    };
    const ChannelTable* table = TableOf(model, kind);
    const size_t before = table != nullptr ? table->size() : 0;
    std::string text = count(import.table.size(), "channel") + " from the file will replace the " +
                       count(before, "channel") + " of " + ChannelTableCaption(model, kind) + ".";
    const int skipped = import.rows - static_cast<int>(import.table.size());
    if (skipped > 0) {
        text += "\n" + count(static_cast<size_t>(skipped), "row") + " of the file " +
                (skipped == 1 ? "is" : "are") + " skipped.";
    }
    if (!import.notes.empty()) {
        text += "\n";
        const size_t shown = std::min(import.notes.size(), static_cast<size_t>(shownNotes));
        for (size_t i = 0; i < shown; ++i) {
            text += "\n" + NoteText(import.notes[i]);
        }
        if (shown < import.notes.size()) {
            text += "\n... and " + count(import.notes.size() - shown, "more note") + ".";
        }
    }
    return text;
}

bool ApplyChannelImport(Config& config, TableKind kind, const ChannelTable& table) {
    if (TableOf(config.model, kind) == nullptr || kind == TableKind::WX) {
        return false;
    }
    const std::string what =
        "Import " + std::to_string(table.size()) + (table.size() == 1 ? " channel" : " channels");
    return EditModel(config, what,
                     [kind, &table](DataModel& model) { ReplaceChannels(model, kind, table); });
}

}  // namespace mrw
