#include "ui/about_box.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <utility>

#include "core/config.h"
#include "ui/app_icon.h"

namespace mrw {

std::string VersionText() {
    return "Version " + std::to_string(MRW_VERSION_MAJOR) + "." +
           std::to_string(MRW_VERSION_MINOR) + "." + std::to_string(MRW_VERSION_PATCH);
}

QString AboutNotice() {
    const QStringList paragraphs = {
        "Prepares the configuration of marine VHF radios with DSC and ATIS and transfers it "
        "over a serial cable.",
        "Check every setting before you program a radio: the radio must be set up correctly "
        "for use at sea.",
    };
    QStringList lines;
    for (QString paragraph : paragraphs) {
        // The last two words stay together, so that no line holds a single word.
        const qsizetype last = paragraph.lastIndexOf(' ');
        if (last > 0) {
            paragraph[last] = QChar::Nbsp;
        }
        lines << paragraph;
    }
    return lines.join("\n\n");
}

AboutBox::AboutBox(QWidget* parent) : QDialog(parent) {
    setObjectName("frmAbout");
    setWindowTitle("Version Infomation");
    setFixedSize(340, 251);
    // A fixed-size window: a title and a close button, nothing to minimise or maximise.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);

    auto* icon = new QLabel(this);
    icon->setObjectName("picIcon");
    icon->setPixmap(ApplicationIcon().pixmap(48, 48));
    icon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    auto* title = new QLabel(QString(kAppTitle) + "  Marine Radio Workbench", this);
    title->setObjectName("lblTitle");
    title->setWordWrap(true);
    QFont titleFont = title->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.2);
    title->setFont(titleFont);

    auto* version = new QLabel(QString::fromStdString(VersionText()), this);
    version->setObjectName("lblVersion");

    // Paragraphs wrap at word boundaries to the width of the box.
    auto* description = new QLabel(AboutNotice(), this);
    description->setObjectName("lblDescription");
    description->setWordWrap(true);
    description->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("cmdOK");
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QGridLayout(this);
    layout->addWidget(icon, 0, 0, 3, 1);
    layout->addWidget(title, 0, 1);
    layout->addWidget(version, 1, 1);
    layout->addWidget(description, 2, 1);
    layout->addWidget(ok, 3, 1, Qt::AlignRight);
    layout->setColumnStretch(1, 1);
    layout->setRowStretch(2, 1);
}

int HelpTopicOfPanel(const std::string& panel) {
    static const std::pair<const char*, int> kTopics[] = {
        {"pictB", 1002},      {"pictC", 1002},      {"pictD", 1003},
        {"pictUsable", 1004}, {"pictCommon", 1005}, {"pictDSC", 1006},
        {"pictATIS", 1007},   {"pictE", 1008},      {"pictG", 1008}};
    for (const auto& [name, topic] : kTopics) {
        if (panel == name) {
            return topic;
        }
    }
    return kHelpTopicContents;
}

namespace {
std::function<void(int)>& HelpViewer() {
    static std::function<void(int)> viewer;
    return viewer;
}
}  // namespace

void SetHelpViewer(std::function<void(int)> viewer) {
    HelpViewer() = std::move(viewer);
}

void ShowHelp(Prompt& prompt, const std::string& windowCaption, int topic) {
    if (HelpViewer()) {
        HelpViewer()(topic);
        return;
    }
    // Without the guide there is nothing to show the topic with.
    MessageRequest request;
    request.text =
        "Unable to display Help Contents. There is no Help associated with this project.";
    request.title = windowCaption;
    request.icon = Icon::Information;
    request.buttons = Buttons::Ok;
    prompt.Message(request);
}

}  // namespace mrw
