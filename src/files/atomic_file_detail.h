// The failure reports shared by the system halves of the atomic save.
#pragma once

#include <cstring>
#include <filesystem>
#include <string>

#include "core/path_text.h"

namespace mrw::atomic_detail {

/// "what PATH: the system's reason".
inline std::string Describe(const std::string& what, const std::filesystem::path& path, int err) {
    return what + " " + PathText(path) + ": " + std::strerror(err);
}

/// Hands a failed write's text and error number to the caller's optional outputs.
inline bool Fail(std::string* error, int* errorNumber, int number, std::string text) {
    if (error != nullptr) {
        *error = std::move(text);
    }
    if (errorNumber != nullptr) {
        *errorNumber = number;
    }
    return false;
}

}  // namespace mrw::atomic_detail
