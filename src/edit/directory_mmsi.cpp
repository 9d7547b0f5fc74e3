#include "edit/directory_mmsi.h"

#include <array>

#include "edit/directory_rules.h"

namespace mrw {

namespace {

// DescribeMmsi tells what a number is as "<kind>, <country>", starting with one of these
// kinds; every other line is a warning.
constexpr std::array<std::string_view, 7> kStationKinds = {
    "Ship",           "Group call",        "Coast station",         "SAR aircraft",
    "Handheld radio", "Aid to navigation", "Craft of a parent ship"};

bool IsDescription(std::string_view line) {
    for (std::string_view kind : kStationKinds) {
        if (line.size() > kind.size() + 2 && line.substr(0, kind.size()) == kind &&
            line.substr(kind.size(), 2) == ", ") {
            return true;
        }
    }
    return false;
}

// A stored MMSI as the user typed it: without the "0" the radio appends to nine digits.
std::string Typed(std::string_view stored) {
    if (stored.size() == 10 && stored.back() == '0') {
        stored.remove_suffix(1);
    }
    return std::string(stored);
}

void AddWarning(std::vector<std::string>& lines, const std::string& where, std::string_view stored,
                MmsiUse use) {
    const MmsiNote note = NoteOnMmsi(stored, use);
    if (note.warning) {
        lines.push_back(where + " " + Typed(stored) + ": " + note.text);
    }
}

}  // namespace

MmsiNote NoteOnMmsi(std::string_view number, MmsiUse use) {
    MmsiNote note;
    note.text = DescribeMmsi(number, use);
    note.warning = !note.text.empty() && !IsDescription(note.text);
    return note;
}

MmsiUse AutoPosMmsiUse(const DataModel& model, int frame) {
    const bool groupCall = frame == 1 && model.AutoPos.Records[1].SelectCall == 1;
    return groupCall ? MmsiUse::Group : MmsiUse::Individual;
}

std::vector<std::string> MmsiWarnings(const DataModel& model) {
    std::vector<std::string> lines;
    AddWarning(lines, "User MMSI", model.DscBasic.UserMmsi, MmsiUse::OwnShip);
    for (Directory dir : {Directory::Individual, Directory::Group}) {
        const MmsiUse use = dir == Directory::Group ? MmsiUse::Group : MmsiUse::Individual;
        for (int n = 1; n <= UsedCount(model, dir); ++n) {
            const DirectoryRecord& entry = Slot(model, dir, n);
            std::string where = DirectoryTitle(dir) + " " + std::to_string(n);
            if (!entry.TagName.empty()) {
                where += " " + entry.TagName;
            }
            AddWarning(lines, where, entry.Mmsid, use);
        }
    }
    static constexpr const char* kFrames[] = {"Auto POS Report MMSI", "Auto POS Request MMSI"};
    for (int frame = 0; frame < 2; ++frame) {
        AddWarning(lines, kFrames[frame], model.AutoPos.Records[frame].Mmsi,
                   AutoPosMmsiUse(model, frame));
    }
    return lines;
}

}  // namespace mrw
