// Which radio bytes each operation reads and writes, checked by comparing the simulated
// radio's memory before and after. The expected ranges are written out here as the radio's
// memory map gives them, independently of the tables the operations walk.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <stdexcept>

#include "link/transfer.h"
#include "link_fixture.h"

namespace mrw::testing {
namespace {

using sim::Fault;
using sim::FaultKind;

class TransferMapTest : public LinkTest {
protected:
    void SetUp() override { Randomise(); }

    /// Connects and runs the mode's operation without encoding the model first, so that the
    /// image bytes reach the radio exactly as the test set them.
    void Run(int mode) {
        transfer = std::make_unique<Transfer>(config, radio, ui, mode);
        ASSERT_TRUE(transfer->link().Connect());
        radioBefore = radio.memory;
        imageBefore = config.image;
        if (mode == kModeRead) {
            transfer->ReadRadio();
        } else if (mode == kModeProgram) {
            transfer->ProgramRadio();
        } else {
            transfer->ClearRadio();
        }
    }

    /// Every radio byte: `written(a)` bytes equal `source[a]`, all others are unchanged.
    void ExpectRadio(const std::function<bool(int)>& written, const Image& source) {
        int wrong = 0;
        for (int a = 0; a < kImageSize && wrong < 5; ++a) {
            const auto i = static_cast<size_t>(a);
            const uint8_t expected = written(a) ? source.bytes[i] : radioBefore[i];
            if (radio.memory[i] != expected) {
                ADD_FAILURE() << "radio byte " << a << " is " << int(radio.memory[i])
                              << ", expected " << int(expected);
                ++wrong;
            }
        }
    }

