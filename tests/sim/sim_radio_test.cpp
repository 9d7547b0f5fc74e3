// The simulated radio as a serial port: port rules, byte-time emulation, a pulled cable.
#include "sim/sim_radio.h"

#include <gtest/gtest.h>

#include <string>

namespace mrw::sim {
namespace {

std::vector<uint8_t> Bytes(const std::string& text) {
    return {text.begin(), text.end()};
}

std::string ReadAll(SimRadio& radio) {
    std::string text;
    for (int c = radio.ReadByte(); c >= 0; c = radio.ReadByte()) {
        text += static_cast<char>(c);
    }
    return text;
}

TEST(SimRadioTest, ClosedPortNeitherSendsNorReceives) {
    SimRadio radio;
    EXPECT_FALSE(radio.IsOpen());
    EXPECT_FALSE(radio.Send(Bytes("#CMDSY\r\n")));
    EXPECT_EQ(radio.CountOf("#CMDSY"), 0);
    std::string error;
    EXPECT_FALSE(radio.Open("fast,N,8,1", error));
    EXPECT_FALSE(error.empty());
    ASSERT_TRUE(radio.Open("19200,N,8,1", error));
    EXPECT_TRUE(radio.Send(Bytes("#CMDSY\r\n")));
    EXPECT_EQ(radio.Waiting(), 8);
    // Closing drops what was not read.
    radio.Close();
    EXPECT_EQ(radio.Waiting(), 0);
    EXPECT_EQ(radio.ReadByte(), -1);
    EXPECT_EQ(radio.Opens(), (std::vector<std::string>{"fast,N,8,1", "19200,N,8,1"}));
}

TEST(SimRadioTest, AnswersAreReadOneByteAtATime) {
    SimRadio radio;
    std::string error;
    ASSERT_TRUE(radio.Open("57600,N,8,1", error));
    radio.memory[5] = 0x42;
    radio.Send(Bytes(BuildFrame("#QKPRD", {"0005", "01"})));
    EXPECT_EQ(ReadAll(radio), "#CMDOK\r\n" + BuildFrame("#QKPDT", {"0005", "01", "42"}));
    EXPECT_EQ(radio.Requests().back().address, 5);
    radio.Send(Bytes("#CMDSY\r\n"));
    radio.DiscardInput();
    EXPECT_EQ(radio.Waiting(), 0);
    EXPECT_EQ(radio.DiscardCount(), 1);
}

TEST(SimRadioTest, ByteTimeFollowsTheOpenedBaudRate) {
    VirtualClock clock;
    SimRadio radio(&clock);
    radio.emulateByteTime = true;
    std::string error;
    ASSERT_TRUE(radio.Open("19200,N,8,1", error));
    // 8 bytes out, 8 bytes back: the last answer byte lands 16 byte times later.
    radio.Send(Bytes("#CMDSY\r\n"));
    const double byteTime = 10.0 / 19200;
    EXPECT_EQ(radio.Waiting(), 0);
    EXPECT_EQ(radio.ReadByte(), -1);
    clock.Advance(9.5 * byteTime);
    EXPECT_EQ(radio.Waiting(), 1);
    EXPECT_EQ(radio.ReadByte(), '#');
    clock.Advance(7 * byteTime);
    EXPECT_EQ(radio.Waiting(), 7);
    EXPECT_EQ(ReadAll(radio), "CMDOK\r\n");

    // Reopened at 57600, the same exchange takes three times less.
    ASSERT_TRUE(radio.Open("57600,N,8,1", error));
    radio.Send(Bytes("#CMDSY\r\n"));
    clock.Advance(15.5 * 10.0 / 57600);
    EXPECT_EQ(radio.Waiting(), 7);
    clock.Advance(10.0 / 57600);
    EXPECT_EQ(ReadAll(radio), "#CMDOK\r\n");
}

TEST(SimRadioTest, DiscardKeepsBytesStillOnTheLine) {
    VirtualClock clock;
    SimRadio radio(&clock);
    radio.emulateByteTime = true;
    std::string error;
    ASSERT_TRUE(radio.Open("57600,N,8,1", error));
    radio.Send(Bytes("#CMDSY\r\n"));
    clock.Advance(10.5 * 10.0 / 57600);  // two answer bytes have arrived
    radio.DiscardInput();
    clock.Advance(1.0);
    EXPECT_EQ(ReadAll(radio), "MDOK\r\n");
}

TEST(SimRadioTest, CablePulledAtARequestClosesThePortForGood) {
    SimRadio radio;
    radio.options.faults = {{FaultKind::CablePulled, 2}};
    std::string error;
    ASSERT_TRUE(radio.Open("57600,N,8,1", error));
    radio.Send(Bytes(BuildFrame("#QKPSR", {"00"})));
    EXPECT_TRUE(radio.IsOpen());
    ReadAll(radio);
    radio.Send(Bytes(BuildFrame("#QKPRD", {"0000", "40"})));
    EXPECT_TRUE(radio.CablePulled());
    EXPECT_FALSE(radio.IsOpen());
    EXPECT_EQ(radio.Waiting(), 0);
    EXPECT_FALSE(radio.Send(Bytes("#CMDSY\r\n")));
    EXPECT_FALSE(radio.Open("57600,N,8,1", error));
    EXPECT_FALSE(error.empty());

    SimRadio byHand;
    ASSERT_TRUE(byHand.Open("57600,N,8,1", error));
    byHand.Send(Bytes("#CMDSY\r\n"));
    byHand.PullCable();
    EXPECT_FALSE(byHand.IsOpen());
    EXPECT_EQ(byHand.ReadByte(), -1);
    EXPECT_FALSE(byHand.Send(Bytes("#CMDSY\r\n")));
    EXPECT_EQ(byHand.CountOf("#CMDSY"), 1);
}

}  // namespace
}  // namespace mrw::sim
