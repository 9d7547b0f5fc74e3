// Parsing a settings file's text into sections, and looking values up.
#include <gtest/gtest.h>

#include "files/settings_file.h"
#include "test_files.h"

namespace mrw {
namespace {

TEST(ParseSections, LookupRules) {
    for (const testing::Case& c :
         testing::ReadCases(testing::TestData("files/settings_lookup.txt"))) {
        EXPECT_EQ(LookupValue(ParseSections(c[0]), c[1], c[2]), c[3]) << c.where;
    }
    // 100 000-character lines.
    const std::string big(100000, 'Q');
    EXPECT_EQ(LookupValue(ParseSections("[A]\r\nk=" + big + "\r\n" + big + "\r\n"), "A", "k"), big);
    EXPECT_EQ(LookupValue(ParseSections("[A]\r\n[" + big + "\r\nm=1\r\n"), "A", "m"), "");
}

TEST(ParseSections, SectionsAndEntries) {
    auto s = ParseSections("before=ignored\n[]\nq=1\n[ Spaced Name ] tail\nk=v\n=novalue\n[N]\n");
    ASSERT_EQ(s.size(), 2u);
    EXPECT_EQ(s[0].name, "SPACED NAME");
    // "=" in the first position is no entry.
    EXPECT_EQ(s[0].entries, (decltype(s[0].entries){{"K", "v"}}));
    EXPECT_EQ(s[1].name, "N");
    EXPECT_TRUE(s[1].entries.empty());
    EXPECT_EQ(ParseSections("[S]\na=1\n[T]\n[s]\n").size(), 3u);
    EXPECT_TRUE(ParseSections("").empty());
    EXPECT_TRUE(ParseSections("\r\n\r\n[").empty());
}

}  // namespace
}  // namespace mrw
