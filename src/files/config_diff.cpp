#include "files/config_diff.h"

#include <algorithm>
#include <functional>
#include <type_traits>
#include <variant>

#include "core/text.h"
#include "image/check_map.h"
#include "image/codec.h"
#include "model/catalogue.h"
#include "model/settings_keys.h"

namespace mrw {

namespace {

/// Image bytes shown on each side of one image difference before "...".
constexpr size_t kShownBytes = 16;

std::string Flag(bool value) {
    return value ? "1" : "0";
}

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

/// One key of a table record: its name and how the settings file writes its value.
struct RecordKey {
    std::string key;
    std::function<std::string(const ChannelRecord&)> value;
};

std::vector<RecordKey> StandardKeys() {
    using R = const ChannelRecord&;
    return {
        {"Position", [](R r) { return std::to_string(r.Position); }},
        {"Enable", [](R r) { return Flag(r.Enable); }},
        {"LowPower", [](R r) { return Flag(r.LowPower); }},
        {"PowUp", [](R r) { return Flag(r.PowUp); }},
        {"Duplex", [](R r) { return std::to_string(r.Duplex); }},
        {"TxEnable", [](R r) { return Flag(r.TxEnable); }},
        {"StatusNo", [](R r) { return std::to_string(r.StatusNo); }},
        {"StatusIcon", [](R r) { return std::to_string(r.StatusIcon); }},
        {"ScanMemory", [](R r) { return Flag(r.ScanMemory); }},
        {"ChTag", [](R r) { return Quoted(r.ChTag); }},
        {"InterShipCH", [](R r) { return Flag(r.InterShipCH); }},
    };
}

std::vector<RecordKey> WeatherKeys() {
    using R = const ChannelRecord&;
    return {
        {"Enable", [](R r) { return Flag(r.Enable); }},
        {"ScanMemory", [](R r) { return Flag(r.ScanMemory); }},
        {"ChTag", [](R r) { return Quoted(r.ChTag); }},
    };
}

std::vector<RecordKey> UserKeys() {
    using R = const ChannelRecord&;
    std::vector<RecordKey> keys = {
        {"Enable", [](R r) { return Flag(r.Enable); }},
        {"CHDisplayL", [](R r) { return Quoted(r.CHDisplayL); }},
        {"CHDisplayR", [](R r) { return Quoted(r.CHDisplayR); }},
        {"Rxfreq", [](R r) { return FormatDouble(r.Rxfreq); }},
        {"Txfreq", [](R r) { return FormatDouble(r.Txfreq); }},
        {"LowPower", [](R r) { return Flag(r.LowPower); }},
        {"PowUp", [](R r) { return Flag(r.PowUp); }},
        {"TxEnable", [](R r) { return Flag(r.TxEnable); }},
        {"ScanMemory", [](R r) { return Flag(r.ScanMemory); }},
        {"ChTag", [](R r) { return Quoted(r.ChTag); }},
    };
    for (size_t j = 0; j < 3; ++j) {
        keys.push_back({"ExpCB" + std::to_string(j + 1), [j](R r) { return Flag(r.ExpCB[j]); }});
    }
    return keys;
}

/// Collects the differences in order.
class Listing {
public:
    void Changed(const std::string& section, const std::string& key, const std::string& older,
                 const std::string& newer) {
        if (older != newer) {
            out_.push_back({DifferenceKind::Changed, section, key, older, newer});
        }
    }
    void Record(DifferenceKind kind, const std::string& section) {
        out_.push_back({kind, section, {}, {}, {}});
    }
    /// The setup keys as the key table declares them. The table reaches the fields through a
    /// mutable model; the listing only reads them.
    void Setup(const DataModel& older, const DataModel& newer, bool atisSupported) {
        auto& a = const_cast<DataModel&>(older);
        auto& b = const_cast<DataModel&>(newer);
        for (const SetupKey& k : SetupKeys()) {
            if (k.atisOnly && !atisSupported) {
                continue;
            }
            Changed(k.section, k.key, Value(k, k.field(a)), Value(k, k.field(b)));
        }
    }
    /// A channel table: records present on both sides key by key, the others whole. Records
    /// are numbered from `firstNumber` as the settings file numbers them.
    void Table(const std::string& name, const ChannelTable& older, const ChannelTable& newer,
               const std::vector<RecordKey>& keys, int firstNumber = 1) {
        const size_t both = std::min(older.size(), newer.size());
        for (size_t i = 0; i < std::max(older.size(), newer.size()); ++i) {
            const std::string section = name + std::to_string(static_cast<int>(i) + firstNumber);
            if (i >= both) {
                Record(i < newer.size() ? DifferenceKind::Added : DifferenceKind::Removed, section);
                continue;
            }
            for (const RecordKey& k : keys) {
                Changed(section, k.key, k.value(older[i]), k.value(newer[i]));
            }
        }
    }
    template <size_t N>
    void Directory(const std::string& name, const std::array<DirectoryRecord, N>& older,
                   const std::array<DirectoryRecord, N>& newer) {
        for (size_t i = 0; i < N; ++i) {
            const std::string section = name + std::to_string(i + 1);
            Changed(section, "Enable", Flag(older[i].Enable), Flag(newer[i].Enable));
            Changed(section, "TagName", Quoted(older[i].TagName), Quoted(newer[i].TagName));
            Changed(section, "Mmsid", Quoted(older[i].Mmsid), Quoted(newer[i].Mmsid));
        }
    }
    std::vector<Difference> Take() { return std::move(out_); }

private:
    static std::string Value(const SetupKey& k, FieldRef field) {
        return std::visit(
            [&](auto* value) -> std::string {
                using Field = std::remove_pointer_t<decltype(value)>;
                if constexpr (std::is_same_v<Field, bool>) {
                    return k.form == KeyForm::Word ? (*value ? "True" : "False") : Flag(*value);
                } else if constexpr (std::is_same_v<Field, std::string>) {
                    return Quoted(*value);
                } else {
                    return std::to_string(*value);
                }
            },
            field);
    }

