// The help window: the user guide's topics (Markdown files of the guide folder) in a browser
// with back and forward buttons, and a list of the topics that a search narrows to those
// holding every word typed.
#pragma once

#include <QWidget>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

class QLineEdit;
class QListWidget;
class QPushButton;
class QTextBrowser;

namespace mrw {

class MainWindow;

/// One topic of the guide: its help topic number and its file in the guide folder.
struct HelpTopic {
    int number;
    const char* file;
};

/// Every topic of the guide, in the order of its contents.
const std::vector<HelpTopic>& HelpTopics();

/// The file of a topic number; the contents' file for a number the guide does not have.
std::string HelpTopicFile(int topic);

/// The guide folder beside the data files ("guide" in the program folder), or the empty path
/// when it lacks the contents' file.
std::filesystem::path FindGuideFolder(const std::filesystem::path& programFolder);

class HelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit HelpWindow(std::filesystem::path guideFolder, QWidget* parent = nullptr);

    /// Shows a topic by its number.
    void ShowTopic(int topic);
    /// Narrows the list of topics to those holding every word of `words` (all for none).
    void Search(const QString& words);

private:
    void ShowFile(const std::string& file);
    void ListTopics(const QStringList& words);
    void FitPictures();

    std::filesystem::path folder_;
    QTextBrowser* page_ = nullptr;
    QPushButton* back_ = nullptr;
    QPushButton* forward_ = nullptr;
    QLineEdit* search_ = nullptr;
    QListWidget* topics_ = nullptr;
    /// Title (first heading) and plain text of each topic, for the list and the search.
    std::vector<std::pair<QString, QString>> texts_;
};

/// Gives the window and the transfer dialog the help window when the guide is found in the
/// program folder: Help > Contents, F1 and the dialog's Help then show its topics. Without a
/// guide they keep the message that there is no help.
void InstallHelpWindow(MainWindow& window, const std::filesystem::path& programFolder);

}  // namespace mrw
