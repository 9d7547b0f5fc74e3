#include "edit/setup_lists.h"

#include <array>
#include <type_traits>
#include <utility>

#include "edit/control_hint.h"
#include "edit/edit.h"
#include "files/file_only.h"
#include "image/image.h"
#include "model/settings_keys.h"

namespace mrw {

namespace {

// The radio holds "no priority channel" as 0xFFFF.
constexpr int32_t kNoPriority = 0xFFFF;

constexpr const char* kCheckHint = "[Space]:An effective and invalid change.";
constexpr const char* kListHint = "[Up]/[Down]:Change of a Selection item.";

// A list of fixed items.
std::function<ItemList(const DataModel&)> Fixed(ItemList items) {
    return [items = std::move(items)](const DataModel&) { return items; };
}

ItemList Texts(std::initializer_list<const char*> texts) {
    ItemList items;
    for (const char* text : texts) {
        items.push_back({text, static_cast<int>(items.size())});
    }
    return items;
}

// A Boolean setting element shown by a two-item list: False is the first item.
template <typename Get>
SettingList BoolList(std::string name, std::string caption, std::string what, ItemList items,
                     Get get) {
    SettingList list;
    list.objectName = std::move(name);
    list.caption = std::move(caption);
    list.what = std::move(what);
    list.items = Fixed(items);
    list.read = [get](const DataModel& m) -> std::optional<int> { return get(m) ? 1 : 0; };
    const int falseValue = items.front().value;
    list.write = [get, falseValue](DataModel& m, int value) { get(m) = value != falseValue; };
    return list;
}

// An integer setting element stored as the item value.
template <typename Get>
SettingList ValueList(std::string name, std::string caption, ItemList items, Get get) {
    SettingList list;
    list.objectName = std::move(name);
    list.what = caption;
    list.caption = std::move(caption);
    list.items = Fixed(std::move(items));
    list.read = [get](const DataModel& m) -> std::optional<int> { return get(m); };
    list.write = [get](DataModel& m, int value) {
        get(m) = static_cast<std::remove_reference_t<decltype(get(m))>>(value);
    };
    return list;
}

/// The index of an indexed control name ("2" of "chkUsable_2"); nothing when it is not one.
std::optional<int> ParseIndex(std::string_view text) {
    if (text.empty() || text.size() > 3) {
        return std::nullopt;
    }
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
    }
    return value;
}

std::string Element(const std::string& name, int i) {
    return name + "_" + std::to_string(i);
}

const ChannelTable& StandardTable(const DataModel& m, int group) {
    switch (group) {
        case 1:
            return m.CHINT;
        case 2:
            return m.CHCAN;
        default:
            return m.CHUSA;
    }
}

template <typename Get>
SettingCheck Check(std::string name, std::string caption, std::string what, Get get) {
    SettingCheck check;
    check.objectName = std::move(name);
    check.caption = std::move(caption);
    check.what = std::move(what);
    check.read = [get](const DataModel& m) { return get(m); };
    check.write = [get](DataModel& m, bool on) { get(m) = on; };
    return check;
}

}  // namespace

// ---- Items -----------------------------------------------------------------------------------

ItemList WithStoredValue(ItemList items, std::optional<int> stored,
                         const std::string& foreignText) {
    if (stored && IndexOfValue(items, *stored) < 0) {
        items.push_back(
            {foreignText.empty() ? "value " + std::to_string(*stored) : foreignText, *stored});
    }
    return items;
}

ListView ViewOf(ItemList items, std::optional<int> stored, const std::string& foreignText) {
    ListView view;
    view.items = WithStoredValue(std::move(items), stored, foreignText);
    view.selected = stored ? IndexOfValue(view.items, *stored) : -1;
    return view;
}

ItemList OffOnItems() {
    return Texts({"Off", "On"});
}

ItemList LowHiItems() {
    return Texts({"Low", "Hi"});
}

ItemList TimeOffsetItems() {
    ItemList items;
    const std::vector<std::string>& texts = TimeOffsetList();
    for (size_t k = 0; k < texts.size(); ++k) {
        items.push_back({texts[k], static_cast<int>(k) - 24});
    }
    return items;
}

// ---- Lists -----------------------------------------------------------------------------------

ListView ViewList(const SettingList& list, const DataModel& model) {
    const std::optional<int> stored = list.read(model);
    return ViewOf(list.items(model), stored,
                  stored && list.storedText ? list.storedText(model, *stored) : std::string());
}

