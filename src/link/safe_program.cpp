#include "link/safe_program.h"

#include <algorithm>

#include "core/text.h"
#include "link/transfer_map.h"

namespace mrw {

namespace tm = transfermap;

// ---- Plain functions --------------------------------------------------------------------------

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

Outcome SafeProgram::BeforeWrite(Transfer& /*transfer*/) {
    mismatches_.clear();
    stage_ = Stage::Checks;
    EnterStage(Stage::Writing, "Writing\u2026");
    return Outcome::Done;
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
    link.ErrorBox(VerifyFailedText(static_cast<int>(mismatches_.size()), mismatches_.front()));
    return Outcome::Failed;
}

std::string SafeProgram::RecoveryText() const {
    return "To recover, program the radio again.";
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
