// Message boxes and file dialogs of the desktop program, behind the Prompt service.
#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

#include "core/services.h"

namespace mrw {

/// Turns a "description|pattern|description|pattern" filter into Qt's name-filter form
/// ("description (pattern);;..."). The pattern "*.*" becomes "*" so that files without an
/// extension are listed too.
QString ToQtNameFilters(const std::string& filter);

/// The least width of a message box whose caption is `title`: the caption in the window title
/// font, with room for the window's icon and buttons, so that the title bar does not cut it.
int MessageBoxMinimumWidth(const QString& title);

/// Shows QMessageBox, QFileDialog and QInputDialog windows owned by the given parent window.
/// While one is open no application-wide override pointer (an hourglass) is in force.
class QtPrompt : public Prompt {
public:
    explicit QtPrompt(QWidget* parent = nullptr) : parent_(parent) {}
    /// The window the boxes and dialogs belong to (the active window when none is set).
    void SetParent(QWidget* parent) { parent_ = parent; }

    Answer Message(const MessageRequest& request) override;
    std::string FileDialog(const FileDialogRequest& request) override;
    std::string TextInput(const TextInputRequest& request) override;

private:
    QWidget* Owner() const;
    QPointer<QWidget> parent_;
};

}  // namespace mrw
