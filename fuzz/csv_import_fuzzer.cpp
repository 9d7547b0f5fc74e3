// Fuzzes the channel list import: the input is a CSV file, imported in memory into each of the
// five channel tables of the default configuration (CHUSA, CHINT, CHCAN, CHRG, CHEXP), the
// records there being the ones it is to replace.
//
// Properties, for every table:
// - the import refuses with a reason and without channels, or gives channels and no refusal;
// - the reason and every note are one line that shows no control character: no byte below
//   0x20, no DEL, no C1 control and no Unicode line or paragraph separator;
// - at most the table's capacity of records, each enabled;
// - the configuration holding the channels taken (as the import applies them) is written by
//   the settings file writer as a well-formed settings text, and encoded into a raw image;
// - the channel list exported from that configuration imports without a refusal into the
//   table it came from, giving the same channels.
#include <cstdint>
#include <string>
#include <string_view>

#include "edit/channel_table.h"
#include "files/csv_channels.h"
#include "files/settings_file.h"
#include "fuzz_config.h"
#include "image/codec.h"
#include "settings_text_check.h"

using namespace mrw;

namespace {

using fuzz::Check;

constexpr TableKind kKinds[] = {TableKind::USA, TableKind::INT, TableKind::CAN, TableKind::RG,
                                TableKind::EXP};

// One line without control characters, read as UTF-8 where the bytes form it.
__attribute__((no_sanitize("coverage"))) bool ShowsNoControl(std::string_view text) {
    for (size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<uint8_t>(text[i]);
        if (c < 0x20 || c == 0x7F) {
            return false;
        }
        const auto next = i + 1 < text.size() ? static_cast<uint8_t>(text[i + 1]) : 0;
        if (c == 0xC2 && next >= 0x80 && next <= 0x9F) {
            return false;  // U+0080..U+009F
        }
        if (c == 0xE2 && next == 0x80 && i + 2 < text.size() &&
            (static_cast<uint8_t>(text[i + 2]) == 0xA8 ||
             static_cast<uint8_t>(text[i + 2]) == 0xA9)) {
            return false;  // U+2028, U+2029
        }
    }
    return true;
}

struct State {
    fuzz::FuzzConfig f;
    DataModel encoded;
    Image image;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static State s;
    if (size > kMaxCsvFileSize) {
        return 0;
    }
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const fuzz::ByteSet foreign = fuzz::ForeignBytes(text);
    Config& config = s.f.config;
    config.state.AtisSupported = false;

    for (TableKind kind : kKinds) {
        const ChannelTable& current = *TableOf(s.f.baseModel, kind);
        const CsvImport import = ImportChannelCsv(text, kind, current);
        for (const CsvNote& note : import.notes) {
            Check(ShowsNoControl(note.text), "a note shows a control character or line break");
            Check(note.line >= 0, "a note on a negative line");
        }
        if (!import.refusal.empty()) {
            Check(import.table.empty(), "a refused import gives channels");
            Check(ShowsNoControl(import.refusal), "a refusal shows a control character");
            continue;
        }
        Check(!import.table.empty(), "an import gives no channels and no refusal");
        Check(static_cast<int>(import.table.size()) <= TableCapacity(kind),
              "more channels than the table holds");
        for (const ChannelRecord& r : import.table) {
            Check(r.Enable, "an imported channel is disabled");
        }

        s.f.Reset();
        ReplaceChannels(config.model, kind, import.table);
        fuzz::CheckSettingsText(SettingsFileText(config), config.model, config.state.ModelType,
                                false, foreign);
        s.encoded = config.model;
        s.image = config.image;
        std::string error;
        Check(EncodeImage(s.encoded, s.image, &error), "the imported channels do not encode");

        const std::string exported = ChannelTableCsv(config.model, kind);
        const ChannelTable& taken = *TableOf(config.model, kind);
        const CsvImport again = ImportChannelCsv(exported, kind, taken);
        Check(again.refusal.empty(), "the export of an import is refused");
        Check(again.table == taken, "the export of an import imports as other channels");
    }
    return 0;
}
