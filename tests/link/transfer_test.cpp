// The transfer operations as the dialog runs them: the shared frame, the checks, the read with
// cancel and failures, programming through the encoder, run-time failures and the main
// window's follow-up of a read.
#include "link/transfer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <stdexcept>

#include "core/filled_model.h"
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
        return std::make_unique<Transfer>(config, port ? *port : radio, ui, mode);
    }
};

// ---- Read ---------------------------------------------------------------------------------

TEST_F(TransferTest, ReadCompletesDecodesReportsProgressAndClosesTheDialog) {
    Randomise();
    auto t = Make(kModeRead);
    EXPECT_TRUE(t->RunOk());
    EXPECT_TRUE(config.state.TransferDone);
    EXPECT_FALSE(config.state.Loading);
    EXPECT_EQ(prompt.Texts(), std::vector<std::string>{"Complete!!"});
    EXPECT_EQ(prompt.messages[0].title, "Read from Radio");
    DataModel expected = config.model;
    DecodeImage(config.image, expected);
    EXPECT_EQ(config.model, expected);
    EXPECT_FALSE(radio.IsOpen());
    EXPECT_EQ(ui.runningStates.front(), true);
    EXPECT_EQ(ui.runningStates.back(), false);
    EXPECT_EQ(*std::max_element(ui.progress.begin(), ui.progress.end()), 100);
    EXPECT_EQ(ui.progress.back(), 0);  // the dialog resets the bar when the run ends
    t->SetProgress(150);
    EXPECT_EQ(ui.progress.back(), 100);

    // A read leaves nothing of the previous configuration.
    radio.memory[730] = 2;  // SELECTCALL 2: no LASTADDRESS byte
    testing::FillWithNonDefaults(config.model);
    prompt.messages.clear();
    ASSERT_TRUE(t->RunOk());
    const DataModel read = config.model;
    // The fields without image bytes take their defaults.
    EXPECT_EQ(read.Common.TxPowerMode, 0);
    EXPECT_EQ(read.AutoPos.Records[0], AutoPosRecord{});
    EXPECT_EQ(read.AutoPos.Records[1].LastAddress, 0);
    EXPECT_EQ(read.Groups[3].ExpChGroup, (std::array<bool, 3>{}));
    EXPECT_EQ(read.CHWX.at(3).Position, 4);

    // The same radio read into an empty model gives the same configuration.
    config.model = DataModel{};
    prompt.messages.clear();
    ASSERT_TRUE(t->RunOk());
    EXPECT_EQ(config.model, read);
}

