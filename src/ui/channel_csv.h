// The File menu's channel list commands: "Import Channels from CSV…" and "Export Channels to
// CSV…" for the channel table the window shows, in CHIRP's CSV layout.
#pragma once

#include <QObject>
#include <QString>
#include <functional>

#include "edit/channel_table.h"

class QAction;

namespace mrw {

class MainWindow;
struct Config;

/// Binds the two File menu entries to the CSV export and import of the core. The import
/// shows what it would do (how many channels, every note) and changes the table through
/// EditModel only when the user chooses Import.
class ChannelCsvCommands : public QObject {
    Q_OBJECT
public:
    /// Adds the entries to the window's File menu after "Save As Default", run through the
    /// window's command gate. `shownKey` gives the key of the category node the window shows.
    static ChannelCsvCommands* Install(MainWindow& window, Config& config,
                                       std::function<QString()> shownKey);

    /// The channel table the window shows; None when it shows no channel table.
    TableKind ShownTable() const;
    /// Enables the entries when a channel table is shown, disables them otherwise; runs when
    /// the selected category node changes and when the File menu opens.
    void UpdateEnabled();
    /// "Import Channels from CSV…": a channel list replaces the table shown.
    void Import();
    /// "Export Channels to CSV…": the table shown is saved as a channel list.
    void Export();

private:
    ChannelCsvCommands(MainWindow& window, Config& config, std::function<QString()> shownKey);

    MainWindow& window_;
    Config& config_;
    std::function<QString()> shownKey_;
    QAction* importAction_ = nullptr;
    QAction* exportAction_ = nullptr;
};

}  // namespace mrw
