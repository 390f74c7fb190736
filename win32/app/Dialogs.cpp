#include "win32/app/Dialogs.h"

#include "win32/app/Application.h"

namespace {

// A box that disables every window of the program while it shows (MB_TASKMODAL), then
// gives the activation back to the window that had it.
void ShowBox(UINT style, const std::wstring& caption, const std::wstring& text) {
    HWND previous = GetActiveWindow();
    MessageBoxW(nullptr, text.c_str(), caption.c_str(), style | MB_OK | MB_TASKMODAL);
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
