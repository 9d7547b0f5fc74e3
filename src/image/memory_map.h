// The radio's memory map: where every field of the data model lives in the memory image.
// Every address, width and bit position the codec uses is declared here once; the channel,
// directory and settings maps look them up. Addresses are decimal with hexadecimal beside.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace mrw::layout {

/// A bit field inside a record: byte offset, width in bits and top bit (7 = most significant).
struct BitField {
    int offset;
    int width;
    int top;
};

// ---- Channel tables ----------------------------------------------------------------------

/// The six channel tables, in the order of the table rows below.
enum class ChannelTableId { CHUSA, CHINT, CHCAN, CHWX, CHEXP, CHRG };

/// Kind of per-slot channel record a table keeps.
enum class RecordKind { None, FourByte, SixteenByte };

/// Where one channel table lives. A bitmap holds one bit per slot, slot k in byte k / 8, bit
/// 7 - k % 8. Slot k's tag lies at tagBase + 16k, its record at recordBase + recordSize * k.
struct ChannelTableLayout {
    ChannelTableId id;
    const char* name;
    int slotCount;
    int enableBitmap;
    int enableBytes;
    int scanBitmap;
    int scanBytes;
    int tagBase;
    RecordKind kind;
    int recordBase;
    int recordSize;
};

inline constexpr int kTagSize = 16;

inline constexpr std::array<ChannelTableLayout, 6> kChannelTables = {{
    // id, name, slot count, enable bitmap, bytes, scan bitmap, bytes, tags, kind, records, size
    {ChannelTableId::CHUSA, "CHUSA", 96, 1536 /*0x600*/, 12, 1664 /*0x680*/, 12, 4864 /*0x1300*/,
     RecordKind::FourByte, 2048 /*0x800*/, 4},
    {ChannelTableId::CHINT, "CHINT", 96, 1568 /*0x620*/, 12, 1696 /*0x6A0*/, 12, 7936 /*0x1F00*/,
     RecordKind::FourByte, 2560 /*0xA00*/, 4},
    {ChannelTableId::CHCAN, "CHCAN", 96, 1600 /*0x640*/, 12, 1728 /*0x6C0*/, 12, 11008 /*0x2B00*/,
     RecordKind::FourByte, 3072 /*0xC00*/, 4},
    {ChannelTableId::CHWX, "CHWX", 10, 1632 /*0x660*/, 2, 1760 /*0x6E0*/, 2, 14592 /*0x3900*/,
     RecordKind::None, 0, 0},
    {ChannelTableId::CHEXP, "CHEXP", 64, 1636 /*0x664*/, 8, 1764 /*0x6E4*/, 8, 15616 /*0x3D00*/,
     RecordKind::SixteenByte, 3584 /*0xE00*/, 16},
    {ChannelTableId::CHRG, "CHRG", 16, 1644 /*0x66C*/, 2, 1772 /*0x6EC*/, 2, 15104 /*0x3B00*/,
     RecordKind::SixteenByte, 4608 /*0x1200*/, 16},
}};

/// The layout row of a table.
constexpr const ChannelTableLayout& TableLayout(ChannelTableId id) {
    return kChannelTables[static_cast<int>(id)];
}

/// Four-byte record of the standard tables (CHUSA, CHINT, CHCAN).
namespace rec4 {
inline constexpr BitField kPosition{0, 8, 7};
inline constexpr BitField kDuplex{1, 2, 7};
inline constexpr BitField kTxMode{1, 2, 5};
inline constexpr BitField kPowUp{1, 1, 3};
inline constexpr BitField kStatusIcon{1, 3, 2};
inline constexpr BitField kInterShipCH{2, 1, 7};
inline constexpr BitField kStatusNo{2, 7, 6};
inline constexpr BitField kScrambleOn{3, 1, 7};
inline constexpr BitField kReserved{3, 1, 6};  ///< Always written 0, never read.
inline constexpr BitField kScramble{3, 6, 5};
}  // namespace rec4

/// Sixteen-byte record of the user channel tables (CHEXP, CHRG).
namespace rec16 {
inline constexpr std::array<BitField, 3> kExpCB = {{{0, 1, 7}, {0, 1, 6}, {0, 1, 5}}};
inline constexpr BitField kReservedHigh{0, 1, 4};  ///< Always written 0, never read.
inline constexpr BitField kTxMode{0, 2, 3};
inline constexpr BitField kPowUp{0, 1, 1};
inline constexpr BitField kReservedLow{0, 1, 0};  ///< Always written 0, never read.
inline constexpr BitField kScrambleOn{1, 1, 7};
inline constexpr BitField kReserved{1, 1, 6};  ///< Always written 0, never read.
inline constexpr BitField kScramble{1, 6, 5};
inline constexpr int kFillerOffset = 2;  ///< Two bytes written 0xFF, never read.
inline constexpr int kFillerBytes = 2;
inline constexpr int kDisplayOffset = 4;  ///< CHDisplayL, one character a byte.
inline constexpr int kDisplayChars = 2;
inline constexpr int kRxFreqOffset = 6;  ///< BCD frequency field, 3 bytes.
inline constexpr int kTxFreqOffset = 9;  ///< BCD frequency field, 3 bytes.
inline constexpr int kFreqBytes = 3;
/// Bytes 0 .. kWrittenBytes - 1 of a used slot are written; the rest are the radio's own.
/// A free slot is written whole (0xFF).
inline constexpr int kWrittenBytes = 12;
}  // namespace rec16