TEST_F(TransferTest, DebugNotesFollowTheRunInOrder) {
    config.state.DebugSwitch = true;
    auto t = Make(kModeRead);
    t->Load();
    ASSERT_TRUE(t->RunOk());
    std::vector<std::string> expected;
    for (const Case& c : ReadCases(TestData("link/debug_notes.txt"))) {
        expected.push_back(c[0]);
    }
    expected.push_back("");
    EXPECT_EQ(ui.notes, expected);
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
    EXPECT_TRUE(prompt.messages.empty());
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

TEST_F(TransferTest, LineFaultsDuringAReadEndInOneCommunicationErrorWithNothingChanged) {
    const std::map<std::string, FaultKind> kinds = {{"no answer", FaultKind::NoAnswer},
                                                    {"cable pulled", FaultKind::CablePulled},
                                                    {"garbage", FaultKind::Garbage},
                                                    {"cut short", FaultKind::CutShort},
                                                    {"half sync", FaultKind::HalfSync}};
    for (const Case& c : ReadCases(TestData("link/line_faults.txt"))) {
        SCOPED_TRACE(c.where);
        Randomise();
        SimRadio line(&clock);
        line.memory = radio.memory;
        line.options.faults = {Fault{kinds.at(c[0]), std::stoi(c[1]), std::stoi(c[2])}};
        prompt.messages.clear();
        const Image before = config.image;
        const DataModel modelBefore = config.model;
        auto t = Make(kModeRead, &line);
        const double start = clock.Seconds();
        EXPECT_FALSE(t->RunOk());  // stays open for another try
        EXPECT_LT(clock.Seconds() - start, std::stod(c[3]));
        EXPECT_EQ(prompt.Texts().back(), "Communication Error!!");
        EXPECT_LE(prompt.messages.size(), std::stoul(c[4]));
        EXPECT_TRUE(config.state.ErrorFlag);
        EXPECT_EQ(config.image.bytes, before.bytes);
        EXPECT_EQ(config.model, modelBefore);
        EXPECT_FALSE(line.IsOpen());
    }
}

// ---- Frame and checks ---------------------------------------------------------------------

TEST_F(TransferTest, RefusedChecksShowTheirBoxesAndLeaveTheImageAlone) {
    for (const Case& row : ReadCases(TestData("link/refused_checks.txt"))) {
        SCOPED_TRACE(row.where);
        SimRadio line(&clock);
        line.memory = radio.memory;
        const std::string& setUp = row[1];
        if (setUp == "silent") {
            line.options.silentAfter = std::stoi(row[2]);
        } else if (setUp == "busy") {
            line.options.busyStatusCount = std::stoi(row[2]);
        } else if (setUp == "model") {
            sim::SetModelCode(line.memory, static_cast<uint16_t>(std::stoi(row[2], nullptr, 16)));
        } else if (setUp == "product") {
            sim::SetProductCode(line.memory, row[2]);
        } else {
            line.memory[271] = static_cast<uint8_t>(std::stoi(row[2], nullptr, 16));
        }
        const struct {
            int mode;
            bool closes;
            std::vector<std::string> boxes;
        } c{std::stoi(row[3]), row[4] == "1", {row.fields.begin() + 5, row.fields.end()}};
        prompt.messages.clear();
        const Image before = config.image;
        auto t = Make(c.mode, &line);
        EXPECT_EQ(t->RunOk(), c.closes);
        EXPECT_EQ(prompt.Texts(), c.boxes);
        EXPECT_FALSE(config.state.Loading);
        EXPECT_FALSE(config.state.RegionChangeAccepted);
        if (c.mode == kModeRead) {
            EXPECT_FALSE(config.state.TransferDone);
            EXPECT_EQ(config.image.bytes, before.bytes);
        }
    }
    // The dialog stays open: a second OK on a radio that passes the checks reads it.
    auto t = Make(kModeRead);
    EXPECT_TRUE(t->RunOk());
    EXPECT_TRUE(config.state.TransferDone);
}

TEST_F(TransferTest, ModelCodeMustAlsoMatchAtTheLastAddresses) {
    radio.memory[32766] = 0x09;
    auto t = Make(kModeProgram);
    t->link().Connect();
    t->ProgramRadio();
    EXPECT_EQ(prompt.Texts(), std::vector<std::string>{"ModelType Error !!"});
    EXPECT_EQ(radio.CountOf("#QKPWR"), 0);

    // A wrong product code shows the detail first in debug mode.
    radio.memory[32766] = 0x08;
    sim::SetProductCode(radio.memory, "KT5X2W");
    prompt.messages.clear();
    config.state.DebugSwitch = true;
    t = Make(kModeRead);
    EXPECT_FALSE(t->RunOk());
    ASSERT_EQ(prompt.messages.size(), 2u);
    EXPECT_EQ(prompt.messages[0].title, "Product Code Error!");
    EXPECT_EQ(prompt.messages[0].text, "address: 0x103 -> 0x58");
}

// ---- Program ------------------------------------------------------------------------------

TEST_F(TransferTest, ProgramEncodesTheModelFirstAndRefusesOneThatCannotBeEncoded) {
    NewImage(config.image, config.model, 1);
    config.image.bytes[271] = 0;
    DecodeImage(config.image, config.model);
    config.model.Common.ResumeTime = 300;
    const Image before = config.image;
    auto t = Make(kModeProgram);
    EXPECT_TRUE(t->RunOk());
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_NE(prompt.messages[0].text.find("Resume Time"), std::string::npos);
    EXPECT_EQ(radio.CountOf("#QKPWR") + radio.CountOf("#QKPSR"), 0);  // never reaches the radio
    EXPECT_EQ(config.image.bytes, before.bytes);
    EXPECT_FALSE(config.state.TransferDone);

    prompt.messages.clear();
    config.model.Common.ResumeTime = 7;
    EXPECT_TRUE(t->RunOk());
    EXPECT_EQ(prompt.Texts(), std::vector<std::string>{"Complete!!"});
    EXPECT_EQ(config.image.bytes[95], ByteSum(config.image, 66, 29));
    DataModel back = config.model;
    DecodeImage(config.image, back);
    EXPECT_EQ(back.Common.ResumeTime, 7);
    EXPECT_GT(radio.CountOf("#QKPWR"), 200);
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
    const auto folder = std::filesystem::temp_directory_path() / "mrw_link_failure_test";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    config.services.programFolder = folder;
    config.state.DebugSwitch = true;  // the error log lands in the program folder
    FaultyDriverRadio faulty(&clock);
    faulty.memory = radio.memory;
    faulty.failAt = 5000;  // inside the bulk read
    const Image before = config.image;
    auto t = Make(kModeRead, &faulty);
    EXPECT_TRUE(t->RunOk());  // a handled failure closes the dialog
    EXPECT_EQ(prompt.Texts(), std::vector<std::string>{"1005\r\rdriver fault"});
    EXPECT_FALSE(config.state.ErrorFlag);
    EXPECT_TRUE(config.state.CancelFlag);
    EXPECT_FALSE(faulty.IsOpen());
    EXPECT_EQ(config.image.bytes, before.bytes);
    EXPECT_NE(ReadFile(folder / "err.log").find("frmRadio.ReadData -> 1005driver fault"),
              std::string::npos);
    std::filesystem::remove_all(folder);
}

// ---- After the dialog ---------------------------------------------------------------------

class RecordingShell : public Shell {
public:
    void RegionMenuChanged() override { calls.push_back("RegionMenuChanged"); }
    std::vector<std::string> calls;
};

TEST_F(TransferTest, CompletedReadForgetsTheFileNameAndTheEditsAndCountsAsUnchanged) {
    config.state.TransferDone = true;
    config.state.CurrentFileName = "boat.dat";
    config.state.DataChanged = true;
    config.history.Record(DataModel{}, config.model, "SOG", "Common");
    EXPECT_TRUE(AdoptReadConfiguration(config));
    EXPECT_EQ(config.state.CurrentFileName, "");
    EXPECT_FALSE(config.state.DataChanged);
    EXPECT_FALSE(config.state.TransferDone);
    EXPECT_FALSE(config.history.CanUndo());

    config.state.CurrentFileName = "boat.dat";
    config.state.DataChanged = true;
    EXPECT_FALSE(AdoptReadConfiguration(config));  // nothing was read
    EXPECT_EQ(config.state.CurrentFileName, "boat.dat");
    EXPECT_TRUE(config.state.DataChanged);

    // A region taken over on Yes during a read switches the region display.
    RecordingShell shell;
    config.services.shell = &shell;
    config.regionMenu.enabled = true;
    config.regionMenu.entries[0] = {"INTL", true, true};
    config.regionMenu.entries[1] = {"NL", true, false};
    radio.memory[271] = 3;  // NL
    prompt.answers = {Answer::Yes};
    auto t = Make(kModeRead);
    ASSERT_TRUE(t->RunOk());
    const MessageRequest& question = prompt.messages[0];
    EXPECT_EQ(question.text,
              "The region is unmatched.\r\nDo you want to change the region?\r\n"
              "Radio: NL \u2014 MRW: INTL");
    EXPECT_EQ(question.defaultButton, Answer::No);
    EXPECT_EQ(config.image.bytes[271], 3);
    EXPECT_TRUE(config.state.RegionChangeAccepted);
    AdoptReadConfiguration(config);
    EXPECT_FALSE(config.regionMenu.entries[0].checked);
    EXPECT_TRUE(config.regionMenu.entries[1].checked);
    EXPECT_EQ(shell.calls.back(), "RegionMenuChanged");
    EXPECT_FALSE(config.state.TransferDone);
}

}  // namespace
}  // namespace mrw::testing
