// A program that reads the radio first writes only the steps of the program map whose bytes
// differ from that read, verifies only those, and leaves the radio as writing every step does.
#include <gtest/gtest.h>

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

namespace fs = std::filesystem;
using Writes = std::vector<std::pair<int, int>>;  // address and count of each write request

/// A new HV2300 configuration of region INTL with one channel and one directory entry.
DataModel StartModel(Image& image) {
    DataModel model;
    NewImage(image, model, 1);
    image.bytes[271] = 0;
    RebuildWeatherTable(model);
    DecodeImage(image, model);
    ChannelRecord channel;
    channel.Position = 16;
    channel.Enable = true;
    channel.ChTag = "HARBOUR";
    model.CHUSA = {channel};
    model.CHMMSID[0] = {true, "HARBOUR", "2320012340"};
    return model;
}

/// One guarded program of `model` into a radio holding `memory`: the radio's memory afterwards
/// and the write requests it received. `full` writes every step; `verify` reads them back.
struct ProgramRun {
    sim::RadioMemory memory{};
    Writes writes;
    std::vector<sim::RadioRequest> requests;
    std::vector<std::string> texts;
    std::vector<int> mismatches;
    bool closed = false;
};

ProgramRun Program(const sim::RadioMemory& memory, const DataModel& model, bool full,
                   bool guarded = true, std::vector<sim::Fault> faults = {}) {
    VirtualClock clock;
    ScriptedPrompt prompt;
    prompt.answers = {Answer::Yes};  // take the radio over to the file's region when asked
    Config config;
    config.services.clock = &clock;
    config.services.prompt = &prompt;
    config.state.ModelType = 1;
    config.state.ModelName = "HV2300";
    StartModel(config.image);
    config.model = model;
    SimRadio radio(&clock);
    radio.memory = memory;
    radio.options.faults = std::move(faults);
    const fs::path backup = fs::temp_directory_path() / "mrw_quick_program_backup.hex";
    fs::remove(backup);
    SafeProgramOptions options;
    options.backup = guarded;
    options.backupFile = backup;
    options.full = full;
    SafeProgram guard(config, options);
    TransferUi ui;
    Transfer transfer(config, radio, ui, kModeProgram);
    transfer.SetProgramGuard(&guard);
    transfer.RunOk();
    fs::remove(backup);
    ProgramRun run{radio.memory,   {}, radio.Requests(), prompt.Texts(), guard.Mismatches(),
                   !radio.IsOpen()};
    for (const sim::RadioRequest& r : run.requests) {
        if (r.word == "#QKPWR") {
            run.writes.emplace_back(r.address, r.count);
        }
    }
    return run;
}

/// What a full program of the start configuration leaves in a blank radio.
sim::RadioMemory ProgrammedRadio() {
    Image image;
    const DataModel model = StartModel(image);
    ProgramRun run = Program(*sim::BlankMemory(1), model, true, false);
    run.memory[0x0300] = 0x42;  // the radio's own DSC TX log, which programming keeps
    return run.memory;
}

/// Reads of the verify pass: the read requests after the write pass's read of the ATIS code
/// and after the last write.
Writes VerifyReads(const ProgramRun& run) {
    Writes reads;
    for (const sim::RadioRequest& r : run.requests) {
        if (r.word == "#QKPWR" || (r.word == "#QKPRD" && r.address == 646 && r.count == 5)) {
            reads.clear();
        } else if (r.word == "#QKPRD") {
            reads.emplace_back(r.address, r.count);
        }
    }
    return reads;
}

Writes SingleBytes(int first, int last) {
    Writes writes;
    for (int a = first; a <= last; ++a) {
        writes.emplace_back(a, 1);
    }
    return writes;
}

