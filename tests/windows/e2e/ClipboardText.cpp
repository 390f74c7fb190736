// Prints the text on the Windows clipboard (CF_UNICODETEXT) in UTF-8, byte for byte, for the
// end-to-end script: Wine hands the X clipboard the text with "\n" where a Windows program
// reads "\r\n", so line breaks are checked here. Exits with 1 when the clipboard holds no text.
// With the argument "owner", prints the window class of the clipboard's owner instead (nothing
// when no window owns it).
#include "core/WideText.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    _setmode(_fileno(stdout), _O_BINARY);
    if (argc == 2 && std::string(argv[1]) == "owner") {
        wchar_t className[256] = {};
        if (HWND owner = GetClipboardOwner()) {
            GetClassNameW(owner, className, sizeof className / sizeof *className);
        }
        const std::string name = WideToUtf8(className);
        std::fwrite(name.data(), 1, name.size(), stdout);
        return 0;
    }
    if (OpenClipboard(nullptr) == 0) {
        return 1;
    }
    std::string text;
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    const auto* wide = data != nullptr ? static_cast<const wchar_t*>(GlobalLock(data)) : nullptr;
    if (wide != nullptr) {
        text = WideToUtf8(wide);
        GlobalUnlock(data);
    }
    CloseClipboard();
    if (wide == nullptr) {
        return 1;
    }
    std::fwrite(text.data(), 1, text.size(), stdout);
    return 0;
}
