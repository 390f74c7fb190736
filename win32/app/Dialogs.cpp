#include "win32/app/Dialogs.h"

#include "win32/app/Application.h"
#include "win32/app/DisabledWindows.h"

namespace {

// A box owned by the application's hidden window, so that it has no taskbar entry of its
// own and stays in front of the program's windows, which take no input while it shows
// (Windows disables only the owner of a box that has one); then the window that had the
// activation gets it back.
void ShowBox(UINT style, const std::wstring& caption, const std::wstring& text) {
    HWND previous = GetActiveWindow();
    {
        const TDisabledWindows disabled;
        MessageBoxW(Application->Handle(), text.c_str(), caption.c_str(),
                    style | MB_OK | MB_TASKMODAL);
    }
    if (previous != nullptr && IsWindow(previous) && IsWindowVisible(previous)) {
        SetActiveWindow(previous);
    }
}

} // namespace

void ShowPlainMessage(const std::wstring& text) {
    ShowBox(0, Application->Title(), text);
}

void ShowErrorBox(const std::wstring& text) {
    ShowBox(MB_ICONERROR, Application->Title(), text);
}

void ShowMessageBox(UINT icon, const std::wstring& caption, const std::wstring& text) {
    ShowBox(icon, caption, text);
}
