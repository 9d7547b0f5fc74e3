// The console of mrw-cli: whether the error stream is a terminal (progress bars are drawn
// only then), and the user's interruption (Ctrl+C, a kill, a closed console window) as the
// Cancel button of a running transfer.
#pragma once

namespace mrw::cli {

/// True when the error stream goes to a terminal or console window.
bool ErrorStreamIsTerminal();

/// While on, an interruption sets the flag ConsoleInterrupted reports instead of ending the
/// program; switching on clears the flag, switching off gives the system's handling back.
void CatchInterruptions(bool on);

/// True once the user interrupted since CatchInterruptions(true).
bool ConsoleInterrupted();

}  // namespace mrw::cli
