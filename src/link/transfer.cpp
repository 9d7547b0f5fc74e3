#include "link/transfer.h"

#include <algorithm>
#include <array>
#include <memory>
#include <new>
#include <stdexcept>

#include "core/log.h"
#include "core/text.h"
#include "image/checks.h"
#include "image/codec.h"
#include "link/transfer_map.h"
#include "model/catalogue.h"
#include "model/regions.h"

namespace mrw {

namespace tm = transfermap;

namespace {

// Why a model or product code check stopped the run: the radio is another model type than
// the one chosen.
std::string OtherModelReason(int modelType) {
    return "The radio is not a " + ModelNameOf(modelType) +
           ": choose its model type under Edit > Model.";
}

constexpr std::array<const char*, 11> kCaptions = {
    "Read from Radio",       "Program to Radio",         "Clear MMSI Data",
    "Clear DSC Log Data",    "Clear Distress Log Data",  "Clear Individual Directory",
    "Clear Group Directory", "Clear WayPoint Directory", "Clear DSC TX Log Data",
    "Clear All Data",        "Clear ATIS Data",
};

/// Pause at the end of a successful pass.
constexpr int kPassEndPauseMs = 500;

int Percent(long part, long whole) {
    if (whole <= 0) {
        return 100;
    }
    return static_cast<int>(RoundHalfEven(static_cast<double>(part) * 100.0 / whole));
}

bool AllErased(const Image& image, const tm::AddressRange& range) {
    for (int a = range.first; a <= range.last; ++a) {
        if (image.Get(a) != 0xFF) {
            return false;
        }
    }
    return true;
}

/// Hexadecimal in upper case without leading zeros.
std::string HexText(uint32_t value) {
    std::string text = HexPad(value, 8);
    size_t nonZero = text.find_first_not_of('0');
    return nonZero == std::string::npos ? "0" : text.substr(nonZero);
}

}  // namespace

std::string PartialClearText(int mode, int sent, int confirmed, int total,
                             bool identityIncomplete) {
    const bool identity = mode == kModeClearMmsi || mode == kModeClearAtis;
    const std::string unit = identity ? " bytes" : " blocks";
    if (confirmed >= total) {
        // Stopped after its last write, in the steps that write nothing.
        return "The radio was cleared before the clear stopped: all " + std::to_string(total) +
               unit + " were written.";
    }
    if (sent >= total) {
        return "The radio may be only partly cleared: the last of its " + std::to_string(total) +
               unit + " was not confirmed. Run the clear again.";
    }
    std::string text = "The radio was partly cleared: " + std::to_string(sent) + " of " +
                       std::to_string(total) + unit + " written";
    if (identity && identityIncomplete) {
        text += mode == kModeClearMmsi ? "; the user MMSI in the radio is now incomplete"
                                       : "; the ATIS code in the radio is now incomplete";
    }
    return text + ". Run the clear again.";
}

std::string TransferCaption(int mode) {
    return mode >= 0 && mode < static_cast<int>(kCaptions.size())
               ? kCaptions[static_cast<size_t>(mode)]
               : std::string();
}

std::string TransferInstructions() {
    return "1.Connect the MRW cable between the PC serial port and the radio.\r\n"
           "2.On the radio, press and hold [DISTRESS] and [CALL] keys while\r\n"
           "   turning the power on.\r\n"
           "   The Radio display will show PC CONTROL.\r\n"
           "3.Press the [OK] button to start.";
}

int FailureNumber(const std::exception& failure) {
    if (dynamic_cast<const ImageRangeError*>(&failure) != nullptr) {
        return 1002;
    }
    if (dynamic_cast<const ByteOverflowError*>(&failure) != nullptr) {
        return 1003;
    }
    if (dynamic_cast<const std::bad_alloc*>(&failure) != nullptr) {
        return 1004;
    }
    return 1005;
}

void BeginTransfer(AppState& state, int mode) {
    state.TransferMode = static_cast<int16_t>(mode);
    state.TransferDone = false;
    if (mode == kModeRead) {
        state.RegionChangeAccepted = false;
    }
}

bool AdoptReadConfiguration(Config& config) {
    AppState& state = config.state;
    const bool done = state.TransferDone;
    if (done) {
        state.CurrentFileName.clear();
        if (state.RegionChangeAccepted) {
            ShowImageRegion(config);
        }
        MarkConfigurationLoaded(config);
    }
    state.TransferDone = false;
    return done;
}

Transfer::Transfer(Config& config, SerialPort& port, TransferUi& ui, int mode)
    : config_(config),
      ui_(ui),
      mode_(mode),
      caption_(TransferCaption(mode_)),
      link_(config, port, caption_, [&ui](const std::string& text) { ui.ShowNote(text); }) {}

// ---- Helpers ------------------------------------------------------------------------------

int Transfer::LastAddress() const {
    return std::clamp(config_.image.ImageLastAddress, 0, kImageSize - 1);
}

void Transfer::SetProgress(int percent) {
    ui_.SetProgress(std::clamp(percent, 0, 100));
}

void Transfer::CommunicationError() {
    // One box per run: a failed count read followed by the end of its pass reports once.
    if (!communicationErrorShown_) {
        communicationErrorShown_ = true;
        if (stopReason_.empty()) {
            stopReason_ =
                "The radio stopped answering. Check the cable and the radio, then press OK again.";
        }
        link_.ErrorBox("Communication Error!!");
    }
}

bool Transfer::Received(Outcome outcome) {
    if (outcome == Outcome::Failed) {
        CommunicationError();
    }
    return outcome == Outcome::Done;
}

Outcome Transfer::Mirror(Outcome outcome) {
    AppState& state = config_.state;
    if (outcome == Outcome::Failed) {
        state.ErrorFlag = true;
    } else if (outcome == Outcome::Cancelled) {
        state.CancelFlag = true;
    } else {
        state.ErrorFlag = false;
    }
    return outcome;
}

Outcome Transfer::PassEnd(Outcome outcome) {
    link_.PortClose();
    if (outcome == Outcome::Failed) {
        CommunicationError();
    } else if (outcome == Outcome::Done) {
        config_.clock().Sleep(kPassEndPauseMs);
    }
    return outcome;
}

Outcome Transfer::SkipStep(int pauseMs) {
    config_.clock().Sleep(pauseMs);
    // The pause lets the window run: a Cancel pressed now ends the pass before its next step.
    return config_.state.CancelFlag ? Outcome::Cancelled : Outcome::Done;
}

Outcome Transfer::WriteImageBlock(int address, int count) {
    const int framesBefore = link_.FramesSent();
    const Outcome outcome = link_.WriteBlock(address, count);
    if (link_.FramesSent() != framesBefore) {
        // Sent, even if not acknowledged: the radio may hold these bytes now.
        sent_.push_back({address, address + count - 1});
        confirmed_ += outcome == Outcome::Done ? 1 : 0;
    }
    return outcome;
}

void Transfer::Fail(const char* procedure, const std::exception& failure) {
    const std::string number = std::to_string(FailureNumber(failure));
    WriteErrorLog(config_, std::string("frmRadio.") + procedure, number + failure.what());
    config_.prompt().Message(
        {number + "\r\r" + failure.what(), kAppTitle, Icon::Critical, Buttons::Ok, Answer::Ok});
    config_.state.ErrorFlag = false;
    config_.state.CancelFlag = true;
    link_.PortClose();
}

template <typename Body>
bool Transfer::Guarded(const char* procedure, Body body) {
    try {
        body();
        return true;
    } catch (const std::exception& failure) {
        Fail(procedure, failure);
    } catch (...) {
        Fail(procedure, std::runtime_error("unexpected failure"));
    }
    return false;
}

template <typename Body>
Outcome Transfer::GuardedPass(const char* procedure, Body body) {
    Outcome outcome = Outcome::Cancelled;  // what a handled run-time failure ends as
    Guarded(procedure, [&] { outcome = body(); });
    return Mirror(outcome);
}

// ---- Dialog procedures --------------------------------------------------------------------

void Transfer::Load() {
    link_.ShowNote("starting at debug mode..");
    SetProgress(0);
}

bool Transfer::Cancel() {
    if (config_.state.Loading) {
        config_.state.CancelFlag = true;
        return false;
    }
    return true;
}

bool Transfer::CanClose() const {
    return !config_.state.Loading;
}

bool Transfer::RunOk() {
    AppState& state = config_.state;
    communicationErrorShown_ = false;
    sent_.clear();
    confirmed_ = 0;
    partialClear_.clear();
    stopReason_.clear();
    ui_.SetRunning(true);
    state.Loading = true;
    // A new run: the failure of an earlier one does not carry over.
    state.ErrorFlag = false;
    bool connected = false;
    const bool handled = Guarded("cmdOK", [&] {
        link_.ShowNote("startsync...");
        connected = link_.Connect();
        if (!connected) {
            stopReason_ =
                "The radio did not answer. Check the cable and that the radio shows PC CONTROL, "
                "then press OK again.";
            link_.ShowNote("can not syncing!!");
            return;
        }
        link_.ShowNote("sync ok");
        if (mode_ == kModeRead) {
            ReadRadio();
        } else if (mode_ == kModeProgram) {
            std::string error;
            if (!EncodeImage(config_.model, config_.image, &error)) {
                // Nothing reaches the radio from a configuration that cannot be encoded.
                link_.ErrorBox(error.empty() ? "The configuration cannot be encoded." : error);
                state.ErrorFlag = false;
                state.CancelFlag = true;
            } else {
                PrepareImageForWrite(config_.image, config_.model);
                UpdateChecksum(config_.image);
                const Outcome programmed = ProgramRadio();
                if (guard_ != nullptr) {
                    guard_->Ended(*this, programmed);
                }
            }
        } else if (mode_ >= kModeClearMmsi && mode_ <= kModeClearAtis) {
            ClearRadio();
        }
    });
    // Without a connection the dialog stays open for another try; after an operation it
    // closes unless a check or block failed. A handled run-time failure closes it too.
    const bool close = (connected || !handled) && !state.ErrorFlag;
    link_.PortClose();
    SetProgress(0);
    ui_.SetRunning(false);
    state.Loading = false;
    return close;
}

// ---- The shared frame ---------------------------------------------------------------------

Outcome Transfer::RunFrame(bool regionCheck, int work) {
    AppState& state = config_.state;
    state.Loading = true;
    ui_.SetRunning(true);
    if (!link_.StatusCheck()) {
        stopReason_ = "The radio is not ready: put it into PC control mode, then press OK again.";
        link_.ErrorBox("Radio not ready!!");
        return Outcome::Failed;
    }
    Outcome outcome = ReadDataChkModel();
    if (outcome == Outcome::Done) {
        outcome = ReadDataChkProduct();
    }
    bool accepted = false;
    if (outcome == Outcome::Done && regionCheck) {
        const std::optional<bool> region = ReadDataChkRegion();
        outcome =
            region ? Outcome::Done : (state.CancelFlag ? Outcome::Cancelled : Outcome::Failed);
        accepted = region.value_or(false);
    }
    if (outcome != Outcome::Done) {
        return outcome;
    }
    if (work == kModeRead) {
        outcome = ReadWork(accepted);
    } else if (work == kModeProgram) {
        outcome = guard_ != nullptr ? guard_->BeforeWrite(*this) : Outcome::Done;
        if (outcome == Outcome::Done) {
            link_.ShowNote("radio writing...");
            outcome = WriteData();
            if (guard_ != nullptr) {
                outcome = guard_->AfterWrite(*this, outcome);
            }
        }
    } else if (work == kModeClearMmsi || work == kModeClearAtis) {
        outcome = ClearIdentityWork(work == kModeClearAtis);
    } else {
        outcome = ClearRangeWork();
    }
    if (Mirror(outcome) == Outcome::Done) {
        state.TransferDone = true;
        ui_.Finished(outcome);
        link_.ShowNote("");
        std::string text = "Complete!!";
        const std::string note =
            work == kModeProgram && guard_ != nullptr ? guard_->CompletionNote() : std::string();
        if (!note.empty()) {
            text += "\r\n" + note;
        }
        config_.prompt().Message({text, caption_, Icon::Information, Buttons::Ok, Answer::Ok});
    } else {
        ui_.Finished(outcome);
        if (work >= kModeClearMmsi && work <= kModeClearAtis) {
            ReportPartialClear(outcome);
        }
    }
    return outcome;
}

Outcome Transfer::ReadRadio() {
    return RunFrame(true, kModeRead);
}

Outcome Transfer::ProgramRadio() {
    return RunFrame(true, kModeProgram);
}

Outcome Transfer::ClearRadio() {
    return RunFrame(false, mode_);
}

// ---- Checks -------------------------------------------------------------------------------

std::optional<std::vector<uint8_t>> Transfer::ReadRadioBytes(const std::string& note, int address,
                                                             int count, Outcome& outcome) {
    link_.PortOpen();
    if (!note.empty()) {
        link_.ShowNote(note);
    }
    std::vector<uint8_t> buffer(static_cast<size_t>(address + count), 0xFF);
    outcome = link_.ReadBlock(buffer, address, count);
    if (!Received(outcome)) {
        return std::nullopt;
    }
    return std::vector<uint8_t>(buffer.begin() + address, buffer.end());
}

Outcome Transfer::ReadDataChkModel() {
    return GuardedPass("ReadDataChkModel", [&] {
        const int last = LastAddress();
        Outcome read = Outcome::Done;
        auto first = ReadRadioBytes("model check...", tm::kModelCodeAddress, 2, read);
        auto end = first ? ReadRadioBytes("", last - 1, 2, read) : std::nullopt;
        if (!end) {
            return read;
        }
        auto word = [](const std::vector<uint8_t>& b) {
            return static_cast<uint16_t>(b[0] << 8 | b[1]);
        };
        if (!IsModelCodeValid(config_.state.ModelType, word(*first), word(*end))) {
            stopReason_ = OtherModelReason(config_.state.ModelType);
            link_.ErrorBox("ModelType Error !!");
            return Outcome::Failed;
        }
        return Outcome::Done;
    });
}

Outcome Transfer::ReadDataChkProduct() {
    return GuardedPass("ReadDataChkProduct", [&] {
        Outcome read = Outcome::Done;
        auto bytes = ReadRadioBytes("product-code check...", tm::kProductCodeAddress,
                                    tm::kProductReadCount, read);
        if (!bytes) {
            return read;
        }
        const std::string expected = kProductCode;
        for (size_t i = 0; i < expected.size(); ++i) {
            const uint8_t value = (*bytes)[i];
            if (value == static_cast<uint8_t>(expected[i])) {
                continue;
            }
            if (config_.state.DebugSwitch) {
                const auto address = static_cast<uint32_t>(tm::kProductCodeAddress + i);
                config_.prompt().Message(
                    {"address: 0x" + HexText(address) + " -> 0x" + HexText(value),
                     "Product Code Error!", Icon::Critical, Buttons::Ok, Answer::Ok});
            }
            stopReason_ = OtherModelReason(config_.state.ModelType);
            link_.ErrorBox("ModelType Error !!");
            return Outcome::Failed;
        }
        return Outcome::Done;
    });
}

std::optional<bool> Transfer::ReadDataChkRegion() {
    bool accepted = false;
    const Outcome outcome = GuardedPass("ReadDataChkRegion", [&] {
        Outcome read = Outcome::Done;
        auto bytes = ReadRadioBytes("region check...", tm::kRegionAddress, 1, read);
        if (!bytes) {
            return read;
        }
        const int radio = RegionIndex((*bytes)[0]);
        const int image = RegionIndex(config_.image.Get(tm::kRegionAddress));
        if (radio == image) {
            return Outcome::Done;
        }
        const std::string lines = RegionMismatchLines(
            RegionSource::Radio, (*bytes)[0], config_.image.Get(tm::kRegionAddress), "\r\n");
        const std::string regions = "the radio is set up for region " + RegionName((*bytes)[0]) +
                                    ", the configuration for " +
                                    RegionName(config_.image.Get(tm::kRegionAddress)) + ".";
        if (radio == 255 || image == 255) {
            stopReason_ = "The regions cannot be matched: " + regions;
            link_.ErrorBox("Region Unmatched !!" + lines);
            return Outcome::Failed;
        }
        if (config_.prompt().Message({"The region is unmatched.\r\nDo you want to change the "
                                      "region?" +
                                          lines,
                                      caption_, Icon::Exclamation, Buttons::YesNo, Answer::No}) !=
            Answer::Yes) {
            stopReason_ = "The region was not changed: " + regions;
            return Outcome::Failed;
        }
        accepted = true;
        return Outcome::Done;
    });
    if (outcome != Outcome::Done) {
        return std::nullopt;
    }
    return accepted;
}

// ---- Read ---------------------------------------------------------------------------------

Outcome Transfer::ReadWork(bool accepted) {
    link_.ShowNote("radio reading...");
    const int last = LastAddress();
    std::vector<uint8_t> scratch(config_.image.bytes.begin(),
                                 config_.image.bytes.begin() + last + 1);
    const Outcome read = ReadData(scratch);
    if (read != Outcome::Done) {
        return read;  // image and data model stay as they were
    }
    return GuardedPass("ReadData", [&] {
        // Build the new image and model aside; the configuration changes only when both are
        // complete.
        auto image = std::make_unique<Image>(config_.image);
        for (int a = tm::kReadCopyFirst; a <= last; ++a) {
            bool kept = std::any_of(tm::kReadKeptRanges.begin(), tm::kReadKeptRanges.end(),
                                    [a](const tm::AddressRange& r) { return r.Contains(a); });
            if (!kept) {
                image->bytes[static_cast<size_t>(a)] = scratch[static_cast<size_t>(a)];
            }
        }
        auto model = std::make_unique<DataModel>(DecodedModel(*image));
        config_.image = *image;
        config_.model = std::move(*model);
        config_.state.RegionChangeAccepted = accepted;
        return Outcome::Done;
    });
}

Outcome Transfer::ReadData(std::span<uint8_t> scratch) {
    return GuardedPass("ReadData", [&] {
        link_.PortOpen();
        SetProgress(0);
        const int last = LastAddress();
        Outcome outcome = Outcome::Done;
        for (int start = 0; start <= last && outcome == Outcome::Done; start += tm::kBlockSize) {
            SetProgress(Percent(start, last));
            outcome = link_.ReadBlock(scratch, start, std::min(tm::kBlockSize, last - start + 1));
        }
        if (outcome == Outcome::Cancelled) {
            link_.AbortRead();
        }
        return PassEnd(outcome);
    });
}

// ---- Program ------------------------------------------------------------------------------

// A step may be left out when the radio, read earlier in the same session, holds every byte the
// step would send, for then writing it leaves the radio's memory as it is. That is safe because:
// - the radio keeps what a write sends and nothing else: a write has no effect besides its
//   bytes, and nothing between the read and the writes (the same connection, no other writer)
//   changes its memory, so the read is what it holds when the step comes;
// - the comparison is made at the step, with the bytes the step sends: the image after every
//   change programming makes before it writes (the consistency pass over the current channel
//   and the channel lists, the region kept when the user takes the radio over to the file's
//   region, the radio's own DSC TX logs taken from the read or, from a raw image, the file's
//   own over them). Each of those that differs from the radio makes its step written, and a
//   step of single bytes is then written whole, as a pass that writes every step writes it
//   (the checksum byte lies in no step: neither pass writes it);
// - a UserIds step counts only the bytes it writes under this pass's new-MMSI and new-ATIS
//   rules, and the entry counts a new code raises are written after the steps either way;
// - an address the read did not reach counts as changed.
// Steps with nothing to write keep their pause, and the pass opens and ends the port, checks the
// radio's user MMSI and ATIS code and ends with its pause as a pass that writes every step does.
bool ProgramStepChanges(const Image& radio, const Image& image, int start, bool newMmsi,
                        bool newAtis) {
    const int readLast = std::clamp(radio.ImageLastAddress, 0, kImageSize - 1);
    auto differs = [&](int address) {
        return address > readLast || radio.Get(address) != image.Get(address);
    };
    const tm::ProgramMapEntry entry = tm::ProgramStepAt(start);
    switch (entry.step) {
        case tm::ProgramStep::Skip:
            return false;
        case tm::ProgramStep::Block:
            for (int a = start; a < start + tm::kBlockSize; ++a) {
                if (differs(a)) {
                    return true;
                }
            }
            return false;
        case tm::ProgramStep::Bytes:
        case tm::ProgramStep::UserIds:
            break;
    }
    for (int a = entry.bytes.first; a <= entry.bytes.last; ++a) {
        const bool written = entry.step == tm::ProgramStep::Bytes ||
                             tm::ProgramWritesUserIdByte(a, newMmsi, newAtis);
        if (written && differs(a)) {
            return true;
        }
    }
    return false;
}

Outcome Transfer::WriteProgramStep(int start) {
    const tm::ProgramMapEntry entry = tm::ProgramStepAt(start);
    if (entry.step != tm::ProgramStep::Skip && radioBeforeWrite_ != nullptr &&
        !ProgramStepChanges(*radioBeforeWrite_, config_.image, start, newMmsi_, newAtis_)) {
        return Outcome::Done;  // the radio holds these bytes already
    }
    switch (entry.step) {
        case tm::ProgramStep::Skip:
            return SkipStep(tm::kProgramSkipPauseMs);
        case tm::ProgramStep::Block:
            return WriteImageBlock(start, tm::kBlockSize);
        case tm::ProgramStep::Bytes:
        case tm::ProgramStep::UserIds:
            break;
    }
    for (int a = entry.bytes.first; a <= entry.bytes.last; ++a) {
        if (entry.step == tm::ProgramStep::UserIds &&
            !tm::ProgramWritesUserIdByte(a, newMmsi_, newAtis_)) {
            continue;
        }
        if (const Outcome outcome = WriteImageBlock(a, 1); outcome != Outcome::Done) {
            return outcome;
        }
    }
    return Outcome::Done;
}

Outcome Transfer::WriteData() {
    return GuardedPass("WriteData", [&] {
        Image& image = config_.image;
        link_.PortOpen();
        // New user MMSI / ATIS code: the radio holds none, the image holds one.
        const std::optional<bool> radioMmsiErased = GetChkNullData(tm::kUserMmsi.first, 5);
        const std::optional<bool> radioAtisErased =
            radioMmsiErased ? GetChkNullData(tm::kAtisCode.first, 5) : std::nullopt;
        if (!radioMmsiErased || !radioAtisErased) {
            link_.PortClose();  // the failed check has reported already
            return config_.state.CancelFlag ? Outcome::Cancelled : Outcome::Failed;
        }
        newMmsi_ = *radioMmsiErased && !AllErased(image, tm::kUserMmsi);
        newAtis_ = *radioAtisErased && !AllErased(image, tm::kAtisCode);
        radioBeforeWrite_ = guard_ != nullptr ? guard_->RadioBeforeWrite() : nullptr;

        SetProgress(0);
        Outcome outcome = Outcome::Done;
        for (int start = 0; start <= tm::kProgramLastStart && outcome == Outcome::Done;
             start += tm::kBlockSize) {
            SetProgress(Percent(start, tm::kProgramLastStart));
            outcome = WriteProgramStep(start);
        }

        // A user MMSI or ATIS code entered for the first time counts as one more entry.
        for (auto [isNew, countAddress] :
             {std::pair{newMmsi_, tm::kUserMmsiCount}, std::pair{newAtis_, tm::kAtisCodeCount}}) {
            if (!isNew || outcome != Outcome::Done) {
                continue;
            }
            std::optional<int> count = GetIncrimentData(countAddress);
            if (!count) {
                // Unread, the count is not written; a cancel ends the pass here.
                outcome = config_.state.CancelFlag ? Outcome::Cancelled : Outcome::Failed;
                break;
            }
            image.Set(countAddress, *count);
            outcome = WriteImageBlock(countAddress, 1);
        }
        return PassEnd(outcome);
    });
}

// ---- Clear --------------------------------------------------------------------------------

void Transfer::RestoreUnsent(const Image& kept, std::span<const tm::AddressRange> changed) {
    // Marked once, so that the cost grows with the bytes and not with bytes times blocks.
    std::vector<bool> sent(kImageSize, false);
    for (const tm::AddressRange& r : sent_) {
        for (int a = std::max(r.first, 0); a <= std::min(r.last, kImageSize - 1); ++a) {
            sent[static_cast<size_t>(a)] = true;
        }
    }
    for (const tm::AddressRange& range : changed) {
        for (int a = range.first; a <= range.last; ++a) {
            if (!sent[static_cast<size_t>(a)]) {
                config_.image.bytes[static_cast<size_t>(a)] = kept.bytes[static_cast<size_t>(a)];
            }
        }
    }
}

Outcome Transfer::ClearRangeWork() {
    const tm::ClearPlan* plan = tm::ClearPlanOf(mode_);
    if (plan == nullptr) {
        return Outcome::Done;
    }
    link_.ShowNote(plan->note);
    auto kept = std::make_unique<Image>(config_.image);
    std::vector<tm::AddressRange> filled;
    for (std::span<const tm::ClearFill> group : plan->fills) {
        for (const tm::ClearFill& fill : group) {
            for (int a = fill.range.first; a <= fill.range.last; ++a) {
                config_.image.bytes[static_cast<size_t>(a)] = fill.value;
            }
            filled.push_back(fill.range);
        }
    }
    sent_.clear();
    confirmed_ = 0;
    Outcome outcome = Outcome::Done;
    for (const tm::ClearWrite& write : plan->writes) {
        if (outcome != Outcome::Done) {
            break;
        }
        switch (write.writer) {
            case tm::ClearWriter::Blocks64:
                outcome = ClearDataAny(write.range.first, write.range.last);
                break;
            case tm::ClearWriter::Blocks32:
                outcome = ClearDataAny2(write.range.first, write.range.last);
                break;
            case tm::ClearWriter::AllBlocks:
                outcome = ClearDataAll();
                break;
        }
    }
    if (outcome != Outcome::Done) {
        // The image keeps what reached the radio and takes back the rest, so that image and
        // radio agree after a cancel or failure.
        RestoreUnsent(*kept, filled);
    }
    return outcome;
}

Outcome Transfer::ClearIdentityWork(bool atis) {
    Image& image = config_.image;
    link_.ShowNote(atis ? "radio clear ATIS..." : "radio clear...");
    const tm::AddressRange code = atis ? tm::kAtisCode : tm::kUserMmsi;
    const int clearCount = atis ? tm::kAtisClearCount : tm::kMmsiClearCount;

    auto kept = std::make_unique<Image>(image);
    std::vector<tm::AddressRange> changed = {code};
    image.Fill(code.first, code.last - code.first + 1, 0xFF);
    if (atis) {
        for (int a : tm::kAtisGroupFlags) {
            image.Set(a, 0);
            changed.push_back({a, a});
        }
    }
    sent_.clear();
    confirmed_ = 0;
    std::optional<int> count = GetIncrimentData(clearCount);
    if (!count) {
        RestoreUnsent(*kept, changed);
        return config_.state.CancelFlag ? Outcome::Cancelled : Outcome::Failed;
    }
    image.Set(clearCount, *count);
    changed.push_back({clearCount, clearCount});
    const Outcome outcome = atis ? ClearDataATIS() : ClearDataMMSI();
    if (outcome != Outcome::Done) {
        RestoreUnsent(*kept, changed);
        return outcome;
    }
    ui_.IdentityCleared(mode_);
    return outcome;
}

int Transfer::ClearWriteCount() const {
    if (mode_ == kModeClearMmsi) {
        return tm::kUserMmsi.last - tm::kUserMmsi.first + 2;  // the code and the clear count
    }
    if (mode_ == kModeClearAtis) {
        return tm::kAtisCode.last - tm::kAtisCode.first + 1 +
               static_cast<int>(tm::kAtisGroupFlags.size()) + 1;
    }
    const tm::ClearPlan* plan = tm::ClearPlanOf(mode_);
    if (plan == nullptr) {
        return 0;
    }
    // The starts each writer walks, as ClearDataAny, ClearDataAny2 and ClearDataAll walk them.
    const int imageLast = LastAddress();
    int count = 0;
    for (const tm::ClearWrite& write : plan->writes) {
        switch (write.writer) {
            case tm::ClearWriter::Blocks64:
                for (int start = 0; start <= imageLast; start += tm::kBlockSize) {
                    count += write.range.Contains(start) ? 1 : 0;
                }
                break;
            case tm::ClearWriter::Blocks32:
                for (int start = write.range.first; start <= write.range.last;
                     start += tm::kShortBlockSize) {
                    ++count;
                }
                break;
            case tm::ClearWriter::AllBlocks:
                for (int start = tm::kAllBlocksFirst; start <= imageLast; start += tm::kBlockSize) {
                    const bool skipped =
                        tm::kAllBlocksSkipped.Contains(start) || start >= tm::kAllBlocksEnd;
                    count += skipped ? 0 : 1;
                }
                break;
        }
    }
    return count;
}

void Transfer::ReportPartialClear(Outcome outcome) {
    if (outcome == Outcome::Done || sent_.empty()) {
        return;  // complete, or nothing in the radio was changed
    }
    // A code is half erased when some but not all of its bytes were sent.
    const tm::AddressRange code = mode_ == kModeClearMmsi ? tm::kUserMmsi : tm::kAtisCode;
    int codeBytes = 0;
    for (const tm::AddressRange& range : sent_) {
        codeBytes += code.Contains(range.first) && range.first == range.last ? 1 : 0;
    }
    const bool incomplete = codeBytes > 0 && codeBytes < code.last - code.first + 1;
    partialClear_ = PartialClearText(mode_, static_cast<int>(sent_.size()), confirmed_,
                                     ClearWriteCount(), incomplete);
    config_.prompt().Message({partialClear_, caption_, Icon::Exclamation, Buttons::Ok, Answer::Ok});
}

Outcome Transfer::WriteSingleBytes(std::span<const int> addresses) {
    if (!link_.PortOpen()) {
        return Outcome::Failed;
    }
    SetProgress(0);
    Outcome outcome = Outcome::Done;
    for (size_t i = 0; i < addresses.size() && outcome == Outcome::Done; ++i) {
        outcome = WriteImageBlock(addresses[i], 1);
    }
    if (outcome == Outcome::Done) {
        SetProgress(100);
    }
    return PassEnd(outcome);
}

Outcome Transfer::ClearDataMMSI() {
    return GuardedPass("ClearDataMMSI", [&] {
        std::vector<int> addresses;
        for (int a = tm::kUserMmsi.first; a <= tm::kUserMmsi.last; ++a) {
            addresses.push_back(a);
        }
        addresses.push_back(tm::kMmsiClearCount);
        return WriteSingleBytes(addresses);
    });
}

Outcome Transfer::ClearDataATIS() {
    return GuardedPass("ClearDataATIS", [&] {
        std::vector<int> addresses;
        for (int a = tm::kAtisCode.first; a <= tm::kAtisCode.last; ++a) {
            addresses.push_back(a);
        }
        addresses.insert(addresses.end(), tm::kAtisGroupFlags.begin(), tm::kAtisGroupFlags.end());
        addresses.push_back(tm::kAtisClearCount);
        return WriteSingleBytes(addresses);
    });
}

Outcome Transfer::ClearDataAny(int first, int last) {
    return GuardedPass("ClearDataAny", [&] {
        link_.PortOpen();
        SetProgress(0);
        const int imageLast = LastAddress();
        Outcome outcome = Outcome::Done;
        for (int start = 0; start <= imageLast && outcome == Outcome::Done;
             start += tm::kBlockSize) {
            SetProgress(Percent(start, imageLast));
            outcome = start >= first && start <= last ? WriteImageBlock(start, tm::kBlockSize)
                                                      : SkipStep(tm::kClearSkipPauseMs);
        }
        return PassEnd(outcome);
    });
}

Outcome Transfer::ClearDataAny2(int first, int last) {
    return GuardedPass("ClearDataAny2", [&] {
        Outcome outcome = Outcome::Done;
        for (int start = first; start <= last && outcome == Outcome::Done;
             start += tm::kShortBlockSize) {
            outcome = WriteImageBlock(start, tm::kShortBlockSize);
        }
        if (outcome == Outcome::Failed) {
            CommunicationError();
        }
        return outcome;
    });
}

Outcome Transfer::ClearDataAll() {
    return GuardedPass("ClearDataAny", [&] {
        link_.PortOpen();
        SetProgress(0);
        const int imageLast = LastAddress();
        Outcome outcome = Outcome::Done;
        for (int start = tm::kAllBlocksFirst; start <= imageLast && outcome == Outcome::Done;
             start += tm::kBlockSize) {
            SetProgress(Percent(start - tm::kAllBlocksFirst, imageLast - tm::kAllBlocksFirst));
            const bool skipped =
                tm::kAllBlocksSkipped.Contains(start) || start >= tm::kAllBlocksEnd;
            outcome =
                skipped ? SkipStep(tm::kClearSkipPauseMs) : WriteImageBlock(start, tm::kBlockSize);
        }
        return PassEnd(outcome);
    });
}

// ---- Single values ------------------------------------------------------------------------

std::optional<int> Transfer::GetIncrimentData(int address) {
    std::optional<int> result;
    GuardedPass("GetIncrimentData", [&] {
        Outcome read = Outcome::Done;
        const std::string note =
            "get address data(Hex" + HexText(static_cast<uint32_t>(address)) + ")...";
        if (auto bytes = ReadRadioBytes(note, address, 1, read)) {
            const int value = (*bytes)[0];
            result = value == 255 ? 255 : value + 1;
        }
        return read;
    });
    return result;
}

std::optional<bool> Transfer::GetChkNullData(int first, int count) {
    std::optional<bool> erased;
    GuardedPass("GetChkNullData", [&] {
        Outcome read = Outcome::Done;
        if (auto bytes = ReadRadioBytes("", first, count, read)) {
            erased = std::all_of(bytes->begin(), bytes->end(), [](uint8_t b) { return b == 0xFF; });
        }
        return read;
    });
    return erased;
}

}  // namespace mrw
