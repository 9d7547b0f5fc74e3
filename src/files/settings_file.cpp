#include "files/settings_file.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <exception>
#include <fstream>
#include <limits>
#include <optional>
#include <stdexcept>
#include <string_view>
#include <system_error>
#include <type_traits>
#include <unordered_map>
#include <variant>

#include "core/file_read.h"
#include "core/folders.h"
#include "core/log.h"
#include "core/path_text.h"
#include "core/profile.h"
#include "core/recent_files.h"
#include "core/text.h"
#include "files/atomic_file.h"
#include "image/check_map.h"
#include "image/codec.h"
#include "model/catalogue.h"
#include "model/regions.h"
#include "model/settings_keys.h"

namespace mrw {

namespace {

namespace fs = std::filesystem;

// ---- Section and key names -----------------------------------------------------------------

constexpr const char* kMainSection = "MAIN";
using checkmap::kRegionAddress;
constexpr int kPauseMs = 500;
constexpr double kFrequencyLimit = 1000.0;
constexpr double kMaxRegionCode = 255;  // the region byte of the image
constexpr size_t kNotesShown = 12;      // notes listed in the box after Open

std::string Indexed(std::string_view key, int index) {
    char digits[12];
    const auto end = std::to_chars(digits, digits + sizeof digits, index).ptr;
    std::string name;
    name.reserve(key.size() + static_cast<size_t>(end - digits));
    name.append(key).append(digits, end);
    return name;
}

// ---- Writing -------------------------------------------------------------------------------

// Builds the file text line by line, every line ending in CR LF.
class Writer {
public:
    void Section(std::string_view name) {
        text_ += '[';
        text_ += name;
        text_ += "]\r\n";
    }
    void Raw(std::string_view key, std::string_view value) { Line(key, "=", value); }
    void Bool(std::string_view key, bool value) { Raw(key, value ? "1" : "0"); }
    void Word(std::string_view key, bool value) { Raw(key, value ? "True" : "False"); }
    void Int(std::string_view key, long value) {
        char digits[24];
        const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
        Raw(key, std::string_view(digits, static_cast<size_t>(end - digits)));
    }
    void Double(std::string_view key, double value) { Raw(key, FormatDouble(value)); }
    /// A text written with the "#" mark.
    void Marked(std::string_view key, std::string_view value) { Line(key, "=#", value); }
    /// A text written bare. The reader drops one leading "#" from every value, so a text that
    /// itself begins with "#" gets the mark too and reads back whole.
    void Text(std::string_view key, std::string_view value) {
        if (!value.empty() && value.front() == '#') {
            Marked(key, value);
        } else {
            Raw(key, value);
        }
    }
    std::string Take() { return std::move(text_); }

private:
    void Line(std::string_view key, std::string_view equals, std::string_view value) {
        text_ += key;
        text_ += equals;
        text_ += value;
        text_ += "\r\n";
    }

