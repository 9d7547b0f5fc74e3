// Configurations for the report tests: a crafted one that exercises every rendering of the
// report, and the factory configurations read from the region default images.
#pragma once

#include <filesystem>
#include <string>

#include "core/config.h"
#include "image/checks.h"
#include "model/catalogue.h"
#include "model/regions.h"

namespace mrw {

/// A configuration in which every value rendering of the report occurs at least once.
inline void FillCraftedConfig(Config& config) {
    config.state.ModelType = 1;
    config.state.ModelName = "HV2300";
    config.state.TitleText = "PC Program for HV2300";
    DataModel& m = config.model;
    m = DataModel{};

    m.Groups[0] = {true, 2, "USA", {}};
    m.Groups[1] = {true, 99, "INTL", {}};  // names no record: empty cell
    m.Groups[2] = {false, -1, "", {}};
    m.Groups[3] = {true, 0, "EX", {true, false, true}};
    // TxPowerMode, Scan, TimeDisplay, Format, ResumeTime, PttScanClear, DualWatch, OffsetTime,
    // Weater, Sog, Distance.
    m.Common = {0, true, true, false, 5, false, true, -11, 3, 2, 1};
    m.DscBasic = {.UsableDsc = {true, false, true},
                  .UserMmsi = "2111111110",
                  .PosRequest = {true, false, false, false},
                  .BeepOut = {true, false, true, true, false, true, false, true}};
    config.image.Set(645, 3);
    for (int t = 0; t < kDscCallTypes; ++t) {
        for (int j = 0; j < 4; ++j) {
            m.DscAdvanced[t].List[j] = (t + j) % 2 == 0;
            m.DscAdvanced[t].Tx[j] = (t + j) % 3 == 0;
        }
    }
    m.DscDisplay = {true, false, true};
    m.AutoPos.Records[0] = {.Channel = "16", .Interval = "1"};       // disabled: not in the report
    m.AutoPos.Records[1] = {true, 2, "240", "14", 1, 3, false, ""};  // EXP channel 2, group 4
    m.Atis.UsableAtis = {true, false, false, true};
    m.Atis.AtisCode = "9876543210";

    auto standard = [](int16_t position, bool enable, int16_t duplex, const char* tag) {
        return ChannelRecord{.Position = position,
                             .Enable = enable,
                             .Duplex = duplex,
                             .TxEnable = true,
                             .ChTag = tag,
                             .StatusNo = 127};
    };
    ChannelRecord c16 = standard(16, true, 0, "CALLING");
    c16.PowUp = c16.ScanMemory = true;
    ChannelRecord c22 = standard(22, true, 2, "");
    c22.TxEnable = false;
    c22.LowPower = c22.InterShipCH = true;
    c22.StatusNo = 10;
    c22.StatusIcon = 1;
    ChannelRecord c9 = standard(9, true, 1, "RX SIMPLEX");
    c9.ScanMemory = true;
    c9.StatusNo = 20;
    c9.StatusIcon = 2;
    m.CHUSA = {c16, standard(6, false, 0, "HIDDEN"), c22,
               standard(72, true, 3, "ABCDEFGHIJKLMNOPQ"), c9};
    m.CHINT = {standard(16, false, 0, "OFF")};
    m.CHCAN = {standard(70, true, 0, "DSC")};

    m.CHWX.assign(kWeatherChannels, ChannelRecord{});
    m.CHWX[0] = {.Enable = true, .ScanMemory = true, .ChTag = "NOAA 1"};
    m.CHWX[4].Enable = true;
    m.CHWX[9].ChTag = "LONGWEATHERNAME";

    m.CHMMSID[0] = {true, "HARBOUR MASTER", "2112345601"};
    m.CHMMSID[5] = {true, "", "366999999"};
    m.CHMMSID[6] = {true, "NO MMSI", ""};
    m.CHMMSID[79] = {true, "LAST", "987654321"};
    m.CHGRPID[0] = {true, "FLEET", "021100000"};
    m.CHGRPID[3] = {true, "CLUB", "023456789"};

    auto user = [](const char* display, double rx, double tx, const char* tag) {
        return ChannelRecord{
            .Enable = true, .ChTag = tag, .CHDisplayL = display, .Txfreq = tx, .Rxfreq = rx};
    };
    ChannelRecord e1 = user("A1", 156.0371, 160.6375, "SHIP TO SHIP");
    e1.LowPower = e1.PowUp = e1.ScanMemory = true;
    e1.ExpCB = {true, false, true};
    ChannelRecord e2 = user("B2", 157.0, 0.0, "");
    e2.CHDisplayR = "X";
    e2.ExpCB = {false, true, false};
    m.CHEXP = {e1, e2, ChannelRecord{}};
    m.CHRG = {user("R", 161.975, 161.975, "AIS 1")};
}

/// Loads a factory region default image as the program does at start-up: default image of the
/// model type, weather table, then the region image read over it and decoded.
/// The pauses of the load run on virtual time.
inline bool LoadFactoryConfig(Config& config, const std::filesystem::path& path, int modelType) {
    static VirtualClock clock;
    config.services.clock = &clock;
    config.state.ModelType = static_cast<int16_t>(modelType);
    config.state.ModelName = ModelNameOf(modelType);
    config.state.TitleText = "PC Program for " + config.state.ModelName;
    NewImage(config.image, config.model, modelType);
    RebuildWeatherTable(config.model);
    return LoadRegionImage(config, path);
}

}  // namespace mrw