/// Transmit mode values of the 2-bit field (from TxEnable and LowPower).
inline constexpr int kTxModeOff = 0;
inline constexpr int kTxModeLowPower = 1;
inline constexpr int kTxModeUnused = 2;  ///< Never written; decodes as transmit off.
inline constexpr int kTxModeFull = 3;

// ---- Directories -------------------------------------------------------------------------

/// Where one MMSI directory lives: entry i (1-based) at base + entrySize * (i - 1).
struct DirectoryLayout {
    const char* name;
    int base;
    int count;
    int entrySize;
};

inline constexpr DirectoryLayout kIndividualDirectory{"CHMMSID", 18176 /*0x4700*/, 80, 16};
inline constexpr DirectoryLayout kGroupDirectory{"CHGRPID", 20224 /*0x4F00*/, 32, 16};
inline constexpr std::array<DirectoryLayout, 2> kDirectories = {kIndividualDirectory,
                                                                kGroupDirectory};

inline constexpr int kDirMmsiOffset = 0;  ///< 5 bytes of BCD digits, last nibble 0.
inline constexpr int kDirTagOffset = 5;   ///< TagName, 11 characters, 0xFF after the last.
inline constexpr int kDirTagChars = 11;

// ---- Settings ----------------------------------------------------------------------------

inline constexpr int kDigitBytes = 5;  ///< Size of a BCD digit string (MMSI, ATIS code).

/// Channel group blocks: group i (Group1, Group2, Group3, Exp CH) at base + size * i.
inline constexpr int kGroupBlockBase = 304;  // 0x130
inline constexpr int kGroupBlockSize = 16;
inline constexpr int kGroupUsableOffset = 0;      ///< Flag byte.
inline constexpr int kGroupDscUsableOffset = 1;   ///< Flag byte (Group1..Group3 only).
inline constexpr int kGroupAtisUsableOffset = 2;  ///< Flag byte.
inline constexpr int kGroupStatusNameOffset = 3;  ///< Text of 4 characters.
inline constexpr int kGroupStatusNameChars = 4;
inline constexpr int kGroupBlocks = 4;
inline constexpr int kDscGroups = 3;  ///< Groups with a DSC usable flag in the model.

constexpr int GroupBlock(int group) {
    return kGroupBlockBase + kGroupBlockSize * group;
}

/// Priority channels of Group1..Group3: 16-bit, high byte first, at base + stride * i.
inline constexpr int kPriorityBase = 224;  // 0xE0
inline constexpr int kPriorityStride = 2;
inline constexpr int kPriorityGroups = 3;

constexpr int PriorityAddress(int group) {
    return kPriorityBase + kPriorityStride * group;
}

/// Common setup.
inline constexpr int kDualWatch = 180;     // 0xB4, flag byte
inline constexpr int kScan = 181;          // 0xB5, flag byte
inline constexpr int kPttScanClear = 183;  // 0xB7, flag byte
inline constexpr int kResumeTime = 184;    // 0xB8, byte value
inline constexpr int kTimeByte = 185;      // 0xB9, time display, format and offset
inline constexpr int kTimeDisplayBit = 7;
inline constexpr int kFormatBit = 6;
inline constexpr uint8_t kOffsetMask = 0x3F;  ///< Bits 5..0: signed half-hour value.
inline constexpr int kSog = 186;              // 0xBA, byte value
inline constexpr int kDistance = 187;         // 0xBB, byte value
inline constexpr int kWeater = 190;           // 0xBE, byte value

/// DSC basic setup.
inline constexpr int kUserMmsi = 640;         // 0x280, digits, last nibble 0
inline constexpr int kUserMmsiCount = 645;    // 0x285, entries made on the radio (not mapped)
inline constexpr int kDscFlags = 663;         // 0x297, shared flag bits
inline constexpr int kBeep0Bit = 7;           ///< BeepOut[0] "Send Distress Alert".
inline constexpr int kDistressCancelBit = 6;  ///< PosRequest[0] "Distress Cancel Call".
inline constexpr std::array<int, 3> kDisplayBits = {4, 3, 2};  ///< DSC display setup 0..2.

/// Beep outputs 1..6 are flag bytes; note element 4 lies after elements 5 and 6.
struct BeepByte {
    int element;
    int address;
};
inline constexpr std::array<BeepByte, 6> kBeepBytes = {{
    {1, 665 /*0x299*/},
    {2, 666 /*0x29A*/},
    {3, 667 /*0x29B*/},
    {4, 670 /*0x29E*/},
    {5, 668 /*0x29C*/},
    {6, 669 /*0x29D*/},
}};

