// The entry boxes of the setup panels: the status names of the channel groups, the user
// MMSI, the auto-position MMSI and the ATIS code. What each box takes from the keyboard, how
// a stored value is shown, and how an entry is committed.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/config.h"

namespace mrw {

/// Most characters txtUsable takes.
inline constexpr int kStatusNameLength = 4;

/// True when txtUsable takes this character: "0"-"9", "A"-"Z", "a"-"z", "-", "+", "(", ")",
/// ".", "*", "/" and the space.
bool IsStatusNameChar(char32_t c);
/// The status name an entry becomes: its first four characters as the image keeps them
/// (KeptText: trailing spaces dropped, so a blank text gives the empty name).
std::string StatusNameEntry(std::string_view text);
/// Commits txtUsable(group): stores StatusNameEntry of the text as the group's Status name.
/// It never refuses; false only when nothing was stored (the program is filling its boxes).
bool CommitStatusName(Config& config, int group, std::string_view text);

/// The digit boxes: txtUserMMSI, txtAutoPosMMSI(frame) and txtATIScode.
enum class DigitBox { UserMmsi, AutoPosMmsi, AtisCode };

/// True when a digit box takes this character: "0" to "9".
bool IsDigitChar(char32_t c);
/// The digits an entry must have: 9 for an MMSI, 10 for the ATIS code.
int DigitBoxLength(DigitBox box);
/// The title of the box's "Data Error!!" message: "User MMSI", "Auto POS MMSI", "ATISNo".
std::string DigitBoxTitle(DigitBox box);
/// Why an entry of the box is refused: "An MMSI has 9 digits." or "An ATIS code has 10
/// digits.".
std::string DigitBoxReason(DigitBox box);
/// The setting a box edits (frame 0 or 1 for the auto-position MMSI).
std::string StoredDigits(const DataModel& model, DigitBox box, int frame = 0);
/// What the box shows for a stored value: an MMSI without the "0" the radio appends (its
/// first nine digits), the ATIS code as it is.
std::string DigitBoxText(DigitBox box, std::string_view stored);
/// The stored form of an entry, or nothing when it is refused. Blank text stores the empty
/// value; otherwise exactly the box's number of digits: an MMSI with "0" appended, the ATIS
/// code as typed.
std::optional<std::string> DigitEntryValue(DigitBox box, std::string_view text);

/// How a refused entry comes back: kept as typed with "Data Error!!" and its reason shown (the
/// box keeps the focus), or replaced by the stored value without a message (the box was put
/// away before the entry could be refused).
enum class CommitMode { KeepText, Restore };

/// The outcome of committing a digit box.
struct DigitCommit {
    bool accepted = false;  ///< False: nothing was stored; in KeepText mode the box refuses.
    std::string text;       ///< What the box shows afterwards.
};

/// Commits a digit box: a valid entry is stored through EditModel; a refused one stores
/// nothing and, in KeepText mode, shows "Data Error!!" and DigitBoxReason, titled DigitBoxTitle,
/// with the exclamation icon.
DigitCommit CommitDigitEntry(Config& config, DigitBox box, int frame, std::string_view text,
                             CommitMode mode);

}  // namespace mrw
