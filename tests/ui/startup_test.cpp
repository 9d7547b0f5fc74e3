// The start-up and navigation rules that need no window.
#include <QTemporaryDir>
#include <QtTest>
#include <fstream>

#include "core/config.h"
#include "ui/about_box.h"
#include "ui/category_tree.h"
#include "ui/main_window_test.h"
#include "ui/pending_edit.h"
#include "ui/startup.h"

namespace mrw {

namespace {

void WriteText(const std::filesystem::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

std::vector<std::string> Keys(const std::vector<CategoryNode>& nodes, const std::string& parent) {
    std::vector<std::string> keys;
    for (const auto& node : nodes) {
        if (node.parentKey == parent) {
            keys.push_back(node.key);
        }
    }
    return keys;
}

}  // namespace

void StartupRulesTest::commandLineIsComparedWholeAfterOurOptions() {
    CommandLine c = ParseCommandLine({"/de"});
    QVERIFY(c.debug && c.baud19200);
    c = ParseCommandLine({"/ED"});
    QVERIFY(c.debug && c.baud19200);
    c = ParseCommandLine({"  /E  "});
    QVERIFY(!c.debug && c.baud19200);
    c = ParseCommandLine({"/d"});
    QVERIFY(c.debug && !c.baud19200);
    // Both switches as two words set neither.
    c = ParseCommandLine({"/D", "/E"});
    QVERIFY(!c.debug && !c.baud19200);
    c = ParseCommandLine({"/X"});
    QVERIFY(!c.debug && !c.baud19200);
    c = ParseCommandLine({});
    QVERIFY(!c.debug && !c.baud19200);
    // Our own options come out first and combine with a switch.
    c = ParseCommandLine({"--port", "/dev/ttyUSB0", "/D"});
    QVERIFY(c.debug && !c.baud19200);
    QCOMPARE(c.portDevice, std::string("/dev/ttyUSB0"));
    c = ParseCommandLine({"/E", "--port=/dev/ttyS1", "--version"});
    QVERIFY(c.baud19200 && c.version);
    QCOMPARE(c.portDevice, std::string("/dev/ttyS1"));
    c = ParseCommandLine({"--help"});
    QVERIFY(c.help);
    c = ParseCommandLine({"--port"});
    QVERIFY(!c.error.empty());
}

void StartupRulesTest::modelScanStopsAtTheFirstEmptyUse() {
    QTemporaryDir dir;
    const std::filesystem::path ini = dir.filePath("global.ini").toStdString();

    WriteText(ini, "[model1]\nuse=1\n[model2]\nuse=1\n");
    ModelScan scan = ScanModelTypes(ini);
    QCOMPARE(scan.count, 2);
    QCOMPARE(scan.lastUsable, 2);

    WriteText(ini, "[model1]\nuse=0\n[model2]\nuse=1\n[model3]\nuse=2\n");
    scan = ScanModelTypes(ini);
    QCOMPARE(scan.count, 1);
    QVERIFY(!scan.usable[0] && scan.usable[1] && !scan.usable[2]);

    // An empty "use" for type 1 ends the scan before type 2.
    WriteText(ini, "[model1]\nuse=\n[model2]\nuse=1\n");
    QCOMPARE(ScanModelTypes(ini).count, 0);

    WriteText(ini, "[model1]\nuse=#1\n");
    scan = ScanModelTypes(ini);
    QCOMPARE(scan.count, 1);
    QVERIFY(scan.usable[0]);

    QCOMPARE(ScanModelTypes(dir.filePath("missing.ini").toStdString()).count, 0);
}

void StartupRulesTest::storedModelTypeCountsOnlyForUsableEntriesOneToNine() {
    ModelScan scan;
    scan.usable[0] = true;
    scan.usable[1] = true;
    scan.usable[9] = true;  // type 10
    scan.count = 3;
    scan.lastUsable = 2;  // pretend type 2 was found last, so 10 is visible as ignored
    QCOMPARE(ChooseModelType(scan, "1"), 1);
    QCOMPARE(ChooseModelType(scan, "2"), 2);
    QCOMPARE(ChooseModelType(scan, "10"), 2);
    QCOMPARE(ChooseModelType(scan, "3"), 2);  // not usable
    QCOMPARE(ChooseModelType(scan, "0"), 2);
    QCOMPARE(ChooseModelType(scan, "-1"), 2);
    QCOMPARE(ChooseModelType(scan, "abc"), 2);
    QCOMPARE(ChooseModelType(scan, ""), 2);
    QCOMPARE(ChooseModelType(scan, "1.5"), 2);
}

void StartupRulesTest::captionShowsTheLowerCasedFileName() {
    AppState state;
    state.TitleText = "PC Program for HV2300";
    QCOMPARE(WindowCaption(state), std::string("MRW  PC Program for HV2300"));
    state.CurrentFileName = "/home/skipper/Boats/SEA Wolf.DAT";
    QCOMPARE(WindowCaption(state), std::string("MRW  PC Program for HV2300 - sea wolf.dat"));
    state.CurrentFileName = "C:\\Radio\\MAIN.DAT";
    QCOMPARE(WindowCaption(state), std::string("MRW  PC Program for HV2300 - main.dat"));
}

void StartupRulesTest::treeNodesFollowModelAndUsableGroups() {
    DataModel model;
    for (auto& group : model.Groups) {
        group.Usable = true;
    }
    auto nodes = CategoryNodes(model, true);
    QCOMPARE(Keys(nodes, ""),
             (std::vector<std::string>{"General", "Program", "DSCSetting", "EXPCHANNEL"}));
    QCOMPARE(Keys(nodes, "General"), (std::vector<std::string>{"Usable", "Common", "DSC", "ATIS"}));
    QCOMPARE(Keys(nodes, "Program"), (std::vector<std::string>{"PU", "PI", "PC", "PR", "PW"}));
    QCOMPARE(Keys(nodes, "SM").size(), size_t{80});
    QCOMPARE(Keys(nodes, "SG").size(), size_t{32});
    QCOMPARE(Keys(nodes, "SG").back(), std::string("SG32"));

    model.Groups[1].Usable = false;
    model.Groups[3].Usable = false;
    nodes = CategoryNodes(model, false);
    QCOMPARE(Keys(nodes, "General"), (std::vector<std::string>{"Usable", "Common", "DSC"}));
    QCOMPARE(Keys(nodes, "Program"), (std::vector<std::string>{"PU", "PC", "PR", "PW"}));
    QCOMPARE(Keys(nodes, ""), (std::vector<std::string>{"General", "Program", "DSCSetting"}));
}

void StartupRulesTest::groupCaptionsReplaceTheStatusName() {
    QCOMPARE(GroupCaption("Group1", "MAIN"), std::string("Group1(MAIN)"));
    QCOMPARE(GroupCaption("Group1(MAIN)", "SEA"), std::string("Group1(SEA)"));
    QCOMPARE(GroupCaption("Group1(MAIN)", ""), std::string("Group1"));
    QCOMPARE(GroupCaption("EXP Channel", "EXP"), std::string("EXP Channel(EXP)"));
    QCOMPARE(DirectoryCaption("SM", 5, true), std::string("Memory ID5[Enable]"));
    QCOMPARE(DirectoryCaption("SM", 80, false), std::string("Memory ID80"));
    QCOMPARE(DirectoryCaption("SG", 2, true), std::string("Group ID2[Enable]"));
}

void StartupRulesTest::nodesDispatchToTheirPanels() {
    QCOMPARE(PanelForNode("", "General").panel, std::string("pictGeneral"));
    QCOMPARE(PanelForNode("", "program").panel, std::string("pictGrey"));
    QCOMPARE(PanelForNode("", "DSCSetting").panel, std::string("pictGrey"));
    QCOMPARE(PanelForNode("", "EXPCHANNEL").panel, std::string("pictB"));
    QCOMPARE(PanelForNode("General", "Usable").panel, std::string("pictUsable"));
    QCOMPARE(PanelForNode("General", "common").panel, std::string("pictCommon"));
    QCOMPARE(PanelForNode("General", "DSC").panel, std::string("pictDSC"));
    QCOMPARE(PanelForNode("General", "ATIS").panel, std::string("pictATIS"));
    for (const char* key : {"PU", "PI", "PC", "PR"}) {
        QCOMPARE(PanelForNode("Program", key).panel, std::string("pictB"));
    }
    QCOMPARE(PanelForNode("Program", "PW").panel, std::string("pictD"));
    QCOMPARE(PanelForNode("DSCSetting", "SM").panel, std::string("pictE"));
    QCOMPARE(PanelForNode("DSCSetting", "SG").panel, std::string("pictE"));
    const NodeTarget entry = PanelForNode("SM", "SM17");
    QCOMPARE(entry.panel, std::string("pictG"));
    QCOMPARE(entry.entry, 17);
    QCOMPARE(PanelForNode("sg", "sg3").entry, 3);
    QVERIFY(PanelForNode("", "Nowhere").panel.empty());
    // A directory key is not a root category.
    QVERIFY(PanelForNode("", "SM").panel.empty());
}

void StartupRulesTest::pendingEditsStopAtTheFirstRefusal() {
    PendingEdits edits;
    QVERIFY(edits.Commit());
    int calls = 0;
    const int first = edits.Register([&] {
        ++calls;
        return false;
    });
    const int second = edits.Register([&] {
        calls += 10;
        return true;
    });
    QVERIFY(!edits.Commit());
    QCOMPARE(calls, 1);
    edits.Unregister(first);
    QVERIFY(edits.Commit());
    QCOMPARE(calls, 11);
    edits.Unregister(second);
    QCOMPARE(edits.Count(), 0);
}

void StartupRulesTest::versionTextHasNoLeadingZeros() {
    const std::string expected = "Version " + std::to_string(MRW_VERSION_MAJOR) + "." +
                                 std::to_string(MRW_VERSION_MINOR) + "." +
                                 std::to_string(MRW_VERSION_PATCH);
    QCOMPARE(VersionText(), expected);
    QCOMPARE(VersionText(), std::string("Version ") + MRW_VERSION);
}

}  // namespace mrw
