// The keys of the settings file's setup sections, declared once: section, key, how the value
// is written and read, and the data-model field it holds. The settings file's reader and
// writer and the difference listing walk this one table.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <variant>
#include <vector>

#include "model/model.h"

namespace mrw {

/// How a value appears in a settings file.
enum class KeyForm {
    Flag,         ///< a Boolean written 1/0; read as True/False or a number (non-zero is True)
    Word,         ///< a Boolean written True/False; read as Flag
    LeadingFlag,  ///< a Boolean written 1/0; read by its leading number (missing: False)
    Number,       ///< an integer; read only when the whole value is a number the field holds
    Text,         ///< a text as it is ("#" added when it starts with "#"); missing: empty
    NumberText,   ///< a number held as the text read (written as Text), used by its leading number
    MarkedText,   ///< a text written with the "#" mark; missing: empty
};

/// The data-model field of a key.
using FieldRef = std::variant<bool*, int16_t*, int32_t*, std::string*>;

/// The values a numeric key may hold, both included. A file holding another refuses to open.
struct ValueRange {
    double min;
    double max;
};

/// One key of a setup section.
struct SetupKey {
    const char* section;
    std::string key;
    KeyForm form;
    bool atisOnly;  ///< written and read only for models with ATIS
    std::function<FieldRef(DataModel&)> field;
    /// Of a Number or NumberText key: what the radio's field can hold.
    ValueRange range{0, 0};
};

/// Section names of the setup part of a settings file, in file order.
inline constexpr const char* kGroupSection = "Usable CH Group Setup";
inline constexpr const char* kCommonSection = "Common Setup";
inline constexpr const char* kDscBasicSection = "DSC Setup (Basic Setup)";
inline constexpr const char* kDscAdvancedSection = "DSC Setup (Advanced Setup)";
inline constexpr const char* kDscDisplaySection = "DSC Setup (Display Setup)";
inline constexpr const char* kAutoPosSection = "DSC Setup (AutoPos Setup)";
inline constexpr const char* kAtisCommonSection = "ATIS Setup (Common)";
inline constexpr const char* kAtisCallSignSection = "ATIS Setup (Call Sign)";

/// Every key of the setup sections in file order.
const std::vector<SetupKey>& SetupKeys();

}  // namespace mrw
