// Fields of the data model named by text, so that case tables in tests/data can set and read
// them: "Sog=2", "BeepOut=10001001" (one digit an element), "PriorityCH#1=7" (group 1),
// "CHUSA#0.Position=5"
// "BeepOut#4" (one element, when read) (record 0; #-1 is the last record), "CHEXP.size=65".
#pragma once

#include <algorithm>
#include <functional>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>

#include "core/text.h"
#include "model/model.h"

namespace mrw::testing {

template <size_t N>
void SetBools(std::array<bool, N>& a, const std::string& v) {
    for (size_t i = 0; i < v.size() && i < N; ++i) {
        a[i] = v[i] == '1';
    }
}

template <size_t N>
std::string Bools(const std::array<bool, N>& a, size_t n = N) {
    std::string s;
    for (size_t i = 0; i < n; ++i) {
        s += a[i] ? '1' : '0';
    }
    return s;
}

using Setter = std::function<void(DataModel&, int, const std::string&)>;
using Getter = std::function<std::string(const DataModel&, int)>;

inline ChannelTable& TableNamed(DataModel& m, const std::string& name) {
    return name == "CHUSA"   ? m.CHUSA
           : name == "CHINT" ? m.CHINT
           : name == "CHCAN" ? m.CHCAN
           : name == "CHEXP" ? m.CHEXP
                             : m.CHRG;
}

/// Sets the fields "key=value; key=value; ..." of `text`.
inline void SetFields(DataModel& m, const std::string& text) {
    auto i = [](const std::string& v) { return std::stoi(v); };
    auto& p = m.AutoPos.Records[1];
    const std::map<std::string, Setter> setters = {
        {"OffsetTime", [&](DataModel&, int, auto& v) { m.Common.OffsetTime = i(v); }},
        {"TimeDisplay", [&](DataModel&, int, auto& v) { m.Common.TimeDisplay = i(v); }},
        {"Format", [&](DataModel&, int, auto& v) { m.Common.Format = i(v); }},
        {"Scan", [&](DataModel&, int, auto& v) { m.Common.Scan = i(v); }},
        {"ResumeTime", [&](DataModel&, int, auto& v) { m.Common.ResumeTime = i(v); }},
        {"Sog", [&](DataModel&, int, auto& v) { m.Common.Sog = i(v); }},
        {"Distance", [&](DataModel&, int, auto& v) { m.Common.Distance = i(v); }},
        {"Weater", [&](DataModel&, int, auto& v) { m.Common.Weater = i(v); }},
        {"UsableAtis", [&](DataModel&, int, auto& v) { SetBools(m.Atis.UsableAtis, v); }},
        {"BeepOut", [&](DataModel&, int, auto& v) { SetBools(m.DscBasic.BeepOut, v); }},
        {"PosRequest", [&](DataModel&, int, auto& v) { SetBools(m.DscBasic.PosRequest, v); }},
        {"DscDisplay", [&](DataModel&, int, auto& v) { SetBools(m.DscDisplay, v); }},
        {"List", [&](DataModel&, int k, auto& v) { SetBools(m.DscAdvanced[k].List, v); }},
        {"Tx", [&](DataModel&, int k, auto& v) { SetBools(m.DscAdvanced[k].Tx, v); }},
        {"PriorityCH", [&](DataModel&, int k, auto& v) { m.Groups[k].PriorityCH = i(v); }},
        {"StatusName", [&](DataModel&, int k, auto& v) { m.Groups[k].StatusName = v; }},
        {"Usable", [&](DataModel&, int k, auto& v) { m.Groups[k].Usable = i(v); }},
        {"UserMmsi", [&](DataModel&, int, auto& v) { m.DscBasic.UserMmsi = v; }},
        {"AtisCode", [&](DataModel&, int, auto& v) { m.Atis.AtisCode = v; }},
        {"Mmsi", [&](DataModel&, int, auto& v) { p.Mmsi = v; }},
        {"Channel", [&](DataModel&, int, auto& v) { p.Channel = v; }},
        {"Interval", [&](DataModel&, int, auto& v) { p.Interval = v; }},
        {"MarineEnable", [&](DataModel&, int, auto& v) { p.MarineEnable = i(v); }},
        {"SelectCall", [&](DataModel&, int, auto& v) { p.SelectCall = i(v); }},
        {"LastAddress", [&](DataModel&, int, auto& v) { p.LastAddress = i(v); }},
    };
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find(';', at);
        end = end == std::string::npos ? text.size() : end;
        const std::string item = Trim(text.substr(at, end - at));
        at = end + 1;
        const size_t eq = item.find('=');
        std::string key = item.substr(0, eq);
        const std::string value = item.substr(eq + 1);
        const size_t dot = key.find('.');
        const size_t hash = key.find('#');
        if (dot != std::string::npos) {  // a channel table's record or size
            ChannelTable& t = TableNamed(m, key.substr(0, std::min(dot, hash)));
            const std::string field = key.substr(dot + 1);
            if (field == "size") {
                t.resize(static_cast<size_t>(i(value)));
                continue;
            }
            const int k = i(key.substr(hash + 1, dot - hash - 1));
            ChannelRecord& r = t.at(k < 0 ? t.size() - 1 : static_cast<size_t>(k));
            auto s = static_cast<int16_t>(field[0] == 'R' || field[0] == 'T' ? 0 : i(value));
            field == "Position"     ? void(r.Position = s)
            : field == "Duplex"     ? void(r.Duplex = s)
            : field == "StatusIcon" ? void(r.StatusIcon = s)
            : field == "StatusNo"   ? void(r.StatusNo = s)
            : field == "Scramble"   ? void(r.Scramble = s)
            : field == "Rxfreq"     ? void(r.Rxfreq = Val(value))
            : field == "Txfreq"     ? void(r.Txfreq = Val(value))
                                    : throw std::invalid_argument(key);
            continue;
        }
        const int k = hash == std::string::npos ? 0 : i(key.substr(hash + 1));
        setters.at(key.substr(0, hash))(m, k, value);
    }
}

