#include "region_tables.h"

#include <cmath>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "core/profile.h"
#include "core/text.h"
#include "image/check_map.h"
#include "image/checks.h"
#include "image/codec.h"
#include "model/catalogue.h"
#include "model/regions.h"

namespace mrw::regiongen {

namespace {

constexpr int kStatusNoNone = 127;
constexpr int kTagChars = 16;
constexpr int kStatusNameChars = 4;
constexpr int kDistressChannel = 16;
constexpr double kLowestMHz = 137.0;  // the range the channel editor accepts
constexpr double kHighestMHz = 174.0;

struct Line {
    int number;
    std::string text;
};

// The lines of a table without blank lines and "#" comments, numbered for messages.
std::optional<std::vector<Line>> ReadLines(const std::filesystem::path& file, std::string& error) {
    std::ifstream in(file);
    if (!in) {
        error = file.string() + ": cannot be read";
        return std::nullopt;
    }
    std::vector<Line> lines;
    std::string text;
    for (int number = 1; std::getline(in, text); ++number) {
        if (!text.empty() && text.back() == '\r') {
            text.pop_back();
        }
        text = Trim(text);
        if (!text.empty() && text.front() != '#') {
            lines.push_back({number, text});
        }
    }
    return lines;
}

std::string Where(const std::filesystem::path& file, const Line& line) {
    return file.filename().string() + ":" + std::to_string(line.number) + ": ";
}

bool IsText(const std::string& text, int maxChars) {
    if (static_cast<int>(text.size()) > maxChars) {
        return false;
    }
    for (char c : text) {
        if (CharToCode(std::string(1, c)) == 255) {
            return false;
        }
    }
    return true;
}

bool IsDisplayText(const std::string& text) {
    if (text.size() != 2) {
        return false;
    }
    for (char c : text) {
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || c == ' ')) {
            return false;
        }
    }
    return true;
}

std::optional<int> ParseDuplex(const std::string& mode) {
    static const std::map<std::string, int> kModes = {
        {"TX_SIMP", 0}, {"RX_SIMP", 1}, {"DUPLEX", 2}, {"REVERSE_DUP", 3}};
    auto it = kModes.find(mode);
    return it == kModes.end() ? std::nullopt : std::optional<int>(it->second);
}

// Applies the flag words of a table line to a record; false for an unknown word.
bool ApplyFlags(const std::string& flags, ChannelRecord& record) {
    record.TxEnable = true;
    std::istringstream words(flags);
    std::string word;
    while (words >> word) {
        if (word == "rxonly") {
            record.TxEnable = false;
        } else if (word == "low") {
            record.LowPower = true;
        } else if (word == "scan") {
            record.ScanMemory = true;
        } else if (word == "intership") {
            record.InterShipCH = true;
        } else if (word == "powerup") {
            record.PowUp = true;
        } else {
            return false;
        }
    }
    return true;
}

// Splits a line into `count` fields at commas; the last field keeps any further commas.
std::optional<std::vector<std::string>> Fields(const std::string& text, size_t count) {
    std::vector<std::string> fields;
    size_t start = 0;
    for (size_t i = 0; i + 1 < count; ++i) {
        size_t comma = text.find(',', start);
        if (comma == std::string::npos) {
            return std::nullopt;
        }
        fields.push_back(Trim(text.substr(start, comma - start)));
        start = comma + 1;
    }
    fields.push_back(Trim(text.substr(start)));
    return fields;
}

std::optional<bool> ParseFlag(const std::string& value) {
    if (value == "1") {
        return true;
    }
    if (value == "0") {
        return false;
    }
    return std::nullopt;
}

std::optional<long> WholeNumber(const std::string& text) {
    auto value = ParseNumber(text);
    if (!value || *value != std::floor(*value)) {
        return std::nullopt;
    }
    return static_cast<long>(*value);
}