/// DSC advanced setup: one byte per call type; list element i at bit 7 - i, TX list element i
/// at bit 3 - i.
inline constexpr int kDscAdvancedBase = 657;  // 0x291 .. 0x296
inline constexpr int kDscCallTypeBytes = 6;
inline constexpr int kDscListTopBit = 7;
inline constexpr int kDscTxTopBit = 3;

/// Auto position setup (record 1 only).
inline constexpr int kAutoPosRecord = 1;
inline constexpr int kAutoPosEnable = 704;          // 0x2C0, flag byte
inline constexpr int kAutoPosChannelHigh = 705;     // 0x2C1, bits 6..0
inline constexpr int kAutoPosChannelLow = 706;      // 0x2C2
inline constexpr int kAutoPosChannelMask = 0x7FFF;  ///< 15-bit channel reference.
inline constexpr int kAutoPosInterval = 707;        // 0x2C3, byte value
inline constexpr int kAutoPosMmsi = 709;            // 0x2C5, digits, last nibble 0
inline constexpr int kAutoPosMarineEnable = 719;    // 0x2CF, byte value
inline constexpr int kAutoPosSelectCall = 730;      // 0x2DA, byte value
/// LASTADDRESS lies at the byte of its SELECTCALL value (0 or 1); other values have none.
inline constexpr std::array<int, 2> kAutoPosLastAddress = {731 /*0x2DB*/, 732 /*0x2DC*/};

/// ATIS setup.
inline constexpr int kAtisCode = 646;       // 0x286, digits, all ten nibbles
inline constexpr int kAtisCodeCount = 651;  // 0x28B, entries made on the radio (not mapped)

/// One image byte and the bits of it that the settings map owns.
struct MappedBits {
    int address;
    uint8_t mask;
};

namespace detail {
constexpr std::array<MappedBits, 256> BuildSettingsBits(int& count) {
    std::array<MappedBits, 256> rows{};
    int n = 0;
    auto add = [&](int address, uint8_t mask) { rows[static_cast<size_t>(n++)] = {address, mask}; };
    for (int g = 0; g < kGroupBlocks; ++g) {
        add(GroupBlock(g) + kGroupUsableOffset, 0xFF);
        if (g < kDscGroups) {
            add(GroupBlock(g) + kGroupDscUsableOffset, 0xFF);
        }
        add(GroupBlock(g) + kGroupAtisUsableOffset, 0xFF);
        for (int c = 0; c < kGroupStatusNameChars; ++c) {
            add(GroupBlock(g) + kGroupStatusNameOffset + c, 0xFF);
        }
    }
    for (int g = 0; g < kPriorityGroups; ++g) {
        add(PriorityAddress(g), 0xFF);
        add(PriorityAddress(g) + 1, 0xFF);
    }
    for (int a :
         {kDualWatch, kScan, kPttScanClear, kResumeTime, kTimeByte, kSog, kDistance, kWeater}) {
        add(a, 0xFF);
    }
    for (int i = 0; i < kDigitBytes; ++i) {
        add(kUserMmsi + i, 0xFF);
        add(kAutoPosMmsi + i, 0xFF);
        add(kAtisCode + i, 0xFF);
    }
    uint8_t dscMask = static_cast<uint8_t>((1u << kBeep0Bit) | (1u << kDistressCancelBit));
    for (int bit : kDisplayBits) {
        dscMask = static_cast<uint8_t>(dscMask | (1u << bit));
    }
    add(kDscFlags, dscMask);
    for (const BeepByte& b : kBeepBytes) {
        add(b.address, 0xFF);
    }
    for (int c = 0; c < kDscCallTypeBytes; ++c) {
        add(kDscAdvancedBase + c, 0xFF);
    }
    for (int a : {kAutoPosEnable, kAutoPosChannelHigh, kAutoPosChannelLow, kAutoPosInterval,
                  kAutoPosMarineEnable, kAutoPosSelectCall, kAutoPosLastAddress[0],
                  kAutoPosLastAddress[1]}) {
        add(a, 0xFF);
    }
    count = n;
    return rows;
}

constexpr int CountSettingsBits() {
    int n = 0;
    BuildSettingsBits(n);
    return n;
}

constexpr auto SettingsBits() {
    int n = 0;
    auto all = BuildSettingsBits(n);
    std::array<MappedBits, CountSettingsBits()> rows{};
    for (size_t i = 0; i < rows.size(); ++i) {
        rows[i] = all[i];
    }
    return rows;
}
}  // namespace detail

/// Every settings byte the settings map may write, with the bits of it that it owns
/// (LASTADDRESS bytes included; which of them is written depends on SELECTCALL).
inline constexpr auto kSettingsBits = detail::SettingsBits();

}  // namespace mrw::layout
