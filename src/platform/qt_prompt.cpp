#include "platform/qt_prompt.h"

#include <QApplication>
#include <QCursor>
#include <QFileDialog>
#include <QMessageBox>
#include <QStringList>
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

}  // namespace

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

}  // namespace mrw