bool EnablesFollow(const ListView& view, int index) {
    return index > 0 && index < static_cast<int>(view.items.size());
}

bool StoreListChoice(Config& config, const SettingList& list, const ListView& view, int index) {
    if (index < 0 || index >= static_cast<int>(view.items.size())) {
        return false;
    }
    const int value = view.items[static_cast<size_t>(index)].value;
    return EditModel(config, list.what, [&](DataModel& m) { list.write(m, value); });
}

SettingList PriorityList(int group) {
    SettingList list;
    list.objectName = Element("cmbUsablePri", group);
    list.caption = "Priority CH";
    list.what = std::string("Priority CH of ") + kGroupNames[static_cast<size_t>(group)];
    list.items = [group](const DataModel& m) {
        ItemList items;
        if (group < 0 || group > 2) {
            return items;
        }
        const ChannelTable& table = StandardTable(m, group);
        for (size_t r = 0; r < table.size(); ++r) {
            if (table[r].Enable) {
                items.push_back({ChannelLabel(table[r]), static_cast<int>(r) + 1});
            }
        }
        return items;
    };
    list.read = [group](const DataModel& m) -> std::optional<int> {
        const int32_t value = m.Groups[static_cast<size_t>(group)].PriorityCH;
        if (group > 2 || value < 0 || value == kNoPriority) {
            return std::nullopt;
        }
        return value;
    };
    list.write = [group](DataModel& m, int value) {
        m.Groups[static_cast<size_t>(group)].PriorityCH = value;
    };
    // A channel of the table that is not enabled is still named by its own label.
    list.storedText = [group](const DataModel& m, int value) {
        const ChannelTable& table = StandardTable(m, group);
        return value >= 1 && value <= static_cast<int>(table.size())
                   ? ChannelLabel(table[static_cast<size_t>(value - 1)])
                   : std::string();
    };
    return list;
}

std::vector<SettingList> CommonLists() {
    const ItemList offOn = OffOnItems();
    std::vector<SettingList> lists;
    lists.push_back(ValueList(
        "cmbCommonTXPo", "TX Power", Texts({"Lo Po Only", "Lo Po on Changing CH", "Last TX Po"}),
        [](auto& m) -> auto& { return m.Common.TxPowerMode; }));
    lists.push_back(BoolList(
        "cmbCommonScan", "SCAN", "SCAN", offOn, [](auto& m) -> auto& { return m.Common.Scan; }));
    lists.back().enables = {"lblCommonResume", "cmbCommonResume", "lblCommonPTTSCAN",
                            "cmbCommonPTTSCAN", "linScan"};
    lists.push_back(ValueList(
        "cmbCommonResume", "Resume Time", Texts({"Off", "1Sec", "2Sec", "3Sec", "4Sec", "5Sec"}),
        [](auto& m) -> auto& { return m.Common.ResumeTime; }));
    lists.push_back(BoolList(
        "cmbCommonPTTSCAN", "PTT SCAN Clear", "PTT SCAN Clear", offOn,
        [](auto& m) -> auto& { return m.Common.PttScanClear; }));
    lists.push_back(BoolList(
        "cmbCommonDual", "Dual Watch", "Dual Watch", offOn,
        [](auto& m) -> auto& { return m.Common.DualWatch; }));
    lists.push_back(BoolList(
        "cmbCommonTimedisplay", "Time Display", "Time Display", Texts({"UTC", "Local"}),
        [](auto& m) -> auto& { return m.Common.TimeDisplay; }));
    lists.push_back(ValueList(
        "cmbCommonOffset", "Offset Time", TimeOffsetItems(),
        [](auto& m) -> auto& { return m.Common.OffsetTime; }));
    lists.push_back(BoolList(
        "cmbCommonFormat", "Format", "Format", Texts({"12H", "24H"}),
        [](auto& m) -> auto& { return m.Common.Format; }));
    lists.push_back(ValueList(
        "cmbCommonWeater", "Weather Alert", {{"Off", 0}, {"On", 3}},
        [](auto& m) -> auto& { return m.Common.Weater; }));
    lists.push_back(ValueList(
        "cmbCommonSOG", "SOG", Texts({"KTS", "MPH", "KMH"}),
        [](auto& m) -> auto& { return m.Common.Sog; }));
    lists.push_back(ValueList(
        "cmbCommonDistance", "Distance", Texts({"Nm", "Sm", "Km"}),
        [](auto& m) -> auto& { return m.Common.Distance; }));
    return lists;
}

