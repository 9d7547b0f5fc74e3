// A data model in which every field holds a value that no default, no default image and no
// test file gives: what a reset or a load must leave nothing of.
#pragma once

#include <string>

#include "model/model.h"

namespace mrw::testing {

inline ChannelRecord FilledChannel(int k) {
    ChannelRecord r;
    r.Position = static_cast<int16_t>(70 + k);
    r.Enable = true;
    r.LowPower = true;
    r.PowUp = true;
    r.Duplex = 3;
    r.TxEnable = true;
    r.ScanMemory = true;
    r.ChTag = "OLD TAG " + std::to_string(k);
    r.Scramble = 7;
    r.CHDisplayL = "Q" + std::to_string(k % 10);
    r.CHDisplayR = "R";
    r.Txfreq = 157.125;
    r.Rxfreq = 161.725;
    r.ExpCB = {true, true, true};
    r.StatusIcon = 2;
    r.InterShipCH = true;
    r.StatusNo = 20;
    r.ScrambleOn = true;
    return r;
}

/// Fills every field of `m` (every table with more records than any test image holds).
inline void FillWithNonDefaults(DataModel& m) {
    for (ChannelTable* table : {&m.CHUSA, &m.CHINT, &m.CHCAN, &m.CHWX, &m.CHEXP, &m.CHRG}) {
        table->clear();
        for (int k = 0; k < 12; ++k) {
            table->push_back(FilledChannel(k));
        }
    }
    for (size_t i = 0; i < m.CHMMSID.size(); ++i) {
        m.CHMMSID[i] = {true, "OLD " + std::to_string(i),
                        "2111111" + std::to_string(i % 10) + "00"};
    }
    for (size_t i = 0; i < m.CHGRPID.size(); ++i) {
        m.CHGRPID[i] = {true, "GRP " + std::to_string(i),
                        "0222222" + std::to_string(i % 10) + "00"};
    }
    for (ChannelGroup& g : m.Groups) {
        g = {false, 77, "OLDN", {true, true, true}};
    }
    m.Common = {2, true, true, true, 5, true, true, -7, 3, 2, 2};
    m.DscBasic.UsableDsc = {true, true, true};
    m.DscBasic.UserMmsi = "2333333330";
    m.DscBasic.PosRequest = {true, true, true, true};
    m.DscBasic.PosRequestTx = {true, true, true, true};
    m.DscBasic.BeepOut = {true, true, true, true, true, true, true, true};
    for (DscCallType& c : m.DscAdvanced) {
        c = {{true, true, true, true}, {true, true, true, true}};
    }
    m.DscDisplay = {true, true, true};
    m.AutoPos.MenuDisplay = true;
    for (AutoPosRecord& r : m.AutoPos.Records) {
        r = {true, 3, "241", "9", 1, 5, true, "2444444440"};
    }
    m.Atis.UsableAtis = {false, false, false, false};
    m.Atis.AtisCode = "9555555555";
    m.Atis.UsableKikker = {true, true, true, true};
    for (size_t i = 0; i < m.CallSigns.size(); ++i) {
        m.CallSigns[i] = {"MID" + std::to_string(i), "DISP" + std::to_string(i)};
    }
}

}  // namespace mrw::testing
