#include "ui/channel_editor.h"

#include "ui/main_window.h"

namespace mrw {

ChannelEditor* ChannelEditor::Install(MainWindow& window, Config& config) {
    return new ChannelEditor(window, config);
}

ChannelEditor::ChannelEditor(MainWindow& window, Config& config)
    : QObject(window.Panel("pictB")), window_(window), config_(config) {
    setObjectName("channelEditor");
}

}  // namespace mrw
