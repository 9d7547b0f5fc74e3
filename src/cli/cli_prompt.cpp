#include "cli/cli_prompt.h"

namespace mrw::cli {

namespace {
constexpr const char* kRegionQuestionStart = "The region is unmatched.";
constexpr const char* kBusyText = "Radio is busy!!";
constexpr const char* kSyncQuestion = "confirm the synchronization of the communication";
constexpr int kMaxBusyRetries = 3;
constexpr int kMaxSyncConfirmations = 1;

// The text as terminal lines: CR LF and lone CRs become LF.
std::string TerminalText(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            out += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
        } else {
            out += text[i];
        }
    }
    return out;
}

}  // namespace

Answer CliPrompt::Message(const MessageRequest& request) {
    shown.push_back(request.text);
    if (request.text.rfind(kRegionQuestionStart, 0) == 0) {
        // The question's own two lines are answered here; the lines after them say which
        // regions met.
        std::string detail = TerminalText(request.text);
        for (int line = 0; line < 2 && !detail.empty(); ++line) {
            const size_t end = detail.find('\n');
            detail = end == std::string::npos ? std::string() : detail.substr(end + 1);
        }
        if (!detail.empty()) {
            detail += "\n";
        }
        if (yes_) {
            err_ << "The region differs; taking over the region (--yes).\n" << detail;
            return Answer::Yes;
        }
        regionDeclined = true;
        err_ << "Region Unmatched: the region differs (use --yes to take over the region).\n"
             << detail;
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
    err_ << TerminalText(request.text) << "\n";
    if (!request.details.empty()) {
        err_ << TerminalText(request.details) << "\n";  // no button to show them on request
    }
    return request.defaultButton;
}

std::string CliPrompt::FileDialog(const FileDialogRequest& /*request*/) {
    return {};
}

}  // namespace mrw::cli
