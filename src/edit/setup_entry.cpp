#include "edit/setup_entry.h"

#include <algorithm>

#include "core/text.h"
#include "edit/edit.h"
#include "edit/refusal.h"
#include "image/image.h"

namespace mrw {

namespace {

constexpr std::u32string_view kStatusNamePunctuation = U"-+().*/ ";

// The setting a digit box edits, of a model or of a const model.
template <typename Model>
auto& DigitSetting(Model& model, DigitBox box, int frame) {
    switch (box) {
        case DigitBox::UserMmsi:
            return model.DscBasic.UserMmsi;
        case DigitBox::AutoPosMmsi:
            return model.AutoPos.Records[static_cast<size_t>(frame)].Mmsi;
        case DigitBox::AtisCode:
            break;
    }
    return model.Atis.AtisCode;
}

bool IsMmsi(DigitBox box) {
    return box != DigitBox::AtisCode;
}

}  // namespace

// ---- Status names ----------------------------------------------------------------------------

bool IsStatusNameChar(char32_t c) {
    return (c >= U'0' && c <= U'9') || (c >= U'A' && c <= U'Z') || (c >= U'a' && c <= U'z') ||
           kStatusNamePunctuation.find(c) != kStatusNamePunctuation.npos;
}

std::string StatusNameEntry(std::string_view text) {
    // Cut to the field's length, then what the field keeps of that: trailing spaces and any
    // character a name cannot hold are not stored.
    return KeptText(text.substr(0, std::min(text.size(), size_t{kStatusNameLength})),
                    kStatusNameLength);
}

bool CommitStatusName(Config& config, int group, std::string_view text) {
    const std::string name = StatusNameEntry(text);
    return EditModel(config,
                     std::string("Status name of ") + kGroupNames[static_cast<size_t>(group)],
                     [&](DataModel& m) { m.Groups[static_cast<size_t>(group)].StatusName = name; });
}

// ---- Digit boxes -----------------------------------------------------------------------------

bool IsDigitChar(char32_t c) {
    return c >= U'0' && c <= U'9';
}

int DigitBoxLength(DigitBox box) {
    return IsMmsi(box) ? 9 : 10;
}

std::string DigitBoxTitle(DigitBox box) {
    switch (box) {
        case DigitBox::UserMmsi:
            return "User MMSI";
        case DigitBox::AutoPosMmsi:
            return "Auto POS MMSI";
        case DigitBox::AtisCode:
            break;
    }
    return "ATISNo";
}

std::string DigitBoxReason(DigitBox box) {
    return IsMmsi(box) ? "An MMSI has 9 digits." : "An ATIS code has 10 digits.";
}

std::string StoredDigits(const DataModel& model, DigitBox box, int frame) {
    return DigitSetting(model, box, frame);
}

std::string DigitBoxText(DigitBox box, std::string_view stored) {
    return std::string(stored.substr(0, static_cast<size_t>(DigitBoxLength(box))));
}

std::optional<std::string> DigitEntryValue(DigitBox box, std::string_view text) {
    const std::string t = Trim(text);
    if (t.empty()) {
        return std::string();
    }
    const bool digits =
        std::all_of(t.begin(), t.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (!digits || static_cast<int>(t.size()) != DigitBoxLength(box)) {
        return std::nullopt;
    }
    return IsMmsi(box) ? t + "0" : t;
}

DigitCommit CommitDigitEntry(Config& config, DigitBox box, int frame, std::string_view text,
                             CommitMode mode) {
    DigitCommit commit;
    const std::optional<std::string> value = DigitEntryValue(box, text);
    if (value) {
        commit.accepted = EditModel(config, DigitBoxTitle(box),
                                    [&](DataModel& m) { DigitSetting(m, box, frame) = *value; });
    }
    if (commit.accepted) {
        commit.text = DigitBoxText(box, *value);
    } else if (mode == CommitMode::KeepText) {
        commit.text = std::string(text);
        if (!config.state.Loading) {
            ShowDataError(config, DigitBoxTitle(box), DigitBoxReason(box));
        }
    } else {
        commit.text = DigitBoxText(box, StoredDigits(config.model, box, frame));
    }
    return commit;
}

}  // namespace mrw
