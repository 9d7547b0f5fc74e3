#include "image/channel_map.h"

#include <cmath>

#include "core/text.h"
#include "model/catalogue.h"

namespace mrw {

namespace {

using layout::BitField;
using layout::ChannelTableId;
using layout::ChannelTableLayout;
using layout::RecordKind;

std::string RecordName(const ChannelTableLayout& t, size_t k) {
    return std::string(t.name) + " record " + std::to_string(k);
}

// Bit k of a bitmap, most significant bit first within each byte.
bool BitmapBit(const Image& image, int base, int k) {
    return GetBit(image.Get(base + k / 8), 7 - k % 8) != 0;
}

int FieldValue(const Image& image, int address, const BitField& f) {
    return GetBits(image.Get(address + f.offset), f.width, f.top);
}

bool FieldFlag(const Image& image, int address, const BitField& f) {
    return FieldValue(image, address, f) != 0;
}

// Stores `value` into the bit field of `byte`; a value the field cannot hold fails.
void PutField(uint8_t& byte, const BitField& f, long value, const std::string& what) {
    if (value < 0 || value >= (1L << f.width)) {
        throw FieldRangeError(what + ": value " + std::to_string(value) + " does not fit in " +
                              std::to_string(f.width) + " bits");
    }
    SetBits(byte, f.width, f.top, static_cast<int>(value));
}

void PutFlag(uint8_t& byte, const BitField& f, bool flag) {
    SetBit(byte, BoolToBit(flag), f.top);
}

// TxEnable and LowPower from the 2-bit transmit mode; mode 2 reads as transmit off.
void DecodeTxMode(int mode, ChannelRecord& r) {
    r.TxEnable = mode == layout::kTxModeLowPower || mode == layout::kTxModeFull;
    r.LowPower = mode == layout::kTxModeLowPower;
}

int EncodeTxMode(const ChannelRecord& r) {
    if (!r.TxEnable) {
        return layout::kTxModeOff;
    }
    return r.LowPower ? layout::kTxModeLowPower : layout::kTxModeFull;
}

// ---- Decoding ----------------------------------------------------------------------------

void CreateFromEnableBitmap(const Image& image, const ChannelTableLayout& t, ChannelTable& table) {
    EmptyTable(table);
    for (int k = 0; k < t.enableBytes * 8 && BitmapBit(image, t.enableBitmap, k); ++k) {
        AppendRecord(table).Enable = true;
    }
}

void EnableIntoExisting(const Image& image, const ChannelTableLayout& t, ChannelTable& table) {
    for (int k = 0; k < t.enableBytes * 8 && k < static_cast<int>(table.size()); ++k) {
        table[static_cast<size_t>(k)].Enable = BitmapBit(image, t.enableBitmap, k);
    }
}

void DecodeScanBitmap(const Image& image, const ChannelTableLayout& t, ChannelTable& table) {
    for (int k = 0; k < t.scanBytes * 8 && k < static_cast<int>(table.size()); ++k) {
        table[static_cast<size_t>(k)].ScanMemory = BitmapBit(image, t.scanBitmap, k);
    }
}

void DecodeTags(const Image& image, const ChannelTableLayout& t, ChannelTable& table) {
    for (int k = 0; k < t.slotCount && k < static_cast<int>(table.size()); ++k) {
        table[static_cast<size_t>(k)].ChTag =
            ReadText(image, t.tagBase + layout::kTagSize * k, layout::kTagSize);
    }
}

void DecodeFourByteRecords(const Image& image, const ChannelTableLayout& t, ChannelTable& table) {
    namespace f = layout::rec4;
    for (int k = 0; k < t.slotCount && k < static_cast<int>(table.size()); ++k) {
        int a = t.recordBase + t.recordSize * k;
        int position = FieldValue(image, a, f::kPosition);
        if (position >= kCatalogueSize) {
            return;  // no catalogue channel: this record and the later ones stay initial
        }
        ChannelRecord& r = table[static_cast<size_t>(k)];
        r.Position = static_cast<int16_t>(position);
        r.Duplex = static_cast<int16_t>(FieldValue(image, a, f::kDuplex));
        DecodeTxMode(FieldValue(image, a, f::kTxMode), r);
        r.PowUp = FieldFlag(image, a, f::kPowUp);
        r.StatusIcon = static_cast<int16_t>(FieldValue(image, a, f::kStatusIcon));
        r.InterShipCH = FieldFlag(image, a, f::kInterShipCH);
        r.StatusNo = static_cast<int16_t>(FieldValue(image, a, f::kStatusNo));
        r.ScrambleOn = FieldFlag(image, a, f::kScrambleOn);
        r.Scramble = static_cast<int16_t>(FieldValue(image, a, f::kScramble));
    }
}

void DecodeSixteenByteRecords(const Image& image, const ChannelTableLayout& t,
                              ChannelTable& table) {
    namespace f = layout::rec16;
    for (int k = 0; k < t.slotCount && k < static_cast<int>(table.size()); ++k) {
        int a = t.recordBase + t.recordSize * k;
        ChannelRecord& r = table[static_cast<size_t>(k)];
        for (size_t i = 0; i < f::kExpCB.size(); ++i) {
            r.ExpCB[i] = FieldFlag(image, a, f::kExpCB[i]);
        }
        DecodeTxMode(FieldValue(image, a, f::kTxMode), r);
        r.PowUp = FieldFlag(image, a, f::kPowUp);
        r.ScrambleOn = FieldFlag(image, a, f::kScrambleOn);
        r.Scramble = static_cast<int16_t>(FieldValue(image, a, f::kScramble));
        r.CHDisplayL.clear();
        for (int c = 0; c < f::kDisplayChars; ++c) {
            r.CHDisplayL += ReadDisplayChar(image, a + f::kDisplayOffset + c);
        }
        r.Rxfreq = ReadBcdFrequency(image, a + f::kRxFreqOffset);
        r.Txfreq = ReadBcdFrequency(image, a + f::kTxFreqOffset);
    }
}

// ---- Encoding ----------------------------------------------------------------------------

template <typename Flag>
void EncodeBitmap(Image& image, int base, int bytes, const ChannelTable& table, Flag flag) {
    for (int i = 0; i < bytes; ++i) {
        int value = 0;
        for (int j = 0; j < 8; ++j) {
            auto k = static_cast<size_t>(i * 8 + j);
            value += k < table.size() ? BitMask(flag(table[k]), 8 - j) : 0;
        }
        image.Set(base + i, value);
    }
}

void EncodeTags(Image& image, const ChannelTableLayout& t, const ChannelTable& table) {
    for (int k = 0; k < t.slotCount; ++k) {
        int a = t.tagBase + layout::kTagSize * k;
        if (k < static_cast<int>(table.size())) {
            std::string tag = table[static_cast<size_t>(k)].ChTag;
            WriteText(image, a, tag, layout::kTagSize, false);
        } else {
            image.Fill(a, layout::kTagSize, 0xFF);
        }
    }
}

void EncodeFourByteRecords(Image& image, const ChannelTableLayout& t, const ChannelTable& table) {
    namespace f = layout::rec4;
    for (int k = 0; k < t.slotCount; ++k) {
        int a = t.recordBase + t.recordSize * k;
        if (k >= static_cast<int>(table.size())) {
            image.Fill(a, t.recordSize, 0xFF);
            continue;
        }
        const ChannelRecord& r = table[static_cast<size_t>(k)];
        std::string name = RecordName(t, static_cast<size_t>(k));
        if (r.Position < 0 || r.Position > 255) {
            throw ByteOverflowError(name + " Position", r.Position);
        }
        image.Set(a + f::kPosition.offset, r.Position);
        uint8_t b1 = image.Get(a + f::kDuplex.offset);
        PutField(b1, f::kDuplex, r.Duplex, name + " Duplex");
        PutField(b1, f::kTxMode, EncodeTxMode(r), name + " transmit mode");
        PutFlag(b1, f::kPowUp, r.PowUp);
        PutField(b1, f::kStatusIcon, r.StatusIcon, name + " StatusIcon");
        image.Set(a + f::kDuplex.offset, b1);
        uint8_t b2 = image.Get(a + f::kStatusNo.offset);
        PutFlag(b2, f::kInterShipCH, r.InterShipCH);
        PutField(b2, f::kStatusNo, r.StatusNo, name + " StatusNo");
        image.Set(a + f::kStatusNo.offset, b2);
        uint8_t b3 = image.Get(a + f::kScramble.offset);
        PutFlag(b3, f::kScrambleOn, r.ScrambleOn);
        PutFlag(b3, f::kReserved, false);
        PutField(b3, f::kScramble, r.Scramble, name + " Scramble");
        image.Set(a + f::kScramble.offset, b3);
    }
}

// The BCD field of a frequency; 0 or less is blank, anything else must lie strictly between
// 100 and 200 MHz once rounded to 100 Hz, or it would be stored as another frequency.
std::array<uint8_t, 3> FrequencyField(double mhz, const std::string& what) {
    if (std::isfinite(mhz) && mhz <= 0.0) {
        return WriteBcdFrequency(0.0);
    }
    std::array<uint8_t, 3> field = WriteBcdFrequency(mhz);
    bool blank = field[0] == 0xFF && field[1] == 0xFF && field[2] == 0xFF;
    bool zero = field[0] == 0 && field[1] == 0 && field[2] == 0;
    if (blank || zero) {
        throw FieldRangeError(what + ": " + FormatDouble(mhz) +
                              " MHz lies outside the 100 to 200 MHz the radio can store");
    }
    return field;
}

void PutFrequency(Image& image, int address, double mhz, const std::string& what) {
    std::array<uint8_t, 3> field = FrequencyField(mhz, what);
    for (int i = 0; i < layout::rec16::kFreqBytes; ++i) {
        image.Set(address + i, field[static_cast<size_t>(i)]);
    }
}

void EncodeSixteenByteRecords(Image& image, const ChannelTableLayout& t, ChannelTable& table) {
    namespace f = layout::rec16;
    for (int k = 0; k < t.slotCount; ++k) {
        int a = t.recordBase + t.recordSize * k;
        if (k >= static_cast<int>(table.size())) {
            image.Fill(a, t.recordSize, 0xFF);
            continue;
        }
        ChannelRecord& r = table[static_cast<size_t>(k)];
        std::string name = RecordName(t, static_cast<size_t>(k));
        uint8_t b0 = image.Get(a + f::kTxMode.offset);
        for (size_t i = 0; i < f::kExpCB.size(); ++i) {
            PutFlag(b0, f::kExpCB[i], r.ExpCB[i]);
        }
        PutFlag(b0, f::kReservedHigh, false);
        PutFlag(b0, f::kReservedLow, false);
        PutField(b0, f::kTxMode, EncodeTxMode(r), name + " transmit mode");
        PutFlag(b0, f::kPowUp, r.PowUp);
        image.Set(a + f::kTxMode.offset, b0);
        uint8_t b1 = image.Get(a + f::kScramble.offset);
        PutFlag(b1, f::kScrambleOn, r.ScrambleOn);
        PutFlag(b1, f::kReserved, false);
        PutField(b1, f::kScramble, r.Scramble, name + " Scramble");
        image.Set(a + f::kScramble.offset, b1);
        image.Fill(a + f::kFillerOffset, f::kFillerBytes, 0xFF);
        WritePaddedText(image, a + f::kDisplayOffset, r.CHDisplayL, f::kDisplayChars);
        PutFrequency(image, a + f::kRxFreqOffset, r.Rxfreq, name + " Rxfreq");
        PutFrequency(image, a + f::kTxFreqOffset, r.Txfreq, name + " Txfreq");
    }
}

}  // namespace

ChannelTable& TableOf(DataModel& model, ChannelTableId id) {
    switch (id) {
        case ChannelTableId::CHUSA:
            return model.CHUSA;
        case ChannelTableId::CHINT:
            return model.CHINT;
        case ChannelTableId::CHCAN:
            return model.CHCAN;
        case ChannelTableId::CHWX:
            return model.CHWX;
        case ChannelTableId::CHEXP:
            return model.CHEXP;
        case ChannelTableId::CHRG:
            break;
    }
    return model.CHRG;
}

const ChannelTable& TableOf(const DataModel& model, ChannelTableId id) {
    return TableOf(const_cast<DataModel&>(model), id);
}

void DecodeChannelTable(const Image& image, DataModel& model, ChannelTableId id) {
    const ChannelTableLayout& t = layout::TableLayout(id);
    ChannelTable& table = TableOf(model, id);
    if (t.kind == RecordKind::None) {
        EnableIntoExisting(image, t, table);
        DecodeScanBitmap(image, t, table);
        DecodeTags(image, t, table);
        return;
    }
    CreateFromEnableBitmap(image, t, table);
    if (table.empty()) {
        return;
    }
    DecodeScanBitmap(image, t, table);
    DecodeTags(image, t, table);
    if (t.kind == RecordKind::FourByte) {
        DecodeFourByteRecords(image, t, table);
    } else {
        DecodeSixteenByteRecords(image, t, table);
    }
}

void EncodeChannelTable(DataModel& model, Image& image, ChannelTableId id) {
    const ChannelTableLayout& t = layout::TableLayout(id);
    ChannelTable& table = TableOf(model, id);
    if (static_cast<int>(table.size()) > t.slotCount) {
        throw FieldRangeError(std::string(t.name) + " holds " + std::to_string(table.size()) +
                              " channels; the radio has room for " + std::to_string(t.slotCount));
    }
    EncodeBitmap(image, t.enableBitmap, t.enableBytes, table,
                 [](const ChannelRecord& r) { return r.Enable; });
    EncodeBitmap(image, t.scanBitmap, t.scanBytes, table,
                 [](const ChannelRecord& r) { return r.ScanMemory; });
    EncodeTags(image, t, table);
    if (t.kind == RecordKind::FourByte) {
        EncodeFourByteRecords(image, t, table);
    } else if (t.kind == RecordKind::SixteenByte) {
        EncodeSixteenByteRecords(image, t, table);
    }
}

}  // namespace mrw