    std::string text_;
};

void WriteStandardTable(Writer& w, const char* name, const ChannelTable& table) {
    for (size_t n = 0; n < table.size(); ++n) {
        const ChannelRecord& r = table[n];
        w.Section(Indexed(name, static_cast<int>(n) + 1));
        w.Int("Position", r.Position);
        w.Bool("Enable", r.Enable);
        w.Bool("LowPower", r.LowPower);
        w.Bool("PowUp", r.PowUp);
        w.Int("Duplex", r.Duplex);
        w.Bool("TxEnable", r.TxEnable);
        w.Int("StatusNo", r.StatusNo);
        w.Int("StatusIcon", r.StatusIcon);
        w.Bool("ScanMemory", r.ScanMemory);
        w.Marked("ChTag", r.ChTag);
        w.Bool("InterShipCH", r.InterShipCH);
    }
}

void WriteUserTable(Writer& w, const char* name, const ChannelTable& table) {
    for (size_t n = 0; n < table.size(); ++n) {
        const ChannelRecord& r = table[n];
        w.Section(Indexed(name, static_cast<int>(n) + 1));
        w.Bool("Enable", r.Enable);
        w.Text("CHDisplayL", r.CHDisplayL);
        w.Text("CHDisplayR", r.CHDisplayR);
        w.Double("Rxfreq", r.Rxfreq);
        w.Double("Txfreq", r.Txfreq);
        w.Bool("LowPower", r.LowPower);
        w.Bool("PowUp", r.PowUp);
        w.Bool("TxEnable", r.TxEnable);
        w.Bool("ScanMemory", r.ScanMemory);
        w.Marked("ChTag", r.ChTag);
        for (int j = 1; j <= 3; ++j) {
            w.Bool(Indexed("ExpCB", j), r.ExpCB[static_cast<size_t>(j - 1)]);
        }
    }
}

template <size_t N>
void WriteDirectory(Writer& w, const char* name, const std::array<DirectoryRecord, N>& directory) {
    for (size_t i = 0; i < N; ++i) {
        w.Section(Indexed(name, static_cast<int>(i) + 1));
        w.Bool("Enable", directory[i].Enable);
        w.Marked("TagName", directory[i].TagName);
        w.Text("Mmsid", directory[i].Mmsid);
    }
}

// The setup sections, key by key as the key table declares them. The table reaches the
// fields through a mutable model; writing only reads them.
void WriteSetup(Writer& w, const DataModel& model, bool atisSupported) {
    DataModel& m = const_cast<DataModel&>(model);
    const char* section = nullptr;
    for (const SetupKey& k : SetupKeys()) {
        if (k.atisOnly && !atisSupported) {
            continue;
        }
        if (section != k.section) {
            section = k.section;
            w.Section(section);
        }
        std::visit(
            [&](auto* field) {
                using Field = std::remove_pointer_t<decltype(field)>;
                if constexpr (std::is_same_v<Field, bool>) {
                    if (k.form == KeyForm::Word) {
                        w.Word(k.key, *field);
                    } else {
                        w.Bool(k.key, *field);
                    }
                } else if constexpr (std::is_same_v<Field, std::string>) {
                    if (k.form == KeyForm::MarkedText) {
                        w.Marked(k.key, *field);
                    } else {
                        w.Text(k.key, *field);
                    }
                } else {
                    w.Int(k.key, *field);
                }
            },
            k.field(m));
    }
}

// ---- Reading -------------------------------------------------------------------------------

// Names of sections and keys compared as the upper case of the name looked up: the hash and
// the comparison take each ASCII letter in upper case, and only names without lower case
// letters are held (no name looked up in upper case can equal another).
struct UpperHash {
    size_t operator()(std::string_view name) const {
        uint64_t hash = 14695981039346656037u;  // FNV-1a
        for (char c : name) {
            hash = (hash ^ static_cast<uint8_t>(UpperAscii(c))) * 1099511628211u;
        }
        return static_cast<size_t>(hash);
    }
};
struct UpperEqual {
    bool operator()(std::string_view held, std::string_view name) const {
        return EqualsIgnoreCase(held, name);
    }
};

bool HasLowerCase(std::string_view name) {
    return std::any_of(name.begin(), name.end(), [](char c) { return c >= 'a' && c <= 'z'; });
}

// One entry of a section: its value and its line (0 when not known).
struct EntryRef {
    const std::string* value;
    int line;
};

// The first value of every (section, key) pair, found in one pass: sections in file order,
// entries in order, the first match kept. Equivalent to LookupValue for every pair. It refers
// to the names and values of the sections, which outlive it.
class SectionIndex {
public:
    using Keys = std::unordered_map<std::string_view, EntryRef, UpperHash, UpperEqual>;