std::vector<SettingList> DscLists() {
    const ItemList offOn = OffOnItems();
    const ItemList lowHi = LowHiItems();
    std::vector<SettingList> lists;

    static constexpr std::array<const char*, 3> kGroups = {"Group1", "Group2", "Group3"};
    for (size_t g = 0; g < kGroups.size(); ++g) {
        lists.push_back(BoolList(
            Element("cmbUsableDsc", static_cast<int>(g)), kGroups[g],
            std::string("Usable DSC CH Group ") + kGroups[g],
            offOn, [g](auto& m) -> auto& { return m.DscBasic.UsableDsc[g]; }));
    }

    static constexpr std::array<const char*, 4> kPosRows = {"Distress Cancel Call", "Standby Mode",
                                                            "POS Request", "POS Reporting"};
    for (size_t i = 0; i < kPosRows.size(); ++i) {
        const int n = static_cast<int>(i);
        lists.push_back(BoolList(
            Element("cmbUsableDscPosRequest", n), kPosRows[i], kPosRows[i],
            offOn, [i](auto& m) -> auto& { return m.DscBasic.PosRequest[i]; }));
        lists.back().enables = {Element("cmbUsableDscPosRequestTX", n)};
        lists.push_back(BoolList(
            Element("cmbUsableDscPosRequestTX", n), kPosRows[i], std::string(kPosRows[i]) + " TX",
            lowHi, [i](auto& m) -> auto& { return m.DscBasic.PosRequestTx[i]; }));
    }

    static constexpr std::array<const char*, 8> kBeeps = {
        "Send Distress Alert", "Received All Ships",   "Received Individual",    "Received Group",
        "Received Geographic", "Received POS Request", "Received POS Reporting", "POS Reporting"};
    for (size_t i = 0; i < kBeeps.size(); ++i) {
        lists.push_back(BoolList(
            Element("cmbUsableDscBeepOut", static_cast<int>(i)), kBeeps[i],
            std::string("Beep ") + kBeeps[i],
            offOn, [i](auto& m) -> auto& { return m.DscBasic.BeepOut[i]; }));
    }

    static constexpr std::array<const char*, kDscCallTypes> kCallLists = {
        "cmbUsableDscAllShipsCall", "cmbUsableDscGroupCall", "cmbUsableDscIndividualCall",
        "cmbUsablePosReqCall",      "cmbUsablePosRepCall",   "cmbUsableTestCall"};
    static constexpr std::array<const char*, 4> kCategories = {"Distress", "Urgency", "Safety",
                                                               "Routine"};
    for (size_t t = 0; t < kCallLists.size(); ++t) {
        const std::string base = kCallLists[t];
        const std::string type = kDscCallTypeNames[t];
        for (size_t j = 0; j < kCategories.size(); ++j) {
            const int n = static_cast<int>(j);
            lists.push_back(BoolList(
                Element(base, n), kCategories[j], type + " " + kCategories[j], offOn,
                [ t, j ](auto& m) -> auto& { return m.DscAdvanced[t].List[j]; }));
            lists.back().enables = {Element(base + "TX", n)};
        }
        for (size_t j = 0; j < kCategories.size(); ++j) {
            lists.push_back(BoolList(
                Element(base + "TX", static_cast<int>(j)), kCategories[j],
                type + " TX " + kCategories[j], lowHi,
                [ t, j ](auto& m) -> auto& { return m.DscAdvanced[t].Tx[j]; }));
        }
    }

    static constexpr std::array<const char*, 3> kDisplay = {
        "Individual Reply Menu", "Individual ACK Menu", "POS Request Reply Menu"};
    for (size_t i = 0; i < kDisplay.size(); ++i) {
        lists.push_back(BoolList(
            Element("cmbDscDisplay", static_cast<int>(i)), kDisplay[i], kDisplay[i],
            offOn, [i](auto& m) -> auto& { return m.DscDisplay[i]; }));
    }
    lists.push_back(BoolList(
        "cmbUsableDscAutoPosMenu", "Auto POS Menu", "MENUDISPLAY", offOn,
        [](auto& m) -> auto& { return m.AutoPos.MenuDisplay; }));
    return lists;
}

// ---- Check boxes -----------------------------------------------------------------------------

