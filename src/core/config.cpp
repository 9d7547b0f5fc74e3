#include "core/config.h"

namespace mrw {

namespace {
// Services that keep a configuration usable before the program attaches its own: real time,
// a prompt that answers every box with its default button, a store that forgets.
SystemClock gDefaultClock;
ScriptedPrompt gDefaultPrompt;
MemorySettingsStore gDefaultSettings;
Shell gDefaultShell;
}  // namespace

Config::Config() {
    image.bytes.fill(0xFF);
    services.clock = &gDefaultClock;
    services.prompt = &gDefaultPrompt;
    services.settings = &gDefaultSettings;
    services.shell = &gDefaultShell;
    std::error_code ec;
    services.programFolder = std::filesystem::current_path(ec);
}

Config& TheConfig() {
    static Config config;
    return config;
}

Answer ShowMessage(Config& config, const std::string& text, Icon icon, Buttons buttons,
                   Answer defaultButton) {
    MessageRequest request;
    request.text = text;
    request.title = config.state.TitleText;
    request.icon = icon;
    request.buttons = buttons;
    request.defaultButton = defaultButton;
    return config.prompt().Message(request);
}

}  // namespace mrw
