// What the Windows platform files share: text between the program's UTF-8 and the wide
// strings of the Windows API, and the system's error codes as the program reports them.
// Only Windows builds compile system_windows.cpp.
#pragma once

#include <string>
#include <string_view>

namespace mrw {

/// The wide text of UTF-8 text, for the ...W calls of the Windows API.
std::wstring WideOf(std::string_view utf8);
/// The UTF-8 text of a wide text the Windows API returned.
std::string Utf8Of(std::wstring_view wide);

/// The errno value of a Windows error code (GetLastError()), so that a reason reads the same
/// on every system ("No such file or directory"); EIO for a code without a counterpart.
int ErrnoOfWindowsError(unsigned long code);

/// The system's description of a Windows error code, in UTF-8, without the closing line break.
std::string WindowsErrorText(unsigned long code);

}  // namespace mrw
