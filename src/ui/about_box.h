// The About box ("Version Infomation") and the help commands.
#pragma once

#include <QDialog>
#include <QString>
#include <functional>
#include <string>

#include "core/services.h"

namespace mrw {

/// "Version " + major.minor.patch of the running program.
std::string VersionText();

/// The notice of the About box: paragraphs separated by an empty line, each wrapping at word
/// boundaries, its last two words joined by a no-break space.
QString AboutNotice();

/// The About box: title and version, a notice and the application icon; OK closes it.
class AboutBox : public QDialog {
    Q_OBJECT
public:
    explicit AboutBox(QWidget* parent = nullptr);
};

/// The help file of the program: none is configured.
inline constexpr const char* kHelpFile = "";
/// Help topics of the main window's Help > Contents and of the transfer dialog's Help button.
inline constexpr int kHelpTopicContents = 1001;
inline constexpr int kHelpTopicTransfer = 1012;

/// The help topic of a panel of the main window (by its objectName): the channel lists and
/// the channel panel, the weather channels, each setup panel, each directory; the contents
/// for the others.
int HelpTopicOfPanel(const std::string& panel);

/// Help for a window: the help viewer set with SetHelpViewer shows the topic; without one, the
/// information box "Unable to display Help Contents. There is no Help associated with this
/// project." titled with the caption of the window the command came from.
void ShowHelp(Prompt& prompt, const std::string& windowCaption, int topic);

/// What ShowHelp shows a topic with (the help window when the guide is installed); an empty
/// function brings the information box back.
void SetHelpViewer(std::function<void(int)> viewer);

}  // namespace mrw
