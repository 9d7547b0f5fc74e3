#include "model/settings_keys.h"

#include <array>
#include <string_view>

namespace mrw {

namespace {

constexpr std::array<const char*, 3> kDscDisplayNames = {
    "Individual Reply Menu", "Individual ACK Menu", "POS Request Reply Menu"};

std::string Indexed(std::string_view key, int index) {
    return std::string(key) + std::to_string(index);
}

// What the radio's fields hold, as a radio or an erased image may hold them (a byte of 255
// where a list offers a few entries): a byte; a priority channel of 16 bits, written as its
// absolute value; an offset in half hours as its five bits and sign hold it (31 from an erased
// byte, which programming clamps to 24); a channel reference of 15 bits.
constexpr ValueRange kByteRange{0, 255};
constexpr ValueRange kPriorityRange{-65535, 65535};
constexpr ValueRange kOffsetRange{-31, 31};
constexpr ValueRange kChannelRange{0, 32767};

size_t At(int i) {
    return static_cast<size_t>(i);
}

std::vector<SetupKey> BuildKeys() {
    std::vector<SetupKey> keys;
    const char* section = nullptr;
    bool atisOnly = false;
    auto add = [&](std::string key, KeyForm form, std::function<FieldRef(DataModel&)> field,
                   ValueRange range = {0, 0}) {
        keys.push_back({section, std::move(key), form, atisOnly, std::move(field), range});
    };
    using F = KeyForm;

    section = kGroupSection;
    for (int i = 0; i < kChannelGroups; ++i) {
        add(kGroupNames[At(i)], F::Flag, [i](DataModel& m) { return &m.Groups[At(i)].Usable; });
    }
    // Written whole: an erased image decodes to 65535, which must survive a save and open.
    for (int i = 0; i < kChannelGroups; ++i) {
        add(
            Indexed("Priority CH", i), F::Number,
            [i](DataModel& m) { return &m.Groups[At(i)].PriorityCH; }, kPriorityRange);
    }
    for (int i = 0; i < kChannelGroups; ++i) {
        add(Indexed("Status name", i), F::Text,
            [i](DataModel& m) { return &m.Groups[At(i)].StatusName; });
    }
    for (int j = 0; j < 3; ++j) {
        add(Indexed("Exp Ch Group", j), F::Word,
            [j](DataModel& m) { return &m.Groups[3].ExpChGroup[At(j)]; });
    }

    section = kCommonSection;
    add("SCAN", F::Flag, [](DataModel& m) { return &m.Common.Scan; });
    add(
        "Resume Time", F::Number, [](DataModel& m) { return &m.Common.ResumeTime; }, kByteRange);
    add("PTT SCAN Clear", F::Flag, [](DataModel& m) { return &m.Common.PttScanClear; });
    add("Dual Watch", F::Flag, [](DataModel& m) { return &m.Common.DualWatch; });
    add(
        "Offset Time", F::Number, [](DataModel& m) { return &m.Common.OffsetTime; }, kOffsetRange);
    add("Time Display", F::Flag, [](DataModel& m) { return &m.Common.TimeDisplay; });
    add("Format", F::Flag, [](DataModel& m) { return &m.Common.Format; });
    add(
        "Weater", F::Number, [](DataModel& m) { return &m.Common.Weater; }, kByteRange);
    add(
        "SOG", F::Number, [](DataModel& m) { return &m.Common.Sog; }, kByteRange);
    add(
        "Distance", F::Number, [](DataModel& m) { return &m.Common.Distance; }, kByteRange);

    section = kDscBasicSection;
    for (int i = 0; i < 3; ++i) {
        add(kGroupNames[At(i)], F::Flag,
            [i](DataModel& m) { return &m.DscBasic.UsableDsc[At(i)]; });
    }
    add("User MMSI", F::MarkedText, [](DataModel& m) { return &m.DscBasic.UserMmsi; });
    for (int i = 0; i < 4; ++i) {
        add(Indexed("PosRequest", i), F::Flag,
            [i](DataModel& m) { return &m.DscBasic.PosRequest[At(i)]; });
        add(Indexed("PosRequestTX", i), F::Flag,
            [i](DataModel& m) { return &m.DscBasic.PosRequestTx[At(i)]; });
    }
    for (int i = 0; i < 8; ++i) {
        add(Indexed("BeepOut", i), F::Flag,
            [i](DataModel& m) { return &m.DscBasic.BeepOut[At(i)]; });
    }

    section = kDscAdvancedSection;
    for (int t = 0; t < kDscCallTypes; ++t) {
        const std::string name = kDscCallTypeNames[At(t)];
        for (int i = 0; i < 4; ++i) {
            add(Indexed(name, i), F::Flag,
                [t, i](DataModel& m) { return &m.DscAdvanced[At(t)].List[At(i)]; });
            add(Indexed(name + "TX", i), F::Flag,
                [t, i](DataModel& m) { return &m.DscAdvanced[At(t)].Tx[At(i)]; });
        }
    }

    section = kDscDisplaySection;
    for (int i = 0; i < 3; ++i) {
        add(kDscDisplayNames[At(i)], F::Flag, [i](DataModel& m) { return &m.DscDisplay[At(i)]; });
    }

    section = kAutoPosSection;
    add("MENUDISPLAY", F::LeadingFlag, [](DataModel& m) { return &m.AutoPos.MenuDisplay; });
    for (int i = 0; i < 2; ++i) {
        auto record = [i](DataModel& m) -> AutoPosRecord& { return m.AutoPos.Records[At(i)]; };
        add(Indexed("ENABLE", i), F::LeadingFlag,
            [record](DataModel& m) { return &record(m).Enable; });
        add(
            Indexed("MARINE ENABLE", i), F::Number,
            [record](DataModel& m) { return &record(m).MarineEnable; }, kByteRange);
        add(
            Indexed("CHANNEL", i), F::NumberText,
            [record](DataModel& m) { return &record(m).Channel; }, kChannelRange);
        add(
            Indexed("INTERVAL", i), F::NumberText,
            [record](DataModel& m) { return &record(m).Interval; }, kByteRange);
        add(
            Indexed("SELECTCALL", i), F::Number,
            [record](DataModel& m) { return &record(m).SelectCall; }, kByteRange);
        add(
            Indexed("LASTADDRESS", i), F::Number,
            [record](DataModel& m) { return &record(m).LastAddress; }, kByteRange);
        add(Indexed("RCENABLE", i), F::LeadingFlag,
            [record](DataModel& m) { return &record(m).RcEnable; });
        add(Indexed("MMSI", i), F::Text, [record](DataModel& m) { return &record(m).Mmsi; });
    }

    atisOnly = true;
    section = kAtisCommonSection;
    for (int i = 0; i < 4; ++i) {
        add(Indexed("Usable ATIS CH Group", i), F::Flag,
            [i](DataModel& m) { return &m.Atis.UsableAtis[At(i)]; });
    }
    add("Atis Code", F::MarkedText, [](DataModel& m) { return &m.Atis.AtisCode; });
    for (int i = 0; i < 4; ++i) {
        add(Indexed("Usable ATIS Kikker CH Group", i), F::Flag,
            [i](DataModel& m) { return &m.Atis.UsableKikker[At(i)]; });
    }

    section = kAtisCallSignSection;
    for (int i = 1; i <= kCallSignEntries; ++i) {
        add(Indexed("MID", i), F::Text, [i](DataModel& m) { return &m.CallSigns[At(i - 1)].Mid; });
        add(Indexed("DISP", i), F::Text,
            [i](DataModel& m) { return &m.CallSigns[At(i - 1)].Disp; });
    }
    return keys;
}

}  // namespace

const std::vector<SetupKey>& SetupKeys() {
    static const std::vector<SetupKey> keys = BuildKeys();
    return keys;
}

}  // namespace mrw
