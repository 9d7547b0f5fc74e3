#include "edit/mmsi_info.h"

#include <algorithm>
#include <array>
#include <vector>

namespace mrw {

namespace {

struct MidRow {
    int mid;
    const char* country;
};

// Generated at configure time from data/mid.csv (the ITU's list); several rows may share a
// MID.
constexpr MidRow kMidRows[] = {
#include "mid_table.inc"
};

constexpr std::string_view kUnallocatedNote = " is not allocated \u2014 check the number";

int Digits(std::string_view text, size_t from, size_t count) {
    int value = 0;
    for (size_t i = from; i < from + count; ++i) {
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

/// The kinds of MMSI, told by their leading digits.
enum class Kind { Ship, Group, Coast, SarAircraft, Handheld, AidToNavigation, Craft, Device, Bad };

struct Parsed {
    Kind kind = Kind::Bad;
    int mid = 0;                  ///< 0 for the devices, which carry no MID
    std::string_view deviceName;  ///< for the devices
};

Parsed Parse(std::string_view n) {
    const char d0 = n[0];
    if (n.substr(0, 3) == "111") {
        return {Kind::SarAircraft, Digits(n, 3, 3), {}};
    }
    if (n.substr(0, 2) == "00") {
        return {Kind::Coast, Digits(n, 2, 3), {}};
    }
    if (d0 == '0') {
        return {Kind::Group, Digits(n, 1, 3), {}};
    }
    if (d0 >= '1' && d0 <= '7') {  // MIDs run from 201 to 775; a 1xx MID is none
        return {Kind::Ship, Digits(n, 0, 3), {}};
    }
    if (d0 == '8') {
        return {Kind::Handheld, Digits(n, 1, 3), {}};
    }
    if (n.substr(0, 2) == "99") {
        return {Kind::AidToNavigation, Digits(n, 2, 3), {}};
    }
    if (n.substr(0, 2) == "98") {
        return {Kind::Craft, Digits(n, 2, 3), {}};
    }
    if (n.substr(0, 3) == "970") {
        return {Kind::Device, 0, "AIS-SART"};
    }
    if (n.substr(0, 3) == "972") {
        return {Kind::Device, 0, "MOB device"};
    }
    if (n.substr(0, 3) == "974") {
        return {Kind::Device, 0, "EPIRB-AIS"};
    }
    return {};
}

const char* KindName(Kind kind) {
    switch (kind) {
        case Kind::Ship:
            return "Ship";
        case Kind::Group:
            return "Group call";
        case Kind::Coast:
            return "Coast station";
        case Kind::SarAircraft:
            return "SAR aircraft";
        case Kind::Handheld:
            return "Handheld radio";
        case Kind::AidToNavigation:
            return "Aid to navigation";
        case Kind::Craft:
            return "Craft of a parent ship";
        case Kind::Device:
        case Kind::Bad:
            break;
    }
    return "";
}

/// A warning about using a number of this kind here, or nothing.
std::optional<std::string> MisuseOf(Kind kind, MmsiUse use) {
    switch (use) {
        case MmsiUse::OwnShip:
            if (kind == Kind::Group) {
                return "A group MMSI cannot be the radio's own number";
            }
            if (kind != Kind::Ship && kind != Kind::Handheld) {
                return std::string("A radio's own MMSI must be a ship's, not a ") +
                       (kind == Kind::Device ? "device's" : "station of this kind");
            }
            return std::nullopt;
        case MmsiUse::Individual:
            if (kind == Kind::Group) {
                return "A group MMSI entered as an individual entry";
            }
            return std::nullopt;
        case MmsiUse::Group:
            if (kind != Kind::Group) {
                return "Not a group MMSI: a group MMSI starts with a single 0";
            }
            return std::nullopt;
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::string> MidCountry(int mid) {
    std::vector<std::string_view> names;
    for (const MidRow& row : kMidRows) {
        if (row.mid == mid) {
            names.emplace_back(row.country);
        }
    }
    if (names.empty()) {
        return std::nullopt;
    }
    // Territories sharing a MID ("Netherlands (Kingdom of the) - Curaçao", ...) are listed
    // after their common administration once.
    std::string text(names[0]);
    const size_t dash = text.find(" - ");
    const std::string_view common = dash == std::string::npos
                                        ? std::string_view()
                                        : std::string_view(names[0]).substr(0, dash + 3);
    for (size_t i = 1; i < names.size(); ++i) {
        const bool shared = !common.empty() && names[i].substr(0, common.size()) == common;
        text += " / ";
        text += shared ? names[i].substr(common.size()) : names[i];
    }
    return text;
}

std::string DescribeMmsi(std::string_view number, MmsiUse use) {
    std::string_view n = number;
    if (n.size() == 10 && n.back() == '0') {
        n.remove_suffix(1);  // the radio stores nine digits and a "0"
    }
    if (n.size() < 9) {
        return {};
    }
    if (n.size() > 9 ||
        !std::all_of(n.begin(), n.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return "Not an MMSI: an MMSI has nine digits";
    }
    const Parsed parsed = Parse(n);
    if (parsed.kind == Kind::Bad) {
        return "Not an MMSI: no station's number starts with " + std::string(n.substr(0, 3));
    }
    if (std::optional<std::string> misuse = MisuseOf(parsed.kind, use)) {
        return *misuse;
    }
    if (parsed.kind == Kind::Device) {
        return std::string(parsed.deviceName) + " (a distress device, not a radio)";
    }
    std::optional<std::string> country = MidCountry(parsed.mid);
    if (!country) {
        return "MID " + std::to_string(parsed.mid) + std::string(kUnallocatedNote);
    }
    return std::string(KindName(parsed.kind)) + ", " + *country;
}

}  // namespace mrw
