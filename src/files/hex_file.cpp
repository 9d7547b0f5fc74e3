#include "files/hex_file.h"

#include <cerrno>
#include <exception>
#include <fstream>
#include <optional>
#include <stdexcept>
#include <string>
#include <system_error>

#include "core/file_read.h"
#include "core/log.h"
#include "core/path_text.h"
#include "files/atomic_file.h"
#include "image/check_map.h"
#include "image/checks.h"
#include "image/codec.h"
#include "model/catalogue.h"
#include "model/regions.h"

namespace mrw {

namespace {

using checkmap::kRegionAddress;
constexpr int kPauseMs = 500;
constexpr int kNoRegion = 255;

// The number of bytes of the image as the current model uses it.
size_t ImageFileSize(const Image& image) {
    if (image.ImageLastAddress <= kRegionAddress || image.ImageLastAddress >= kImageSize) {
        throw std::out_of_range("image end address " + std::to_string(image.ImageLastAddress) +
                                " is out of range");
    }
    return static_cast<size_t>(image.ImageLastAddress) + 1;
}

uint16_t CodeAt(std::string_view bytes, int address) {
    auto at = [&](int a) { return static_cast<uint8_t>(bytes.at(static_cast<size_t>(a))); };
    return static_cast<uint16_t>(at(address) << 8 | at(address + 1));
}

// Model test then region test of a buffer. False, with ErrorFlag set (after the message or
// the user's No), when the buffer must not be taken.
bool TestBuffer(Config& config, std::string_view bytes) {
    auto [first, last] = ConfigurationRange(config.image);
    if (!IsModelCodeValid(config.state.ModelType, CodeAt(bytes, first), CodeAt(bytes, last))) {
        config.state.ErrorFlag = true;
        ShowMessage(config, "ModelType Error !!", Icon::Critical);
        return false;
    }
    const int fileCode = static_cast<uint8_t>(bytes.at(kRegionAddress));
    const int imageCode = config.image.Get(kRegionAddress);
    const int fileRegion = RegionIndex(fileCode);
    const int imageRegion = RegionIndex(imageCode);
    if (fileRegion == imageRegion) {
        return true;
    }
    const std::string lines = RegionMismatchLines(RegionSource::File, fileCode, imageCode, "\n");
    if (fileRegion == kNoRegion || imageRegion == kNoRegion) {
        ShowMessage(config, "Region Unmatched !!" + lines, Icon::Critical);
        config.state.ErrorFlag = true;
        return false;
    }
    Answer a =
        ShowMessage(config, "The region is unmatched.\nDo you want to change the region?" + lines,
                    Icon::Exclamation, Buttons::YesNo, Answer::No);
    if (a != Answer::Yes) {
        config.state.ErrorFlag = true;
        return false;
    }
    return true;
}

// The reader after the file access: `bytes` is nullptr when the file could not be read, with
// the reason in `readError`. True when the image was taken.
bool TakeImage(Config& config, const std::string_view* bytes, std::string readError) {
    AppState& st = config.state;
    st.ErrorFlag = false;
    config.shell().SetBusy(true);
    st.Loading = true;

    const Image previous = config.image;
    std::optional<DataModel> decoded;
    std::string failure;
    bool failed = false;
    try {
        if (bytes == nullptr) {
            throw std::runtime_error(readError);
        }
        size_t size = ImageFileSize(config.image);
        if (bytes->size() < size) {
            throw std::runtime_error("the file holds " + std::to_string(bytes->size()) +
                                     " bytes, the image " + std::to_string(size));
        }
        config.clock().PumpEvents();
        config.shell().HoldBusy(kPauseMs);
        if (TestBuffer(config, *bytes)) {
            for (size_t a = 0; a < size; ++a) {
                config.image.bytes[a] = static_cast<uint8_t>((*bytes)[a]);
            }
            decoded = DecodedModel(config.image);
        }
    } catch (const std::exception& e) {
        failed = true;
        failure = e.what();
        config.image = previous;
        decoded.reset();
    }
    st.Loading = false;
    config.shell().SetBusy(false);
    if (failed) {
        st.ErrorFlag = true;
        WriteErrorLog(config, "frmMain.ReadHexFileAs", std::to_string(EIO) + failure);
        ShowMessage(config, "FileRead Error!!", Icon::Exclamation);
        st.CancelFlag = true;
        return false;
    }
    if (!decoded) {
        return false;  // refused by the model or region test
    }
    config.shell().ShowCategory("General");
    config.model = std::move(*decoded);
    config.shell().RebuildViews();
    ShowImageRegion(config);
    return true;
}

}  // namespace

bool LoadHexImage(Config& config, std::string_view bytes) {
    return TakeImage(config, &bytes, {});
}

bool ReadHexFile(Config& config, const std::filesystem::path& path) {
    std::string data;
    std::string error;
    bool read = false;
    try {
        std::istringstream in;
        if (OpenRegularFile(path, in, &error)) {
            // Only the image's bytes are read, however long the file is.
            data.resize(ImageFileSize(config.image));
            in.read(data.data(), static_cast<std::streamsize>(data.size()));
            data.resize(static_cast<size_t>(in.gcount()));
            if (in.bad()) {
                error = "cannot read " + PathText(path);
            } else {
                read = true;
            }
        }
    } catch (const std::exception& e) {
        error = e.what();
    }
    std::string_view view(data);
    return TakeImage(config, read ? &view : nullptr, error);
}

bool WriteHexFile(Config& config, const std::filesystem::path& path) {
    return SaveDocument(
        config, path,
        [&config] {
            return std::string(reinterpret_cast<const char*>(config.image.bytes.data()),
                               ImageFileSize(config.image));
        },
        "frmMain.SaveHexFileAs");
}

bool OpenHexFile(Config& config, const std::filesystem::path& path) {
    AppState& st = config.state;
    // Only a regular file has a length to test; a folder, pipe or device is left to the reader,
    // which refuses it as unreadable without opening it.
    std::error_code ec;
    const bool special =
        std::filesystem::exists(path, ec) && !std::filesystem::is_regular_file(path, ec);
    bool lengthOk = false;
    try {
        lengthOk = IsImageFileLengthValid(path, config.image);
    } catch (const std::exception&) {
        lengthOk = false;
    }
    if (!lengthOk && !special) {
        st.ErrorFlag = true;
        ShowMessage(config, "bad file!!", Icon::Critical);
        return false;
    }
    if (!ReadHexFile(config, path)) {
        return false;
    }
    st.CurrentFileName = PathText(path);
    config.shell().UpdateWindowCaption();
    MarkConfigurationLoaded(config);
    return true;
}

bool SaveHexFile(Config& config, const std::filesystem::path& path) {
    AppState& st = config.state;
    st.ErrorFlag = false;
    std::string error;
    bool prepared = false;
    try {
        // The same preparation as before programming the radio.
        prepared = EncodeImage(config.model, config.image, &error);
        if (prepared) {
            PrepareImageForWrite(config.image, config.model);
            UpdateChecksum(config.image);
        }
    } catch (const std::exception& e) {
        prepared = false;
        error = e.what();
    }
    if (!prepared) {
        st.ErrorFlag = true;
        st.CancelFlag = true;
        WriteErrorLog(config, "frmMain.SaveHexFileAs", std::to_string(ERANGE) + error);
        ShowMessage(config, error.empty() ? "FileSave Error!!" : error, Icon::Critical);
        return false;
    }
    return WriteHexFile(config, path);
}

}  // namespace mrw
