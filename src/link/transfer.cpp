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

Transfer::Transfer(Config& config, SerialPort& port, TransferUi& ui)
    : config_(config),
      ui_(ui),
      mode_(config.state.TransferMode),
      caption_(TransferCaption(mode_)),
      link_(config, port, caption_, [&ui](const std::string& text) { ui.ShowNote(text); }) {}

// ---- Helpers ------------------------------------------------------------------------------

bool Transfer::FlagsClear() const {
    return !config_.state.ErrorFlag && !config_.state.CancelFlag;
}

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
        link_.ErrorBox("Communication Error!!");
    }
}

void Transfer::PassEnd() {
    link_.PortClose();
    if (config_.state.CancelFlag) {
        return;
    }
    if (config_.state.ErrorFlag) {
        CommunicationError();
    } else {
        config_.clock().Sleep(kPassEndPauseMs);
    }
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
    ui_.SetRunning(true);
    state.Loading = true;
    bool connected = false;
    const bool handled = Guarded("cmdOK", [&] {
        link_.ShowNote("startsync...");
        connected = link_.Connect();
        if (!connected) {
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
                ProgramRadio();
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

void Transfer::RunFrame(bool regionCheck, int work) {
    AppState& state = config_.state;
    state.Loading = true;
    ui_.SetRunning(true);
    if (!link_.StatusCheck()) {
        link_.ErrorBox("Radio not ready!!");
        return;
    }
    bool accepted = false;
    if (FlagsClear()) {
        ReadDataChkModel();
    }
    if (FlagsClear()) {
        ReadDataChkProduct();
    }
    if (regionCheck && FlagsClear()) {
        accepted = ReadDataChkRegion();
    }
    if (!FlagsClear()) {
        return;
    }
    if (work == kModeRead) {
        ReadWork(accepted);
    } else if (work == kModeProgram) {
        link_.ShowNote("radio writing...");
        WriteData();
    } else if (work == kModeClearMmsi || work == kModeClearAtis) {
        ClearIdentityWork(work == kModeClearAtis);
    } else {
        ClearRangeWork();
    }
    if (FlagsClear()) {
        state.TransferDone = true;
        link_.ShowNote("");
        config_.prompt().Message(
            {"Complete!!", caption_, Icon::Information, Buttons::Ok, Answer::Ok});
    }
}

void Transfer::ReadRadio() {
    RunFrame(true, kModeRead);
}

void Transfer::ProgramRadio() {
    RunFrame(true, kModeProgram);
}

void Transfer::ClearRadio() {
    RunFrame(false, mode_);
}

// ---- Checks -------------------------------------------------------------------------------

void Transfer::ReadDataChkModel() {
    Guarded("ReadDataChkModel", [&] {
        link_.PortOpen();
        link_.ShowNote("model check...");
        const int last = LastAddress();
        std::vector<uint8_t> buffer(static_cast<size_t>(last) + 1, 0xFF);
        link_.ReadBlock(buffer, tm::kModelCodeAddress, 2);
        if (!config_.state.ErrorFlag && !config_.state.CancelFlag) {
            link_.ReadBlock(buffer, last - 1, 2);
        }
        if (config_.state.CancelFlag) {
            return;
        }
        if (config_.state.ErrorFlag) {
            CommunicationError();
            return;
        }
        auto word = [&](int a) {
            return static_cast<uint16_t>(buffer[static_cast<size_t>(a)] << 8 |
                                         buffer[static_cast<size_t>(a) + 1]);
        };
        if (!IsModelCodeValid(config_.state.ModelType, word(tm::kModelCodeAddress),
                              word(last - 1))) {
            config_.state.ErrorFlag = true;
            link_.ErrorBox("ModelType Error !!");
        }
    });
}

void Transfer::ReadDataChkProduct() {
    Guarded("ReadDataChkProduct", [&] {
        link_.PortOpen();
        link_.ShowNote("product-code check...");
        std::vector<uint8_t> buffer(tm::kProductCodeAddress + tm::kProductReadCount, 0xFF);
        link_.ReadBlock(buffer, tm::kProductCodeAddress, tm::kProductReadCount);
        if (config_.state.CancelFlag) {
            return;
        }
        if (config_.state.ErrorFlag) {
            CommunicationError();
            return;
        }
        const std::string expected = kProductCode;
        for (size_t i = 0; i < expected.size(); ++i) {
            const int address = tm::kProductCodeAddress + static_cast<int>(i);
            const uint8_t value = buffer[static_cast<size_t>(address)];
            if (value == static_cast<uint8_t>(expected[i])) {
                continue;
            }
            if (config_.state.DebugSwitch) {
                config_.prompt().Message({"address: 0x" + HexText(static_cast<uint32_t>(address)) +
                                              " -> 0x" + HexText(value),
                                          "Product Code Error!", Icon::Critical, Buttons::Ok,
                                          Answer::Ok});
            }
            config_.state.ErrorFlag = true;
            link_.ErrorBox("ModelType Error !!");
            return;
        }
    });
}

bool Transfer::ReadDataChkRegion() {
    bool accepted = false;
    Guarded("ReadDataChkRegion", [&] {
        link_.PortOpen();
        link_.ShowNote("region check...");
        std::vector<uint8_t> buffer(tm::kRegionAddress + 1, 0xFF);
        link_.ReadBlock(buffer, tm::kRegionAddress, 1);
        if (config_.state.CancelFlag) {
            return;
        }
        if (config_.state.ErrorFlag) {
            CommunicationError();
            return;
        }
        const int radio = RegionIndex(buffer[tm::kRegionAddress]);
        const int image = RegionIndex(config_.image.Get(tm::kRegionAddress));
        if (radio == image) {
            return;
        }
        if (radio == 255 || image == 255) {
            link_.ErrorBox("Region Unmatched !!");
            config_.state.ErrorFlag = true;
            return;
        }
        if (config_.prompt().Message(
                {"The region is unmatched.\r\nDo you want to change the region?", caption_,
                 Icon::Exclamation, Buttons::YesNo, Answer::No}) == Answer::Yes) {
            accepted = true;
        } else {
            config_.state.ErrorFlag = true;
        }
    });
    return accepted;
}

// ---- Read ---------------------------------------------------------------------------------

void Transfer::ReadWork(bool accepted) {
    link_.ShowNote("radio reading...");
    const int last = LastAddress();
    std::vector<uint8_t> scratch(config_.image.bytes.begin(),
                                 config_.image.bytes.begin() + last + 1);
    ReadData(scratch);
    if (!FlagsClear()) {
        return;  // image and data model stay as they were
    }
    Guarded("ReadData", [&] {
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
        auto model = std::make_unique<DataModel>(config_.model);
        DecodeImage(*image, *model);
        config_.image = *image;
        config_.model = std::move(*model);
        config_.state.RegionChangeAccepted = accepted;
    });
}

void Transfer::ReadData(std::span<uint8_t> scratch) {
    Guarded("ReadData", [&] {
        link_.PortOpen();
        SetProgress(0);
        const int last = LastAddress();
        for (int start = 0; start <= last; start += tm::kBlockSize) {
            SetProgress(Percent(start, last));
            link_.ReadBlock(scratch, start, std::min(tm::kBlockSize, last - start + 1));
            if (!FlagsClear()) {
                break;
            }
        }
        if (config_.state.CancelFlag) {
            link_.AbortRead();
        }
        PassEnd();
    });
}

// ---- Program ------------------------------------------------------------------------------

void Transfer::WriteData() {
    Guarded("WriteData", [&] {
        Image& image = config_.image;
        link_.PortOpen();
        const bool newMmsi = GetChkNullData(tm::kUserMmsi.first, 5) && FlagsClear() &&
                             !AllErased(image, tm::kUserMmsi);
        const bool newAtis = FlagsClear() && GetChkNullData(tm::kAtisCode.first, 5) &&
                             FlagsClear() && !AllErased(image, tm::kAtisCode);
        if (!FlagsClear()) {
            link_.PortClose();  // the failed check has reported already
            return;
        }

        SetProgress(0);
        for (int start = 0; start <= tm::kProgramLastStart && FlagsClear();
             start += tm::kBlockSize) {
            SetProgress(Percent(start, tm::kProgramLastStart));
            const tm::ProgramMapEntry entry = tm::ProgramStepAt(start);
            switch (entry.step) {
                case tm::ProgramStep::Skip:
                    config_.clock().Sleep(tm::kProgramSkipPauseMs);
                    break;
                case tm::ProgramStep::Block:
                    link_.WriteBlock(start, tm::kBlockSize);
                    break;
                case tm::ProgramStep::Bytes:
                case tm::ProgramStep::UserIds:
                    for (int a = entry.bytes.first; a <= entry.bytes.last && FlagsClear(); ++a) {
                        if (entry.step == tm::ProgramStep::UserIds &&
                            (a == tm::kUserMmsiCount || a == tm::kAtisCodeCount ||
                             tm::kRadioOwnedIds.Contains(a) ||
                             (tm::kUserMmsi.Contains(a) && !newMmsi) ||
                             (tm::kAtisCode.Contains(a) && !newAtis))) {
                            continue;
                        }
                        link_.WriteBlock(a, 1);
                    }
                    break;
            }
        }

        // A user MMSI or ATIS code entered for the first time counts as one more entry.
        for (auto [isNew, countAddress] :
             {std::pair{newMmsi, tm::kUserMmsiCount}, std::pair{newAtis, tm::kAtisCodeCount}}) {
            if (!isNew || !FlagsClear()) {
                continue;
            }
            if (std::optional<int> count = GetIncrimentData(countAddress)) {
                image.Set(countAddress, *count);
                link_.WriteBlock(countAddress, 1);
            }
        }
        PassEnd();
    });
}

// ---- Clear --------------------------------------------------------------------------------

void Transfer::ClearRangeWork() {
    const tm::ClearPlan* plan = tm::ClearPlanOf(mode_);
    if (plan == nullptr) {
        return;
    }
    link_.ShowNote(plan->note);
    auto kept = std::make_unique<Image>(config_.image);
    Guarded("ClearDataAny", [&] {
        for (std::span<const tm::ClearFill> group : plan->fills) {
            for (const tm::ClearFill& fill : group) {
                for (int a = fill.range.first; a <= fill.range.last; ++a) {
                    config_.image.bytes[static_cast<size_t>(a)] = fill.value;
                }
            }
        }
    });
    for (const tm::ClearWrite& write : plan->writes) {
        if (!FlagsClear()) {
            break;
        }
        switch (write.writer) {
            case tm::ClearWriter::Blocks64:
                ClearDataAny(write.range.first, write.range.last);
                break;
            case tm::ClearWriter::Blocks32:
                ClearDataAny2(write.range.first, write.range.last);
                break;
            case tm::ClearWriter::AllBlocks:
                ClearDataAll();
                break;
        }
    }
    if (!FlagsClear()) {
        config_.image = *kept;
    }
}

void Transfer::ClearIdentityWork(bool atis) {
    Image& image = config_.image;
    link_.ShowNote(atis ? "radio clear ATIS..." : "radio clear...");
    const tm::AddressRange code = atis ? tm::kAtisCode : tm::kUserMmsi;
    const int clearCount = atis ? tm::kAtisClearCount : tm::kMmsiClearCount;

    std::vector<int> keptAddresses;
    for (int a = code.first; a <= code.last; ++a) {
        keptAddresses.push_back(a);
    }
    if (atis) {
        keptAddresses.insert(keptAddresses.end(), tm::kAtisGroupFlags.begin(),
                             tm::kAtisGroupFlags.end());
    }
    std::vector<uint8_t> kept;
    for (int a : keptAddresses) {
        kept.push_back(image.Get(a));
    }
    auto restore = [&] {
        for (size_t i = 0; i < keptAddresses.size(); ++i) {
            image.Set(keptAddresses[i], kept[i]);
        }
    };

    image.Fill(code.first, code.last - code.first + 1, 0xFF);
    if (atis) {
        for (int a : tm::kAtisGroupFlags) {
            image.Set(a, 0);
        }
    }
    std::optional<int> count = GetIncrimentData(clearCount);
    if (!count || !FlagsClear()) {
        restore();
        return;
    }
    image.Set(clearCount, *count);
    if (atis) {
        ClearDataATIS();
    } else {
        ClearDataMMSI();
    }
    if (!FlagsClear()) {
        restore();  // the clear count keeps its new value
        return;
    }
    ui_.IdentityCleared(mode_);
}

void Transfer::WriteSingleBytes(std::span<const int> addresses) {
    if (!link_.PortOpen()) {
        return;
    }
    SetProgress(0);
    for (int a : addresses) {
        link_.WriteBlock(a, 1);
        if (!FlagsClear()) {
            break;
        }
    }
    if (FlagsClear()) {
        SetProgress(100);
    }
    PassEnd();
}

void Transfer::ClearDataMMSI() {
    Guarded("ClearDataMMSI", [&] {
        std::vector<int> addresses;
        for (int a = tm::kUserMmsi.first; a <= tm::kUserMmsi.last; ++a) {
            addresses.push_back(a);
        }
        addresses.push_back(tm::kMmsiClearCount);
        WriteSingleBytes(addresses);
    });
}

void Transfer::ClearDataATIS() {
    Guarded("ClearDataATIS", [&] {
        std::vector<int> addresses;
        for (int a = tm::kAtisCode.first; a <= tm::kAtisCode.last; ++a) {
            addresses.push_back(a);
        }
        addresses.insert(addresses.end(), tm::kAtisGroupFlags.begin(), tm::kAtisGroupFlags.end());
        addresses.push_back(tm::kAtisClearCount);
        WriteSingleBytes(addresses);
    });
}

void Transfer::ClearDataAny(int first, int last) {
    Guarded("ClearDataAny", [&] {
        link_.PortOpen();
        SetProgress(0);
        const int imageLast = LastAddress();
        for (int start = 0; start <= imageLast; start += tm::kBlockSize) {
            SetProgress(Percent(start, imageLast));
            if (start >= first && start <= last) {
                link_.WriteBlock(start, tm::kBlockSize);
                if (!FlagsClear()) {
                    break;
                }
            } else {
                config_.clock().Sleep(tm::kClearSkipPauseMs);
            }
        }
        PassEnd();
    });
}

void Transfer::ClearDataAny2(int first, int last) {
    Guarded("ClearDataAny2", [&] {
        for (int start = first; start <= last; start += tm::kShortBlockSize) {
            link_.WriteBlock(start, tm::kShortBlockSize);
            if (!FlagsClear()) {
                break;
            }
        }
        if (!config_.state.CancelFlag && config_.state.ErrorFlag) {
            CommunicationError();
        }
    });
}

void Transfer::ClearDataAll() {
    Guarded("ClearDataAny", [&] {
        link_.PortOpen();
        SetProgress(0);
        const int imageLast = LastAddress();
        for (int start = tm::kAllBlocksFirst; start <= imageLast; start += tm::kBlockSize) {
            SetProgress(Percent(start - tm::kAllBlocksFirst, imageLast - tm::kAllBlocksFirst));
            if (tm::kAllBlocksSkipped.Contains(start) || start >= tm::kAllBlocksEnd) {
                config_.clock().Sleep(tm::kClearSkipPauseMs);
                continue;
            }
            link_.WriteBlock(start, tm::kBlockSize);
            if (!FlagsClear()) {
                break;
            }
        }
        PassEnd();
    });
}

// ---- Single values ------------------------------------------------------------------------

std::optional<int> Transfer::GetIncrimentData(int address) {
    std::optional<int> result;
    Guarded("GetIncrimentData", [&] {
        link_.PortOpen();
        link_.ShowNote("get address data(Hex" + HexText(static_cast<uint32_t>(address)) + ")...");
        std::vector<uint8_t> buffer(static_cast<size_t>(address) + 1, 0xFF);
        link_.ReadBlock(buffer, address, 1);
        if (config_.state.CancelFlag) {
            return;
        }
        if (config_.state.ErrorFlag) {
            CommunicationError();
            return;
        }
        const int value = buffer[static_cast<size_t>(address)];
        result = value == 255 ? 255 : value + 1;
    });
    return result;
}

bool Transfer::GetChkNullData(int first, int count) {
    bool erased = false;
    Guarded("GetChkNullData", [&] {
        link_.PortOpen();
        std::vector<uint8_t> buffer(static_cast<size_t>(first + count), 0x00);
        link_.ReadBlock(buffer, first, count);
        if (config_.state.CancelFlag) {
            return;
        }
        if (config_.state.ErrorFlag) {
            CommunicationError();
            return;
        }
        erased =
            std::all_of(buffer.begin() + first, buffer.end(), [](uint8_t b) { return b == 0xFF; });
    });
    return erased;
}

// ---- After the dialog ---------------------------------------------------------------------

void FinishReadDialog(Config& config) {
    AppState& state = config.state;
    if (state.TransferDone) {
        config.shell().ShowCategory("General");
        config.shell().RebuildViews();
        state.CurrentFileName.clear();
        config.shell().UpdateWindowCaption();
        if (state.RegionChangeAccepted) {
            ShowImageRegion(config);
        }
        state.DataChanged = false;
    }
    state.TransferDone = false;
}

}  // namespace mrw
