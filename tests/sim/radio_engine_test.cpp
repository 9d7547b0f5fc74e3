// The radio's side of the clone protocol: exact answers, memory reads and writes, faults. The
// exchanges are in tests/data/sim/engine_exchanges.txt.
#include "sim/radio_engine.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "test_files.h"

namespace mrw::sim {
namespace {

constexpr const char* kStatusRequest = "#QKPSR\t00\t68\r\n";
constexpr const char* kReady = "#CMDOK\r\n#QKPSD\t00\t7E\r\n";

std::string Exchange(RadioEngine& engine, const std::string& text) {
    std::vector<uint8_t> answer =
        engine.Receive(reinterpret_cast<const uint8_t*>(text.data()), text.size());
    return std::string(answer.begin(), answer.end());
}

class EngineTest : public ::testing::Test {
protected:
    std::string Send(const std::string& text) { return Exchange(engine, text); }
    /// Sends the requests of `session` in order, checking each answer and the memory after it.
    void Play(const std::string& session) {
        for (const auto& c :
             mrw::testing::ReadCases(mrw::testing::TestData("sim/engine_exchanges.txt"))) {
            if (c[0] != session) {
                continue;
            }
            SCOPED_TRACE(c.where);
            EXPECT_EQ(Send(c[1]), c[2]);
            std::istringstream checks(c.fields.size() > 3 ? c[3] : "");
            for (std::string check; checks >> check;) {
                EXPECT_EQ(memory.at(std::stoul(check.substr(0, 4), nullptr, 16)),
                          std::stoul(check.substr(5), nullptr, 16))
                    << check;
            }
        }
    }
    RadioMemory memory = *BlankMemory(1);
    RadioOptions options;
    RadioEngine engine{memory, options};
};

TEST_F(EngineTest, FramesTheModelIdentityAndEachRequestsAnswer) {
    EXPECT_EQ(BuildFrame("#QKPRD", {"0100", "04"}), "#QKPRD\t0100\t04\t73\r\n");
    EXPECT_EQ(BuildFrame("#QKPSR", {""}), "#QKPSR\t61\r\n");  // an empty field and its HT go
    EXPECT_EQ((*BlankMemory(2))[128] << 8 | (*BlankMemory(2))[129], 0x0961);
    EXPECT_EQ((*BlankMemory(11))[256], 0xFF);  // no product code
    EXPECT_FALSE(BlankMemory(3));
    EXPECT_EQ(Send("P"), "P");
    EXPECT_EQ(Send("ACMD:002\r\n"), "OK\r\n");
    EXPECT_EQ(engine.Baud(), kWorkingBaud);
    EXPECT_EQ(Send("P"), "P");  // a new wake-up starts again at the slow rate
    EXPECT_EQ(engine.Baud(), kWakeUpBaud);
    Play("answers");
    const RadioRequest& write = engine.Requests()[engine.Requests().size() - 2];
    EXPECT_TRUE(write.valid && write.address == 0x200 && write.count == 2);
    EXPECT_EQ(engine.FramedCount(), 5);
    EXPECT_EQ(engine.CountOf("#CMDSY"), 1);
}

TEST_F(EngineTest, MalformedRequestsAreRefusedAndLeaveMemoryAlone) {
    const RadioMemory before = memory;
    Play("malformed");
    EXPECT_EQ(memory, before);
    EXPECT_FALSE(engine.Requests()[engine.Requests().size() - 2].valid);  // the bad checksum
    options.baudSwitchReply = "ERROR";
    EXPECT_EQ(Send("ACMD:002\r\n"), "ERROR\r\n");
    EXPECT_EQ(engine.Baud(), kWakeUpBaud);
}

TEST_F(EngineTest, FaultsShapeTheChosenAnswersOnly) {
    options.busyStatusCount = 1;
    options.faults = {{FaultKind::ErrorReply, 2, 1}, {FaultKind::BadChecksum, 3},
                      {FaultKind::DropReply, 4},     {FaultKind::NoAnswer, 5},
                      {FaultKind::CutShort, 6},      {FaultKind::DropReply, 7},
                      {FaultKind::HalfSync, 8, 1}};
    Play("faults");
}

TEST_F(EngineTest, GarbageIsReproducibleAndSilenceAndAPulledCableEndAnswers) {
    options.faults = {{FaultKind::Garbage, 1, 2}, {FaultKind::CablePulled, 4}};
    options.garbageLength = 7;
    const std::string first = Send(kStatusRequest);
    EXPECT_EQ(first.substr(7), kReady);
    EXPECT_NE(Send(kStatusRequest).substr(0, 7), first.substr(0, 7));
    RadioMemory other = memory;
    RadioEngine again(other, options);
    EXPECT_EQ(Exchange(again, kStatusRequest), first);
    EXPECT_EQ(Send(kStatusRequest), kReady);
    EXPECT_EQ(Send(kStatusRequest), "");
    EXPECT_TRUE(engine.CablePulled());
    EXPECT_EQ(Send("#CMDSY\r\n"), "");

    options.faults.clear();
    options.silentAfter = 1;
    RadioEngine silent(other, options);
    Exchange(silent, kStatusRequest);
    EXPECT_EQ(Exchange(silent, "#QKPWR\t0200\t02\tA55A\t6C\r\n"), "");
    EXPECT_EQ(other[0x200], 0xFF);
    EXPECT_EQ(silent.CountOf("#QKPWR"), 1);  // still recorded
}

}  // namespace
}  // namespace mrw::sim
