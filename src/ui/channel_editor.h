// The channel editor of the main window: the channel list (pictB) with its grid and list
// buttons, and the channel panel (pictC) in which one channel is edited and saved.
#pragma once

#include <QObject>

namespace mrw {

class MainWindow;
struct Config;

/// Binds the channel list and the channel panel to the channel editing rules.
class ChannelEditor : public QObject {
    Q_OBJECT
public:
    /// Builds the editor's widgets in the window's pictB and pictC panels and attaches it to
    /// the window. The editor belongs to the pictB panel and lives as long as the window.
    static ChannelEditor* Install(MainWindow& window, Config& config);

private:
    ChannelEditor(MainWindow& window, Config& config);

    MainWindow& window_;
    Config& config_;
};

}  // namespace mrw
