#include "cli/cli_prompt.h"

namespace mrw::cli {

namespace {
constexpr const char* kRegionQuestionStart = "The region is unmatched.";
constexpr const char* kBusyText = "Radio is busy!!";
constexpr const char* kSyncQuestion = "confirm the synchronization of the communication";
constexpr int kMaxBusyRetries = 3;
constexpr int kMaxSyncConfirmations = 1;
}  // namespace

Answer CliPrompt::Message(const MessageRequest& request) {
    shown.push_back(request.text);
    if (request.text.rfind(kRegionQuestionStart, 0) == 0) {
        if (yes_) {
            err_ << "The region differs; taking over the region (--yes).\n";
            return Answer::Yes;
        }
        regionDeclined = true;
        err_ << "Region Unmatched: the region differs (use --yes to take over the region).\n";
        return Answer::No;
    }
    if (request.text == kBusyText) {
        if (busyRetries_ < kMaxBusyRetries) {
            ++busyRetries_;
            err_ << kBusyText << " (retry " << busyRetries_ << ")\n";
            return Answer::Retry;
        }
        err_ << kBusyText << "\n";
        return Answer::Cancel;
    }
    if (request.text == kSyncQuestion) {
        if (syncConfirmations_ < kMaxSyncConfirmations) {
            ++syncConfirmations_;
            return Answer::Ok;
        }
        return Answer::Cancel;
    }
    err_ << request.text << "\n";
    return request.defaultButton;
}

std::string CliPrompt::FileDialog(const FileDialogRequest& /*request*/) {
    return {};
}

}  // namespace mrw::cli
