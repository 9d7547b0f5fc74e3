// The whole codec: randomised configurations survive encode and decode, bytes the map does
// not own survive an encode, a blank radio decodes, and a value the image cannot carry fails
// the encoding without touching image or model.
#include <gtest/gtest.h>

#include <random>

#include "core/text.h"
#include "image/codec.h"
#include "image/memory_map.h"

#include "model_fields.h"
#include "test_files.h"

namespace mrw {
namespace {

namespace l = layout;

class RandomConfig {
public:
    explicit RandomConfig(uint32_t seed) : rng_(seed) {}

    int Int(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
    bool Bool() { return Int(0, 1) == 1; }

    // A text of the text set without trailing spaces (the decoder removes them).
    std::string Text(int maxLength) {
        static const std::string set =
            "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz-+().*/ ,";
        std::string s;
        int n = Int(0, maxLength);
        for (int i = 0; i < n; ++i) {
            s += set[static_cast<size_t>(Int(0, static_cast<int>(set.size()) - 1))];
        }
        while (!s.empty() && s.back() == ' ') {
            s.pop_back();
        }
        return s;
    }

    std::string Digits(int n) {
        std::string s;
        for (int i = 0; i < n; ++i) {
            s += static_cast<char>('0' + Int(0, 9));
        }
        return s;
    }

    // Nine digits and "0", as the radio stores an MMSI; sometimes empty.
    std::string Mmsi() { return Int(0, 4) == 0 ? std::string() : Digits(9) + "0"; }

    // 0 or a frequency on the 100 Hz grid strictly between 100 and 200 MHz, in the form the
    // field's decimal text gives.
    double Frequency() {
        const std::string d = std::to_string(1000000 + Int(1, 999999)).substr(1);
        return Int(0, 3) == 0 ? 0.0 : Val(d.substr(0, 2) + "." + d.substr(2)) + 100.0;
    }

    void TxMode(ChannelRecord& r) {
        r.TxEnable = Bool();
        r.LowPower = r.TxEnable && Bool();
    }

    ChannelRecord Standard() {
        ChannelRecord r;
        r.Enable = true;
        r.ScanMemory = Bool();
        r.ChTag = Text(16);
        r.Position = static_cast<int16_t>(Int(0, 119));
        r.Duplex = static_cast<int16_t>(Int(0, 3));
        TxMode(r);
        r.PowUp = Bool();
        r.StatusIcon = static_cast<int16_t>(Int(0, 7));
        r.InterShipCH = Bool();
        r.StatusNo = static_cast<int16_t>(Int(0, 127));
        r.Scramble = static_cast<int16_t>(Int(0, 63));
        r.ScrambleOn = Bool();
        return r;
    }

    ChannelRecord User() {
        static const std::string display = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ ";
        ChannelRecord r;
        r.Enable = true;
        r.ScanMemory = Bool();
        r.ChTag = Text(16);
        for (bool& b : r.ExpCB) {
            b = Bool();
        }
        TxMode(r);
        r.PowUp = Bool();
        r.Scramble = static_cast<int16_t>(Int(0, 63));
        r.ScrambleOn = r.Scramble > 0;
        for (int i = 0; i < 2; ++i) {
            r.CHDisplayL += display[static_cast<size_t>(Int(0, 36))];
        }
        r.Rxfreq = Frequency();
        r.Txfreq = Frequency();
        return r;
    }

    ChannelTable Table(int slots, bool full, ChannelRecord (RandomConfig::*make)()) {
        ChannelTable t;
        int n = full ? slots : Int(0, slots);
        for (int i = 0; i < n; ++i) {
            t.push_back((this->*make)());
        }
        return t;
    }

    template <size_t N>
    void Directory(std::array<DirectoryRecord, N>& dir, bool full) {
        int n = full ? static_cast<int>(N) : Int(0, static_cast<int>(N));
        for (int i = 0; i < n; ++i) {
            std::string mmsi;
            do {
                mmsi = Mmsi();
            } while (mmsi.empty());
            dir[static_cast<size_t>(i)] = {true, Text(11), mmsi};
        }
    }

    // A configuration holding only values the image can carry; fields it does not carry
    // stay at their defaults.
    DataModel Model(bool full = false) {
        DataModel m;
        m.CHUSA = Table(96, full, &RandomConfig::Standard);
        m.CHINT = Table(96, full, &RandomConfig::Standard);
        m.CHCAN = Table(96, full, &RandomConfig::Standard);
        m.CHEXP = Table(64, full, &RandomConfig::User);
        m.CHRG = Table(16, full, &RandomConfig::User);
        m.CHWX.resize(kWeatherChannels);
        for (int k = 0; k < kWeatherChannels; ++k) {
            ChannelRecord& r = m.CHWX[static_cast<size_t>(k)];
            r.Position = static_cast<int16_t>(k + 1);
            r.Duplex = 1;
            r.Enable = Bool();
            r.ScanMemory = Bool();
            r.ChTag = Text(16);
        }
        Directory(m.CHMMSID, full);
        Directory(m.CHGRPID, full);
        for (int g = 0; g < kChannelGroups; ++g) {
            ChannelGroup& group = m.Groups[static_cast<size_t>(g)];
            group.Usable = Bool();
            group.StatusName = Text(4);
            if (g < l::kPriorityGroups) {
                group.PriorityCH = Int(0, 0xFFFF);
            }
            m.Atis.UsableAtis[static_cast<size_t>(g)] = Bool();
        }
        for (bool& b : m.DscBasic.UsableDsc) {
            b = Bool();
        }
        for (const auto& [field, hi] : {std::pair{"Scan", 1},
                                        {"TimeDisplay", 1},
                                        {"Format", 1},
                                        {"ResumeTime", 255},
                                        {"Weater", 255},
                                        {"Sog", 255},
                                        {"Distance", 255},
                                        {"MarineEnable", 255}}) {
            testing::SetFields(m, std::string(field) + "=" + std::to_string(Int(0, hi)));
        }
        m.Common.PttScanClear = Bool();
        m.Common.DualWatch = Bool();
        m.Common.OffsetTime = static_cast<int16_t>(Int(-24, 24));
        m.DscBasic.UserMmsi = Mmsi();
        m.DscBasic.PosRequest[0] = Bool();
        for (int i = 0; i < 7; ++i) {
            m.DscBasic.BeepOut[static_cast<size_t>(i)] = Bool();
        }
        for (DscCallType& call : m.DscAdvanced) {
            for (size_t i = 0; i < 4; ++i) {
                call.List[i] = Bool();
                call.Tx[i] = Bool();
            }
        }
        for (bool& b : m.DscDisplay) {
            b = Bool();
        }
        AutoPosRecord& a = m.AutoPos.Records[1];
        a.Enable = Bool();
        a.Channel = std::to_string(Int(0, 0x7FFF));
        a.Interval = std::to_string(Int(0, 255));
        a.SelectCall = static_cast<int16_t>(Int(0, 2) < 2 ? Int(0, 1) : Int(2, 255));
        a.LastAddress = a.SelectCall <= 1 ? Int(0, 255) : 0;
        a.Mmsi = Mmsi();
        m.Atis.AtisCode = Int(0, 4) == 0 ? std::string() : Digits(10);
        return m;
    }

    void Fill(Image& image) {
        for (uint8_t& b : image.bytes) {
            b = static_cast<uint8_t>(Int(0, 255));
        }
    }

private:
    std::mt19937 rng_;
};

// A model to decode into: the weather records exist, with Enable, ScanMemory and ChTag set
// to something the decoder must overwrite.
DataModel DecodeTarget(const DataModel& source) {
    DataModel d;
    d.CHWX = source.CHWX;
    for (ChannelRecord& r : d.CHWX) {
        r.Enable = !r.Enable;
        r.ScanMemory = !r.ScanMemory;
        r.ChTag = "STALE";
    }
    return d;
}

// For every image byte, the bits the encoder may write for model `m`, taken from the layout.
std::array<uint8_t, kImageSize> WritableBits(const DataModel& m) {
    std::array<uint8_t, kImageSize> mask{};
    auto mark = [&](int address, int count, uint8_t bits = 0xFF) {
        for (int i = 0; i < count; ++i) {
            mask[static_cast<size_t>(address + i)] |= bits;
        }
    };
    for (const l::ChannelTableLayout& t : l::kChannelTables) {
        mark(t.enableBitmap, t.enableBytes);
        mark(t.scanBitmap, t.scanBytes);
        mark(t.tagBase, t.slotCount * l::kTagSize);
        const size_t used = t.id == l::ChannelTableId::CHEXP  ? m.CHEXP.size()
                            : t.id == l::ChannelTableId::CHRG ? m.CHRG.size()
                                                              : 0;
        for (int k = 0; k < t.slotCount && t.kind != l::RecordKind::None; ++k) {
            bool ownOnly = t.kind == l::RecordKind::SixteenByte && k < static_cast<int>(used);
            mark(t.recordBase + t.recordSize * k, ownOnly ? l::rec16::kWrittenBytes : t.recordSize);
        }
    }
    for (const l::DirectoryLayout& d : l::kDirectories) {
        mark(d.base, d.count * d.entrySize);
    }
    for (const l::MappedBits& b : l::kSettingsBits) {
        mark(b.address, 1, b.mask);
    }
    // Only the LASTADDRESS byte that SELECTCALL names may change.
    int select = m.AutoPos.Records[1].SelectCall;
    for (int i = 0; i < 2; ++i) {
        if (select != i) {
            mask[static_cast<size_t>(l::kAutoPosLastAddress[static_cast<size_t>(i)])] = 0;
        }
    }
    return mask;
}

TEST(Codec, RandomConfigurationsSurviveAndUnmappedBytesAreKept) {
    for (uint32_t seed = 1; seed <= 60; ++seed) {
        RandomConfig gen(seed);
        DataModel model = gen.Model(seed % 5 == 0);
        Image before;
        gen.Fill(before);
        Image image = before;
        const DataModel original = model;
        std::string error;
        ASSERT_TRUE(EncodeImage(model, image, &error)) << error;
        EXPECT_TRUE(error.empty());
        ASSERT_EQ(model, original) << "seed " << seed;
        DataModel decoded = DecodeTarget(model);
        DecodeImage(image, decoded);
        ASSERT_EQ(decoded, model) << "seed " << seed;
        const auto writable = WritableBits(model);
        int owned = 0;
        for (size_t a = 0; a < kImageSize; ++a) {
            const uint8_t keep = static_cast<uint8_t>(~writable[a]);
            ASSERT_EQ(image.bytes[a] & keep, before.bytes[a] & keep) << a << " seed " << seed;
            owned += writable[a] != 0;
        }
        EXPECT_GT(owned, 7000);  // the map really covers the tables and directories
    }
}

TEST(Codec, DecodeThenEncodeReachesAFixedPointForAnyImage) {
    for (uint32_t seed = 200; seed < 215; ++seed) {
        RandomConfig gen(seed);
        Image image;
        gen.Fill(image);
        if (seed % 3 == 0) {
            // Long tables so that the record decoders see random bytes.
            image.Fill(l::TableLayout(l::ChannelTableId::CHUSA).enableBitmap, 48, 0xFF);
        }
        DataModel m = gen.Model();
        DecodeImage(image, m);
        std::string error;
        ASSERT_TRUE(EncodeImage(m, image, &error)) << error;
        Image once = image;
        DataModel again = m;
        DecodeImage(once, again);
        ASSERT_TRUE(EncodeImage(again, image, &error)) << error;
        ASSERT_EQ(image.bytes, once.bytes) << "seed " << seed;
        // The model settles too (a nine-digit MMSI read first becomes ten digits ending in 0
        // once written, so the model is compared from the second round on).
        DataModel third = again;
        DecodeImage(image, third);
        ASSERT_EQ(third, again) << "seed " << seed;
    }
}

TEST(Codec, BlankRadio) {
    Image blank;
    blank.bytes.fill(0xFF);
    RandomConfig gen(7);
    DataModel m = gen.Model();
    DecodeImage(blank, m);
    const std::pair<const ChannelTable*, size_t> sizes[] = {{&m.CHUSA, 96}, {&m.CHINT, 96},
                                                            {&m.CHCAN, 96}, {&m.CHEXP, 64},
                                                            {&m.CHRG, 16},  {&m.CHWX, 10}};
    for (const auto& [table, size] : sizes) {
        ASSERT_EQ(table->size(), size);
    }
    ChannelRecord initial;  // every record enabled, scanned, otherwise initial
    initial.Enable = true;
    initial.ScanMemory = true;
    for (const ChannelRecord& r : m.CHUSA) {
        EXPECT_EQ(r, initial);
    }
    EXPECT_TRUE(m.CHWX[9].Enable);
    EXPECT_EQ(m.CHEXP[0].Rxfreq, 0.0);
    EXPECT_EQ(m.CHEXP[0].CHDisplayL, "  ");
    for (const auto& r : m.CHMMSID) {
        EXPECT_EQ(r, DirectoryRecord{});
    }
    EXPECT_EQ(m.DscBasic.UserMmsi + m.Atis.AtisCode, "");
    EXPECT_EQ(m.Common.OffsetTime, 31);  // the raw value; encoding clamps it
    EXPECT_EQ(m.AutoPos.Records[1].Channel, "32767");
    Image image = blank;
    std::string error;
    ASSERT_TRUE(EncodeImage(m, image, &error)) << error;
    EXPECT_EQ(m.Common.OffsetTime, 24);
    EXPECT_EQ(image.Get(l::kTimeByte), 0xF8);
    EXPECT_EQ(image.Get(l::kAutoPosLastAddress[0]), 0xFF);  // SELECTCALL 255 names neither
}

TEST(Codec, AValueTheImageCannotCarryLeavesImageAndModelUntouched) {
    for (const auto& c : testing::ReadCases(testing::TestData("image/codec_refusals.txt"))) {
        SCOPED_TRACE(c.where);
        RandomConfig gen(42);
        DataModel model = gen.Model(true);
        // Changes an encoding would make to the model must not stick either.
        model.CHEXP[3].CHDisplayL = "7";
        model.Common.OffsetTime = -40;
        DataModel good = model;
        testing::SetFields(model, c[0]);
        const DataModel modelBefore = model;
        Image image;
        gen.Fill(image);
        const Image imageBefore = image;
        std::string error;
        if (c[1] == "ok") {
            EXPECT_TRUE(EncodeImage(model, image, &error)) << error;
            continue;
        }
        EXPECT_FALSE(EncodeImage(model, image, &error));
        EXPECT_NE(error.find(c[1]), std::string::npos) << error;
        EXPECT_EQ(image.bytes, imageBefore.bytes);
        EXPECT_EQ(model, modelBefore);
        // Without the bad value the same model encodes, and the changes then stick.
        ASSERT_TRUE(EncodeImage(good, image, &error)) << error;
        EXPECT_EQ(good.CHEXP[3].CHDisplayL, "7 ");
        EXPECT_EQ(good.Common.OffsetTime, -24);
    }
}

}  // namespace
}  // namespace mrw