TEST(QuickProgramTest, WritesExactlyTheStepsThatHoldAChangedByte) {
    Image image;
    const DataModel model = StartModel(image);
    const sim::RadioMemory programmed = ProgrammedRadio();
    struct Case {
        const char* name;
        int changed;  // the radio's byte that differs from the file; -1 none
        Writes writes;
        Writes verifyReads;
        bool keptByTheRadio = false;  // the changed byte is one programming never writes
    };
    const std::vector<Case> cases = {
        {"identical", -1, {}, {}},
        {"a byte of a 64-byte block", 0x1234, {{0x1200, 0x40}}, {{0x1200, 0x40}}},
        {"the last block", 0x4FFF, {{0x4FC0, 0x40}}, {{0x4FC0, 0x40}}},
        {"a byte of the single-byte step 160..191", 170, SingleBytes(160, 191), {{160, 32}}},
        {"the region (taken over): the step 271..319", 271, SingleBytes(271, 319), {{271, 49}}},
        {"the radio's own user MMSI, which programming keeps", 640, {}, {}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        sim::RadioMemory start = programmed;
        if (c.changed >= 0) {
            start[static_cast<size_t>(c.changed)] ^= 0x01;
        }
        const ProgramRun run = Program(start, model, false);
        EXPECT_EQ(run.writes, c.writes);
        EXPECT_EQ(run.memory, c.keptByTheRadio ? start : programmed);
        EXPECT_EQ(VerifyReads(run), c.verifyReads);
        // The session runs as when every step is written: connection, status, checks, the
        // backup read, the write pass's reads of the user MMSI and ATIS code, the port closed.
        int connections = 0;
        Writes idReads;
        for (const sim::RadioRequest& r : run.requests) {
            connections += r.word == "ACMD:002" ? 1 : 0;
            if (r.word == "#QKPRD" && r.count == 5) {
                idReads.emplace_back(r.address, r.count);
            }
        }
        EXPECT_EQ(connections, 1);
        EXPECT_EQ(idReads, (Writes{{640, 5}, {646, 5}}));
        EXPECT_TRUE(run.closed);
        EXPECT_EQ(run.texts.back().rfind("Complete!!", 0), 0u);
    }
}

TEST(QuickProgramTest, AnAddressTheReadDidNotReachCountsAsChanged) {
    Image radio;
    StartModel(radio);
    const Image image = radio;
    EXPECT_FALSE(ProgramStepChanges(radio, image, 0x1200, false, false));
    radio.ImageLastAddress = 0x1220;
    EXPECT_TRUE(ProgramStepChanges(radio, image, 0x1200, false, false));
    EXPECT_FALSE(ProgramStepChanges(radio, image, 0x11C0, false, false));
    EXPECT_FALSE(ProgramStepChanges(radio, image, 0x4600, false, false));  // a step writing nothing
}

TEST(QuickProgramTest, DroppedWriteIsCaughtByTheVerify) {
    Image image;
    const DataModel model = StartModel(image);
    sim::RadioMemory start = ProgrammedRadio();
    start[0x1234] ^= 0xFF;
    const ProgramRun run =
        Program(start, model, false, true,
                {sim::Fault{.kind = sim::FaultKind::DropWrite, .count = 1, .address = 0x1234}});
    EXPECT_EQ(run.writes, (Writes{{0x1200, 0x40}}));
    EXPECT_EQ(VerifyReads(run), (Writes{{0x1200, 0x40}}));
    EXPECT_EQ(run.mismatches, std::vector<int>{0x1234});
    ASSERT_FALSE(run.texts.empty());
    EXPECT_EQ(run.texts.back().rfind(
                  "Verify failed: the radio holds different data at 1 address (first at 0x1234). "
                  "Program it again.",
                  0),
              0u);
}

TEST(QuickProgramTest, LeavesTheRadioAsAFullProgramDoes) {
    Image image;
    const DataModel startModel = StartModel(image);
    const sim::RadioMemory programmed = ProgrammedRadio();
    auto bytes = [](const sim::RadioMemory& m, int first, int count) {
        return std::vector<uint8_t>(m.begin() + first, m.begin() + first + count);
    };
    const std::vector<uint8_t> blankEntry(16, 0xFF);
    struct Case {
        const char* name;
        void (*edit)(DataModel&, sim::RadioMemory&);
        int address;  // where the edit shows in the radio
        std::vector<uint8_t> before;
        std::vector<uint8_t> after;
    };
    const std::vector<Case> cases = {
        {"one channel renamed",
         [](DataModel& m, sim::RadioMemory&) { m.CHUSA.at(0).ChTag = "BRIDGE"; },
         0x1300,  // CHUSA slot 0's tag
         {'H', 'A', 'R', 'B', 'O', 'U', 'R'},
         {'B', 'R', 'I', 'D', 'G', 'E'}},
        {"region taken over", [](DataModel&, sim::RadioMemory& r) { r[271] = 1; }, 271, {1}, {0}},
        {"directory cleared",
         [](DataModel& m, sim::RadioMemory&) { m.CHMMSID[0] = DirectoryRecord{}; },
         0x4700,
         {0x23, 0x20, 0x01, 0x23, 0x40, 'H', 'A', 'R', 'B', 'O', 'U', 'R'},
         blankEntry},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DataModel model = startModel;
        sim::RadioMemory start = programmed;
        c.edit(model, start);
        if (!c.before.empty()) {
            EXPECT_EQ(bytes(start, c.address, static_cast<int>(c.before.size())), c.before);
        }
        const ProgramRun quick = Program(start, model, false);
        const ProgramRun full = Program(start, model, true);
        EXPECT_EQ(quick.memory, full.memory);
        EXPECT_EQ(bytes(quick.memory, c.address, static_cast<int>(c.after.size())), c.after);
        EXPECT_EQ(quick.memory[0x0300], 0x42);
        EXPECT_EQ(quick.texts.back().rfind("Complete!!", 0), 0u);
        EXPECT_LT(quick.writes.size(), 60u);
        EXPECT_GT(full.writes.size(), 300u);
    }
}

}  // namespace
}  // namespace mrw::testing