std::vector<SettingCheck> UsableChecks() {
    static constexpr std::array<const char*, kChannelGroups> kCaptions = {"Group1", "Group2",
                                                                          "Group3", "EXP CH Group"};
    std::vector<SettingCheck> checks;
    for (size_t g = 0; g < kCaptions.size(); ++g) {
        SettingCheck check;
        check.objectName = Element("chkUsable", static_cast<int>(g));
        check.caption = kCaptions[g];
        check.what = kGroupNames[g];
        check.read = [g](const DataModel& m) { return m.Groups[g].Usable; };
        check.write = [g](DataModel& m, bool on) {
            m.Groups[g].Usable = on;
            if (!on && g < m.Groups[3].ExpChGroup.size()) {
                m.Groups[3].ExpChGroup[g] = false;
            }
        };
        checks.push_back(std::move(check));
    }
    for (size_t j = 0; j < 3; ++j) {
        checks.push_back(Check(
            Element("chkEXP", static_cast<int>(j)), "",
            "Exp Ch Group " + std::to_string(j + 1), [j](auto& m) -> auto& {
                return m.Groups[3].ExpChGroup[j];
            }));
    }
    return checks;
}

std::vector<SettingCheck> AtisChecks() {
    // The captions name the groups as the tree does (ChannelGroupCaption): they follow the
    // status names, and which channel plan each group holds depends on the region.
    std::vector<SettingCheck> checks;
    for (size_t g = 0; g < kChannelGroups; ++g) {
        checks.push_back(Check(
            Element("chkATISChGroup", static_cast<int>(g)), "",
            std::string("Usable ATIS CH Group ") + kGroupNames[g], [g](auto& m) -> auto& {
                return m.Atis.UsableAtis[g];
            }));
    }
    for (size_t g = 0; g < kChannelGroups; ++g) {
        checks.push_back(Check(
            Element("chkATISKiller", static_cast<int>(g)), "",
            std::string("Usable ATIS Killer CH Group ") + kGroupNames[g], [g](auto& m) -> auto& {
                return m.Atis.UsableKikker[g];
            }));
    }
    return checks;
}

std::vector<SettingCheck> AutoPosChecks(int frame) {
    const size_t f = static_cast<size_t>(frame);
    const std::string record = frame == 0 ? "Auto POS Report " : "Auto POS Request ";
    return {
        Check(
            Element("chkUsableDscAutoPosRequest", frame), "Enable",
            record + "ENABLE", [f](auto& m) -> auto& { return m.AutoPos.Records[f].Enable; }),
        Check(
            Element("chkUsableDscAutoPosRequestRemote", frame), "Remote Control",
            record + "RCENABLE", [f](auto& m) -> auto& { return m.AutoPos.Records[f].RcEnable; })};
}

bool StoreCheck(Config& config, const SettingCheck& check, bool checked) {
    return EditModel(config, check.what, [&](DataModel& m) { check.write(m, checked); });
}

std::string ExpGroupCaption(const DataModel& model, int j) {
    std::string caption = "Group" + std::to_string(j + 1);
    const std::string& name = model.Groups[static_cast<size_t>(j)].StatusName;
    if (!name.empty()) {
        caption += "[" + name + "]";
    }
    return caption;
}

// ---- Hints -----------------------------------------------------------------------------------

