// Fields of the data model named by text, so that case tables in tests/data can set and read
// them: "Sog=2", "BeepOut=10001001" (one digit an element), "PriorityCH#1=7" (group 1),
// "CHUSA#0.Position=5", "CHWX#3.Enable=1", "CHEXP#0.ChTag=M1" (record 0; #-1 is the last
// record), "CHEXP.size=65"; "BeepOut#4" (one element, when read).
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
    const std::map<std::string, ChannelTable*> tables = {{"CHUSA", &m.CHUSA}, {"CHINT", &m.CHINT},
                                                         {"CHCAN", &m.CHCAN}, {"CHEXP", &m.CHEXP},
                                                         {"CHRG", &m.CHRG},   {"CHWX", &m.CHWX}};
    const std::map<std::string, int16_t ChannelRecord::*> shorts = {
        {"Position", &ChannelRecord::Position},
        {"Duplex", &ChannelRecord::Duplex},
        {"StatusIcon", &ChannelRecord::StatusIcon},
        {"StatusNo", &ChannelRecord::StatusNo},
        {"Scramble", &ChannelRecord::Scramble}};
    const std::map<std::string, bool ChannelRecord::*> flags = {
        {"Enable", &ChannelRecord::Enable},        {"ScanMemory", &ChannelRecord::ScanMemory},
        {"TxEnable", &ChannelRecord::TxEnable},    {"LowPower", &ChannelRecord::LowPower},
        {"PowUp", &ChannelRecord::PowUp},          {"InterShipCH", &ChannelRecord::InterShipCH},
        {"ScrambleOn", &ChannelRecord::ScrambleOn}};
    std::istringstream items(text);
    for (std::string item; std::getline(items, item, ';');) {
        const std::string key = Trim(item.substr(0, item.find('=')));
        const std::string value = Trim(item.substr(item.find('=') + 1));
        const size_t dot = key.find('.');
        const size_t hash = key.find('#');
        const int k = hash == std::string::npos ? 0 : i(key.substr(hash + 1, dot - hash - 1));
        if (dot == std::string::npos) {
            setters.at(key.substr(0, hash))(m, k, value);
            continue;
        }
        ChannelTable& t =
            *tables.at(key.substr(0, std::min(dot, hash)));  // a table's record or size
        const std::string field = key.substr(dot + 1);
        if (field == "size") {
            t.resize(static_cast<size_t>(i(value)));
            continue;
        }
        ChannelRecord& r = t.at(k < 0 ? t.size() - 1 : static_cast<size_t>(k));
        if (field == "Rxfreq" || field == "Txfreq") {
            (field == "Rxfreq" ? r.Rxfreq : r.Txfreq) = Val(value);
        } else if (field == "ChTag" || field == "CHDisplayL") {
            (field == "ChTag" ? r.ChTag : r.CHDisplayL) = value;
        } else if (field == "ExpCB") {
            SetBools(r.ExpCB, value);
        } else if (flags.count(field)) {
            r.*flags.at(field) = value == "1";
        } else {
            r.*shorts.at(field) = static_cast<int16_t>(i(value));
        }
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
