// The wire format: framed requests, their checksum, empty fields and the reply checksum test.
#include "link/frame.h"

#include <gtest/gtest.h>

namespace mrw {
namespace {

std::string Text(const std::vector<uint8_t>& bytes) {
    return {bytes.begin(), bytes.end()};
}

TEST(FrameTest, RequestsCarryTheirFieldsAndTheXorOfEverythingBeforeTheChecksum) {
    // Checksums worked out by hand; an empty field is left out together with its HT.
    EXPECT_EQ(Text(BuildFrame("#QKPSR", {"00"})), "#QKPSR\t00\t68\r\n");
    EXPECT_EQ(Text(BuildFrame("#QKPRD", {AddressField(256), CountField(4)})),
              "#QKPRD\t0100\t04\t73\r\n");
    EXPECT_EQ(Text(BuildFrame("#QKPSR", {""})), "#QKPSR\t61\r\n");
    EXPECT_EQ(Text(BuildFrame("#QKPWR", {"0010", "", "AB"})).substr(0, 15), "#QKPWR\t0010\tAB\t");
}

TEST(FrameTest, DataFieldIsTwoUppercaseDigitsPerByte) {
    std::vector<uint8_t> bytes = {0x00, 0x0A, 0xFF, 0x7E};
    EXPECT_EQ(DataField(bytes), "000AFF7E");
    EXPECT_EQ(AddressField(0x7FEA), "7FEA");
    EXPECT_EQ(CountField(1), "01");
    EXPECT_EQ(Text(BuildCommand("#CMDSY")), "#CMDSY\r\n");
}

TEST(FrameTest, ReplyChecksumAcceptsEitherCaseAndRejectsShortOrWrongLines) {
    std::string line = Text(BuildFrame("#QKPDT", {"0100", "01", "4B"}));
    std::string reply = line.substr(0, line.size() - 2);
    EXPECT_TRUE(ReplyChecksumOk(reply));
    std::string lower = reply;
    lower[lower.size() - 1] = static_cast<char>(std::tolower(lower.back()));
    lower[lower.size() - 2] = static_cast<char>(std::tolower(lower[lower.size() - 2]));
    EXPECT_TRUE(ReplyChecksumOk(lower));
    std::string wrong = reply;
    wrong[8] = '9';
    EXPECT_FALSE(ReplyChecksumOk(wrong));
    EXPECT_FALSE(ReplyChecksumOk("AB"));
    EXPECT_FALSE(ReplyChecksumOk("#QKPSD\t00\tZZ"));
}

TEST(FrameTest, HexFieldsReadAnyCaseAndRefuseOtherCharacters) {
    EXPECT_EQ(ParseHex("7fEa"), 0x7FEAu);
    EXPECT_EQ(ParseHex("00"), 0u);
    EXPECT_FALSE(ParseHex(""));
    EXPECT_FALSE(ParseHex("1G"));
    EXPECT_FALSE(ParseHex(" 1"));
}

}  // namespace
}  // namespace mrw
