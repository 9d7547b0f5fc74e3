// Fuzzes the settings file reader and writer in memory: the input is a settings file text,
// read with or without the ATIS sections (by the parity of its length) over a base model, then
// written out. No file is touched; the reader's own file handling has fuzz_file_open.
//
// The base model is one that reading a file without any section leaves as it is (texts and
// channel tables empty): what the input did not name keeps the base's values, so the text of
// the base, written once, tells what every section the input left alone must look like.
//
// Properties:
// - a refusal names a value that its field cannot hold, and the input has that key;
// - what was read keeps the file format's limits (at most 96, 16 and 64 records, channels
//   read as enabled, frequencies from 0 to below 1000 MHz);
// - the text written after reading is lines of printable ASCII ending in CR LF (other bytes
//   only where the input held them), every number in it is plain decimal in its field's range,
//   and every table record has its section, in order, with its own position or frequencies;
// - every section the input did not name is written exactly as the base's;
// - the sections that differ from the base's, read again over the base, give back the model
//   read (frequencies to the 15 significant digits the file keeps).
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "files/settings_file.h"
#include "fuzz_config.h"
#include "settings_text_check.h"

using namespace mrw;

namespace {

using fuzz::Check;

// The sections of a written settings text: each its header line and its whole text.
__attribute__((no_sanitize("coverage"))) void SplitSections(
    std::string_view text, std::vector<std::pair<std::string_view, std::string_view>>& out) {
    out.clear();
    size_t start = 0;
    while (start < text.size()) {
        // The next "[" that begins a line ends the section.
        size_t next = text.find('[', start + 1);
        while (next != std::string_view::npos &&
               (next < start + 2 || text[next - 1] != '\n' || text[next - 2] != '\r')) {
            next = text.find('[', next + 1);
        }
        next = next == std::string_view::npos ? text.size() : next;
        const std::string_view section = text.substr(start, next - start);
        out.emplace_back(section.substr(0, section.find("\r\n")), section);
        start = next;
    }
}

struct State {
    State() {
        base = f.baseModel;
        Check(ApplySettingsSections({}, true, base), "empty file refused");
        DataModel again = base;
        Check(ApplySettingsSections({}, true, again) && again == base,
              "reading no sections twice differs from once");
        // The base's own text, with and without ATIS: what the writer makes of it, and that
        // reading it gives the base back.
        for (bool atis : {false, true}) {
            const int i = atis ? 1 : 0;
            f.config.state.AtisSupported = atis;
            f.config.model = base;
            baseText[i] = SettingsFileText(f.config);
            fuzz::CheckSettingsText(baseText[i], base, f.config.state.ModelType, atis,
                                    fuzz::ByteSet{});
            std::vector<std::pair<std::string_view, std::string_view>> split;
            SplitSections(baseText[i], split);
            for (const auto& [header, section] : split) {
                baseSections[i].emplace(header, section);
            }
            again = base;
            Check(ApplySettingsSections(ParseSections(baseText[i]), atis, again) && again == base,
                  "the base model does not survive writing and reading");
        }
    }
    fuzz::FuzzConfig f;
    DataModel base;
    std::string baseText[2];
    // Section text by header line ("[Common Setup]").
    std::unordered_map<std::string_view, std::string_view> baseSections[2];
    DataModel work;
    DataModel again;
    std::vector<std::pair<std::string_view, std::string_view>> written;
    std::vector<std::string_view> names;
    std::string name;
    std::string changed;
};

// True when `text` holds `word` in any letter case.
__attribute__((no_sanitize("coverage"))) bool HoldsIgnoringCase(std::string_view text,
                                                                std::string_view word) {
    auto lower = [](char c) {
        return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    };
    return std::search(text.begin(), text.end(), word.begin(), word.end(),
                       [&](char a, char b) { return lower(a) == lower(b); }) != text.end();
}

// Frequencies that agree to the 15 significant digits of the file count as equal.
__attribute__((no_sanitize("coverage"))) void AlignFrequencies(const ChannelTable& read,
                                                               ChannelTable& again) {
    if (read.size() != again.size()) {
        return;
    }
    auto close = [](double a, double b) {
        return std::fabs(a - b) <= 1e-14 * std::fmax(1.0, std::fabs(a));
    };
    for (size_t i = 0; i < read.size(); ++i) {
        if (close(read[i].Rxfreq, again[i].Rxfreq)) {
            again[i].Rxfreq = read[i].Rxfreq;
        }
        if (close(read[i].Txfreq, again[i].Txfreq)) {
            again[i].Txfreq = read[i].Txfreq;
        }
    }
}

__attribute__((no_sanitize("coverage"))) void CheckLimits(const DataModel& m) {
    Check(m.CHUSA.size() <= kMaxStandardChannels && m.CHINT.size() <= kMaxStandardChannels &&
              m.CHCAN.size() <= kMaxStandardChannels,
          "more standard channels than a table holds");
    Check(m.CHRG.size() <= kMaxRgChannels && m.CHEXP.size() <= kMaxExpChannels,
          "more user channels than a table holds");
    for (const ChannelTable* t : {&m.CHUSA, &m.CHINT, &m.CHCAN, &m.CHRG, &m.CHEXP}) {
        for (const ChannelRecord& r : *t) {
            Check(r.Enable, "a channel was read as disabled");
        }
    }
    for (const ChannelTable* t : {&m.CHRG, &m.CHEXP}) {
        for (const ChannelRecord& r : *t) {
            Check(r.Rxfreq >= 0.0 && r.Rxfreq < 1000.0 && r.Txfreq >= 0.0 && r.Txfreq < 1000.0,
                  "a frequency out of range was read");
        }
    }
}

// The sections of the written text that differ from the base's: only sections the input
// named may, and every section of the base is there.
__attribute__((no_sanitize("coverage"))) void ChangedSections(State& s, bool atis) {
    const auto& baseSections = s.baseSections[atis ? 1 : 0];
    s.changed.clear();
    size_t found = 0;
    for (const auto& [header, section] : s.written) {
        const auto base = baseSections.find(header);
        if (base != baseSections.end()) {
            ++found;
            if (base->second == section) {
                continue;
            }
        }
        s.name.assign(header.substr(1, header.size() - 2));
        for (char& c : s.name) {
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        }
        Check(std::binary_search(s.names.begin(), s.names.end(), std::string_view(s.name)),
              "a section the input did not name differs from the base's");
        s.changed.append(section);
    }
    Check(found == baseSections.size(), "a section every settings file has is missing");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static State s;
    if (size > kMaxSettingsFileSize) {
        return 0;
    }
    const std::string text(reinterpret_cast<const char*>(data), size);
    const bool atis = (size & 1) != 0;

    const std::vector<SettingsSection> sections = ParseSections(text);
    s.work = s.base;
    std::string error;
    if (!ApplySettingsSections(sections, atis, s.work, &error)) {
        // "Line N: [section] key=value is out of range.": the input holds the key named.
        Check(error.ends_with(" is out of range."), "refusal without its reason");
        const size_t open = error.find("] ");
        const size_t equals = error.find('=', open);
        Check(open != std::string::npos && equals != std::string::npos &&
                  HoldsIgnoringCase(text, error.substr(open + 2, equals - open - 2)),
              "refused a file for a key it does not hold");
        return 0;
    }
    CheckLimits(s.work);

    Config& config = s.f.config;
    config.state.AtisSupported = atis;
    std::swap(config.model, s.work);
    const std::string written = SettingsFileText(config);
    std::swap(config.model, s.work);

    s.names.clear();
    for (const SettingsSection& section : sections) {
        s.names.emplace_back(section.name);
    }
    std::sort(s.names.begin(), s.names.end());
    SplitSections(written, s.written);
    ChangedSections(s, atis);
    // The sections equal to the base's were checked with the base's text.
    fuzz::CheckSettingsText(s.changed, s.work, config.state.ModelType, atis,
                            fuzz::ForeignBytes(text), false);
    if (s.changed.empty()) {
        Check(s.work == s.base, "a model that differs from the base is written as the base");
        return 0;
    }
    s.again = s.base;
    Check(ApplySettingsSections(ParseSections(s.changed), atis, s.again),
          "written sections refused");
    AlignFrequencies(s.work.CHRG, s.again.CHRG);
    AlignFrequencies(s.work.CHEXP, s.again.CHEXP);
    Check(s.again == s.work, "model changed by writing and reading again");
    return 0;
}
