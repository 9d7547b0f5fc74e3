// The main window's files by name and own defaults: File > Open Recent, the start-up file
// argument, files dropped on the window, File > Save As Default, Options > Use Factory
// Defaults and the General page's line on the default in use.
#include <QAction>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <filesystem>
#include <system_error>

#include "core/recent_files.h"
#include "core/text.h"
#include "files/user_defaults.h"
#include "platform/qt_folders.h"
#include "ui/main_window.h"

namespace mrw {

namespace {

// The one local .dat or .hex file a drag carries; empty for anything else.
QString DraggedFile(const QMimeData* data) {
    if (data == nullptr || !data->hasUrls() || data->urls().size() != 1 ||
        !data->urls().front().isLocalFile()) {
        return {};
    }
    const QString path = data->urls().front().toLocalFile();
    const bool ours =
        path.endsWith(".dat", Qt::CaseInsensitive) || path.endsWith(".hex", Qt::CaseInsensitive);
    return ours ? path : QString();
}

}  // namespace

// ---- Files by name ---------------------------------------------------------------------------

void MainWindow::OpenFileByName(const std::string& path) {
    if (EndsWithIgnoreCase(path, ".hex")) {
        OpenImage(path);
    } else {
        OpenSettings(path);
    }
}

void MainWindow::OpenStartupFile(const std::string& path) {
    // Through Qt's UTF-16: the path of a narrow string is in the code page on Windows.
    std::error_code ec;
    const std::filesystem::path absolute =
        std::filesystem::absolute(PathFromQString(QString::fromStdString(path)), ec);
    const std::string name = ec ? path : QStringFromPath(absolute.lexically_normal()).toStdString();
    RunCommand([this, name] { OpenFileByName(name); });
}

bool MainWindow::HandleFileDrop(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop) {
        return false;
    }
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr || widget->window() != this) {
        return false;
    }
    auto* drop = static_cast<QDropEvent*>(event);
    const QString path = DraggedFile(drop->mimeData());
    if (path.isEmpty()) {
        return false;  // the widget under the pointer treats it as before
    }
    drop->acceptProposedAction();
    if (type == QEvent::Drop) {
        // The application the file came from waits for the drop to end: the file opens, and
        // asks its questions, afterwards.
        QTimer::singleShot(0, this, [this, name = path.toStdString()] {
            RunCommand([this, name] { OpenFileByName(name); });
        });
    }
    return true;
}

// ---- File > Open Recent ----------------------------------------------------------------------

void MainWindow::BuildRecentMenu(QMenu* file) {
    recentMenu_ = file->addMenu("Open &Recent");
    recentMenu_->setObjectName("mnuFileRecent");
    recentMenu_->setToolTipsVisible(true);
    for (int i = 0; i < kRecentFilesMax; ++i) {
        QAction* entry = recentMenu_->addAction(QString());
        entry->setObjectName(QString("mnuFileRecent_%1").arg(i));
        entry->setVisible(false);
        ConnectCommand(entry, [this, i] {
            if (i < static_cast<int>(recentPaths_.size())) {
                OpenFileByName(recentPaths_[static_cast<size_t>(i)]);
            }
        });
        recentEntries_.push_back(entry);
    }
    recentMenu_->addSeparator();
    recentClear_ = recentMenu_->addAction("&Clear Menu");
    recentClear_->setObjectName("mnuFileRecentClear");
    ConnectCommand(recentClear_, [this] {
        SaveRecentFiles(config_.settings(), {});
        RefreshRecentMenu();
    });
    connect(file, &QMenu::aboutToShow, this, &MainWindow::RefreshRecentMenu);
    connect(recentMenu_, &QMenu::aboutToShow, this, &MainWindow::RefreshRecentMenu);
}

void MainWindow::RefreshRecentMenu() {
    recentPaths_ = LoadRecentFiles(config_.settings());
    for (size_t i = 0; i < recentEntries_.size(); ++i) {
        QAction* entry = recentEntries_[i];
        entry->setVisible(i < recentPaths_.size());
        if (!entry->isVisible()) {
            continue;
        }
        const std::string& path = recentPaths_[i];
        std::error_code ec;
        const bool present = std::filesystem::is_regular_file(path, ec);
        const QString shown = QString::fromStdString(path);
        QString name = QFileInfo(shown).fileName();
        entry->setText(QString("&%1 %2").arg(i + 1).arg(name.replace('&', "&&")));
        entry->setToolTip(present ? shown : shown + " (not found)");
        entry->setEnabled(present);
    }
    recentClear_->setEnabled(!recentPaths_.empty());
    recentMenu_->setEnabled(!recentPaths_.empty());
}

// ---- The user's own defaults -----------------------------------------------------------------

void MainWindow::FileSaveAsDefault() {
    if (!CommitPendingEdit()) {
        return;
    }
    if (SaveAsDefault(config_) == Outcome::Done) {
        statusPanels_[1]->setText("Saved as default");
        statusTimer_->start();
    }
    RefreshDefaultsInfo();
}

void MainWindow::UseFactoryDefaults() {
    if (mrw::UseFactoryDefaults(config_) == Outcome::Done) {
        statusPanels_[1]->setText("Own default removed");
        statusTimer_->start();
    }
    RefreshDefaultsInfo();
}

void MainWindow::RefreshDefaultsInfo() {
    if (generalDefaults_ == nullptr || factoryDefaultsAction_ == nullptr) {
        return;
    }
    const DefaultsInUse& in = config_.defaults;
    const QString region = QString::fromStdString(in.region);
    QString text;
    if (in.own) {
        text = QString("New starts from: your own default (%1, saved %2)")
                   .arg(region, QString::fromStdString(in.savedAt));
    } else if (!region.isEmpty()) {
        text = QString("New starts from: the factory default (%1)").arg(region);
    }
    generalDefaults_->setText(text);
    generalDefaults_->setToolTip(
        "New and the start of the program begin from this default of the model and region. "
        "File > Save As Default makes the present configuration your own default; Options > "
        "Use Factory Defaults removes it.");
    factoryDefaultsAction_->setEnabled(HasOwnDefault(config_));
}

}  // namespace mrw
