#include "image/settings_map.h"

#include <cmath>

#include "core/text.h"
#include "image/channel_map.h"

namespace mrw {

namespace l = layout;

namespace {

// ---- Field encodings ---------------------------------------------------------------------

bool ReadFlagByte(const Image& image, int address) {
    return image.Get(address) != 0;
}

void WriteFlagByte(Image& image, int address, bool flag) {
    image.Set(address, BoolToBit(flag));
}

bool ReadFlagBit(const Image& image, int address, int bit) {
    return GetBit(image.Get(address), bit) != 0;
}

void WriteFlagBit(Image& image, int address, int bit, bool flag) {
    SetBit(image.At(address), BoolToBit(flag), bit);
}

void WriteByteValue(Image& image, int address, long value, const char* what) {
    if (value < 0 || value > 255) {
        throw ByteOverflowError(what, value);
    }
    image.Set(address, value);
}

// A number held as text (a settings file gives CHANNEL and INTERVAL as text).
long TextNumber(const std::string& text, const char* what) {
    std::optional<long> v = AutoPosNumber(text);
    if (!v) {
        throw FieldRangeError(std::string(what) + ": \"" + text + "\" is not a storable number");
    }
    return *v;
}

std::string GroupWhat(const char* setting, int group) {
    return std::string(setting) + " of " + kGroupNames[static_cast<size_t>(group)];
}

// ---- Steps, in their fixed order ---------------------------------------------------------

void DecodeGroups(const Image& image, DataModel& m) {
    for (int g = 0; g < l::kGroupBlocks; ++g) {
        int block = l::GroupBlock(g);
        ChannelGroup& group = m.Groups[static_cast<size_t>(g)];
        group.Usable = ReadFlagByte(image, block + l::kGroupUsableOffset);
        if (g < l::kDscGroups) {
            m.DscBasic.UsableDsc[static_cast<size_t>(g)] =
                ReadFlagByte(image, block + l::kGroupDscUsableOffset);
        }
        m.Atis.UsableAtis[static_cast<size_t>(g)] =
            ReadFlagByte(image, block + l::kGroupAtisUsableOffset);
        group.StatusName =
            ReadText(image, block + l::kGroupStatusNameOffset, l::kGroupStatusNameChars);
    }
    for (int g = 0; g < l::kPriorityGroups; ++g) {
        int a = l::PriorityAddress(g);
        m.Groups[static_cast<size_t>(g)].PriorityCH = image.Get(a) * 256 + image.Get(a + 1);
    }
}

void EncodeGroups(DataModel& m, Image& image) {
    for (int g = 0; g < l::kGroupBlocks; ++g) {
        int block = l::GroupBlock(g);
        const ChannelGroup& group = m.Groups[static_cast<size_t>(g)];
        WriteFlagByte(image, block + l::kGroupUsableOffset, group.Usable);
        if (g < l::kDscGroups) {
            WriteFlagByte(image, block + l::kGroupDscUsableOffset,
                          m.DscBasic.UsableDsc[static_cast<size_t>(g)]);
        }
        WriteFlagByte(image, block + l::kGroupAtisUsableOffset,
                      m.Atis.UsableAtis[static_cast<size_t>(g)]);
        std::string name = group.StatusName;
        WriteText(image, block + l::kGroupStatusNameOffset, name, l::kGroupStatusNameChars, false);
    }
    for (int g = 0; g < l::kPriorityGroups; ++g) {
        int32_t priority = m.Groups[static_cast<size_t>(g)].PriorityCH;
        if (priority > 0xFFFF) {
            throw FieldRangeError(GroupWhat("Priority CH", g) + ": value " +
                                  std::to_string(priority) + " does not fit in 16 bits");
        }
        uint8_t high = 0;
        uint8_t low = 0;
        SplitWord(priority, high, low);
        image.Set(l::PriorityAddress(g), high);
        image.Set(l::PriorityAddress(g) + 1, low);
    }
}

void DecodeCommon(const Image& image, DataModel& m) {
    CommonSetup& c = m.Common;
    c.DualWatch = ReadFlagByte(image, l::kDualWatch);
    c.Scan = ReadFlagByte(image, l::kScan);
    c.PttScanClear = ReadFlagByte(image, l::kPttScanClear);
    c.ResumeTime = image.Get(l::kResumeTime);
    uint8_t time = image.Get(l::kTimeByte);
    c.TimeDisplay = GetBit(time, l::kTimeDisplayBit) != 0;
    c.Format = GetBit(time, l::kFormatBit) != 0;
    c.OffsetTime = static_cast<int16_t>(DecodeHalfHours(time & l::kOffsetMask));
    c.Sog = image.Get(l::kSog);
    c.Distance = image.Get(l::kDistance);
    c.Weater = image.Get(l::kWeater);
}

void EncodeCommon(DataModel& m, Image& image) {
    CommonSetup& c = m.Common;
    WriteFlagByte(image, l::kDualWatch, c.DualWatch);
    WriteFlagByte(image, l::kScan, c.Scan);
    WriteFlagByte(image, l::kPttScanClear, c.PttScanClear);
    WriteByteValue(image, l::kResumeTime, c.ResumeTime, "Resume Time");
    // Time display first, then the clamped offset (which clears the format bit), then format.
    uint8_t time = image.Get(l::kTimeByte);
    SetBit(time, BoolToBit(c.TimeDisplay), l::kTimeDisplayBit);
    time =
        static_cast<uint8_t>((time & (1u << l::kTimeDisplayBit)) + EncodeHalfHours(c.OffsetTime));
    SetBit(time, BoolToBit(c.Format), l::kFormatBit);
    image.Set(l::kTimeByte, time);
    WriteByteValue(image, l::kSog, c.Sog, "SOG");
    WriteByteValue(image, l::kDistance, c.Distance, "Distance");
    WriteByteValue(image, l::kWeater, c.Weater, "Weater");
}

void DecodeDscBasic(const Image& image, DataModel& m) {
    DscBasicSetup& d = m.DscBasic;
    d.UserMmsi = ReadBcdDigits(image, l::kUserMmsi);
    d.PosRequest[0] = ReadFlagBit(image, l::kDscFlags, l::kDistressCancelBit);
    d.BeepOut[0] = ReadFlagBit(image, l::kDscFlags, l::kBeep0Bit);
    for (const l::BeepByte& b : l::kBeepBytes) {
        d.BeepOut[static_cast<size_t>(b.element)] = ReadFlagByte(image, b.address);
    }
}

void EncodeDscBasic(const DataModel& m, Image& image) {
    const DscBasicSetup& d = m.DscBasic;
    WriteBcdDigits(image, l::kUserMmsi, d.UserMmsi, true);
    WriteFlagBit(image, l::kDscFlags, l::kDistressCancelBit, d.PosRequest[0]);
    WriteFlagBit(image, l::kDscFlags, l::kBeep0Bit, d.BeepOut[0]);
    for (const l::BeepByte& b : l::kBeepBytes) {
        WriteFlagByte(image, b.address, d.BeepOut[static_cast<size_t>(b.element)]);
    }
}

void DecodeDscAdvanced(const Image& image, DataModel& m) {
    for (int c = 0; c < l::kDscCallTypeBytes; ++c) {
        DscCallType& call = m.DscAdvanced[static_cast<size_t>(c)];
        for (int i = 0; i < 4; ++i) {
            call.List[static_cast<size_t>(i)] =
                ReadFlagBit(image, l::kDscAdvancedBase + c, l::kDscListTopBit - i);
            call.Tx[static_cast<size_t>(i)] =
                ReadFlagBit(image, l::kDscAdvancedBase + c, l::kDscTxTopBit - i);
        }
    }
}

void EncodeDscAdvanced(const DataModel& m, Image& image) {
    for (int c = 0; c < l::kDscCallTypeBytes; ++c) {
        const DscCallType& call = m.DscAdvanced[static_cast<size_t>(c)];
        for (int i = 0; i < 4; ++i) {
            WriteFlagBit(image, l::kDscAdvancedBase + c, l::kDscListTopBit - i,
                         call.List[static_cast<size_t>(i)]);
            WriteFlagBit(image, l::kDscAdvancedBase + c, l::kDscTxTopBit - i,
                         call.Tx[static_cast<size_t>(i)]);
        }
    }
}

void DecodeDscDisplay(const Image& image, DataModel& m) {
    for (size_t i = 0; i < l::kDisplayBits.size(); ++i) {
        m.DscDisplay[i] = ReadFlagBit(image, l::kDscFlags, l::kDisplayBits[i]);
    }
}

void EncodeDscDisplay(const DataModel& m, Image& image) {
    for (size_t i = 0; i < l::kDisplayBits.size(); ++i) {
        WriteFlagBit(image, l::kDscFlags, l::kDisplayBits[i], m.DscDisplay[i]);
    }
}

void DecodeAutoPos(const Image& image, DataModel& m) {
    AutoPosRecord& r = m.AutoPos.Records[l::kAutoPosRecord];
    r.Enable = ReadFlagByte(image, l::kAutoPosEnable);
    int channel = ((image.Get(l::kAutoPosChannelHigh) * 256) | image.Get(l::kAutoPosChannelLow)) &
                  l::kAutoPosChannelMask;
    r.Channel = std::to_string(channel);
    r.Interval = std::to_string(image.Get(l::kAutoPosInterval));
    r.Mmsi = ReadBcdDigits(image, l::kAutoPosMmsi);
    r.MarineEnable = image.Get(l::kAutoPosMarineEnable);
    r.SelectCall = image.Get(l::kAutoPosSelectCall);
    if (r.SelectCall >= 0 && r.SelectCall < static_cast<int>(l::kAutoPosLastAddress.size())) {
        r.LastAddress = image.Get(l::kAutoPosLastAddress[static_cast<size_t>(r.SelectCall)]);
    }
}

void EncodeAutoPos(const DataModel& m, Image& image) {
    const AutoPosRecord& r = m.AutoPos.Records[l::kAutoPosRecord];
    WriteFlagByte(image, l::kAutoPosEnable, r.Enable);
    long channel = TextNumber(r.Channel, "CHANNEL");
    if (channel < 0 || channel > 0xFFFF) {
        throw FieldRangeError("CHANNEL: value " + std::to_string(channel) +
                              " does not fit in 16 bits");
    }
    // Only the low 15 bits are stored; bit 15 is dropped by the mask.
    image.Set(l::kAutoPosChannelHigh, (channel & (l::kAutoPosChannelMask & 0xFF00)) / 256);
    image.Set(l::kAutoPosChannelLow, channel & 0xFF);
    WriteByteValue(image, l::kAutoPosInterval, TextNumber(r.Interval, "INTERVAL"), "INTERVAL");
    WriteBcdDigits(image, l::kAutoPosMmsi, r.Mmsi, true);
    WriteByteValue(image, l::kAutoPosMarineEnable, r.MarineEnable, "MARINE ENABLE");
    WriteByteValue(image, l::kAutoPosSelectCall, r.SelectCall, "SELECTCALL");
    if (r.SelectCall >= 0 && r.SelectCall < static_cast<int>(l::kAutoPosLastAddress.size())) {
        WriteByteValue(image, l::kAutoPosLastAddress[static_cast<size_t>(r.SelectCall)],
                       r.LastAddress, "LASTADDRESS");
    }
}

void DecodeAtis(const Image& image, DataModel& m) {
    // The usable ATIS groups are decoded with the group blocks.
    m.Atis.AtisCode = ReadBcdDigits(image, l::kAtisCode);
}

void EncodeAtis(const DataModel& m, Image& image) {
    WriteBcdDigits(image, l::kAtisCode, m.Atis.AtisCode, false);
}

}  // namespace

void DecodeSettingsMap(const Image& image, DataModel& model) {
    DecodeGroups(image, model);
    DecodeCommon(image, model);
    DecodeDscBasic(image, model);
    DecodeDscAdvanced(image, model);
    DecodeDscDisplay(image, model);
    DecodeAutoPos(image, model);
    DecodeAtis(image, model);
    // The ATIS call signs are not in the image.
}

void EncodeSettingsMap(DataModel& model, Image& image) {
    EncodeGroups(model, image);
    EncodeCommon(model, image);
    EncodeDscBasic(model, image);
    EncodeDscAdvanced(model, image);
    EncodeDscDisplay(model, image);
    EncodeAutoPos(model, image);
    EncodeAtis(model, image);
}

std::optional<long> AutoPosNumber(std::string_view text) {
    bool overflow = false;
    double v = RoundHalfEven(Val(text, &overflow));
    if (overflow || v < -2147483648.0 || v > 2147483647.0) {
        return std::nullopt;
    }
    return static_cast<long>(v);
}

}  // namespace mrw
