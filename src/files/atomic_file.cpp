#include "files/atomic_file.h"

#include "core/config.h"
#include "core/log.h"
#include "core/path_text.h"
#include "core/text.h"

#include <cerrno>
#include <system_error>

namespace mrw {

namespace fs = std::filesystem;

std::string SaveFailureText(const std::filesystem::path& path, int errorNumber) {
    std::string text = PathReason(PathText(path), errorNumber);
    std::error_code ec;
    const fs::path folder = path.parent_path();
    if (errorNumber == ENOENT && !folder.empty() && !fs::exists(folder, ec)) {
        text += " (there is no folder " + PathText(folder) + ")";
    }
    return text;
}

bool SaveDocument(Config& config, const std::filesystem::path& path,
                  const std::function<std::string()>& data, const char* procedure) {
    constexpr int kPauseMs = 500;
    AppState& st = config.state;
    st.ErrorFlag = false;
    config.shell().SetBusy(true);
    st.Loading = true;
    std::string error;
    int number = 0;
    bool ok = false;
    try {
        ok = WriteFileAtomically(path, data(), &error, &number);
    } catch (const std::exception& e) {
        error = e.what();
        number = ENOMEM;
    }
    config.shell().HoldBusy(kPauseMs);
    st.Loading = false;
    config.shell().SetBusy(false);
    if (!ok) {
        st.ErrorFlag = true;
        WriteErrorLog(config, procedure, std::to_string(number) + error);
        MessageRequest request;
        request.text = "FileSave Error!!";
        request.title = st.TitleText;
        request.icon = Icon::Exclamation;
        request.details = SaveFailureText(path, number);
        config.prompt().Message(request);
        st.CancelFlag = true;
    }
    return ok;
}

}  // namespace mrw
