// The answers mrw-cli gives to the questions the desktop program asks the user, and where its
// messages go: every box's text is written to the error stream.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "core/services.h"

namespace mrw::cli {

/// Answers as a careful operator at the keyboard would, from the command-line options:
/// the region question by --yes, "Radio is busy!!" by retrying three times, the
/// synchronisation question by OK once. Every message text is echoed to `err`.
class CliPrompt : public Prompt {
public:
    CliPrompt(std::ostream& err, bool yes) : err_(err), yes_(yes) {}

    Answer Message(const MessageRequest& request) override;
    /// The command line never opens a file dialog: it answers "cancelled".
    std::string FileDialog(const FileDialogRequest& request) override;

    /// True when a region question was answered No (so the failure can be explained).
    bool regionDeclined = false;
    /// Every message text shown, in order.
    std::vector<std::string> shown;

private:
    std::ostream& err_;
    bool yes_;
    int busyRetries_ = 0;
    int syncConfirmations_ = 0;
};

}  // namespace mrw::cli
