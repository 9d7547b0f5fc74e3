#include "ui/help_window.h"

#include <QApplication>
#include <QFile>
#include <QHBoxLayout>
#include <QImageReader>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QSplitter>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>
#include <QVBoxLayout>
#include <memory>
#include <utility>

#include "core/config.h"
#include "platform/qt_folders.h"
#include "ui/about_box.h"
#include "ui/main_window.h"

namespace mrw {

const std::vector<HelpTopic>& HelpTopics() {
    // The numbers the program opens: 1001 Help > Contents, 1012 the transfer dialog, the
    // others F1 on a panel (HelpTopicOfPanel).
    static const std::vector<HelpTopic> kTopics = {
        {kHelpTopicContents, "getting-started.md"},
        {kHelpTopicTransfer, "transferring.md"},
        {1002, "channels.md"},
        {1003, "weather.md"},
        {1004, "usable-groups.md"},
        {1005, "common-setup.md"},
        {1006, "dsc-setup.md"},
        {1007, "atis-setup.md"},
        {1008, "directories.md"},
        {1009, "mmsi-and-atis.md"},
        {1010, "csv-and-command-line.md"},
        {1011, "troubleshooting.md"},
    };
    return kTopics;
}

std::string HelpTopicFile(int topic) {
    for (const HelpTopic& t : HelpTopics()) {
        if (t.number == topic) {
            return t.file;
        }
    }
    return HelpTopicFile(kHelpTopicContents);
}

std::filesystem::path FindGuideFolder(const std::filesystem::path& programFolder) {
    const std::filesystem::path folder = programFolder / "guide";
    std::error_code error;
    if (std::filesystem::is_regular_file(folder / HelpTopicFile(kHelpTopicContents), error)) {
        return folder;
    }
    return {};
}

namespace {

QString FileText(const std::filesystem::path& path) {
    QFile file(QStringFromPath(path));
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return QString::fromUtf8(file.readAll());
}

QString FirstHeading(const QString& markdown) {
    const QRegularExpressionMatch match =
        QRegularExpression("^# +(.+)$", QRegularExpression::MultilineOption).match(markdown);
    return match.hasMatch() ? match.captured(1).trimmed() : QString();
}

}  // namespace

HelpWindow::HelpWindow(std::filesystem::path guideFolder, QWidget* parent)
    : QWidget(parent, Qt::Window), folder_(std::move(guideFolder)) {
    setObjectName("frmHelp");
    setWindowTitle(QString(kAppTitle) + " Help");
    resize(960, 680);

    back_ = new QPushButton("< Back", this);
    back_->setObjectName("cmdHelpBack");
    back_->setEnabled(false);
    forward_ = new QPushButton("Forward >", this);
    forward_->setObjectName("cmdHelpForward");
    forward_->setEnabled(false);
    auto* contents = new QPushButton("Contents", this);
    contents->setObjectName("cmdHelpContents");
    search_ = new QLineEdit(this);
    search_->setObjectName("txtHelpSearch");
    search_->setPlaceholderText("Search the help: type words");
    search_->setClearButtonEnabled(true);

    topics_ = new QListWidget(this);
    topics_->setObjectName("lstHelpTopics");
    page_ = new QTextBrowser(this);
    page_->setObjectName("txtHelpPage");
    page_->setOpenExternalLinks(true);
    page_->setSearchPaths({QStringFromPath(folder_)});

    auto* bar = new QHBoxLayout;
    bar->addWidget(back_);
    bar->addWidget(forward_);
    bar->addWidget(contents);
    bar->addWidget(search_, 1);
    auto* splitter = new QSplitter(this);
    splitter->addWidget(topics_);
    splitter->addWidget(page_);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({250, 710});
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(splitter, 1);

    for (const HelpTopic& topic : HelpTopics()) {
        const QString text = FileText(folder_ / topic.file);
        texts_.emplace_back(FirstHeading(text), text);
    }
    ListTopics({});

    connect(page_, &QTextBrowser::sourceChanged, this, &HelpWindow::FitPictures);
    connect(back_, &QPushButton::clicked, page_, &QTextBrowser::backward);
    connect(forward_, &QPushButton::clicked, page_, &QTextBrowser::forward);
    connect(page_, &QTextBrowser::backwardAvailable, back_, &QWidget::setEnabled);
    connect(page_, &QTextBrowser::forwardAvailable, forward_, &QWidget::setEnabled);
    connect(contents, &QPushButton::clicked, this, [this] { ShowTopic(kHelpTopicContents); });
    connect(search_, &QLineEdit::textChanged, this, &HelpWindow::Search);
    connect(topics_, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
        ShowFile(item->data(Qt::UserRole).toString().toStdString());
        // The first place of the first word searched for is selected.
        const QString first = search_->text().split(' ', Qt::SkipEmptyParts).value(0);
        if (!first.isEmpty()) {
            page_->find(first);
        }
    });
    connect(topics_, &QListWidget::itemClicked, topics_, &QListWidget::itemActivated);
}

