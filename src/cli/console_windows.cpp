// The console on Windows: GetConsoleMode, and Ctrl+C, Ctrl+Break and a closed console window
// as interruptions.
#include <windows.h>

#include <atomic>

#include "cli/console.h"

namespace mrw::cli {

namespace {

std::atomic<bool> gInterrupted{false};

BOOL WINAPI OnConsoleEvent(DWORD event) {
    if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT || event == CTRL_CLOSE_EVENT) {
        gInterrupted = true;
        // A closed window ends the program when this handler returns: the transfer has
        // the few seconds the system grants to stop at a safe point.
        if (event == CTRL_CLOSE_EVENT) {
            Sleep(5000);
        }
        return TRUE;
    }
    return FALSE;
}

}  // namespace

bool ErrorStreamIsTerminal() {
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
}

void CatchInterruptions(bool on) {
    if (on) {
        gInterrupted = false;
    }
    SetConsoleCtrlHandler(OnConsoleEvent, on ? TRUE : FALSE);
}

bool ConsoleInterrupted() {
    return gInterrupted.load();
}

}  // namespace mrw::cli