    explicit SectionIndex(const std::vector<SettingsSection>& sections) {
        for (const SettingsSection& s : sections) {
            if (HasLowerCase(s.name)) {
                continue;
            }
            Keys& keys = index_[s.name];
            for (size_t i = 0; i < s.entries.size(); ++i) {
                const auto& [key, value] = s.entries[i];
                if (!HasLowerCase(key)) {
                    keys.try_emplace(key, EntryRef{&value, i < s.lines.size() ? s.lines[i] : 0});
                }
            }
        }
    }
    /// The keys of the section whose name is the upper case of `section`, or nullptr.
    const Keys* Find(std::string_view section) const {
        auto s = index_.find(section);
        return s == index_.end() ? nullptr : &s->second;
    }

private:
    std::unordered_map<std::string_view, Keys, UpperHash, UpperEqual> index_;
};

// A value that no field of the data model or of the radio can hold; the whole read fails.
struct UnholdableValue : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// A value of the file as a refusal or a note quotes it: without blanks around it, at most 32
// characters, and every character that is no printable ASCII shown as "?". A NUL read from a
// damaged file would otherwise end the message there, before the reason.
std::string Quoted(std::string_view value) {
    std::string text = Trim(value).substr(0, 32);
    for (char& c : text) {
        if (c < 0x20 || c > 0x7E) {
            c = '?';
        }
    }
    return text;
}

std::string LinePrefix(int line) {
    return line > 0 ? "Line " + std::to_string(line) + ": " : std::string();
}

// What a value of the file is as a number.
enum class NumberKind {
    Missing,     // no key, or nothing but blanks
    Number,      // a number a double holds
    NoNumber,    // text that is no number ("abc", "0x10" read whole)
    OutOfRange,  // beyond the range of a double, NaN or infinite
};

struct ReadNumber {
    NumberKind kind = NumberKind::Missing;
    double value = 0.0;
    bool partial = false;  // only the leading number of the text was read
};

// "NaN", "inf", "Infinity" with or without a sign, and the "1.#INF", "-1.#IND", "1.#QNAN" that
// some systems write for them.
bool SpellsNonFinite(std::string_view text) {
    const std::string upper = ToUpper(text);
    std::string_view unsigned_ = upper;
    if (!unsigned_.empty() && (unsigned_.front() == '+' || unsigned_.front() == '-')) {
        unsigned_.remove_prefix(1);
    }
    if (unsigned_.starts_with("NAN") || unsigned_.starts_with("INF")) {
        return true;
    }
    const size_t mark = unsigned_.find_first_not_of("0123456789.");
    if (mark == std::string_view::npos || mark == 0) {
        return false;
    }
    const std::string_view rest = unsigned_.substr(mark);
    return rest.starts_with("#INF") || rest.starts_with("#IND") || rest.starts_with("#QNAN") ||
           rest.starts_with("#SNAN");
}

// The value of a text that must be a number as a whole.
ReadNumber WholeNumber(std::string_view value) {
    const std::string_view text = TrimView(value);
    if (text.empty()) {
        return {};
    }
    if (SpellsNonFinite(text)) {
        return {NumberKind::OutOfRange};
    }
    bool overflow = false;
    const std::optional<double> n = ParseNumber(text, &overflow);
    if (overflow) {
        return {NumberKind::OutOfRange};
    }
    return n ? ReadNumber{NumberKind::Number, *n} : ReadNumber{NumberKind::NoNumber};
}

// The value of the leading number of a text, as the file format reads some keys.
ReadNumber LeadingNumber(std::string_view value) {
    const std::string_view text = TrimView(value);
    if (text.empty()) {
        return {};
    }
    if (SpellsNonFinite(text)) {
        return {NumberKind::OutOfRange};
    }
    const size_t length = LeadingNumberLength(text);
    if (length == 0) {
        return {NumberKind::NoNumber};
    }
    bool overflow = false;
    const double n = Val(text, &overflow);
    if (overflow) {
        return {NumberKind::OutOfRange};
    }
    return {NumberKind::Number, n, length != text.size()};
}

// Field conversions of one section. A missing value leaves a field as it is, except for texts,
// which a missing key empties; a value that is no number leaves it too, with a note; a value
// the field cannot hold refuses the file.
class SectionReader {
public:
    SectionReader(const SectionIndex& index, std::string section, std::vector<SettingsNote>* notes)
        : section_(std::move(section)), keys_(index.Find(section_)), notes_(notes) {}

    /// The value of `key`, or "" when the key or the section is missing.
    std::string_view Value(std::string_view key) const {
        const EntryRef* e = Entry(key);
        return e != nullptr ? std::string_view(*e->value) : std::string_view();
    }
    /// A refusal of the value of `key`.
    [[noreturn]] void Refuse(std::string_view key) const {
        const EntryRef* e = Entry(key);
        throw UnholdableValue(LinePrefix(e != nullptr ? e->line : 0) + "[" + section_ + "] " +
                              std::string(key) + "=" + Quoted(Value(key)) + " is out of range.");
    }
    /// A note on the value of `key`.
    void Note(std::string_view key, const std::string& what) const {
        if (notes_ == nullptr) {
            return;
        }
        const EntryRef* e = Entry(key);
        notes_->push_back({e != nullptr ? e->line : 0, "[" + section_ + "] " + std::string(key) +
                                                           "=" + Quoted(Value(key)) + " " + what});
    }
    /// A number that must be one as a whole: nothing when it is missing or no number.
    std::optional<double> Whole(std::string_view key) const {
        const ReadNumber n = WholeNumber(Value(key));
        if (n.kind == NumberKind::OutOfRange) {
            Refuse(key);
        }
        if (n.kind == NumberKind::NoNumber) {
            Note(key, "is no number: ignored.");
        }
        return n.kind == NumberKind::Number ? std::optional<double>(n.value) : std::nullopt;
    }
    /// The leading number of the text, rounded: nothing when the value is missing or does not
    /// start with a number.
    std::optional<double> Leading(std::string_view key, const ValueRange& range) const {
        const ReadNumber n = LeadingNumber(Value(key));
        if (n.kind == NumberKind::OutOfRange) {
            Refuse(key);
        }
        if (n.kind == NumberKind::NoNumber) {
            Note(key, "is no number: read as 0.");
            return std::nullopt;
        }
        if (n.kind == NumberKind::Missing) {
            return std::nullopt;
        }
        const double r = RoundHalfEven(n.value);
        if (r < range.min || r > range.max) {
            Refuse(key);
        }
        if (n.partial) {
            Note(key, "is read as " + FormatDouble(r) + ".");
        }
        return r;
    }
    void Bool(std::string_view key, bool& field) const {
        const std::string_view t = TrimView(Value(key));
        if (EqualsIgnoreCase(t, "True")) {
            field = true;
        } else if (EqualsIgnoreCase(t, "False")) {
            field = false;
        } else if (std::optional<double> n = Whole(key)) {
            field = *n != 0.0;
        }
    }
    /// True when the field took a value of the file.
    template <typename Int>
    bool Integer(std::string_view key, Int& field, const ValueRange& range) const {
        if (std::optional<double> n = Whole(key)) {
            const double r = RoundHalfEven(*n);
            if (r < range.min || r > range.max) {
                Refuse(key);
            }
            field = static_cast<Int>(r);
            return true;
        }
        return false;
    }
    /// A frequency in MHz. Every frequency field of the radio and every rendering of one has
    /// three digits before the period: a frequency that is negative or 1000 MHz or more cannot
    /// be held at all.
    void Frequency(std::string_view key, double& field) const {
        if (std::optional<double> mhz = Whole(key)) {
            if (!(*mhz >= 0.0 && *mhz < kFrequencyLimit)) {
                Refuse(key);
            }
            field = *mhz;
        }
    }
    /// The value of the leading number of the text; a missing key gives False.
    void LeadingFlag(std::string_view key, bool& field) const {
        const std::optional<double> n = Leading(key, kAnyNumber);
        field = n && *n != 0.0;
    }
    /// A number kept as the text read: a missing key empties it, a text that does not start
    /// with a number leaves it as it was.
    void NumberText(std::string_view key, std::string& field, const ValueRange& range) const {
        const ReadNumber n = LeadingNumber(Value(key));
        if (n.kind == NumberKind::NoNumber) {
            Note(key, "is no number: ignored.");
            return;
        }
        if (n.kind != NumberKind::Missing) {
            Leading(key, range);  // refuses what the field cannot hold, notes a partial number
        }
        Text(key, field);
    }
    void Text(std::string_view key, std::string& field) const { field.assign(Value(key)); }

