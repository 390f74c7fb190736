#pragma once

#include <windows.h>

#include <string>

// The program's message boxes: modal for all its windows, with one OK button that
// Enter and Esc both press; afterwards the window that was active before is active.
// A plain box: the application title as caption, no icon.
void ShowPlainMessage(const std::wstring& text);
// An error box: the application title as caption, the error icon.
void ShowErrorBox(const std::wstring& text);
// A box with its own caption and icon (MB_ICONWARNING and the like).
void ShowMessageBox(UINT icon, const std::wstring& caption, const std::wstring& text);
