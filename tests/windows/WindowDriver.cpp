#include "WindowDriver.h"

#include "win32/app/Application.h"
#include "win32/forms/Form.h"

#include <gtest/gtest.h>

#include <deque>

TRecordingDesktop* TestDesktop = nullptr;

namespace {

constexpr UINT StepMilliseconds = 20;
constexpr int MaxTicks = 400; // about 8 seconds

struct TScript {
    std::deque<TStep> Steps;
    int Ticks = 0;
};

TScript* RunningScript = nullptr;

void CALLBACK RunNextStep(HWND, UINT, UINT_PTR, DWORD) {
    if (RunningScript == nullptr || RunningScript->Steps.empty()) {
        return;
    }
    if (++RunningScript->Ticks > MaxTicks) {
        // The script is stuck: close whatever it left open, so that the test ends.
        EnumThreadWindows(
            GetCurrentThreadId(),
            [](HWND window, LPARAM) -> BOOL {
                if (IsWindowVisible(window) &&
                    window != GetAncestor(Application->MainForm()->Handle(), GA_ROOT)) {
                    PostMessageW(window, WM_CLOSE, 0, 0);
                }
                return TRUE;
            },
            0);
        return;
    }
    // A step may open a modal window, whose loop runs the next steps: it leaves the list
    // while it runs and goes back to its head when it has to be asked again.
    TScript* script = RunningScript;
    TStep step = std::move(script->Steps.front());
    script->Steps.pop_front();
    if (!step()) {
        script->Steps.push_front(std::move(step));
    }
}

void SetModifiers(bool control, bool shift) {
    BYTE state[256];
    GetKeyboardState(state);
    state[VK_CONTROL] = control ? 0x80 : 0;
    state[VK_SHIFT] = shift ? 0x80 : 0;
    SetKeyboardState(state);
}

} // namespace

void ProcessMessages() {
    Application->ProcessMessages();
}

std::wstring TextOf(HWND window) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

void SetTextOf(HWND window, const std::wstring& text) {
    SetWindowTextW(window, text.c_str());
}

void Click(HWND button) {
    SendMessageW(button, BM_CLICK, 0, 0);
    ProcessMessages();
}

void PressKey(WPARAM key, bool control, bool shift) {
    SetModifiers(control, shift);
    HWND focus = GetFocus();
    PostMessageW(focus, WM_KEYDOWN, key, 1);
    PostMessageW(focus, WM_KEYUP, key, 0xC0000001);
    ProcessMessages();
    SetModifiers(false, false);
}

void TypeCharacter(wchar_t character) {
    PostMessageW(GetFocus(), WM_CHAR, character, 1);
    ProcessMessages();
}

void TypeAltCharacter(wchar_t character) {
    PostMessageW(GetFocus(), WM_SYSCHAR, character, 1 | (1 << 29)); // bit 29: Alt is down
    ProcessMessages();
}

bool RunScript(const std::function<void()>& action, std::vector<TStep> steps) {
    TScript script{std::deque<TStep>(steps.begin(), steps.end()), 0};
    RunningScript = &script;
    const UINT_PTR timer = SetTimer(nullptr, 0, StepMilliseconds, RunNextStep);
    action();
    while (!script.Steps.empty() && script.Ticks < MaxTicks) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, StepMilliseconds, QS_ALLINPUT);
        ProcessMessages();
    }
    KillTimer(nullptr, timer);
    RunningScript = nullptr;
    ProcessMessages();
    return script.Steps.empty();
}

HWND FindMessageBox() {
    HWND found = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM result) -> BOOL {
            wchar_t className[16] = {};
            GetClassNameW(window, className, 16);
            if (std::wstring(className) == L"#32770" && IsWindowVisible(window)) {
                *reinterpret_cast<HWND*>(result) = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

TStep CloseMessageBox(std::wstring* text, std::wstring* caption) {
    return [text, caption] {
        HWND box = FindMessageBox();
        if (box == nullptr) {
            return false;
        }
        // Every box belongs to the application's window and holds off input to the main
        // window while it shows.
        EXPECT_EQ(GetWindow(box, GW_OWNER), Application->Handle());
        EXPECT_FALSE(IsWindowEnabled(Application->MainForm()->Handle()));
        // The box's text is its static control 0xFFFF.
        *text = TextOf(GetDlgItem(box, 0xFFFF));
        if (caption != nullptr) {
            *caption = TextOf(box);
        }
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        return true;
    };
}

TStep WhenActive(HWND window, std::function<void()> action) {
    return [window, action] {
        if (!IsWindowVisible(window) || GetActiveWindow() != window) {
            return false;
        }
        action();
        return true;
    };
}
