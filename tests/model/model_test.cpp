#include "model/model.h"

#include <gtest/gtest.h>

namespace mrw {
namespace {

TEST(ChannelTable, EmptyAppendAndGrowKeepRecords) {
    ChannelTable t;
    AppendRecord(t).ChTag = "A";
    EXPECT_EQ(t.size(), 1U);
    EXPECT_EQ(t[0], (ChannelRecord{.ChTag = "A"}));
    GrowTable(t, 3);
    ASSERT_EQ(t.size(), 3U);
    EXPECT_EQ(t[0].ChTag, "A");
    EXPECT_EQ(t[2], ChannelRecord{});
    EmptyTable(t);
    EXPECT_TRUE(t.empty());
}

}  // namespace
}  // namespace mrw
