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
#include "core/text.h"
#include "files/atomic_file.h"
#include "image/check_map.h"
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

// The first value of every (section, key) pair, found in one pass: sections in file order,
// entries in order, the first match kept. Equivalent to LookupValue for every pair. It refers
// to the names and values of the sections, which outlive it.
class SectionIndex {
public:
    using Keys = std::unordered_map<std::string_view, const std::string*, UpperHash, UpperEqual>;

    explicit SectionIndex(const std::vector<SettingsSection>& sections) {
        for (const SettingsSection& s : sections) {
            if (HasLowerCase(s.name)) {
                continue;
            }
            Keys& keys = index_[s.name];
            for (const auto& [key, value] : s.entries) {
                if (!HasLowerCase(key)) {
                    keys.try_emplace(key, &value);
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

// A value of the file as a refusal quotes it: without blanks around it, at most 32 characters,
// and every character that is no printable ASCII shown as "?". A NUL read from a damaged file
// would otherwise end the message there, before the reason.
std::string Quoted(std::string_view value) {
    std::string text = Trim(value).substr(0, 32);
    for (char& c : text) {
        if (c < 0x20 || c > 0x7E) {
            c = '?';
        }
    }
    return text;
}

// Field conversions of one section. A missing or unconvertible value leaves a field as it is,
// except for texts, which a missing key empties.
class SectionReader {
public:
    SectionReader(const SectionIndex& index, std::string section)
        : section_(std::move(section)), keys_(index.Find(section_)) {}

    /// The value of `key`, or "" when the key or the section is missing.
    std::string_view Value(std::string_view key) const {
        if (keys_ == nullptr) {
            return {};
        }
        auto v = keys_->find(key);
        return v != keys_->end() ? std::string_view(*v->second) : std::string_view();
    }
    void Bool(std::string_view key, bool& field) const {
        const std::string_view t = TrimView(Value(key));
        if (EqualsIgnoreCase(t, "True")) {
            field = true;
        } else if (EqualsIgnoreCase(t, "False")) {
            field = false;
        } else if (std::optional<double> n = ParseNumber(t)) {
            field = *n != 0.0;
        }
    }
    template <typename Int>
    void Integer(std::string_view key, Int& field) const {
        std::optional<double> n = ParseNumber(Value(key));
        if (!n) {
            return;
        }
        double r = RoundHalfEven(*n);
        if (r >= static_cast<double>(std::numeric_limits<Int>::min()) &&
            r <= static_cast<double>(std::numeric_limits<Int>::max())) {
            field = static_cast<Int>(r);
        }
    }
    /// A frequency in MHz. Every frequency field of the radio and every rendering of one has
    /// three digits before the period: a frequency that is negative, too large for a double or
    /// 1000 MHz or more cannot be held at all.
    void Frequency(std::string_view key, double& field) const {
        const std::string_view text = Value(key);
        bool overflow = false;
        std::optional<double> mhz = ParseNumber(text, &overflow);
        if (overflow || (mhz && !(*mhz >= 0.0 && *mhz < kFrequencyLimit))) {
            throw UnholdableValue(std::string(key) + "=" + Quoted(text) + " in [" +
                                  ToUpper(section_) + "] is out of range");
        }
        if (mhz) {
            field = *mhz;
        }
    }
    /// The value of the leading number of the text; a missing key gives False.
    void LeadingNumber(std::string_view key, bool& field) const {
        field = RoundHalfEven(Val(Value(key))) != 0.0;
    }
    void Text(std::string_view key, std::string& field) const { field.assign(Value(key)); }

private:
    std::string section_;
    const SectionIndex::Keys* keys_;
};

// The setup sections, key by key as the key table declares them.
void ReadSetup(const SectionIndex& index, bool atisSupported, DataModel& m) {
    // The keys of a section follow each other in the table: one reader serves them all.
    std::optional<SectionReader> reader;
    const char* section = nullptr;
    for (const SetupKey& k : SetupKeys()) {
        if (k.atisOnly && !atisSupported) {
            continue;
        }
        if (!reader || section != k.section) {
            section = k.section;
            reader.emplace(index, section);
        }
        const SectionReader& r = *reader;
        std::visit(
            [&](auto* field) {
                using Field = std::remove_pointer_t<decltype(field)>;
                if constexpr (std::is_same_v<Field, bool>) {
                    if (k.form == KeyForm::LeadingFlag) {
                        r.LeadingNumber(k.key, *field);
                    } else {
                        r.Bool(k.key, *field);
                    }
                } else if constexpr (std::is_same_v<Field, std::string>) {
                    r.Text(k.key, *field);
                } else {
                    r.Integer(k.key, *field);
                }
            },
            k.field(m));
    }
}

// CHUSA, CHINT, CHCAN: records up to the first without a position, all read as enabled.
void ReadStandardTable(const SectionIndex& index, const char* name, ChannelTable& table) {
    EmptyTable(table);
    for (int n = 1; n <= kMaxStandardChannels; ++n) {
        SectionReader r(index, Indexed(name, n));
        const std::string_view position = r.Value("Position");
        if (position.empty()) {
            break;
        }
        bool overflow = false;
        double p = RoundHalfEven(Val(position, &overflow));
        if (overflow || p < std::numeric_limits<int16_t>::min() ||
            p > std::numeric_limits<int16_t>::max()) {
            throw UnholdableValue("Position=" + Quoted(position) + " in [" + name +
                                  std::to_string(n) + "] is out of range");
        }
        ChannelRecord& c = AppendRecord(table);
        c.Enable = true;
        c.Position = static_cast<int16_t>(p);
        r.Bool("LowPower", c.LowPower);
        r.Bool("PowUp", c.PowUp);
        r.Integer("Duplex", c.Duplex);
        r.Bool("TxEnable", c.TxEnable);
        r.Integer("StatusNo", c.StatusNo);
        r.Integer("StatusIcon", c.StatusIcon);
        r.Bool("ScanMemory", c.ScanMemory);
        r.Text("ChTag", c.ChTag);
        r.Bool("InterShipCH", c.InterShipCH);
    }
}

// CHRG, CHEXP: records up to the first whose "Enable" is 0 or missing.
void ReadUserTable(const SectionIndex& index, const char* name, int limit, ChannelTable& table) {
    EmptyTable(table);
    for (int n = 1; n <= limit; ++n) {
        SectionReader r(index, Indexed(name, n));
        if (Val(r.Value("Enable")) == 0.0) {
            break;
        }
        ChannelRecord& c = AppendRecord(table);
        // The leading number of "Enable" is not 0: the channel is in use. A value that is no
        // Boolean as a whole ("1x") leaves it so; read as disabled, the channel would be saved
        // with "Enable=0" and end its table when the file is opened again.
        c.Enable = true;
        r.Bool("Enable", c.Enable);
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
}

template <size_t N>
void ReadDirectory(const SectionIndex& index, const char* name,
                   std::array<DirectoryRecord, N>& directory) {
    for (size_t i = 0; i < N; ++i) {
        SectionReader r(index, Indexed(name, static_cast<int>(i) + 1));
        r.Bool("Enable", directory[i].Enable);
        r.Text("TagName", directory[i].TagName);
        r.Text("Mmsid", directory[i].Mmsid);
    }
}

void ReadTables(const SectionIndex& index, DataModel& m) {
    ReadStandardTable(index, "CHUSA", m.CHUSA);
    ReadStandardTable(index, "CHINT", m.CHINT);
    ReadStandardTable(index, "CHCAN", m.CHCAN);
    for (size_t k = 0; k < m.CHWX.size() && k < kWeatherChannels; ++k) {
        SectionReader r(index, Indexed("CHWX", static_cast<int>(k)));
        r.Bool("Enable", m.CHWX[k].Enable);
        r.Bool("ScanMemory", m.CHWX[k].ScanMemory);
        r.Text("ChTag", m.CHWX[k].ChTag);
    }
    ReadDirectory(index, "CHMMSID", m.CHMMSID);
    ReadDirectory(index, "CHGRPID", m.CHGRPID);
    ReadUserTable(index, "CHRG", kMaxRgChannels, m.CHRG);
    ReadUserTable(index, "CHEXP", kMaxExpChannels, m.CHEXP);
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

// "Failure number immediately followed by its description", as the error log expects.
std::string LogMessage(int number, const std::string& description) {
    return std::to_string(number) + description;
}

}  // namespace

// ---- Public interface ----------------------------------------------------------------------

std::vector<SettingsSection> ParseSections(const std::string& text) {
    std::vector<SettingsSection> sections;
    std::vector<std::string_view> lines = SplitLines(text);
    size_t next = 0;
    std::string_view pending;
    bool havePending = false;
    while (havePending || next < lines.size()) {
        if (!havePending) {
            pending = lines[next++];
        }
        havePending = false;
        if (pending.empty() || pending.front() != '[') {
            continue;  // not a header: dropped
        }
        std::string_view rest = pending.substr(1);
        size_t close = rest.find(']');
        if (close == std::string_view::npos || close == 0) {
            continue;
        }
        SettingsSection& section = sections.emplace_back();
        section.name = ToUpper(TrimView(rest.substr(0, close)));
        while (next < lines.size()) {
            std::string_view line = lines[next++];
            size_t eq = line.find('=');
            if (eq == std::string_view::npos || eq == 0) {
                if (line.find('[') != std::string_view::npos) {
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
            section.entries.emplace_back(ToUpper(TrimView(line.substr(0, eq))), value);
        }
    }
    return sections;
}

bool ReadSettingsSections(const std::filesystem::path& path, std::vector<SettingsSection>& sections,
                          std::string* error) {
    auto fail = [&](const std::string& text) {
        if (error != nullptr) {
            *error = text;
        }
        return false;
    };
    std::ifstream in;
    std::string why;
    if (!OpenRegularFile(path, in, &why)) {
        return fail(why);
    }
    // The bound is checked on the bytes actually read, so a file that grows meanwhile cannot
    // make the reader swallow more.
    std::string text;
    char buffer[64 * 1024];
    while (in) {
        in.read(buffer, sizeof buffer);
        text.append(buffer, static_cast<size_t>(in.gcount()));
        if (text.size() > kMaxSettingsFileSize) {
            return fail(path.string() + " is larger than " + std::to_string(kMaxSettingsFileSize) +
                        " bytes");
        }
    }
    if (in.bad()) {
        return fail("cannot read " + path.string());
    }
    sections = ParseSections(text);
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
                           DataModel& model, std::string* error) {
    try {
        SectionIndex index(sections);
        ReadSetup(index, atisSupported, model);
        ReadTables(index, model);
        return true;
    } catch (const std::exception& e) {
        if (error != nullptr) {
            *error = e.what();
        }
        return false;
    }
}

bool ReadSettingsFile(Config& config, const std::filesystem::path& path) {
    AppState& st = config.state;
    st.ErrorFlag = false;
    config.shell().SetBusy(true);
    st.Loading = true;

    // The file is applied to a copy that replaces the model only once every step succeeded:
    // a refused or unreadable file leaves the configuration exactly as it was.
    DataModel before = config.model;
    bool failed = false;
    bool refused = false;
    std::string failure;
    try {
        RebuildWeatherAndViews(config);
        st.Loading = true;
        std::vector<SettingsSection> sections;
        if (!ReadSettingsSections(path, sections, &failure)) {
            failed = true;
            failure = LogMessage(EIO, failure);
        } else if (std::optional<int> region = CheckFileRegion(config, path); !region) {
            refused = true;
        } else {
            // What the file does not give comes from the defaults, never from the
            // configuration it replaces.
            DataModel working = DefaultModel();
            std::string why;
            if (!ApplySettingsSections(sections, st.AtisSupported, working, &why)) {
                failed = true;
                failure = LogMessage(ERANGE, why);
            } else {
                config.model = std::move(working);
                config.image.Set(kRegionAddress, RegionIndex(*region));
                ShowImageRegion(config);
            }
        }
    } catch (const std::exception& e) {
        failed = true;
        failure = LogMessage(EIO, e.what());
    }
    if (failed || refused) {
        config.model = std::move(before);
        config.shell().RebuildViews();
    }
    config.clock().Sleep(kPauseMs);
    st.Loading = false;
    config.shell().SetBusy(false);
    if (refused) {
        st.ErrorFlag = true;
    }
    if (failed) {
        st.ErrorFlag = true;
        WriteErrorLog(config, "frmMain.FileRead2", failure);
        ShowMessage(config, "FileRead Error!!", Icon::Exclamation);
        st.CancelFlag = true;
    }
    return !failed && !refused;
}

bool OpenSettingsFile(Config& config, const std::filesystem::path& path) {
    AppState& st = config.state;
    st.CancelFlag = true;
    if (!ReadSettingsFile(config, path)) {
        return false;
    }
    st.CurrentFileName = path.string();
    config.shell().UpdateWindowCaption();
    st.CancelFlag = false;
    MarkConfigurationLoaded(config);
    config.shell().ShowCategory("General");
    config.shell().RebuildViews();
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
    return Outcome::Done;
}

}  // namespace mrw
