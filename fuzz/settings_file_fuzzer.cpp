// Fuzzes the settings file reader and writer in memory: the input is a settings file text,
// read with or without the ATIS sections (by the parity of its length) over a base model, then
// written out. No file is touched; the reader's own file handling has fuzz_file_open.
//
// The base model is one that reading a file without any section leaves as it is (texts and
// channel tables empty): what the input did not name keeps the base's values, so the text of
// the base, written once, tells what every section the input left alone must look like.
//
// Properties:
// - a refusal names a value that cannot be held (a position or a frequency out of range),
//   and the input has such a key;
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

// The sections of a written settings text by their upper-case names, each with its lines.
struct WrittenSections {
    __attribute__((no_sanitize("coverage"))) void Split(std::string_view text) {
        sections.clear();
        size_t start = 0;
        while (start < text.size()) {
            size_t next = text.find("\r\n[", start);
            next = next == std::string_view::npos ? text.size() : next + 2;
            const std::string_view section = text.substr(start, next - start);
            const size_t close = section.find(']');
            std::string name(section.substr(1, close == std::string_view::npos ? 0 : close - 1));
            for (char& c : name) {
                c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            }
            sections.emplace_back(std::move(name), section);
            start = next;
        }
    }
    std::vector<std::pair<std::string, std::string_view>> sections;
};

struct State {
    State() {
        base = f.baseModel;
        Check(ApplySettingsSections({}, true, base), "empty file refused");
        DataModel again = base;
        Check(ApplySettingsSections({}, true, again) && again == base,
              "reading no sections twice differs from once");
        // The base's own text, with and without ATIS, and what reading it gives back.
        for (bool atis : {false, true}) {
            f.config.state.AtisSupported = atis;
            f.config.model = base;
            std::string& text = baseText[atis ? 1 : 0];
            text = SettingsFileText(f.config);
            WrittenSections split;
            split.Split(text);
            for (auto& [name, section] : split.sections) {
                baseSections[atis ? 1 : 0].emplace(name, section);
            }
            again = base;
            Check(ApplySettingsSections(ParseSections(text), atis, again) && again == base,
                  "the base model does not survive writing and reading");
        }
    }
    fuzz::FuzzConfig f;
    DataModel base;
    std::string baseText[2];
    std::unordered_map<std::string, std::string_view> baseSections[2];
    DataModel work;
    DataModel again;
    WrittenSections written;
    std::vector<std::string_view> names;
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

// The sections of the written text that differ from the base's; those the input did not name
// must not.
__attribute__((no_sanitize("coverage"))) void ChangedSections(State& s, bool atis) {
    const auto& baseSections = s.baseSections[atis ? 1 : 0];
    s.changed.clear();
    for (const auto& [name, section] : s.written.sections) {
        const auto found = baseSections.find(name);
        if (found != baseSections.end() && found->second == section) {
            continue;
        }
        Check(std::binary_search(s.names.begin(), s.names.end(), std::string_view(name)),
              "a section the input did not name differs from the base's");
        s.changed.append(section);
    }
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
        Check(error.find("out of range") != std::string::npos, "refusal without its reason");
        Check(HoldsIgnoringCase(text, "position") || HoldsIgnoringCase(text, "rxfreq") ||
                  HoldsIgnoringCase(text, "txfreq"),
              "refused a file without a position or frequency");
        return 0;
    }
    CheckLimits(s.work);

    Config& config = s.f.config;
    config.state.AtisSupported = atis;
    std::swap(config.model, s.work);
    const std::string written = SettingsFileText(config);
    std::swap(config.model, s.work);
    fuzz::CheckSettingsText(written, s.work, config.state.ModelType, atis,
                            fuzz::ForeignBytes(text));

    s.names.clear();
    for (const SettingsSection& section : sections) {
        s.names.emplace_back(section.name);
    }
    std::sort(s.names.begin(), s.names.end());
    s.written.Split(written);
    ChangedSections(s, atis);
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
