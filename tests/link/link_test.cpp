// The clone protocol procedures: waits and their results, sends, connection, status check,
// block transactions with their retry rules, and a line that dies.
#include "link/link.h"

#include <gtest/gtest.h>

#include "link/frame.h"
#include "link_fixture.h"

namespace mrw::testing {
namespace {

using sim::Fault;
using sim::FaultKind;

Answer AnswerNamed(const std::string& name) {
    return name == "ok" ? Answer::Ok : Answer::Cancel;
}

/// A link on a scripted port that is already open at the working rate.
class ProtocolTest : public LinkTest {
protected:
    ProtocolTest() {
        std::string error;
        port.Open("57600,N,8,1", error);
        port.opens.clear();
    }
    Link MakeLink(SerialPort& on) {
        return Link(config, on, "Read from Radio",
                    [this](const std::string& text) { notes.push_back(text); });
    }
    ScriptedPort port;
    Link link = MakeLink(port);
    std::vector<std::string> notes;
    std::string text;
};

// ---- Waits --------------------------------------------------------------------------------

TEST_F(ProtocolTest, WaitsCollectTheirRepliesAndRecogniseWrongOnes) {
    port.Feed("#QKPSD\t");
    EXPECT_EQ(link.WaitChars(text, 6, 10), WaitResult::Done);
    EXPECT_EQ(text, "#QKPSD");
    port.rx.clear();
    port.Feed("eRrOr");
    EXPECT_EQ(link.WaitChars(text, 6, 10), WaitResult::ErrorReply);
    // A line end left by a refusal does not start the next word.
    port.Feed("\r\n#CMDOK");
    EXPECT_EQ(link.WaitChars(text, 6, 10), WaitResult::Done);
    EXPECT_EQ(text, "#CMDOK");

    port.Feed("OK\r\n");
    EXPECT_EQ(link.WaitLineStrict(text, 1), WaitResult::Done);
    EXPECT_EQ(text, "OK");
    port.Feed("OK\rX");  // the line feed must follow the carriage return at once
    EXPECT_EQ(link.WaitLineStrict(text, 1), WaitResult::BadReply);
    port.rx.clear();
    port.Feed("\t00\t3A\rjunk\n");
    EXPECT_EQ(link.WaitLine(text, 10), WaitResult::Done);
    EXPECT_EQ(text, "\t00\t3A");

    config.state.ErrorFlag = true;
    port.Feed("#CMDOK\r\n");
    EXPECT_EQ(link.WaitAck(), WaitResult::Done);
    EXPECT_TRUE(config.state.ErrorFlag);  // only a whole block transaction clears it
    for (const char* reply : {"#CMDNG\r\n", "#CMDOK"}) {  // another word; CR LF never come
        port.rx.clear();
        port.Feed(reply);
        EXPECT_EQ(link.WaitAck(), WaitResult::BadReply) << reply;
    }
}

TEST_F(ProtocolTest, TimeLimitPassesOnlyWhenMoreThanItsSecondsElapsed) {
    clock.pumpStepMs = 250;  // polls at 0.25, 0.5, 0.75, 1.0, 1.25 s
    const double start = clock.Seconds();
    EXPECT_EQ(link.WaitByte(0x50, 1), WaitResult::TimedOut);
    EXPECT_DOUBLE_EQ(clock.Seconds() - start, 1.25);
}

// ---- Sends and the port -------------------------------------------------------------------

TEST_F(ProtocolTest, SingleBytesDropPendingInputFramesKeepItAndBaudCommandsAreEightCharacters) {
    port.Feed("stale");
    link.SendFrame("#QKPSR", {"00"});
    EXPECT_EQ(port.rx.size(), 5u);
    link.SendByte(0x18);
    EXPECT_TRUE(port.rx.empty());
    link.SendBaudCommand("ACMD:02");  // not 8 characters: nothing goes out
    link.SendBaudCommand("ACMD:002");
    EXPECT_EQ(port.sent, (std::vector<std::string>{"#QKPSR\t00\t68\r\n", "\x18", "ACMD:002\r\n"}));
}

TEST_F(ProtocolTest, OpenPortIsLeftAloneAndOneThatCannotOpenOrSendFailsWithoutABox) {
    port.Close();
    EXPECT_TRUE(link.PortOpen());
    EXPECT_TRUE(link.PortOpen());
    EXPECT_EQ(port.opens, std::vector<std::string>{"57600,N,8,1"});
    port.Close();
    port.failOpen = true;
    EXPECT_FALSE(link.PortOpen());
    EXPECT_FALSE(link.Connect());
    port.failOpen = false;
    port.failSend = true;
    const double start = clock.Seconds();
    EXPECT_FALSE(link.SyncCommand());
    EXPECT_LT(clock.Seconds() - start, 0.5);  // the wait ends at once
    EXPECT_TRUE(link.LineFailed());
    EXPECT_TRUE(prompt.messages.empty());
}

// ---- Connect ------------------------------------------------------------------------------

/// A radio that echoes the wake-up byte, answers "ACMD:002" with `acmdReply` and `sync` to
/// every "#CMDSY".
class ConnectTest : public ProtocolTest {
protected:
    void SetUp() override {
        port.respond = [this](const std::string& sent) -> std::string {
            if (sent == "P") {
                return wakeUp;
            }
            return sent == "ACMD:002\r\n" ? acmdReply : sent == "#CMDSY\r\n" ? sync : "";
        };
    }
    std::string wakeUp = "P";
    std::string acmdReply = "OK\r\n";
    std::string sync = "#CMDOK\r\n";
};

TEST_F(ConnectTest, RadioAnswersDecideTheConnectionAndItsRate) {
    EXPECT_TRUE(link.Connect());
    EXPECT_EQ(std::vector<std::string>(port.sent.begin(), port.sent.begin() + 4),
              (std::vector<std::string>{"P", "0", "ACMD:002\r\n", "#CMDSY\r\n"}));
    for (const Case& c : ReadCases(TestData("link/connect.txt"))) {
        SCOPED_TRACE(c.where);
        prompt.messages.clear();
        std::tie(wakeUp, acmdReply, sync) = std::tie(c[0], c[1], c[2]);
        EXPECT_EQ(link.Connect(), c[3] == "1");
        EXPECT_EQ(prompt.Texts(), std::vector<std::string>(c.fields.begin() + 5, c.fields.end()));
        EXPECT_EQ(port.opens.back(), c[4]);
        for (const MessageRequest& m : prompt.messages) {
            EXPECT_EQ(m.title, "Read from Radio");
        }
    }
    // With the 19200 switch the baud switch still goes out, and the port stays at 19200.
    config.state.Baud19200Switch = true;
    port.sent.clear();
    std::tie(wakeUp, acmdReply, sync) = std::tie("P", "OK\r\n", "#CMDOK\r\n");
    EXPECT_TRUE(link.Connect());
    EXPECT_EQ(port.sent[2], "ACMD:002\r\n");
    EXPECT_EQ(port.opens.back(), "19200,N,8,1");
}

TEST_F(ProtocolTest, SilentRadioMakesConnectGiveUpAfterAboutSixtyFiveSecondsWithoutABox) {
    radio.options.silentAfter = 0;
    Link silent = MakeLink(radio);
    const double start = clock.Seconds();
    EXPECT_FALSE(silent.Connect());
    // Wake-up 3 s, ACMD 1 s, pause 1 s, 2 passes x 3 waits of 10 s.
    EXPECT_NEAR(clock.Seconds() - start, 65.0, 0.5);
    EXPECT_TRUE(prompt.messages.empty());
}

// ---- Status check and retry rules on the simulated radio ----------------------------------

class StatusTest : public ProtocolTest {
protected:
    void SetUp() override { ASSERT_TRUE(radioLink.Connect()); }
    Link radioLink = MakeLink(radio);
};

TEST_F(StatusTest, ErrorAnswersUseRetriesThenTheSyncQuestionAllowsExactlyOneMoreAttempt) {
    for (const Case& c : ReadCases(TestData("link/status_retries.txt"))) {
        SCOPED_TRACE(c.where);
        radio.options.faults = {
            Fault{FaultKind::ErrorReply, radio.FramedCount() + 1, std::stoi(c[0])}};
        prompt.messages.clear();
        prompt.answers = {AnswerNamed(c[1]), AnswerNamed(c[1])};
        const int statusBefore = radio.CountOf("#QKPSR");
        const int syncsBefore = radio.CountOf("#CMDSY");
        EXPECT_EQ(radioLink.StatusCheck(), c[2] == "1");
        EXPECT_EQ(radio.CountOf("#QKPSR") - statusBefore, std::stoi(c[3]));
        EXPECT_EQ(radio.CountOf("#CMDSY") - syncsBefore, std::stoi(c[4]));
        EXPECT_EQ(prompt.Texts(),  // asked once only
                  std::vector<std::string>{"confirm the synchronization of the communication"});
    }
}

TEST_F(StatusTest, TimeoutsUseRetriesWithoutAQuestion) {
    radio.options.faults = {Fault{FaultKind::NoAnswer, 1, 3}};
    const double start = clock.Seconds();
    EXPECT_FALSE(radioLink.StatusCheck());
    EXPECT_EQ(radio.CountOf("#QKPSR"), 3);
    EXPECT_TRUE(prompt.messages.empty());
    EXPECT_NEAR(clock.Seconds() - start, 30.0, 0.2);

    // A wrong reply checksum sends "#CMDSM" and fails without a box.
    const int next = radio.FramedCount() + 1;
    radio.options.faults = {Fault{FaultKind::BadChecksum, next, 1},
                            Fault{FaultKind::BadChecksum, next + 1, 1}};
    EXPECT_FALSE(radioLink.StatusCheck());
    std::vector<uint8_t> buffer(64, 0);
    radioLink.ReadBlock(buffer, 0, 64);
    EXPECT_TRUE(config.state.ErrorFlag);
    EXPECT_EQ(radio.CountOf("#CMDSM"), 2);
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(StatusTest, BusyThenRetryRepeatsWithAFreshRetryCount) {
    // Two refusals before the busy reply and two after it: without a fresh count the third
    // refusal would exhaust the retries and ask the sync question.
    radio.options.busyStatusCount = 1;
    radio.options.faults = {Fault{FaultKind::ErrorReply, 1, 2}, Fault{FaultKind::ErrorReply, 4, 2}};
    prompt.answers = {Answer::Retry};
    EXPECT_TRUE(radioLink.StatusCheck());
    EXPECT_EQ(prompt.Texts(), std::vector<std::string>{"Radio is busy!!"});
    EXPECT_EQ(prompt.messages[0].buttons, Buttons::RetryCancel);
    EXPECT_EQ(radio.CountOf("#QKPSR"), 6);
    // Busy again: the default button is Cancel.
    radio.options.busyStatusCount = 100;
    EXPECT_FALSE(radioLink.StatusCheck());
    EXPECT_EQ(radio.CountOf("#QKPSR"), 7);
}

// ---- Blocks -------------------------------------------------------------------------------

TEST_F(StatusTest, BlockIsDoneOnlyWhenItsOwnTransactionCompleted) {
    for (const Case& c : ReadCases(TestData("link/block_outcomes.txt"))) {
        const FaultKind kind = c[0] == "half sync" ? FaultKind::HalfSync : FaultKind::ErrorReply;
        const bool done = c[3] == "1";
        for (bool write : {false, true}) {
            SCOPED_TRACE(c.where + (write ? " write" : " read"));
            radio.options.faults = {Fault{kind, radio.FramedCount() + 1, std::stoi(c[1])}};
            prompt.messages.clear();
            prompt.answers = {AnswerNamed(c[2])};
            config.image.bytes[1000] = 0x5A;
            radio.memory[1000] = 0xA5;
            const int syncsBefore = radio.CountOf("#CMDSY");
            std::vector<uint8_t> buffer(1002, 0);
            const Outcome outcome =
                write ? radioLink.WriteBlock(1000, 2) : radioLink.ReadBlock(buffer, 1000, 2);
            EXPECT_EQ(outcome, done ? Outcome::Done : Outcome::Failed);
            EXPECT_EQ(config.state.ErrorFlag, !done);
            EXPECT_EQ(radio.CountOf("#CMDSY") - syncsBefore, std::stoi(c[4]));
            EXPECT_EQ(prompt.Texts(),
                      std::vector<std::string>{"confirm the synchronization of the communication"});
            EXPECT_EQ(write ? radio.memory[1000] : buffer[1000],
                      done ? (write ? 0x5A : 0xA5) : (write ? 0xA5 : 0x00));
        }
    }
}

TEST_F(StatusTest, CancelPressedBetweenBlocksEndsTheNextOneBeforeItIsSent) {
    config.state.CancelFlag = true;
    std::vector<uint8_t> buffer(64, 0);
    const int framesBefore = radio.FramedCount();
    EXPECT_EQ(radioLink.ReadBlock(buffer, 0, 64), Outcome::Cancelled);
    EXPECT_EQ(radioLink.WriteBlock(0, 64), Outcome::Cancelled);
    EXPECT_EQ(radio.FramedCount(), framesBefore);
    EXPECT_TRUE(config.state.CancelFlag);
    EXPECT_TRUE(config.state.ErrorFlag);
    // The abort of a read sends CAN and takes the radio's acknowledgement.
    radioLink.AbortRead();
    EXPECT_EQ(radio.CountOf("0x18"), 1);
    EXPECT_TRUE(config.state.CancelFlag);
    EXPECT_EQ(radio.Waiting(), 0);
}

TEST_F(ProtocolTest, DataRepliesNoGoodRadioSendsGiveTheirBoxes) {
    for (const Case& row : ReadCases(TestData("link/data_replies.txt"))) {
        SCOPED_TRACE(row.where);
        const struct {
            std::string reply;
            std::vector<std::string> boxes;
            bool fails;
        } c{row[0], {row.fields.begin() + 2, row.fields.end()}, row[1] == "1"};
        prompt.messages.clear();
        std::vector<uint8_t> buffer(64, 0);
        port.respond = [&](const std::string& sent) {
            return sent.rfind("#QKPRD", 0) == 0 ? "#CMDOK\r\n" + c.reply : std::string();
        };
        link.ReadBlock(buffer, 0x10, 2);
        EXPECT_EQ(config.state.ErrorFlag, c.fails);
        EXPECT_EQ(prompt.Texts(), c.boxes);
        EXPECT_EQ(buffer[0x10], c.fails ? 0x00 : 0xAB);
        EXPECT_EQ(buffer[0x11], c.fails ? 0x00 : 0xCD);
        if (c.fails && c.boxes.empty()) {
            EXPECT_EQ(port.sent.back(), "#CMDER\r\n");
        }
    }
}

}  // namespace
}  // namespace mrw::testing
