#include "link/safe_program.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <ctime>
#include <exception>
#include <memory>
#include <string_view>
#include <system_error>

#include "core/calendar.h"
#include "core/path_text.h"
#include "core/text.h"
#include "files/atomic_file.h"
#include "files/file_only.h"
#include "image/checks.h"
#include "image/codec.h"
#include "link/radio_image.h"
#include "link/transfer_map.h"
#include "model/catalogue.h"

namespace mrw {

namespace tm = transfermap;

namespace {

constexpr const char* kBackupExtension = ".hex";
/// "yyyyMMdd-HHmmss".
constexpr size_t kStampLength = 15;

/// Letters, digits and "-" kept; anything else becomes "-", so that a name is a safe file name.
std::string FileNamePart(std::string_view text) {
    std::string part;
    for (char c : text) {
        const bool keep = std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '-';
        part += keep ? c : '-';
    }
    return part.empty() ? "-" : part;
}

bool AllDigits(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; });
}

/// The configuration `image` stands for, decoded over a copy of `config`'s model (whose
/// weather records a decode keeps).
std::unique_ptr<Config> DecodedConfiguration(const Config& config, const Image& image) {
    auto decoded = std::make_unique<Config>();
    decoded->state = config.state;
    decoded->image = image;
    decoded->model = config.model;
    DecodeImage(decoded->image, decoded->model);
    return decoded;
}

/// The setup a read of a radio holding `image` gives: the image decoded over a fresh data model,
/// so that settings the image does not hold have their defaults.
DataModel ReadBack(const Image& image) {
    DataModel model;
    DecodeImage(image, model);
    return model;
}

}  // namespace

// ---- Plain functions --------------------------------------------------------------------------

std::string BackupFileName(const std::string& modelName, const std::string& regionName,
                           std::chrono::system_clock::time_point when) {
    const std::time_t t = std::chrono::system_clock::to_time_t(when);
    const std::tm utc = UtcTimeOf(t);
    char stamp[32];
    const size_t n = std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &utc);
    return FileNamePart(modelName) + "_" + FileNamePart(regionName) + "_" + std::string(stamp, n) +
           kBackupExtension;
}

std::optional<BackupName> ParseBackupFileName(const std::string& fileName) {
    if (!EndsWithIgnoreCase(fileName, kBackupExtension)) {
        return std::nullopt;
    }
    const std::string stem = fileName.substr(0, fileName.size() - 4);
    const size_t second = stem.rfind('_');
    if (second == std::string::npos || second == 0) {
        return std::nullopt;
    }
    const size_t first = stem.rfind('_', second - 1);
    const std::string stamp = stem.substr(second + 1);
    if (first == std::string::npos || first == 0 || second == first + 1 ||
        stamp.size() != kStampLength || stamp[8] != '-' || !AllDigits(stamp.substr(0, 8)) ||
        !AllDigits(stamp.substr(9))) {
        return std::nullopt;
    }
    BackupName name;
    name.model = stem.substr(0, first);
    name.region = stem.substr(first + 1, second - first - 1);
    name.time = stamp.substr(0, 4) + "-" + stamp.substr(4, 2) + "-" + stamp.substr(6, 2) + " " +
                stamp.substr(9, 2) + ":" + stamp.substr(11, 2) + ":" + stamp.substr(13, 2) + " UTC";
    return name;
}

std::string RestoreQuestion(const BackupName& backup, const std::string& file) {
    return "Restore the radio from the backup of its " + backup.model + " configuration, region " +
           backup.region + ", made " + backup.time + "?\r\n" + file +
           "\r\nThe radio is programmed with the backup and verified.";
}

std::string VerifyFailedText(int count, int firstAddress) {
    return std::string(kVerifyFailed) + ": the radio holds different data at " +
           std::to_string(count) + (count == 1 ? " address" : " addresses") + " (first at 0x" +
           HexPad(static_cast<uint32_t>(firstAddress), 4) + "). Program it again.";
}

std::vector<tm::AddressRange> VerifyReads(std::vector<tm::AddressRange> written) {
    std::sort(
        written.begin(), written.end(),
        [](const tm::AddressRange& a, const tm::AddressRange& b) { return a.first < b.first; });
    std::vector<tm::AddressRange> joined;
    for (const tm::AddressRange& range : written) {
        if (range.last < range.first) {
            continue;
        }
        if (!joined.empty() && range.first <= joined.back().last + kVerifyJoinGap) {
            joined.back().last = std::max(joined.back().last, range.last);
        } else {
            joined.push_back(range);
        }
    }
    std::vector<tm::AddressRange> reads;
    for (const tm::AddressRange& range : joined) {
        for (int start = range.first; start <= range.last; start += tm::kBlockSize) {
            reads.push_back({start, std::min(range.last, start + tm::kBlockSize - 1)});
        }
    }
    return reads;
}

