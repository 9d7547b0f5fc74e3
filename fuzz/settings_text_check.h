// Facts about a settings file text that the program wrote, known without its reader: the text
// is lines ending in CR LF of printable ASCII, every number in it is plain decimal of the range
// of its field, the channel tables have one section per record in order, each rendering the
// record's own position or frequencies. Bytes that are not printable may appear only where the
// data they came from held them (a text read from a file goes out as it came in).
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "fuzz_config.h"
#include "model/model.h"

namespace mrw::fuzz {

/// Which bytes other than printable ASCII a text may carry.
using ByteSet = std::array<bool, 256>;

/// The bytes of `data` that are not printable ASCII, CR or LF.
__attribute__((no_sanitize("coverage"))) inline ByteSet ForeignBytes(std::string_view data) {
    ByteSet set{};
    for (char c : data) {
        set[static_cast<uint8_t>(c)] = true;
    }
    for (int c = 0x20; c <= 0x7E; ++c) {
        set[static_cast<size_t>(c)] = false;
    }
    set['\r'] = false;
    set['\n'] = false;
    return set;
}

namespace detail {

enum class ValueKind { Text, Word, Flag, Int16, Int32, Frequency, ModelType, Region };

/// The key without its trailing record or list index ("Priority CH2" -> "Priority CH").
inline std::string_view KeyBase(std::string_view key) {
    while (!key.empty() && key.back() >= '0' && key.back() <= '9') {
        key.remove_suffix(1);
    }
    return key;
}

/// What a key of the settings file holds, as the file format defines it; looked up by the key
/// without its index.
__attribute__((no_sanitize("coverage"))) inline ValueKind KindOf(std::string_view key) {
    static const std::unordered_map<std::string_view, ValueKind> kKinds = [] {
        std::unordered_map<std::string_view, ValueKind> kinds;
        for (std::string_view k : {"MODEL", "TYPE", "VERSION", "Status name", "User MMSI",
                                   "CHANNEL", "INTERVAL", "MMSI", "Atis Code", "MID", "DISP",
                                   "ChTag", "CHDisplayL", "CHDisplayR", "TagName", "Mmsid"}) {
            kinds[k] = ValueKind::Text;
        }
        for (std::string_view k :
             {"Resume Time", "Offset Time", "Weater", "SOG", "Distance", "MARINE ENABLE",
              "SELECTCALL", "Position", "Duplex", "StatusNo", "StatusIcon"}) {
            kinds[k] = ValueKind::Int16;
        }
        kinds["Priority CH"] = ValueKind::Int32;
        kinds["LASTADDRESS"] = ValueKind::Int32;
        kinds["Exp Ch Group"] = ValueKind::Word;
        kinds["Rxfreq"] = ValueKind::Frequency;
        kinds["Txfreq"] = ValueKind::Frequency;
        kinds["MODELTYPE"] = ValueKind::ModelType;
        kinds["REGION"] = ValueKind::Region;
        return kinds;
    }();
    const auto found = kKinds.find(KeyBase(key));
    return found == kKinds.end() ? ValueKind::Flag : found->second;
}

/// The value of a plain decimal integer of at most 11 characters; nothing for anything else.
__attribute__((no_sanitize("coverage"))) inline std::optional<long> PlainValue(
    std::string_view text) {
    if (!PlainInteger(text) || text.size() > 11) {
        return std::nullopt;
    }
    const bool negative = text.front() == '-';
    long value = 0;
    for (char c : text.substr(negative ? 1 : 0)) {
        value = value * 10 + (c - '0');
    }
    return negative ? -value : value;
}

__attribute__((no_sanitize("coverage"))) inline bool InRange(std::string_view text, long min,
                                                             long max) {
    const std::optional<long> value = PlainValue(text);
    return value && *value >= min && *value <= max;
}

/// A channel table section name: the table and the record number (1 based; CHWX from 0).
struct TableSection {
    int table = -1;  // index into kTables, -1 for none
    int number = 0;
};

inline constexpr std::string_view kTables[] = {"CHUSA", "CHINT",   "CHCAN",   "CHWX",
                                               "CHRG",  "CHMMSID", "CHGRPID", "CHEXP"};

__attribute__((no_sanitize("coverage"))) inline TableSection TableOf(std::string_view name) {
    const std::string_view base = KeyBase(name);
    if (base.size() == name.size() || name.size() - base.size() > 3) {
        return {};
    }
    for (int t = 0; t < 8; ++t) {
        if (base == kTables[t]) {
            int number = 0;
            for (char c : name.substr(base.size())) {
                number = number * 10 + (c - '0');
            }
            return {t, number};
        }
    }
    return {};
}

/// The frequency text read back, compared with the value it renders: 15 significant digits.
__attribute__((no_sanitize("coverage"))) inline bool RendersFrequency(std::string_view text,
                                                                      double value) {
    const double read = std::strtod(std::string(text).c_str(), nullptr);
    return std::fabs(read - value) <= 1e-14 * std::fmax(1.0, std::fabs(value));
}

}  // namespace detail

/// Checks a settings text written for `model` (ATIS sections expected with `atis`);
/// `foreign` holds the bytes besides printable ASCII that the text may carry. Unless `whole`,
/// the text is some of the sections of one: the channel tables in it are whole, the weather
/// channels and the directories (of which every file has all sections) may be in part.
__attribute__((no_sanitize("coverage"))) inline void CheckSettingsText(std::string_view text,
                                                                       const DataModel& model,
                                                                       int modelType, bool atis,
                                                                       const ByteSet& foreign,
                                                                       bool whole = true) {
    using namespace detail;
    Check((!whole && text.empty()) || (text.size() >= 2 && text.substr(text.size() - 2) == "\r\n"),
          "settings text does not end with CR LF");
    // Records seen per table, in order, and whether the ATIS sections came.
    std::array<int, 8> seen{};
    std::array<size_t, 8> sizes = {model.CHUSA.size(),   model.CHINT.size(), model.CHCAN.size(),
                                   model.CHWX.size(),    model.CHRG.size(),  model.CHMMSID.size(),
                                   model.CHGRPID.size(), model.CHEXP.size()};
    // The tables whose sections every file has, each from 0 or 1 to its fixed size.
    auto fixed = [](int table) { return table == 3 || table == 5 || table == 6; };
    bool atisSeen = false;
    bool first = whole;
    TableSection section;
    const ChannelRecord* record = nullptr;
    size_t start = 0;
    while (start < text.size()) {
        const size_t cr = text.find('\r', start);
        Check(cr != std::string_view::npos && cr + 1 < text.size() && text[cr + 1] == '\n',
              "settings text has a CR without LF");
        const std::string_view line = text.substr(start, cr - start);
        start = cr + 2;
        for (char c : line) {
            const auto b = static_cast<uint8_t>(c);
            Check(b != '\n', "settings text has an LF without CR");
            Check(Printable(b) || foreign[b], "settings text holds a byte its data did not hold");
        }
        if (first) {
            Check(line == "[MAIN]", "settings text does not start with [MAIN]");
            first = false;
            continue;
        }
        if (!line.empty() && line.front() == '[') {
            Check(line.back() == ']', "settings section header without ]");
            const std::string_view name = line.substr(1, line.size() - 2);
            if (name.starts_with("ATIS Setup")) {
                atisSeen = true;
            }
            section = TableOf(name);
            record = nullptr;
            if (section.table >= 0) {
                int& count = seen[static_cast<size_t>(section.table)];
                const int from = section.table == 3 ? 0 : 1;
                if (!whole && fixed(section.table)) {
                    count = section.number - from;  // the sections before may be left out
                }
                Check(section.number == count + from, "channel table sections out of order");
                Check(count >= 0 &&
                          static_cast<size_t>(count) < sizes[static_cast<size_t>(section.table)],
                      "more table sections than records");
                const ChannelTable* tables[] = {&model.CHUSA, &model.CHINT, &model.CHCAN,
                                                &model.CHWX,  &model.CHRG,  nullptr,
                                                nullptr,      &model.CHEXP};
                if (const ChannelTable* table = tables[section.table]) {
                    record = &(*table)[static_cast<size_t>(count)];
                }
                ++count;
            }
            continue;
        }
        const size_t eq = line.find('=');
        Check(eq != std::string_view::npos && eq > 0, "settings line is neither header nor key");
        const std::string_view key = line.substr(0, eq);
        const std::string_view value = line.substr(eq + 1);
        switch (KindOf(key)) {
            case ValueKind::Text:
                break;
            case ValueKind::Word:
                Check(value == "True" || value == "False", "word value is not True or False");
                break;
            case ValueKind::Flag:
                Check(value == "0" || value == "1", "flag value is not 0 or 1");
                break;
            case ValueKind::Int16:
                Check(InRange(value, std::numeric_limits<int16_t>::min(),
                              std::numeric_limits<int16_t>::max()),
                      "16-bit number is not plain decimal in range");
                if (record != nullptr && key == "Position") {
                    Check(PlainValue(value) == record->Position,
                          "Position differs from the record");
                }
                break;
            case ValueKind::Int32:
                Check(InRange(value, std::numeric_limits<int32_t>::min(),
                              std::numeric_limits<int32_t>::max()),
                      "32-bit number is not plain decimal in range");
                break;
            case ValueKind::Frequency:
                Check(PlainDecimal(value) && std::min(value.find('.'), value.size()) <= 3,
                      "frequency is not plain decimal below 1000");
                if (record != nullptr) {
                    Check(
                        RendersFrequency(value, key == "Rxfreq" ? record->Rxfreq : record->Txfreq),
                        "frequency differs from the record");
                }
                break;
            case ValueKind::ModelType:
                Check(PlainValue(value) == modelType, "MODELTYPE is not the model type");
                break;
            case ValueKind::Region:
                Check(InRange(value, 0, 5) || value == "255", "REGION is no region index");
                break;
        }
    }
    for (size_t t = 0; t < seen.size(); ++t) {
        if (!whole && fixed(static_cast<int>(t))) {
            continue;
        }
        const bool weather = t == 3;
        const size_t expected = weather ? std::min<size_t>(sizes[t], kWeatherChannels) : sizes[t];
        Check(static_cast<size_t>(seen[t]) == expected, "a table record has no section");
    }
    Check(atisSeen == atis || (!whole && !atisSeen),
          "ATIS sections written for a model without ATIS, or missing");
}

}  // namespace mrw::fuzz
