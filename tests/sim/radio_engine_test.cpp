// The radio's side of the clone protocol: exact answers, memory reads and writes, faults.
#include "sim/radio_engine.h"

#include <gtest/gtest.h>

#include <string>

namespace mrw::sim {
namespace {

// Frames below were worked out by hand (XOR of every character up to the last HT).
constexpr const char* kStatusRequest = "#QKPSR\t00\t68\r\n";
constexpr const char* kReadRequest = "#QKPRD\t0100\t04\t73\r\n";
constexpr const char* kWriteRequest = "#QKPWR\t0200\t02\tA55A\t6C\r\n";
constexpr const char* kReady = "#CMDOK\r\n#QKPSD\t00\t7E\r\n";
constexpr const char* kReadReply = "#CMDOK\r\n#QKPDT\t0100\t04\t4B543536\t08\r\n";

class EngineTest : public ::testing::Test {
protected:
    std::string Send(const std::string& text) {
        std::vector<uint8_t> answer =
            engine.Receive(reinterpret_cast<const uint8_t*>(text.data()), text.size());
        return std::string(answer.begin(), answer.end());
    }
    RadioMemory memory = *BlankMemory(1);
    RadioOptions options;
    RadioEngine engine{memory, options};
};

TEST_F(EngineTest, FramesAndTheModelIdentity) {
    EXPECT_EQ(BuildFrame("#QKPRD", {"0100", "04"}), kReadRequest);
    EXPECT_EQ(BuildFrame("#QKPSR", {""}), "#QKPSR\t61\r\n");  // an empty field and its HT go
    EXPECT_EQ((*BlankMemory(2))[128], 0x09);
    EXPECT_EQ((*BlankMemory(2))[129], 0x61);
    EXPECT_EQ((*BlankMemory(11))[256], 0xFF);  // no product code
    EXPECT_FALSE(BlankMemory(3));
}

TEST_F(EngineTest, EachRequestGetsItsAnswer) {
    EXPECT_EQ(Send("P"), "P");
    EXPECT_EQ(Send("ACMD:002\r\n"), "OK\r\n");
    EXPECT_EQ(engine.Baud(), kWorkingBaud);
    EXPECT_EQ(Send("P"), "P");  // a new wake-up starts again at the slow rate
    EXPECT_EQ(engine.Baud(), kWakeUpBaud);
    // PC acknowledgements are taken silently; bytes split across calls make one request.
    EXPECT_EQ(Send("#CMDOK\r\n#CMDSM\r\n"), "");
    EXPECT_EQ(Send("#CMD"), "");
    EXPECT_EQ(Send("SY\r\n"), "#CMDOK\r\n");
    EXPECT_EQ(Send("#QKP\x18"), "\x06");  // abort, even in the middle of a line
    EXPECT_EQ(Send(kStatusRequest), kReady);
    EXPECT_EQ(Send(kReadRequest), kReadReply);
    EXPECT_EQ(Send(kWriteRequest), "#CMDOK\r\n");
    EXPECT_EQ(Send(BuildFrame("#QKPWR", {"01ab", "01", "3c"})), "#CMDOK\r\n");
    EXPECT_EQ(memory[0x1FF], 0xFF);
    EXPECT_EQ(memory[0x200], 0xA5);
    EXPECT_EQ(memory[0x201], 0x5A);
    EXPECT_EQ(memory[0x202], 0xFF);
    EXPECT_EQ(memory[0x1AB], 0x3C);
    const RadioRequest& write = engine.Requests()[engine.Requests().size() - 2];
    EXPECT_TRUE(write.valid && write.address == 0x200 && write.count == 2);
    EXPECT_EQ(engine.FramedCount(), 4);
    EXPECT_EQ(engine.CountOf("#CMDSY"), 1);
    // word HT address HT count HT 128 digits HT checksum CR LF, the model code at the top.
    const std::string top = Send(BuildFrame("#QKPRD", {"7FC0", "40"})).substr(8);
    ASSERT_EQ(top.size(), 6u + 1 + 4 + 1 + 2 + 1 + 128 + 1 + 2 + 2);
    EXPECT_EQ(top.substr(top.size() - 9, 4), "08FD");
}

TEST_F(EngineTest, MalformedRequestsAreRefusedAndLeaveMemoryAlone) {
    const RadioMemory before = memory;
    for (const std::string& request :
         {BuildFrame("#QKPRD", {"7FF0", "40"}), BuildFrame("#QKPRD", {"0000", "00"}),
          BuildFrame("#QKPRD", {"00G0", "40"}), BuildFrame("#QKPRD", {"0000"}),
          BuildFrame("#QKPXX", {"00"}), BuildFrame("#QKPWR", {"0200", "02", "A55"}),
          BuildFrame("#QKPWR", {"0200", "03", "A55A"}), BuildFrame("#QKPWR", {"0200", "01", "ZZ"}),
          BuildFrame("#QKPWR", {"7FFF", "02", "0102"}),
          std::string("#QKPWR\t0200\t02\tA55A\t6D\r\n")}) {
        EXPECT_EQ(Send(request), "ERROR") << request;
    }
    EXPECT_EQ(memory, before);
    EXPECT_FALSE(engine.Requests().back().valid);
    EXPECT_EQ(Send("HELLO\r\n"), "");
    EXPECT_EQ(engine.Requests().back().word, "HELLO");
    options.baudSwitchReply = "ERROR";
    EXPECT_EQ(Send("ACMD:002\r\n"), "ERROR\r\n");
    EXPECT_EQ(engine.Baud(), kWakeUpBaud);
}

TEST_F(EngineTest, FaultsShapeTheChosenAnswersOnly) {
    options.busyStatusCount = 1;
    EXPECT_EQ(Send(kStatusRequest), "#CMDOK\r\n#QKPSD\t01\t7F\r\n");
    options.faults = {{FaultKind::ErrorReply, 2, 1}, {FaultKind::BadChecksum, 3},
                      {FaultKind::DropReply, 4},     {FaultKind::NoAnswer, 5},
                      {FaultKind::CutShort, 6},      {FaultKind::DropReply, 7},
                      {FaultKind::HalfSync, 8, 1}};
    EXPECT_EQ(Send(kWriteRequest), "ERROR");
    EXPECT_EQ(memory[0x200], 0xFF);  // a refused write writes nothing
    EXPECT_EQ(Send(kReadRequest), "#CMDOK\r\n#QKPDT\t0100\t04\t4B543536\t00\r\n");
    EXPECT_EQ(Send(kReadRequest), "#CMDOK\r\n");
    EXPECT_EQ(Send(kReadRequest), "");
    EXPECT_EQ(Send(kReadRequest), std::string(kReadReply).substr(0, 8 + 14));
    EXPECT_EQ(Send(kWriteRequest), "");  // the acknowledgement dropped, the write done
    EXPECT_EQ(memory[0x200], 0xA5);
    // A half resynchronisation: one "#CMDSY" acknowledged, the rest refused until the next
    // framed request.
    EXPECT_EQ(Send(kReadRequest), "ERROR");
    EXPECT_EQ(Send("#CMDSY\r\n"), "#CMDOK\r\n");
    EXPECT_EQ(Send("#CMDSY\r\n"), "ERROR\r\n");
    EXPECT_EQ(Send(kStatusRequest), kReady);
    EXPECT_EQ(Send("#CMDSY\r\n"), "#CMDOK\r\n");
}

TEST_F(EngineTest, GarbageIsReproducibleAndSilenceAndAPulledCableEndAnswers) {
    options.faults = {{FaultKind::Garbage, 1, 2}, {FaultKind::CablePulled, 4}};
    options.garbageLength = 7;
    const std::string first = Send(kStatusRequest);
    EXPECT_EQ(first.substr(7), kReady);
    EXPECT_NE(Send(kStatusRequest).substr(0, 7), first.substr(0, 7));
    RadioMemory other = memory;
    RadioEngine again(other, options);
    EXPECT_EQ(again.Receive(reinterpret_cast<const uint8_t*>(kStatusRequest), 14),
              std::vector<uint8_t>(first.begin(), first.end()));
    EXPECT_EQ(Send(kStatusRequest), kReady);
    EXPECT_EQ(Send(kStatusRequest), "");
    EXPECT_TRUE(engine.CablePulled());
    EXPECT_EQ(Send("#CMDSY\r\n"), "");

    options.faults.clear();
    options.silentAfter = 1;
    RadioEngine silent(other, options);
    silent.Receive(reinterpret_cast<const uint8_t*>(kStatusRequest), 14);
    EXPECT_TRUE(silent.Receive(reinterpret_cast<const uint8_t*>(kWriteRequest), 24).empty());
    EXPECT_EQ(other[0x200], 0xFF);
    EXPECT_EQ(silent.CountOf("#QKPWR"), 1);  // still recorded
}

}  // namespace
}  // namespace mrw::sim