    std::unique_ptr<Transfer> transfer;
    sim::RadioMemory radioBefore{};
    Image imageBefore;
};

// ---- Program map --------------------------------------------------------------------------

/// A stretch list of link/maps.txt.
std::vector<Span> Map(const std::string& name) {
    for (const Case& c : ReadCases(TestData("link/maps.txt"))) {
        if (c[0] == name) {
            return Spans(c[1]);
        }
    }
    throw std::runtime_error("no map " + name);
}

TEST_F(TransferMapTest, ProgrammingWritesExactlyTheProgramMapProtectedAreasByteByByte) {
    // The radio already holds a user MMSI and an ATIS code: both stay.
    Run(kModeProgram);
    EXPECT_EQ(prompt.Texts(), std::vector<std::string>{"Complete!!"});
    const std::vector<Span> program = Map("program");
    ExpectRadio([&](int a) { return InSpans(a, program); }, config.image);
}

TEST_F(TransferMapTest, MmsiAndAtisAreWrittenOnlyWhenNewAndTheirCountsGoUpByOne) {
    // An erased radio gets the image's codes, its counts go up, and a full count stays full.
    radio.memory.fill(0xFF);
    sim::SetModelCode(radio.memory, 0x08FD);
    sim::SetProductCode(radio.memory, "KT562W");
    radio.memory[271] = 0;
    radio.memory[645] = 4;
    radio.memory[651] = 255;
    config.image.Fill(640, 5, 0x12);
    config.image.Fill(646, 5, 0x34);
    Run(kModeProgram);
    EXPECT_EQ(prompt.Texts(), std::vector<std::string>{"Complete!!"});
    EXPECT_EQ(radio.memory[645], 5);
    EXPECT_EQ(radio.memory[651], 255);
    EXPECT_EQ(config.image.bytes[645], 5);
    const std::vector<Span> withNew = Map("program, new MMSI and ATIS");
    ExpectRadio([&](int a) { return InSpans(a, withNew); }, config.image);

    // An image without MMSI leaves the erased radio MMSI and its count alone.
    std::fill(radio.memory.begin() + 640, radio.memory.begin() + 645, 0xFF);
    radio.memory[645] = 9;
    config.image.Fill(640, 5, 0xFF);
    Run(kModeProgram);
    EXPECT_EQ(radio.memory[645], 9);
    const std::vector<Span> program = Map("program");
    ExpectRadio([&](int a) { return InSpans(a, program); }, config.image);
}

TEST_F(TransferMapTest, CountThatCouldNotBeReadIsNeverWritten) {
    // The radio refuses the read of its MMSI count, and of the resynchronisation that
    // follows only the first pass gets through: the count at 645 must stay as it is.
    radio.memory.fill(0xFF);
    sim::SetModelCode(radio.memory, 0x08FD);
    sim::SetProductCode(radio.memory, "KT562W");
    radio.memory[271] = 0;
    radio.memory[645] = 4;
    config.image.Fill(640, 5, 0x12);
    config.image.Fill(646, 5, 0xFF);
    const sim::RadioMemory erasedRadio = radio.memory;
    const Image image = config.image;
    int countRead = 0;                         // which framed request of the run reads the count
    const int base = radio.FramedCount() + 1;  // Connect sends no framed request
    Run(kModeProgram);
    for (const sim::RadioRequest& r : radio.Requests()) {
        if (r.word == "#QKPRD" && r.address == 645) {
            countRead = r.framedNumber - base + 1;
        }
    }
    ASSERT_GT(countRead, 0);
    radio.memory = erasedRadio;
    config.image = image;
    prompt.messages.clear();
    radio.ClearRecord();
    radio.options.faults = {Fault{FaultKind::HalfSync, radio.FramedCount() + countRead, 3}};
    Run(kModeProgram);
    EXPECT_EQ(radio.memory[645], 4);
    EXPECT_EQ(radio.CountOf("#CMDSY"), 2 + 4);  // Connect's two, then the failed resync
    EXPECT_EQ(prompt.Texts(),
              (std::vector<std::string>{"confirm the synchronization of the communication",
                                        "Communication Error!!"}));
}

TEST_F(TransferMapTest, RegionAcceptedDuringProgrammingOverwritesTheRadiosRegion) {
    radio.memory[271] = 3;
    prompt.answers = {Answer::Yes};
    Run(kModeProgram);
    EXPECT_EQ(radio.memory[271], 0);
    EXPECT_FALSE(config.state.RegionChangeAccepted);  // only a read takes a region over
}

// ---- Read copy map ------------------------------------------------------------------------

TEST_F(TransferMapTest, ReadCopiesTheRadioOutsideTheProtectedRangesInBlocks) {
    Run(kModeRead);
    ASSERT_TRUE(config.state.TransferDone);
    EXPECT_EQ(radio.memory, radioBefore);  // a read writes nothing
    const std::vector<Span> read = Map("read");
    for (int a = 0; a < kImageSize; ++a) {
        const auto i = static_cast<size_t>(a);
        const uint8_t expected = InSpans(a, read) ? radioBefore[i] : imageBefore.bytes[i];
        ASSERT_EQ(config.image.bytes[i], expected) << a;
    }

    // An image ending at 8191 reads 128 blocks and keeps everything above.
    config.image.ImageLastAddress = 8191;
    SetImageIdentity();
    radio.memory[8190] = 0x08;
    radio.memory[8191] = 0xFD;
    radio.ClearRecord();
    Run(kModeRead);
    ASSERT_TRUE(config.state.TransferDone);
    EXPECT_TRUE(std::equal(config.image.bytes.begin() + 8192, config.image.bytes.end(),
                           imageBefore.bytes.begin() + 8192));
}

// ---- Clear map ----------------------------------------------------------------------------

TEST_F(TransferMapTest, EachRangeClearFillsTheImageAndWritesItsRanges) {
    for (const Case& c : ReadCases(TestData("link/clear_ranges.txt"))) {
        SCOPED_TRACE(c.where);
        const int mode = std::stoi(c[0]);
        Randomise(static_cast<uint32_t>(100 + mode));
        radio.memory[32746] = 6;  // the clear counts
        radio.memory[32747] = 255;
        prompt.messages.clear();
        ui.clearedModes.clear();
        radio.ClearRecord();
        Image expectedImage = config.image;
        for (const Span& f : Spans(c[1])) {
            expectedImage.Fill(f.first, f.last - f.first + 1, static_cast<uint8_t>(f.value));
        }
        Run(mode);
        EXPECT_EQ(prompt.Texts(), std::vector<std::string>{"Complete!!"});
        EXPECT_EQ(config.image.bytes, expectedImage.bytes);
        const std::vector<Span> written = Spans(c[2]);
        ExpectRadio([&](int a) { return InSpans(a, written); }, expectedImage);
        const bool identity = mode == kModeClearMmsi || mode == kModeClearAtis;
        EXPECT_EQ(ui.clearedModes, identity ? std::vector<int>{mode} : std::vector<int>{});
    }
}

TEST_F(TransferMapTest, AClearThatStopsAfterItsFirstWriteSaysHowMuchReachedTheRadio) {
    const std::string comm = "Communication Error!!";
    for (const Case& c : ReadCases(TestData("link/clear_stops.txt"))) {
        SCOPED_TRACE(c.where);
        const int mode = std::stoi(c[1]);
        const int cancelAtWrite = std::stoi(c[2]);
        const bool atPercent = c[2].ends_with('%');
        const int noAnswerAt = std::stoi(c[3]);
        const std::vector<std::string> texts(c.fields.begin() + 4, c.fields.end());
        // The image holds what the radio holds: what reached the radio stays cleared in the
        // image too, the rest comes back, so that both still agree.
        Randomise();
        std::copy(radio.memory.begin(), radio.memory.end(), config.image.bytes.begin());
        prompt.messages.clear();
        radio.ClearRecord();
        radio.options.faults.clear();
        config.state.CancelFlag = false;
        if (noAnswerAt > 0) {
            radio.options.faults = {
                Fault{FaultKind::NoAnswer, radio.FramedCount() + noAnswerAt, 3}};
        }
        const int writesBefore = radio.CountOf("#QKPWR");
        clock.onPump = [&] {
            const int writes = radio.CountOf("#QKPWR") - writesBefore;
            const bool working = !ui.progress.empty();
            if (cancelAtWrite >= 0 && working &&
                (atPercent ? ui.progress.back() >= cancelAtWrite : writes >= cancelAtWrite)) {
                config.state.CancelFlag = true;
            }
        };
        ui.progress.clear();
        Run(mode);
        clock.onPump = nullptr;
        EXPECT_EQ(prompt.Texts(), texts);
        EXPECT_FALSE(config.state.TransferDone);
        EXPECT_TRUE(
            std::equal(radio.memory.begin(), radio.memory.end(), config.image.bytes.begin()));
        const bool partly = !texts.empty() && texts.back() != comm;
        EXPECT_EQ(transfer->PartialClear(), partly ? texts.back() : std::string());
        if (partly) {
            EXPECT_EQ(prompt.messages.back().title, TransferCaption(mode));
            EXPECT_EQ(prompt.messages.back().icon, Icon::Exclamation);
        }
    }
}

}  // namespace
}  // namespace mrw::testing
