#include "image/codec.h"

#include "image/channel_map.h"
#include "image/directory_map.h"
#include "image/settings_map.h"
#include "model/catalogue.h"

namespace mrw {

namespace {

using layout::ChannelTableId;

// The standard and weather tables come before the directories, the user tables after them.
constexpr std::array<ChannelTableId, 4> kTablesBeforeDirectories = {
    ChannelTableId::CHUSA, ChannelTableId::CHINT, ChannelTableId::CHCAN, ChannelTableId::CHWX};
constexpr std::array<ChannelTableId, 2> kTablesAfterDirectories = {ChannelTableId::CHEXP,
                                                                   ChannelTableId::CHRG};

}  // namespace

void DecodeImage(const Image& image, DataModel& model) {
    DecodeSettingsMap(image, model);
    for (ChannelTableId id : kTablesBeforeDirectories) {
        DecodeChannelTable(image, model, id);
    }
    DecodeDirectories(image, model);
    for (ChannelTableId id : kTablesAfterDirectories) {
        DecodeChannelTable(image, model, id);
    }
}

DataModel DecodedModel(const Image& image) {
    DataModel model = DefaultModel();
    DecodeImage(image, model);
    return model;
}

bool EncodeImage(DataModel& model, Image& image, std::string* error) {
    // Encode into copies so that a value the image cannot carry leaves both untouched.
    Image encoded = image;
    DataModel updated = model;
    try {
        EncodeSettingsMap(updated, encoded);
        for (ChannelTableId id : kTablesBeforeDirectories) {
            EncodeChannelTable(updated, encoded, id);
        }
        EncodeDirectories(updated, encoded);
        for (ChannelTableId id : kTablesAfterDirectories) {
            EncodeChannelTable(updated, encoded, id);
        }
    } catch (const std::exception& e) {
        if (error != nullptr) {
            *error = std::string("The configuration cannot be stored in the radio's memory: ") +
                     e.what();
        }
        return false;
    }
    image = encoded;
    model = std::move(updated);
    if (error != nullptr) {
        error->clear();
    }
    return true;
}

void DecodeSettings(const Image& image, DataModel& model) {
    DecodeSettingsMap(image, model);
}

}  // namespace mrw
