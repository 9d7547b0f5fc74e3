// The printed report: the sections of the settings report drawn page by page, the channel
// tables with their cells at fixed millimetre positions.
#include <QApplication>
#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <algorithm>
#include <array>
#include <exception>
#include <vector>

#include "core/log.h"
#include "report/report.h"
#include "ui/fixed_font.h"
#include "ui/report_window.h"

namespace mrw {

namespace {

constexpr const char* kHeading = " Marine Radio Workbench";
constexpr double kFontPoints = 8.0;
constexpr double kMmPerInch = 25.4;

// Widths in millimetres whose running sums place the cells of the channel tables.
constexpr std::array<double, 11> kStandardTableMm = {0, 12, 17, 17, 8, 9, 8, 20, 9, 8, 8};
constexpr std::array<double, 17> kUserTableMm = {0, 12, 10, 10, 10, 12, 18, 18, 8,
                                                 8, 8,  8,  22, 7,  15, 7,  15};

// The sections that share a heading line; each group starts on a new page.
int PrintGroup(ReportSectionId id) {
    if (id <= ReportSectionId::AtisCommon) {
        return 0;
    }
    if (id <= ReportSectionId::ChWx) {
        return 1;
    }
    if (id <= ReportSectionId::GroupDirectory) {
        return 2;
    }
    return 3;
}

template <std::size_t N>
std::vector<double> RunningSums(const std::array<double, N>& widths) {
    std::vector<double> out;
    double sum = 0;
    for (double w : widths) {
        sum += w;
        out.push_back(sum);
    }
    return out;
}

// Lays lines out from the top of the printable area, starting a new page when the next line
// does not fit. A line is never split; nothing is repeated on the next page. With a page
// range chosen in the print dialog, only the pages in that range reach the printer.
class PageWriter {
public:
    PageWriter(QPrinter& printer, QPainter& painter, const QFont& font)
        : printer_(printer), painter_(painter), metrics_(font, &printer) {
        const double dpi = printer.resolution();
        pxPerMm_ = dpi / kMmPerInch;
        pageHeight_ = printer.pageLayout().paintRectPixels(printer.resolution()).height();
        lineHeight_ = metrics_.lineSpacing();
        charWidth_ = metrics_.horizontalAdvance(QLatin1Char('M'));
        if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
            firstPage_ = printer.fromPage();
            lastPage_ = std::max(printer.toPage(), firstPage_);
        }
    }

    double Mm(double mm) const { return mm * pxPerMm_; }
    double Chars(int n) const { return n * charWidth_; }
    bool AtPageTop() const { return y_ == 0; }

    void NewPage() {
        if (!AtPageTop() || pageUsed_) {
            NextPage();
        }
        y_ = 0;
        pageUsed_ = false;
    }

    // Starts a line: a new page when it would not fit.
    void BeginLine() {
        if (y_ > 0 && y_ + lineHeight_ > pageHeight_) {
            NextPage();
            y_ = 0;
        }
        pageUsed_ = true;
    }
    void EndLine() { y_ += lineHeight_; }

    void Blank() {
        if (!AtPageTop()) {
            BeginLine();
            EndLine();
        }
    }

    void Draw(double x, const QString& text) {
        if (Printed(page_)) {
            painter_.drawText(QPointF(x, y_ + metrics_.ascent()), text);
        }
    }

    void TextLine(const std::string& text) {
        BeginLine();
        Draw(0, QString::fromStdString(text));
        EndLine();
    }

    // One row of cells at the given horizontal positions.
    void CellLine(const std::vector<std::string>& cells, const std::vector<double>& xs) {
        BeginLine();
        for (std::size_t i = 0; i < cells.size() && i < xs.size(); ++i) {
            Draw(xs[i], QString::fromStdString(cells[i]));
        }
        EndLine();
    }

private:
    bool Printed(int page) const {
        return firstPage_ == 0 || (page >= firstPage_ && page <= lastPage_);
    }
    // The printer starts a page only between two printed ones; the first printed page is the
    // one it starts with.
    void NextPage() {
        ++page_;
        if (Printed(page_ - 1) && Printed(page_)) {
            printer_.newPage();
        }
    }

