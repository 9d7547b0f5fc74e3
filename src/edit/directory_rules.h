// The two MMSI directories as the directory list and the entry panel edit them. A directory is
// a fixed row of slots whose entries in use form an unbroken run from slot 1: an entry is
// added in the first free slot, and a deletion closes the gap. Standard library only.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/config.h"
#include "model/model.h"

namespace mrw {

/// The individual directory CHMMSID (tree key "SM") or the group directory CHGRPID ("SG").
enum class Directory { Individual, Group };

/// Number of slots: 80 individual, 32 group.
int DirectorySize(Directory dir);
/// "Individual Directory" or "Group Directory": the caption of the directory's node and the
/// title of its messages.
std::string DirectoryTitle(Directory dir);
/// The tree key of the directory's node, "SM" or "SG"; its slots are this key followed by the
/// slot number.
std::string DirectoryKey(Directory dir);
/// The directory a tree key belongs to ("SM", "sm12", "SG3"), or nothing.
std::optional<Directory> DirectoryOfKey(std::string_view key);
/// Slot n (1-based) of the directory; n must be a slot number.
const DirectoryRecord& Slot(const DataModel& model, Directory dir, int n);

/// The number of slots in use: the slots from slot 1 up to the first one whose Enable is
/// False.
int UsedCount(const DataModel& model, Directory dir);

/// Most characters txtGPosi takes: the width of the name field in the radio.
inline constexpr int kDirectoryNameLength = 11;
/// Digits txtGMMSI takes: 9 for an individual MMSI, 8 for a group MMSI (after its fixed "0").
int MmsiBoxLength(Directory dir);
/// True when txtGPosi takes this character: letters, digits, space and - / * ( ) + . ,
bool IsDirectoryNameChar(char32_t c);

/// What the entry panel (pictG) shows for slot n, and which of its controls are open.
struct EntryPanelView {
    std::string nameCaption;     ///< lblTag: "Station Name" or "Group Name".
    std::string name;            ///< txtGPosi: the slot's TagName.
    std::string mmsi;            ///< txtGMMSI: the stored MMSI as the box shows it.
    bool groupPrefix = false;    ///< lblGroup "0" stands before the MMSI box.
    int mmsiLength = 9;          ///< Most digits the MMSI box takes.
    bool enableChecked = false;  ///< chkGEnable.
    bool enableOpen = false;     ///< chkGEnable enabled.
    bool deleteOpen = false;     ///< chkGDelete enabled (it is always shown cleared).
    bool fieldsOpen = false;     ///< The name and MMSI boxes and their captions enabled.
    /// Slot n is the first free slot but the entry before it lacks a name or an MMSI: the
    /// Enable box stays closed and "Data Error!!" is shown with incompleteReason.
    bool incompleteBefore = false;
    std::string incompleteReason;  ///< "Fill in Memory ID 2 first."
};

/// The entry panel of slot n: a slot in use has Enable checked and closed, Delete open and
/// its boxes open; the first free slot offers Enable when it is slot 1 or the entry before it
/// has both a name and an MMSI; every later slot offers nothing.
EntryPanelView ViewEntryPanel(const DataModel& model, Directory dir, int n);

/// "Data Error!!" and the reason, titled with the directory's title, with the exclamation icon.
void ShowDirectoryDataError(Config& config, Directory dir, std::string_view reason);

/// Puts slot n into use, when it is the first free slot and may be opened (ViewEntryPanel
/// offers its Enable box). True when the data model changed.
bool AddEntry(Config& config, Directory dir, int n);

/// Asks "Are you sure ?" and on Yes deletes the entry in use in slot n (RemoveEntry). True
/// when the data model changed.
bool DeleteEntry(Config& config, Directory dir, int n);
/// Deletes the entry of slot n without asking: every later slot moves up by one and the last
/// slot becomes free. True when the data model changed.
bool RemoveEntry(Config& config, Directory dir, int n);

/// txtGPosi's Validate: what the image keeps of the text (KeptText, 11 characters) becomes
/// the slot's TagName when it is not blank; a blank one changes nothing. Never refuses; true when
/// the data model changed.
bool CommitEntryName(Config& config, Directory dir, int n, std::string_view text);

/// Why a name entry is refused: a text that keeps nothing is no name ("Give the station a
/// name." or "Give the group a name."). Empty when the entry is taken.
std::string EntryNameRefusal(Directory dir, std::string_view text);

/// Why an MMSI entry is refused: "An MMSI has 9 digits." or "A group MMSI has 8 digits.".
std::string MmsiEntryReason(Directory dir);

/// The stored form of an MMSI as typed, or nothing when it is refused. A blank text is the
/// empty MMSI; otherwise exactly 9 digits (individual), stored with "0" appended, or exactly
/// 8 digits (group), stored as "0", the digits and "0".
std::optional<std::string> MmsiEntryValue(Directory dir, std::string_view text);
/// What the MMSI box shows for a stored MMSI: its first nine digits, for a group its digits
/// after the leading "0".
std::string MmsiBoxText(Directory dir, std::string_view stored);
/// The nine digits of an MMSI as typed into the box: a group's "0" put in front.
std::string MmsiOfBoxText(Directory dir, std::string_view text);

/// How a refused MMSI comes back: kept as typed, with "Data Error!!" and MmsiEntryReason shown
/// and the focus kept in the box; or replaced by the stored MMSI without a message (the panel
/// was put away before the entry could be refused).
enum class MmsiRefusal { KeepText, Restore };

/// The outcome of committing the MMSI box.
struct MmsiCommit {
    bool accepted = false;  ///< False: nothing was stored (KeepText: the box refuses).
    bool deleted = false;   ///< The MMSI was cleared and the entry deleted.
    std::string text;       ///< What the box shows afterwards.
};

/// txtGMMSI's Validate: a valid entry is stored in slot n; an empty one deletes the entry
/// without asking. A refused entry stores nothing; with KeepText "Data Error!!" and
/// MmsiEntryReason, titled "Individual Directory" or "Group Directory", are shown with the
/// exclamation icon.
MmsiCommit CommitEntryMmsi(Config& config, Directory dir, int n, std::string_view text,
                           MmsiRefusal refusal);

/// The directory list (MSFlexGrid2): one row per slot.
struct DirectoryGrid {
    std::vector<std::string> headers;  ///< "No.", "STATION NAME"/"GROUP NAME", "MMSI", and
                                       ///< "ABOUT THE MMSI".
    std::vector<std::vector<std::string>> rows;
};
/// Column of the line that tells what each MMSI is.
inline constexpr int kMmsiAboutColumn = 3;

/// The grid of a directory: slot number, name, the first nine digits of the stored MMSI (a
/// group's with its leading "0"), and what the MMSI is (DescribeMmsi).
DirectoryGrid BuildDirectoryGrid(const DataModel& model, Directory dir);

/// The status-bar hint of a control of the directory list or entry panel, by its objectName;
/// empty for none.
std::string DirectoryControlHint(std::string_view objectName);

}  // namespace mrw
