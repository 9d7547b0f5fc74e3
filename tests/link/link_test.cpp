// The clone protocol procedures: waits and their results, sends, connection, status check,
// block transactions with their retry rules, and a line that dies.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/log.h"
#include "link/frame.h"
#include "link/link.h"
#include "link_fixture.h"

namespace mrw::testing {
namespace {

using sim::Fault;
using sim::FaultKind;

class ProtocolTest : public LinkTest {
protected:
    Link MakeLink(SerialPort& port) {
        return Link(config, port, "Read from Radio",
                    [this](const std::string& text) { notes.push_back(text); });
    }
    std::vector<std::string> notes;
};

// ---- Waits --------------------------------------------------------------------------------

TEST_F(ProtocolTest, WaitCharsCollectsTheWordAndRecognisesErrorInAnyCase) {
    ScriptedPort port;
    Link link = MakeLink(port);
    std::string error;
    port.Open("57600,N,8,1", error);
    port.Feed("#QKPSD\t");
    std::string text;
    EXPECT_EQ(link.WaitChars(text, 6, 10), WaitResult::Done);
    EXPECT_EQ(text, "#QKPSD");
    port.rx.clear();
    port.Feed("eRrOr");
    EXPECT_EQ(link.WaitChars(text, 6, 10), WaitResult::ErrorReply);
    // A line end left by a refusal does not start the next word.
    port.Feed("\r\n#CMDOK");
    EXPECT_EQ(link.WaitChars(text, 6, 10), WaitResult::Done);
    EXPECT_EQ(text, "#CMDOK");
}

TEST_F(ProtocolTest, TimeLimitPassesOnlyWhenMoreThanItsSecondsElapsed) {
    ScriptedPort port;
    Link link = MakeLink(port);
    std::string error;
    port.Open("57600,N,8,1", error);
    clock.pumpStepMs = 250;  // polls at 0.25, 0.5, 0.75, 1.0, 1.25 s
    const double start = clock.Seconds();
    EXPECT_EQ(link.WaitByte(0x50, 1), WaitResult::TimedOut);
    EXPECT_DOUBLE_EQ(clock.Seconds() - start, 1.25);
}

TEST_F(ProtocolTest, EachPollChecksCharacterThenCancelThenTimeThenCompletion) {
    ScriptedPort port;
    Link link = MakeLink(port);
    std::string error;
    port.Open("57600,N,8,1", error);
    // The awaited byte and the Cancel press arrive in the same poll: Cancel wins.
    clock.onPump = [&] {
        port.Feed("P");
        config.state.CancelFlag = true;
    };
    EXPECT_EQ(link.WaitByte('P', 1), WaitResult::Cancelled);
    EXPECT_TRUE(port.rx.empty());  // the character was taken first
    // The awaited byte arrives in the poll in which the limit passes: time wins.
    config.state.CancelFlag = false;
    clock.onPump = [&] {
        port.Feed("P");
        clock.Advance(2);
    };
    EXPECT_EQ(link.WaitByte('P', 1), WaitResult::TimedOut);
}

TEST_F(ProtocolTest, StrictLineNeedsLineFeedRightAfterCarriageReturn) {
    ScriptedPort port;
    Link link = MakeLink(port);
    std::string error;
    port.Open("19200,N,8,1", error);
    std::string text;
    port.Feed("OK\r\n");
    EXPECT_EQ(link.WaitLineStrict(text, 1), WaitResult::Done);
    EXPECT_EQ(text, "OK");
    port.Feed("OK\rX");
    EXPECT_EQ(link.WaitLineStrict(text, 1), WaitResult::BadReply);
    port.rx.clear();
    port.Feed("\t00\t3A\rjunk\n");
    EXPECT_EQ(link.WaitLine(text, 10), WaitResult::Done);
    EXPECT_EQ(text, "\t00\t3A");
}

TEST_F(ProtocolTest, AcknowledgementNeedsCmdOkWithCrLfAndClearsErrorFlag) {
    ScriptedPort port;
    Link link = MakeLink(port);
    std::string error;
    port.Open("57600,N,8,1", error);
    config.state.ErrorFlag = true;
    port.Feed("#CMDOK\r\n");
    EXPECT_EQ(link.WaitAck(), WaitResult::Done);
    EXPECT_FALSE(config.state.ErrorFlag);
    config.state.ErrorFlag = true;
    port.Feed("#CMDNG\r\n");
    EXPECT_EQ(link.WaitAck(), WaitResult::BadReply);
    port.rx.clear();
    port.Feed("#CMDOK");  // CR and LF never come
    EXPECT_EQ(link.WaitAck(), WaitResult::BadReply);
    EXPECT_TRUE(config.state.ErrorFlag);
}

// ---- Sends --------------------------------------------------------------------------------

TEST_F(ProtocolTest, SingleBytesDropPendingInputFramesKeepItAndEverySendWaitsTenMs) {
    ScriptedPort port;
    Link link = MakeLink(port);
    std::string error;
    port.Open("57600,N,8,1", error);
    port.Feed("stale");
    double t = clock.Seconds();
    link.SendFrame("#QKPSR", {"00"});
    EXPECT_DOUBLE_EQ(clock.Seconds() - t, 0.010);
    EXPECT_EQ(port.discards, 0);
    EXPECT_EQ(port.rx.size(), 5u);
    link.SendByte(0x18);
    EXPECT_EQ(port.discards, 1);
    EXPECT_TRUE(port.rx.empty());
    link.SendBaudCommand("ACMD:02");  // not 8 characters: nothing goes out
    link.SendBaudCommand("ACMD:002");
    ASSERT_EQ(port.sent.size(), 3u);
    EXPECT_EQ(port.sent[2], "ACMD:002\r\n");
}

// ---- Port handling ------------------------------------------------------------------------

TEST_F(ProtocolTest, PortThatCannotOpenIsLoggedWithoutAMessageBox) {
    auto folder = std::filesystem::temp_directory_path() / "mrw_link_port_test";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    config.services.programFolder = folder;
    config.state.DebugSwitch = true;
    ScriptedPort port;
    port.failOpen = true;
    Link link = MakeLink(port);
    EXPECT_FALSE(link.PortInit());
    EXPECT_FALSE(link.PortOpen());
    EXPECT_FALSE(link.Connect());
    EXPECT_TRUE(prompt.messages.empty());
    std::ifstream log(folder / "err.log");
    std::string all((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
    EXPECT_NE(all.find("frmRadio.PortInit -> 1001no such port"), std::string::npos);
    EXPECT_NE(all.find("frmRadio.PortOpen -> "), std::string::npos);
    std::filesystem::remove_all(folder);
}

TEST_F(ProtocolTest, PortOpensAtWorkingRateAndLeavesAnOpenPortAlone) {
    ScriptedPort port;
    Link link = MakeLink(port);
    EXPECT_TRUE(link.PortOpen());
    EXPECT_TRUE(link.PortOpen());
    EXPECT_EQ(port.opens, std::vector<std::string>{"57600,N,8,1"});
    config.state.Baud19200Switch = true;
    EXPECT_TRUE(link.PortInitCP());
    EXPECT_EQ(port.opens.back(), "19200,N,8,1");
}

// ---- Connect ------------------------------------------------------------------------------

/// A radio for the connection tests: echoes the wake-up byte, answers "ACMD:002" with
/// `acmdReply` (nothing when empty) and acknowledges every "#CMDSY".
class ConnectTest : public ProtocolTest {
protected:
    void SetUp() override {
        port.respond = [this](const std::string& sent) -> std::string {
            if (sent == "P") {
                return "P";
            }
            if (sent == "ACMD:002\r\n") {
                return acmdReply;
            }
            if (sent == "#CMDSY\r\n") {
                return "#CMDOK\r\n";
            }
            return "";
        };
    }
    ScriptedPort port;
    std::string acmdReply = "OK\r\n";
};

TEST_F(ConnectTest, GoodRadioConnectsAtTheWorkingRate) {
    Link link = MakeLink(port);
    EXPECT_TRUE(link.Connect());
    EXPECT_EQ(port.opens, (std::vector<std::string>{"19200,N,8,1", "57600,N,8,1"}));
    EXPECT_EQ(port.sent[0], "P");
    EXPECT_EQ(port.sent[1], "0");
    EXPECT_EQ(port.sent[2], "ACMD:002\r\n");
    EXPECT_EQ(std::count(port.sent.begin(), port.sent.end(), "#CMDSY\r\n"), 2);
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(ConnectTest, NoAnswerToBaudSwitchIsNotAnError) {
    acmdReply = "";
    Link link = MakeLink(port);
    EXPECT_TRUE(link.Connect());
    EXPECT_EQ(port.opens.back(), "57600,N,8,1");
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(ConnectTest, BaudSwitchOutcomes) {
    struct Case {
        std::string reply;
        bool connects;
        std::vector<std::string> boxes;
    };
    for (const Case& c : {Case{"ERROR\r\n", false, {"ACMD Command error!!"}},
                          Case{"error\r\n", false, {"ACMD Command error!!"}},
                          Case{"BUSY\r\n", false, {"error!!"}}, Case{"OK\rX", true, {"error!!"}}}) {
        SCOPED_TRACE(c.reply);
        prompt.messages.clear();
        acmdReply = c.reply;
        Link link = MakeLink(port);
        EXPECT_EQ(link.Connect(), c.connects);
        EXPECT_EQ(prompt.Texts(), c.boxes);
        EXPECT_EQ(prompt.messages[0].icon, Icon::Critical);
        EXPECT_EQ(prompt.messages[0].title, "Read from Radio");
    }
}

TEST_F(ConnectTest, With19200SwitchTheBaudSwitchIsSentAndThePortStaysAt19200) {
    config.state.Baud19200Switch = true;
    Link link = MakeLink(port);
    EXPECT_TRUE(link.Connect());
    EXPECT_EQ(port.sent[2], "ACMD:002\r\n");
    EXPECT_EQ(port.opens, (std::vector<std::string>{"19200,N,8,1", "19200,N,8,1"}));
}

TEST_F(ConnectTest, WakeUpIsTriedThreeTimesAndConnectGoesOnRegardless) {
    config.state.DebugSwitch = true;
    auto inner = port.respond;
    port.respond = [inner](const std::string& sent) {
        return sent == "P" ? std::string() : inner(sent);
    };
    Link link = MakeLink(port);
    EXPECT_TRUE(link.Connect());
    EXPECT_EQ(std::count(port.sent.begin(), port.sent.end(), "P"), 3);
    EXPECT_EQ(std::count(port.sent.begin(), port.sent.end(), "0"), 0);
    EXPECT_NE(std::find(notes.begin(), notes.end(), "sync failed!!"), notes.end());
}

TEST_F(ConnectTest, BadSyncReplyEndsTheSynchronisationAtOnce) {
    auto inner = port.respond;
    port.respond = [inner](const std::string& sent) {
        return sent == "#CMDSY\r\n" ? std::string("#CMDNG\r\n") : inner(sent);
    };
    Link link = MakeLink(port);
    EXPECT_FALSE(link.Connect());
    EXPECT_EQ(std::count(port.sent.begin(), port.sent.end(), "#CMDSY\r\n"), 1);
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(ProtocolTest, SilentRadioMakesConnectGiveUpAfterAboutSixtyFiveSecondsWithoutABox) {
    config.state.DebugSwitch = true;
    radio.options.silentAfter = 0;
    Link link = MakeLink(radio);
    const double start = clock.Seconds();
    EXPECT_FALSE(link.Connect());
    const double elapsed = clock.Seconds() - start;
    // Wake-up 3 s, ACMD 1 s, pause 1 s, 2 passes x 3 waits of 10 s, plus notes in debug mode.
    const double notes500 = 0.5 * static_cast<double>(notes.size());
    EXPECT_NEAR(elapsed - notes500, 65.0, 0.5);
    EXPECT_TRUE(prompt.messages.empty());
    EXPECT_EQ(notes.back(), "can'not Receive '#CMDOK' !!");
    EXPECT_EQ(radio.CountOf("#CMDSY"), 6);  // both passes run out of retries
}

TEST_F(ProtocolTest, NotesAppearOnlyInDebugModeAndCostHalfASecondEach) {
    Link quiet = MakeLink(radio);
    double t = clock.Seconds();
    quiet.ShowNote("status check..");
    EXPECT_TRUE(notes.empty());
    EXPECT_DOUBLE_EQ(clock.Seconds(), t);
    config.state.DebugSwitch = true;
    quiet.ShowNote("status check..");
    EXPECT_EQ(notes, std::vector<std::string>{"status check.."});
    EXPECT_DOUBLE_EQ(clock.Seconds() - t, 0.5);
}

// ---- Status check and retry rules ---------------------------------------------------------

class StatusTest : public ProtocolTest {
protected:
    void SetUp() override { ASSERT_TRUE(link.Connect()); }
    Link link = MakeLink(radio);
};

TEST_F(StatusTest, ReadyRadioPasses) {
    EXPECT_TRUE(link.StatusCheck());
    EXPECT_EQ(radio.CountOf("#QKPSR"), 1);
    EXPECT_EQ(radio.CountOf("#CMDOK"), 1);
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(StatusTest, ErrorAnswersUseRetriesThenAskTheSyncQuestion) {
    radio.options.faults = {Fault{FaultKind::ErrorReply, 1, 3}};
    prompt.answers = {Answer::Cancel};
    EXPECT_FALSE(link.StatusCheck());
    EXPECT_EQ(radio.CountOf("#QKPSR"), 3);
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_EQ(prompt.messages[0].text, "confirm the synchronization of the communication");
    EXPECT_EQ(prompt.messages[0].icon, Icon::Question);
    EXPECT_EQ(prompt.messages[0].buttons, Buttons::OkCancel);
}

TEST_F(StatusTest, OkWithGoodSyncAllowsOneMoreAttemptThatMaySucceed) {
    radio.options.faults = {Fault{FaultKind::ErrorReply, 1, 3}};
    prompt.answers = {Answer::Ok};
    int syncsBefore = radio.CountOf("#CMDSY");
    EXPECT_TRUE(link.StatusCheck());
    EXPECT_EQ(radio.CountOf("#QKPSR"), 4);
    EXPECT_EQ(radio.CountOf("#CMDSY") - syncsBefore, 2);
}

TEST_F(StatusTest, OkWithGoodSyncAllowsExactlyOneMoreAttempt) {
    radio.options.faults = {Fault{FaultKind::ErrorReply, 1, 10}};
    prompt.answers = {Answer::Ok, Answer::Ok};
    EXPECT_FALSE(link.StatusCheck());
    EXPECT_EQ(radio.CountOf("#QKPSR"), 4);
    EXPECT_EQ(prompt.messages.size(), 1u);  // asked once only
}

TEST_F(StatusTest, TimeoutsUseRetriesWithoutAQuestion) {
    radio.options.faults = {Fault{FaultKind::NoAnswer, 1, 3}};
    const double start = clock.Seconds();
    EXPECT_FALSE(link.StatusCheck());
    EXPECT_EQ(radio.CountOf("#QKPSR"), 3);
    EXPECT_TRUE(prompt.messages.empty());
    EXPECT_NEAR(clock.Seconds() - start, 30.0, 0.2);
}

TEST_F(StatusTest, WrongStatusChecksumSendsCmdSmAndFailsWithoutABox) {
    radio.options.faults = {Fault{FaultKind::BadChecksum, 1, 1}};
    EXPECT_FALSE(link.StatusCheck());
    EXPECT_EQ(radio.CountOf("#CMDSM"), 1);
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(StatusTest, BusyThenRetryRepeatsWithAFreshRetryCount) {
    // Two refusals before the busy reply and two after it: without a fresh count the third
    // refusal would exhaust the retries and ask the sync question.
    radio.options.busyStatusCount = 1;
    radio.options.faults = {Fault{FaultKind::ErrorReply, 1, 2}, Fault{FaultKind::ErrorReply, 4, 2}};
    prompt.answers = {Answer::Retry};
    EXPECT_TRUE(link.StatusCheck());
    ASSERT_EQ(prompt.messages.size(), 1u);
    const MessageRequest& busy = prompt.messages[0];
    EXPECT_EQ(busy.text, "Radio is busy!!");
    EXPECT_EQ(busy.icon, Icon::Exclamation);
    EXPECT_EQ(busy.buttons, Buttons::RetryCancel);
    EXPECT_EQ(busy.defaultButton, Answer::Cancel);
    EXPECT_EQ(radio.CountOf("#QKPSR"), 6);
}

TEST_F(StatusTest, BusyThenCancelFails) {
    radio.options.busyStatusCount = 5;
    EXPECT_FALSE(link.StatusCheck());  // the default button is Cancel
    EXPECT_EQ(radio.CountOf("#QKPSR"), 1);
}

// ---- Blocks -------------------------------------------------------------------------------

TEST_F(StatusTest, ReadBlockFillsTheBufferAtItsOwnAddresses) {
    for (int i = 0; i < 64; ++i) {
        radio.memory[static_cast<size_t>(256 + i)] = static_cast<uint8_t>(i * 3);
    }
    std::vector<uint8_t> buffer(512, 0xEE);
    config.state.ErrorFlag = true;
    link.ReadBlock(buffer, 256, 64);
    EXPECT_FALSE(config.state.ErrorFlag);
    EXPECT_TRUE(std::equal(buffer.begin() + 256, buffer.begin() + 320, radio.memory.begin() + 256));
    EXPECT_EQ(buffer[255], 0xEE);
    EXPECT_EQ(buffer[320], 0xEE);
    EXPECT_EQ(radio.Requests().back().word, "#CMDOK");
}

TEST_F(StatusTest, WrongDataChecksumSendsCmdSmAndLeavesErrorFlagSet) {
    radio.options.faults = {Fault{FaultKind::BadChecksum, 1, 1}};
    std::vector<uint8_t> buffer(64, 0);
    link.ReadBlock(buffer, 0, 64);
    EXPECT_TRUE(config.state.ErrorFlag);
    EXPECT_EQ(radio.CountOf("#CMDSM"), 1);
}

TEST_F(StatusTest, WriteBlockSendsImageBytesAndNeverShowsABox) {
    config.image.bytes[1000] = 0x12;
    config.image.bytes[1001] = 0xAB;
    link.WriteBlock(1000, 2);
    EXPECT_FALSE(config.state.ErrorFlag);
    EXPECT_EQ(radio.memory[1000], 0x12);
    EXPECT_EQ(radio.memory[1001], 0xAB);
    radio.options.faults = {Fault{FaultKind::ErrorReply, 2, 10}};
    prompt.answers = {Answer::Cancel};
    link.WriteBlock(1000, 2);
    EXPECT_TRUE(config.state.ErrorFlag);
    EXPECT_EQ(prompt.Texts(),
              std::vector<std::string>{"confirm the synchronization of the communication"});
}

/// Data replies no good radio sends, from a scripted port.
class DataReplyTest : public ProtocolTest {
protected:
    void SetUp() override {
        std::string error;
        port.Open("57600,N,8,1", error);
        port.respond = [this](const std::string& sent) -> std::string {
            return sent.rfind("#QKPRD", 0) == 0 ? "#CMDOK\r\n" + dataReply : "";
        };
    }
    ScriptedPort port;
    std::string dataReply;
    std::vector<uint8_t> buffer = std::vector<uint8_t>(64, 0);
};

TEST_F(DataReplyTest, AddressCountAndShortDataGiveTheirBoxes) {
    struct Case {
        std::string reply;
        std::string box;
    };
    for (const Case& c : {Case{Reply("#QKPDT", {"0020", "02", "ABCD"}), "address error!!"},
                          Case{Reply("#QKPDT", {"0010", "03", "ABCD"}), "data error!!"},
                          Case{Reply("#QKPDT", {"0010", "02", "ABC"}), "data error!!"},
                          Case{Reply("#QKPDT", {"0010", "02", "ABXD"}), "data error!!"}}) {
        SCOPED_TRACE(c.reply);
        prompt.messages.clear();
        dataReply = c.reply;
        Link link = MakeLink(port);
        link.ReadBlock(buffer, 0x10, 2);
        EXPECT_TRUE(config.state.ErrorFlag);
        EXPECT_EQ(prompt.Texts(), std::vector<std::string>{c.box});
        EXPECT_EQ(buffer[0x10], 0);
    }
}

TEST_F(DataReplyTest, LowerCaseDigitsAreAccepted) {
    dataReply = Reply("#QKPDT", {"0010", "02", "abcd"});
    Link link = MakeLink(port);
    link.ReadBlock(buffer, 0x10, 2);
    EXPECT_FALSE(config.state.ErrorFlag);
    EXPECT_EQ(buffer[0x10], 0xAB);
    EXPECT_EQ(buffer[0x11], 0xCD);
}

TEST_F(DataReplyTest, AnotherReplyWordSendsCmdEr) {
    dataReply = Reply("#QKPSD", {"00"});
    Link link = MakeLink(port);
    link.ReadBlock(buffer, 0x10, 2);
    EXPECT_TRUE(config.state.ErrorFlag);
    EXPECT_EQ(port.sent.back(), "#CMDER\r\n");
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(DataReplyTest, MissingDataReplyTimesOutWithItsBox) {
    dataReply = "";
    Link link = MakeLink(port);
    link.ReadBlock(buffer, 0x10, 2);
    EXPECT_TRUE(config.state.ErrorFlag);
    EXPECT_EQ(prompt.Texts(), std::vector<std::string>{"time out!!"});
}

// ---- A line that dies ---------------------------------------------------------------------

TEST_F(StatusTest, PulledCableEndsTheBlockAtOnceWithErrorFlagSet) {
    radio.options.faults = {Fault{FaultKind::CablePulled, 1, 1}};
    std::vector<uint8_t> buffer(64, 0);
    const double start = clock.Seconds();
    link.ReadBlock(buffer, 0, 64);
    EXPECT_TRUE(config.state.ErrorFlag);
    EXPECT_LT(clock.Seconds() - start, 1.0);
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(ProtocolTest, FailingSendEndsTheWaitAtOnce) {
    ScriptedPort port;
    std::string error;
    port.Open("57600,N,8,1", error);
    port.failSend = true;
    Link link = MakeLink(port);
    const double start = clock.Seconds();
    EXPECT_FALSE(link.SyncCommand());
    EXPECT_LT(clock.Seconds() - start, 0.5);
    EXPECT_TRUE(link.LineFailed());
}

// ---- Abort --------------------------------------------------------------------------------

TEST_F(StatusTest, AbortReadSendsCanWaitsForAckAndSetsCancelFlag) {
    config.state.CancelFlag = true;
    link.AbortRead();
    EXPECT_EQ(radio.CountOf("0x18"), 1);
    EXPECT_TRUE(config.state.CancelFlag);
    EXPECT_EQ(radio.Waiting(), 0);  // the acknowledgement was taken
}

}  // namespace
}  // namespace mrw::testing
