#include "image/directory_map.h"

#include <span>

namespace mrw {

namespace {

int EntryAddress(const layout::DirectoryLayout& d, int index) {
    return d.base + d.entrySize * index;
}

void DecodeDirectory(const Image& image, const layout::DirectoryLayout& d,
                     std::span<DirectoryRecord> records) {
    int count = std::min(d.count, static_cast<int>(records.size()));
    for (int i = 0; i < count; ++i) {
        int a = EntryAddress(d, i);
        DirectoryRecord& r = records[static_cast<size_t>(i)];
        r.Mmsid = ReadBcdDigits(image, a + layout::kDirMmsiOffset);
        r.TagName = ReadText(image, a + layout::kDirTagOffset, layout::kDirTagChars);
    }
    int end = 0;
    while (end < count && !records[static_cast<size_t>(end)].Mmsid.empty()) {
        records[static_cast<size_t>(end)].Enable = true;
        ++end;
    }
    for (int i = end; i < count; ++i) {
        DirectoryRecord& r = records[static_cast<size_t>(i)];
        r.Enable = false;
        r.Mmsid.clear();
        r.TagName.clear();
    }
}

void EncodeDirectory(Image& image, const layout::DirectoryLayout& d,
                     std::span<const DirectoryRecord> records) {
    int count = std::min(d.count, static_cast<int>(records.size()));
    for (int i = 0; i < count; ++i) {
        int a = EntryAddress(d, i);
        const DirectoryRecord& r = records[static_cast<size_t>(i)];
        WriteBcdDigits(image, a + layout::kDirMmsiOffset, r.Mmsid, true);
        std::string name = r.TagName;
        WriteText(image, a + layout::kDirTagOffset, name, layout::kDirTagChars, false);
    }
}

}  // namespace

void DecodeDirectories(const Image& image, DataModel& model) {
    DecodeDirectory(image, layout::kIndividualDirectory, model.CHMMSID);
    DecodeDirectory(image, layout::kGroupDirectory, model.CHGRPID);
}

void EncodeDirectories(const DataModel& model, Image& image) {
    EncodeDirectory(image, layout::kIndividualDirectory, model.CHMMSID);
    EncodeDirectory(image, layout::kGroupDirectory, model.CHGRPID);
}

}  // namespace mrw