    std::vector<Difference> out_;
};

std::string HexBytes(const Image& image, int first, int last) {
    std::string text;
    for (int a = first; a <= last && static_cast<size_t>(a - first) < kShownBytes; ++a) {
        if (!text.empty()) {
            text += ' ';
        }
        text += HexPad(image.Get(a), 2);
    }
    if (static_cast<size_t>(last - first + 1) > kShownBytes) {
        text += " ...";
    }
    return text;
}

std::string AddressText(int address) {
    return "0x" + HexPad(static_cast<uint32_t>(address), 4);
}

}  // namespace

std::vector<Difference> ModelDifferences(const DataModel& older, const DataModel& newer,
                                         bool atisSupported) {
    Listing listing;
    listing.Setup(older, newer, atisSupported);
    const std::vector<RecordKey> standard = StandardKeys();
    listing.Table("CHUSA", older.CHUSA, newer.CHUSA, standard);
    listing.Table("CHINT", older.CHINT, newer.CHINT, standard);
    listing.Table("CHCAN", older.CHCAN, newer.CHCAN, standard);
    listing.Table("CHWX", older.CHWX, newer.CHWX, WeatherKeys(), 0);
    listing.Directory("CHMMSID", older.CHMMSID, newer.CHMMSID);
    listing.Directory("CHGRPID", older.CHGRPID, newer.CHGRPID);
    const std::vector<RecordKey> user = UserKeys();
    listing.Table("CHRG", older.CHRG, newer.CHRG, user);
    listing.Table("CHEXP", older.CHEXP, newer.CHEXP, user);
    return listing.Take();
}

std::vector<Difference> ImageDifferences(const Image& older, const Image& newer,
                                         const DataModel& newerModel) {
    const int last =
        std::clamp(std::min(older.ImageLastAddress, newer.ImageLastAddress), 0, kImageSize - 1);
    // The newer model over the older image: where the result still differs from the newer
    // image, the model does not carry the difference.
    Image encoded = older;
    DataModel model = newerModel;
    const bool covered = EncodeImage(model, encoded);
    std::vector<Difference> out;
    int runStart = -1;
    auto close = [&](int end) {
        if (runStart < 0) {
            return;
        }
        std::string key = AddressText(runStart);
        if (end > runStart) {
            key += "-" + AddressText(end) + " (" + std::to_string(end - runStart + 1) + " bytes)";
        }
        out.push_back({DifferenceKind::Changed, kImageDiffSection, key,
                       HexBytes(older, runStart, end), HexBytes(newer, runStart, end)});
        runStart = -1;
    };
    for (int a = 0; a <= last; ++a) {
        const bool differs =
            older.Get(a) != newer.Get(a) && (!covered || encoded.Get(a) != newer.Get(a));
        if (differs && runStart < 0) {
            runStart = a;
        } else if (!differs) {
            close(a - 1);
        }
    }
    close(last);
    return out;
}

std::vector<Difference> ConfigDifferences(const Config& older, const Config& newer,
                                          bool compareImages) {
    std::vector<Difference> out;
    auto main = [&](const char* key, const std::string& a, const std::string& b) {
        if (a != b) {
            out.push_back({DifferenceKind::Changed, "MAIN", key, a, b});
        }
    };
    main("MODELTYPE", std::to_string(older.state.ModelType), std::to_string(newer.state.ModelType));
    main("REGION", std::to_string(RegionIndex(older.image.Get(checkmap::kRegionAddress))),
         std::to_string(RegionIndex(newer.image.Get(checkmap::kRegionAddress))));
    std::vector<Difference> model = ModelDifferences(
        older.model, newer.model, older.state.AtisSupported && newer.state.AtisSupported);
    out.insert(out.end(), model.begin(), model.end());
    if (compareImages) {
        std::vector<Difference> bytes = ImageDifferences(older.image, newer.image, newer.model);
        out.insert(out.end(), bytes.begin(), bytes.end());
    }
    return out;
}

std::string DifferenceLine(const Difference& difference) {
    std::string line = "[" + difference.section + "]";
    switch (difference.kind) {
        case DifferenceKind::Added:
            line += " added";
            break;
        case DifferenceKind::Removed:
            line += " removed";
            break;
        case DifferenceKind::Changed:
            line += " " + difference.key + ": " +
                    (difference.note.empty() ? difference.oldValue + " -> " + difference.newValue
                                             : difference.note);
            break;
    }
    return difference.notWritten ? line + kNotWrittenSuffix : line;
}

std::vector<DifferenceGroup> GroupBySection(const std::vector<Difference>& differences) {
    std::vector<DifferenceGroup> groups;
    for (const Difference& d : differences) {
        auto group = std::find_if(groups.begin(), groups.end(),
                                  [&](const DifferenceGroup& g) { return g.section == d.section; });
        if (group == groups.end()) {
            groups.push_back({d.section, {}});
            group = std::prev(groups.end());
        }
        group->differences.push_back(d);
    }
    return groups;
}

}  // namespace mrw
