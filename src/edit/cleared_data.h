// After a clear in the radio, the data model says what the radio holds: the directory
// entries, the user MMSI and the ATIS code that the clear erased are empty in the model too,
// so that the next Program does not write them back.
#pragma once

#include <string>
#include <vector>

#include "core/config.h"

namespace mrw {

/// An inclusive range of image addresses that a clear wrote to the radio.
struct ClearedSpan {
    int first;
    int last;
};

/// Takes the image's values into the data model for the parts that the writes `sent` of a
/// clear hold, whether the clear completed or stopped partway: each directory entry (CHMMSID,
/// CHGRPID) one of whose bytes was written is emptied and disabled, and so is every later entry
/// of its directory (a directory ends at its first entry without digits); the user MMSI, the
/// ATIS code and each channel group's usable-for-ATIS flag that were written are decoded from
/// the image. Nothing else of the model changes. One step through EditModel named `what` (the
/// clear's caption), so that Undo brings the entries back. True when the model changed.
bool AdoptClearedData(Config& config, const std::string& what,
                      const std::vector<ClearedSpan>& sent);

}  // namespace mrw
