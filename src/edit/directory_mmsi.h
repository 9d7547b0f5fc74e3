// What every MMSI of a configuration tells its user: the line DescribeMmsi builds from the
// number alone, told apart as a description (kind of station and country) or a warning, and
// the warnings of a whole configuration. It informs only: nothing here refuses or stores.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "edit/mmsi_info.h"
#include "model/model.h"

namespace mrw {

/// The line about one MMSI.
struct MmsiNote {
    std::string text;      ///< DescribeMmsi's line; empty while fewer than nine digits.
    bool warning = false;  ///< The line says what looks wrong rather than what the number is.
};

/// The line about `number` (nine digits as typed, or ten as stored) entered for `use`.
MmsiNote NoteOnMmsi(std::string_view number, MmsiUse use);

/// How the MMSI of auto position frame 0 or 1 is used: a group call for frame 1 ("Auto POS
/// Request") while its select call is "Group", an individual call otherwise.
MmsiUse AutoPosMmsiUse(const DataModel& model, int frame);

/// One line per MMSI of the configuration that looks wrong, in the order the user MMSI, the
/// individual directory, the group directory, the two auto position MMSIs. Each names where
/// the number is, the number and the warning, for example
/// "Individual Directory 2 HARBOUR 012345678: A group MMSI entered as an individual entry".
/// The ATIS code is not an MMSI and is left out.
std::vector<std::string> MmsiWarnings(const DataModel& model);

}  // namespace mrw
