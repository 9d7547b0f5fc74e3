#include "files/file_only.h"

#include <algorithm>
#include <exception>
#include <set>
#include <type_traits>
#include <utility>
#include <variant>

#include "image/checks.h"
#include "image/settings_map.h"
#include "link/transfer_map.h"
#include "model/settings_keys.h"

namespace mrw {

namespace {

using KeyName = std::pair<std::string, std::string>;

// Other values a field is given to find the image bytes its encoding reaches. A mapped field
// changes some byte for at least one of them; a value its field cannot hold fails the encoding
// and is passed over.
std::vector<bool> OtherValues(bool value) {
    return {!value};
}

template <typename Number>
std::vector<Number> OtherValues(Number value) {
    return {static_cast<Number>(value ^ 1), 0, 1, 2};
}

std::vector<std::string> OtherValues(const std::string&) {
    return {"1", "2", "123456789", "1234567890", "AB"};
}

/// True when changing the key's field changes a byte that programming writes.
bool Carried(const SetupKey& key, const DataModel& base, const Image& encoded) {
    bool carried = false;
    std::visit(
        [&](auto* baseField) {
            for (const auto& value : OtherValues(*baseField)) {
                if (value == *baseField) {
                    continue;
                }
                DataModel model = base;
                auto* field = std::get<decltype(baseField)>(key.field(model));
                *field = value;
                Image image = encoded;
                try {
                    EncodeSettingsMap(model, image);
                } catch (const std::exception&) {
                    continue;
                }
                for (int a = 0; a < kImageSize; ++a) {
                    if (image.bytes[static_cast<size_t>(a)] !=
                            encoded.bytes[static_cast<size_t>(a)] &&
                        transfermap::ProgramWrites(a)) {
                        carried = true;
                        return;
                    }
                }
            }
        },
        key.field(const_cast<DataModel&>(base)));
    return carried;
}

const std::set<KeyName>& FileOnlyKeys() {
    static const std::set<KeyName> keys = [] {
        // A fresh data model over the default image: its SELECTCALL 0 gives LASTADDRESS a byte,
        // as every other conditional field has one.
        Image encoded;
        DataModel decoded;
        NewImage(encoded, decoded, 1);
        DataModel base;
        try {
            Image fresh = encoded;
            EncodeSettingsMap(base, fresh);
            encoded = fresh;
        } catch (const std::exception&) {
            base = decoded;
            EncodeSettingsMap(base, encoded);
        }
        std::set<KeyName> out;
        for (const SetupKey& key : SetupKeys()) {
            if (!Carried(key, base, encoded)) {
                out.insert({key.section, key.key});
            }
        }
        return out;
    }();
    return keys;
}

}  // namespace

bool IsKeptInFileOnly(std::string_view section, std::string_view key) {
    return FileOnlyKeys().count({std::string(section), std::string(key)}) != 0;
}

void MarkKeptInFileOnly(std::vector<Difference>& differences) {
    for (Difference& d : differences) {
        if (d.kind == DifferenceKind::Changed && IsKeptInFileOnly(d.section, d.key)) {
            d.notWritten = true;
        }
    }
}

void KeepFileOnlyValues(const DataModel& file, DataModel& model) {
    auto& from = const_cast<DataModel&>(file);
    for (const SetupKey& key : SetupKeys()) {
        if (!IsKeptInFileOnly(key.section, key.key)) {
            continue;
        }
        std::visit(
            [&](auto* to) {
                // Only read through the reference into `file`.
                *to = *std::get<decltype(to)>(key.field(from));
            },
            key.field(model));
    }
}

std::vector<Difference> KeptInFileOnly(const DataModel& readBack, const DataModel& file,
                                       bool atisSupported) {
    std::vector<Difference> all = ModelDifferences(readBack, file, atisSupported);
    std::vector<Difference> kept;
    for (Difference& d : all) {
        if (d.kind == DifferenceKind::Changed && IsKeptInFileOnly(d.section, d.key)) {
            d.notWritten = true;
            kept.push_back(std::move(d));
        }
    }
    return kept;
}

std::string KeptInFileOnlyLine(size_t count) {
    return std::string(kKeptInFileHeading) + ": " + std::to_string(count) +
           (count == 1 ? " setting" : " settings");
}

}  // namespace mrw
