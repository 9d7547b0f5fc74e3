#include "image/checks.h"

#include <system_error>

#include "image/channel_ref.h"
#include "image/check_map.h"
#include "image/codec.h"
#include "model/catalogue.h"

namespace mrw {

using namespace checkmap;

namespace {

int ReadWord(const Image& image, int address) {
    return image.Get(address) * 256 + image.Get(address + 1);
}

void WriteWord(Image& image, int address, int32_t value) {
    uint8_t high = 0;
    uint8_t low = 0;
    SplitWord(value, high, low);
    image.Set(address, high);
    image.Set(address + 1, low);
}

// Bit of slot `slot` in a bitmap: byte slot div 8, most significant bit first.
bool BitmapBit(const Image& image, int base, int slot) {
    return ImageBit(image, base + slot / 8, slot % 8);
}

// A flag byte reads True whenever it is not 0, whatever else the radio put in it.
bool GroupUsable(const Image& image, int group) {
    return image.Get(GroupUsableAddress(group)) != 0;
}

const ChannelTable& StandardTable(const DataModel& model, int group) {
    switch (group) {
        case 0:
            return model.CHUSA;
        case 1:
            return model.CHINT;
        default:
            return model.CHCAN;
    }
}

bool IsStandardGroup(int group) {
    return group >= 0 && group < kStandardGroups;
}

// When the current group is not usable, the next usable one (g + 1, g + 2 modulo 3) becomes
// current; with none usable the byte stays.
void FixCurrentGroup(Image& image) {
    int g = image.Get(kCurrentGroup);
    if (!IsStandardGroup(g) || GroupUsable(image, g)) {
        return;
    }
    for (int step = 1; step < kStandardGroups; ++step) {
        int candidate = (g + step) % kStandardGroups;
        if (GroupUsable(image, candidate)) {
            image.Set(kCurrentGroup, candidate);
            return;
        }
    }
}

// Channel mode: the current and second channel reference point at a usable channel of the
// current group, or at the first enabled channel of its table, or of CHEXP.
void FixCurrentChannel(Image& image, const DataModel& model) {
    FixCurrentGroup(image);
    int g = image.Get(kCurrentGroup);
    if (!IsStandardGroup(g)) {
        return;
    }
    int ref = ReadWord(image, kCurrentRef);
    if (!IsChannelRefUsable(image, ref, g)) {
        int index = FirstEnabledIndex(StandardTable(model, g));
        if (index >= 0) {
            ref = index;
        } else {
            int k = FirstEnabledIndex(model.CHEXP);
            if (k < 0 || k >= kExpChannelSlots) {
                return;
            }
            ref = ExpChannelRef(k);
        }
    }
    WriteWord(image, kCurrentRef, ref);
    WriteWord(image, kSecondRef, ref);
}

// Weather mode: the current weather channel is an enabled CHWX slot, or the first enabled one.
void FixCurrentWeather(Image& image, const DataModel& model) {
    int w = image.Get(kCurrentWeather);
    if (!(w >= 0 && w < kWeatherTable.slotCount &&
          BitmapBit(image, kWeatherTable.enableBitmap, w))) {
        w = FirstEnabledIndex(model.CHWX);
        if (w < 0 || w >= kWeatherTable.slotCount) {
            return;
        }
    }
    image.Set(kCurrentWeather, w);
    WriteWord(image, kCurrentRef, w);
}

// Every remembered channel that is not usable for its group becomes empty (0xFFFF).
void ValidateChannelLists(Image& image) {
    for (int t = 0; t < kStandardGroups; ++t) {
        for (int j = 0; j < kRememberedEntries; ++j) {
            int address = RememberedEntryAddress(t, j);
            if (!IsChannelRefUsable(image, ReadWord(image, address), t)) {
                WriteWord(image, address, kEmptyRef);
            }
        }
    }
}

void WriteDefaults(Image& image) {
    for (const DefaultBytes& run : kDefaultBytes) {
        for (int i = 0; i < run.count; ++i) {
            image.Set(run.address + i, run.bytes[static_cast<size_t>(i)]);
        }
    }
    // No channels in any table but the weather channels: a bitmap left 0xFF would decode as
    // a full table of blank channels.
    for (const layout::ChannelTableLayout& table : layout::kChannelTables) {
        if (table.id != layout::ChannelTableId::CHWX) {
            image.Fill(table.enableBitmap, table.enableBytes, 0);
            image.Fill(table.scanBitmap, table.scanBytes, 0);
        }
    }
}

// Model code in both places; the product code for the models that carry one.
void WriteModelIdentity(Image& image, int modelType) {
    uint16_t code = *ModelCode(modelType);
    WriteWord(image, kModelCodeAddress, code);
    WriteWord(image, image.ImageLastAddress - 1, code);
    if (HasProductCode(modelType)) {
        const std::string product = kProductCode;
        for (int i = 0; i < kProductCodeLength; ++i) {
            image.Set(kProductCodeAddress + i,
                      static_cast<uint8_t>(product[static_cast<size_t>(i)]));
        }
    }
}

}  // namespace

bool IsChannelRefUsable(const Image& image, int ref, int group) {
    if (!IsStandardGroup(group)) {
        return false;
    }
    if (ref >= 0 && ref <= kStandardRefLast) {
        // References beyond the table's 96 slots name no channel; their bits would be read
        // from the bytes after the bitmap.
        const auto& table = layout::TableLayout(kStandardTables[static_cast<size_t>(group)]);
        if (!GroupUsable(image, group) || ref >= table.slotCount) {
            return false;
        }
        return BitmapBit(image, table.enableBitmap, ref);
    }
    int k = ExpRecordOfRef(ref);
    if (k < 0 || !GroupUsable(image, kExpGroup)) {
        return false;
    }
    return BitmapBit(image, kExpTable.enableBitmap, k);
}

void PrepareImageForWrite(Image& image, const DataModel& model) {
    int mode = image.Get(kCurrentMode);
    if (mode == kChannelMode) {
        FixCurrentChannel(image, model);
    } else if (mode == kWeatherMode) {
        FixCurrentWeather(image, model);
    }
    ValidateChannelLists(image);
}

void UpdateChecksum(Image& image) {
    image.Set(kChecksumAddress, ByteSum(image, kChecksumStart, kChecksumCount));
}

bool IsModelCodeValid(int modelType, uint16_t codeAt128, uint16_t codeAtEnd) {
    auto code = ModelCode(modelType);
    return code && codeAt128 == *code && codeAtEnd == *code;
}

std::pair<int, int> ConfigurationRange(const Image& image) {
    return {kDataStartAddress, image.ImageLastAddress - 1};
}

bool IsImageFileLengthValid(const std::filesystem::path& path, const Image& image) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
        return false;
    }
    auto size = std::filesystem::file_size(path, ec);
    return !ec && size == static_cast<uintmax_t>(image.ImageLastAddress) + 1;
}

void NewImage(Image& image, DataModel& model, int modelType) {
    if (!ModelCode(modelType)) {
        return;
    }
    image.bytes.fill(0xFF);
    image.ImageLastAddress = kImageSize - 1;
    WriteDefaults(image);
    WriteModelIdentity(image, modelType);
    DecodeSettings(image, model);
}

}  // namespace mrw
