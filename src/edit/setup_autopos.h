// The two automatic position frames of the DSC panel, "Auto POS Report" (0) and "Auto POS
// Request" (1): what their lists offer, what they show for the configuration, and what a
// user's choice in each list stores.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/config.h"
#include "edit/setup_lists.h"

namespace mrw {

inline constexpr int kAutoPosFrames = 2;

/// The lists of an auto position frame.
enum class AutoPosList {
    Marine,      ///< cmbUsableDscAutoPosRequestMarine: MARINE ENABLE.
    Channel,     ///< cmbUsableDscAutoPosRequestChannel: CHANNEL.
    Interval,    ///< cmbUsableDscAutoPosRequestInterval: INTERVAL.
    SelectCall,  ///< cmbUsableDscAutoPosRequestSelectCall: SELECTCALL.
    Directory,   ///< cmbUsableDscAutoPosRequestSCDirName: LASTADDRESS.
    MmsiPick,    ///< cmbUsableDscAutoPosMMSI: picks the MMSI from the individual directory.
};

/// "No" 0, then the group's name as the tree shows it (ChannelGroupCaption, "Group1(INTL)"),
/// value k + 1, for every usable channel group k (0..3).
ItemList MarineItems(const DataModel& model);
/// The channels offered for marine value `marine`, each once: for 1, 2 or 3 the enabled
/// records of CHUSA, CHINT or CHCAN, the channel's label as the channel list shows it
/// ("16", "01A") and its catalogue index (Position) as value; records sharing a catalogue
/// channel, such as 78, 1078 and 2078, are that one channel to the radio and are offered once,
/// as the first of them. Then, whatever the marine value, the enabled CHEXP records,
/// CHDisplayL + CHDisplayR ("EXP05" for a blank one) and the channel reference 239 + record
/// index. A text that channels of the marine group and of the EXP channels share names the
/// group: "78 (Group2(USA))", and "78 (EXP05)" for the EXP channel.
ItemList AutoPosChannelItems(const DataModel& model, int marine);
/// What the channel list shows for a stored channel reference it does not offer: the
/// catalogue channel text for a catalogue index ("00"), "EXP05" for an EXP channel reference,
/// "value N" for anything else.
std::string AutoPosChannelName(int reference);
/// "OFF" 0, then "15 sec" 1 to "50 min" 14.
ItemList IntervalItems();
/// "Individual" 0, then "Multi-St" (frame 0) or "Group" (frame 1) 1.
ItemList SelectCallItems(int frame);
/// The group directory serves select call 1 ("Group") of frame 1; the individual one the rest.
bool UsesGroupDirectory(int frame, int selectCall);
/// The entries of a directory that hold an MMSI: name (or "Memory ID" / "Group ID" and the
/// number when it has none) and the 0-based entry index as value. An empty slot is no
/// address.
ItemList DirectoryItems(const DataModel& model, bool group);
/// The entries of the individual directory that hold an MMSI: MMSI as the box shows it and
/// name, the 0-based entry index as value.
ItemList MmsiPickItems(const DataModel& model);

/// The number an auto-position CHANNEL or INTERVAL text holds, as the codec reads it; nothing
/// when it holds none that fits.
std::optional<int> AutoPosTextValue(std::string_view text);

/// Everything a frame shows for the configuration.
struct AutoPosFrameView {
    bool enable = false;  ///< chkUsableDscAutoPosRequest
    bool remote = false;  ///< chkUsableDscAutoPosRequestRemote
    ListView marine;
    ListView channel;
    ListView interval;
    ListView selectCall;
    ListView directory;
    ListView mmsiPick;             ///< The entry whose MMSI the box shows, if any.
    std::string mmsiText;          ///< txtAutoPosMMSI
    bool controlsEnabled = false;  ///< Every control of the frame but its Enable box.
    bool mmsiEnabled = false;      ///< The MMSI box, its picking list and caption.

    bool operator==(const AutoPosFrameView&) const = default;
};

/// The frame's view: every list built from the stored values (the channel list for the stored
/// marine value, the directory list for the stored select call), each stored value selected,
/// shown as an extra item when the list does not offer it. Building it never stores.
AutoPosFrameView ViewAutoPosFrame(const DataModel& model, int frame);
/// The index of the picking list's entry whose MMSI is the typed text; -1 when none is.
int MmsiPickIndex(const ItemList& pickItems, const DataModel& model, std::string_view typed);

/// A user's choice of the item valued `value` in a list of frame `frame`, stored in one step
/// through EditModel:
/// - Marine, Channel, Interval: the setting := value (the channel list then follows the new
///   marine value);
/// - SelectCall: SELECTCALL := value; the directory list is refilled for it and its first
///   entry chosen as below (nothing more when that directory is empty);
/// - Directory: LASTADDRESS := value, and the MMSI := that entry's MMSI, committed as the
///   MMSI box commits when the focus leaves it;
/// - MmsiPick: the MMSI := that individual entry's MMSI, committed likewise.
/// False when nothing was stored.
bool ChooseAutoPos(Config& config, int frame, AutoPosList list, int value);

}  // namespace mrw
