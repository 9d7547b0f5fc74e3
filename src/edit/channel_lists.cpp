#include "edit/channel_lists.h"

#include <algorithm>
#include <array>
#include <utility>

#include "edit/control_hint.h"
#include "model/catalogue.h"

namespace mrw {

namespace {

// The base channel list ends at catalogue index 99 although the catalogue goes on to 119.
constexpr int kLastListedChannel = 99;

ItemList FixedItems(ChannelList list) {
    switch (list) {
        case ChannelList::BaseChannel: {
            ItemList items;
            const auto& catalogue = ChannelCatalogue();
            const int last = std::min(kLastListedChannel, static_cast<int>(catalogue.size()) - 1);
            for (int i = 0; i <= last; ++i) {
                items.push_back({catalogue[static_cast<size_t>(i)].Label, i});
            }
            return items;
        }
        case ChannelList::StatusNo:
            return {{"None", 127}, {"10", 10}, {"20", 20}};
        case ChannelList::StatusIcon:
            return {{"-", 0}, {"A", 1}, {"B", 2}};
        case ChannelList::Duplex:
            return {{"TX_SIMP", 0}, {"RX_SIMP", 1}, {"DUPLEX", 2}, {"Reverse DUP", 3}};
        case ChannelList::Scramble:
            return {{"Off", 0}, {"0", 4}, {"1", 5}, {"2", 6}, {"3", 7}};
    }
    return {};
}

// The text of the item that shows a stored value the list does not offer.
std::string ForeignValueText(ChannelList list, int value) {
    const auto& catalogue = ChannelCatalogue();
    if (list == ChannelList::BaseChannel && value >= 0 &&
        value < static_cast<int>(catalogue.size())) {
        return catalogue[static_cast<size_t>(value)].Label;
    }
    return "value " + std::to_string(value);
}

constexpr std::u32string_view kNamePunctuation = U"-/*()+.,";

bool IsAsciiAlnum(char32_t c) {
    return (c >= U'0' && c <= U'9') || (c >= U'A' && c <= U'Z') || (c >= U'a' && c <= U'z');
}

// The character a box stores for a typed one: the display field holds upper-case letters only.
char32_t EntryForm(EntryBox box, char32_t c) {
    return box == EntryBox::Display && c >= U'a' && c <= U'z' ? c - U'a' + U'A' : c;
}

}  // namespace

ItemList ChannelListItems(ChannelList list, std::optional<int> stored) {
    ItemList items = FixedItems(list);
    if (stored && IndexOfValue(items, *stored) < 0) {
        items.push_back({ForeignValueText(list, *stored), *stored});
    }
    return items;
}

int IndexOfValue(const ItemList& items, int value) {
    const auto it = std::find_if(items.begin(), items.end(),
                                 [value](const ListItem& item) { return item.value == value; });
    return it == items.end() ? -1 : static_cast<int>(it - items.begin());
}

int ValueAt(const ItemList& items, int index) {
    return index >= 0 && index < static_cast<int>(items.size())
               ? items[static_cast<size_t>(index)].value
               : -1;
}

int EntryMaxLength(EntryBox box) {
    switch (box) {
        case EntryBox::Frequency:
            return 8;
        case EntryBox::Display:
            return 2;
        case EntryBox::Name:
            return 16;
    }
    return 0;
}

bool IsEntryChar(EntryBox box, char32_t c) {
    switch (box) {
        case EntryBox::Frequency:
            return (c >= U'0' && c <= U'9') || c == U'.';
        case EntryBox::Display:
            return IsAsciiAlnum(c) || c == U' ';
        case EntryBox::Name:
            return IsAsciiAlnum(c) || c == U' ' ||
                   kNamePunctuation.find(c) != kNamePunctuation.npos;
    }
    return false;
}

std::u32string FilterEntry(EntryBox box, std::u32string_view text) {
    std::u32string kept;
    for (char32_t c : text) {
        if (IsEntryChar(box, c)) {
            kept += EntryForm(box, c);
        }
    }
    return kept;
}

std::u32string FilterInsertion(EntryBox box, std::u32string_view before, std::u32string_view after,
                               int& cursor) {
    size_t prefix = 0;
    while (prefix < before.size() && prefix < after.size() && before[prefix] == after[prefix]) {
        ++prefix;
    }
    size_t suffix = 0;
    while (suffix < before.size() - prefix && suffix < after.size() - prefix &&
           before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix]) {
        ++suffix;
    }
    const size_t end = after.size() - suffix;  // the inserted part is [prefix, end)
    std::u32string result(after.substr(0, prefix));
    int moved = cursor;
    for (size_t i = prefix; i < end; ++i) {
        if (IsEntryChar(box, after[i])) {
            result += EntryForm(box, after[i]);
        } else if (static_cast<int>(i) < cursor) {
            --moved;
        }
    }
    result += after.substr(end);
    cursor = std::clamp(moved, 0, static_cast<int>(result.size()));
    return result;
}

std::string ChannelControlHint(std::string_view objectName) {
    static constexpr std::array<ControlHint, 16> kHints = {{
        {"chkCBExp", "[Space]:An effective and invalid change."},
        {"chkCScan", "[Space]:An effective and invalid change."},
        {"chkCTXEnable", "[Space]:An effective and invalid change."},
        {"chkCTXOnly", "[Space]:An effective and invalid change."},
        {"chkCTXPower", "[Space]:An effective and invalid change."},
        {"chkInterShip", "[Space]:An effective and invalid change."},
        {"cmbBaseChNo", "[Up]/[Down]:Change of a Selection item."},
        {"cmbCDUP", "[Up]/[Down]:Change of a Selection item."},
        {"cmbStatusNo", "[Up]/[Down]:Change of a Selection item."},
        {"cmbStatusIcon", "[Up]/[Down]:Change of a Selection item."},
        {"cmbScramble", "[Up]/[Down]:Change of a Selection item."},
        {"MSFlexGrid1", "[Double click],[Enter]:Jump the Setting screen."},
        {"txtCRF", "Rx frequency"},
        {"txtCTF", "Tx frequency"},
        {"txtCNN", "Indispensable 2 figures."},
        {"txtCTag", "A maximum of 16 characters"},
    }};
    return FindControlHint(kHints, objectName);
}

}  // namespace mrw
