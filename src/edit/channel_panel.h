// The rules of the channel panel: the frequency entry, the catalogue frequencies a standard
// channel shows, the enabled states that follow the check boxes, and the record SAVE builds.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "core/config.h"
#include "edit/channel_table.h"
#include "model/model.h"

namespace mrw {

/// The message of a refused SAVE or pending edit of the channel panel.
inline constexpr const char* kChannelDataError = "Data Error!!\nPlease input correct data.";
/// The message of a refused frequency box, captioned with the box's hint; a line saying why
/// follows it.
inline constexpr const char* kFrequencyError = "Data Error!!";
/// Why a frequency or a display text is refused.
inline constexpr const char* kFrequencyRangeReason =
    "The frequency must lie between 137.000 and 174.000 MHz.";
inline constexpr const char* kFrequencyGridReason =
    "The frequency must lie on the 25 kHz channel grid.";
inline constexpr const char* kDisplayTextReason =
    "Give the channel a display text of 1 or 2 characters.";

/// How a frequency text that is not valid comes back: as typed (the box keeps what the user
/// must correct) or reformatted from its value.
enum class FrequencyMode { KeepText, Reformat };

/// A parsed frequency box.
struct FrequencyEntry {
    bool valid = false;
    double mhz = 0.0;    ///< The frequency when valid; 0 for an empty box or an invalid text.
    std::string text;    ///< What the box shows afterwards.
    std::string reason;  ///< Why an invalid text is refused (kFrequencyRangeReason or
                         ///< kFrequencyGridReason); empty for a valid one.
};

/// Parses a frequency box. Its value is the number its text starts with. A value from 137.0
/// to 174.0 MHz is valid when it lies on the 25 kHz grid; any other value only for an empty
/// box (no frequency; the blank rendering "---.----" counts as empty). A valid text comes
/// back as FormatFreq4 of its value; an invalid one as typed (KeepText) or as FormatFreq4 of
/// its value (Reformat).
FrequencyEntry ParseFrequency(const std::string& text, FrequencyMode mode);

/// What the frequency boxes of a standard channel show.
struct FrequencyTexts {
    std::string rx;
    std::string tx;
};

/// The boxes' texts for catalogue channel `position` in duplex mode `duplex` (TX_SIMP: Rx F2,
/// Tx F1; RX_SIMP: F3, F3; DUPLEX: F3, F1; Reverse DUP: F2, F3), the transmit text blank
/// when Tx Enable is cleared. Nothing for a position outside the catalogue or another duplex
/// value: the boxes then keep what they show.
std::optional<FrequencyTexts> BaseChannelTexts(int position, int duplex, bool txEnable);

/// The text a channel grid shows for a duplex mode ("TX_SIMP", "RX_SIMP", "DUP",
/// "Reverse DUP"; "value 9" for another value).
std::string DuplexCellText(int duplex);

/// The enabled states that follow the panel's check boxes.
struct PanelEnables {
    bool entries = false;   ///< The channel's entries, captions and the Tx Enable box.
    bool lowPower = false;  ///< Low Power Only, and its connecting line drawn active.
    bool powerUp = false;   ///< Power Up, and its connecting line drawn active.
};

/// CH Enable enables the channel's entries; Low Power Only is enabled when Tx Enable is
/// checked and enabled (always, when the transmit frame is hidden); Power Up when Low Power
/// Only is checked and enabled. The boxes keep their check marks either way.
PanelEnables ChannelPanelEnables(bool channelEnable, bool txEnable, bool lowPower,
                                 bool txFrameVisible = true);

/// What the channel panel's controls hold when SAVE is pressed. A list's value is -1 when it
/// has no item selected.
struct ChannelPanelValues {
    int baseChannel = -1;  ///< cmbBaseChNo
    int duplex = -1;       ///< cmbCDUP
    int statusNo = -1;     ///< cmbStatusNo
    int statusIcon = -1;   ///< cmbStatusIcon
    int scramble = -1;     ///< cmbScramble (kept hidden, never selected)
    std::string display;   ///< txtCNN
    std::string rxText;    ///< txtCRF
    std::string txText;    ///< txtCTF
    std::string name;      ///< txtCTag
    bool txEnable = false;
    bool lowPower = false;
    bool powerUp = false;
    bool scanMemory = false;
    bool interShip = false;           ///< chkInterShip (standard channels)
    std::array<bool, 3> expGroups{};  ///< chkCBExp (user channels)

    bool operator==(const ChannelPanelValues&) const = default;
};

/// The question asked before a command would drop what the channel panel holds: "Save the
/// changes to channel 03?", naming the channel as the list's "CH" column does — the row
/// being edited, or for NEW the channel chosen (a standard table) or the row it will take (a
/// user table).
std::string UnsavedChannelQuestion(const DataModel& model, const ChannelListState& state,
                                   const ChannelPanelValues& values);

/// The record SAVE stores in a table of `kind`, built over `base` (the record being
/// overwritten, or a new record), so that fields the panel has no control for keep their
/// values. `Enable` becomes True. A list with no item selected leaves its field as it was.
/// Texts and frequencies are stored as the image keeps them (KeptText, KeptDisplayText,
/// KeptFrequency), and Low Power Only only together with Tx Enable.
/// A user channel is refused (nothing returned) when its receive or transmit frequency is
/// missing or outside 137.0 to 174.0 MHz, or its display text is blank; `reason` then says
/// which, in the user's words ("Rx frequency: The frequency must lie on the 25 kHz channel
/// grid.").
std::optional<ChannelRecord> BuildChannelRecord(TableKind kind, const ChannelRecord& base,
                                                const ChannelPanelValues& values,
                                                std::string* reason = nullptr);

/// Why the display text box refuses an entry as the focus leaves it: a blank text is no
/// display text (kDisplayTextReason). Empty when the entry is taken.
std::string DisplayTextRefusal(const std::string& text);

/// Why a window command may not run while the panel holds an enabled user channel: it has no
/// receive frequency ("---" in its box) or no display text. Empty when it may run.
std::string PendingChannelReason(const std::string& rxText, const std::string& display);

/// How a SAVE ended.
enum class SaveOutcome {
    Stored,     ///< The channel is in its table; the configuration is marked changed.
    Refused,    ///< The panel's data is wrong; "Data Error!!" was shown, the panel stays.
    NotStored,  ///< The insertion index does not fit the table; nothing changed.
};

/// SAVE: builds the record over the record being overwritten (EDIT) or a new record (NEW),
/// refuses wrong data with kChannelDataError and a line saying why, and stores it
/// (StoreChannel).
SaveOutcome SaveChannel(Config& config, ChannelListState& state, const ChannelPanelValues& values);

}  // namespace mrw
