// The settings report: a plain-text listing of the whole configuration.
//
// The report is first built as a list of sections made of cells (BuildReport); the text
// (RenderReport, ReportText) and the printed page draw the same sections, so both always list
// the same rows with the same value renderings.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/config.h"

namespace mrw {

/// The sections of the report, in report order.
enum class ReportSectionId {
    UsableGroups,
    Common,
    DscBasic,
    DscAdvanced,
    DscDisplay,
    AutoPos,
    AtisCommon,
    ChUsa,
    ChInt,
    ChCan,
    ChWx,
    IndividualDirectory,
    GroupDirectory,
    ChRg,
    ChExp,
};

/// One cell of a line: the text cut or space-filled to `width` characters; a negative width
/// keeps the text as it is.
struct ReportCell {
    std::string text;
    int width = -1;
};

/// One line of a section: its cells follow each other with nothing between them. A line
/// without cells is a blank line.
struct ReportLine {
    std::vector<ReportCell> cells;
};

/// One section: title, the header of a table, and its lines.
struct ReportSection {
    ReportSectionId id = ReportSectionId::UsableGroups;
    std::string title;                 ///< Title line of the text report.
    std::vector<std::string> header;   ///< Header and underline lines of a table in the text.
    std::vector<std::string> columns;  ///< Header cells of a table on the printed page.
    std::vector<ReportLine> lines;     ///< Rows, labelled lines and blank lines.
};

/// The whole report, sections in report order.
struct Report {
    std::vector<ReportSection> sections;
};

/// Builds the report from the data model and image byte 645. A value that cannot be rendered
/// leaves its cell empty; the report always goes on with the next row.
Report BuildReport(const Config& config);

/// The report as text: lines separated by CR LF, no trailing separator; every section but the
/// first starts with a blank line.
std::string RenderReport(const Report& report);

/// The report text, lines separated by CR LF, no trailing separator.
std::string ReportText(const Config& config);

/// True for the sections printed as tables with header cells.
bool IsReportTable(ReportSectionId id);
/// True for the channel tables printed at the millimetre positions of their width list.
bool IsChannelReportTable(ReportSectionId id);
/// The title of a section on the printed page (a few words differ from the text report).
std::string PrintedTitle(const ReportSection& section);
/// The text of a label cell on the printed page (a few labels differ from the text report).
std::string PrintedLabel(const std::string& label);

// ---- Cells and value renderings --------------------------------------------------------

/// The text followed by `width` spaces, cut to its first `width` characters.
std::string PadRight(std::string_view text, int width);
/// PadRight(text, width - 1) followed by ": ".
std::string Label(std::string_view text, int width);

/// "--", "1Sec" .. "5Sec" for Resume Time 0..5; empty otherwise.
std::string ResumeTimeText(int value);
/// "OFF", "15 sec" .. "50 min" for the auto-position interval 0..14; empty otherwise.
std::string IntervalText(int value);
/// The channel the auto-position CHANNEL of `record` designates: the catalogue channel number
/// of an enabled channel of the record's marine group (USA table when no group is chosen), or
/// the display texts of an enabled EXP channel; empty when it designates none.
std::string AutoPosChannelText(const DataModel& model, const AutoPosRecord& record);
/// The station or group name that LASTADDRESS of `record` designates by its SELECTCALL.
std::string AutoPosDirectoryName(const DataModel& model, const AutoPosRecord& record);

}  // namespace mrw
