// The decoded radio configuration: six channel tables, two MMSI directories and the setup
// settings. Field names follow the keys of the settings file so that every part of the
// program can speak of, say, the `Rxfreq` field of a channel record.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace mrw {

/// One channel of any of the six channel tables; each table uses a subset of the fields.
struct ChannelRecord {
    int16_t Position = 0;         ///< Catalogue index 0..119 (standard tables).
    bool Enable = false;          ///< The channel is in use.
    bool LowPower = false;        ///< "Low Power Only".
    bool PowUp = false;           ///< "Power Up".
    int16_t Duplex = 0;           ///< 0 TX_SIMP, 1 RX_SIMP, 2 DUPLEX, 3 Reverse DUP.
    bool TxEnable = false;        ///< Transmitting is allowed.
    bool ScanMemory = false;      ///< In the scan memory.
    std::string ChTag;            ///< Channel name, up to 16 characters.
    int16_t Scramble = 0;         ///< Scrambler code 0..63, 0 is off.
    std::string CHDisplayL;       ///< Display text of a user channel, 2 characters.
    std::string CHDisplayR;       ///< Second display text, kept in the settings file only.
    double Txfreq = 0.0;          ///< Transmit frequency in MHz of a user channel, 0 = blank.
    double Rxfreq = 0.0;          ///< Receive frequency in MHz of a user channel, 0 = blank.
    std::array<bool, 3> ExpCB{};  ///< Per-channel group flags of user channels.
    int16_t StatusIcon = 0;       ///< Channel number suffix: 0 none, 1 "A", 2 "B".
    bool InterShipCH = false;     ///< DSC inter-ship channel.
    int16_t StatusNo = 0;         ///< Channel number prefix: 127 none, 10, 20.
    bool ScrambleOn = false;      ///< True exactly when `Scramble` is above 0.

    bool operator==(const ChannelRecord&) const = default;
};

/// A channel table: the channels in use, contiguous from index 0.
using ChannelTable = std::vector<ChannelRecord>;

/// Most records of each channel table.
inline constexpr int kMaxStandardChannels = 96;  // CHUSA, CHINT, CHCAN
inline constexpr int kWeatherChannels = 10;      // CHWX, always all present
inline constexpr int kMaxExpChannels = 64;       // CHEXP
inline constexpr int kMaxRgChannels = 16;        // CHRG

/// Empties a channel table.
void EmptyTable(ChannelTable& table);
/// Appends a record with all fields zero, False or empty and returns it.
ChannelRecord& AppendRecord(ChannelTable& table);
/// Grows (or shrinks) the table to `length` records, keeping the existing ones.
void GrowTable(ChannelTable& table, int length);

/// One entry of an MMSI directory.
struct DirectoryRecord {
    bool Enable = false;
    std::string TagName;  ///< Station or group name, up to 11 characters.
    std::string Mmsid;    ///< MMSI, up to 10 decimal digits.

    bool operator==(const DirectoryRecord&) const = default;
};

inline constexpr int kIndividualDirectorySize = 80;  // CHMMSID, records 1..80
inline constexpr int kGroupDirectorySize = 32;       // CHGRPID, records 1..32

/// One channel group of "Usable CH Group Setup": Group1, Group2, Group3, Exp CH.
struct ChannelGroup {
    bool Usable = false;
    int32_t PriorityCH = 0;  ///< Index + 1 of a record of the group's table; negative = none.
    std::string StatusName;  ///< Up to 4 characters.
    std::array<bool, 3> ExpChGroup{};  ///< Used by the "Exp CH" group only.

    bool operator==(const ChannelGroup&) const = default;
};

inline constexpr int kChannelGroups = 4;
/// Names of the four channel groups, as the settings file writes them.
inline constexpr std::array<const char*, kChannelGroups> kGroupNames = {"Group1", "Group2",
                                                                        "Group3", "Exp CH"};

/// "Common Setup".
struct CommonSetup {
    int16_t TxPowerMode = 0;   ///< 0..2; stored in neither the file nor the image.
    bool Scan = false;         ///< SCAN
    bool TimeDisplay = false;  ///< Time Display: False UTC, True Local.
    bool Format = false;       ///< Format: False 12H, True 24H.
    int16_t ResumeTime = 0;    ///< Resume Time 0..5.
    bool PttScanClear = false;
    bool DualWatch = false;
    int16_t OffsetTime = 0;  ///< Half hours, -24..24.
    int16_t Weater = 0;      ///< Weather alert: 0 off, 3 on.
    int16_t Sog = 0;         ///< 0 KTS, 1 MPH, 2 KMH.
    int16_t Distance = 0;    ///< 0 Nm, 1 Sm, 2 Km.