namespace {

/// How a control's index ("_2") names its element's key.
enum class KeyIndex {
    None,       ///< the control is one element: the key as it is
    Appended,   ///< the key followed by the index ("Priority CH2")
    GroupName,  ///< the name of channel group `index` ("Group2")
};

/// The settings-file key a setup control shows.
struct ControlKey {
    std::string_view control;
    const char* section;
    const char* key;
    KeyIndex index;
};

constexpr std::array<ControlKey, 22> kControlKeys = {{
    {"chkUsable", kGroupSection, "", KeyIndex::GroupName},
    {"txtUsable", kGroupSection, "Status name", KeyIndex::Appended},
    {"cmbUsablePri", kGroupSection, "Priority CH", KeyIndex::Appended},
    {"chkEXP", kGroupSection, "Exp Ch Group", KeyIndex::Appended},
    {"cmbUsableDsc", kDscBasicSection, "", KeyIndex::GroupName},
    {"txtUserMMSI", kDscBasicSection, "User MMSI", KeyIndex::None},
    {"cmbUsableDscPosRequest", kDscBasicSection, "PosRequest", KeyIndex::Appended},
    {"cmbUsableDscPosRequestTX", kDscBasicSection, "PosRequestTX", KeyIndex::Appended},
    {"cmbUsableDscBeepOut", kDscBasicSection, "BeepOut", KeyIndex::Appended},
    {"cmbUsableDscAutoPosMenu", kAutoPosSection, "MENUDISPLAY", KeyIndex::None},
    {"chkUsableDscAutoPosRequest", kAutoPosSection, "ENABLE", KeyIndex::Appended},
    {"chkUsableDscAutoPosRequestRemote", kAutoPosSection, "RCENABLE", KeyIndex::Appended},
    {"cmbUsableDscAutoPosRequestMarine", kAutoPosSection, "MARINE ENABLE", KeyIndex::Appended},
    {"cmbUsableDscAutoPosRequestChannel", kAutoPosSection, "CHANNEL", KeyIndex::Appended},
    {"cmbUsableDscAutoPosRequestInterval", kAutoPosSection, "INTERVAL", KeyIndex::Appended},
    {"cmbUsableDscAutoPosRequestSelectCall", kAutoPosSection, "SELECTCALL", KeyIndex::Appended},
    {"cmbUsableDscAutoPosRequestSCDirName", kAutoPosSection, "LASTADDRESS", KeyIndex::Appended},
    {"cmbUsableDscAutoPosMMSI", kAutoPosSection, "MMSI", KeyIndex::Appended},
    {"txtAutoPosMMSI", kAutoPosSection, "MMSI", KeyIndex::Appended},
    {"txtATIScode", kAtisCommonSection, "Atis Code", KeyIndex::None},
    {"chkATISChGroup", kAtisCommonSection, "Usable ATIS CH Group", KeyIndex::Appended},
    {"chkATISKiller", kAtisCommonSection, "Usable ATIS Kikker CH Group", KeyIndex::Appended},
}};

/// True when the control shows a setting that programming does not carry into the radio.
bool ShowsKeptInFileOnly(std::string_view objectName) {
    const size_t underscore = objectName.find('_');
    const std::string_view base = objectName.substr(0, underscore);
    const std::string_view indexText = underscore == std::string_view::npos
                                           ? std::string_view()
                                           : objectName.substr(underscore + 1);
    for (const ControlKey& row : kControlKeys) {
        if (row.control != base) {
            continue;
        }
        if (row.index == KeyIndex::None) {
            return IsKeptInFileOnly(row.section, row.key);
        }
        const std::optional<int> index = ParseIndex(indexText);
        if (!index) {
            return false;
        }
        if (row.index == KeyIndex::Appended) {
            return IsKeptInFileOnly(row.section, std::string(row.key) + std::to_string(*index));
        }
        return *index < kChannelGroups &&
               IsKeptInFileOnly(row.section, kGroupNames[static_cast<size_t>(*index)]);
    }
    return false;
}

}  // namespace

std::string SetupControlHint(std::string_view objectName) {
    static constexpr std::array<ControlHint, 14> kHints = {{
        {"chkATISChGroup", kCheckHint},
        {"chkATISKiller", kCheckHint},
        {"chkEXP", kCheckHint},
        {"chkUsable", kCheckHint},
        {"chkUsableDscAutoPosCCH", kCheckHint},
        {"chkUsableDscAutoPosRequest", kCheckHint},
        {"chkUsableDscAutoPosRequestRemote", kCheckHint},
        {"txtUsable", "max 4 charactors."},
        {"txtUserMMSI", "Numeric Only. Indispensable 9 figures."},
        {"txtAutoPosMMSI", "Numeric Only. Indispensable 9 figures."},
        {"txtATIScode", "Numeric Only. Indispensable 10 figures."},
        {"cmdFClear", "A Click Inicializes the number of User MMSI setting permission"},
        {"cmdAtisClear", "A Click Inicializes the number of Atis setting permission"},
        {"cmdFclearLog", "A Click Inicializes the log"},
    }};
    std::string hint = FindControlHint(kHints, objectName);
    // Every drop-down list of the setup panels has the same hint.
    if (hint.empty() && objectName.starts_with("cmb")) {
        hint = kListHint;
    }
    if (ShowsKeptInFileOnly(objectName)) {
        hint += hint.empty() ? kKeptInFileHint : std::string(" ") + kKeptInFileHint;
    }
    return hint;
}

}  // namespace mrw