int DistressIndex(const ChannelTable& table) {
    for (size_t i = 0; i < table.size(); ++i) {
        const ChannelRecord& r = table[i];
        if (r.Position == kDistressChannel && r.StatusNo == kStatusNoNone && r.StatusIcon == 0) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

// The factory settings of defaults.ini; every key must be there.
bool ApplyDefaults(const std::filesystem::path& file, DataModel& model, std::string& error) {
    auto number = [&](const char* section, const char* key, long& out) {
        auto value = WholeNumber(ReadProfileValue(file, section, key));
        if (!value) {
            error = file.filename().string() + ": [" + section + "] " + key + " missing or bad";
            return false;
        }
        out = *value;
        return true;
    };
    const char* common = "Common Setup";
    const char* autoPos = "DSC Setup (AutoPos Setup)";
    long scan, timeDisplay, format, resume, ptt, dual, offset, weater, sog, distance;
    long enable, marine, channel, interval, selectCall, lastAddress;
    if (!(number(common, "SCAN", scan) && number(common, "Time Display", timeDisplay) &&
          number(common, "Format", format) && number(common, "Resume Time", resume) &&
          number(common, "PTT SCAN Clear", ptt) && number(common, "Dual Watch", dual) &&
          number(common, "Offset Time", offset) && number(common, "Weater", weater) &&
          number(common, "SOG", sog) && number(common, "Distance", distance) &&
          number(autoPos, "ENABLE", enable) && number(autoPos, "MARINE ENABLE", marine) &&
          number(autoPos, "CHANNEL", channel) && number(autoPos, "INTERVAL", interval) &&
          number(autoPos, "SELECTCALL", selectCall) &&
          number(autoPos, "LASTADDRESS", lastAddress))) {
        return false;
    }
    CommonSetup& c = model.Common;
    c.Scan = scan != 0;
    c.TimeDisplay = timeDisplay != 0;
    c.Format = format != 0;
    c.ResumeTime = static_cast<int16_t>(resume);
    c.PttScanClear = ptt != 0;
    c.DualWatch = dual != 0;
    c.OffsetTime = static_cast<int16_t>(offset);
    c.Weater = static_cast<int16_t>(weater);
    c.Sog = static_cast<int16_t>(sog);
    c.Distance = static_cast<int16_t>(distance);
    AutoPosRecord& r = model.AutoPos.Records[1];
    r.Enable = enable != 0;
    r.MarineEnable = static_cast<int16_t>(marine);
    r.Channel = std::to_string(channel);
    r.Interval = std::to_string(interval);
    r.SelectCall = static_cast<int16_t>(selectCall);
    r.LastAddress = static_cast<int32_t>(lastAddress);
    return true;
}

ChannelTable& GroupTable(DataModel& model, int group) {
    return group == 0 ? model.CHUSA : group == 1 ? model.CHINT : model.CHCAN;
}

}  // namespace

std::optional<ChannelRecord> ParseChannelLabel(const std::string& label) {
    ChannelRecord record;
    record.StatusNo = kStatusNoNone;
    std::string digits = label;
    if (!digits.empty() && (digits.back() == 'A' || digits.back() == 'B')) {
        record.StatusIcon = digits.back() == 'A' ? 1 : 2;
        digits.pop_back();
    }
    if (digits.empty() || digits.size() > 4 ||
        digits.find_first_not_of("0123456789") != std::string::npos) {
        return std::nullopt;
    }
    if (digits.size() == 4) {
        const std::string prefix = digits.substr(0, 2);
        if ((prefix != "10" && prefix != "20") || record.StatusIcon != 0) {
            return std::nullopt;
        }
        record.StatusNo = static_cast<int16_t>(std::stoi(prefix));
        digits = digits.substr(2);
    }
    const int position = std::stoi(digits);
    if (position >= kCatalogueSize) {
        return std::nullopt;
    }
    record.Position = static_cast<int16_t>(position);
    return record;
}

std::optional<ChannelTable> ReadPlan(const std::filesystem::path& file, std::string& error) {
    auto lines = ReadLines(file, error);
    if (!lines) {
        return std::nullopt;
    }
    ChannelTable table;
    std::set<std::string> seen;
    for (const Line& line : *lines) {
        auto fields = Fields(line.text, 4);
        if (!fields) {
            error = Where(file, line) + "expected channel,mode,flags,tag";
            return std::nullopt;
        }
        const auto& f = *fields;
        auto record = ParseChannelLabel(f[0]);
        auto duplex = ParseDuplex(f[1]);
        if (!record || !duplex || !seen.insert(f[0]).second) {
            error = Where(file, line) + "bad or repeated channel or mode";
            return std::nullopt;
        }
        record->Enable = true;
        record->Duplex = static_cast<int16_t>(*duplex);
        if (!ApplyFlags(f[2], *record) || !IsText(f[3], kTagChars)) {
            error = Where(file, line) + "bad flags or tag";
            return std::nullopt;
        }
        record->ChTag = f[3];
        table.push_back(*record);
    }
    if (static_cast<int>(table.size()) > kMaxStandardChannels) {
        error = file.filename().string() + ": more than 96 channels";
        return std::nullopt;
    }
    return table;
}

std::optional<RegionSpec> ReadRegion(const std::filesystem::path& file, std::string& error) {
    auto lines = ReadLines(file, error);
    if (!lines) {
        return std::nullopt;
    }
    RegionSpec spec;
    std::string section;
    std::set<std::string> keys;
    for (const Line& line : *lines) {
        const std::string& text = line.text;
        if (text.front() == '[' && text.back() == ']') {
            section = text.substr(1, text.size() - 2);
            continue;
        }
        if (section == "CHEXP") {
            auto f = Fields(text, 5);
            // Frequencies outside the band (or unreadable ones, as -1) are refused below.
            double rx = f ? ParseNumber((*f)[1]).value_or(-1.0) : -1.0;
            double tx = f ? ParseNumber((*f)[2]).value_or(-1.0) : -1.0;
            ChannelRecord r;
            if (!f || !IsDisplayText((*f)[0]) || rx < kLowestMHz || rx > kHighestMHz ||
                tx < kLowestMHz || tx > kHighestMHz || !ApplyFlags((*f)[3], r) ||
                !IsText((*f)[4], kTagChars)) {
                error = Where(file, line) + "expected display,rx MHz,tx MHz,flags,tag";
                return std::nullopt;
            }
            r.Enable = true;
            r.CHDisplayL = (*f)[0];
            r.Rxfreq = rx;
            r.Txfreq = tx;
            r.ChTag = (*f)[4];
            spec.extra.push_back(r);
            continue;
        }
        size_t eq = text.find('=');
        if (eq == std::string::npos) {
            error = Where(file, line) + "expected key=value";
            return std::nullopt;
        }
        const std::string key = Trim(text.substr(0, eq));
        const std::string value = Trim(text.substr(eq + 1));
        keys.insert(section + "/" + key);
        const auto flag = ParseFlag(value);
        bool ok = true;
        if (section == "Region" && key == "code") {
            auto code = WholeNumber(value);
            ok = code && *code >= 0 && *code <= 255;
            spec.code = ok ? static_cast<int>(*code) : 0;
        } else if (section == "Region" && key == "weather") {
            ok = flag.has_value();
            spec.weather = flag.value_or(false);
        } else if (section.size() == 6 && section.starts_with("Group") && section[5] >= '1' &&
                   section[5] <= '3') {
            GroupSpec& g = spec.groups[static_cast<size_t>(section[5] - '1')];
            if (key == "plan") {
                g.plan = value;
            } else if (key == "name") {
                ok = IsText(value, kStatusNameChars);
                g.name = value;
            } else if (key == "usable" || key == "dsc" || key == "atis") {
                ok = flag.has_value();
                (key == "usable" ? g.usable : key == "dsc" ? g.dsc : g.atis) = flag.value_or(false);
            } else {
                ok = false;
            }
        } else if (section == "Exp CH" && (key == "usable" || key == "atis")) {
            ok = flag.has_value();
            (key == "usable" ? spec.expUsable : spec.expAtis) = flag.value_or(false);
        } else {
            ok = false;
        }
        if (!ok) {
            error = Where(file, line) + "unknown key or bad value";
            return std::nullopt;
        }
    }
    for (const char* required : {"Region/code", "Region/weather", "Group1/usable", "Group2/usable",
                                 "Group3/usable", "Exp CH/usable"}) {
        if (!keys.contains(required)) {
            error = file.filename().string() + ": " + required + " missing";
            return std::nullopt;
        }
    }
    if (static_cast<int>(spec.extra.size()) > kMaxExpChannels) {
        error = file.filename().string() + ": more than 64 extra channels";
        return std::nullopt;
    }
    return spec;
}

bool BuildFactoryImage(const std::filesystem::path& dataDir, const std::string& region,
                       int modelType, Image& image, std::string& error) {
    if (!ModelCode(modelType)) {
        error = "unknown model type " + std::to_string(modelType);
        return false;
    }
    auto spec = ReadRegion(dataDir / "regions" / (region + ".ini"), error);
    if (!spec) {
        return false;
    }
    DataModel model;
    NewImage(image, model, modelType);
    RebuildWeatherTable(model);
    for (ChannelRecord& wx : model.CHWX) {
        wx.Enable = spec->weather;
    }
    if (!ApplyDefaults(dataDir / "defaults.ini", model, error)) {
        return false;
    }
    for (int g = 0; g < 3; ++g) {
        const GroupSpec& group = spec->groups[static_cast<size_t>(g)];
        ChannelTable& table = GroupTable(model, g);
        table.clear();
        if (!group.plan.empty()) {
            auto plan = ReadPlan(dataDir / "plans" / (group.plan + ".csv"), error);
            if (!plan) {
                return false;
            }
            table = *plan;
        }
        ChannelGroup& settings = model.Groups[static_cast<size_t>(g)];
        settings.Usable = group.usable;
        settings.StatusName = group.name;
        const int distress = DistressIndex(table);
        settings.PriorityCH = distress >= 0 ? distress + 1 : -1;
        model.DscBasic.UsableDsc[static_cast<size_t>(g)] = group.dsc;
        model.Atis.UsableAtis[static_cast<size_t>(g)] = group.atis;
    }
    model.Groups[3].Usable = spec->expUsable;
    model.Atis.UsableAtis[3] = spec->expAtis;
    model.CHEXP = spec->extra;
    if (!EncodeImage(model, image, &error)) {
        error = region + ": " + error;
        return false;
    }
    image.Set(checkmap::kRegionAddress, spec->code);
    // The radio starts in channel mode on channel 16 of its first group.
    const int distress = DistressIndex(model.CHUSA);
    if (distress >= 0) {
        image.Set(checkmap::kCurrentGroup, 0);
        image.Set(checkmap::kCurrentMode, checkmap::kChannelMode);
        for (int address : {checkmap::kCurrentRef, checkmap::kSecondRef}) {
            image.Set(address, distress / 256);
            image.Set(address + 1, distress % 256);
        }
    }
    PrepareImageForWrite(image, model);
    UpdateChecksum(image);
    return true;
}

std::string FactoryFileName(const std::string& region, int modelType) {
    return region + ModelFileSuffix(modelType) + ".ini";
}

}  // namespace mrw::regiongen
