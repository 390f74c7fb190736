#pragma once

#include <windows.h>

// A window of the program as the application object runs it: shown by Run, and asked
// first about every message of its own that the loop takes (the form base is one).
class TApplicationWindow {
public:
    virtual ~TApplicationWindow() = default;

    virtual HWND Handle() const = 0;
    virtual void Show(int showState) = 0;
    // True when the window handled the message itself, so that neither
    // IsDialogMessageW nor the window procedure sees it.
    virtual bool PreTranslate(MSG& message) = 0;
};
