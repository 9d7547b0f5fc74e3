// What the channel panel offers, as data: the items of its drop-down lists with the value each
// stores, the characters each entry box takes, and the status-bar hints of its controls.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mrw {

/// One item of a drop-down list: the text shown and the value stored in the field.
struct ListItem {
    std::string text;
    int value = 0;

    bool operator==(const ListItem&) const = default;
};
using ItemList = std::vector<ListItem>;

/// The drop-down lists of the channel panel.
enum class ChannelList {
    BaseChannel,  ///< cmbBaseChNo: catalogue channels "00" to "99", value = catalogue index.
    StatusNo,     ///< cmbStatusNo: "None" 127, "10" 10, "20" 20.
    StatusIcon,   ///< cmbStatusIcon: "-" 0, "A" 1, "B" 2.
    Duplex,       ///< cmbCDUP: "TX_SIMP" 0, "RX_SIMP" 1, "DUPLEX" 2, "Reverse DUP" 3.
    Scramble,     ///< cmbScramble: "Off" 0, "0" 4, "1" 5, "2" 6, "3" 7.
};

/// The items of a list. With a `stored` value that no item carries, one more item is added
/// for it ("105" for a catalogue channel beyond the list, "value 9" otherwise), so that a
/// value from a radio or a file is shown and kept instead of being replaced.
ItemList ChannelListItems(ChannelList list, std::optional<int> stored = std::nullopt);
/// Index of the first item carrying `value`; -1 when none does.
int IndexOfValue(const ItemList& items, int value);
/// The value of item `index`; -1 when there is no such item (nothing selected).
int ValueAt(const ItemList& items, int index);

/// The entry boxes of the channel panel that filter what is typed or pasted into them.
enum class EntryBox {
    Frequency,  ///< txtCRF, txtCTF: "0" to "9" and ".".
    Display,    ///< txtCNN: letters (stored in upper case), digits and the space.
    Name,       ///< txtCTag: letters, digits, space and - / * ( ) + . ,
};
/// Most characters the box takes: 8, 2 and 16.
int EntryMaxLength(EntryBox box);
/// True when the box takes this character.
bool IsEntryChar(EntryBox box, char32_t c);
/// The text with every character the box does not take removed, and letters of the display
/// box in upper case (the form the display field keeps).
std::u32string FilterEntry(EntryBox box, std::u32string_view text);
/// The text of a box that the user changed from `before` to `after` (typing, pasting,
/// dropping): of the inserted characters (the part of `after` between what both texts start
/// and end with) only those the box takes are kept, in the box's form (FilterEntry); what the
/// box held before stays as it was.
/// `cursor`, a position in `after`, is moved to the same place in the result.
std::u32string FilterInsertion(EntryBox box, std::u32string_view before, std::u32string_view after,
                               int& cursor);

/// The status-bar hint of a channel list or channel panel control, by its objectName (an
/// element of a control array, "chkCBExp_1", shares its array's hint); empty for none.
std::string ChannelControlHint(std::string_view objectName);

}  // namespace mrw
