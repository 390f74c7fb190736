// Asks the running program's list control for its screen reader objects, as MSAA and UI
// Automation clients do (WM_GETOBJECT), so that it loads the libraries that answer them.
// Exits with 1 when no list control shows up within ten seconds.

#include <windows.h>

#include <cstdio>
#include <initializer_list>

namespace {

constexpr LONG AutomationRootObjectId = -25;

HWND FindList() {
    HWND list = nullptr;
    EnumWindows(
        [](HWND window, LPARAM found) -> BOOL {
            *reinterpret_cast<HWND*>(found) =
                FindWindowExW(window, nullptr, L"QuorvinListMemo", nullptr);
            return *reinterpret_cast<HWND*>(found) == nullptr;
        },
        reinterpret_cast<LPARAM>(&list));
    return list;
}

} // namespace

int wmain() {
    HWND list = nullptr;
    for (int tries = 0; tries < 100 && (list = FindList()) == nullptr; ++tries) {
        Sleep(100);
    }
    if (list == nullptr) {
        std::puts("no list control");
        return 1;
    }
    for (LONG object : {static_cast<LONG>(OBJID_CLIENT), AutomationRootObjectId}) {
        DWORD_PTR result = 0;
        SendMessageTimeoutW(list, WM_GETOBJECT, 0, object, SMTO_ABORTIFHUNG, 5000, &result);
    }
    std::puts("asked");
    return 0;
}
