// The report window (Print to File) and the printed report (Print).
#pragma once

#include <QDialog>
#include <string>

#include "core/config.h"

class QAction;
class QPlainTextEdit;
class QPrinter;
class QPushButton;
class QTimer;

namespace mrw {

/// The report window `frmPrn`: shows the settings report, built by its one-shot timer
/// `Timer1` once the window is up, and saves it as a text file.
class ReportWindow : public QDialog {
    Q_OBJECT
public:
    explicit ReportWindow(Config& config, QWidget* parent = nullptr);

    /// The report shown, lines separated by CR LF; empty until the timer has built it.
    const std::string& reportText() const { return report_; }

public slots:
    /// Timer1: builds the report text (hourglass, window disabled, 500 ms pause).
    void BuildReportText();
    /// mnuFileSave: asks for a file name and writes the report followed by one line end.
    void SaveReport();

protected:
    void showEvent(QShowEvent* event) override;

private:
    Config& config_;
    std::string report_;
    QPlainTextEdit* text_ = nullptr;
    QTimer* timer_ = nullptr;
    QAction* save_ = nullptr;
    bool started_ = false;
};

/// Print to File: opens the report window as a modal window and waits until it is closed.
void ShowReportWindow(QWidget* parent, Config& config);

/// Print: prints the report on the default printer; where the system has no printer, the
/// print dialog lets the user choose a destination (a PDF file, for example).
void PrintReport(QWidget* parent, Config& config);

/// Draws the report on `printer` page by page. False, with a description in `error`, when the
/// printer cannot be started.
bool DrawReport(QPrinter& printer, const Config& config, std::string* error = nullptr);

}  // namespace mrw
