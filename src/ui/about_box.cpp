#include "ui/about_box.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "core/config.h"
#include "ui/app_icon.h"

namespace mrw {

std::string VersionText() {
    return "Version " + std::to_string(MRW_VERSION_MAJOR) + "." +
           std::to_string(MRW_VERSION_MINOR) + "." + std::to_string(MRW_VERSION_PATCH);
}

AboutBox::AboutBox(QWidget* parent) : QDialog(parent) {
    setObjectName("frmAbout");
    setWindowTitle("Version Infomation");
    setFixedSize(340, 251);

    auto* icon = new QLabel(this);
    icon->setObjectName("picIcon");
    icon->setPixmap(ApplicationIcon().pixmap(48, 48));
    icon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    auto* title = new QLabel(QString(kAppTitle) + "  Marine Radio Workbench", this);
    title->setObjectName("lblTitle");
    QFont titleFont = title->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.2);
    title->setFont(titleFont);

    auto* version = new QLabel(QString::fromStdString(VersionText()), this);
    version->setObjectName("lblVersion");

    const QStringList notice = {
        "Prepares the configuration of marine VHF radios",
        "with DSC and ATIS and transfers it over a serial cable.",
        "",
        "Check every setting before you program a radio:",
        "the radio must be set up correctly for use at sea.",
    };
    auto* description = new QLabel(notice.join("\n"), this);
    description->setObjectName("lblDescription");
    description->setWordWrap(true);

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

void ShowHelp(Prompt& prompt, const std::string& windowCaption, int /*topic*/) {
    // No help file is configured, so there is no help engine to call with the topic.
    MessageRequest request;
    request.text =
        "Unable to display Help Contents. There is no Help associated with this project.";
    request.title = windowCaption;
    request.icon = Icon::Information;
    request.buttons = Buttons::Ok;
    prompt.Message(request);
}

}  // namespace mrw
