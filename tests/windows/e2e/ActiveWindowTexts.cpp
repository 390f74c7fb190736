// Prints what a user reads in the active window of the Wine desktop, for the end-to-end
// script: its window class, its caption, its client size as "WIDTHxHEIGHT", then the
// text of each of its visible controls in the order that Windows lists them. Records
// are UTF-8, each ended by a zero byte. Windows' own message boxes copy their text with
// Ctrl+C; Wine's do not, so the script asks this reader.
#include "core/WideText.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

constexpr UINT AnswerTimeoutMs = 2000; // a program that does not answer is reported, not waited for

void PrintRecord(const std::wstring& text) {
    const std::string utf8 = WideToUtf8(text);
    std::fwrite(utf8.c_str(), 1, utf8.size() + 1, stdout);
}

// The text of a window of another process: WM_GETTEXT is carried across processes.
std::wstring TextOf(HWND window) {
    wchar_t text[4096] = {};
    DWORD_PTR copied = 0;
    if (SendMessageTimeoutW(window, WM_GETTEXT, sizeof text / sizeof *text,
                            reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, AnswerTimeoutMs,
                            &copied) == 0) {
        return L"(no answer)";
    }
    return text;
}

BOOL CALLBACK PrintControl(HWND control, LPARAM) {
    if (IsWindowVisible(control)) {
        PrintRecord(TextOf(control));
    }
    return TRUE;
}

} // namespace

int main() {
    _setmode(_fileno(stdout), _O_BINARY);
    HWND window = GetForegroundWindow();
    if (window == nullptr) {
        std::fputs("no active window\n", stderr);
        return 1;
    }
    RECT client{};
    GetClientRect(window, &client);
    wchar_t className[256] = {};
    GetClassNameW(window, className, sizeof className / sizeof *className);
    PrintRecord(className);
    PrintRecord(TextOf(window));
    PrintRecord(std::to_wstring(client.right) + L"x" + std::to_wstring(client.bottom));
    EnumChildWindows(window, PrintControl, 0);
    return 0;
}