    static constexpr ValueRange kAnyNumber{-std::numeric_limits<double>::max(),
                                           std::numeric_limits<double>::max()};

private:
    const EntryRef* Entry(std::string_view key) const {
        if (keys_ == nullptr) {
            return nullptr;
        }
        auto v = keys_->find(key);
        return v != keys_->end() ? &v->second : nullptr;
    }

    std::string section_;
    const SectionIndex::Keys* keys_;
    std::vector<SettingsNote>* notes_;
};

// What the radio holds in the fields of a standard channel.
constexpr ValueRange kPositionRange{0, kCatalogueSize - 1};
constexpr ValueRange kDuplexRange{0, 3};
constexpr ValueRange kStatusIconRange{0, 7};
// What the prefix's 7 bits hold: 127 "None", 10, 20, and whatever else a radio's image gave.
constexpr ValueRange kStatusNoRange{0, 127};

// The setup sections, key by key as the key table declares them.
void ReadSetup(const SectionIndex& index, bool atisSupported, DataModel& m,
               std::vector<SettingsNote>* notes) {
    // The keys of a section follow each other in the table: one reader serves them all.
    std::optional<SectionReader> reader;
    const char* section = nullptr;
    for (const SetupKey& k : SetupKeys()) {
        if (k.atisOnly && !atisSupported) {
            continue;
        }
        if (!reader || section != k.section) {
            section = k.section;
            reader.emplace(index, section, notes);
        }
        const SectionReader& r = *reader;
        std::visit(
            [&](auto* field) {
                using Field = std::remove_pointer_t<decltype(field)>;
                if constexpr (std::is_same_v<Field, bool>) {
                    if (k.form == KeyForm::LeadingFlag) {
                        r.LeadingFlag(k.key, *field);
                    } else {
                        r.Bool(k.key, *field);
                    }
                } else if constexpr (std::is_same_v<Field, std::string>) {
                    if (k.form == KeyForm::NumberText) {
                        r.NumberText(k.key, *field, k.range);
                    } else {
                        r.Text(k.key, *field);
                    }
                } else {
                    r.Integer(k.key, *field, k.range);
                }
            },
            k.field(m));
    }
}

// Why a table ended before its last record: the section that ended it.
std::string EndedAt(const SectionIndex& index, const SectionReader& r, const std::string& section,
                    const char* key) {
    const std::string_view value = TrimView(r.Value(key));
    return "the table ends at [" + section + "], which " +
           (index.Find(section) == nullptr ? std::string("is missing")
            : value.empty()                ? "has no " + std::string(key)
                                           : "has " + std::string(key) + "=" + Quoted(value));
}

// CHUSA, CHINT, CHCAN: records up to the first without a position, all read as enabled.
// Returns why the table ended before its last record ("" when it did not).
std::string ReadStandardTable(const SectionIndex& index, const char* name, ChannelTable& table,
                              std::vector<SettingsNote>* notes) {
    EmptyTable(table);
    for (int n = 1; n <= kMaxStandardChannels; ++n) {
        const std::string section = Indexed(name, n);
        SectionReader r(index, section, notes);
        if (TrimView(r.Value("Position")).empty()) {
            return EndedAt(index, r, section, "Position");
        }
        const double position = r.Leading("Position", kPositionRange).value_or(0.0);
        ChannelRecord& c = AppendRecord(table);
        c.Enable = true;
        c.Position = static_cast<int16_t>(position);
        r.Bool("LowPower", c.LowPower);
        r.Bool("PowUp", c.PowUp);
        r.Integer("Duplex", c.Duplex, kDuplexRange);
        r.Bool("TxEnable", c.TxEnable);
        r.Integer("StatusNo", c.StatusNo, kStatusNoRange);
        r.Integer("StatusIcon", c.StatusIcon, kStatusIconRange);
        r.Bool("ScanMemory", c.ScanMemory);
        r.Text("ChTag", c.ChTag);
        r.Bool("InterShipCH", c.InterShipCH);
    }
    return {};
}

// CHRG, CHEXP: records up to the first whose "Enable" is 0 or missing. Returns why the table
// ended before its last record ("" when it did not).
std::string ReadUserTable(const SectionIndex& index, const char* name, int limit,
                          ChannelTable& table, std::vector<SettingsNote>* notes) {
    EmptyTable(table);
    for (int n = 1; n <= limit; ++n) {
        const std::string section = Indexed(name, n);
        SectionReader r(index, section, notes);
        const std::optional<double> enable = r.Leading("Enable", SectionReader::kAnyNumber);
        if (!enable || *enable == 0.0) {
            return EndedAt(index, r, section, "Enable");
        }
        ChannelRecord& c = AppendRecord(table);
        // The leading number of "Enable" is not 0: the channel is in use. A value that is no
        // Boolean as a whole ("1x") leaves it so; read as disabled, the channel would be saved
        // with "Enable=0" and end its table when the file is opened again.
        c.Enable = true;
        r.Text("CHDisplayL", c.CHDisplayL);
        r.Text("CHDisplayR", c.CHDisplayR);
        r.Frequency("Rxfreq", c.Rxfreq);
        r.Frequency("Txfreq", c.Txfreq);
        r.Bool("TxEnable", c.TxEnable);
        r.Bool("LowPower", c.LowPower);
        r.Bool("PowUp", c.PowUp);
        r.Bool("ScanMemory", c.ScanMemory);
        r.Text("ChTag", c.ChTag);
        for (int j = 1; j <= 3; ++j) {
            r.Bool(Indexed("ExpCB", j), c.ExpCB[static_cast<size_t>(j - 1)]);
        }
    }
    return {};
}

template <size_t N>
void ReadDirectory(const SectionIndex& index, const char* name,
                   std::array<DirectoryRecord, N>& directory, std::vector<SettingsNote>* notes) {
    for (size_t i = 0; i < N; ++i) {
        SectionReader r(index, Indexed(name, static_cast<int>(i) + 1), notes);
        r.Bool("Enable", directory[i].Enable);
        r.Text("TagName", directory[i].TagName);
        r.Text("Mmsid", directory[i].Mmsid);
    }
}

// The numbered sections of a table that the reader reads: `first` to `last`, and why the
// sections after `last` are not read.
struct TableSpan {
    std::string_view name;
    int first;
    int last;
    std::string why;
};

// Notes one line per table for the sections of the tables that were not read, at the first
// of them: "[CHUSA4] and 93 more CHUSA sections are not read: ...".
void NoteSkippedSections(const std::vector<SettingsSection>& sections,
                         const std::vector<TableSpan>& spans, std::vector<SettingsNote>& notes) {
    for (const TableSpan& span : spans) {
        const SettingsSection* first = nullptr;
        int skipped = 0;
        for (const SettingsSection& s : sections) {
            if (s.name.size() <= span.name.size() || !s.name.starts_with(span.name)) {
                continue;
            }
            const std::string_view digits = std::string_view(s.name).substr(span.name.size());
            int n = 0;
            const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), n);
            if (ec != std::errc() || end != digits.data() + digits.size() ||
                digits != std::to_string(n) || (n >= span.first && n <= span.last)) {
                continue;  // another name, or a section that was read
            }
            if (first == nullptr) {
                first = &s;
            }
            ++skipped;
        }
        if (first == nullptr) {
            continue;
        }
        std::string text = "[" + first->name + "] ";
        const int more = skipped - 1;
        text += more == 0 ? "is"
                          : "and " + std::to_string(more) + " more " + std::string(span.name) +
                                (more == 1 ? " section are" : " sections are");
        notes.push_back({first->line, text + " not read: " + span.why + "."});
    }
}

