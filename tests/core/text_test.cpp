#include "core/text.h"

#include <cerrno>
#include <clocale>
#include <string>
#include <tuple>

#include <gtest/gtest.h>

namespace mrw {
namespace {

TEST(Val, ReadsTheLeadingNumberOnly) {
    EXPECT_DOUBLE_EQ(Val("56.0250"), 56.025);
    EXPECT_DOUBLE_EQ(Val("  -12abc"), -12.0);
    EXPECT_DOUBLE_EQ(Val("1e3x"), 1000.0);
    EXPECT_DOUBLE_EQ(Val("FF.FFFF"), 0.0);
    EXPECT_DOUBLE_EQ(Val("5A.0250"), 5.0);  // a hexadecimal letter ends the number
    EXPECT_DOUBLE_EQ(Val("1e999"), 0.0);    // no infinities leak out
}

TEST(Val, TellsAnOverflowFromNoNumber) {
    bool overflow = false;
    EXPECT_EQ(Val("-1E400x", &overflow), 0.0);
    EXPECT_TRUE(overflow);
    EXPECT_EQ(Val("1e-999", &overflow), 0.0);  // too small: 0 and no overflow
    EXPECT_FALSE(overflow);
    EXPECT_FALSE(ParseNumber("1e999", &overflow));
    EXPECT_TRUE(overflow);
    EXPECT_EQ(ParseNumber("1e-999", &overflow), 0.0);
}

TEST(ParseNumber, AcceptsOnlyWholeNumbers) {
    EXPECT_EQ(ParseNumber(" 12 "), 12.0);
    EXPECT_EQ(ParseNumber("+7"), 7.0);
    EXPECT_FALSE(ParseNumber("12abc"));
    EXPECT_FALSE(ParseNumber(""));
    EXPECT_FALSE(ParseNumber("."));
}

TEST(FormatDouble, UsesAPeriodAndNoTrailingZerosWhateverTheLocale) {
    std::setlocale(LC_ALL, "de_DE.UTF-8");  // may not exist; the result must not depend on it
    EXPECT_EQ(FormatDouble(156.8), "156.8");
    EXPECT_EQ(FormatDouble(0.0), "0");
    EXPECT_EQ(FormatDouble(-0.0), "0");
    EXPECT_EQ(FormatDouble(160.6 + 0.0000000000001), "160.6");  // 15 significant digits
    EXPECT_DOUBLE_EQ(Val(FormatDouble(157.425)), 157.425);
    std::setlocale(LC_ALL, "C");
    // Plain decimal text whatever the magnitude, rounded to 15 significant digits.
    EXPECT_EQ(FormatDouble(1e300), "1" + std::string(300, '0'));
    EXPECT_EQ(FormatDouble(-1234567890123456789.0), "-1234567890123460000");
    EXPECT_EQ(FormatDouble(1.5e-20), "0.000000000000000000015");
}

TEST(HexPad, PadsAndCutsToWidth) {
    EXPECT_EQ(HexPad(0x5, 2), "05");
    EXPECT_EQ(HexPad(0x1234, 2), "34");
    EXPECT_EQ(HexPad(0x8FD, 4), "08FD");
}

TEST(FormatFixed, PadsTheWholePart) {
    EXPECT_EQ(FormatFixed(56.025, 2, 4), "56.0250");
    EXPECT_EQ(FormatFixed(5.0, 3, 0), "005");
    // Longer than any fixed buffer: the exact binary value of 1e300, 301 digits, to four places.
    EXPECT_EQ(FormatFixed(1e300, 3, 4).substr(0, 20), "10000000000000000525");
    EXPECT_EQ(FormatFixed(1e300, 3, 4).substr(297), "0160.0000");
}

TEST(FormatFixedDecimal, RoundsTheWrittenTextHalfAwayFromZero) {
    // {value, decimals, text with three whole digits}: 156.03125 is exact in binary, 156.02505
    // lies just below its text.
    const std::tuple<double, int, const char*> rows[] = {
        {156.03125, 4, "156.0313"}, {156.02505, 4, "156.0251"}, {199.99996, 4, "200.0000"},
        {-2.5, 0, "-003"},          {0.49, 0, "000"},           {-0.00004, 4, "000.0000"}};
    for (const auto& [value, decimals, text] : rows) {
        EXPECT_EQ(FormatFixedDecimal(value, 3, decimals), text) << value;
    }
}

TEST(TextHelpers, TrimCaseAndSplit) {
    EXPECT_EQ(Trim("\t a b  "), "a b");
    EXPECT_EQ(ToUpper("intl-m"), "INTL-M");
    EXPECT_TRUE(EqualsIgnoreCase("Usable", "USABLE"));
    EXPECT_FALSE(EqualsIgnoreCase("Usable", "USABLE1"));
    EXPECT_FALSE(EqualsIgnoreCase("\xE9", "\xC9"));  // only ASCII letters fold
    EXPECT_FALSE(EqualsIgnoreCase("@", "`"));        // 0x40 and 0x60 are no letters
    EXPECT_TRUE(EndsWithIgnoreCase("intl-m", "-M"));
    EXPECT_EQ(Split("Group1, Group2, Group3", ", ").size(), 3U);
    EXPECT_EQ(Split("", ",").size(), 1U);
}

TEST(OneLineExcerpt, QuotesAnyTextOnOneShortReadableLine) {
    using namespace std::string_literals;
    // {text, most characters, excerpt}: an escape counts with its length and is never split.
    const std::tuple<std::string, size_t, const char*> rows[] = {
        {"16 A", 5, "16 A"},
        {"a\0b"s, 5, "a\\0b"},
        {"a\r\nb", 6, "a\\r\\nb"},
        {"\t\x1B", 6, "\\t\\x1B"},
        {"a\x7F", 5, "a\\x7F"},
        {"Zürich", 5, "Züric..."},        // ü is one character
        {"\xC3\x28z", 6, "\\xC3(z"},      // a lead byte without its continuation
        {"\xC0\xAF", 5, "\\xC0..."},      // an overlong '/'
        {"\xED\xA0\x80", 5, "\\xED..."},  // a surrogate
        {"\xC2\x85", 6, "\\u0085"},       // C1 next line
        {"a\xE2\x80\xA8", 5, "a..."},     // line separator: its escape does not fit
        {"123456", 5, "12345..."},
    };
    for (const auto& [text, most, excerpt] : rows) {
        EXPECT_EQ(OneLineExcerpt(text, most), excerpt) << text;
    }
    const std::string eighty(80, 'x');
    EXPECT_EQ(OneLineExcerpt(eighty), eighty);
    EXPECT_EQ(OneLineExcerpt(eighty + "y"), eighty + "...");
    std::string forty;
    for (int i = 0; i < 40; ++i) {
        forty += "\\n";
    }
    EXPECT_EQ(OneLineExcerpt(std::string(200, '\n')), forty + "...");
}

TEST(PathReason, NamesThePathAndTheSystemsReason) {
    EXPECT_EQ(PathReason("/media/usb/boat.dat", ENOENT),
              "/media/usb/boat.dat: No such file or directory");
}

}  // namespace
}  // namespace mrw