    QPrinter& printer_;
    QPainter& painter_;
    QFontMetricsF metrics_;
    int page_ = 1;
    int firstPage_ = 0;  // 0: every page
    int lastPage_ = 0;
    double pxPerMm_ = 1;
    double pageHeight_ = 0;
    double lineHeight_ = 1;
    double charWidth_ = 1;
    double y_ = 0;
    bool pageUsed_ = false;
};

// Horizontal positions of a table's cells: millimetre lists for the channel tables, the
// character widths of the text report for the others.
std::vector<double> CellPositions(const ReportSection& s, const PageWriter& page) {
    std::vector<double> xs;
    if (IsChannelReportTable(s.id)) {
        std::vector<double> mm = s.id == ReportSectionId::ChRg || s.id == ReportSectionId::ChExp
                                     ? RunningSums(kUserTableMm)
                                     : RunningSums(kStandardTableMm);
        for (double v : mm) {
            xs.push_back(page.Mm(v));
        }
        return xs;
    }
    int at = 0;
    if (!s.lines.empty()) {
        for (const ReportCell& c : s.lines.front().cells) {
            xs.push_back(page.Chars(at));
            at += std::max(c.width, 0);
        }
    } else {
        for (const std::string& column : s.columns) {
            xs.push_back(page.Chars(at));
            at += static_cast<int>(column.size()) + 2;
        }
    }
    return xs;
}

void DrawTable(const ReportSection& s, PageWriter& page) {
    std::vector<double> xs = CellPositions(s, page);
    std::vector<std::string> dashes;
    for (const std::string& column : s.columns) {
        dashes.emplace_back(std::max<std::size_t>(column.size(), 2), '-');
    }
    page.CellLine(s.columns, xs);
    page.CellLine(dashes, xs);
    for (const ReportLine& line : s.lines) {
        std::vector<std::string> cells;
        for (const ReportCell& c : line.cells) {
            cells.push_back(c.width < 0 ? c.text : PadRight(c.text, c.width));
        }
        page.CellLine(cells, xs);
    }
}

void DrawSetupSection(const ReportSection& s, PageWriter& page) {
    for (const ReportLine& line : s.lines) {
        if (line.cells.empty()) {
            page.Blank();
            continue;
        }
        std::vector<std::string> cells;
        std::vector<double> xs;
        int at = 0;
        for (std::size_t i = 0; i < line.cells.size(); ++i) {
            const ReportCell& c = line.cells[i];
            std::string text = i == 0 ? PrintedLabel(c.text) : c.text;
            xs.push_back(page.Chars(at));
            if (c.width >= 0) {
                text = PadRight(text, c.width);
                at += c.width;
            } else {
                at += static_cast<int>(text.size());
            }
            cells.push_back(std::move(text));
        }
        page.CellLine(cells, xs);
    }
}

}  // namespace

bool DrawReport(QPrinter& printer, const Config& config, std::string* error) {
    Report report;
    try {
        report = BuildReport(config);
    } catch (const std::exception& e) {
        if (error != nullptr) {
            *error = e.what();
        }
        return false;
    }
    QPainter painter;
    if (!painter.begin(&printer)) {
        if (error != nullptr) {
            *error = "The printer could not be started.";
        }
        return false;
    }
    QFont font = FixedPitchFont();
    font.setPointSizeF(kFontPoints);
    painter.setFont(font);
    PageWriter page(printer, painter, painter.font());

    int group = -1;
    for (const ReportSection& s : report.sections) {
        int g = PrintGroup(s.id);
        if (g != group) {
            if (group >= 0) {
                page.NewPage();
            }
            group = g;
            page.TextLine(kHeading + config.state.ModelName);
        }
        page.Blank();
        page.TextLine(PrintedTitle(s));
        if (IsReportTable(s.id)) {
            DrawTable(s, page);
        } else {
            DrawSetupSection(s, page);
        }
    }
    bool ok = painter.end() && printer.printerState() != QPrinter::Error;
    if (!ok && error != nullptr) {
        *error = "The report could not be printed.";
    }
    return ok;
}

void PrintReport(QWidget* parent, Config& config) {
    QPrinter printer(QPrinter::HighResolution);
    if (QPrinterInfo::availablePrinters().isEmpty()) {
        // No printer installed: let the user choose a destination such as a PDF file.
        QPrintDialog dialog(&printer, parent);
        // A page range is honoured; the report has no selection or current page.
        dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
        dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
        dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
        if (dialog.exec() != QDialog::Accepted) {
            return;
        }
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    std::string error;
    bool ok = DrawReport(printer, config, &error);
    QApplication::restoreOverrideCursor();
    config.state.ErrorFlag = !ok;
    if (!ok) {
        WriteErrorLog(config, "frmMain.mnuFilePrint_Click", error);
        ShowMessage(config, error, Icon::Critical);
    }
}

}  // namespace mrw
