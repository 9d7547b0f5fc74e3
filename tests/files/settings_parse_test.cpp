// Parsing a settings file's text into sections, and looking values up.
#include <gtest/gtest.h>

#include "files/settings_file.h"

namespace mrw {
namespace {

TEST(ParseSections, NamesAndKeysAreUpperCasedAndFoundIgnoringCase) {
    auto s = ParseSections("[chusa1]\r\nposition=5\r\n  Ch Tag  = x\r\n");
    ASSERT_EQ(s.size(), 1u);
    EXPECT_EQ(s[0].name, "CHUSA1");
    EXPECT_EQ(LookupValue(s, "CHUSA1", "Position"), "5");
    EXPECT_EQ(LookupValue(s, "ChUsA1", "CH TAG"), " x");  // value not trimmed
    EXPECT_EQ(LookupValue(s, "CHUSA2", "Position"), "");
    EXPECT_EQ(LookupValue(s, "CHUSA1", "Missing"), "");
}

TEST(ParseSections, OneLeadingHashIsRemovedFromEveryValue) {
    auto s = ParseSections("[X]\nA=#text\nB=##two\nC=mid#dle\nD=#\n");
    EXPECT_EQ(LookupValue(s, "X", "A"), "text");
    EXPECT_EQ(LookupValue(s, "X", "B"), "#two");
    EXPECT_EQ(LookupValue(s, "X", "C"), "mid#dle");
    EXPECT_EQ(LookupValue(s, "X", "D"), "");
}

TEST(ParseSections, ValueKeepsEverythingAfterTheFirstEquals) {
    auto s = ParseSections("[CHUSA1]\r\nChTag=#a=b==c\r\n");
    EXPECT_EQ(LookupValue(s, "CHUSA1", "ChTag"), "a=b==c");
}

TEST(ParseSections, LineWithoutEqualsIsIgnoredUnlessItHoldsABracket) {
    auto s = ParseSections(
        "[A]\r\n"
        "x=1\r\n"
        "just words\r\n"
        "y=2\r\n"
        "stray [ here\r\n"  // ends section A; the entries after it belong to no section
        "z=3\r\n"
        "[B]\r\n"
        "w=4\r\n");
    EXPECT_EQ(LookupValue(s, "A", "x"), "1");
    EXPECT_EQ(LookupValue(s, "A", "y"), "2");
    EXPECT_EQ(LookupValue(s, "A", "z"), "");
    EXPECT_EQ(LookupValue(s, "B", "w"), "4");
}

TEST(ParseSections, HeaderRules) {
    auto s = ParseSections(
        "before=ignored\n"
        "[]\nq=1\n"               // no name: not a header, its entries are lost
        "[Open\nr=2\n"            // no closing bracket
        "[ Spaced Name ] tail\n"  // text after "]" ignored, name trimmed
        "k=v\n"
        "=novalue\n"  // "=" in the first position is no entry
        "[N]\n");
    ASSERT_EQ(s.size(), 2u);
    EXPECT_EQ(s[0].name, "SPACED NAME");
    ASSERT_EQ(s[0].entries.size(), 1u);
    EXPECT_EQ(s[0].entries[0], (std::pair<std::string, std::string>{"K", "v"}));
    EXPECT_EQ(s[1].name, "N");
    EXPECT_TRUE(s[1].entries.empty());
    EXPECT_EQ(LookupValue(s, "", "q"), "");
}

TEST(ParseSections, RepeatedSectionsAreKeptAndTheFirstMatchWins) {
    auto s = ParseSections("[S]\na=1\na=2\n[T]\na=9\n[s]\na=3\nb=4\n");
    ASSERT_EQ(s.size(), 3u);
    EXPECT_EQ(LookupValue(s, "S", "a"), "1");
    EXPECT_EQ(LookupValue(s, "S", "b"), "4");  // found in the second occurrence
    EXPECT_EQ(LookupValue(s, "T", "a"), "9");
}

TEST(ParseSections, AnyLineEndAndOddBytes) {
    auto s = ParseSections(std::string("[A]\ra=1\rb=2\n[B]\r\nc=x") + '\0' + "y\r\nd=\xE9\xFF");
    EXPECT_EQ(LookupValue(s, "A", "a"), "1");
    EXPECT_EQ(LookupValue(s, "A", "b"), "2");
    EXPECT_EQ(LookupValue(s, "B", "c"), std::string("x") + '\0' + "y");
    EXPECT_EQ(LookupValue(s, "B", "d"), "\xE9\xFF");
    EXPECT_TRUE(ParseSections("").empty());
    EXPECT_TRUE(ParseSections("\r\n\r\n[").empty());
}

TEST(ParseSections, HugeLineIsJustAValue) {
    std::string big(100000, 'Q');
    auto s = ParseSections("[A]\r\nk=" + big + "\r\n" + big + "\r\n[" + big + "\r\nm=1\r\n");
    EXPECT_EQ(LookupValue(s, "A", "k"), big);
    EXPECT_EQ(LookupValue(s, "A", "m"), "");
}

}  // namespace
}  // namespace mrw
