#include "win32/widgets/SystemDesktop.h"

#include "core/SystemFunction.h"
#include "core/WideText.h"

#include <windows.h>

#include <shellapi.h>

#include <cstring>

namespace {

// Another program may hold the clipboard for a moment (a clipboard viewer reading what
// was just put there): a few tries before giving up.
bool OpenClipboardWithRetry(HWND owner) {
    for (int attempt = 0; attempt < 5; ++attempt) {
        if (OpenClipboard(owner) != FALSE) {
            return true;
        }
        Sleep(20);
    }
    return false;
}

// The clipboard, opened by `owner`, is closed when this goes out of scope.
class TOpenClipboard {
public:
    explicit TOpenClipboard(HWND owner) : Opened(OpenClipboardWithRetry(owner)) {}
    ~TOpenClipboard() {
        if (Opened) {
            CloseClipboard();
        }
    }
    TOpenClipboard(const TOpenClipboard&) = delete;
    TOpenClipboard& operator=(const TOpenClipboard&) = delete;

    const bool Opened;
};

} // namespace

void TSystemDesktop::Open(const std::string& fileOrAddress) {
    // The shell is loaded when first asked.
    static const auto Execute =
        SystemFunction<decltype(&ShellExecuteW)>(L"shell32.dll", "ShellExecuteW");
    if (Execute == nullptr) {
        return;
    }
    Execute(Owner, L"open", Utf8ToWide(fileOrAddress).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

bool TSystemDesktop::SetClipboardText(const std::string& text) {
    const std::wstring wide = Utf8ToWide(text);
    const std::size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
    // Windows gives the clipboard to the window that opened it as it is emptied; opened
    // with no window, it would refuse the text afterwards.
    const TOpenClipboard clipboard(Owner);
    if (!clipboard.Opened || EmptyClipboard() == FALSE) {
        return false;
    }
    const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (memory == nullptr) {
        return false;
    }
    void* target = GlobalLock(memory);
    if (target == nullptr) {
        GlobalFree(memory);
        return false;
    }
    std::memcpy(target, wide.c_str(), bytes);
    GlobalUnlock(memory);
    // From here on the clipboard owns the memory, unless it refuses it.
    if (SetClipboardData(CF_UNICODETEXT, memory) == nullptr) {
        GlobalFree(memory);
        return false;
    }
    return true;
}

std::string TSystemDesktop::ClipboardText() {
    const TOpenClipboard clipboard(Owner);
    if (!clipboard.Opened) {
        return {};
    }
    const HANDLE memory = GetClipboardData(CF_UNICODETEXT);
    if (memory == nullptr) {
        return {};
    }
    const auto* text = static_cast<const wchar_t*>(GlobalLock(memory));
    if (text == nullptr) {
        return {};
    }
    // The text ends at its terminating zero, or at the end of the memory that holds it.
    const std::size_t room = GlobalSize(memory) / sizeof(wchar_t);
    std::size_t length = 0;
    while (length < room && text[length] != L'\0') {
        ++length;
    }
    const std::wstring wide(text, length);
    GlobalUnlock(memory);
    return WideToUtf8(wide);
}
