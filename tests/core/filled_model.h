// A data model in which every field holds a value that no default, no default image and no
// test file gives: what a reset or a load must leave nothing of.
#pragma once

#include <string>

#include "model/model.h"

namespace mrw::testing {

/// Fills every field of `m`, every table with more records than any test image holds.
inline void FillWithNonDefaults(DataModel& m) {
    const ChannelRecord channel{70,        true, true, true, 3,       true,    true,
                                "OLD TAG", 7,    "Q1", "R",  157.125, 161.725, {true, true, true},
                                2,         true, 20,   true};
    for (ChannelTable* table : {&m.CHUSA, &m.CHINT, &m.CHCAN, &m.CHWX, &m.CHEXP, &m.CHRG}) {
        table->assign(12, channel);
    }
    m.CHMMSID.fill({true, "OLD", "2111111100"});
    m.CHGRPID.fill({true, "GRP", "0222222200"});
    m.Groups.fill({false, 77, "OLDN", {true, true, true}});
    m.Common = {2, true, true, true, 5, true, true, -7, 3, 2, 2};
    m.DscBasic = {{true, true, true},
                  "2333333330",
                  {true, true, true, true},
                  {true, true, true, true},
                  {true, true, true, true, true, true, true, true}};
    m.DscAdvanced.fill({{true, true, true, true}, {true, true, true, true}});
    m.DscDisplay = {true, true, true};
    m.AutoPos.MenuDisplay = true;
    m.AutoPos.Records.fill({true, 3, "241", "9", 1, 5, true, "2444444440"});
    m.Atis = {{false, false, false, false}, "9555555555", {true, true, true, true}};
    m.CallSigns.fill({"MID", "DISP"});
}

}  // namespace mrw::testing
