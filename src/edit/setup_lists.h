// What the setup panels offer, as data: each drop-down list and check box with the setting
// element it shows and stores, the items of the lists with the value each stores, the
// captions that follow the data model, the characters the entry boxes take and the hints.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/config.h"
#include "edit/channel_lists.h"
#include "model/model.h"

namespace mrw {

/// What a drop-down list shows: its items and the index of the selected one (-1 for none).
struct ListView {
    ItemList items;
    int selected = -1;

    bool operator==(const ListView&) const = default;
};

/// The items with one more for a `stored` value that none of them carries ("value 7", or
/// `foreignText` when given), so that a value from a radio or a file is shown and kept until
/// the user picks another. Nothing stored (no value) adds nothing.
ItemList WithStoredValue(ItemList items, std::optional<int> stored,
                         const std::string& foreignText = {});
/// The list view of `items` with the stored value selected (added by WithStoredValue when no
/// item carries it); nothing stored selects nothing.
ListView ViewOf(ItemList items, std::optional<int> stored, const std::string& foreignText = {});

/// "Off" 0 / "On" 1 and "Low" 0 / "Hi" 1: a Boolean stores True for any item but the first.
ItemList OffOnItems();
ItemList LowHiItems();
/// The 49 items of cmbCommonOffset: TimeOffsetList text k carrying k - 24 half hours.
ItemList TimeOffsetItems();

/// A drop-down list of a setup panel bound to one setting element.
struct SettingList {
    std::string objectName;  ///< "cmbCommonResume", "cmbUsableDscGroupCall_2".
    std::string caption;     ///< The row or column caption ("Resume Time", "Safety").
    std::string what;        ///< The setting, for the user ("Resume Time", "Group Call Safety").
    /// The items it offers for the configuration.
    std::function<ItemList(const DataModel&)> items;
    /// The stored value as an item value; nothing when it names no item (no priority channel).
    std::function<std::optional<int>(const DataModel&)> read;
    /// Stores an item value.
    std::function<void(DataModel&, int)> write;
    /// The text of a stored value that no item carries, when it names something ("value N"
    /// otherwise); may be empty.
    std::function<std::string(const DataModel&, int)> storedText;
    /// Controls (objectNames) enabled exactly while the list shows another item than its
    /// first: the TX list of a call list, the Resume Time and PTT SCAN Clear rows of SCAN.
    std::vector<std::string> enables;
};

/// What the list shows for the configuration.
ListView ViewList(const SettingList& list, const DataModel& model);
/// True when the controls of `list.enables` are enabled for the shown item `index`.
bool EnablesFollow(const ListView& view, int index);
/// The user picked item `index` of `view`: its value is stored through EditModel. False when
/// nothing was stored (no such item, or the program is filling its controls).
bool StoreListChoice(Config& config, const SettingList& list, const ListView& view, int index);

/// cmbUsablePri(g): one item per enabled record of CHUSA, CHINT or CHCAN (g = 0, 1, 2),
/// ChannelLabel as text and the record index + 1 as value; g = 3 (Exp CH) offers none. A
/// negative Priority CH, or 0xFFFF as the radio holds "none", selects nothing.
SettingList PriorityList(int group);
/// The eleven lists of the Common panel, cmbCommonTXPo to cmbCommonDistance.
std::vector<SettingList> CommonLists();
/// Every Boolean list of the DSC panel: cmbUsableDsc(0..2), cmbUsableDscPosRequest and its
/// TX list (0..3), cmbUsableDscBeepOut(0..7), the six call lists with their TX lists (0..3),
/// cmbDscDisplay(0..2) and cmbUsableDscAutoPosMenu.
std::vector<SettingList> DscLists();

/// A check box of a setup panel bound to one Boolean setting element.
struct SettingCheck {
    std::string objectName;  ///< "chkUsable_1".
    std::string caption;     ///< Fixed caption; empty when it follows the data (chkEXP).
    std::string what;
    std::function<bool(const DataModel&)> read;
    /// Stores the check; switching Group1..Group3 off also takes the EXP channels out of that
    /// group (Exp Ch Group), as clearing its chkEXP box does.
    std::function<void(DataModel&, bool)> write;
};

/// chkUsable(0..3) ("Group1", "Group2", "Group3", "EXP CH Group") and chkEXP(0..2).
std::vector<SettingCheck> UsableChecks();
/// chkATISChGroup(0..3) and chkATISKiller(0..3); their captions follow the data
/// (ChannelGroupCaption).
std::vector<SettingCheck> AtisChecks();
/// chkUsableDscAutoPosRequest(i) "Enable" and chkUsableDscAutoPosRequestRemote(i) "Remote
/// Control" of frame i (0 "Auto POS Report", 1 "Auto POS Request").
std::vector<SettingCheck> AutoPosChecks(int frame);
/// Stores a check through EditModel; false when nothing was stored.
bool StoreCheck(Config& config, const SettingCheck& check, bool checked);

/// The caption of chkEXP(j): "Group" j + 1, then "[" status name of group j "]" when that
/// name is not empty ("Group1[USA]").
std::string ExpGroupCaption(const DataModel& model, int j);

/// The status-bar hint of a setup panel control, by objectName (an element of a control
/// array, "cmbUsableDscBeepOut_3", shares its array's hint); empty for none.
std::string SetupControlHint(std::string_view objectName);

}  // namespace mrw
