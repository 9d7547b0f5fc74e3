// Writes the seed inputs of the fuzz targets, small so that every input runs fast:
// - settings/: for the default configuration and every factory image given, its settings file
//   cut into pieces of at most 2 KB, each a [MAIN] section and whole sections after it (the
//   length odd exactly when the piece holds the ATIS sections, which the targets read then);
// - hex/: every factory image as patches to the default image (address high, address low,
//   value);
// - csv/: for the default configuration and every factory image given, the channel list of
//   each channel table, and a few hand-written rows of each kind (simplex, duplex, split,
//   receive-only, user channels) with CHIRP's columns only;
// - radio/: for every transfer mode, with and without the OK button (a read of an image ending
//   at 8191 or 2047), a radio that answers every request correctly.
// Usage: fuzz_seeds <output folder> <image>...
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "edit/channel_table.h"
#include "files/csv_channels.h"
#include "files/settings_file.h"
#include "fuzz_config.h"
#include "image/codec.h"
#include "link/transfer.h"

using namespace mrw;

namespace {

constexpr size_t kPieceSize = 2048;

int written = 0;

bool Write(const std::filesystem::path& path, std::string_view data) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(data.data(), static_cast<std::streamsize>(data.size()));
    if (!out) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        return false;
    }
    ++written;
    return true;
}

// The sections of a settings text, each with its lines.
std::vector<std::string_view> Sections(std::string_view text) {
    std::vector<std::string_view> sections;
    size_t start = 0;
    while (start < text.size()) {
        size_t next = text.find("\r\n[", start);
        next = next == std::string_view::npos ? text.size() : next + 2;
        sections.push_back(text.substr(start, next - start));
        start = next;
    }
    return sections;
}

bool WritePieces(const std::filesystem::path& folder, const std::string& stem,
                 const std::string& text) {
    const std::vector<std::string_view> sections = Sections(text);
    if (sections.empty()) {
        return true;
    }
    const std::string_view main = sections.front();
    int n = 0;
    std::string piece(main);
    auto flush = [&] {
        if (piece.size() == main.size()) {
            return true;
        }
        const bool atis = piece.find("[ATIS Setup") != std::string::npos;
        if ((piece.size() % 2 == 1) != atis) {
            piece += '\n';
        }
        const bool ok = Write(folder / (stem + "_" + std::to_string(++n) + ".dat"), piece);
        piece = main;
        return ok;
    };
    for (size_t i = 1; i < sections.size(); ++i) {
        if (piece.size() + sections[i].size() > kPieceSize && !flush()) {
            return false;
        }
        piece += sections[i];
    }
    return flush();
}

bool SettingsSeeds(fuzz::FuzzConfig& f, const std::filesystem::path& folder,
                   const std::string& stem) {
    f.config.state.AtisSupported = true;
    return WritePieces(folder, stem, SettingsFileText(f.config));
}

bool HexSeed(const fuzz::FuzzConfig& f, const std::filesystem::path& folder,
             const std::string& stem, const std::string& bytes) {
    std::string patches;
    for (size_t a = 0; a < bytes.size(); ++a) {
        if (static_cast<uint8_t>(bytes[a]) != f.baseImage.bytes[a]) {
            patches += static_cast<char>(a >> 8);
            patches += static_cast<char>(a & 0xFF);
            patches += bytes[a];
        }
    }
    return Write(folder / (stem + ".patch"), patches);
}

bool CsvSeeds(const DataModel& model, const std::filesystem::path& folder,
              const std::string& stem) {
    for (TableKind kind :
         {TableKind::USA, TableKind::INT, TableKind::CAN, TableKind::RG, TableKind::EXP}) {
        if (TableOf(model, kind)->empty()) {
            continue;
        }
        if (!Write(folder / (stem + "_" + ChannelTableName(kind) + ".csv"),
                   ChannelTableCsv(model, kind))) {
            return false;
        }
    }
    return true;
}

