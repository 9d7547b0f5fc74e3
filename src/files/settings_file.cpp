#include "files/settings_file.h"

#include <cerrno>
#include <cmath>
#include <exception>
#include <fstream>
#include <limits>
#include <optional>
#include <stdexcept>
#include <string_view>
#include <system_error>
#include <unordered_map>

#include "core/file_read.h"
#include "core/log.h"
#include "core/text.h"
#include "files/atomic_file.h"
#include "image/check_map.h"
#include "model/catalogue.h"
#include "model/regions.h"

namespace mrw {

namespace {

namespace fs = std::filesystem;

// ---- Section and key names -----------------------------------------------------------------

constexpr const char* kMainSection = "MAIN";
constexpr const char* kGroupSection = "Usable CH Group Setup";
constexpr const char* kCommonSection = "Common Setup";
constexpr const char* kDscBasicSection = "DSC Setup (Basic Setup)";
constexpr const char* kDscAdvancedSection = "DSC Setup (Advanced Setup)";
constexpr const char* kDscDisplaySection = "DSC Setup (Display Setup)";
constexpr const char* kAutoPosSection = "DSC Setup (AutoPos Setup)";
constexpr const char* kAtisCommonSection = "ATIS Setup (Common)";
constexpr const char* kAtisCallSignSection = "ATIS Setup (Call Sign)";

constexpr std::array<const char*, 3> kDscDisplayNames = {
    "Individual Reply Menu", "Individual ACK Menu", "POS Request Reply Menu"};

using checkmap::kRegionAddress;
constexpr int kPauseMs = 500;
constexpr double kFrequencyLimit = 1000.0;

std::string Indexed(std::string_view key, int index) {
    return std::string(key) + std::to_string(index);
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
    void Raw(std::string_view key, std::string_view value) {
        text_ += key;
        text_ += '=';
        text_ += value;
        text_ += "\r\n";
    }
    void Bool(std::string_view key, bool value) { Raw(key, value ? "1" : "0"); }
    void Word(std::string_view key, bool value) { Raw(key, value ? "True" : "False"); }
    void Int(std::string_view key, long value) { Raw(key, std::to_string(value)); }
    void Double(std::string_view key, double value) { Raw(key, FormatDouble(value)); }
    /// A text written with the "#" mark.
    void Marked(std::string_view key, std::string_view value) {
        Raw(key, "#" + std::string(value));
    }
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

// ---- Reading -------------------------------------------------------------------------------

// The first value of every (section, key) pair, found in one pass: sections in file order,
// entries in order, the first match kept. Equivalent to LookupValue for every pair.
class SectionIndex {
public:
    explicit SectionIndex(const std::vector<SettingsSection>& sections) {
        for (const SettingsSection& s : sections) {
            auto& keys = index_[s.name];
            for (const auto& [key, value] : s.entries) {
                keys.try_emplace(key, value);
            }
        }
    }
    /// The value, or nullptr when the section or key is missing. Names are upper case.
    const std::string* Find(const std::string& section, const std::string& key) const {
        auto s = index_.find(section);
        if (s == index_.end()) {
            return nullptr;
        }
        auto k = s->second.find(key);
        return k == s->second.end() ? nullptr : &k->second;
    }

private:
    std::unordered_map<std::string, std::unordered_map<std::string, std::string>> index_;
};

// A value that no field of the data model or of the radio can hold; the whole read fails.
struct UnholdableValue : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Field conversions of one section. A missing or unconvertible value leaves a field as it is,
// except for texts, which a missing key empties.
class SectionReader {
public:
    SectionReader(const SectionIndex& index, std::string_view section)
        : index_(index), section_(ToUpper(section)) {}

    std::string Value(std::string_view key) const {
        const std::string* v = index_.Find(section_, ToUpper(key));
        return v != nullptr ? *v : std::string();
    }
    void Bool(std::string_view key, bool& field) const {
        std::string t = Trim(Value(key));
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
        std::string text = Value(key);
        bool overflow = false;
        std::optional<double> mhz = ParseNumber(text, &overflow);
        if (overflow || (mhz && !(*mhz >= 0.0 && *mhz < kFrequencyLimit))) {
            throw UnholdableValue(std::string(key) + "=" + Trim(text).substr(0, 32) + " in [" +
                                  section_ + "] is out of range");
        }
        if (mhz) {
            field = *mhz;
        }
    }
    /// The value of the leading number of the text; a missing key gives False.
    void LeadingNumber(std::string_view key, bool& field) const {
        field = RoundHalfEven(Val(Value(key))) != 0.0;
    }
    void Text(std::string_view key, std::string& field) const { field = Value(key); }

private:
    const SectionIndex& index_;
    std::string section_;
};

void ReadSetup(const SectionIndex& index, bool atisSupported, DataModel& m) {
    {
        SectionReader r(index, kGroupSection);
        for (int i = 0; i < kChannelGroups; ++i) {
            r.Bool(kGroupNames[static_cast<size_t>(i)], m.Groups[static_cast<size_t>(i)].Usable);
        }
        for (int i = 0; i < kChannelGroups; ++i) {
            r.Integer(Indexed("Priority CH", i), m.Groups[static_cast<size_t>(i)].PriorityCH);
        }
        for (int i = 0; i < kChannelGroups; ++i) {
            r.Text(Indexed("Status name", i), m.Groups[static_cast<size_t>(i)].StatusName);
        }
        for (int j = 0; j < 3; ++j) {
            r.Bool(Indexed("Exp Ch Group", j), m.Groups[3].ExpChGroup[static_cast<size_t>(j)]);
        }
    }
    {
        SectionReader r(index, kCommonSection);
        CommonSetup& c = m.Common;
        r.Bool("SCAN", c.Scan);
        r.Integer("Resume Time", c.ResumeTime);
        r.Bool("PTT SCAN Clear", c.PttScanClear);
        r.Bool("Dual Watch", c.DualWatch);
        r.Integer("Offset Time", c.OffsetTime);
        r.Bool("Time Display", c.TimeDisplay);
        r.Bool("Format", c.Format);
        r.Integer("Weater", c.Weater);
        r.Integer("SOG", c.Sog);
        r.Integer("Distance", c.Distance);
    }
    {
        SectionReader r(index, kDscBasicSection);
        DscBasicSetup& d = m.DscBasic;
        for (size_t i = 0; i < d.UsableDsc.size(); ++i) {
            r.Bool(kGroupNames[i], d.UsableDsc[i]);
        }
        r.Text("User MMSI", d.UserMmsi);
        for (int i = 0; i < 4; ++i) {
            r.Bool(Indexed("PosRequest", i), d.PosRequest[static_cast<size_t>(i)]);
            r.Bool(Indexed("PosRequestTX", i), d.PosRequestTx[static_cast<size_t>(i)]);
        }
        for (int i = 0; i < 8; ++i) {
            r.Bool(Indexed("BeepOut", i), d.BeepOut[static_cast<size_t>(i)]);
        }
    }
    {
        SectionReader r(index, kDscAdvancedSection);
        for (size_t t = 0; t < kDscCallTypes; ++t) {
            std::string name = kDscCallTypeNames[t];
            for (int i = 0; i < 4; ++i) {
                r.Bool(Indexed(name, i), m.DscAdvanced[t].List[static_cast<size_t>(i)]);
                r.Bool(Indexed(name + "TX", i), m.DscAdvanced[t].Tx[static_cast<size_t>(i)]);
            }
        }
    }
    {
        SectionReader r(index, kDscDisplaySection);
        for (size_t i = 0; i < kDscDisplayNames.size(); ++i) {
            r.Bool(kDscDisplayNames[i], m.DscDisplay[i]);
        }
    }
    {
        SectionReader r(index, kAutoPosSection);
        r.LeadingNumber("MENUDISPLAY", m.AutoPos.MenuDisplay);
        for (int i = 0; i < 2; ++i) {
            AutoPosRecord& a = m.AutoPos.Records[static_cast<size_t>(i)];
            r.LeadingNumber(Indexed("ENABLE", i), a.Enable);
            r.Integer(Indexed("MARINE ENABLE", i), a.MarineEnable);
            r.Text(Indexed("CHANNEL", i), a.Channel);
            r.Text(Indexed("INTERVAL", i), a.Interval);
            r.Integer(Indexed("SELECTCALL", i), a.SelectCall);
            r.Integer(Indexed("LASTADDRESS", i), a.LastAddress);
            r.LeadingNumber(Indexed("RCENABLE", i), a.RcEnable);
            r.Text(Indexed("MMSI", i), a.Mmsi);
        }
    }
    if (!atisSupported) {
        return;
    }
    {
        SectionReader r(index, kAtisCommonSection);
        for (int i = 0; i < 4; ++i) {
            r.Bool(Indexed("Usable ATIS CH Group", i), m.Atis.UsableAtis[static_cast<size_t>(i)]);
        }
        r.Text("Atis Code", m.Atis.AtisCode);
        for (int i = 0; i < 4; ++i) {
            r.Bool(Indexed("Usable ATIS Kikker CH Group", i),
                   m.Atis.UsableKikker[static_cast<size_t>(i)]);
        }
    }
    {
        SectionReader r(index, kAtisCallSignSection);
        for (int i = 1; i <= kCallSignEntries; ++i) {
            CallSignEntry& e = m.CallSigns[static_cast<size_t>(i - 1)];
            r.Text(Indexed("MID", i), e.Mid);
            r.Text(Indexed("DISP", i), e.Disp);
        }
    }
}

// CHUSA, CHINT, CHCAN: records up to the first without a position, all read as enabled.
void ReadStandardTable(const SectionIndex& index, const char* name, ChannelTable& table) {
    EmptyTable(table);
    for (int n = 1; n <= kMaxStandardChannels; ++n) {
        SectionReader r(index, Indexed(name, n));
        std::string position = r.Value("Position");
        if (position.empty()) {
            break;
        }
        bool overflow = false;
        double p = RoundHalfEven(Val(position, &overflow));
        if (overflow || p < std::numeric_limits<int16_t>::min() ||
            p > std::numeric_limits<int16_t>::max()) {
            throw UnholdableValue("Position=" + Trim(position).substr(0, 32) + " in [" + name +
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
        section.name = ToUpper(Trim(rest.substr(0, close)));
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
            section.entries.emplace_back(ToUpper(Trim(line.substr(0, eq))), std::string(value));
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

    w.Section(kGroupSection);
    for (size_t i = 0; i < kChannelGroups; ++i) {
        w.Bool(kGroupNames[i], m.Groups[i].Usable);
    }
    // Written whole: an erased image decodes to 65535, which must survive a save and open.
    for (int i = 0; i < kChannelGroups; ++i) {
        w.Int(Indexed("Priority CH", i), m.Groups[static_cast<size_t>(i)].PriorityCH);
    }
    for (int i = 0; i < kChannelGroups; ++i) {
        w.Text(Indexed("Status name", i), m.Groups[static_cast<size_t>(i)].StatusName);
    }
    for (int j = 0; j < 3; ++j) {
        w.Word(Indexed("Exp Ch Group", j), m.Groups[3].ExpChGroup[static_cast<size_t>(j)]);
    }

    w.Section(kCommonSection);
    const CommonSetup& c = m.Common;
    w.Bool("SCAN", c.Scan);
    w.Int("Resume Time", c.ResumeTime);
    w.Bool("PTT SCAN Clear", c.PttScanClear);
    w.Bool("Dual Watch", c.DualWatch);
    w.Int("Offset Time", c.OffsetTime);
    w.Bool("Time Display", c.TimeDisplay);
    w.Bool("Format", c.Format);
    w.Int("Weater", c.Weater);
    w.Int("SOG", c.Sog);
    w.Int("Distance", c.Distance);

    w.Section(kDscBasicSection);
    const DscBasicSetup& d = m.DscBasic;
    for (size_t i = 0; i < d.UsableDsc.size(); ++i) {
        w.Bool(kGroupNames[i], d.UsableDsc[i]);
    }
    w.Marked("User MMSI", d.UserMmsi);
    for (int i = 0; i < 4; ++i) {
        w.Bool(Indexed("PosRequest", i), d.PosRequest[static_cast<size_t>(i)]);
        w.Bool(Indexed("PosRequestTX", i), d.PosRequestTx[static_cast<size_t>(i)]);
    }
    for (int i = 0; i < 8; ++i) {
        w.Bool(Indexed("BeepOut", i), d.BeepOut[static_cast<size_t>(i)]);
    }

    w.Section(kDscAdvancedSection);
    for (size_t t = 0; t < kDscCallTypes; ++t) {
        std::string name = kDscCallTypeNames[t];
        for (int i = 0; i < 4; ++i) {
            w.Bool(Indexed(name, i), m.DscAdvanced[t].List[static_cast<size_t>(i)]);
            w.Bool(Indexed(name + "TX", i), m.DscAdvanced[t].Tx[static_cast<size_t>(i)]);
        }
    }

    w.Section(kDscDisplaySection);
    for (size_t i = 0; i < kDscDisplayNames.size(); ++i) {
        w.Bool(kDscDisplayNames[i], m.DscDisplay[i]);
    }

    w.Section(kAutoPosSection);
    w.Bool("MENUDISPLAY", m.AutoPos.MenuDisplay);
    for (int i = 0; i < 2; ++i) {
        const AutoPosRecord& a = m.AutoPos.Records[static_cast<size_t>(i)];
        w.Bool(Indexed("ENABLE", i), a.Enable);
        w.Int(Indexed("MARINE ENABLE", i), a.MarineEnable);
        w.Text(Indexed("CHANNEL", i), a.Channel);
        w.Text(Indexed("INTERVAL", i), a.Interval);
        w.Int(Indexed("SELECTCALL", i), a.SelectCall);
        w.Int(Indexed("LASTADDRESS", i), a.LastAddress);
        w.Bool(Indexed("RCENABLE", i), a.RcEnable);
        w.Text(Indexed("MMSI", i), a.Mmsi);
    }

    if (config.state.AtisSupported) {
        w.Section(kAtisCommonSection);
        for (int i = 0; i < 4; ++i) {
            w.Bool(Indexed("Usable ATIS CH Group", i), m.Atis.UsableAtis[static_cast<size_t>(i)]);
        }
        w.Marked("Atis Code", m.Atis.AtisCode);
        for (int i = 0; i < 4; ++i) {
            w.Bool(Indexed("Usable ATIS Kikker CH Group", i),
                   m.Atis.UsableKikker[static_cast<size_t>(i)]);
        }
        w.Section(kAtisCallSignSection);
        for (int i = 1; i <= kCallSignEntries; ++i) {
            const CallSignEntry& e = m.CallSigns[static_cast<size_t>(i - 1)];
            w.Text(Indexed("MID", i), e.Mid);
            w.Text(Indexed("DISP", i), e.Disp);
        }
    }

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

void WriteSettingsFile(Config& config, const std::filesystem::path& path) {
    SaveDocument(
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

void ReadSettingsFile(Config& config, const std::filesystem::path& path) {
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
        ResetToDefaults(config, -2);
        st.Loading = true;
        std::vector<SettingsSection> sections;
        if (!ReadSettingsSections(path, sections, &failure)) {
            failed = true;
            failure = LogMessage(EIO, failure);
        } else if (std::optional<int> region = CheckFileRegion(config, path); !region) {
            refused = true;
        } else {
            DataModel working = config.model;
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
}

void OpenSettingsFile(Config& config, const std::filesystem::path& path) {
    AppState& st = config.state;
    st.CancelFlag = true;
    ReadSettingsFile(config, path);
    if (!st.ErrorFlag) {
        st.CurrentFileName = path.string();
        config.shell().UpdateWindowCaption();
        st.CancelFlag = false;
        st.DataChanged = false;
    }
    if (!st.CancelFlag) {
        config.shell().ShowCategory("General");
        config.shell().RebuildViews();
    }
}

void SaveSettings(Config& config, bool useCurrentName) {
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
        request.folder = config.services.programFolder.string();
        request.overwritePrompt = true;
        name = config.prompt().FileDialog(request);
    }
    st.CancelFlag = true;
    if (name.empty()) {
        return;
    }
    WriteSettingsFile(config, name);
    if (!st.ErrorFlag) {
        st.CurrentFileName = name;
        config.shell().UpdateWindowCaption();
        st.CancelFlag = false;
        st.DataChanged = false;
    }
}

}  // namespace mrw
