#include "edit/cleared_data.h"

#include <algorithm>
#include <memory>
#include <span>

#include "edit/edit.h"
#include "image/codec.h"
#include "image/memory_map.h"

namespace mrw {

namespace {

bool Written(const std::vector<ClearedSpan>& sent, int first, int last) {
    return std::any_of(sent.begin(), sent.end(), [&](const ClearedSpan& span) {
        return span.first <= last && span.last >= first;
    });
}

/// The entries of `records` whose bytes were written take the image's (decoded) entries; a
/// directory that was written ends at its first entry without digits, as a read would see it.
void AdoptDirectory(const std::vector<ClearedSpan>& sent, const layout::DirectoryLayout& d,
                    std::span<const DirectoryRecord> decoded, std::span<DirectoryRecord> records) {
    const int count =
        std::min({d.count, static_cast<int>(records.size()), static_cast<int>(decoded.size())});
    bool touched = false;
    for (int i = 0; i < count; ++i) {
        const int first = d.base + d.entrySize * i;
        if (Written(sent, first, first + d.entrySize - 1)) {
            records[static_cast<size_t>(i)] = decoded[static_cast<size_t>(i)];
            touched = true;
        }
    }
    if (!touched) {
        return;
    }
    bool ended = false;
    for (int i = 0; i < count; ++i) {
        DirectoryRecord& r = records[static_cast<size_t>(i)];
        ended = ended || r.Mmsid.empty();
        if (ended) {
            r = DirectoryRecord{};
        }
    }
}

}  // namespace

bool AdoptClearedData(Config& config, const std::string& what,
                      const std::vector<ClearedSpan>& sent) {
    if (sent.empty()) {
        return false;
    }
    // The image decoded aside; only the parts written are taken from it.
    auto decoded = std::make_unique<DataModel>(config.model);
    DecodeImage(config.image, *decoded);
    auto after = std::make_unique<DataModel>(config.model);
    AdoptDirectory(sent, layout::kIndividualDirectory, decoded->CHMMSID, after->CHMMSID);
    AdoptDirectory(sent, layout::kGroupDirectory, decoded->CHGRPID, after->CHGRPID);
    if (Written(sent, layout::kUserMmsi, layout::kUserMmsi + layout::kDigitBytes - 1)) {
        after->DscBasic.UserMmsi = decoded->DscBasic.UserMmsi;
    }
    if (Written(sent, layout::kAtisCode, layout::kAtisCode + layout::kDigitBytes - 1)) {
        after->Atis.AtisCode = decoded->Atis.AtisCode;
    }
    for (size_t g = 0; g < after->Atis.UsableAtis.size(); ++g) {
        const int flag = layout::GroupBlock(static_cast<int>(g)) + layout::kGroupAtisUsableOffset;
        if (Written(sent, flag, flag)) {
            after->Atis.UsableAtis[g] = decoded->Atis.UsableAtis[g];
        }
    }
    if (*after == config.model) {
        return false;
    }
    return EditModel(config, what, [&after](DataModel& model) { model = *after; });
}

}  // namespace mrw