// Rows as other programs write them: CHIRP's columns, Duplex +, -, split (Offset then the
// transmit frequency) or off, and a few broken ones.
bool HandCsvSeeds(const std::filesystem::path& folder) {
    static constexpr std::string_view kHeader =
        "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,"
        "Mode,TStep,Skip,Power,Comment\r\n";
    static constexpr std::string_view kRows[][2] = {
        {"simplex",
         "1,,156.800000,,0.000000,,88.5,88.5,023,NN,FM,25.00,,25W,16\r\n"
         "2,CALL,156.650000,,0.000000,,88.5,88.5,023,NN,FM,25.00,S,1W,13\r\n"},
        {"duplex",
         "1,,160.650000,-,4.600000,,88.5,88.5,023,NN,FM,25.00,,25W,1\r\n"
         "2,,161.600000,-,4.600000,,88.5,88.5,023,NN,FM,25.00,,25W,20\r\n"
         "3,,156.050000,+,4.600000,,88.5,88.5,023,NN,FM,25.00,,25W,1\r\n"},
        {"split",
         "1,,160.650000,split,156.050000,,88.5,88.5,023,NN,FM,25.00,,25W,1\r\n"
         "2,,157.100000,split,157.100000,,88.5,88.5,023,NN,FM,25.00,,1W,22A\r\n"},
        {"rxonly",
         "1,,161.775000,off,0.000000,,88.5,88.5,023,NN,FM,25.00,,25W,28\r\n"
         "2,\"WX, 1\",162.550000,off,,,,,,,FM,,,,\r\n"},
        {"user",
         "1,HARBOUR,157.012500,,0.000000,,88.5,88.5,023,NN,FM,12.50,,25W,\r\n"
         "2,CLUB,161.425000,-,4.600000,,88.5,88.5,023,NN,FM,25.00,S,1W,\r\n"
         "3,RX,163.275000,off,,,,,,,FM,,,,\r\n"},
        {"broken", "x,,abc,?,,,,,,,,,,,\r\n1,\"unclosed,156.8\r\n"},
    };
    for (const auto& [name, rows] : kRows) {
        if (!Write(folder / ("hand_" + std::string(name) + ".csv"),
                   std::string(kHeader) + std::string(rows))) {
            return false;
        }
    }
    return true;
}

bool RadioSeeds(const std::filesystem::path& folder) {
    for (int mode = kModeRead; mode <= kModeClearAtis; ++mode) {
        for (uint8_t flags : {0x00, 0x04}) {
            // A read of a whole image takes 512 blocks: the seeds read images ending earlier.
            for (uint8_t end : {0x00, 0x08, 0x10}) {
                if ((end != 0) != (mode == kModeRead)) {
                    continue;
                }
                std::string input = {static_cast<char>(mode), static_cast<char>(flags), 0,
                                     static_cast<char>(end)};
                input.append(40, static_cast<char>(0xF0));  // 16 correct answers each
                const std::string name = "mode" + std::to_string(mode) + "_" +
                                         std::to_string(flags) + "_" + std::to_string(end);
                if (!Write(folder / name, input)) {
                    return false;
                }
            }
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <output folder> <image>...\n", argv[0]);
        return 2;
    }
    const std::filesystem::path out = argv[1];
    for (const char* sub : {"settings", "hex", "radio", "csv"}) {
        std::filesystem::create_directories(out / sub);
    }
    fuzz::FuzzConfig f;
    // The default configuration with a few channels, also without factory images.
    f.config.model.CHUSA.push_back({.Position = 16, .Enable = true, .ChTag = "DISTRESS"});
    f.config.model.CHEXP.push_back({.Enable = true,
                                    .ChTag = "EXTRA",
                                    .CHDisplayL = "E1",
                                    .Txfreq = 157.0125,
                                    .Rxfreq = 157.0125});
    f.config.model.CHRG.push_back({.Enable = true, .Txfreq = 156.8, .Rxfreq = 161.4});
    if (!SettingsSeeds(f, out / "settings", "default") || !RadioSeeds(out / "radio") ||
        !CsvSeeds(f.config.model, out / "csv", "default") || !HandCsvSeeds(out / "csv")) {
        return 1;
    }
    for (int i = 2; i < argc; ++i) {
        std::ifstream in(argv[i], std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)),
                                std::istreambuf_iterator<char>());
        if (bytes.size() != static_cast<size_t>(kImageSize)) {
            std::fprintf(stderr, "%s: not an image, skipped\n", argv[i]);
            continue;
        }
        const std::string stem = std::filesystem::path(argv[i]).stem().string();
        f.Reset();
        std::copy(bytes.begin(), bytes.end(), f.config.image.bytes.begin());
        DecodeImage(f.config.image, f.config.model);
        if (!SettingsSeeds(f, out / "settings", stem) || !HexSeed(f, out / "hex", stem, bytes) ||
            !CsvSeeds(f.config.model, out / "csv", stem)) {
            return 1;
        }
    }
    std::printf("%d seed inputs in %s\n", written, out.c_str());
    return 0;
}
