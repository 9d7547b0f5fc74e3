// Serial port selection: friendly names, captions, the click rule, stable numbering.
#include "link/ports.h"

#include <gtest/gtest.h>

#include "test_files.h"

namespace mrw {
namespace {

TEST(PortsTest, FriendlyNamesAndCaptionsGiveTheirNumber) {
    for (const testing::Case& c : testing::ReadCases(testing::TestData("link/port_names.txt"))) {
        if (c[0] == "friendly") {
            EXPECT_EQ(PortNumberFromFriendlyName(c[1]), std::stoi(c[2])) << c.where;
        } else {
            const std::optional<int> n = PortNumberFromCaption(c[1]);
            EXPECT_EQ(n ? std::to_string(*n) : "-", c[2]) << c.where;
        }
    }
    EXPECT_EQ(PortCaption(3), "COM 3");
    EXPECT_EQ(PortCaption(2, "/dev/ttyUSB0"), "COM 2 (ttyUSB0)");
}

TEST(PortsTest, PersistedChoice) {
    MemorySettingsStore store;
    EXPECT_EQ(LoadPortNumber(store), 1);
    SavePortNumber(store, 7);
    EXPECT_EQ((store.values[{"ComPath", "ComNum"}]), "7");
    EXPECT_EQ(LoadPortNumber(store), 7);
    store.Set("ComPath", "ComNum", "garbage");
    EXPECT_EQ(LoadPortNumber(store), 1);
}

TEST(PortsTest, ComNamedPortsAreSortedAndCappedAtSixteen) {
    MemorySettingsStore store;
    std::vector<SerialDevice> devices;
    for (int n = 20; n >= 1; --n) {
        devices.push_back({"COM" + std::to_string(n), "Port (COM" + std::to_string(n) + ")"});
    }
    devices.push_back({"LPT1", "Printer Port (LPT1)"});
    std::vector<PortEntry> entries = NumberPorts(devices, store);
    ASSERT_EQ(entries.size(), 16u);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(entries[static_cast<size_t>(i)].number, i + 1);
        EXPECT_EQ(entries[static_cast<size_t>(i)].caption, "COM " + std::to_string(i + 1));
    }
    EXPECT_EQ(PortPath(entries, 10), "COM10");
    EXPECT_EQ(PortPath(entries, 17), "");
}

TEST(PortsTest, DevicesWithoutComNamesKeepTheirNumbersBetweenRuns) {
    MemorySettingsStore store;
    std::vector<SerialDevice> first = {{"/dev/ttyUSB0", ""}, {"/dev/ttyS0", ""}};
    std::vector<PortEntry> entries = NumberPorts(first, store);
    ASSERT_EQ(entries.size(), 2u);
    // Numbered in path order on first sight.
    EXPECT_EQ(entries[0].caption, "COM 1 (ttyS0)");
    EXPECT_EQ(entries[1].caption, "COM 2 (ttyUSB0)");

    // Next run: ttyS0 is gone, a new adapter appears; ttyUSB0 keeps 2, the newcomer does not
    // take the number ttyS0 will want back.
    std::vector<SerialDevice> second = {{"/dev/ttyACM0", ""}, {"/dev/ttyUSB0", ""}};
    entries = NumberPorts(second, store);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(PortPath(entries, 2), "/dev/ttyUSB0");
    EXPECT_EQ(PortPath(entries, 3), "/dev/ttyACM0");

    // All three back, in another order.
    std::vector<SerialDevice> third = {
        {"/dev/ttyUSB0", ""}, {"/dev/ttyACM0", ""}, {"/dev/ttyS0", ""}};
    entries = NumberPorts(third, store);
    EXPECT_EQ(PortPath(entries, 1), "/dev/ttyS0");
    EXPECT_EQ(PortPath(entries, 2), "/dev/ttyUSB0");
    EXPECT_EQ(PortPath(entries, 3), "/dev/ttyACM0");
}

TEST(PortsTest, StableNumbersAvoidComNumbersAndReuseForgottenOnes) {
    MemorySettingsStore store;
    // Every number is remembered for some absent device: a newcomer takes the lowest one
    // not held by a present device.
    for (int n = 1; n <= kMaxPortNumber; ++n) {
        store.Set(kPortMapSection, "Port" + std::to_string(n), "/dev/gone" + std::to_string(n));
    }
    std::vector<SerialDevice> devices = {{"COM1", "Serial (COM1)"}, {"/dev/ttyUSB9", ""}};
    std::vector<PortEntry> entries = NumberPorts(devices, store);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].path, "COM1");
    EXPECT_EQ(entries[1].number, 2);
    EXPECT_EQ(entries[1].path, "/dev/ttyUSB9");
    EXPECT_EQ(store.Get(kPortMapSection, "Port2"), "/dev/ttyUSB9");
    // Duplicates of one device count once.
    entries = NumberPorts({{"/dev/ttyUSB9", ""}, {"/dev/ttyUSB9", ""}}, store);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].number, 2);
}

}  // namespace
}  // namespace mrw