/// The fields named by `keys` (separated by spaces), their texts separated by spaces.
inline std::string GetFields(const DataModel& m, const std::string& keys) {
    std::string out;
    std::istringstream in(keys);
    for (std::string key; in >> key;) {
        const size_t hash = key.find('#');
        const int k = hash == std::string::npos ? 0 : std::stoi(key.substr(hash + 1));
        const auto& g = m.Groups.at(static_cast<size_t>(std::min(k, 3)));
        const auto& p = m.AutoPos.Records[1];
        const std::map<std::string, std::string> values = {
            {"OffsetTime", std::to_string(m.Common.OffsetTime)},
            {"TimeDisplay", std::to_string(m.Common.TimeDisplay)},
            {"Format", std::to_string(m.Common.Format)},
            {"Scan", std::to_string(m.Common.Scan)},
            {"BeepOut", Bools(m.DscBasic.BeepOut)},
            {"UsableAtis", Bools(m.Atis.UsableAtis)},
            {"PosRequest", Bools(m.DscBasic.PosRequest, 1)},
            {"DscDisplay", Bools(m.DscDisplay)},
            {"PriorityCH", std::to_string(g.PriorityCH)},
            {"StatusName", g.StatusName},
            {"Channel", p.Channel},
            {"Interval", p.Interval},
            {"LastAddress", std::to_string(p.LastAddress)},
        };
        const std::string name = key.substr(0, hash);
        std::string v = values.at(name);
        if (hash != std::string::npos && name != "PriorityCH" && name != "StatusName") {
            v = v.substr(static_cast<size_t>(k), 1);  // one element of an array of flags
        }
        out += (out.empty() ? "" : " ") + v;
    }
    return out;
}

}  // namespace mrw::testing
