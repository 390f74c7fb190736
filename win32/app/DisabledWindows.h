#pragma once

#include <windows.h>

#include <vector>

// While it lives, the thread's shown windows take no input, all but `except`: the
// program's windows while a modal window or a message box shows. They are enabled again
// as it goes, each that it disabled.
class TDisabledWindows {
public:
    explicit TDisabledWindows(HWND except = nullptr);
    ~TDisabledWindows();
    TDisabledWindows(const TDisabledWindows&) = delete;
    TDisabledWindows& operator=(const TDisabledWindows&) = delete;

private:
    HWND Except;
    std::vector<HWND> Windows;
};