void ReadTables(const SectionIndex& index, const std::vector<SettingsSection>& sections,
                DataModel& m, std::vector<SettingsNote>* notes) {
    std::vector<TableSpan> spans;
    auto standard = [&](const char* name, ChannelTable& table) {
        std::string why = ReadStandardTable(index, name, table, notes);
        spans.push_back({name, 1, static_cast<int>(table.size()) + (why.empty() ? 0 : 1),
                         why.empty()
                             ? "the radio holds at most " + std::to_string(kMaxStandardChannels) +
                                   " channels in " + name
                             : why});
    };
    standard("CHUSA", m.CHUSA);
    standard("CHINT", m.CHINT);
    standard("CHCAN", m.CHCAN);
    for (size_t k = 0; k < m.CHWX.size() && k < kWeatherChannels; ++k) {
        SectionReader r(index, Indexed("CHWX", static_cast<int>(k)), notes);
        r.Bool("Enable", m.CHWX[k].Enable);
        r.Bool("ScanMemory", m.CHWX[k].ScanMemory);
        r.Text("ChTag", m.CHWX[k].ChTag);
    }
    spans.push_back(
        {"CHWX", 0, static_cast<int>(kWeatherChannels) - 1,
         "the weather channels are CHWX0 to CHWX" + std::to_string(kWeatherChannels - 1)});
    ReadDirectory(index, "CHMMSID", m.CHMMSID, notes);
    ReadDirectory(index, "CHGRPID", m.CHGRPID, notes);
    for (const auto& [name, size] :
         {std::pair{"CHMMSID", m.CHMMSID.size()}, std::pair{"CHGRPID", m.CHGRPID.size()}}) {
        spans.push_back(
            {name, 1, static_cast<int>(size),
             std::string("the directory ") + name + " holds " + std::to_string(size) + " entries"});
    }
    auto user = [&](const char* name, int limit, ChannelTable& table) {
        std::string why = ReadUserTable(index, name, limit, table, notes);
        spans.push_back({name, 1, static_cast<int>(table.size()) + (why.empty() ? 0 : 1),
                         why.empty() ? "the radio holds at most " + std::to_string(limit) +
                                           " channels in " + name
                                     : why});
    };
    user("CHRG", kMaxRgChannels, m.CHRG);
    user("CHEXP", kMaxExpChannels, m.CHEXP);
    if (notes != nullptr) {
        NoteSkippedSections(sections, spans, *notes);
    }
}

