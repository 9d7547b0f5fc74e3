#include "core/config.h"

namespace mrw {

namespace {
// No window attached: nothing to rebuild or redraw. Unlike the other services, doing nothing
// is a correct answer here.
Shell gNoWindow;

template <typename Service>
Service& Require(Service* service, const char* name) {
    if (service == nullptr) {
        // A configuration without this service would answer for the user (a prompt that
        // always takes the default button) or lose what it stores: refuse loudly instead.
        throw MissingService(std::string("The configuration has no ") + name + " service.");
    }
    return *service;
}
}  // namespace

Config::Config() {
    image.bytes.fill(0xFF);
    services.shell = &gNoWindow;
    std::error_code ec;
    services.programFolder = std::filesystem::current_path(ec);
}

Clock& Config::clock() {
    return Require(services.clock, "clock");
}

Prompt& Config::prompt() {
    return Require(services.prompt, "prompt");
}

SettingsStore& Config::settings() {
    return Require(services.settings, "settings");
}

Shell& Config::shell() {
    return Require(services.shell, "shell");
}

void MarkConfigurationLoaded(Config& config) {
    config.state.DataChanged = false;
    config.history.Reset();
}

void MarkConfigurationSaved(Config& config) {
    config.state.DataChanged = false;
    config.history.MarkClean();
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
