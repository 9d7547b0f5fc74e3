// The image areas that the consistency pass, the checksum, the model identity and the default
// image work on: the radio's current-channel bytes, its remembered channel lists, the
// identity area and the bytes a new image starts from.
#pragma once

#include <array>
#include <cstdint>

#include "image/memory_map.h"

namespace mrw::checkmap {

// ---- Checksum ----------------------------------------------------------------------------
inline constexpr int kChecksumStart = 66;    // 0x42: first byte covered by the checksum
inline constexpr int kChecksumCount = 29;    // bytes 66..94
inline constexpr int kChecksumAddress = 95;  // 0x5F

// ---- Model identity ----------------------------------------------------------------------
inline constexpr int kModelCodeAddress = 128;    // 0x80: model code, high byte first
inline constexpr int kProductCodeAddress = 256;  // 0x100: product code, ASCII
inline constexpr int kProductCodeLength = 6;
inline constexpr int kRegionAddress = 271;  // 0x10F: region code (0..5, other = USA)

// ---- Current channel ---------------------------------------------------------------------
inline constexpr int kCurrentGroup = 161;    // 0xA1: 0, 1 or 2
inline constexpr int kCurrentMode = 162;     // 0xA2
inline constexpr int kCurrentRef = 163;      // 0xA3: current channel reference, 2 bytes
inline constexpr int kSecondRef = 165;       // 0xA5: second channel reference, 2 bytes
inline constexpr int kCurrentWeather = 167;  // 0xA7: CHWX index 0..9

inline constexpr int kChannelMode = 0;
inline constexpr int kWeatherMode = 1;

// ---- Remembered channel lists: group t entry j at 384 + 32t + 2j -------------------------
inline constexpr int kRememberedListBase = 384;  // 0x180
inline constexpr int kRememberedListStride = 32;
inline constexpr int kRememberedEntries = 8;
inline constexpr int kEmptyRef = 0xFFFF;

// ---- Channel groups and their tables (the general layout lives in memory_map.h) -----------
inline constexpr int kStandardGroups = 3;  // Group1..Group3: CHUSA, CHINT, CHCAN
inline constexpr int kExpGroup = 3;        // "Exp CH"
inline constexpr std::array<layout::ChannelTableId, kStandardGroups> kStandardTables = {
    layout::ChannelTableId::CHUSA, layout::ChannelTableId::CHINT, layout::ChannelTableId::CHCAN};
inline constexpr int kStandardRefLast = 119;  // highest standard channel reference
inline constexpr layout::ChannelTableLayout kWeatherTable =
    layout::TableLayout(layout::ChannelTableId::CHWX);
inline constexpr layout::ChannelTableLayout kExpTable =
    layout::TableLayout(layout::ChannelTableId::CHEXP);

/// Address of the usable flag byte of channel group `group` (0..3).
constexpr int GroupUsableAddress(int group) {
    return layout::GroupBlock(group) + layout::kGroupUsableOffset;
}
/// Address of entry `entry` of the remembered channel list of group `group`.
constexpr int RememberedEntryAddress(int group, int entry) {
    return kRememberedListBase + kRememberedListStride * group + 2 * entry;
}

// ---- The bytes a new image starts from (everything else 0xFF) ----------------------------

/// A run of default bytes written at one address.
struct DefaultBytes {
    int address;
    std::array<uint8_t, 8> bytes;
    int count;
};

inline constexpr std::array<DefaultBytes, 25> kDefaultBytes = {{
    {130, {0x00, 0x00}, 2},                                 // identity area
    {kCurrentGroup, {0x00}, 1},                             // current group Group1
    {kCurrentMode, {kChannelMode}, 1},                      // channel mode
    {kCurrentRef, {0x00, 0x1E}, 2},                         // current channel reference 30
    {kSecondRef, {0x00, 0x1E}, 2},                          // second channel reference 30
    {kCurrentWeather, {0x00}, 1},                           // weather channel 0
    {169, {0x00, 0x00}, 2},                                 //
    {172, {0xFF}, 1},                                       //
    {175, {0x00}, 1},                                       //
    {184, {0x03}, 1},                                       // Resume Time 3
    {189, {0x00}, 1},                                       //
    {191, {0x00}, 1},                                       //
    {224, {0x00, 0x20, 0x00, 0x20, 0x00, 0x20}, 6},         // Priority CH 32 of groups 0..2
    {311, {'R', 'A', 'D', 'I', 'O'}, 5},                    // text of group 0's block
    {327, {'R', 'A', 'M', '1'}, 4},                         // text of group 1's block
    {343, {'R', 'A', 'M', '2'}, 4},                         // text of group 2's block
    {640, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, 5},               // User MMSI blank
    {645, {0x00}, 1},                                       // User MMSI entry count
    {646, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, 5},               // Atis Code blank
    {651, {0x00}, 1},                                       // Atis Code entry count
    {657, {0x60}, 1},                                       // All Ships Call: Urgency, Safety
    {658, {0x10, 0x10}, 2},                                 // Group, Individual Call: Routine
    {663, {0xFE}, 1},                                       // display and beep flags but bit 0
    {kExpTable.enableBitmap, {0, 0, 0, 0, 0, 0, 0, 0}, 8},  // CHEXP enable bitmap: no channels
    {kExpTable.scanBitmap, {0, 0, 0, 0, 0, 0, 0, 0}, 8},    // CHEXP scan bitmap
}};

}  // namespace mrw::checkmap