    bool operator==(const CommonSetup&) const = default;
};

/// "DSC Setup (Basic Setup)".
struct DscBasicSetup {
    std::array<bool, 3> UsableDsc{};     ///< DSC usable flag of Group1..Group3.
    std::string UserMmsi;                ///< Ten digits (nine and "0") or empty.
    std::array<bool, 4> PosRequest{};    ///< Distress Cancel Call, Standby Mode, POS Request,
                                         ///< POS Reporting.
    std::array<bool, 4> PosRequestTx{};  ///< Low / Hi.
    std::array<bool, 8> BeepOut{};

    bool operator==(const DscBasicSetup&) const = default;
};

/// One call type of "DSC Setup (Advanced Setup)": categories Distress, Urgency, Safety,
/// Routine.
struct DscCallType {
    std::array<bool, 4> List{};
    std::array<bool, 4> Tx{};

    bool operator==(const DscCallType&) const = default;
};

inline constexpr int kDscCallTypes = 6;
/// Names of the call types in their fixed order.
inline constexpr std::array<const char*, kDscCallTypes> kDscCallTypeNames = {
    "All Ships Call",       "Group Call",          "Individual Call",
    "PositionRequest Call", "PositionReport Call", "Test Call"};

/// One automatic position record of "DSC Setup (AutoPos Setup)".
struct AutoPosRecord {
    bool Enable = false;       ///< ENABLE
    int16_t MarineEnable = 0;  ///< MARINE ENABLE
    std::string Channel;       ///< CHANNEL: a number, held as text until used.
    std::string Interval;      ///< INTERVAL: a number, held as text until used.
    int16_t SelectCall = 0;    ///< SELECTCALL
    int32_t LastAddress = 0;   ///< LASTADDRESS
    bool RcEnable = false;     ///< RCENABLE
    std::string Mmsi;          ///< MMSI: ten digits or empty.

    bool operator==(const AutoPosRecord&) const = default;
};

/// "DSC Setup (AutoPos Setup)": record 0 "Auto POS Report", record 1 "Auto POS Request".
struct AutoPosSetup {
    bool MenuDisplay = false;
    std::array<AutoPosRecord, 2> Records{};

    bool operator==(const AutoPosSetup&) const = default;
};

/// "ATIS Setup (Common)".
struct AtisCommonSetup {
    std::array<bool, 4> UsableAtis{};    ///< Usable ATIS CH Group
    std::string AtisCode;                ///< Ten digits or empty.
    std::array<bool, 4> UsableKikker{};  ///< Usable ATIS Kikker CH Group

    bool operator==(const AtisCommonSetup&) const = default;
};

/// One entry of "ATIS Setup (Call Sign)".
struct CallSignEntry {
    std::string Mid;
    std::string Disp;

    bool operator==(const CallSignEntry&) const = default;
};

inline constexpr int kCallSignEntries = 32;

/// The whole decoded configuration.
struct DataModel {
    ChannelTable CHUSA;
    ChannelTable CHINT;
    ChannelTable CHCAN;
    ChannelTable CHWX;
    ChannelTable CHEXP;
    ChannelTable CHRG;
    std::array<DirectoryRecord, kIndividualDirectorySize> CHMMSID{};
    std::array<DirectoryRecord, kGroupDirectorySize> CHGRPID{};

    std::array<ChannelGroup, kChannelGroups> Groups{};        ///< "Usable CH Group Setup"
    CommonSetup Common;                                       ///< "Common Setup"
    DscBasicSetup DscBasic;                                   ///< "DSC Setup (Basic Setup)"
    std::array<DscCallType, kDscCallTypes> DscAdvanced{};     ///< "DSC Setup (Advanced Setup)"
    std::array<bool, 3> DscDisplay{};                         ///< "DSC Setup (Display Setup)"
    AutoPosSetup AutoPos;                                     ///< "DSC Setup (AutoPos Setup)"
    AtisCommonSetup Atis;                                     ///< "ATIS Setup (Common)"
    std::array<CallSignEntry, kCallSignEntries> CallSigns{};  ///< "ATIS Setup (Call Sign)"

    bool operator==(const DataModel&) const = default;
};

/// A row of the channel catalogue or of the weather channel table.
struct CatalogueRow {
    bool Valid = false;
    std::string Label;
    double F1 = 0.0;  ///< Ship transmit frequency, MHz; 0 = cannot transmit.
    double F2 = 0.0;  ///< Ship-side frequency for simplex reception.
    double F3 = 0.0;  ///< Coast-side frequency.
    bool Flag1 = false;
    bool Flag2 = false;
    std::string FreqText;
};

}  // namespace mrw
