#include "edit/channel_panel.h"

#include <algorithm>
#include <array>
#include <tuple>

#include "core/text.h"
#include "edit/channel_grid.h"
#include "edit/refusal.h"
#include "image/image.h"
#include "image/memory_map.h"
#include "model/catalogue.h"

namespace mrw {

namespace {

// The lowest and highest frequency of a user channel, MHz.
constexpr double kLowestFrequency = 137.0;
constexpr double kHighestFrequency = 174.0;

// Which catalogue frequencies a duplex mode receives and transmits, and its grid text.
struct DuplexRule {
    const char* cellText;
    double CatalogueRow::*rx;
    double CatalogueRow::*tx;
};
constexpr std::array<DuplexRule, 4> kDuplexRules = {{
    {"TX_SIMP", &CatalogueRow::F2, &CatalogueRow::F1},
    {"RX_SIMP", &CatalogueRow::F3, &CatalogueRow::F3},
    {"DUP", &CatalogueRow::F3, &CatalogueRow::F1},
    {"Reverse DUP", &CatalogueRow::F2, &CatalogueRow::F3},
}};

bool InRange(double mhz) {
    return mhz >= kLowestFrequency && mhz <= kHighestFrequency;
}

bool IsEmptyFrequencyText(const std::string& text) {
    const std::string trimmed = Trim(text);
    return trimmed.empty() || trimmed == FormatFreq4(0.0);
}

// A list value replaces the field; no item selected (-1) leaves the field as it was.
void TakeListValue(int16_t& field, int value) {
    if (value >= 0) {
        field = static_cast<int16_t>(value);
    }
}

void TakeScramble(ChannelRecord& record, int value) {
    if (value < 0) {
        return;
    }
    record.Scramble = static_cast<int16_t>(value);
    record.ScrambleOn = value > 0;
}

}  // namespace

FrequencyEntry ParseFrequency(const std::string& text, FrequencyMode mode) {
    double value = Val(text);
    FrequencyEntry entry;
    if (InRange(value)) {
        entry.valid = IsOn25kHzGrid(value);
        entry.reason = entry.valid ? "" : kFrequencyGridReason;
    } else {
        entry.valid = IsEmptyFrequencyText(text);
        if (entry.valid) {
            value = 0.0;
        } else {
            entry.reason = kFrequencyRangeReason;
        }
    }
    if (entry.valid) {
        entry.text = FormatFreq4(value);
        entry.mhz = value;
    } else {
        entry.text = mode == FrequencyMode::Reformat ? FormatFreq4(value) : text;
    }
    return entry;
}

std::optional<FrequencyTexts> BaseChannelTexts(int position, int duplex, bool txEnable) {
    const auto& catalogue = ChannelCatalogue();
    if (position < 0 || position >= static_cast<int>(catalogue.size()) || duplex < 0 ||
        duplex >= static_cast<int>(kDuplexRules.size())) {
        return std::nullopt;
    }
    const CatalogueRow& row = catalogue[static_cast<size_t>(position)];
    const DuplexRule& rule = kDuplexRules[static_cast<size_t>(duplex)];
    return FrequencyTexts{FormatFreq3(row.*rule.rx), FormatFreq3Blank(row.*rule.tx, !txEnable)};
}

std::string DuplexCellText(int duplex) {
    if (duplex >= 0 && duplex < static_cast<int>(kDuplexRules.size())) {
        return kDuplexRules[static_cast<size_t>(duplex)].cellText;
    }
    return "value " + std::to_string(duplex);
}

PanelEnables ChannelPanelEnables(bool channelEnable, bool txEnable, bool lowPower,
                                 bool txFrameVisible) {
    PanelEnables enables;
    enables.entries = channelEnable;
    enables.lowPower = !txFrameVisible || (txEnable && enables.entries);
    enables.powerUp = lowPower && enables.lowPower;
    return enables;
}

std::optional<ChannelRecord> BuildChannelRecord(TableKind kind, const ChannelRecord& base,
                                                const ChannelPanelValues& values,
                                                std::string* reason) {
    // Every text and value takes the form its image field keeps: what SAVE stores is what a
    // program and a read give back.
    ChannelRecord record = base;
    record.Enable = true;
    record.TxEnable = values.txEnable;
    record.LowPower = values.txEnable && values.lowPower;  // the radio has no low power then
    record.PowUp = values.powerUp;
    record.ScanMemory = values.scanMemory;
    record.ChTag = KeptText(values.name, layout::kTagSize);
    TakeScramble(record, values.scramble);
    if (!IsUserTable(kind)) {
        TakeListValue(record.Position, values.baseChannel);
        TakeListValue(record.StatusNo, values.statusNo);
        TakeListValue(record.StatusIcon, values.statusIcon);
        TakeListValue(record.Duplex, values.duplex);
        record.InterShipCH = values.interShip;
        return record;
    }
    record.ExpCB = values.expGroups;
    record.CHDisplayL = KeptDisplayText(values.display, layout::rec16::kDisplayChars);
    const FrequencyEntry rx = ParseFrequency(values.rxText, FrequencyMode::Reformat);
    const FrequencyEntry tx = ParseFrequency(values.txText, FrequencyMode::Reformat);
    record.Rxfreq = KeptFrequency(rx.mhz);
    record.Txfreq = KeptFrequency(tx.mhz);
    // The first thing wrong, in the order of the panel's boxes.
    std::string wrong;
    for (const auto& [entry, mhz, name, missing] :
         {std::tuple(&rx, record.Rxfreq, "Rx frequency: ", "Give the channel a receive frequency."),
          std::tuple(&tx, record.Txfreq,
                     "Tx frequency: ", "Give the channel a transmit frequency.")}) {
        if (wrong.empty() && !InRange(mhz)) {
            wrong = !entry->valid ? name + entry->reason
                    : mhz == 0.0  ? std::string(missing)
                                  : name + std::string(kFrequencyRangeReason);
        }
    }
    if (wrong.empty() && Trim(record.CHDisplayL).empty()) {
        wrong = kDisplayTextReason;
    }
    if (!wrong.empty()) {
        if (reason != nullptr) {
            *reason = wrong;
        }
        return std::nullopt;
    }
    return record;
}

std::string DisplayTextRefusal(const std::string& text) {
    return Trim(text).empty() ? kDisplayTextReason : "";
}

std::string PendingChannelReason(const std::string& rxText, const std::string& display) {
    if (rxText.find("---") != std::string::npos) {
        return "Give the channel a receive frequency.";
    }
    return display.empty() ? kDisplayTextReason : "";
}

SaveOutcome SaveChannel(Config& config, ChannelListState& state, const ChannelPanelValues& values) {
    const ChannelTable* table = TableOf(config.model, state.kind);
    if (table == nullptr) {
        return SaveOutcome::NotStored;
    }
    ChannelRecord base = NewChannelRecord();
    if (state.mode == EntryMode::Edit) {
        const int k = state.insertionIndex;
        if (k < 0 || k >= static_cast<int>(table->size())) {
            return SaveOutcome::NotStored;
        }
        base = (*table)[static_cast<size_t>(k)];
    }
    std::string reason;
    const std::optional<ChannelRecord> record =
        BuildChannelRecord(state.kind, base, values, &reason);
    if (!record) {
        ShowMessage(config, WithReason(kChannelDataError, reason), Icon::Exclamation);
        return SaveOutcome::Refused;
    }
    return StoreChannel(config, state, *record) ? SaveOutcome::Stored : SaveOutcome::NotStored;
}

std::string UnsavedChannelQuestion(const DataModel& model, const ChannelListState& state,
                                   const ChannelPanelValues& values) {
    const ChannelTable* table = TableOf(model, state.kind);
    const int k = state.insertionIndex;
    std::string label;
    if (state.mode == EntryMode::Edit && table != nullptr && k >= 0 &&
        k < static_cast<int>(table->size())) {
        label = ChannelRowLabel(state.kind, k, (*table)[static_cast<size_t>(k)]);
    } else if (IsUserTable(state.kind)) {
        label = ChannelRowLabel(state.kind, std::max(k + 1, 0), ChannelRecord{});
    } else {
        ChannelRecord chosen;
        chosen.Position = static_cast<int16_t>(values.baseChannel);
        chosen.StatusNo = static_cast<int16_t>(values.statusNo);
        chosen.StatusIcon = static_cast<int16_t>(values.statusIcon);
        label = ChannelRowLabel(state.kind, 0, chosen);
    }
    return label.empty() ? "Save the new channel?" : "Save the changes to channel " + label + "?";
}

}  // namespace mrw
