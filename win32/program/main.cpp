#include "core/HandlerGuard.h"
#include "win32/app/Application.h"
#include "win32/program/Program.h"

namespace {

// Libraries that the program or the system loads later come from the system folder only,
// never from the program's folder, where a downloaded copy may have a stranger beside it.
// (Windows 7 has the function only with its update KB2533623.)
void LoadLibrariesFromTheSystemOnly() {
    using TSetDefaultDllDirectories = BOOL(WINAPI*)(DWORD);
    const auto setDirectories =
        reinterpret_cast<TSetDefaultDllDirectories>(reinterpret_cast<void (*)()>(
            GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
    if (setDirectories != nullptr) {
        setDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    }
}

} // namespace

// Start-up, then the run; whatever fails on the way is shown in one error box. The
// exit code is 0 in every case; the windows are destroyed with the application object.
int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showState) {
    LoadLibrariesFromTheSystemOnly();
    TApplication application;
    // The start-up's guard is the handlers' own: one error box.
    RunGuarded([showState] {
        StartProgram();
        Application->Run(showState);
    });
    return 0;
}
