// Which radio bytes each operation reads and writes, checked by comparing the simulated
// radio's memory before and after. The expected ranges are written out here as the radio's
// memory map gives them, independently of the tables the operations walk.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "link/transfer.h"
#include "link_fixture.h"

namespace mrw::testing {
namespace {

using sim::Fault;
using sim::FaultKind;

bool In(int a, int first, int last) {
    return a >= first && a <= last;
}

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

    /// How many `word` requests of `count` bytes the radio received.
    int Requests(const std::string& word, int count) const {
        const auto& all = radio.Requests();
        return static_cast<int>(std::count_if(
            all.begin(), all.end(),
            [&](const sim::RadioRequest& r) { return r.word == word && r.count == count; }));
    }

    std::unique_ptr<Transfer> transfer;
    sim::RadioMemory radioBefore{};
    Image imageBefore;
};

// ---- Program map --------------------------------------------------------------------------

bool ProgramWrites(int a, bool newMmsi, bool newAtis) {
    return In(a, 160, 191) || In(a, 271, 319) || (newMmsi && In(a, 640, 644)) ||
           (newAtis && In(a, 646, 650)) || In(a, 654, 687) || In(a, 704, 735) || In(a, 768, 1791) ||
           In(a, 2048, 17919) || In(a, 18176, 20735);
}

TEST_F(TransferMapTest, ProgrammingWritesExactlyTheProgramMapProtectedAreasByteByByte) {
    // The radio already holds a user MMSI and an ATIS code: both stay.
    Run(kModeProgram);
    EXPECT_EQ(prompt.Texts(), std::vector<std::string>{"Complete!!"});
    ExpectRadio([](int a) { return ProgramWrites(a, false, false); }, config.image);
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
    ExpectRadio([](int a) { return ProgramWrites(a, true, true) || a == 645 || a == 651; },
                config.image);

    // An image without MMSI leaves the erased radio MMSI and its count alone.
    std::fill(radio.memory.begin() + 640, radio.memory.begin() + 645, 0xFF);
    radio.memory[645] = 9;
    config.image.Fill(640, 5, 0xFF);
    Run(kModeProgram);
    EXPECT_EQ(radio.memory[645], 9);
    ExpectRadio([](int a) { return ProgramWrites(a, false, false); }, config.image);
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

bool ReadCopies(int a, int last) {
    return In(a, 128, last) && !In(a, 130, 160) && !In(a, 384, 639) && !In(a, 678, 703) &&
           !In(a, 752, 767) && !In(a, 1792, 2047) && !In(a, 17920, 18175) && !In(a, 20736, 32765);
}

TEST_F(TransferMapTest, ReadCopiesTheRadioOutsideTheProtectedRangesInBlocks) {
    Run(kModeRead);
    ASSERT_TRUE(config.state.TransferDone);
    EXPECT_EQ(radio.memory, radioBefore);  // a read writes nothing
    for (int a = 0; a < kImageSize; ++a) {
        const auto i = static_cast<size_t>(a);
        const uint8_t expected = ReadCopies(a, 32767) ? radioBefore[i] : imageBefore.bytes[i];
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
        prompt.messages.clear();
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
    }
}

TEST_F(TransferMapTest, CancelledOrFailedRangeClearLeavesImageAndRadioAgreeing) {
    // The DSC log (26880..30975) is written from 82 % of the pass on; the steps before and
    // after it are skipped. Whatever reached the radio stays cleared in the image too, the
    // rest comes back.
    struct Case {
        int cancelAt;  // percent of the pass, or -1
        Fault fault;
        int writes;
        const char* box;
    };
    for (const Case& c :
         {Case{20, {}, 0, nullptr}, Case{88, {}, 0, nullptr}, Case{96, {}, 64, nullptr},
          Case{-1, {FaultKind::NoAnswer, 8, 3}, 6, "Communication Error!!"}}) {
        SCOPED_TRACE(c.cancelAt);
        Randomise(static_cast<uint32_t>(c.cancelAt + 50));
        std::copy(radio.memory.begin() + 26880, radio.memory.begin() + 30976,
                  config.image.bytes.begin() + 26880);
        prompt.messages.clear();
        radio.ClearRecord();
        radio.options.faults.clear();
        if (c.cancelAt < 0) {
            radio.options.faults = {
                Fault{c.fault.kind, radio.FramedCount() + c.fault.request, c.fault.count}};
        }
        clock.onPump = [&] {
            if (c.cancelAt >= 0 && !ui.progress.empty() && ui.progress.back() >= c.cancelAt) {
                config.state.CancelFlag = true;
            }
        };
        ui.progress.clear();
        Run(kModeClearDscLog);
        clock.onPump = nullptr;
        EXPECT_FALSE(config.state.TransferDone);
        const int writes = Requests("#QKPWR", 64);
        // After the first write a second box says how much reached the radio.
        std::vector<std::string> texts;
        if (c.box) {
            texts = {c.box,
                     "The radio was partly cleared: 4 of 64 blocks written. Run the clear "
                     "again."};  // requests 5 to 8
        } else if (writes == 64) {
            texts = {"The radio was cleared before the clear stopped: all 64 blocks were written."};
        } else if (writes > 0) {
            texts = {"The radio was partly cleared: " + std::to_string(writes) +
                     " of 64 blocks written. Run the clear again."};
        }
        EXPECT_EQ(prompt.Texts(), texts);
        if (c.cancelAt == 88) {
            EXPECT_GT(writes, 0);
            EXPECT_LT(writes, 64);
        } else {
            EXPECT_EQ(writes, c.writes);
        }
        ExpectRadio([](int a) { return In(a, 26880, 30975); }, config.image);
        EXPECT_TRUE(std::equal(config.image.bytes.begin(), config.image.bytes.begin() + 26880,
                               imageBefore.bytes.begin()));
    }
}

TEST_F(TransferMapTest, IdentityClearsEraseTheirCodeAndCountTheClear) {
    // MMSI: code 640..644 and a count at 32746 that goes up; ATIS: code 646..650, the group
    // flags 306, 322, 338 and a full count at 32747 that stays.
    for (int mode : {kModeClearMmsi, kModeClearAtis}) {
        SCOPED_TRACE(mode);
        const bool mmsi = mode == kModeClearMmsi;
        const int count = mmsi ? 32746 : 32747;
        radio.memory[static_cast<size_t>(count)] = mmsi ? 6 : 255;
        prompt.messages.clear();
        ui.clearedModes.clear();
        Run(mode);
        EXPECT_EQ(prompt.Texts(), std::vector<std::string>{"Complete!!"});
        Image expected = imageBefore;
        expected.Fill(mmsi ? 640 : 646, 5, 0xFF);
        for (int a : {306, 322, 338}) {
            expected.bytes[static_cast<size_t>(a)] = mmsi ? imageBefore.bytes[a] : 0;
        }
        expected.bytes[static_cast<size_t>(count)] = mmsi ? 7 : 255;
        EXPECT_EQ(config.image.bytes, expected.bytes);
        ExpectRadio(
            [&](int a) {
                return In(a, mmsi ? 640 : 646, mmsi ? 644 : 650) || a == count ||
                       (!mmsi && (a == 306 || a == 322 || a == 338));
            },
            expected);
        EXPECT_EQ(ui.clearedModes, std::vector<int>{mode});
    }
}

TEST_F(TransferMapTest, FailedMmsiClearTakesBackOnlyWhatDidNotReachTheRadio) {
    // Framed requests: status, model code (2), product, count read, then the MMSI writes
    // 640..644 and the count at 32746.
    struct Case {
        int failAt;
        int writes;  // bytes that reached the radio
    };
    for (const Case& c : {Case{5, 0}, Case{6, 1}, Case{11, 6}}) {
        SCOPED_TRACE(c.failAt);
        Randomise();
        radio.memory[32746] = 1;
        radio.ClearRecord();
        prompt.messages.clear();
        radio.options.faults = {Fault{FaultKind::NoAnswer, radio.FramedCount() + c.failAt, 3}};
        Run(kModeClearMmsi);
        EXPECT_EQ(prompt.Texts().front(), "Communication Error!!");
        EXPECT_EQ(prompt.Texts().size(), c.writes == 0 ? 1u : 2u);
        Image expected = imageBefore;
        const int addresses[] = {640, 641, 642, 643, 644, 32746};
        for (int i = 0; i < c.writes; ++i) {
            expected.bytes[static_cast<size_t>(addresses[i])] = i < 5 ? 0xFF : 2;
        }
        EXPECT_EQ(config.image.bytes, expected.bytes);
        EXPECT_EQ(radio.memory[32746], c.writes == 6 ? 2 : 1);
        EXPECT_EQ(radio.memory[640], c.writes > 0 ? 0xFF : radioBefore[640]);
        EXPECT_EQ(radio.memory[641],
                  radioBefore[641] == 0xFF || c.writes > 1 ? 0xFF : radioBefore[641]);
    }
}

TEST_F(TransferMapTest, AClearThatStopsAfterItsFirstWriteSaysHowMuchReachedTheRadio) {
    const std::string comm = "Communication Error!!";
    for (const Case& c : ReadCases(TestData("link/clear_stops.txt"))) {
        SCOPED_TRACE(c.where);
        const int mode = std::stoi(c[1]);
        const int cancelAtWrite = std::stoi(c[2]);
        const int noAnswerAt = std::stoi(c[3]);
        const std::vector<std::string> texts(c.fields.begin() + 4, c.fields.end());
        Randomise();
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
            if (cancelAtWrite >= 0 && working && writes >= cancelAtWrite) {
                config.state.CancelFlag = true;
            }
        };
        ui.progress.clear();
        Run(mode);
        clock.onPump = nullptr;
        EXPECT_EQ(prompt.Texts(), texts);
        EXPECT_FALSE(config.state.TransferDone);
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
