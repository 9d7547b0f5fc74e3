// The simulated radio as a serial port: port rules, byte-time emulation, a pulled cable.
#include "sim/sim_radio.h"

#include <gtest/gtest.h>

#include <string>

namespace mrw::sim {
namespace {

const std::vector<uint8_t> kSync = {'#', 'C', 'M', 'D', 'S', 'Y', '\r', '\n'};

TEST(SimRadioTest, APortAnswersOnlyWhileOpenAtItsBaudRateUntilTheCableIsPulled) {
    VirtualClock clock;
    SimRadio radio(&clock);
    std::string error;
    EXPECT_FALSE(radio.Send(kSync));
    EXPECT_FALSE(radio.Open("fast,N,8,1", error) || error.empty());
    ASSERT_TRUE(radio.Open("19200,N,8,1", error));
    EXPECT_TRUE(radio.Send(kSync));
    radio.Close();  // closing drops what was not read
    EXPECT_EQ(radio.ReadByte(), -1);
    EXPECT_EQ(radio.CountOf("#CMDSY"), 1);
    // 8 bytes out, 8 bytes back: the last answer byte lands 16 byte times later.
    radio.emulateByteTime = true;
    ASSERT_TRUE(radio.Open("57600,N,8,1", error));
    radio.Send(kSync);
    clock.Advance(10.5 * 10.0 / 57600);  // two answer bytes have arrived
    EXPECT_EQ(radio.Waiting(), 2);
    radio.DiscardInput();  // keeps the bytes still on the line
    clock.Advance(5 * 10.0 / 57600);
    EXPECT_EQ(radio.Waiting(), 5);
    clock.Advance(10.0 / 57600);
    std::string rest;
    for (int c = radio.ReadByte(); c >= 0; c = radio.ReadByte()) {
        rest += static_cast<char>(c);
    }
    EXPECT_EQ(rest, "MDOK\r\n");

    // A cable pulled at a request closes the port for good.
    radio.emulateByteTime = false;
    radio.options.faults = {{FaultKind::CablePulled, radio.FramedCount() + 2}};
    const std::string status = BuildFrame("#QKPSR", {"00"});
    radio.Send({status.begin(), status.end()});
    EXPECT_GT(radio.Waiting(), 0);
    radio.Send({status.begin(), status.end()});
    EXPECT_TRUE(radio.CablePulled());
    EXPECT_FALSE(radio.IsOpen() || radio.Waiting() > 0 || radio.Send(kSync));
    EXPECT_FALSE(radio.Open("57600,N,8,1", error));
    EXPECT_EQ(error, "The device is not connected.");
}

}  // namespace
}  // namespace mrw::sim
