// A program that reads the radio first writes only the steps of the program map whose bytes
// differ from that read, verifies only those, and leaves the radio as writing every step does.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "image/checks.h"
#include "image/codec.h"
#include "link/safe_program.h"
#include "link_fixture.h"
#include "model/regions.h"

namespace mrw::testing {
namespace {

using Requests = std::vector<std::pair<int, int>>;  // address and count of each request

/// A new HV2300 configuration of region INTL with channel CHUSA1 "HARBOUR" and one directory
/// entry.
DataModel StartModel(Image& image) {
    DataModel model;
    NewImage(image, model, 1);
    image.bytes[271] = 0;
    RebuildWeatherTable(model);
    DecodeImage(image, model);
    model.CHUSA = {ChannelRecord{.Position = 16, .Enable = true, .ChTag = "HARBOUR"}};
    model.CHMMSID[0] = {true, "HARBOUR", "2320012340"};
    return model;
}

struct ProgramRun {
    sim::RadioMemory memory;
    Requests writes, verifyReads, identityReads;
    std::string lastText;
    std::vector<int> mismatches;
};

/// A program of `model` with a backup read into a radio holding `memory`; `full` writes every
/// step. A region question is answered Yes.
ProgramRun Program(const sim::RadioMemory& memory, const DataModel& model, bool full,
                   std::vector<sim::Fault> faults = {}) {
    VirtualClock clock;
    ScriptedPrompt prompt;
    prompt.answers = {Answer::Yes};
    Config config;
    config.services = {.clock = &clock, .prompt = &prompt};
    config.state.ModelType = 1;
    StartModel(config.image);
    config.model = model;
    SimRadio radio(&clock);
    radio.memory = memory;
    radio.options.faults = std::move(faults);
    const auto backup = std::filesystem::temp_directory_path() /
                        ("mrw_quick_program_" + std::to_string(getpid()) + ".hex");
    std::filesystem::remove(backup);
    SafeProgram guard(config, {.backup = true, .backupFile = backup, .full = full});
    TransferUi ui;
    Transfer transfer(config, radio, ui, kModeProgram);
    transfer.SetProgramGuard(&guard);
    transfer.RunOk();
    std::filesystem::remove(backup);
    ProgramRun run{radio.memory, {}, {}, {}, prompt.Texts().back(), guard.Mismatches()};
    for (const sim::RadioRequest& r : radio.Requests()) {
        const bool identity = r.word == "#QKPRD" && r.count == 5;
        if (identity) {
            run.identityReads.emplace_back(r.address, r.count);
        }
        if (r.word == "#QKPWR" || identity) {
            run.verifyReads.clear();  // the verify reads come after the writes
        } else if (r.word == "#QKPRD") {
            run.verifyReads.emplace_back(r.address, r.count);
        }
        if (r.word == "#QKPWR") {
            run.writes.emplace_back(r.address, r.count);
        }
    }
    EXPECT_FALSE(radio.IsOpen());
    return run;
}

Requests SingleBytes(int first, int last) {
    Requests writes;
    for (int a = first; a <= last; ++a) {
        writes.emplace_back(a, 1);
    }
    return writes;
}

Requests Concat(Requests a, const Requests& b, const Requests& c) {
    a.insert(a.end(), b.begin(), b.end());
    a.insert(a.end(), c.begin(), c.end());
    return a;
}

TEST(QuickProgramTest, WritesExactlyTheChangedStepsAndLeavesTheRadioAsAFullProgram) {
    Image image;
    const DataModel start = StartModel(image);
    sim::RadioMemory programmed = Program(*sim::BlankMemory(1), start, true).memory;
    programmed[0x0300] = 0x42;  // the radio's own DSC TX log, which programming keeps
    programmed[645] = 0;        // no user MMSI entered yet
    struct Case {
        const char* name;
        int radioByte;  // a byte of the radio that differs from what programming sends; -1 none
        void (*edit)(DataModel&);
        Requests writes;
        int address;  // where the hand-known bytes `after` lie in the radio afterwards
        std::vector<uint8_t> after;
    };
    const std::vector<Case> cases = {
        {"identical", -1, nullptr, {}, 0x0300, {0x42}},
        {"a free CHRG slot", 0x1234, nullptr, {{0x1200, 64}}, 0x1234, {0xFF}},
        {"the last block", 0x4FFF, nullptr, {{0x4FC0, 64}}, 0x4FFF, {0xFF}},
        {"Resume Time 3 in the step 160..191", 184, nullptr, SingleBytes(160, 191), 184, {3}},
        {"region taken over: the step 271..319", 271, nullptr, SingleBytes(271, 319), 271, {0}},
        {"the radio's user MMSI, never written", 640, nullptr, {}, 640, {0xFE}},
        {"CHUSA1 renamed",
         -1,
         [](DataModel& m) { m.CHUSA[0].ChTag = "BRIDGE"; },
         {{0x1300, 64}},
         0x1300,
         {'B', 'R', 'I', 'D', 'G', 'E'}},
        {"a user MMSI new to the radio, then its count",
         -1,
         [](DataModel& m) { m.DscBasic.UserMmsi = "2320012340"; },
         Concat(SingleBytes(640, 644), SingleBytes(654, 687), {{645, 1}}),
         640,
         {0x23, 0x20, 0x01, 0x23, 0x40, 1}},
        {"directory entry cleared",
         -1,
         [](DataModel& m) { m.CHMMSID[0] = {}; },
         {{0x4700, 64}},
         0x4700,
         std::vector<uint8_t>(16, 0xFF)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        sim::RadioMemory radio = programmed;
        if (c.radioByte >= 0) {
            radio[static_cast<size_t>(c.radioByte)] ^= 0x01;
        }
        DataModel model = start;
        if (c.edit != nullptr) {
            c.edit(model);
        }
        const ProgramRun quick = Program(radio, model, false);
        const ProgramRun full = Program(radio, model, true);
        EXPECT_EQ(quick.writes, c.writes);
        // Verify reads back what was written, in one request.
        Requests verifyReads;
        if (!c.writes.empty()) {
            int first = c.writes.front().first;
            int last = first;
            for (auto [address, count] : c.writes) {
                first = std::min(first, address);
                last = std::max(last, address + count - 1);
            }
            verifyReads = {{first, last - first + 1}};
        }
        EXPECT_EQ(quick.verifyReads, verifyReads);
        EXPECT_EQ(quick.memory, full.memory);
        EXPECT_GT(full.writes.size(), 300u);
        EXPECT_EQ(std::vector<uint8_t>(quick.memory.begin() + c.address,
                                       quick.memory.begin() + c.address + c.after.size()),
                  c.after);
        EXPECT_EQ(quick.memory[0x0300], 0x42);
        // The session runs as when every step is written, to the write pass's reads of the
        // user MMSI and ATIS code and the "Complete!!".
        EXPECT_EQ(quick.identityReads, (Requests{{640, 5}, {646, 5}}));
        EXPECT_EQ(quick.lastText.rfind("Complete!!", 0), 0u);
    }
}

TEST(QuickProgramTest, DroppedWriteIsCaughtByTheVerify) {
    Image image;
    const DataModel model = StartModel(image);
    sim::RadioMemory radio = Program(*sim::BlankMemory(1), model, true).memory;
    radio[0x1234] ^= 0xFF;
    const ProgramRun run = Program(
        radio, model, false, {{.kind = sim::FaultKind::DropWrite, .count = 1, .address = 0x1234}});
    EXPECT_EQ(run.writes, (Requests{{0x1200, 64}}));
    EXPECT_EQ(run.verifyReads, (Requests{{0x1200, 64}}));
    EXPECT_EQ(run.mismatches, std::vector<int>{0x1234});
    EXPECT_EQ(run.lastText.rfind("Verify failed: the radio holds different data at 1 address "
                                 "(first at 0x1234). Program it again.",
                                 0),
              0u);
}

TEST(QuickProgramTest, AnAddressTheReadDidNotReachCountsAsChanged) {
    Image radio;
    const Image image = radio;
    EXPECT_FALSE(ProgramStepChanges(radio, image, 0x1200, false, false));
    radio.ImageLastAddress = 0x1220;
    EXPECT_TRUE(ProgramStepChanges(radio, image, 0x1200, false, false));
    EXPECT_FALSE(ProgramStepChanges(radio, image, 0x11C0, false, false));
    EXPECT_FALSE(ProgramStepChanges(radio, image, 0x4600, false, false));  // a step writing nothing
}

}  // namespace
}  // namespace mrw::testing
