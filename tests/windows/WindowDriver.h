#pragma once

#include "core/Desktop.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// Drives the program's windows inside the test process: input is posted to the focused
// control and the application's loop dispatches it, as it would the user's.

// A desktop that keeps everything: what was opened and the clipboard's text.
class TRecordingDesktop : public TDesktop {
public:
    void Open(const std::string& fileOrAddress) override { Opened.push_back(fileOrAddress); }
    bool SetClipboardText(const std::string& text) override {
        if (ClipboardFails) {
            return false;
        }
        Clipboard = text;
        return true;
    }
    std::string ClipboardText() override { return Clipboard; }

    std::vector<std::string> Opened;
    std::string Clipboard;
    bool ClipboardFails = false;
};

extern TRecordingDesktop* TestDesktop;

void ProcessMessages();
std::wstring TextOf(HWND window);
void SetTextOf(HWND window, const std::wstring& text);
// Presses a button as a mouse click does.
void Click(HWND button);
// A key pressed and released on the focused control, with Ctrl or Shift held if asked.
void PressKey(WPARAM key, bool control = false, bool shift = false);
// A character typed on the focused control (as TranslateMessage makes it from a key).
void TypeCharacter(wchar_t character);
// A character typed with Alt held.
void TypeAltCharacter(wchar_t character);

// A step of a script: answers true when it has done its part, false to be asked again.
using TStep = std::function<bool()>;

// Runs `action` (which may show modal windows and message boxes) while a timer runs the
// steps one after another inside whatever loop is dispatching. True when all steps ran
// before `action` returned and the loop went quiet, within a few seconds.
bool RunScript(const std::function<void()>& action, std::vector<TStep> steps);

// The message box on the screen (class #32770) or null.
HWND FindMessageBox();
// Steps: close the message box that shows, keeping its text and caption.
TStep CloseMessageBox(std::wstring* text, std::wstring* caption = nullptr);
// Steps: when `window` is visible and active, do `action`.
TStep WhenActive(HWND window, std::function<void()> action);
