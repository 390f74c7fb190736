#include "win32/app/DisabledWindows.h"

TDisabledWindows::TDisabledWindows(HWND except) : Except(except) {
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM data) -> BOOL {
            auto* self = reinterpret_cast<TDisabledWindows*>(data);
            if (window != self->Except && IsWindowVisible(window) && IsWindowEnabled(window)) {
                EnableWindow(window, FALSE);
                self->Windows.push_back(window);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(this));
}

TDisabledWindows::~TDisabledWindows() {
    for (HWND window : Windows) {
        if (IsWindow(window)) {
            EnableWindow(window, TRUE);
        }
    }
}
