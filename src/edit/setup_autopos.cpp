#include "edit/setup_autopos.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "core/text.h"
#include "edit/channel_grid.h"
#include "edit/edit.h"
#include "edit/setup_entry.h"
#include "image/channel_ref.h"
#include "image/image.h"
#include "image/settings_map.h"
#include "model/catalogue.h"

namespace mrw {

namespace {

const ChannelTable* MarineTable(const DataModel& m, int marine) {
    switch (marine) {
        case 1:
            return &m.CHUSA;
        case 2:
            return &m.CHINT;
        case 3:
            return &m.CHCAN;
        default:
            return nullptr;
    }
}

// The directory entries, individual or group.
template <size_t N>
const DirectoryRecord* EntryAt(const std::array<DirectoryRecord, N>& directory, int index) {
    return index >= 0 && index < static_cast<int>(N) ? &directory[static_cast<size_t>(index)]
                                                     : nullptr;
}
const DirectoryRecord* DirectoryEntry(const DataModel& m, bool group, int index) {
    return group ? EntryAt(m.CHGRPID, index) : EntryAt(m.CHMMSID, index);
}

std::string EntryNumberName(bool group, int index) {
    return (group ? "Group ID" : "Memory ID") + std::to_string(index + 1);
}

// The MMSI a directory entry gives the auto-position MMSI, committed as the MMSI box commits
// when the focus leaves it: nothing for an entry not in use, or whose MMSI is not one the box
// would accept.
std::optional<std::string> EntryMmsi(const DirectoryRecord* entry) {
    if (entry == nullptr || !entry->Enable) {
        return std::nullopt;
    }
    return DigitEntryValue(DigitBox::AutoPosMmsi,
                           DigitBoxText(DigitBox::AutoPosMmsi, entry->Mmsid));
}

// An entry the directory lists offer: in use, with an MMSI to call.
bool IsAddress(const DirectoryRecord& entry) {
    return entry.Enable && !Trim(entry.Mmsid).empty();
}

std::string FrameName(int frame) {
    return frame == 0 ? "Auto POS Report" : "Auto POS Request";
}

}  // namespace

// ---- Items -----------------------------------------------------------------------------------

ItemList MarineItems(const DataModel& model) {
    ItemList items = {{"No", 0}};
    for (int k = 0; k < kChannelGroups; ++k) {
        if (model.Groups[static_cast<size_t>(k)].Usable) {
            items.push_back({ChannelGroupCaption(model, k), k + 1});
        }
    }
    return items;
}

ItemList AutoPosChannelItems(const DataModel& model, int marine) {
    // Each channel with its text and, for a text shared across the two sources, what tells
    // them apart.
    struct Offered {
        ListItem item;
        std::string apart;
        bool exp = false;
    };
    std::vector<Offered> offered;
    const auto& catalogue = ChannelCatalogue();
    if (const ChannelTable* table = MarineTable(model, marine)) {
        for (const ChannelRecord& r : *table) {
            const bool listed = std::any_of(offered.begin(), offered.end(), [&](const Offered& o) {
                return o.item.value == r.Position;
            });
            if (r.Enable && !listed && r.Position >= 0 &&
                r.Position < static_cast<int>(catalogue.size())) {
                offered.push_back(
                    {{ChannelLabel(r), r.Position}, ChannelGroupCaption(model, marine - 1)});
            }
        }
    }
    for (size_t k = 0; k < model.CHEXP.size() && static_cast<int>(k) < kExpChannelSlots; ++k) {
        const ChannelRecord& r = model.CHEXP[k];
        if (r.Enable) {
            const int ref = ExpChannelRef(static_cast<int>(k));
            const std::string row = AutoPosChannelName(ref);
            const std::string text = r.CHDisplayL + r.CHDisplayR;
            offered.push_back({{Trim(text).empty() ? row : text, ref}, row, true});
        }
    }
    ItemList items;
    for (const Offered& o : offered) {
        const bool shared = std::any_of(offered.begin(), offered.end(), [&](const Offered& other) {
            return &other != &o && other.item.text == o.item.text && (other.exp != o.exp || o.exp);
        });
        items.push_back(o.item);
        if (shared) {
            items.back().text += " (" + o.apart + ")";
        }
    }
    return items;
}

std::string AutoPosChannelName(int reference) {
    const auto& catalogue = ChannelCatalogue();
    if (reference >= 0 && reference < static_cast<int>(catalogue.size())) {
        return catalogue[static_cast<size_t>(reference)].Label;
    }
    const int k = ExpRecordOfRef(reference);
    if (k >= 0) {
        return ChannelRowLabel(TableKind::EXP, k, ChannelRecord{});
    }
    return "value " + std::to_string(reference);
}

ItemList IntervalItems() {
    static constexpr std::array<const char*, 15> kTexts = {
        "OFF",    "15 sec", "30 sec", "1 min",  "2 min",  "5 min",  "10 min", "15 min",
        "20 min", "25 min", "30 min", "35 min", "40 min", "45 min", "50 min"};
    ItemList items;
    for (size_t i = 0; i < kTexts.size(); ++i) {
        items.push_back({kTexts[i], static_cast<int>(i)});
    }
    return items;
}

ItemList SelectCallItems(int frame) {
    return {{"Individual", 0}, {frame == 0 ? "Multi-St" : "Group", 1}};
}

bool UsesGroupDirectory(int frame, int selectCall) {
    return frame == 1 && selectCall == 1;
}

ItemList DirectoryItems(const DataModel& model, bool group) {
    ItemList items;
    const int size = group ? kGroupDirectorySize : kIndividualDirectorySize;
    for (int i = 0; i < size; ++i) {
        const DirectoryRecord* entry = DirectoryEntry(model, group, i);
        if (IsAddress(*entry)) {
            items.push_back(
                {entry->TagName.empty() ? EntryNumberName(group, i) : entry->TagName, i});
        }
    }
    return items;
}

ItemList MmsiPickItems(const DataModel& model) {
    ItemList items;
    for (int i = 0; i < kIndividualDirectorySize; ++i) {
        const DirectoryRecord& entry = model.CHMMSID[static_cast<size_t>(i)];
        if (IsAddress(entry)) {
            items.push_back(
                {DigitBoxText(DigitBox::AutoPosMmsi, entry.Mmsid) + "  " + entry.TagName, i});
        }
    }
    return items;
}

std::optional<int> AutoPosTextValue(std::string_view text) {
    const std::optional<long> value = AutoPosNumber(text);
    if (!value || *value < INT32_MIN || *value > INT32_MAX) {
        return std::nullopt;
    }
    return static_cast<int>(*value);
}

// ---- The frame -------------------------------------------------------------------------------

AutoPosFrameView ViewAutoPosFrame(const DataModel& model, int frame) {
    const AutoPosRecord& r = model.AutoPos.Records[static_cast<size_t>(frame)];
    AutoPosFrameView view;
    view.enable = r.Enable;
    view.remote = r.RcEnable;
    // A stored value no item offers is shown by what it names: a group that is not usable,
    // a channel that is not enabled.
    const bool group = r.MarineEnable >= 1 && r.MarineEnable <= kChannelGroups;
    view.marine = ViewOf(MarineItems(model), r.MarineEnable,
                         group ? ChannelGroupCaption(model, r.MarineEnable - 1) : "");
    const std::optional<int> channel = AutoPosTextValue(r.Channel);
    view.channel = ViewOf(AutoPosChannelItems(model, r.MarineEnable), channel,
                          channel ? AutoPosChannelName(*channel) : "");
    view.interval = ViewOf(IntervalItems(), AutoPosTextValue(r.Interval));
    view.selectCall = ViewOf(SelectCallItems(frame), r.SelectCall);
    const bool groups = UsesGroupDirectory(frame, r.SelectCall);
    view.directory = ViewOf(DirectoryItems(model, groups), r.LastAddress,
                            DirectoryEntry(model, groups, r.LastAddress) != nullptr
                                ? EntryNumberName(groups, r.LastAddress)
                                : "");
    view.mmsiText = DigitBoxText(DigitBox::AutoPosMmsi, r.Mmsi);
    view.mmsiPick.items = MmsiPickItems(model);
    view.mmsiPick.selected = MmsiPickIndex(view.mmsiPick.items, model, view.mmsiText);
    view.controlsEnabled = r.Enable;
    view.mmsiEnabled = r.Enable && r.RcEnable;
    return view;
}

int MmsiPickIndex(const ItemList& pickItems, const DataModel& model, std::string_view typed) {
    if (typed.empty()) {
        return -1;
    }
    for (size_t i = 0; i < pickItems.size(); ++i) {
        const DirectoryRecord* entry = EntryAt(model.CHMMSID, pickItems[i].value);
        if (entry != nullptr && DigitBoxText(DigitBox::AutoPosMmsi, entry->Mmsid) == typed) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

bool ChooseAutoPos(Config& config, int frame, AutoPosList list, int value) {
    static constexpr std::array<const char*, 6> kSettings = {
        "MARINE ENABLE", "CHANNEL", "INTERVAL", "SELECTCALL", "LASTADDRESS", "MMSI"};
    const std::string what = FrameName(frame) + " " + kSettings[static_cast<size_t>(list)];
    return EditModel(config, what, [&](DataModel& m) {
        AutoPosRecord& r = m.AutoPos.Records[static_cast<size_t>(frame)];
        // The directory rule: the chosen entry becomes the address and gives its MMSI.
        auto address = [&](int index) {
            r.LastAddress = index;
            const bool group = UsesGroupDirectory(frame, r.SelectCall);
            if (const auto mmsi = EntryMmsi(DirectoryEntry(m, group, index))) {
                r.Mmsi = *mmsi;
            }
        };
        switch (list) {
            case AutoPosList::Marine:
                r.MarineEnable = static_cast<int16_t>(value);
                break;
            case AutoPosList::Channel:
                r.Channel = std::to_string(value);
                break;
            case AutoPosList::Interval:
                r.Interval = std::to_string(value);
                break;
            case AutoPosList::SelectCall: {
                r.SelectCall = static_cast<int16_t>(value);
                const ItemList entries = DirectoryItems(m, UsesGroupDirectory(frame, value));
                if (!entries.empty()) {
                    address(entries.front().value);
                }
                break;
            }
            case AutoPosList::Directory:
                address(value);
                break;
            case AutoPosList::MmsiPick:
                if (const auto mmsi = EntryMmsi(EntryAt(m.CHMMSID, value))) {
                    r.Mmsi = *mmsi;
                }
                break;
        }
    });
}

}  // namespace mrw
