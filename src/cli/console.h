// The console of mrw-cli: whether the error stream is a terminal (progress bars are drawn
// only then), and the user's interruption (Ctrl+C, a kill, a closed console window) as the
// Cancel button of a running transfer.
#pragma once

#include <string>
#include <vector>

namespace mrw::cli {

/// The program's arguments (without its name) as UTF-8 text. Windows hands main() its
/// arguments in the ANSI code page: there they are taken from the wide command line instead.
std::vector<std::string> ProgramArguments(int argc, char* argv[]);

/// Makes the output streams pass bytes unchanged: on Windows the C runtime's text mode would
/// write each "\n" as "\r\n" (and a report's "\r\n" as "\r\r\n"), so that the output would
/// differ from the same command's on Linux.
void WriteOutputAsBytes();

/// True when the error stream goes to a terminal or console window.
bool ErrorStreamIsTerminal();

/// While on, an interruption sets the flag ConsoleInterrupted reports instead of ending the
/// program; switching on clears the flag, switching off gives the system's handling back.
void CatchInterruptions(bool on);

/// True once the user interrupted since CatchInterruptions(true).
bool ConsoleInterrupted();

}  // namespace mrw::cli
