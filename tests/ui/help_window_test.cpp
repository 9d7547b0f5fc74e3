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
#include "ui/transfer_dialog.h"
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

// The message texts of the program: the string literals (and the k-constants they name) of
// every statement of src/ that shows a message box (ShowMessage, ErrorBox, Message({...}), a
// request's .text, a text starting from a k-constant), line by line; fragments of fewer than
// four characters or two letters are left out. The command line's own texts (src/cli) are not
// boxes.
std::set<std::string> ProgramMessages() {
    const std::regex constant(R"re(\b(k\w+)\s*=\s*"((?:[^"\\]|\\.)*)")re");
    const std::regex statement(
        R"((ShowMessage\(|ErrorBox\(|Message\(\s*\{|\.text\s*=|std::string text = (?=k[A-Z]))[^;]*)");
    const std::regex literal(R"re("((?:[^"\\]|\\.)*)"|\b(k[A-Z]\w*))re");
    std::map<std::string, std::string> constants;
    std::vector<std::string> statements;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(kDoc / "../src")) {
        if (entry.path().generic_string().find("/src/cli/") == std::string::npos &&
            (entry.path().extension() == ".cpp" || entry.path().extension() == ".h")) {
            // Literals split over lines are joined first.
            const std::string text =
                std::regex_replace(ReadText(entry.path()), std::regex(R"("\s*\n\s*")"), "");
            for (std::sregex_iterator m(text.begin(), text.end(), constant), end; m != end; ++m) {
                constants[(*m)[1]] = (*m)[2];
            }
            for (std::sregex_iterator m(text.begin(), text.end(), statement), end; m != end; ++m) {
                statements.push_back(m->str());
            }
        }
    }
    std::set<std::string> messages;
    for (const std::string& s : statements) {
        for (std::sregex_iterator m(s.begin(), s.end(), literal), end; m != end; ++m) {
            const std::string text = (*m)[1].matched ? (*m)[1].str() : constants[(*m)[2]];
            std::istringstream lines(std::regex_replace(text, std::regex(R"((\\[rn])+)"), "\n"));
            for (std::string line; std::getline(lines, line);) {
                line = std::regex_replace(line, std::regex(R"(^\s+|\s+$)"), "");
                if (line.size() > 3 && std::regex_search(line, std::regex("[A-Za-z].*[A-Za-z]"))) {
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

    // Help > Contents, F1 on each panel and the transfer dialog's Help and F1 open their
    // topics; without a guide the message that there is no help stays.
    void eachHelpCommandOpensItsTopic() {
        testing::RadioHarness h;
        QVERIFY(h.Start());
        InstallHelpWindow(*h.window, kDoc);
        h.Action("mnuHelpContents")->trigger();
        auto* help = h.Find<QWidget>("frmHelp");
        QVERIFY(help != nullptr && help->isVisible());
        QCOMPARE(Heading(help), QString("Getting started"));
        const char* directories = "Individual and group directories";
        const std::pair<const char*, const char*> kPanels[] = {
            {"General", "Getting started"},
            {"PU", "Channel groups and channels"},
            {"SG1", directories}};
        for (const auto& [node, heading] : kPanels) {
            QVERIFY2(h.window->SelectNodeByKey(node), node);
            QTest::keyClick(h.window.get(), Qt::Key_F1);
            QVERIFY2(Heading(help) == heading, node);
        }
        TransferDialog dialog(h.config, h.radio, kModeRead, h.window.get());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QTest::mouseClick(dialog.findChild<QPushButton*>("cmdHelp"), Qt::LeftButton);
        help = dialog.findChild<QWidget*>("frmHelp");  // over the modal dialog, not blocked by it
        QVERIFY(help != nullptr && help->isVisible());
        QCOMPARE(Heading(help), QString("Transferring"));

        SetHelpViewer({});
        ShowHelp(h.prompt, "Read from Radio", kHelpTopicTransfer);
        QCOMPARE(h.prompt.Texts().at(0), std::string("Unable to display Help Contents. There is "
                                                     "no Help associated with this project."));
    }

    // Every link between topics and every picture resolves; Back returns from a followed
    // link; the search lists the topics holding every word typed.
    void linksPicturesAndSearch() {
        HelpWindow help(FindGuideFolder(kDoc));
        QStringList broken;
        int links = 0;
        for (const HelpTopic& topic : HelpTopics()) {
            help.ShowTopic(topic.number);
            for (QTextBlock b = Page(&help)->document()->begin(); b.isValid(); b = b.next()) {
                for (auto it = b.begin(); !it.atEnd(); ++it) {
                    const QTextCharFormat format = it.fragment().charFormat();
                    const QString target = format.isImageFormat()
                                               ? format.toImageFormat().name()
                                               : format.anchorHref().section('#', 0, 0);
                    links += target.isEmpty() ? 0 : 1;
                    if (!target.isEmpty() && !target.contains(':') &&
                        !std::filesystem::is_regular_file(kGuide / target.toStdString())) {
                        broken << QString("%1: %2").arg(topic.file, target);
                    }
                }
            }
        }
        QVERIFY2(broken.isEmpty(), qPrintable(broken.join("\n")));
        QVERIFY(links > 30);

        help.ShowTopic(kHelpTopicContents);

        auto* list = help.findChild<QListWidget*>("lstHelpTopics");
        QCOMPARE(list->count(), static_cast<int>(HelpTopics().size()));
        QTest::keyClicks(help.findChild<QLineEdit*>("txtHelpSearch"), "DIALOUT adduser");
        QVERIFY(!list->findItems("Getting started", Qt::MatchExactly).isEmpty());
        QVERIFY(list->findItems("Weather channels", Qt::MatchExactly).isEmpty());
        QTest::keyClicks(help.findChild<QLineEdit*>("txtHelpSearch"), " xyzzy");
        QCOMPARE(list->count(), 0);
    }

    // Every message text the program can show is explained in Troubleshooting.
    void troubleshootingHoldsEveryMessage() {
        const std::string guide = ReadText(kGuide / "troubleshooting.md");
        const std::set<std::string> messages = ProgramMessages();
        QVERIFY(messages.count("Radio is busy!!") == 1 && messages.size() > 40);
        int missing = 0;
        for (const std::string& message : messages) {
            if (guide.find(message) == std::string::npos) {
                qWarning("doc/guide/troubleshooting.md lacks the message text: %s",
                         message.c_str());
                ++missing;
            }
        }
        QVERIFY2(missing == 0, "message texts missing from the Troubleshooting topic");
    }
};

}  // namespace mrw

QTEST_MAIN(mrw::HelpWindowTest)
#include "help_window_test.moc"
