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

class EngineTest : public ::testing::Test {
protected:
    EngineTest() {
        memory = *BlankMemory(1);
        engine = std::make_unique<RadioEngine>(memory, options);
    }
    std::string Send(const std::string& text) {
        std::vector<uint8_t> answer =
            engine->Receive(reinterpret_cast<const uint8_t*>(text.data()), text.size());
        return std::string(answer.begin(), answer.end());
    }

    RadioMemory memory{};
    RadioOptions options;
    std::unique_ptr<RadioEngine> engine;
};

TEST_F(EngineTest, FramesAreBuiltAndCheckedByXor) {
    EXPECT_EQ(BuildFrame("#QKPSR", {"00"}), kStatusRequest);
    EXPECT_EQ(BuildFrame("#QKPRD", {"0100", "04"}), kReadRequest);
    // An empty field is left out together with its HT.
    EXPECT_EQ(BuildFrame("#QKPSR", {""}), "#QKPSR\t61\r\n");
    EXPECT_EQ(Hex(0x1A, 4), "001A");
}

TEST_F(EngineTest, BlankMemoryCarriesTheModelIdentity) {
    // Model type 1 (08FD, "KT562W", region 0) is what every link test connects to.
    auto second = BlankMemory(2);
    ASSERT_TRUE(second);
    EXPECT_EQ((*second)[128], 0x09);
    EXPECT_EQ((*second)[129], 0x61);
    EXPECT_EQ((*second)[32767], 0x61);
    auto marine = BlankMemory(11);
    ASSERT_TRUE(marine);
    EXPECT_EQ((*marine)[256], 0xFF);  // no product code
    EXPECT_FALSE(BlankMemory(3));
}

TEST_F(EngineTest, ConnectSequenceIsAnswered) {
    EXPECT_EQ(Send("P"), "P");
    EXPECT_EQ(Send("0"), "");
    EXPECT_EQ(engine->Baud(), kWakeUpBaud);
    EXPECT_EQ(Send("ACMD:002\r\n"), "OK\r\n");
    EXPECT_EQ(engine->Baud(), kWorkingBaud);
    EXPECT_EQ(Send("#CMDSY\r\n"), "#CMDOK\r\n");
    EXPECT_EQ(Send("#CMDSY\r\n"), "#CMDOK\r\n");
    // A new wake-up starts again at the slow rate.
    EXPECT_EQ(Send("P"), "P");
    EXPECT_EQ(engine->Baud(), kWakeUpBaud);
    EXPECT_EQ(engine->Requests().size(), 6u);
    EXPECT_EQ(engine->CountOf("#CMDSY"), 2);
    // A refused baud switch keeps the slow rate.
    options.baudSwitchReply = "ERROR";
    EXPECT_EQ(Send("ACMD:002\r\n"), "ERROR\r\n");
    EXPECT_EQ(engine->Baud(), kWakeUpBaud);
}

TEST_F(EngineTest, PcAcknowledgementsAreTakenSilentlyAndOtherLinesRecordedAsInvalid) {
    EXPECT_EQ(Send("#CMDOK\r\n#CMDSM\r\n#CMDUN\r\n#CMDER\r\n"), "");
    EXPECT_EQ(engine->CountOf("#CMDSM"), 1);
    EXPECT_EQ(engine->FramedCount(), 0);
    // Unknown lines are recorded as invalid; bytes split across calls make one request.
    EXPECT_EQ(Send("HELLO\r\n"), "");
    EXPECT_EQ(engine->Requests().back().word, "HELLO");
    EXPECT_FALSE(engine->Requests().back().valid);
    EXPECT_EQ(Send("#CMD"), "");
    EXPECT_EQ(Send("SY\r"), "");
    EXPECT_EQ(Send("\n"), "#CMDOK\r\n");
}

TEST_F(EngineTest, AbortIsAcknowledgedEvenInTheMiddleOfALine) {
    EXPECT_EQ(Send("#QKP\x18"), "\x06");
    // The half line was dropped: the next request is understood.
    EXPECT_EQ(Send("#CMDSY\r\n"), "#CMDOK\r\n");
}

TEST_F(EngineTest, StatusRequestIsAnsweredReadyOrBusy) {
    EXPECT_EQ(Send(kStatusRequest), "#CMDOK\r\n#QKPSD\t00\t7E\r\n");
    options.busyStatusCount = 2;  // counts all status requests, the first already went
    EXPECT_EQ(Send(kStatusRequest), "#CMDOK\r\n#QKPSD\t01\t7F\r\n");
    EXPECT_EQ(Send(kStatusRequest), "#CMDOK\r\n#QKPSD\t00\t7E\r\n");
    EXPECT_EQ(engine->FramedCount(), 3);
}

