#include "edit/directory_rules.h"

#include <algorithm>
#include <array>
#include <utility>

#include "core/text.h"
#include "edit/control_hint.h"
#include "edit/edit.h"
#include "edit/mmsi_info.h"
#include "edit/refusal.h"
#include "image/image.h"

namespace mrw {

namespace {

constexpr const char* kDeleteQuestion = "Are you sure ?";

template <typename Model>
auto& SlotOf(Model& model, Directory dir, int n) {
    return dir == Directory::Group ? model.CHGRPID[static_cast<size_t>(n - 1)]
                                   : model.CHMMSID[static_cast<size_t>(n - 1)];
}

bool IsSlot(Directory dir, int n) {
    return n >= 1 && n <= DirectorySize(dir);
}

bool AllDigits(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// "Memory ID 3" or "Group ID 3", naming a change of slot 3.
std::string SlotName(Directory dir, int n) {
    return std::string(dir == Directory::Group ? "Group ID " : "Memory ID ") + std::to_string(n);
}

}  // namespace

int DirectorySize(Directory dir) {
    return dir == Directory::Group ? kGroupDirectorySize : kIndividualDirectorySize;
}

std::string DirectoryTitle(Directory dir) {
    return dir == Directory::Group ? "Group Directory" : "Individual Directory";
}

std::string DirectoryKey(Directory dir) {
    return dir == Directory::Group ? "SG" : "SM";
}

std::optional<Directory> DirectoryOfKey(std::string_view key) {
    const std::string prefix = ToUpper(key.substr(0, 2));
    if (prefix == "SM") {
        return Directory::Individual;
    }
    if (prefix == "SG") {
        return Directory::Group;
    }
    return std::nullopt;
}

const DirectoryRecord& Slot(const DataModel& model, Directory dir, int n) {
    return SlotOf(model, dir, n);
}

int UsedCount(const DataModel& model, Directory dir) {
    int used = 0;
    while (used < DirectorySize(dir) && Slot(model, dir, used + 1).Enable) {
        ++used;
    }
    return used;
}

int MmsiBoxLength(Directory dir) {
    return dir == Directory::Group ? 8 : 9;
}

bool IsDirectoryNameChar(char32_t c) {
    if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) {
        return true;
    }
    return std::u32string_view(U"-/*()+., ").find(c) != std::u32string_view::npos;
}

EntryPanelView ViewEntryPanel(const DataModel& model, Directory dir, int n) {
    EntryPanelView view;
    view.nameCaption = dir == Directory::Group ? "Group Name" : "Station Name";
    view.groupPrefix = dir == Directory::Group;
    view.mmsiLength = MmsiBoxLength(dir);
    if (!IsSlot(dir, n)) {
        return view;
    }
    const DirectoryRecord& slot = Slot(model, dir, n);
    view.name = slot.TagName;
    view.mmsi = MmsiBoxText(dir, slot.Mmsid);
    const int used = UsedCount(model, dir);
    if (n <= used) {
        view.enableChecked = true;
        view.deleteOpen = true;
        view.fieldsOpen = true;
    } else if (n == used + 1) {
        const DirectoryRecord* before = n > 1 ? &Slot(model, dir, n - 1) : nullptr;
        view.enableOpen = before == nullptr || (!before->TagName.empty() && !before->Mmsid.empty());
        view.incompleteBefore = !view.enableOpen;
        if (view.incompleteBefore) {
            view.incompleteReason = "Fill in " + SlotName(dir, n - 1) + " first.";
        }
    }
    return view;
}

void ShowDirectoryDataError(Config& config, Directory dir, std::string_view reason) {
    ShowDataError(config, DirectoryTitle(dir), reason);
}

bool AddEntry(Config& config, Directory dir, int n) {
    if (!ViewEntryPanel(config.model, dir, n).enableOpen) {
        return false;
    }
    return EditModel(config, "Add " + SlotName(dir, n),
                     [dir, n](DataModel& model) { SlotOf(model, dir, n).Enable = true; });
}

bool DeleteEntry(Config& config, Directory dir, int n) {
    if (!IsSlot(dir, n) || n > UsedCount(config.model, dir) || config.state.Loading) {
        return false;
    }
    if (ShowMessage(config, kDeleteQuestion, Icon::Critical, Buttons::YesNo, Answer::No) !=
        Answer::Yes) {
        return false;
    }
    return RemoveEntry(config, dir, n);
}

bool RemoveEntry(Config& config, Directory dir, int n) {
    if (!IsSlot(dir, n)) {
        return false;
    }
    return EditModel(config, "Delete " + SlotName(dir, n), [dir, n](DataModel& model) {
        const int size = DirectorySize(dir);
        for (int k = n; k < size; ++k) {
            SlotOf(model, dir, k) = SlotOf(model, dir, k + 1);
        }
        SlotOf(model, dir, size) = DirectoryRecord{};
    });
}

bool CommitEntryName(Config& config, Directory dir, int n, std::string_view text) {
    // The name as the image keeps it; one that keeps nothing counts as blank.
    const std::string name = KeptText(text, kDirectoryNameLength);
    if (!IsSlot(dir, n) || Trim(name).empty() || Slot(config.model, dir, n).TagName == name) {
        return false;
    }
    return EditModel(config, SlotName(dir, n) + " name",
                     [dir, n, name](DataModel& m) { SlotOf(m, dir, n).TagName = name; });
}

std::string EntryNameRefusal(Directory dir, std::string_view text) {
    if (!Trim(KeptText(text, kDirectoryNameLength)).empty()) {
        return {};
    }
    return dir == Directory::Group ? "Give the group a name." : "Give the station a name.";
}

std::string MmsiEntryReason(Directory dir) {
    return dir == Directory::Group ? "A group MMSI has 8 digits." : "An MMSI has 9 digits.";
}

std::optional<std::string> MmsiEntryValue(Directory dir, std::string_view text) {
    const std::string t = Trim(text);
    if (t.empty()) {
        return std::string();
    }
    if (static_cast<int>(t.size()) != MmsiBoxLength(dir) || !AllDigits(t)) {
        return std::nullopt;
    }
    return dir == Directory::Group ? "0" + t + "0" : t + "0";
}

std::string MmsiBoxText(Directory dir, std::string_view stored) {
    if (dir == Directory::Group) {
        return std::string(stored.substr(std::min<size_t>(1, stored.size()), 8));
    }
    return std::string(stored.substr(0, 9));
}

std::string MmsiOfBoxText(Directory dir, std::string_view text) {
    return (dir == Directory::Group ? "0" : "") + std::string(text);
}

MmsiCommit CommitEntryMmsi(Config& config, Directory dir, int n, std::string_view text,
                           MmsiRefusal refusal) {
    MmsiCommit commit;
    const std::optional<std::string> value = MmsiEntryValue(dir, text);
    if (!IsSlot(dir, n) || config.state.Loading) {
        commit.text = std::string(text);
        return commit;
    }
    if (!value) {
        if (refusal == MmsiRefusal::KeepText) {
            commit.text = std::string(text);
            ShowDirectoryDataError(config, dir, MmsiEntryReason(dir));
        } else {
            commit.text = MmsiBoxText(dir, Slot(config.model, dir, n).Mmsid);
        }
        return commit;
    }
    commit.accepted = true;
    if (value->empty() && n <= UsedCount(config.model, dir)) {
        commit.deleted = RemoveEntry(config, dir, n);
    } else if (Slot(config.model, dir, n).Mmsid != *value) {
        EditModel(config, SlotName(dir, n) + " MMSI",
                  [dir, n, &value](DataModel& m) { SlotOf(m, dir, n).Mmsid = *value; });
    }
    commit.text = MmsiBoxText(dir, Slot(config.model, dir, n).Mmsid);
    return commit;
}

DirectoryGrid BuildDirectoryGrid(const DataModel& model, Directory dir) {
    DirectoryGrid grid;
    grid.headers = {"No.", dir == Directory::Group ? "GROUP NAME" : "STATION NAME", "MMSI",
                    "ABOUT THE MMSI"};
    const MmsiUse use = dir == Directory::Group ? MmsiUse::Group : MmsiUse::Individual;
    for (int n = 1; n <= DirectorySize(dir); ++n) {
        const DirectoryRecord& slot = Slot(model, dir, n);
        grid.rows.push_back({std::to_string(n), slot.TagName, slot.Mmsid.substr(0, 9),
                             DescribeMmsi(slot.Mmsid, use)});
    }
    return grid;
}

std::string DirectoryControlHint(std::string_view objectName) {
    static constexpr std::array<ControlHint, 5> kHints = {{
        {"chkGEnable", "[Space]:An effective and invalid change."},
        {"chkGDelete", "[Space]:An effective and invalid change."},
        {"txtGPosi", "A maximum of 10 characters."},
        {"txtGMMSI", "Numeric Only. Indispensable 9 figures."},
        {"MSFlexGrid2", "[Double click],[Enter]:Jump the Setting screen."},
    }};
    return FindControlHint(kHints, objectName);
}

}  // namespace mrw
