// The help window on the user guide of the source tree: the topic each help command opens,
// the links and pictures of every topic, the search, and the Troubleshooting topic holding
// every message text of the program.
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTextBlock>
#include <QTextBrowser>
#include <QtTest>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>

#include "ui/about_box.h"
#include "ui/help_window.h"
#include "window_harness.h"

namespace mrw {

namespace {

const std::filesystem::path kDoc = std::filesystem::path(MRW_TEST_SOURCE_DIR) / "doc";
const std::filesystem::path kGuide = kDoc / "guide";

std::string ReadText(const std::filesystem::path& path) {
    std::ostringstream text;
    text << std::ifstream(path).rdbuf();
    return text.str();
}

QTextBrowser* Page(QWidget* help) {
    return help->findChild<QTextBrowser*>("txtHelpPage");
}
QString Heading(QWidget* help) {
    return Page(help)->document()->begin().text();
}

// The message texts of the program: the string literals (and the k-constants they name) in
// the first argument of every message box call of src/ (ShowMessage, ErrorBox, Message({...}),
// a request's .text and a text built from a k-constant), split into lines; fragments of
// fewer than four characters or two letters left out. The command line's own texts (src/cli) are not boxes.
std::set<std::string> ProgramMessages() {
    const std::regex adjacent(R"("\s*\n\s*")");
    const std::regex constant(R"re(\b(k\w+)\s*=\s*"((?:[^"\\]|\\.)*)")re");
    const std::regex call(
        R"(ShowMessage\s*\(\s*\w+\s*,|ErrorBox\s*\(|Message\s*\(\s*\{|\.text\s*=|std::string text\s*=\s*(?=k[A-Z]))");
    std::map<std::string, std::string> constants;
    std::vector<std::string> arguments;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(
             std::filesystem::path(MRW_TEST_SOURCE_DIR) / "src")) {
        const std::string path = entry.path().generic_string();
        if (path.find("/src/cli/") != std::string::npos ||
            (entry.path().extension() != ".cpp" && entry.path().extension() != ".h")) {
            continue;
        }
        const std::string text = std::regex_replace(ReadText(entry.path()), adjacent, "");
        for (std::sregex_iterator m(text.begin(), text.end(), constant), end; m != end; ++m) {
            constants[(*m)[1]] = (*m)[2];
        }
        // The first argument: up to a comma, a parenthesis or a semicolon outside strings.
        for (std::sregex_iterator m(text.begin(), text.end(), call), end; m != end; ++m) {
            size_t i = m->position() + m->length();
            int depth = 0;
            bool quoted = false;
            std::string argument;
            for (; i < text.size(); ++i) {
                const char c = text[i];
                if (quoted) {
                    quoted = !(c == '"' && text[i - 1] != '\\');
                } else if (c == '"') {
                    quoted = true;
                } else if (c == '(' || c == '{') {
                    ++depth;
                } else if ((c == ')' || c == '}') && depth > 0) {
                    --depth;
                } else if (depth == 0 && (c == ',' || c == ')' || c == '}' || c == ';')) {
                    break;
                }
                argument += c;
            }
            arguments.push_back(argument);
        }
    }
    const std::regex literal(R"re("((?:[^"\\]|\\.)*)"|\b(k[A-Z]\w*))re");
    const std::regex letters("[A-Za-z].*[A-Za-z]");
    std::set<std::string> messages;
    for (const std::string& argument : arguments) {
        for (std::sregex_iterator m(argument.begin(), argument.end(), literal), end; m != end;
             ++m) {
            std::string text = (*m)[1].matched ? (*m)[1].str() : constants[(*m)[2]];
            text = std::regex_replace(text, std::regex(R"((\\r|\\n)+)"), "\n");
            std::istringstream lines(text);
            for (std::string line; std::getline(lines, line);) {
                line = std::regex_replace(line, std::regex(R"(^\s+|\s+$)"), "");
                if (line.size() > 3 && std::regex_search(line, letters)) {
                    messages.insert(line);
                }
            }
        }
    }
    return messages;
}

}  // namespace

class HelpWindowTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { SetHelpViewer({}); }

    // Help > Contents, F1 on each panel and the transfer dialog's Help open their topics.
    void eachHelpCommandOpensItsTopic() {
        testing::WindowHarness h("[model1]\nuse=1\natis=True\n");
        QVERIFY(h.Start());
        InstallHelpWindow(*h.window, kDoc);
        h.Action("mnuHelpContents")->trigger();
        auto* help = h.Find<QWidget>("frmHelp");
        QVERIFY(help != nullptr && help->isVisible());
        QCOMPARE(Heading(help), QString("Getting started"));

        const std::pair<const char*, const char*> kPanels[] = {
            {"General", "Getting started"},
            {"Usable", "Usable CH Group Setup"},
            {"Common", "Common Setup"},
            {"DSC", "DSC Setup"},
            {"ATIS", "ATIS Setup"},
            {"PU", "Channel groups and channels"},
            {"PR", "Channel groups and channels"},
            {"PW", "Weather channels"},
            {"SM", "Individual and group directories"},
            {"SG1", "Individual and group directories"},
        };
        for (const auto& [node, heading] : kPanels) {
            QVERIFY2(h.window->SelectNodeByKey(node), node);
            QTest::keyClick(h.window.get(), Qt::Key_F1);
            QVERIFY2(Heading(help) == heading, node);
        }
        // What the transfer dialog's Help button does.
        ShowHelp(h.prompt, "Read from Radio", kHelpTopicTransfer);
        QCOMPARE(Heading(help), QString("Transferring"));
        QVERIFY(h.prompt.messages.empty());

        // Without a guide the old message stays.
        SetHelpViewer({});
        ShowHelp(h.prompt, "Read from Radio", kHelpTopicTransfer);
        QCOMPARE(h.prompt.Texts(), std::vector<std::string>{"Unable to display Help Contents. "
                                                            "There is no Help associated with "
                                                            "this project."});
    }

    // Every topic file is listed; every link between topics and every picture resolves, and
    // Back returns from a followed link.
    void linksAndPicturesResolve() {
        std::set<std::string> listed;
        for (const HelpTopic& topic : HelpTopics()) {
            listed.insert(topic.file);
        }
        for (const auto& entry : std::filesystem::directory_iterator(kGuide)) {
            if (entry.path().extension() == ".md") {
                QVERIFY2(listed.count(entry.path().filename().string()) == 1,
                         entry.path().filename().c_str());
            }
        }
        HelpWindow help(FindGuideFolder(kDoc));
        QStringList broken;
        int links = 0;
        int pictures = 0;
        for (const HelpTopic& topic : HelpTopics()) {
            help.ShowTopic(topic.number);
            QTextDocument* document = Page(&help)->document();
            for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
                for (auto it = block.begin(); !it.atEnd(); ++it) {
                    const QTextCharFormat format = it.fragment().charFormat();
                    QString target;
                    if (format.isImageFormat()) {
                        target = format.toImageFormat().name();
                        ++pictures;
                    } else if (format.isAnchor() && !format.anchorHref().contains(':')) {
                        target = format.anchorHref().section('#', 0, 0);
                        ++links;
                    }
                    if (!target.isEmpty() &&
                        !std::filesystem::is_regular_file(kGuide / target.toStdString())) {
                        broken << QString("%1: %2").arg(topic.file, target);
                    }
                }
            }
        }
        QVERIFY2(broken.isEmpty(), qPrintable(broken.join("\n")));
        QVERIFY(links > 20 && pictures >= 10);

        help.ShowTopic(kHelpTopicContents);
        Page(&help)->setSource(QUrl("transferring.md"));
        QCOMPARE(Heading(&help), QString("Transferring"));
        QTest::mouseClick(help.findChild<QPushButton*>("cmdHelpBack"), Qt::LeftButton);
        QCOMPARE(Heading(&help), QString("Getting started"));
    }

    // The search lists the topics holding every word typed, in any case.
    void searchListsTheTopicsHoldingEveryWord() {
        HelpWindow help(FindGuideFolder(kDoc));
        auto* list = help.findChild<QListWidget*>("lstHelpTopics");
        auto titles = [list] {
            QStringList shown;
            for (int i = 0; i < list->count(); ++i) {
                shown << list->item(i)->text();
            }
            return shown;
        };
        QCOMPARE(list->count(), static_cast<int>(HelpTopics().size()));
        QTest::keyClicks(help.findChild<QLineEdit*>("txtHelpSearch"), "DIALOUT adduser");
        QVERIFY(titles().contains("Getting started"));
        QVERIFY(!titles().contains("Weather channels"));
        QTest::keyClicks(help.findChild<QLineEdit*>("txtHelpSearch"), " xyzzy");
        QCOMPARE(list->count(), 0);
    }

    // Every message text the program can show is explained in Troubleshooting.
    void troubleshootingHoldsEveryMessage() {
        const std::string guide = ReadText(kGuide / "troubleshooting.md");
        const std::set<std::string> messages = ProgramMessages();
        QVERIFY(messages.count("Radio is busy!!") == 1 && messages.size() > 40);
        QStringList missing;
        for (const std::string& message : messages) {
            if (guide.find(message) == std::string::npos) {
                missing << QString::fromStdString(message);
            }
        }
        for (const QString& text : missing) {
            qWarning("doc/guide/troubleshooting.md lacks the message text: %s", qPrintable(text));
        }
        QVERIFY2(missing.isEmpty(), "message texts missing from the Troubleshooting topic");
    }
};

}  // namespace mrw

QTEST_MAIN(mrw::HelpWindowTest)
#include "help_window_test.moc"
