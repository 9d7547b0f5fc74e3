// The differences between two configurations in the settings file's own terms: the section
// and key as a settings file names them, the old and the new value as it writes them, and
// table records that one side has and the other lacks as whole records. For two raw images
// the bytes that differ where the data model does not reach are listed too.
#pragma once

#include <string>
#include <vector>

#include "core/config.h"

namespace mrw {

/// What a difference is.
enum class DifferenceKind {
    Changed,  ///< a key holds another value
    Added,    ///< a table record exists only in the new configuration
    Removed,  ///< a table record exists only in the old configuration
};

/// One difference between an old and a new configuration.
struct Difference {
    DifferenceKind kind = DifferenceKind::Changed;
    /// Section name as the settings file writes it, without brackets ("Common Setup",
    /// "CHUSA12", "MAIN"); "Image" for bytes outside the data model.
    std::string section;
    /// Key as the settings file writes it ("Resume Time", "ChTag"); for image bytes the
    /// address or address range with its length ("0x02A0", "0x6900-0x693F (64 bytes)");
    /// empty for a whole record.
    std::string key;
    /// Values as the settings file writes them; texts in double quotes, image bytes as
    /// hexadecimal pairs (the first 16 of a range, then "...").
    std::string oldValue;
    std::string newValue;
    /// Said instead of the two values when set ("DSC TX log, erased by programming").
    std::string note{};
    /// A setting the file keeps that programming does not write into the radio.
    bool notWritten = false;

    bool operator==(const Difference&) const = default;
};

/// Section name of image bytes outside the data model.
inline constexpr const char* kImageDiffSection = "Image";

/// The differences of the setup sections (in file order, the ATIS sections only with
/// `atisSupported`), then of the channel tables and directories record by record in file order
/// (CHUSA, CHINT, CHCAN, CHWX, CHMMSID, CHGRPID, CHRG, CHEXP).
std::vector<Difference> ModelDifferences(const DataModel& older, const DataModel& newer,
                                         bool atisSupported);

/// Bytes that differ between two images and that the data model `newerModel` (decoded from
/// `newer`) does not account for: encoding that model over `older` does not give `newer`'s
/// byte there. Consecutive addresses form one difference. Addresses 0..ImageLastAddress of
/// the smaller image.
std::vector<Difference> ImageDifferences(const Image& older, const Image& newer,
                                         const DataModel& newerModel);

/// The whole comparison of two configurations: the model type and region of section MAIN,
/// then ModelDifferences (ATIS sections when both configurations have them), then, with
/// `compareImages`, ImageDifferences.
std::vector<Difference> ConfigDifferences(const Config& older, const Config& newer,
                                          bool compareImages);

/// What the line of a setting that programming does not write ends with.
inline constexpr const char* kNotWrittenSuffix = " (not written to the radio)";

/// One line: "[SECTION] KEY: OLD -> NEW" (or "[SECTION] KEY: NOTE"), "[SECTION] added" or
/// "[SECTION] removed"; kNotWrittenSuffix after it for a setting that is not written.
std::string DifferenceLine(const Difference& difference);

/// The differences of one section, in their order.
struct DifferenceGroup {
    std::string section;
    std::vector<Difference> differences;
};

/// The differences grouped by section, sections in order of their first difference.
std::vector<DifferenceGroup> GroupBySection(const std::vector<Difference>& differences);

}  // namespace mrw
