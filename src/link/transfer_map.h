// Which image addresses each transfer operation reads, writes or fills: the read copy map, the
// program map and the clear map. Declared once here; the operations walk these tables.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "image/check_map.h"
#include "image/memory_map.h"

namespace mrw::transfermap {

/// An inclusive range of image addresses.
struct AddressRange {
    int first;
    int last;
    constexpr bool Contains(int address) const { return address >= first && address <= last; }
};

// ---- Blocks -------------------------------------------------------------------------------
/// Bytes per read request and per range write.
inline constexpr int kBlockSize = 64;
/// Bytes per write over the short log ranges of the DSC TX log.
inline constexpr int kShortBlockSize = 32;

// ---- Identity and counters ----------------------------------------------------------------
inline constexpr int kModelCodeAddress = checkmap::kModelCodeAddress;  // 128..129
inline constexpr int kProductCodeAddress = checkmap::kProductCodeAddress;
/// The product-code check reads one byte more than the code itself.
inline constexpr int kProductReadCount = 7;
inline constexpr int kRegionAddress = checkmap::kRegionAddress;                        // 271
inline constexpr AddressRange kUserMmsi = {layout::kUserMmsi, layout::kUserMmsi + 4};  // 640..644
inline constexpr int kUserMmsiCount = layout::kUserMmsiCount;                          // 645
inline constexpr AddressRange kAtisCode = {layout::kAtisCode, layout::kAtisCode + 4};  // 646..650
inline constexpr int kAtisCodeCount = layout::kAtisCodeCount;                          // 651
/// Bytes after the ATIS count that the radio keeps for itself.
inline constexpr AddressRange kRadioOwnedIds = {652, 653};
/// Usable-for-ATIS flags of channel groups 0, 1 and 2 (306, 322, 338).
inline constexpr std::array<int, 3> kAtisGroupFlags = {
    layout::GroupBlock(0) + layout::kGroupAtisUsableOffset,
    layout::GroupBlock(1) + layout::kGroupAtisUsableOffset,
    layout::GroupBlock(2) + layout::kGroupAtisUsableOffset};
inline constexpr int kMmsiClearCount = 32746;  // 0x7FEA
inline constexpr int kAtisClearCount = 32747;  // 0x7FEB

// ---- Read copy map ------------------------------------------------------------------------
/// A read replaces image bytes from here to ImageLastAddress; 0..127 are never replaced.
inline constexpr int kReadCopyFirst = 128;
/// Within that span the image keeps its own bytes here.
inline constexpr std::array<AddressRange, 7> kReadKeptRanges = {{
    {130, 160},
    {384, 639},
    {678, 703},
    {752, 767},
    {1792, 2047},
    {17920, 18175},
    {20736, 32765},
}};

// ---- Program map --------------------------------------------------------------------------
/// What programming does at a 64-byte start address.
enum class ProgramStep {
    Skip,     ///< nothing written; costs the skip pause
    Block,    ///< the 64-byte block at the start
    Bytes,    ///< the bytes of `bytes`, one byte per write
    UserIds,  ///< 640..687 one byte per write, with the MMSI and ATIS rules
};

/// Start addresses `starts` (step 64) and what is done at each.
struct ProgramMapEntry {
    AddressRange starts;
    ProgramStep step;
    AddressRange bytes;
};

/// Programming walks the start addresses 0, 64, ... kProgramLastStart.
inline constexpr int kProgramLastStart = 20736;
/// Pause for a start address with nothing to write.
inline constexpr int kProgramSkipPauseMs = 50;
inline constexpr std::array<ProgramMapEntry, 13> kProgramMap = {{
    {{0, 127}, ProgramStep::Skip, {0, -1}},
    {{128, 128}, ProgramStep::Bytes, {160, 191}},
    {{192, 255}, ProgramStep::Skip, {0, -1}},
    {{256, 256}, ProgramStep::Bytes, {271, 319}},
    {{320, 639}, ProgramStep::Skip, {0, -1}},
    {{640, 640}, ProgramStep::UserIds, {640, 687}},
    {{704, 704}, ProgramStep::Bytes, {704, 735}},
    {{768, 1791}, ProgramStep::Block, {0, -1}},
    {{1792, 2047}, ProgramStep::Skip, {0, -1}},
    {{2048, 17919}, ProgramStep::Block, {0, -1}},
    {{17920, 18175}, ProgramStep::Skip, {0, -1}},
    {{18176, 20735}, ProgramStep::Block, {0, -1}},
    {{20736, 20736}, ProgramStep::Skip, {0, -1}},
}};

/// Whether programming writes `address` of the UserIds step: never the two counts and the
/// radio's own bytes, the user MMSI and the ATIS code only when they are new to the radio.
constexpr bool ProgramWritesUserIdByte(int address, bool newMmsi, bool newAtis) {
    return address != kUserMmsiCount && address != kAtisCodeCount &&
           !kRadioOwnedIds.Contains(address) && (newMmsi || !kUserMmsi.Contains(address)) &&
           (newAtis || !kAtisCode.Contains(address));
}

/// The program map entry of a start address (Skip for a start no entry covers).
constexpr ProgramMapEntry ProgramStepAt(int start) {
    for (const ProgramMapEntry& entry : kProgramMap) {
        if (entry.starts.Contains(start)) {
            return entry;
        }
    }
    return {{start, start}, ProgramStep::Skip, {0, -1}};
}

/// Whether programming writes `address` into the radio: the program map's blocks and bytes,
/// the user MMSI and the ATIS code counted as written (they are, to a radio that holds none).
constexpr bool ProgramWrites(int address) {
    const ProgramMapEntry entry = ProgramStepAt(address - address % kBlockSize);
    switch (entry.step) {
        case ProgramStep::Block:
            return true;
        case ProgramStep::Bytes:
            return entry.bytes.Contains(address);
        case ProgramStep::UserIds:
            return entry.bytes.Contains(address) && ProgramWritesUserIdByte(address, true, true);
        case ProgramStep::Skip:
            break;
    }
    return false;
}

// ---- Clear map ----------------------------------------------------------------------------
/// Image bytes set to `value` before a clear writes them.
struct ClearFill {
    AddressRange range;
    uint8_t value;
};

/// How a range of a clear is written.
enum class ClearWriter {
    Blocks64,   ///< the 64-byte blocks whose start lies in the range (ClearDataAny)
    Blocks32,   ///< 32-byte blocks from the range's first address (ClearDataAny2)
    AllBlocks,  ///< every 64-byte block from kAllBlocksFirst, with skips (ClearDataAll)
};

struct ClearWrite {
    ClearWriter writer;
    AddressRange range;
};

/// Pause for a skipped clear step.
inline constexpr int kClearSkipPauseMs = 10;
/// "Clear All Data" rewrites the blocks from here to ImageLastAddress ...
inline constexpr int kAllBlocksFirst = 18176;
/// ... except those starting in this range ...
inline constexpr AddressRange kAllBlocksSkipped = {19456, 20223};
/// ... and those starting here or above.
inline constexpr int kAllBlocksEnd = 32704;

inline constexpr AddressRange kDscLog = {26880, 30975};
inline constexpr AddressRange kDistressLog = {30976, 32703};
inline constexpr AddressRange kIndividualDirectory = {18176, 19455};
inline constexpr AddressRange kGroupDirectory = {20224, 20735};
inline constexpr AddressRange kWaypointDirectory = {20736, 24191};
/// The first waypoint entries, which a cleared radio holds as 0x00.
inline constexpr AddressRange kWaypointZeroed = {20736, 20835};
inline constexpr std::array<AddressRange, 6> kDscTxShortLogs = {{
    {768, 863},
    {896, 991},
    {1024, 1119},
    {1152, 1247},
    {1280, 1375},
    {1408, 1503},
}};
inline constexpr AddressRange kDscTxLog = {25344, 26879};

inline constexpr ClearFill kFillDscLog[] = {{kDscLog, 0xFF}};
inline constexpr ClearFill kFillDistressLog[] = {{kDistressLog, 0xFF}};
inline constexpr ClearFill kFillIndividual[] = {{kIndividualDirectory, 0xFF}};
inline constexpr ClearFill kFillGroup[] = {{kGroupDirectory, 0xFF}};
inline constexpr ClearFill kFillWaypoint[] = {{kWaypointDirectory, 0xFF}, {kWaypointZeroed, 0x00}};
inline constexpr ClearFill kFillDscTx[] = {{kDscTxShortLogs[0], 0xFF}, {kDscTxShortLogs[1], 0xFF},
                                           {kDscTxShortLogs[2], 0xFF}, {kDscTxShortLogs[3], 0xFF},
                                           {kDscTxShortLogs[4], 0xFF}, {kDscTxShortLogs[5], 0xFF},
                                           {kDscTxLog, 0xFF}};

inline constexpr ClearWrite kWriteDscLog[] = {{ClearWriter::Blocks64, kDscLog}};
inline constexpr ClearWrite kWriteDistressLog[] = {{ClearWriter::Blocks64, kDistressLog}};
inline constexpr ClearWrite kWriteIndividual[] = {{ClearWriter::Blocks64, kIndividualDirectory}};
inline constexpr ClearWrite kWriteGroup[] = {{ClearWriter::Blocks64, kGroupDirectory}};
inline constexpr ClearWrite kWriteWaypoint[] = {{ClearWriter::Blocks64, kWaypointDirectory}};
inline constexpr ClearWrite kWriteDscTx[] = {
    {ClearWriter::Blocks32, kDscTxShortLogs[0]}, {ClearWriter::Blocks32, kDscTxShortLogs[1]},
    {ClearWriter::Blocks32, kDscTxShortLogs[2]}, {ClearWriter::Blocks32, kDscTxShortLogs[3]},
    {ClearWriter::Blocks32, kDscTxShortLogs[4]}, {ClearWriter::Blocks32, kDscTxShortLogs[5]},
    {ClearWriter::Blocks64, kDscTxLog}};
inline constexpr ClearWrite kWriteAll[] = {
    {ClearWriter::Blocks32, kDscTxShortLogs[0]},
    {ClearWriter::Blocks32, kDscTxShortLogs[1]},
    {ClearWriter::Blocks32, kDscTxShortLogs[2]},
    {ClearWriter::Blocks32, kDscTxShortLogs[3]},
    {ClearWriter::Blocks32, kDscTxShortLogs[4]},
    {ClearWriter::Blocks32, kDscTxShortLogs[5]},
    {ClearWriter::AllBlocks, {kAllBlocksFirst, kAllBlocksEnd - 1}}};

// ---- The radio's own records inside written blocks ---------------------------------------
/// A range of the radio's own records that a settings file does not hold.
struct RadioRecords {
    AddressRange range;
    const char* what;
};
/// Bytes inside blocks that programming writes whole which the radio fills itself and a
/// settings file does not hold, so that an image built from a settings file has them blank.
/// A program that has read the radio first takes them from that read.
inline constexpr std::array<RadioRecords, 6> kRadioRecordsInWrittenBlocks = {{
    {kDscTxShortLogs[0], "DSC TX log"},
    {kDscTxShortLogs[1], "DSC TX log"},
    {kDscTxShortLogs[2], "DSC TX log"},
    {kDscTxShortLogs[3], "DSC TX log"},
    {kDscTxShortLogs[4], "DSC TX log"},
    {kDscTxShortLogs[5], "DSC TX log"},
}};
/// The entry counts that programming changes: a user MMSI or ATIS code new to the radio
/// counts one more.
inline constexpr std::array<int, 2> kProgrammedCounts = {kUserMmsiCount, kAtisCodeCount};

/// One range clear (modes 3 to 9): its note, its fills in order, its writes in order.
struct ClearPlan {
    int mode;
    const char* note;
    std::array<std::span<const ClearFill>, 6> fills;
    std::span<const ClearWrite> writes;
};

inline constexpr std::array<ClearPlan, 7> kClearPlans = {{
    {3, "radio clear DSC...", {kFillDscLog}, kWriteDscLog},
    {4, "radio clear Distress...", {kFillDistressLog}, kWriteDistressLog},
    {5, "radio clear individual...", {kFillIndividual}, kWriteIndividual},
    {6, "radio clear group...", {kFillGroup}, kWriteGroup},
    {7, "radio clear waypoint...", {kFillWaypoint}, kWriteWaypoint},
    {8, "radio clear DSCTX...", {kFillDscTx}, kWriteDscTx},
    {9,
     "radio clear All...",
     {kFillDscLog, kFillDistressLog, kFillIndividual, kFillGroup, kFillWaypoint, kFillDscTx},
     kWriteAll},
}};

/// The plan of a range clear mode, or nullptr for any other mode.
constexpr const ClearPlan* ClearPlanOf(int mode) {
    for (const ClearPlan& plan : kClearPlans) {
        if (plan.mode == mode) {
            return &plan;
        }
    }
    return nullptr;
}

}  // namespace mrw::transfermap