// ---- The guard --------------------------------------------------------------------------------

SafeProgram::SafeProgram(Config& config, SafeProgramOptions options)
    : config_(config), options_(std::move(options)) {}

void SafeProgram::EnterStage(Stage stage, const char* text) {
    stage_ = stage;
    if (options_.onStage) {
        options_.onStage(text);
    }
}

Outcome SafeProgram::BeforeWrite(Transfer& transfer) {
    backupFile_.clear();
    radioImage_.reset();
    previewed_.clear();
    mismatches_.clear();
    stage_ = Stage::Checks;
    if (options_.backup || options_.preview) {
        EnterStage(Stage::Backup, options_.backup ? "Reading the radio for its backup\u2026"
                                                  : "Reading the radio\u2026");
        Outcome outcome = ReadBackup(transfer);
        if (outcome == Outcome::Done && options_.backup) {
            outcome = SaveBackup(transfer);
            if (outcome == Outcome::Done && options_.keepRadioRecords) {
                KeepRadioRecords(*radioImage_, config_.image);
            }
        }
        if (outcome == Outcome::Done && options_.preview) {
            outcome = Preview();
        }
        if (outcome != Outcome::Done) {
            return outcome;
        }
    }
    EnterStage(Stage::Writing, "Writing\u2026");
    return Outcome::Done;
}

Outcome SafeProgram::ReadBackup(Transfer& transfer) {
    transfer.link().ShowNote("radio backup reading...");
    const int last = std::clamp(config_.image.ImageLastAddress, 0, kImageSize - 1);
    std::vector<uint8_t> scratch(static_cast<size_t>(last) + 1, 0xFF);
    const Outcome outcome = transfer.ReadData(scratch);
    if (outcome != Outcome::Done) {
        return outcome;  // the read has reported a failure; a cancel has aborted the read
    }
    Image image = config_.image;
    image.bytes.fill(0xFF);
    std::copy(scratch.begin(), scratch.end(), image.bytes.begin());
    radioImage_ = image;
    return Outcome::Done;
}

Outcome SafeProgram::SaveBackup(Transfer& transfer) {
    namespace fs = std::filesystem;
    const Image& radio = *radioImage_;
    fs::path path = options_.backupFile;
    std::error_code ec;
    std::string error;
    std::string stem;  // of a generated name, which takes a number when it is taken
    if (path.empty()) {
        if (options_.backupFolder.empty()) {
            error = "no folder for backups";
        } else {
            fs::create_directories(options_.backupFolder, ec);
            if (ec) {
                error = ec.message();
            }
            const std::string name =
                BackupFileName(config_.state.ModelName, RegionName(radio.Get(tm::kRegionAddress)),
                               config_.clock().Now());
            path = options_.backupFolder / name;
            stem = name.substr(0, name.size() - 4);
        }
    }
    const int last = std::clamp(radio.ImageLastAddress, 0, kImageSize - 1);
    const std::string_view data(reinterpret_cast<const char*>(radio.bytes.data()),
                                static_cast<size_t>(last) + 1);
    // A backup never replaces a file: two programs within one second keep both backups, and a
    // named backup file that appeared meanwhile is refused.
    bool written = false;
    for (int n = 2; error.empty() && !written; ++n) {
        int number = 0;
        written = WriteNewFileAtomically(path, data, &error, &number);
        if (!written && number == EEXIST && !stem.empty() && n < 1000) {
            error.clear();
            path = options_.backupFolder / (stem + "-" + std::to_string(n) + kBackupExtension);
        }
    }
    if (written) {
        backupFile_ = path;
        transfer.link().ShowNote("radio backup saved");
        return Outcome::Done;
    }
    transfer.link().ErrorBox("The backup of the radio could not be saved" +
                             (path.empty() ? std::string() : " as " + PathText(path)) + ":\r\n" +
                             error);
    return Outcome::Failed;
}

Outcome SafeProgram::Preview() {
    const Image& radio = *radioImage_;
    const std::unique_ptr<Config> before = DecodedConfiguration(config_, radio);
    const Image programmed = ProgrammedImage(radio, config_.image);
    const std::unique_ptr<Config> after = DecodedConfiguration(config_, programmed);
    previewed_ = ConfigDifferences(*before, *after, false);
    const std::vector<Difference> records = RadioRecordChanges(radio, programmed);
    previewed_.insert(previewed_.end(), records.begin(), records.end());
    const std::vector<Difference> kept =
        KeptInFileOnly(ReadBack(programmed), config_.model, config_.state.AtisSupported);
    previewed_.insert(previewed_.end(), kept.begin(), kept.end());
    return options_.preview(previewed_) ? Outcome::Done : Outcome::Cancelled;
}

