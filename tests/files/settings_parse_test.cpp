// Parsing a settings file's text into sections, and looking values up.
#include <gtest/gtest.h>

#include "files/settings_file.h"

namespace mrw {
namespace {

TEST(ParseSections, LookupRules) {
    const std::string big(100000, 'Q');
    const struct {
        std::string text, section, key, value;
    } cases[] = {
        // Names and keys upper-cased and found ignoring case; the value is not trimmed.
        {"[chusa1]\r\n  Ch Tag  = x\r\n", "ChUsA1", "CH TAG", " x"},
        {"[CHUSA1]\r\nposition=5\r\n", "CHUSA2", "Position", ""},
        {"[CHUSA1]\r\nposition=5\r\n", "CHUSA1", "Missing", ""},
        // One leading "#" is removed from every value.
        {"[X]\nA=#text\n", "X", "A", "text"},
        {"[X]\nB=##two\n", "X", "B", "#two"},
        {"[X]\nC=mid#dle\n", "X", "C", "mid#dle"},
        {"[X]\nD=#\n", "X", "D", ""},
        // Everything after the first "=" is the value.
        {"[CHUSA1]\r\nChTag=#a=b==c\r\n", "CHUSA1", "ChTag", "a=b==c"},
        // A line without "=" is skipped, unless it holds a bracket: then it ends the section.
        {"[A]\r\nx=1\r\njust words\r\ny=2\r\n", "A", "y", "2"},
        {"[A]\r\nx=1\r\nstray [ here\r\nz=3\r\n[B]\r\nw=4\r\n", "A", "z", ""},
        {"[A]\r\nx=1\r\nstray [ here\r\nz=3\r\n[B]\r\nw=4\r\n", "B", "w", "4"},
        // A header without a name or closing bracket is none; text after "]" is ignored.
        {"[]\nq=1\n", "", "q", ""},
        {"[Open\nr=2\n", "OPEN", "r", ""},
        {"[ Spaced Name ] tail\nk=v\n", "spaced name", "K", "v"},
        // Repeated sections are kept in order and the first match wins.
        {"[S]\na=1\na=2\n[T]\na=9\n[s]\na=3\nb=4\n", "S", "a", "1"},
        {"[S]\na=1\na=2\n[T]\na=9\n[s]\na=3\nb=4\n", "S", "b", "4"},
        {"[S]\na=1\na=2\n[T]\na=9\n[s]\na=3\nb=4\n", "T", "a", "9"},
        // Any line end, NUL and non-ASCII bytes, 100 000-character lines.
        {"[A]\ra=1\rb=2\n", "A", "b", "2"},
        {std::string("[B]\r\nc=x\0y\r\n", 13), "B", "c", std::string("x\0y", 3)},
        {"[B]\nd=\xE9\xFF", "B", "d", "\xE9\xFF"},
        {"[A]\r\nk=" + big + "\r\n" + big + "\r\n", "A", "k", big},
        {"[A]\r\n[" + big + "\r\nm=1\r\n", "A", "m", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LookupValue(ParseSections(c.text), c.section, c.key), c.value)
            << c.text.substr(0, 60) << " -> " << c.section << "/" << c.key;
    }
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
