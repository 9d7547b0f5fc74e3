#include "platform/qt_prompt.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCursor>
#include <QFileDialog>
#include <QFontMetrics>
#include <QGridLayout>
#include <QInputDialog>
#include <QMessageBox>
#include <QScreen>
#include <QSpacerItem>
#include <QStringList>
#include <algorithm>
#include <vector>

#include "core/text.h"

namespace mrw {

namespace {

QMessageBox::Icon ToQtIcon(Icon icon) {
    switch (icon) {
        case Icon::Critical:
            return QMessageBox::Critical;
        case Icon::Exclamation:
            return QMessageBox::Warning;
        case Icon::Information:
            return QMessageBox::Information;
        case Icon::Question:
            return QMessageBox::Question;
        case Icon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons ToQtButtons(Buttons buttons) {
    switch (buttons) {
        case Buttons::Ok:
            return QMessageBox::Ok;
        case Buttons::OkCancel:
            return QMessageBox::Ok | QMessageBox::Cancel;
        case Buttons::YesNo:
            return QMessageBox::Yes | QMessageBox::No;
        case Buttons::YesNoCancel:
            return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        case Buttons::RetryCancel:
            return QMessageBox::Retry | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

QMessageBox::StandardButton ToQtButton(Answer answer) {
    switch (answer) {
        case Answer::Ok:
            return QMessageBox::Ok;
        case Answer::Cancel:
            return QMessageBox::Cancel;
        case Answer::Yes:
            return QMessageBox::Yes;
        case Answer::No:
            return QMessageBox::No;
        case Answer::Retry:
            return QMessageBox::Retry;
    }
    return QMessageBox::Ok;
}

// While a box or file dialog is open the pointer is the normal one, whatever pointer the work
// that asked for it put over the application; that pointer comes back when the box closes.
class OverrideCursorLift {
public:
    OverrideCursorLift() {
        while (const QCursor* cursor = QGuiApplication::overrideCursor()) {
            lifted_.push_back(*cursor);
            QGuiApplication::restoreOverrideCursor();
        }
    }
    ~OverrideCursorLift() {
        for (auto it = lifted_.crbegin(); it != lifted_.crend(); ++it) {
            QGuiApplication::setOverrideCursor(*it);
        }
    }
    OverrideCursorLift(const OverrideCursorLift&) = delete;
    OverrideCursorLift& operator=(const OverrideCursorLift&) = delete;

private:
    std::vector<QCursor> lifted_;
};

// Room a title bar takes besides its text: the window icon and the close, minimise and
// maximise buttons that a window manager may draw, with their margins.
constexpr int kTitleBarChrome = 160;

// The name filter (Qt form) whose pattern is "*.<suffix>", empty when there is none.
QString FilterOfSuffix(const QStringList& filters, const QString& suffix) {
    for (const QString& filter : filters) {
        if (filter.endsWith("(*." + suffix + ")", Qt::CaseInsensitive)) {
            return filter;
        }
    }
    return {};
}

}  // namespace

int MessageBoxMinimumWidth(const QString& title) {
    QFont font = QApplication::font("QMdiSubWindowTitleBar");
    font.setBold(true);  // title bars often show the caption in bold
    const int wanted = QFontMetrics(font).horizontalAdvance(title) + kTitleBarChrome;
    const QScreen* screen = QGuiApplication::primaryScreen();
    const int limit = screen != nullptr ? screen->availableGeometry().width() * 3 / 4 : wanted;
    return std::min(wanted, limit);
}

QString ToQtNameFilters(const std::string& filter) {
    const std::vector<std::string> parts = Split(filter, "|");
    QStringList filters;
    for (size_t i = 0; i + 1 < parts.size(); i += 2) {
        QString pattern = QString::fromStdString(parts[i + 1]);
        if (pattern == "*.*") {
            pattern = "*";
        }
        pattern.replace(';', ' ');
        filters << QString::fromStdString(parts[i]) + " (" + pattern + ")";
    }
    return filters.join(";;");
}

QWidget* QtPrompt::Owner() const {
    if (parent_) {
        return parent_;
    }
    return QApplication::activeWindow();
}

Answer QtPrompt::Message(const MessageRequest& request) {
    // A box asked for before any title exists (start-up) carries the application's name.
    QString title = QString::fromStdString(request.title);
    if (title.isEmpty()) {
        title = QApplication::applicationName();
    }
    QMessageBox box(ToQtIcon(request.icon), title, QString::fromStdString(request.text),
                    ToQtButtons(request.buttons), Owner());
    // A short text makes a narrow box whose title bar would cut the caption ("Read f...
    // Radio"). The box fixes its own size from its layout, so the least width goes there.
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
        grid->addItem(new QSpacerItem(MessageBoxMinimumWidth(title), 0, QSizePolicy::Fixed,
                                      QSizePolicy::Minimum),
                      grid->rowCount(), 0, 1, grid->columnCount());
    }
    if (QAbstractButton* ok = box.button(QMessageBox::Ok);
        ok != nullptr && !request.okText.empty()) {
        ok->setText(QString::fromStdString(request.okText));
    }
    if (!request.details.empty()) {
        box.setDetailedText(QString::fromStdString(request.details));
    }
    const QMessageBox::StandardButton preferred = ToQtButton(request.defaultButton);
    if (box.button(preferred) != nullptr) {
        box.setDefaultButton(preferred);
    }
    const OverrideCursorLift lift;
    const int result = box.exec();
    switch (result) {
        case QMessageBox::Ok:
            return Answer::Ok;
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        case QMessageBox::Retry:
            return Answer::Retry;
        case QMessageBox::Cancel:
            return Answer::Cancel;
        default:
            break;
    }
    // Closed without a button: the box's own escape answer.
    switch (request.buttons) {
        case Buttons::Ok:
            return Answer::Ok;
        case Buttons::YesNo:
            return Answer::No;
        default:
            return Answer::Cancel;
    }
}

std::string QtPrompt::FileDialog(const FileDialogRequest& request) {
    QFileDialog dialog(Owner(), QString::fromStdString(request.title),
                       QString::fromStdString(request.folder), ToQtNameFilters(request.filter));
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(!request.save && request.mustExist ? QFileDialog::ExistingFile
                                                          : QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.overwritePrompt);
    dialog.setOption(QFileDialog::HideNameFilterDetails, true);
    if (!request.initialName.empty()) {
        dialog.selectFile(QString::fromStdString(request.initialName));
    }
    // The extension is added while its own filter is chosen; "All files" takes names as typed.
    const QString suffix = QString::fromStdString(request.defaultSuffix);
    const QString suffixFilter = FilterOfSuffix(dialog.nameFilters(), suffix);
    if (!suffix.isEmpty() && !suffixFilter.isEmpty()) {
        // With the filter details hidden the dialog names a filter by its description alone.
        const QString shown = suffixFilter.left(suffixFilter.lastIndexOf(" ("));
        auto follow = [&dialog, suffix, suffixFilter, shown](const QString& chosen) {
            const bool matches = chosen == suffixFilter || chosen == shown;
            dialog.setDefaultSuffix(matches ? suffix : QString());
        };
        follow(dialog.selectedNameFilter());
        QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, follow);
    }
    const OverrideCursorLift lift;
    if (dialog.exec() != QDialog::Accepted) {
        return {};
    }
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty()) {
        return {};
    }
    return files.first().toStdString();
}

std::string QtPrompt::TextInput(const TextInputRequest& request) {
    QInputDialog dialog(Owner());
    dialog.setWindowTitle(QString::fromStdString(request.title));
    dialog.setLabelText(QString::fromStdString(request.label));
    dialog.setTextValue(QString::fromStdString(request.text));
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setMinimumWidth(MessageBoxMinimumWidth(dialog.windowTitle()));
    const OverrideCursorLift lift;
    if (dialog.exec() != QDialog::Accepted) {
        return {};
    }
    return dialog.textValue().trimmed().toStdString();
}

}  // namespace mrw
