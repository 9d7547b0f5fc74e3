#include "report/report.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <exception>
#include <optional>
#include <tuple>
#include <utility>

#include "core/text.h"
#include "image/channel_ref.h"
#include "image/memory_map.h"
#include "image/settings_map.h"
#include "model/catalogue.h"

namespace mrw {

namespace {

constexpr const char* kLineEnd = "\r\n";

// Image byte that counts the User MMSI entries made on the radio.
constexpr int kUserMmsiCountAddress = layout::kUserMmsiCount;

// Column widths of the setup sections.
constexpr int kLabelWidth = 35;
constexpr int kValueWidth = 18;
constexpr int kDscGroupValueWidth = 20;
constexpr int kUserMmsiWidth = 12;
constexpr int kWideValueWidth = 35;

// The auto-position record the radio carries (record 1, "Auto POS Request").
constexpr int kReportedAutoPos = 1;

// ---- Cells -------------------------------------------------------------------------------

// A cell whose text comes from `render`; a rendering that fails leaves the cell empty.
template <class F>
ReportCell Cell(F&& render, int width) {
    try {
        return {render(), width};
    } catch (const std::exception&) {
        return {std::string(), width};
    }
}

ReportCell Text(std::string text, int width = -1) {
    return {std::move(text), width};
}

ReportLine Line(std::vector<ReportCell> cells) {
    return {std::move(cells)};
}
ReportLine Blank() {
    return {};
}
ReportLine Caption(std::string text) {
    return Line({Text(std::move(text))});
}

// A labelled row: label in the label width, then the value cells.
ReportLine Row(std::string label, std::vector<ReportCell> values) {
    std::vector<ReportCell> cells;
    cells.reserve(values.size() + 1);
    cells.push_back(Text(std::move(label), kLabelWidth));
    for (auto& v : values) {
        cells.push_back(std::move(v));
    }
    return Line(std::move(cells));
}

// ---- Value renderings --------------------------------------------------------------------

std::string OnOff(bool v) {
    return v ? "On" : "Off";
}
std::string OnDashes(bool v) {
    return v ? "On" : "---";
}
std::string HiLow(bool v) {
    return v ? "Hi" : "Low";
}
std::string TxText(bool v) {
    return v ? "TX" : "--";
}
std::string LowText(bool v) {
    return v ? "LOW" : "---";
}
std::string UpText(bool v) {
    return v ? "UP" : "--";
}
std::string MemText(bool v) {
    return v ? "MEM" : "---";
}
std::string EnableText(bool v) {
    return v ? "ENABLE" : "------";
}

std::string DuplexText(int v) {
    switch (v) {
        case 1:
            return "RX_SIMP";
        case 2:
            return "DUP";
        case 3:
            return "Reverse DUP";
        default:
            return "TX_SIMP";
    }
}

std::string TimeDisplayText(bool v) {
    return v ? "Local" : "UTC";
}
std::string FormatText(bool v) {
    return v ? "24H" : "12H";
}

std::string WeatherAlertText(int v) {
    switch (v) {
        case 0:
            return "OFF";
        case 3:
            return "ON";
        default:
            return "";
    }
}

// Picks text `v` of a list, or the empty text outside it.
template <std::size_t N>
std::string Pick(const std::array<const char*, N>& texts, long v) {
    return v >= 0 && v < static_cast<long>(N) ? texts[static_cast<std::size_t>(v)] : "";
}

std::string SogText(int v) {
    return Pick(std::array{"KTS", "MPH", "KMH"}, v);
}
std::string DistanceText(int v) {
    return Pick(std::array{"Nm", "Sm", "Km"}, v);
}
std::string MarineEnableText(int v) {
    return Pick(std::array{"No", "Group1", "Group2", "Group3"}, v);
}
// Record 1 of the auto-position setup calls a group; record 0 would call "Multi-St".
std::string SelectCallText(int v) {
    return Pick(std::array{"Individual", "Group"}, v);
}

std::string StatusNameText(const std::string& name) {
    return Trim(name).empty() ? "----" : name;
}
std::string DisplayText(const std::string& text) {
    return text.empty() ? "--" : PadRight(text, 2);
}
std::string TagText(const std::string& tag) {
    return tag.empty() ? std::string(16, '-') : PadRight(tag, 16);
}
std::string DirectoryNameText(const std::string& name) {
    return name.empty() ? std::string(12, '-') : PadRight(name, 12);
}
std::string DirectoryMmsiText(const std::string& mmsi) {
    return mmsi.empty() ? std::string(9, '-') : PadRight(mmsi, 9);
}

std::string TwoDigits(int v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d", v);
    return buf;
}

const ChannelTable& GroupTable(const DataModel& m, int group) {
    switch (group) {
        case 1:
            return m.CHINT;
        case 2:
            return m.CHCAN;
        default:
            return m.CHUSA;
    }
}

// ---- Sections ----------------------------------------------------------------------------

ReportSection UsableGroupsSection(const DataModel& m) {
    ReportSection s{ReportSectionId::UsableGroups, "##### Usable CH Group Setup #####"};
    static constexpr std::array<const char*, kChannelGroups> kHeader = {"Group1", "Group2",
                                                                        "Group3", "EXP CH"};
    std::vector<ReportCell> header;
    std::vector<ReportCell> enable;
    std::vector<ReportCell> priority;
    std::vector<ReportCell> status;
    for (int g = 0; g < kChannelGroups; ++g) {
        const ChannelGroup& group = m.Groups[g];
        header.push_back(Text(kHeader[g], kValueWidth));
        enable.push_back(Text(OnOff(group.Usable), kValueWidth));
        status.push_back(Text(StatusNameText(group.StatusName), kValueWidth));
        if (g < 3) {
            priority.push_back(Cell(
                [&] {
                    const ChannelTable& table = GroupTable(m, g);
                    long index = static_cast<long>(group.PriorityCH) - 1;
                    return index >= 0 && index < static_cast<long>(table.size())
                               ? ChannelLabel(table[static_cast<std::size_t>(index)])
                               : std::string();
                },
                kValueWidth));
        }
    }
    std::vector<ReportCell> exp;
    const ChannelGroup& expGroup = m.Groups[3];
    for (int j = 0; j < 3; ++j) {
        exp.push_back(Text(expGroup.Usable ? OnOff(expGroup.ExpChGroup[j]) : "---", kValueWidth));
    }
    s.lines.push_back(Row("", std::move(header)));
    s.lines.push_back(Row("Enable", std::move(enable)));
    s.lines.push_back(Row("Priority CH", std::move(priority)));
    s.lines.push_back(Row("Status Name", std::move(status)));
    s.lines.push_back(Row("EXP CH", std::move(exp)));
    return s;
}

ReportSection CommonSection(const DataModel& m) {
    const CommonSetup& c = m.Common;
    ReportSection s{ReportSectionId::Common, "##### Common Setup #####"};
    auto& l = s.lines;
    l.push_back(Caption("[Scanning Function]"));
    l.push_back(Row("SCAN:", {Text(OnOff(c.Scan), kValueWidth)}));
    l.push_back(Row("Resume Time:", {Text(ResumeTimeText(c.ResumeTime), kValueWidth)}));
    l.push_back(Row("PTT SCAN Clear:", {Text(OnOff(c.PttScanClear), kValueWidth)}));
    l.push_back(Row("Dual Watch:", {Text(OnOff(c.DualWatch), kValueWidth)}));
    l.push_back(Blank());
    l.push_back(Caption("[Time Setup]"));
    l.push_back(Row("Time Display:", {Text(TimeDisplayText(c.TimeDisplay), kValueWidth)}));
    l.push_back(
        Row("Offset Time:", {Cell([&] { return TimeOffsetText(c.OffsetTime); }, kValueWidth)}));
    l.push_back(Row("Format:", {Text(FormatText(c.Format), kValueWidth)}));
    l.push_back(Blank());
    l.push_back(Caption("[Weather CH Function]"));
    l.push_back(Row("Weather Alert:", {Text(WeatherAlertText(c.Weater), kWideValueWidth)}));
    l.push_back(Blank());
    l.push_back(Caption("[Units of Measure]"));
    l.push_back(Row("SOG:", {Text(SogText(c.Sog), kWideValueWidth)}));
    l.push_back(Row("Distance:", {Text(DistanceText(c.Distance), kWideValueWidth)}));
    return s;
}

ReportSection DscBasicSection(const DataModel& m, const Image& image) {
    const DscBasicSetup& d = m.DscBasic;
    ReportSection s{ReportSectionId::DscBasic, "##### DSC Setup (Basic Setup) #####"};
    auto& l = s.lines;
    l.push_back(Caption("[Usable DSC CH Group]"));
    for (int g = 0; g < 3; ++g) {
        l.push_back(
            Row(m.Groups[g].StatusName + ":", {Text(OnOff(d.UsableDsc[g]), kDscGroupValueWidth)}));
    }
    l.push_back(Blank());
    l.push_back(Row("User MMSI:",
                    {Text(d.UserMmsi, kUserMmsiWidth), Text("----- "), Text(Label("Count", 7)),
                     Cell([&] { return std::to_string(image.Get(kUserMmsiCountAddress)); }, -1)}));
    l.push_back(Row("Distress Cancel Call:", {Text(OnOff(d.PosRequest[0]), kValueWidth)}));
    l.push_back(Blank());
    l.push_back(Caption("[DSC Beep Output]"));
    static constexpr std::array<const char*, 7> kBeepLabels = {
        "Send Distress Alert:",   "Received All Ships:", "Received Individual:",
        "Received Group:",        "Received Geografic:", "Received POS Request:",
        "Received POS Reporting:"};
    for (std::size_t i = 0; i < kBeepLabels.size(); ++i) {
        l.push_back(Row(kBeepLabels[i], {Text(OnOff(d.BeepOut[i]), kValueWidth)}));
    }
    return s;
}

ReportSection DscAdvancedSection(const DataModel& m) {
    ReportSection s{ReportSectionId::DscAdvanced, "##### DSC Setup (Advanced Setup) #####"};
    static constexpr std::array<const char*, 4> kCategories = {
        "Distress:", "Urgency:", "Safty:", "Routine:"};
    for (int t = 0; t < kDscCallTypes; ++t) {
        if (t > 0) {
            s.lines.push_back(Blank());
        }
        s.lines.push_back(Caption(std::string("[") + kDscCallTypeNames[t] + "]"));
        const DscCallType& call = m.DscAdvanced[t];
        for (std::size_t j = 0; j < kCategories.size(); ++j) {
            s.lines.push_back(Row(kCategories[j], {Text(OnOff(call.List[j]), kValueWidth),
                                                   Text(HiLow(call.Tx[j]), kValueWidth)}));
        }
    }
    return s;
}

ReportSection DscDisplaySection(const DataModel& m) {
    ReportSection s{ReportSectionId::DscDisplay, "##### DSC Setup (Display Setup) #####"};
    static constexpr std::array<const char*, 3> kLabels = {
        "Individual Reply Menu:", "Individual ACK Menu:", "POS Request Reply Menu:"};
    for (std::size_t i = 0; i < kLabels.size(); ++i) {
        s.lines.push_back(Row(kLabels[i], {Text(OnOff(m.DscDisplay[i]), kValueWidth)}));
    }
    return s;
}

ReportSection AutoPosSection(const DataModel& m) {
    const AutoPosRecord& r = m.AutoPos.Records[kReportedAutoPos];
    ReportSection s{ReportSectionId::AutoPos, "##### DSC Setup (Auto POS Setup) #####"};
    auto& l = s.lines;
    l.push_back(Caption("[Auto POS Reporting]"));
    l.push_back(Row("Enable:", {Text(OnOff(r.Enable), kValueWidth)}));
    l.push_back(Row("Marine Enable:", {Text(MarineEnableText(r.MarineEnable), kValueWidth)}));
    l.push_back(Row("Channel:", {Cell([&] { return AutoPosChannelText(m, r); }, kValueWidth)}));
    l.push_back(Row("Interval:", {Cell(
                                     [&] {
                                         auto v = AutoPosNumber(r.Interval);
                                         return v ? IntervalText(static_cast<int>(*v)) : "";
                                     },
                                     kValueWidth)}));
    l.push_back(Row("SelectCall:", {Text(SelectCallText(r.SelectCall), kValueWidth)}));
    l.push_back(Row("Dir Name:", {Cell([&] { return AutoPosDirectoryName(m, r); }, kValueWidth)}));
    return s;
}

ReportSection AtisSection(const DataModel& m) {
    ReportSection s{ReportSectionId::AtisCommon, "##### ATIS Setup (Common) #####"};
    std::vector<ReportCell> names;
    std::vector<ReportCell> usable;
    for (int g = 0; g < kChannelGroups; ++g) {
        names.push_back(Text(m.Groups[g].StatusName, kValueWidth));
        usable.push_back(Text(OnOff(m.Atis.UsableAtis[g]), kValueWidth));
    }
    s.lines.push_back(Row("", std::move(names)));
    s.lines.push_back(Row("Usable ATIS CH Group:", std::move(usable)));
    s.lines.push_back(Row("ATIS Code:", {Text(m.Atis.AtisCode, kValueWidth)}));
    return s;
}

ReportSection StandardTableSection(ReportSectionId id, std::string title,
                                   const ChannelTable& table) {
    ReportSection s{id, std::move(title)};
    s.header = {"CH    RX(MHz)  TX(MHz)  TX  LOW  UP  DUP          MEM  IS   CH Name",
                "----  -------  -------  --  ---  --  -----------  ---  ---  ----------------"};
    s.columns = {"CH", "RX(MHz)", "TX(MHz)", "TX", "LOW", "UP", "DUP", "MEM", "IS", "CH Name"};
    for (const ChannelRecord& r : table) {
        if (!r.Enable) {
            continue;
        }
        s.lines.push_back(Line({
            Cell([&] { return ChannelLabel(r); }, 6),
            Cell([&] { return CatalogueRxText(r); }, 9),
            Cell([&] { return CatalogueTxText(r); }, 9),
            Text(TxText(r.TxEnable), 4),
            Text(LowText(r.LowPower), 5),
            Text(UpText(r.PowUp), 4),
            Text(DuplexText(r.Duplex), 13),
            Text(MemText(r.ScanMemory), 5),
            Text(OnDashes(r.InterShipCH), 5),
            Text(r.ChTag, 16),
        }));
    }
    return s;
}

ReportSection WeatherSection(const DataModel& m) {
    ReportSection s{ReportSectionId::ChWx, "##### Programable Wx Channel #####"};
    s.header = {"CH  ENABLE  MEM  CH Name", "--  ------  ---  ------------"};
    s.columns = {"CH", "ENABLE", "MEM", "CH Name"};
    for (std::size_t i = 0; i < m.CHWX.size(); ++i) {
        const ChannelRecord& r = m.CHWX[i];
        s.lines.push_back(Line({Text(std::to_string(i + 1), 4), Text(EnableText(r.Enable), 8),
                                Text(MemText(r.ScanMemory), 5), Text(r.ChTag, 12)}));
    }
    return s;
}

template <std::size_t N>
ReportSection DirectorySection(ReportSectionId id, std::string title, const char* nameColumn,
                               const std::array<DirectoryRecord, N>& directory) {
    ReportSection s{id, std::move(title)};
    s.header = {std::string("No.  ") + PadRight(nameColumn, 14) + "MMSI",
                "---  ------------  ---------"};
    s.columns = {"No.", nameColumn, "MMSI"};
    for (std::size_t i = 0; i < N; ++i) {
        const DirectoryRecord& r = directory[i];
        s.lines.push_back(
            Line({Text(std::to_string(i + 1), 5), Text(DirectoryNameText(r.TagName), 14),
                  Text(DirectoryMmsiText(r.Mmsid), 9)}));
    }
    return s;
}

ReportSection UserChannelSection(ReportSectionId id, std::string title, const char* prefix,
                                 const ChannelTable& table, const DataModel& m) {
    ReportSection s{id, std::move(title)};
    std::string header = "CH     ";
    for (int g = 0; g < 3; ++g) {
        header += (m.Groups[g].StatusName + "  ").substr(0, 5);
    }
    header += "DISP  RX(MHz)   TX(MHz)   LOW  UP  MEM  CH Name";
    s.header = {header,
                "-----  ---  ---  ---  ----  --------  --------  ---  --  ---  ----------------"};
    s.columns = {"CH",
                 m.Groups[0].StatusName,
                 m.Groups[1].StatusName,
                 m.Groups[2].StatusName,
                 "DISP",
                 "RX(MHz)",
                 "TX(MHz)",
                 "LOW",
                 "UP",
                 "MEM",
                 "CH Name"};
    for (std::size_t i = 0; i < table.size(); ++i) {
        const ChannelRecord& r = table[i];
        s.lines.push_back(Line({
            Text(prefix + TwoDigits(static_cast<int>(i) + 1), 7),
            Text(OnDashes(r.ExpCB[0]), 5),
            Text(OnDashes(r.ExpCB[1]), 5),
            Text(OnDashes(r.ExpCB[2]), 5),
            Text(DisplayText(r.CHDisplayL), 6),
            Cell([&] { return FormatFreq4(r.Rxfreq); }, 10),
            Cell([&] { return FormatFreq4(r.Txfreq); }, 10),
            Text(LowText(r.LowPower), 5),
            Text(UpText(r.PowUp), 4),
            Text(MemText(r.ScanMemory), 5),
            Text(TagText(r.ChTag), 16),
        }));
    }
    return s;
}

// Adds a section; a section whose building fails is left out and the report goes on.
template <class F>
void AddSection(Report& report, F&& build) {
    try {
        report.sections.push_back(build());
    } catch (const std::exception&) {
    }
}

}  // namespace

std::string PadRight(std::string_view text, int width) {
    if (width <= 0) {
        return std::string();
    }
    std::string out(text.substr(0, static_cast<std::size_t>(width)));
    out.resize(static_cast<std::size_t>(width), ' ');
    return out;
}

std::string Label(std::string_view text, int width) {
    return PadRight(text, width - 1) + ": ";
}

std::string ResumeTimeText(int value) {
    return Pick(std::array{"--", "1Sec", "2Sec", "3Sec", "4Sec", "5Sec"}, value);
}

std::string IntervalText(int value) {
    return Pick(std::array{"OFF", "15 sec", "30 sec", "1 min", "2 min", "5 min", "10 min", "15 min",
                           "20 min", "25 min", "30 min", "35 min", "40 min", "45 min", "50 min"},
                value);
}

std::string AutoPosChannelText(const DataModel& model, const AutoPosRecord& record) {
    auto ref = AutoPosNumber(record.Channel);
    if (!ref) {
        return "";
    }
    // A standard channel is named by its catalogue index; the channel list of the panel offers
    // the enabled channels of the chosen marine group.
    const ChannelTable& table = record.MarineEnable >= 1 && record.MarineEnable <= 3
                                    ? GroupTable(model, record.MarineEnable - 1)
                                    : model.CHUSA;
    if (*ref >= 0 && *ref < kCatalogueSize) {
        for (const ChannelRecord& r : table) {
            if (r.Enable && r.Position == *ref) {
                return ChannelCatalogue()[static_cast<std::size_t>(*ref)].Label;
            }
        }
    }
    int k = *ref >= 0 && *ref <= 0xFFFF ? ExpRecordOfRef(static_cast<int>(*ref)) : -1;
    if (k >= 0 && k < static_cast<int>(model.CHEXP.size()) &&
        model.CHEXP[static_cast<std::size_t>(k)].Enable) {
        const ChannelRecord& r = model.CHEXP[static_cast<std::size_t>(k)];
        return r.CHDisplayL + r.CHDisplayR;
    }
    return "";
}

std::string AutoPosDirectoryName(const DataModel& model, const AutoPosRecord& record) {
    // LASTADDRESS is the index of the directory entry, counted from 0.
    long index = record.LastAddress;
    if (record.SelectCall == 0 && index >= 0 && index < kIndividualDirectorySize) {
        return model.CHMMSID[static_cast<std::size_t>(index)].TagName;
    }
    if (record.SelectCall == 1 && index >= 0 && index < kGroupDirectorySize) {
        return model.CHGRPID[static_cast<std::size_t>(index)].TagName;
    }
    return "";
}

Report BuildReport(const Config& config) {
    const DataModel& m = config.model;
    Report report;
    AddSection(report, [&] { return UsableGroupsSection(m); });
    AddSection(report, [&] { return CommonSection(m); });
    AddSection(report, [&] { return DscBasicSection(m, config.image); });
    AddSection(report, [&] { return DscAdvancedSection(m); });
    AddSection(report, [&] { return DscDisplaySection(m); });
    AddSection(report, [&] { return AutoPosSection(m); });
    AddSection(report, [&] { return AtisSection(m); });
    const std::array<std::tuple<ReportSectionId, const char*, const ChannelTable*>, 3> standard = {
        {{ReportSectionId::ChUsa, "##### Programable USA Channel #####", &m.CHUSA},
         {ReportSectionId::ChInt, "##### Programable International Channel #####", &m.CHINT},
         {ReportSectionId::ChCan, "##### Programable Canada Channel #####", &m.CHCAN}}};
    for (const auto& [id, title, table] : standard) {
        if (!table->empty()) {
            AddSection(report, [&, id = id, title = title, table = table] {
                return StandardTableSection(id, title, *table);
            });
        }
    }
    AddSection(report, [&] { return WeatherSection(m); });
    AddSection(report, [&] {
        return DirectorySection(ReportSectionId::IndividualDirectory,
                                "##### Memory ID Setting #####", "Station Name", m.CHMMSID);
    });
    AddSection(report, [&] {
        return DirectorySection(ReportSectionId::GroupDirectory, "##### Group ID Setting #####",
                                "Group Name", m.CHGRPID);
    });
    if (!m.CHRG.empty()) {
        AddSection(report, [&] {
            return UserChannelSection(ReportSectionId::ChRg,
                                      "##### Programable Region Channel #####", "RG", m.CHRG, m);
        });
    }
    if (!m.CHEXP.empty()) {
        AddSection(report, [&] {
            return UserChannelSection(ReportSectionId::ChExp, "##### Programable Exp Channel #####",
                                      "EXP", m.CHEXP, m);
        });
    }
    return report;
}

std::string RenderReport(const Report& report) {
    std::string out;
    bool first = true;
    auto add = [&](const std::string& line) {
        if (!first) {
            out += kLineEnd;
        }
        out += line;
        first = false;
    };
    for (std::size_t i = 0; i < report.sections.size(); ++i) {
        const ReportSection& s = report.sections[i];
        if (i > 0) {
            add("");
        }
        add(s.title);
        for (const std::string& h : s.header) {
            add(h);
        }
        for (const ReportLine& line : s.lines) {
            std::string text;
            for (const ReportCell& c : line.cells) {
                text += c.width < 0 ? c.text : PadRight(c.text, c.width);
            }
            add(text);
        }
    }
    return out;
}

std::string ReportText(const Config& config) {
    return RenderReport(BuildReport(config));
}

bool IsReportTable(ReportSectionId id) {
    return id >= ReportSectionId::ChUsa && id <= ReportSectionId::ChExp;
}

bool IsChannelReportTable(ReportSectionId id) {
    switch (id) {
        case ReportSectionId::ChUsa:
        case ReportSectionId::ChInt:
        case ReportSectionId::ChCan:
        case ReportSectionId::ChRg:
        case ReportSectionId::ChExp:
            return true;
        default:
            return false;
    }
}

std::string PrintedTitle(const ReportSection& section) {
    switch (section.id) {
        case ReportSectionId::ChWx:
            return "##### Programable WX Channel #####";
        case ReportSectionId::ChRg:
            return "##### Programable REGION Channel #####";
        case ReportSectionId::ChExp:
            return "##### Programable EXP Channel #####";
        case ReportSectionId::IndividualDirectory:
            return "##### Memory ID #####";
        case ReportSectionId::GroupDirectory:
            return "##### Group ID #####";
        default:
            return section.title;
    }
}

std::string PrintedLabel(const std::string& label) {
    if (label == "Status Name") {
        return "Status name";
    }
    if (label == "Received Geografic:") {
        return "Received Geographic:";
    }
    if (label == "SelectCall:") {
        return "Select Call:";
    }
    return label;
}

}  // namespace mrw