// Splits text into lines at CR LF, LF or a lone CR; the last line may lack an end.
std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    size_t start = 0;
    size_t i = 0;
    while (i < text.size()) {
        char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(text.substr(start, i - start));
            i += (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ? 2 : 1;
            start = i;
        } else {
            ++i;
        }
    }
    if (start < text.size()) {
        lines.push_back(text.substr(start));
    }
    return lines;
}

// The refusal of a REGION of section MAIN that no region byte can hold (found as the model
// and region test finds it); nothing when it can be held.
std::optional<std::string> RegionOutOfRange(std::string_view text) {
    int line = 0;
    const std::string value = ProfileTextValue(text, kMainSection, "REGION", &line);
    const ReadNumber n = LeadingNumber(value);
    const double code = RoundHalfEven(n.value);
    if (n.kind == NumberKind::OutOfRange ||
        (n.kind == NumberKind::Number && (code < 0 || code > kMaxRegionCode))) {
        return LinePrefix(line) + "[" + kMainSection + "] REGION=" + Quoted(value) +
               " is out of range.";
    }
    return std::nullopt;
}

// The information box after a file was opened with notes: the first of them, one a line.
std::string OpenNotesText(const std::vector<SettingsNote>& notes) {
    std::string text = "The file was opened, but not all of it was read as written:";
    const size_t shown = std::min(notes.size(), kNotesShown);
    for (size_t i = 0; i < shown; ++i) {
        text += "\n" + NoteLine(notes[i]);
    }
    if (notes.size() > shown) {
        text += "\n(" + std::to_string(notes.size() - shown) + " more: mrw-cli check lists all.)";
    }
    return text;
}

// "Failure number immediately followed by its description", as the error log expects.
std::string LogMessage(int number, const std::string& description) {
    return std::to_string(number) + description;
}

}  // namespace

// ---- Public interface ----------------------------------------------------------------------

std::string NoteLine(const SettingsNote& note) {
    return LinePrefix(note.line) + note.text;
}

