#include "core/services.h"

#include <thread>

namespace mrw {

void SystemClock::Sleep(int ms) {
    if (ms > 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    }
}

double SystemClock::Seconds() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

void VirtualClock::Sleep(int ms) {
    now_ += ms / 1000.0;
    if (onPump) {
        onPump();
    }
}

void VirtualClock::PumpEvents() {
    now_ += pumpStepMs / 1000.0;
    if (onPump) {
        onPump();
    }
}

Answer ScriptedPrompt::Message(const MessageRequest& request) {
    messages.push_back(request);
    if (onMessage) {
        onMessage(request);
    }
    if (answers.empty()) {
        return request.defaultButton;
    }
    Answer a = answers.front();
    answers.pop_front();
    return a;
}

std::string ScriptedPrompt::FileDialog(const FileDialogRequest& request) {
    dialogs.push_back(request);
    if (fileNames.empty()) {
        return {};
    }
    std::string name = fileNames.front();
    fileNames.pop_front();
    return name;
}

std::string ScriptedPrompt::TextInput(const TextInputRequest& request) {
    textInputs.push_back(request);
    if (typedTexts.empty()) {
        return {};
    }
    std::string text = typedTexts.front();
    typedTexts.pop_front();
    return text;
}

std::vector<std::string> ScriptedPrompt::Texts() const {
    std::vector<std::string> out;
    for (const auto& m : messages) {
        out.push_back(m.text);
    }
    return out;
}

std::string MemorySettingsStore::Get(const std::string& section, const std::string& key,
                                     const std::string& fallback) {
    auto it = values.find({section, key});
    return it == values.end() ? fallback : it->second;
}

void MemorySettingsStore::Set(const std::string& section, const std::string& key,
                              const std::string& value) {
    values[{section, key}] = value;
}

}  // namespace mrw
