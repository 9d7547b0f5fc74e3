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

inline ChannelRecord StandardChannel(int position, bool enable, int duplex,
                                     const std::string& tag) {
    ChannelRecord r;
    r.Position = static_cast<int16_t>(position);
    r.Enable = enable;
    r.Duplex = static_cast<int16_t>(duplex);
    r.StatusNo = 127;
    r.TxEnable = true;
    r.ChTag = tag;
    return r;
}

inline ChannelRecord UserChannel(bool enable, const std::string& display, double rx, double tx,
                                 const std::string& tag) {
    ChannelRecord r;
    r.Enable = enable;
    r.CHDisplayL = display;
    r.Rxfreq = rx;
    r.Txfreq = tx;
    r.ChTag = tag;
    return r;
}

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

    CommonSetup& c = m.Common;
    c.Scan = true;
    c.ResumeTime = 5;
    c.PttScanClear = false;
    c.DualWatch = true;
    c.TimeDisplay = true;
    c.OffsetTime = -11;
    c.Format = false;
    c.Weater = 3;
    c.Sog = 2;
    c.Distance = 1;

    DscBasicSetup& d = m.DscBasic;
    d.UsableDsc = {true, false, true};
    d.UserMmsi = "2111111110";
    d.PosRequest = {true, false, false, false};
    d.BeepOut = {true, false, true, true, false, true, false, true};
    config.image.Set(645, 3);

    for (int t = 0; t < kDscCallTypes; ++t) {
        for (int j = 0; j < 4; ++j) {
            m.DscAdvanced[t].List[j] = (t + j) % 2 == 0;
            m.DscAdvanced[t].Tx[j] = (t + j) % 3 == 0;
        }
    }
    m.DscDisplay = {true, false, true};

    AutoPosRecord& report = m.AutoPos.Records[0];  // not in the report
    report.Enable = false;
    report.Channel = "16";
    report.Interval = "1";
    AutoPosRecord& request = m.AutoPos.Records[1];
    request.Enable = true;
    request.MarineEnable = 2;
    request.Channel = "240";  // EXP channel 2
    request.Interval = "14";
    request.SelectCall = 1;
    request.LastAddress = 3;

    m.Atis.UsableAtis = {true, false, false, true};
    m.Atis.AtisCode = "9876543210";

    ChannelRecord c16 = StandardChannel(16, true, 0, "CALLING");
    c16.PowUp = true;
    c16.ScanMemory = true;
    ChannelRecord c22 = StandardChannel(22, true, 2, "");
    c22.StatusNo = 10;
    c22.StatusIcon = 1;
    c22.TxEnable = false;
    c22.LowPower = true;
    c22.InterShipCH = true;
    ChannelRecord c9 = StandardChannel(9, true, 1, "RX SIMPLEX");
    c9.StatusNo = 20;
    c9.StatusIcon = 2;
    c9.ScanMemory = true;
    m.CHUSA = {c16, StandardChannel(6, false, 0, "HIDDEN"), c22,
               StandardChannel(72, true, 3, "ABCDEFGHIJKLMNOPQ"), c9};
    m.CHINT = {StandardChannel(16, false, 0, "OFF")};
    m.CHCAN = {StandardChannel(70, true, 0, "DSC")};

    m.CHWX.assign(kWeatherChannels, ChannelRecord{});
    m.CHWX[0].Enable = true;
    m.CHWX[0].ScanMemory = true;
    m.CHWX[0].ChTag = "NOAA 1";
    m.CHWX[4].Enable = true;
    m.CHWX[9].ChTag = "LONGWEATHERNAME";

    m.CHMMSID[0] = {true, "HARBOUR MASTER", "2112345601"};
    m.CHMMSID[5] = {true, "", "366999999"};
    m.CHMMSID[6] = {true, "NO MMSI", ""};
    m.CHMMSID[79] = {true, "LAST", "987654321"};
    m.CHGRPID[0] = {true, "FLEET", "021100000"};
    m.CHGRPID[3] = {true, "CLUB", "023456789"};

    ChannelRecord e1 = UserChannel(true, "A1", 156.0371, 160.6375, "SHIP TO SHIP");
    e1.ExpCB = {true, false, true};
    e1.LowPower = true;
    e1.PowUp = true;
    e1.ScanMemory = true;
    ChannelRecord e2 = UserChannel(true, "B2", 157.0, 0.0, "");
    e2.CHDisplayR = "X";
    e2.ExpCB = {false, true, false};
    m.CHEXP = {e1, e2, UserChannel(false, "", 0.0, 0.0, "")};
    m.CHRG = {UserChannel(true, "R", 161.975, 161.975, "AIS 1")};
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