TEST_F(EngineTest, ReadRequestReturnsTheMemoryBytes) {
    EXPECT_EQ(Send(kReadRequest), "#CMDOK\r\n#QKPDT\t0100\t04\t4B543536\t08\r\n");
    const RadioRequest& request = engine->Requests().back();
    EXPECT_TRUE(request.valid && request.framedNumber == 1 && request.address == 0x100 &&
                request.count == 4);
}

TEST_F(EngineTest, ReadOfAFullBlockAtTheTopOfMemory) {
    std::string answer = Send(BuildFrame("#QKPRD", {"7FC0", "40"}));
    ASSERT_EQ(answer.substr(0, 8), "#CMDOK\r\n");
    std::string reply = answer.substr(8);
    // word HT address HT count HT 128 digits HT checksum CR LF
    ASSERT_EQ(reply.size(), 6u + 1 + 4 + 1 + 2 + 1 + 128 + 1 + 2 + 2);
    EXPECT_EQ(reply.substr(reply.size() - 9, 4), "08FD");  // the model code again
}

TEST_F(EngineTest, ReadRequestsOutsideMemoryOrMalformedAreRefused) {
    EXPECT_EQ(Send(BuildFrame("#QKPRD", {"7FF0", "40"})), "ERROR");
    EXPECT_EQ(Send(BuildFrame("#QKPRD", {"0000", "00"})), "ERROR");
    EXPECT_EQ(Send(BuildFrame("#QKPRD", {"00G0", "40"})), "ERROR");
    EXPECT_EQ(Send(BuildFrame("#QKPRD", {"0000"})), "ERROR");
    EXPECT_EQ(Send(BuildFrame("#QKPXX", {"00"})), "ERROR");
    EXPECT_EQ(engine->FramedCount(), 5);
}

TEST_F(EngineTest, WriteRequestStoresTheBytes) {
    EXPECT_EQ(Send(kWriteRequest), "#CMDOK\r\n");
    EXPECT_EQ(memory[0x200], 0xA5);
    EXPECT_EQ(memory[0x201], 0x5A);
    EXPECT_EQ(memory[0x202], 0xFF);
    EXPECT_EQ(memory[0x1FF], 0xFF);
    const RadioRequest& request = engine->Requests().back();
    EXPECT_EQ(request.address, 0x200);
    EXPECT_EQ(request.count, 2);
    EXPECT_EQ(request.data, (std::vector<uint8_t>{0xA5, 0x5A}));
    // Lower-case digits are fine.
    EXPECT_EQ(Send(BuildFrame("#QKPWR", {"01ab", "01", "3c"})), "#CMDOK\r\n");
    EXPECT_EQ(memory[0x1AB], 0x3C);
}

TEST_F(EngineTest, BadWriteRequestsLeaveMemoryAlone) {
    const RadioMemory before = memory;
    // Wrong checksum.
    EXPECT_EQ(Send("#QKPWR\t0200\t02\tA55A\t6D\r\n"), "ERROR");
    EXPECT_FALSE(engine->Requests().back().valid);
    // Data one digit short, and count disagreeing with the data.
    EXPECT_EQ(Send(BuildFrame("#QKPWR", {"0200", "02", "A55"})), "ERROR");
    EXPECT_EQ(Send(BuildFrame("#QKPWR", {"0200", "03", "A55A"})), "ERROR");
    // Non-hex data, and a write running past the end of memory.
    EXPECT_EQ(Send(BuildFrame("#QKPWR", {"0200", "01", "ZZ"})), "ERROR");
    EXPECT_EQ(Send(BuildFrame("#QKPWR", {"7FFF", "02", "0102"})), "ERROR");
    EXPECT_EQ(memory, before);
}

