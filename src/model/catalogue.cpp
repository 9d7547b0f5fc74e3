#include "model/catalogue.h"

#include <cstdio>

#include "core/text.h"

namespace mrw {

namespace {

std::vector<CatalogueRow> BuildCatalogue() {
    std::vector<CatalogueRow> rows(kCatalogueSize);
    // The frequencies are accumulated, not multiplied, so that they carry exactly the
    // rounding of the radio's own tables.
    double f = 156.0;
    for (int i = 0; i < kCatalogueSize; ++i) {
        if (i == 60) {
            f = 156.025;
        }
        CatalogueRow& r = rows[static_cast<size_t>(i)];
        r.F1 = f;
        r.F2 = f;
        r.F3 = f + 4.6;
        char label[8];
        std::snprintf(label, sizeof label, "%02d", i);
        r.Label = label;
        r.Flag1 = true;
        f += 0.05;
    }
    return rows;
}

std::array<CatalogueRow, kWeatherChannels + 1> BuildWeatherTable() {
    static constexpr std::array<const char*, kWeatherChannels> kFreqs = {
        "162.550", "162.400", "162.475", "162.425", "162.450",
        "162.500", "162.525", "161.650", "161.775", "163.275"};
    std::array<CatalogueRow, kWeatherChannels + 1> rows{};
    for (int i = 1; i <= kWeatherChannels; ++i) {
        CatalogueRow& r = rows[static_cast<size_t>(i)];
        std::string freq = kFreqs[static_cast<size_t>(i - 1)];
        char label[32];
        std::snprintf(label, sizeof label, "WX%02d[%sMHz]", i, freq.c_str());
        r.Valid = true;
        r.Label = label;
        r.F1 = 0.0;
        r.F2 = Val(freq);
        r.F3 = r.F2;
        r.Flag1 = true;
        r.Flag2 = false;
        r.FreqText = freq + "MHZ";
    }
    return rows;
}

}  // namespace

const std::vector<CatalogueRow>& ChannelCatalogue() {
    static const std::vector<CatalogueRow> rows = BuildCatalogue();
    return rows;
}

const std::array<CatalogueRow, kWeatherChannels + 1>& WeatherTable() {
    static const auto rows = BuildWeatherTable();
    return rows;
}

void RebuildWeatherTable(DataModel& model) {
    EmptyTable(model.CHWX);
    const auto& rows = WeatherTable();
    for (int i = 1; i <= kWeatherChannels; ++i) {
        const CatalogueRow& row = rows[static_cast<size_t>(i)];
        if (!row.Valid) {
            continue;
        }
        ChannelRecord& record = AppendRecord(model.CHWX);
        record.Position = static_cast<int16_t>(i);
        record.Enable = true;
        record.LowPower = row.Flag2;
        record.PowUp = false;
        record.Duplex = row.Flag1 ? 1 : 0;  // receive only
        record.TxEnable = row.F1 > 0;
        record.ScanMemory = false;
        record.ChTag = row.FreqText;
    }
}

DataModel DefaultModel() {
    DataModel model;
    RebuildWeatherTable(model);
    return model;
}

std::string ModelNameOf(int modelType) {
    switch (modelType) {
        case 1:
            return "HV2300";
        case 2:
            return "HV2400";
        case 11:
            return "HV2300M";
        default:
            return "Unknown model";
    }
}

std::string ModelCaptionOf(int modelType) {
    switch (modelType) {
        case 1:
            return "HV2300";
        case 2:
            return "HV2400";
        case 11:
            return "HV2300M";
        default:
            return "";
    }
}

std::optional<uint16_t> ModelCode(int modelType) {
    switch (modelType) {
        case 1:
        case 11:
            return 2301;
        case 2:
            return 2401;
        default:
            return std::nullopt;
    }
}

std::string ModelFileSuffix(int modelType) {
    auto code = ModelCode(modelType);
    if (!code) {
        return "";
    }
    return (modelType == 11 ? "-M_" : "_") + HexPad(*code, 4);
}

bool HasProductCode(int modelType) {
    return modelType == 1 || modelType == 2;
}

int RegionIndex(int code) {
    return code >= 0 && code <= 5 ? code : 255;
}

std::string RegionName(int code) {
    static constexpr std::array<const char*, 6> kNames = {"INTL", "UK", "BE", "NL", "SW", "GRMN"};
    int index = RegionIndex(code);
    return index == 255 ? "USA" : kNames[static_cast<size_t>(index)];
}

std::string RegionMismatchLines(RegionSource source, int otherCode, int imageCode,
                                const std::string& newline) {
    const bool radio = source == RegionSource::Radio;
    std::string lines = newline + (radio ? "Radio: " : "File: ") + RegionName(otherCode) +
                        " \u2014 MRW: " + RegionName(imageCode);
    if ((RegionIndex(otherCode) == 255) != (RegionIndex(imageCode) == 255)) {
        lines += newline + (radio ? "A USA radio cannot take another region's configuration, "
                                    "nor the reverse."
                                  : "A USA configuration cannot be opened for another region, "
                                    "nor the reverse.");
    }
    return lines;
}

std::optional<int> RegionCodeOfName(const std::string& name) {
    for (int code = 0; code <= 5; ++code) {
        if (EqualsIgnoreCase(name, RegionName(code))) {
            return code;
        }
    }
    if (EqualsIgnoreCase(name, "USA")) {
        return 255;
    }
    return std::nullopt;
}

}  // namespace mrw
