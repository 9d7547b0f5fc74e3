// Small interfaces through which the core waits, asks the user and remembers settings.
// The desktop program plugs Qt implementations in; tests and the command line use the
// plain ones declared here, so nothing in the core depends on a widget toolkit.
#pragma once

#include <chrono>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace mrw {

/// Time source for every pause and time limit, and the hook that lets the user interface
/// process its pending events while a long operation polls.
class Clock {
public:
    virtual ~Clock() = default;
    /// Pauses for the given number of milliseconds.
    virtual void Sleep(int ms) = 0;
    /// Monotonic time in seconds since an arbitrary origin.
    virtual double Seconds() = 0;
    /// Lets the user interface process pending events (a Cancel button, repaints).
    virtual void PumpEvents() = 0;
    /// Wall-clock time, used for log file names and log lines.
    virtual std::chrono::system_clock::time_point Now() { return std::chrono::system_clock::now(); }
};

/// Real time, no user interface to serve: for the command line.
class SystemClock : public Clock {
public:
    void Sleep(int ms) override;
    double Seconds() override;
    void PumpEvents() override {}
};

/// Virtual time for tests: Sleep advances the clock instantly. Every PumpEvents call also
/// advances time by `pumpStepMs` (so polling loops make progress) and runs `onPump`, through
/// which a test can press Cancel in the middle of a transfer.
class VirtualClock : public Clock {
public:
    /// Advances the time; like a real pause it lets the window run (onPump) once.
    void Sleep(int ms) override;
    double Seconds() override { return now_; }
    void PumpEvents() override;
    void Advance(double seconds) { now_ += seconds; }

    double pumpStepMs = 1.0;
    std::function<void()> onPump;

private:
    double now_ = 0.0;
};

/// Icons of a message box.
enum class Icon { None, Critical, Exclamation, Information, Question };
/// Button sets of a message box.
enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel };
/// The button the user pressed.
enum class Answer { Ok, Cancel, Yes, No, Retry };

/// One message box: text, caption, icon, buttons and the preselected button.
struct MessageRequest {
    std::string text;
    std::string title;
    Icon icon = Icon::None;
    Buttons buttons = Buttons::Ok;
    Answer defaultButton = Answer::Ok;
    /// Caption of the OK button when not empty, for a box that names its action ("Import").
    std::string okText;
    /// Further text the box shows on request, such as a long list of notes; empty for none.
    std::string details;
};

/// One open or save file dialog. `filter` uses the "description|pattern|description|pattern"
/// form, for example "dat files(*.dat)|*.dat|All files(*.*)|*.*".
struct FileDialogRequest {
    bool save = false;
    std::string title;
    std::string filter;
    std::string folder;
    std::string initialName;
    bool overwritePrompt = false;
    bool mustExist = false;
    /// Extension without the dot ("txt"), added to a chosen name that has none while the
    /// filter of that extension is selected; empty for none.
    std::string defaultSuffix;
};

/// One request for a line of text, such as a device path.
struct TextInputRequest {
    std::string title;
    /// What to type, shown above the box.
    std::string label;
    /// The text the box starts with.
    std::string text;
};

/// Every message box and file dialog of the program goes through this service.
class Prompt {
public:
    virtual ~Prompt() = default;
    /// Shows a message box and returns the pressed button.
    virtual Answer Message(const MessageRequest& request) = 0;
    /// Shows a file dialog and returns the chosen path, or the empty text when cancelled.
    virtual std::string FileDialog(const FileDialogRequest& request) = 0;
    /// Asks for a line of text and returns it, or the empty text when cancelled (and where
    /// nobody can be asked).
    virtual std::string TextInput(const TextInputRequest& /*request*/) { return {}; }
};

/// A prompt for tests and scripted use: records every request and answers from queues.
/// A message with no queued answer gets its default button; a dialog or text input with
/// none is cancelled.
class ScriptedPrompt : public Prompt {
public:
    Answer Message(const MessageRequest& request) override;
    std::string FileDialog(const FileDialogRequest& request) override;
    std::string TextInput(const TextInputRequest& request) override;

    std::deque<Answer> answers;
    std::deque<std::string> fileNames;
    std::deque<std::string> typedTexts;
    std::vector<MessageRequest> messages;
    std::vector<FileDialogRequest> dialogs;
    std::vector<TextInputRequest> textInputs;
    /// Called with each message before it is answered (may push an answer).
    std::function<void(const MessageRequest&)> onMessage;

    /// The texts of all messages shown so far, in order.
    std::vector<std::string> Texts() const;
};

/// The per-user settings store: string values by section and key under the application name.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    /// The stored value, or `fallback` when there is none.
    virtual std::string Get(const std::string& section, const std::string& key,
                            const std::string& fallback = "") = 0;
    virtual void Set(const std::string& section, const std::string& key,
                     const std::string& value) = 0;
};

/// A settings store held in memory, for tests.
class MemorySettingsStore : public SettingsStore {
public:
    std::string Get(const std::string& section, const std::string& key,
                    const std::string& fallback = "") override;
    void Set(const std::string& section, const std::string& key, const std::string& value) override;

    std::map<std::pair<std::string, std::string>, std::string> values;
};

}  // namespace mrw