std::vector<SettingsSection> ParseSections(const std::string& text,
                                           std::vector<SettingsNote>* notes) {
    auto note = [notes](size_t index, std::string what) {
        if (notes != nullptr) {
            notes->push_back({static_cast<int>(index) + 1, std::move(what)});
        }
    };
    auto nul = [](std::string_view part) { return part.find('\0') != std::string_view::npos; };
    std::vector<SettingsSection> sections;
    std::vector<std::string_view> lines = SplitLines(text);
    size_t next = 0;
    size_t pendingIndex = 0;
    std::string_view pending;
    bool havePending = false;
    while (havePending || next < lines.size()) {
        if (!havePending) {
            pendingIndex = next;
            pending = lines[next++];
        }
        const bool endedASection = havePending;
        havePending = false;
        if (pending.empty() || pending.front() != '[') {
            // Not a header: dropped. Text before the first section is no concern of the
            // reader, but a line that ended a section is a header that cannot be read.
            if (endedASection) {
                note(pendingIndex, "damaged section header \"" + Quoted(pending) +
                                       "\": the lines up to the next section are not read.");
            }
            continue;
        }
        std::string_view rest = pending.substr(1);
        size_t close = rest.find(']');
        if (close == std::string_view::npos || close == 0) {
            note(pendingIndex, "damaged section header \"" + Quoted(pending) +
                                   "\": the lines up to the next section are not read.");
            continue;
        }
        SettingsSection& section = sections.emplace_back();
        section.name = ToUpper(TrimView(rest.substr(0, close)));
        section.line = static_cast<int>(pendingIndex) + 1;
        if (nul(section.name)) {
            note(pendingIndex, "the section header [" + Quoted(section.name) +
                                   "] holds a NUL character: the section is not read.");
        }
        while (next < lines.size()) {
            const size_t index = next;
            std::string_view line = lines[next++];
            size_t eq = line.find('=');
            if (eq == std::string_view::npos || eq == 0) {
                if (line.find('[') != std::string_view::npos) {
                    pendingIndex = index;
                    pending = line;
                    havePending = true;
                    break;
                }
                continue;
            }
            std::string_view value = line.substr(eq + 1);
            if (!value.empty() && value.front() == '#') {
                value.remove_prefix(1);
            }
            const std::string_view key = line.substr(0, eq);
            if (nul(key)) {
                note(index, "[" + Quoted(section.name) + "] the key \"" + Quoted(key) +
                                "\" holds a NUL character: the line is not read.");
            } else if (nul(value)) {
                note(index, "[" + Quoted(section.name) + "] " + Quoted(key) + "=" + Quoted(value) +
                                " holds a NUL character.");
            }
            section.entries.emplace_back(ToUpper(TrimView(key)), value);
            section.lines.push_back(static_cast<int>(index) + 1);
        }
    }
    return sections;
}

bool ReadSettingsText(const std::filesystem::path& path, std::string& text, std::string* error) {
    // One byte more than the largest file taken tells a larger file apart; the bound holds for
    // the bytes actually read, so a file that grows meanwhile cannot make the reader swallow
    // more.
    if (!ReadRegularFile(path, kMaxSettingsFileSize + 1, text, error)) {
        return false;
    }
    if (text.size() > kMaxSettingsFileSize) {
        if (error != nullptr) {
            *error = PathText(path) + " is larger than " + std::to_string(kMaxSettingsFileSize) +
                     " bytes";
        }
        return false;
    }
    return true;
}

std::string LookupValue(const std::vector<SettingsSection>& sections, const std::string& section,
                        const std::string& key) {
    std::string s = ToUpper(section);
    std::string k = ToUpper(key);
    for (const SettingsSection& sec : sections) {
        if (sec.name != s) {
            continue;
        }
        for (const auto& [entryKey, value] : sec.entries) {
            if (entryKey == k) {
                return value;
            }
        }
    }
    return {};
}

std::string SettingsFileText(const Config& config) {
    const DataModel& m = config.model;
    Writer w;
    w.Section(kMainSection);
    w.Marked("MODEL", config.state.ModelName);
    w.Marked("TYPE", "MRW");
    w.Marked("VERSION", "1.00");
    w.Int("MODELTYPE", config.state.ModelType);
    w.Int("REGION", RegionIndex(config.image.Get(kRegionAddress)));

    WriteSetup(w, m, config.state.AtisSupported);

    WriteStandardTable(w, "CHUSA", m.CHUSA);
    WriteStandardTable(w, "CHINT", m.CHINT);
    WriteStandardTable(w, "CHCAN", m.CHCAN);
    for (size_t k = 0; k < m.CHWX.size() && k < kWeatherChannels; ++k) {
        w.Section(Indexed("CHWX", static_cast<int>(k)));
        w.Bool("Enable", m.CHWX[k].Enable);
        w.Bool("ScanMemory", m.CHWX[k].ScanMemory);
        w.Marked("ChTag", m.CHWX[k].ChTag);
    }
    WriteDirectory(w, "CHMMSID", m.CHMMSID);
    WriteDirectory(w, "CHGRPID", m.CHGRPID);
    WriteUserTable(w, "CHRG", m.CHRG);
    WriteUserTable(w, "CHEXP", m.CHEXP);
    return w.Take();
}

bool WriteSettingsFile(Config& config, const std::filesystem::path& path) {
    return SaveDocument(
        config, path, [&config] { return SettingsFileText(config); }, "frmMain.SaveFileAs");
}

bool ApplySettingsSections(const std::vector<SettingsSection>& sections, bool atisSupported,
                           DataModel& model, std::string* error, std::vector<SettingsNote>* notes) {
    try {
        SectionIndex index(sections);
        ReadSetup(index, atisSupported, model, notes);
        ReadTables(index, sections, model, notes);
        return true;
    } catch (const std::exception& e) {
        if (error != nullptr) {
            *error = e.what();
        }
        return false;
    }
}

