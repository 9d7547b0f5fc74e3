// The transfer operations as the dialog runs them: the shared frame, the checks, the read with
// cancel and failures, programming through the encoder, run-time failures and the main
// window's follow-up of a read.
#include "link/transfer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>

#include "image/checks.h"
#include "image/codec.h"
#include "link_fixture.h"

namespace mrw::testing {
namespace {

using sim::Fault;
using sim::FaultKind;

class TransferTest : public LinkTest {
protected:
    std::unique_ptr<Transfer> Make(int mode, SerialPort* port = nullptr) {
        config.state.TransferMode = static_cast<int16_t>(mode);
        return std::make_unique<Transfer>(config, port ? *port : radio, ui);
    }
};

TEST(TransferCaptionTest, CaptionsByMode) {
    EXPECT_EQ(TransferCaption(0), "Read from Radio");
    EXPECT_EQ(TransferCaption(1), "Program to Radio");
    EXPECT_EQ(TransferCaption(2), "Clear MMSI Data");
    EXPECT_EQ(TransferCaption(3), "Clear DSC Log Data");
    EXPECT_EQ(TransferCaption(4), "Clear Distress Log Data");
    EXPECT_EQ(TransferCaption(5), "Clear Individual Directory");
    EXPECT_EQ(TransferCaption(6), "Clear Group Directory");
    EXPECT_EQ(TransferCaption(7), "Clear WayPoint Directory");
    EXPECT_EQ(TransferCaption(8), "Clear DSC TX Log Data");
    EXPECT_EQ(TransferCaption(9), "Clear All Data");
    EXPECT_EQ(TransferCaption(10), "Clear ATIS Data");
    EXPECT_EQ(TransferCaption(11), "");
    EXPECT_EQ(TransferInstructions().substr(0, 67),
              "1.Connect the MRW cable between the PC serial port and the radio.\r\n");
}

// ---- Read ---------------------------------------------------------------------------------

TEST_F(TransferTest, ReadCompletesDecodesAndClosesTheDialog) {
    Randomise();
    auto t = Make(kModeRead);
    EXPECT_TRUE(t->RunOk());
    EXPECT_TRUE(config.state.TransferDone);
    EXPECT_FALSE(config.state.Loading);
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_EQ(prompt.messages[0].text, "Complete!!");
    EXPECT_EQ(prompt.messages[0].icon, Icon::Information);
    EXPECT_EQ(prompt.messages[0].title, "Read from Radio");
    DataModel expected = config.model;
    DecodeImage(config.image, expected);
    EXPECT_EQ(config.model, expected);
    EXPECT_FALSE(radio.IsOpen());
    EXPECT_EQ(ui.runningStates.front(), true);
    EXPECT_EQ(ui.runningStates.back(), false);
}

TEST_F(TransferTest, ReadProgressRunsFromZeroToOneHundred) {
    auto t = Make(kModeRead);
    ASSERT_TRUE(t->RunOk());
    ASSERT_GE(ui.progress.size(), 514u);
    EXPECT_EQ(ui.progress[0], 0);
    EXPECT_EQ(*std::max_element(ui.progress.begin(), ui.progress.end()), 100);
    EXPECT_EQ(ui.progress.back(), 0);  // the dialog resets the bar when the run ends
    t->SetProgress(150);
    EXPECT_EQ(ui.progress.back(), 100);
}

TEST_F(TransferTest, DebugNotesFollowTheRunInOrder) {
    config.state.DebugSwitch = true;
    auto t = Make(kModeRead);
    t->Load();
    ASSERT_TRUE(t->RunOk());
    const std::vector<std::string> expectedStart = {
        "starting at debug mode..", "startsync...",     "19200,N,8,1",
        "sending 'ACMD:002'...",    "57600,N,8,1",      "sending '#CMDSY'...(1)",
        "sending '#CMDSY'...(2)",   "sync ok",          "status check..",
        "status check.. OK",        "model check...",   "product-code check...",
        "region check...",          "radio reading...", ""};
    EXPECT_EQ(ui.notes, expectedStart);
}

TEST_F(TransferTest, CancelDuringReadSendsAbortAndLeavesImageAndModelUntouched) {
    Randomise();
    const Image before = config.image;
    const DataModel modelBefore = config.model;
    clock.onPump = [&] {
        if (radio.CountOf("#QKPRD") == 40 && !config.state.CancelFlag) {
            config.state.CancelFlag = true;  // the Cancel button
        }
    };
    auto t = Make(kModeRead);
    t->RunOk();
    EXPECT_EQ(radio.CountOf("0x18"), 1);
    EXPECT_EQ(radio.CountOf("#QKPRD"), 40);
    EXPECT_EQ(CountText("Communication Error!!"), 0);
    EXPECT_EQ(CountText("Complete!!"), 0);
    EXPECT_EQ(config.image.bytes, before.bytes);
    EXPECT_EQ(config.model, modelBefore);
    EXPECT_FALSE(config.state.TransferDone);
    EXPECT_FALSE(radio.IsOpen());
}

TEST_F(TransferTest, CancelButtonSetsCancelFlagOnlyWhileRunning) {
    auto t = Make(kModeRead);
    EXPECT_TRUE(t->Cancel());  // idle: closes
    EXPECT_TRUE(t->CanClose());
    config.state.Loading = true;
    EXPECT_FALSE(t->Cancel());
    EXPECT_FALSE(t->CanClose());
    EXPECT_TRUE(config.state.CancelFlag);
}

TEST_F(TransferTest, SilentBlockEndsWithOneCommunicationErrorAndTheImageUntouched) {
    Randomise();
    const Image before = config.image;
    radio.options.faults = {Fault{FaultKind::NoAnswer, 30, 3}};
    auto t = Make(kModeRead);
    EXPECT_FALSE(t->RunOk());  // stays open for another try
    EXPECT_EQ(prompt.Texts(), std::vector<std::string>{"Communication Error!!"});
    EXPECT_EQ(config.image.bytes, before.bytes);
    EXPECT_TRUE(config.state.ErrorFlag);
}

TEST_F(TransferTest, PulledCableDuringReadEndsPromptlyWithOneBox) {
    Randomise();
    const Image before = config.image;
    const DataModel modelBefore = config.model;
    radio.options.faults = {Fault{FaultKind::CablePulled, 60, 1}};
    auto t = Make(kModeRead);
    const double start = clock.Seconds();
    EXPECT_FALSE(t->RunOk());
    EXPECT_LT(clock.Seconds() - start, 30.0);
    EXPECT_EQ(prompt.Texts(), std::vector<std::string>{"Communication Error!!"});
    EXPECT_EQ(config.image.bytes, before.bytes);
    EXPECT_EQ(config.model, modelBefore);
    EXPECT_FALSE(radio.IsOpen());
}

TEST_F(TransferTest, GarbageBeforeAReplyEndsInOneClearError) {
    Randomise();
    radio.options.faults = {Fault{FaultKind::Garbage, 20, 1}};
    const Image before = config.image;
    auto t = Make(kModeRead);
    EXPECT_FALSE(t->RunOk());
    EXPECT_EQ(prompt.Texts(), std::vector<std::string>{"Communication Error!!"});
    EXPECT_EQ(config.image.bytes, before.bytes);
    EXPECT_FALSE(radio.IsOpen());
}

TEST_F(TransferTest, ReplyCutShortEndsInOneClearError) {
    Randomise();
    radio.options.faults = {Fault{FaultKind::CutShort, 20, 1}};
    const Image before = config.image;
    auto t = Make(kModeRead);
    EXPECT_FALSE(t->RunOk());
    EXPECT_EQ(CountText("Communication Error!!"), 1);
    EXPECT_EQ(config.image.bytes, before.bytes);
}

// ---- Frame and checks ---------------------------------------------------------------------

TEST_F(TransferTest, NoConnectionKeepsTheDialogOpenWithoutABox) {
    radio.options.silentAfter = 0;
    auto t = Make(kModeRead);
    EXPECT_FALSE(t->RunOk());
    EXPECT_TRUE(prompt.messages.empty());
    EXPECT_FALSE(config.state.Loading);
}

TEST_F(TransferTest, RadioNotReadyClosesTheDialogAfterItsBox) {
    radio.options.busyStatusCount = 10;
    auto t = Make(kModeRead);
    EXPECT_TRUE(t->RunOk());
    EXPECT_EQ(prompt.Texts(), (std::vector<std::string>{"Radio is busy!!", "Radio not ready!!"}));
    EXPECT_FALSE(config.state.TransferDone);
    EXPECT_EQ(radio.CountOf("#QKPRD"), 0);
}

TEST_F(TransferTest, WrongModelCodeKeepsTheDialogOpenAndASecondOkConnectsAgain) {
    sim::SetModelCode(radio.memory, 0x0961);
    auto t = Make(kModeRead);
    EXPECT_FALSE(t->RunOk());
    EXPECT_EQ(prompt.Texts(), std::vector<std::string>{"ModelType Error !!"});
    EXPECT_EQ(radio.CountOf("#QKPRD"), 2);
    sim::SetModelCode(radio.memory, 0x08FD);
    radio.ClearRecord();
    EXPECT_TRUE(t->RunOk());
    EXPECT_EQ(radio.Opens().front(), "19200,N,8,1");
    EXPECT_TRUE(config.state.TransferDone);
}

TEST_F(TransferTest, ModelCodeMustAlsoMatchAtTheLastAddresses) {
    radio.memory[32766] = 0x09;
    auto t = Make(kModeProgram);
    t->link().Connect();
    t->ProgramRadio();
    EXPECT_EQ(prompt.Texts(), std::vector<std::string>{"ModelType Error !!"});
    EXPECT_EQ(radio.CountOf("#QKPWR"), 0);
}

TEST_F(TransferTest, WrongProductCodeShowsTheDetailFirstInDebugMode) {
    sim::SetProductCode(radio.memory, "KT5X2W");
    config.state.DebugSwitch = true;
    auto t = Make(kModeRead);
    EXPECT_FALSE(t->RunOk());
    ASSERT_EQ(prompt.messages.size(), 2u);
    EXPECT_EQ(prompt.messages[0].title, "Product Code Error!");
    EXPECT_EQ(prompt.messages[0].text, "address: 0x103 -> 0x58");
    EXPECT_EQ(prompt.messages[1].text, "ModelType Error !!");

    prompt.messages.clear();
    config.state.DebugSwitch = false;
    EXPECT_FALSE(t->RunOk());
    EXPECT_EQ(prompt.Texts(), std::vector<std::string>{"ModelType Error !!"});
}

TEST_F(TransferTest, RegionTakenOverOnYesDuringARead) {
    Randomise();
    radio.memory[271] = 3;
    prompt.answers = {Answer::Yes};
    auto t = Make(kModeRead);
    EXPECT_TRUE(t->RunOk());
    const MessageRequest& question = prompt.messages[0];
    EXPECT_EQ(question.text, "The region is unmatched.\r\nDo you want to change the region?");
    EXPECT_EQ(question.icon, Icon::Exclamation);
    EXPECT_EQ(question.buttons, Buttons::YesNo);
    EXPECT_EQ(question.defaultButton, Answer::No);
    EXPECT_EQ(config.image.bytes[271], 3);
    EXPECT_TRUE(config.state.RegionChangeAccepted);
}

TEST_F(TransferTest, RegionRefusedOnNoLeavesEverythingAsItWas) {
    radio.memory[271] = 3;
    const Image before = config.image;
    auto t = Make(kModeRead);
    EXPECT_FALSE(t->RunOk());  // No is the default answer
    EXPECT_TRUE(config.state.ErrorFlag);
    EXPECT_EQ(config.image.bytes, before.bytes);
    EXPECT_FALSE(config.state.RegionChangeAccepted);
}

TEST_F(TransferTest, RegionByteNamingNoRegionIsUnmatched) {
    radio.memory[271] = 0x40;
    auto t = Make(kModeRead);
    EXPECT_FALSE(t->RunOk());
    EXPECT_EQ(prompt.Texts(), std::vector<std::string>{"Region Unmatched !!"});
}

TEST_F(TransferTest, RegionIsNotCheckedByAClear) {
    radio.memory[271] = 3;
    auto t = Make(kModeClearGroup);
    EXPECT_TRUE(t->RunOk());
    EXPECT_EQ(prompt.Texts(), std::vector<std::string>{"Complete!!"});
}

// ---- Program ------------------------------------------------------------------------------

TEST_F(TransferTest, ProgramEncodesTheModelAndSetsTheChecksumFirst) {
    NewImage(config.image, config.model, 1);
    config.image.bytes[271] = 0;
    DecodeImage(config.image, config.model);
    config.model.Common.ResumeTime = 7;
    auto t = Make(kModeProgram);
    EXPECT_TRUE(t->RunOk());
    EXPECT_EQ(prompt.Texts(), std::vector<std::string>{"Complete!!"});
    EXPECT_EQ(config.image.bytes[95], ByteSum(config.image, 66, 29));
    DataModel back = config.model;
    DecodeImage(config.image, back);
    EXPECT_EQ(back.Common.ResumeTime, 7);
    EXPECT_GT(radio.CountOf("#QKPWR"), 200);
}

TEST_F(TransferTest, ConfigurationThatCannotBeEncodedNeverReachesTheRadio) {
    NewImage(config.image, config.model, 1);
    config.image.bytes[271] = 0;
    DecodeImage(config.image, config.model);
    config.model.Common.ResumeTime = 300;
    const Image before = config.image;
    auto t = Make(kModeProgram);
    EXPECT_TRUE(t->RunOk());
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_NE(prompt.messages[0].text.find("Resume Time"), std::string::npos);
    EXPECT_EQ(prompt.messages[0].icon, Icon::Critical);
    EXPECT_EQ(radio.CountOf("#QKPWR"), 0);
    EXPECT_EQ(radio.CountOf("#QKPSR"), 0);
    EXPECT_EQ(config.image.bytes, before.bytes);
    EXPECT_FALSE(config.state.TransferDone);
}

// ---- Run-time failures --------------------------------------------------------------------

/// A radio whose line driver fails unexpectedly on the Nth byte read.
class FaultyDriverRadio : public SimRadio {
public:
    using SimRadio::SimRadio;
    int ReadByte() override {
        if (++reads == failAt) {
            throw std::runtime_error("driver fault");
        }
        return SimRadio::ReadByte();
    }
    int reads = 0;
    int failAt = -1;
};

TEST_F(TransferTest, RunTimeFailureIsLoggedShownAndEndsTheOperationAsCancelled) {
    auto folder = std::filesystem::temp_directory_path() / "mrw_link_failure_test";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    config.services.programFolder = folder;
    config.state.DebugSwitch = true;

    FaultyDriverRadio faulty(&clock);
    faulty.memory = radio.memory;
    faulty.failAt = 5000;  // inside the bulk read
    const Image before = config.image;
    auto t = Make(kModeRead, &faulty);
    EXPECT_TRUE(t->RunOk());  // a handled failure closes the dialog
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_EQ(prompt.messages[0].text, "1005\r\rdriver fault");
    EXPECT_EQ(prompt.messages[0].title, "MRW");
    EXPECT_FALSE(config.state.ErrorFlag);
    EXPECT_TRUE(config.state.CancelFlag);
    EXPECT_FALSE(faulty.IsOpen());
    EXPECT_EQ(config.image.bytes, before.bytes);
    std::ifstream log(folder / "err.log");
    std::string all((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
    EXPECT_NE(all.find("frmRadio.ReadData -> 1005driver fault"), std::string::npos);
    std::filesystem::remove_all(folder);
}

// ---- After the dialog ---------------------------------------------------------------------

class RecordingShell : public Shell {
public:
    void RebuildViews() override { calls.push_back("RebuildViews"); }
    void ShowCategory(const std::string& key) override { calls.push_back("ShowCategory " + key); }
    void UpdateWindowCaption() override { calls.push_back("UpdateWindowCaption"); }
    void RegionMenuChanged() override { calls.push_back("RegionMenuChanged"); }
    std::vector<std::string> calls;
};

TEST_F(TransferTest, FinishedReadRefreshesTheWindowAndForgetsTheFileName) {
    RecordingShell shell;
    config.services.shell = &shell;
    config.state.TransferDone = true;
    config.state.CurrentFileName = "boat.dat";
    config.state.DataChanged = true;
    FinishReadDialog(config);
    EXPECT_EQ(shell.calls, (std::vector<std::string>{"ShowCategory General", "RebuildViews",
                                                     "UpdateWindowCaption"}));
    EXPECT_EQ(config.state.CurrentFileName, "");
    EXPECT_FALSE(config.state.DataChanged);
    EXPECT_FALSE(config.state.TransferDone);

    shell.calls.clear();
    config.state.CurrentFileName = "boat.dat";
    FinishReadDialog(config);  // nothing was read
    EXPECT_TRUE(shell.calls.empty());
    EXPECT_EQ(config.state.CurrentFileName, "boat.dat");
}

TEST_F(TransferTest, ReadThatTookOverTheRegionSwitchesTheRegionDisplay) {
    RecordingShell shell;
    config.services.shell = &shell;
    config.regionMenu.enabled = true;
    config.regionMenu.entries[0] = {"INTL", true, true};
    config.regionMenu.entries[1] = {"NL", true, false};
    radio.memory[271] = 3;  // NL
    prompt.answers = {Answer::Yes};
    auto t = Make(kModeRead);
    ASSERT_TRUE(t->RunOk());
    FinishReadDialog(config);
    EXPECT_FALSE(config.regionMenu.entries[0].checked);
    EXPECT_TRUE(config.regionMenu.entries[1].checked);
    EXPECT_EQ(shell.calls.back(), "RegionMenuChanged");
    EXPECT_FALSE(config.state.TransferDone);
}

}  // namespace
}  // namespace mrw::testing