void HelpWindow::ShowTopic(int topic) {
    ShowFile(HelpTopicFile(topic));
}

void HelpWindow::ShowFile(const std::string& file) {
    const QUrl url = QUrl::fromLocalFile(QStringFromPath(folder_ / file));
    if (page_->source() != url) {
        page_->setSource(url, QTextDocument::MarkdownResource);
    }
}

void HelpWindow::FitPictures() {
    // Pictures of the whole window are shown at most kPictureWidth wide, so that a page reads
    // without scrolling sideways.
    constexpr int kPictureWidth = 600;
    QTextDocument* document = page_->document();
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.charFormat().isImageFormat()) {
                continue;
            }
            QTextImageFormat format = fragment.charFormat().toImageFormat();
            const QSize size =
                QImageReader(QStringFromPath(folder_ / PathFromQString(format.name()))).size();
            if (size.width() <= kPictureWidth) {
                continue;
            }
            format.setWidth(kPictureWidth);
            format.setHeight(size.height() * kPictureWidth / size.width());
            QTextCursor cursor(document);
            cursor.setPosition(fragment.position());
            cursor.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
            cursor.setCharFormat(format);
        }
    }
}

void HelpWindow::Search(const QString& words) {
    ListTopics(words.split(' ', Qt::SkipEmptyParts));
}

void HelpWindow::ListTopics(const QStringList& words) {
    topics_->clear();
    for (size_t i = 0; i < texts_.size(); ++i) {
        const auto& [title, text] = texts_[i];
        bool all = !title.isEmpty();  // a topic whose file is missing is not listed
        for (const QString& word : words) {
            all = all && text.contains(word, Qt::CaseInsensitive);
        }
        if (all) {
            auto* item = new QListWidgetItem(title, topics_);
            item->setData(Qt::UserRole, QString(HelpTopics()[i].file));
        }
    }
}

void InstallHelpWindow(MainWindow& window, const std::filesystem::path& programFolder) {
    const std::filesystem::path guide = FindGuideFolder(programFolder);
    if (guide.empty()) {
        return;
    }
    auto shown = std::make_shared<QPointer<HelpWindow>>();
    auto viewer = [guide, shown, &window](int topic) {
        // A modal dialog blocks every window but its own: the help opens over the dialog then.
        QWidget* owner = QApplication::activeModalWidget();
        if (owner == nullptr) {
            owner = &window;
        }
        if (*shown != nullptr && (*shown)->parentWidget() != owner) {
            (*shown)->deleteLater();
            *shown = nullptr;
        }
        if (*shown == nullptr) {
            *shown = new HelpWindow(guide, owner);
            (*shown)->setAttribute(Qt::WA_DeleteOnClose);
        }
        (*shown)->ShowTopic(topic);
        (*shown)->show();
        (*shown)->raise();
        (*shown)->activateWindow();
    };
    SetHelpViewer(viewer);
}

}  // namespace mrw