TEST_F(EngineTest, ErrorFaultRefusesTheChosenRequestsOnly) {
    options.faults = {{FaultKind::ErrorReply, 2, 2}};
    EXPECT_EQ(Send(kStatusRequest), "#CMDOK\r\n#QKPSD\t00\t7E\r\n");
    EXPECT_EQ(Send(kWriteRequest), "ERROR");
    EXPECT_EQ(memory[0x200], 0xFF);  // a refused write writes nothing
    EXPECT_EQ(Send(kReadRequest), "ERROR");
    EXPECT_EQ(Send(kReadRequest), "#CMDOK\r\n#QKPDT\t0100\t04\t4B543536\t08\r\n");

    // A half resynchronisation: after its last refusal one "#CMDSY" is acknowledged and the
    // rest refused, until the next framed request.
    options.faults = {{FaultKind::HalfSync, 5, 2}};
    EXPECT_EQ(Send("#CMDSY\r\n"), "#CMDOK\r\n");
    EXPECT_EQ(Send(kReadRequest), "ERROR");
    EXPECT_EQ(Send("#CMDSY\r\n"), "#CMDOK\r\n");  // request 6 is still refused
    EXPECT_EQ(Send(kReadRequest), "ERROR");
    EXPECT_EQ(Send("#CMDSY\r\n"), "#CMDOK\r\n");
    EXPECT_EQ(Send("#CMDSY\r\n"), "ERROR\r\n");
    EXPECT_EQ(Send("#CMDSY\r\n"), "ERROR\r\n");
    EXPECT_EQ(Send(kStatusRequest), "#CMDOK\r\n#QKPSD\t00\t7E\r\n");
    EXPECT_EQ(Send("#CMDSY\r\n"), "#CMDOK\r\n");
}

TEST_F(EngineTest, ReplyFaultsShapeTheAnswer) {
    options.faults = {{FaultKind::BadChecksum, 1},
                      {FaultKind::DropReply, 2},
                      {FaultKind::NoAnswer, 3},
                      {FaultKind::CutShort, 4},
                      {FaultKind::DropReply, 5}};
    EXPECT_EQ(Send(kReadRequest), "#CMDOK\r\n#QKPDT\t0100\t04\t4B543536\t00\r\n");
    EXPECT_EQ(Send(kReadRequest), "#CMDOK\r\n");
    EXPECT_EQ(Send(kReadRequest), "");
    std::string reply = "#QKPDT\t0100\t04\t4B543536\t08\r\n";
    EXPECT_EQ(Send(kReadRequest), "#CMDOK\r\n" + reply.substr(0, reply.size() / 2));
    // A write's only message is its acknowledgement; it is dropped, but the write happened.
    EXPECT_EQ(Send(kWriteRequest), "");
    EXPECT_EQ(memory[0x200], 0xA5);
}

TEST_F(EngineTest, GarbageComesBeforeTheAnswerAndIsReproducible) {
    options.faults = {{FaultKind::Garbage, 1, 2}};
    options.garbageLength = 7;
    std::string first = Send(kStatusRequest);
    std::string second = Send(kStatusRequest);
    ASSERT_EQ(first.size(), 7u + 8 + 14);
    EXPECT_EQ(first.substr(7), "#CMDOK\r\n#QKPSD\t00\t7E\r\n");
    EXPECT_NE(first.substr(0, 7), second.substr(0, 7));
    EXPECT_EQ(Send(kStatusRequest), "#CMDOK\r\n#QKPSD\t00\t7E\r\n");

    RadioMemory other = memory;
    RadioEngine again(other, options);
    std::vector<uint8_t> bytes(kStatusRequest, kStatusRequest + 14);
    std::vector<uint8_t> replay = again.Receive(bytes);
    EXPECT_EQ(std::string(replay.begin(), replay.end()), first);
}

TEST_F(EngineTest, SilentRadioAnswersNothingAfterItsQuota) {
    options.silentAfter = 1;
    EXPECT_EQ(Send(kStatusRequest), "#CMDOK\r\n#QKPSD\t00\t7E\r\n");
    EXPECT_EQ(Send(kWriteRequest), "");
    EXPECT_EQ(memory[0x200], 0xFF);
    for (const char* request : {"#CMDSY\r\n", "P", "\x18", "ACMD:002\r\n"}) {
        EXPECT_EQ(Send(request), "") << request;
    }
    // Still recorded.
    EXPECT_EQ(engine->CountOf("#QKPWR"), 1);
}

TEST_F(EngineTest, PulledCableEndsAllAnswers) {
    options.faults = {{FaultKind::CablePulled, 2}};
    EXPECT_NE(Send(kReadRequest), "");
    EXPECT_FALSE(engine->CablePulled());
    EXPECT_EQ(Send(kReadRequest), "");
    EXPECT_TRUE(engine->CablePulled());
    EXPECT_EQ(Send("#CMDSY\r\n"), "");
    EXPECT_EQ(engine->FramedCount(), 2);
}

}  // namespace
}  // namespace mrw::sim
