// The category tree of the main window as data: which nodes exist for a configuration, their
// captions, and which panel each node shows. The window turns these into tree items.
#pragma once

#include <string>
#include <vector>

#include "model/model.h"

namespace mrw {

/// One node of the category tree.
struct CategoryNode {
    std::string key;        ///< Unique key, for example "General", "PU", "SM12".
    std::string text;       ///< Caption.
    std::string parentKey;  ///< Empty for a root node.
};

/// The nodes in the order they are added: General (Usable, Common, DSC, ATIS when the model
/// has ATIS), Program (PU, PI, PC for the usable groups 1..3, PR, PW), DSCSetting (SM with
/// SM1..SM80, SG with SG1..SG32), and EXPCHANNEL when the Exp CH group is usable. Group
/// nodes carry their base captions; directory nodes their full captions.
std::vector<CategoryNode> CategoryNodes(const DataModel& model, bool atisSupported);

/// Key of the tree node of channel group g (0..3): "PU", "PI", "PC", "EXPCHANNEL".
std::string GroupNodeKey(int group);

/// A group node's caption: the text cut before its first "(", then "(" + status name + ")"
/// appended when the name is not empty and the text does not already end in ")".
std::string GroupCaption(const std::string& text, const std::string& statusName);

/// "Memory ID" + n (prefix "SM") or "Group ID" + n (prefix "SG"), then "[Enable]" when the
/// record is enabled.
std::string DirectoryCaption(const std::string& prefix, int n, bool enabled);

/// Names of the panels, one per category, stacked on the right of the main window.
inline constexpr const char* kPanelNames[] = {"pictGeneral", "pictGrey", "pictUsable", "pictCommon",
                                              "pictDSC",     "pictATIS", "pictB",      "pictC",
                                              "pictD",       "pictE",    "pictG"};

/// What a node shows: a panel, the node's key (upper case) and, for a directory entry, its
/// record number.
struct NodeTarget {
    std::string panel;  ///< Empty when the node shows nothing.
    std::string key;    ///< The node key in upper case.
    int entry = 0;      ///< Record number of a directory entry node ("SM5" gives 5).
};

/// The panel dispatch of a node, keys compared without regard to case: General -> pictGeneral,
/// Program/DSCSetting -> pictGrey, EXPCHANNEL and PU/PI/PC/PR -> pictB (channel list),
/// PW -> pictD, Usable/Common/DSC/ATIS -> their setup panels, SM/SG -> pictE, a child of
/// SM/SG -> pictG with the number after the key's first two characters.
NodeTarget PanelForNode(const std::string& parentKey, const std::string& key);

}  // namespace mrw