bool ReadSettingsFile(Config& config, const std::filesystem::path& path,
                      std::vector<SettingsNote>* notes) {
    AppState& st = config.state;
    st.ErrorFlag = false;
    config.shell().SetBusy(true);
    st.Loading = true;

    // The file is applied to a copy that replaces the model only once every step succeeded:
    // a refused or unreadable file leaves the configuration exactly as it was. It is read
    // once: the model and region test and the fields see the same bytes.
    DataModel before = config.model;
    bool failed = false;
    bool refused = false;
    int failure = 0;
    std::string reason;
    std::vector<SettingsNote> found;
    try {
        RebuildWeatherAndViews(config);
        st.Loading = true;
        std::string text;
        if (!ReadSettingsText(path, text, &reason)) {
            failed = true;
            failure = EIO;
        } else if (std::optional<std::string> why = RegionOutOfRange(text)) {
            failed = true;
            failure = ERANGE;
            reason = *why;
        } else if (std::optional<int> region = CheckFileRegion(config, text); !region) {
            refused = true;
        } else {
            // What the file does not give comes from the defaults, never from the
            // configuration it replaces.
            DataModel working = DefaultModel();
            if (!st.AtisSupported) {
                // A model without ATIS keeps no ATIS section in its files; its ATIS bytes stay
                // as the image holds them, so programming leaves them as the radio had them.
                working.Atis = DecodedModel(config.image).Atis;
            }
            const std::vector<SettingsSection> sections = ParseSections(text, &found);
            if (!ApplySettingsSections(sections, st.AtisSupported, working, &reason, &found)) {
                failed = true;
                failure = ERANGE;
            } else {
                config.model = std::move(working);
                config.image.Set(kRegionAddress, RegionIndex(*region));
                ShowImageRegion(config);
            }
        }
    } catch (const std::exception& e) {
        failed = true;
        failure = EIO;
        reason = e.what();
    }
    if (failed || refused) {
        config.model = std::move(before);
        config.shell().RebuildViews();
    } else if (notes != nullptr) {
        std::stable_sort(
            found.begin(), found.end(),
            [](const SettingsNote& a, const SettingsNote& b) { return a.line < b.line; });
        *notes = std::move(found);
    }
    config.shell().HoldBusy(kPauseMs);
    st.Loading = false;
    config.shell().SetBusy(false);
    if (refused) {
        st.ErrorFlag = true;
    }
    if (failed) {
        st.ErrorFlag = true;
        WriteErrorLog(config, "frmMain.FileRead2", LogMessage(failure, reason));
        ShowMessage(config, "FileRead Error!!\n" + reason, Icon::Exclamation);
        st.CancelFlag = true;
    }
    return !failed && !refused;
}

namespace {

// A settings file opened or saved goes to the front of File > Open Recent.
void RememberRecentFile(Config& config, const std::filesystem::path& path) {
    if (config.services.settings != nullptr) {
        AddRecentFile(*config.services.settings, path);
    }
}

}  // namespace

bool OpenSettingsFile(Config& config, const std::filesystem::path& path) {
    AppState& st = config.state;
    st.CancelFlag = true;
    std::vector<SettingsNote> notes;
    if (!ReadSettingsFile(config, path, &notes)) {
        return false;
    }
    st.CurrentFileName = PathText(path);
    config.shell().UpdateWindowCaption();
    st.CancelFlag = false;
    MarkConfigurationLoaded(config);
    RememberRecentFile(config, path);
    config.shell().ShowCategory("General");
    config.shell().RebuildViews();
    if (!notes.empty()) {
        ShowMessage(config, OpenNotesText(notes), Icon::Information);
    }
    return true;
}

Outcome SaveSettings(Config& config, bool useCurrentName) {
    AppState& st = config.state;
    std::string name;
    // After a raw image was opened, the current name is the image's: only the name of a
    // settings file is reused, so that settings text never lands on an image.
    if (useCurrentName && EndsWithIgnoreCase(st.CurrentFileName, kSettingsFileExtension)) {
        name = st.CurrentFileName;
    } else {
        FileDialogRequest request;
        request.save = true;
        request.filter = kSettingsFileFilter;
        request.overwritePrompt = true;
        name = AskForFile(config, request);
    }
    st.CancelFlag = true;
    if (name.empty()) {
        return Outcome::Cancelled;
    }
    if (!WriteSettingsFile(config, name)) {
        return Outcome::Failed;
    }
    st.CurrentFileName = name;
    config.shell().UpdateWindowCaption();
    st.CancelFlag = false;
    MarkConfigurationSaved(config);
    RememberRecentFile(config, name);
    return Outcome::Done;
}

}  // namespace mrw
