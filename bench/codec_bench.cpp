// Encoding and decoding a configuration with every channel table and directory full.
#include <benchmark/benchmark.h>

#include <string>

#include "image/codec.h"

namespace mrw {
namespace {

ChannelRecord StandardChannel(int k) {
    ChannelRecord r;
    r.Enable = true;
    r.ScanMemory = k % 2 == 0;
    r.ChTag = "CHANNEL " + std::to_string(k);
    r.Position = static_cast<int16_t>(k % 120);
    r.Duplex = static_cast<int16_t>(k % 4);
    r.TxEnable = k % 3 != 0;
    r.LowPower = k % 5 == 0;
    r.StatusNo = 127;
    r.Scramble = static_cast<int16_t>(k % 64);
    r.ScrambleOn = r.Scramble > 0;
    return r;
}

ChannelRecord UserChannel(int k) {
    ChannelRecord r;
    r.Enable = true;
    r.ChTag = "USER " + std::to_string(k);
    r.CHDisplayL = "U" + std::to_string(k % 10);
    r.TxEnable = true;
    r.Rxfreq = 156.0 + 0.0125 * k;
    r.Txfreq = 160.6 + 0.0125 * k;
    return r;
}

DataModel FullConfiguration() {
    DataModel m;
    for (ChannelTable* t : {&m.CHUSA, &m.CHINT, &m.CHCAN}) {
        for (int k = 0; k < kMaxStandardChannels; ++k) {
            t->push_back(StandardChannel(k));
        }
    }
    for (int k = 0; k < kMaxExpChannels; ++k) {
        m.CHEXP.push_back(UserChannel(k));
    }
    for (int k = 0; k < kMaxRgChannels; ++k) {
        m.CHRG.push_back(UserChannel(k));
    }
    m.CHWX.resize(kWeatherChannels);
    for (int k = 0; k < kWeatherChannels; ++k) {
        m.CHWX[static_cast<size_t>(k)] = {.Position = static_cast<int16_t>(k + 1),
                                          .Enable = true,
                                          .ChTag = "WX" + std::to_string(k + 1)};
    }
    for (size_t i = 0; i < m.CHMMSID.size(); ++i) {
        m.CHMMSID[i] = {true, "STATION " + std::to_string(i), "2111111" + std::to_string(10 + i)};
    }
    for (size_t i = 0; i < m.CHGRPID.size(); ++i) {
        m.CHGRPID[i] = {true, "GROUP " + std::to_string(i), "0211111" + std::to_string(10 + i)};
    }
    m.DscBasic.UserMmsi = "2111234560";
    m.AutoPos.Records[1].Channel = "16";
    m.AutoPos.Records[1].Interval = "3";
    return m;
}

void BM_EncodeDecodeFullConfiguration(benchmark::State& state) {
    Image image;
    image.bytes.fill(0xFF);
    // One round first, so that the model holds values in the form the image gives back
    // (frequencies read from their decimal text, MMSIs with their tenth digit).
    DataModel model = FullConfiguration();
    if (!EncodeImage(model, image)) {
        state.SkipWithError("the full configuration cannot be encoded");
        return;
    }
    DecodeImage(image, model);
    DataModel decoded = model;
    for (auto _ : state) {
        bool ok = EncodeImage(model, image);
        DecodeImage(image, decoded);
        benchmark::DoNotOptimize(ok);
        benchmark::DoNotOptimize(decoded.CHUSA.data());
    }
    if (!(decoded == model)) {
        state.SkipWithError("the full configuration did not survive encode and decode");
    }
}
BENCHMARK(BM_EncodeDecodeFullConfiguration)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace mrw
