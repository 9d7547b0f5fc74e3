// The console on Windows: GetConsoleMode, and Ctrl+C, Ctrl+Break and a closed console window
// as interruptions.
#include <windows.h>
// After windows.h, which it builds on:
#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include <atomic>
#include <cstdio>

#include "cli/console.h"
#include "core/system_windows.h"

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

std::vector<std::string> ProgramArguments(int /*argc*/, char* /*argv*/[]) {
    std::vector<std::string> args;
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    for (int i = 1; wide != nullptr && i < count; ++i) {
        args.push_back(Utf8Of(wide[i]));
    }
    LocalFree(wide);
    return args;
}

void WriteOutputAsBytes() {
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
}

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
