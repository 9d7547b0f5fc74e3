#include "ui/category_tree.h"

#include "core/text.h"

namespace mrw {

std::vector<CategoryNode> CategoryNodes(const DataModel& model, bool atisSupported) {
    std::vector<CategoryNode> nodes;
    auto add = [&nodes](std::string key, std::string text, std::string parent) {
        nodes.push_back({std::move(key), std::move(text), std::move(parent)});
    };
    add("General", "General", "");
    add("Usable", "Usable CH Group Setup", "General");
    add("Common", "Common Setup", "General");
    add("DSC", "DSC Setup", "General");
    if (atisSupported) {
        add("ATIS", "ATIS Setup", "General");
    }
    add("Program", "Programable Channel", "");
    static constexpr const char* kGroupTexts[] = {"Group1", "Group2", "Group3"};
    for (int g = 0; g < 3; ++g) {
        if (model.Groups[g].Usable) {
            add(GroupNodeKey(g), kGroupTexts[g], "Program");
        }
    }
    add("PR", "RG Channel", "Program");
    add("PW", "Weather", "Program");
    add("DSCSetting", "DSC", "");
    add("SM", "Individual Directory", "DSCSetting");
    for (int n = 1; n <= kIndividualDirectorySize; ++n) {
        add("SM" + std::to_string(n), DirectoryCaption("SM", n, model.CHMMSID[n - 1].Enable), "SM");
    }
    add("SG", "Group Directory", "DSCSetting");
    for (int n = 1; n <= kGroupDirectorySize; ++n) {
        add("SG" + std::to_string(n), DirectoryCaption("SG", n, model.CHGRPID[n - 1].Enable), "SG");
    }
    if (model.Groups[3].Usable) {
        add(GroupNodeKey(3), "EXP Channel", "");
    }
    return nodes;
}

std::string GroupNodeKey(int group) {
    static constexpr const char* kKeys[] = {"PU", "PI", "PC", "EXPCHANNEL"};
    return group >= 0 && group < 4 ? kKeys[group] : "";
}

std::string GroupCaption(const std::string& text, const std::string& statusName) {
    std::string caption = text.substr(0, text.find('('));
    if (!statusName.empty() && (caption.empty() || caption.back() != ')')) {
        caption += "(" + statusName + ")";
    }
    return caption;
}

std::string DirectoryCaption(const std::string& prefix, int n, bool enabled) {
    std::string caption = (EqualsIgnoreCase(prefix, "SG") ? "Group ID" : "Memory ID");
    caption += std::to_string(n);
    if (enabled) {
        caption += "[Enable]";
    }
    return caption;
}

NodeTarget PanelForNode(const std::string& parentKey, const std::string& key) {
    NodeTarget target;
    target.key = ToUpper(key);
    const std::string parent = ToUpper(parentKey);
    const std::string& k = target.key;
    if (parent.empty()) {
        if (k == "GENERAL") {
            target.panel = "pictGeneral";
        } else if (k == "PROGRAM" || k == "DSCSETTING") {
            target.panel = "pictGrey";
        } else if (k == "EXPCHANNEL") {
            target.panel = "pictB";
        }
    } else if (parent == "GENERAL") {
        if (k == "USABLE") {
            target.panel = "pictUsable";
        } else if (k == "COMMON") {
            target.panel = "pictCommon";
        } else if (k == "DSC") {
            target.panel = "pictDSC";
        } else if (k == "ATIS") {
            target.panel = "pictATIS";
        }
    } else if (parent == "PROGRAM") {
        if (k == "PU" || k == "PI" || k == "PC" || k == "PR") {
            target.panel = "pictB";
        } else if (k == "PW") {
            target.panel = "pictD";
        }
    } else if (parent == "DSCSETTING") {
        if (k == "SM" || k == "SG") {
            target.panel = "pictE";
        }
    } else if (parent == "SM" || parent == "SG") {
        target.panel = "pictG";
        target.entry = k.size() > 2 ? static_cast<int>(Val(k.substr(2))) : 0;
    }
    return target;
}

}  // namespace mrw