std::string SafeProgram::CompletionNote() const {
    Image radio;
    if (radioImage_) {
        radio = *radioImage_;
    } else if (options_.assumedRadio) {
        radio = *options_.assumedRadio;
    } else {
        DataModel scratch;
        NewImage(radio, scratch, config_.state.ModelType);
    }
    const size_t kept = KeptInFileOnly(ReadBack(ProgrammedImage(radio, config_.image)),
                                       config_.model, config_.state.AtisSupported)
                            .size();
    return kept == 0 ? std::string() : KeptInFileOnlyLine(kept);
}

const Image* SafeProgram::RadioBeforeWrite() const {
    return options_.full || !radioImage_ ? nullptr : &*radioImage_;
}

Outcome SafeProgram::AfterWrite(Transfer& transfer, Outcome outcome) {
    if (outcome != Outcome::Done || !options_.verify) {
        return outcome;
    }
    EnterStage(Stage::Verifying, "Verifying\u2026");
    return Verify(transfer);
}

Outcome SafeProgram::Verify(Transfer& transfer) {
    Link& link = transfer.link();
    const std::vector<tm::AddressRange> reads = VerifyReads(transfer.SentRanges());
    link.PortOpen();
    link.ShowNote("radio verifying...");
    transfer.SetProgress(0);
    std::vector<uint8_t> buffer(kImageSize, 0);
    Outcome outcome = Outcome::Done;
    for (size_t i = 0; i < reads.size() && outcome == Outcome::Done; ++i) {
        transfer.SetProgress(static_cast<int>(i * 100 / reads.size()));
        outcome = link.ReadBlock(buffer, reads[i].first, reads[i].last - reads[i].first + 1);
    }
    if (outcome == Outcome::Cancelled) {
        link.AbortRead();
    }
    link.PortClose();
    if (outcome == Outcome::Failed) {
        link.ErrorBox("Communication Error!!");
    }
    if (outcome != Outcome::Done) {
        return outcome;
    }
    transfer.SetProgress(100);

    // What was sent is what the image holds: nothing changes it between a write and now.
    for (const tm::AddressRange& range : transfer.SentRanges()) {
        for (int a = range.first; a <= range.last; ++a) {
            if (buffer[static_cast<size_t>(a)] != config_.image.Get(a)) {
                mismatches_.push_back(a);
            }
        }
    }
    std::sort(mismatches_.begin(), mismatches_.end());
    mismatches_.erase(std::unique(mismatches_.begin(), mismatches_.end()), mismatches_.end());
    if (mismatches_.empty()) {
        return Outcome::Done;
    }
    std::string text = VerifyFailedText(static_cast<int>(mismatches_.size()), mismatches_.front());
    if (!backupFile_.empty()) {
        text += "\r\nIts previous configuration is kept in the backup " + PathText(backupFile_);
        if (options_.restoreHint) {
            text += " (" + options_.restoreHint(PathText(backupFile_)) + ")";
        }
        text += ".";
    }
    link.ErrorBox(text);
    return Outcome::Failed;
}

std::string SafeProgram::RecoveryText() const {
    std::string text = "To recover, program the radio again";
    if (!backupFile_.empty()) {
        text += ", or restore its previous configuration from the backup " + PathText(backupFile_);
        if (options_.restoreHint) {
            text += " (" + options_.restoreHint(PathText(backupFile_)) + ")";
        }
    }
    return text + ".";
}

void SafeProgram::Ended(Transfer& transfer, Outcome outcome) {
    if (outcome == Outcome::Done || !mismatches_.empty()) {
        return;  // complete, or the verify box has said what the radio holds
    }
    MessageRequest request;
    request.title = transfer.Caption();
    request.buttons = Buttons::Ok;
    request.defaultButton = Answer::Ok;
    if (transfer.SentRanges().empty()) {
        request.icon = Icon::Information;
        request.text =
            "Programming stopped before anything was written: nothing in the radio was changed.";
    } else if (stage_ == Stage::Verifying) {
        request.icon = Icon::Exclamation;
        request.text =
            "Every write was acknowledged, but the radio could not be read back to verify it: "
            "it may hold a partly written configuration.\r\n" +
            RecoveryText();
    } else {
        request.icon = Icon::Exclamation;
        request.text =
            "Programming stopped after it had begun writing: the radio may now hold a partly "
            "written configuration.\r\n" +
            RecoveryText();
    }
    config_.prompt().Message(request);
}

}  // namespace mrw
