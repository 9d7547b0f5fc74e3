#include "core/text.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <clocale>
#include <sstream>
#include <string>

#include "test_files.h"

namespace mrw {
namespace {

using testing::ReadCases;
using testing::TestData;

TEST(Numbers, ReadAndWrittenAsTheTableSays) {
    for (const testing::Case& c : ReadCases(TestData("core/numbers.txt"))) {
        SCOPED_TRACE(c.where);
        std::istringstream in(c[1]);
        double v = 0;
        int a = 0, b = 0;
        if (c[0] == "Val") {
            EXPECT_DOUBLE_EQ(Val(c[1]), std::stod(c[2]));
        } else if (c[0] == "ParseNumber") {
            const std::optional<double> n = ParseNumber(c[1]);
            EXPECT_EQ(n, c[2] == "none" ? std::nullopt : std::optional(std::stod(c[2])));
        } else if (c[0] == "FormatDouble" && in >> v) {
            EXPECT_EQ(FormatDouble(v), c[2]);
        } else if (c[0] == "HexPad" && in >> std::hex >> a >> std::dec >> b) {
            EXPECT_EQ(HexPad(a, b), c[2]);
        } else if (c[0] == "FormatFixed" && in >> v >> a >> b) {
            EXPECT_EQ(FormatFixed(v, a, b), c[2]);
        } else if (c[0] == "FormatFixedDecimal" && in >> v >> b) {
            EXPECT_EQ(FormatFixedDecimal(v, 3, b), c[2]);
        } else {
            ADD_FAILURE() << "unknown row";
        }
    }
}

TEST(Numbers, OverflowLocaleAndHugeValues) {
    bool overflow = false;
    EXPECT_EQ(Val("-1E400x", &overflow), 0.0);
    EXPECT_TRUE(overflow);
    EXPECT_EQ(Val("1e-999", &overflow), 0.0);  // too small: 0 and no overflow
    EXPECT_FALSE(overflow);
    EXPECT_FALSE(ParseNumber("1e999", &overflow));
    EXPECT_TRUE(overflow);

    std::setlocale(LC_ALL, "de_DE.UTF-8");  // may not exist; the result must not depend on it
    EXPECT_EQ(FormatDouble(156.8), "156.8");
    EXPECT_DOUBLE_EQ(Val(FormatDouble(157.425)), 157.425);
    std::setlocale(LC_ALL, "C");
    EXPECT_EQ(FormatDouble(1e300), "1" + std::string(300, '0'));
    // Longer than any fixed buffer: the exact binary value of 1e300, 301 digits, to four places.
    EXPECT_EQ(FormatFixed(1e300, 3, 4).substr(0, 20), "10000000000000000525");
    EXPECT_EQ(FormatFixed(1e300, 3, 4).substr(297), "0160.0000");
}

TEST(TextHelpers, TrimCaseAndPathReason) {
    EXPECT_EQ(Trim("\t a b  "), "a b");
    EXPECT_TRUE(EqualsIgnoreCase("Usable", "USABLE"));
    EXPECT_FALSE(EqualsIgnoreCase("Usable", "USABLE1"));
    EXPECT_FALSE(EqualsIgnoreCase("\xE9", "\xC9"));  // only ASCII letters fold
    EXPECT_FALSE(EqualsIgnoreCase("@", "`"));        // 0x40 and 0x60 are no letters
    EXPECT_EQ(PathReason("/media/usb/boat.dat", ENOENT),
              "/media/usb/boat.dat: No such file or directory");
}

TEST(OneLineExcerpt, QuotesAnyTextOnOneShortReadableLine) {
    for (const testing::Case& c : ReadCases(TestData("core/excerpt.txt"))) {
        EXPECT_EQ(OneLineExcerpt(c[0], std::stoul(c[1])), c[2]) << c.where;
    }
    EXPECT_EQ(OneLineExcerpt(std::string(81, 'x')), std::string(80, 'x') + "...");  // the default
}

}  // namespace
}  // namespace mrw
