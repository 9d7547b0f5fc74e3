// Test classes of the main window and its start-up rules.
#pragma once

#include <QObject>

namespace mrw {

/// The rules that need no window: command line, global.ini scan, stored model type, window
/// caption, tree layout, panel dispatch, pending edits.
class StartupRulesTest : public QObject {
    Q_OBJECT
private slots:
    void commandLineIsComparedWholeAfterOurOptions();
    void modelScanStopsAtTheFirstEmptyUse();
    void storedModelTypeCountsOnlyForUsableEntriesOneToNine();
    void captionShowsTheLowerCasedFileName();
    void treeNodesFollowModelAndUsableGroups();
    void groupCaptionsReplaceTheStatusName();
    void nodesDispatchToTheirPanels();
    void pendingEditsStopAtTheFirstRefusal();
    void versionTextHasNoLeadingZeros();
};

/// The main window driven like a user: menus, toolbar, tree, dialogs answered by a script.
class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void startUpWithTwoModelsShowsTheEditMenu();
    void startUpVariantsOfGlobalIni_data();
    void startUpVariantsOfGlobalIni();
    void noUsableModelEndsTheProgram();
    void startUpWithTheFactoryImages();
    void treeByModelAndGroups();
    void groupAndDirectoryCaptions();
    void nodeDispatchAndTheCurrentNodeRule();
    void disabledMenuEntryDisablesItsToolbarButton();
    void regionMenuIsSortedAndMEntryLoadsThePlainFile();
    void regionChangeAsksFirst();
    void modelChangeAsksAndResets();
    void newAsksBeforeDiscardingChanges();
    void saveAsAndOpenWithRealFiles();
    void exitWithChanges();
    void exitWhileMinimisedKeepsStoredPlacement();
    void refusedPendingEditStopsCommands();
    void debugItemsAbsentWithoutD();
    void hexFilesRoundTripInDebugMode();
    void hexdumpListFollowsItsEntry();
    void serialMenuWithoutPorts();
    void serialMenuWithThreePorts();
    void serialMenuWithSeventeenPorts();
    void helpAndAbout();
    void splitterKeepsItsLimits();
    void wheelScrollsOneRowPerNotch();
};

}  // namespace mrw
