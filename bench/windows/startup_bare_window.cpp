// The yardstick of the Windows start-up benchmark: the least a Chinese window of the main
// window's size must do, as a program that imports the same system libraries as
// quorvin.exe and carries its manifest, so that both pay the same for being loaded. One
// label in SimSun at 15 pixels, the main window's font.

#include <windows.h>

#include <commctrl.h>
#include <objbase.h>
#include <oleauto.h>
#include <shellapi.h>
#include <shlwapi.h>

namespace {

// One function of each library that quorvin.exe imports, so that the loader maps them
// all; none is called.
const void* volatile Imports[] = {
    reinterpret_cast<const void*>(&RegOpenKeyExW),        // ADVAPI32
    reinterpret_cast<const void*>(&InitCommonControlsEx), // COMCTL32
    reinterpret_cast<const void*>(&CoGetApartmentType),   // ole32
    reinterpret_cast<const void*>(&SysFreeString),        // OLEAUT32
    reinterpret_cast<const void*>(&ShellExecuteW),        // SHELL32
    reinterpret_cast<const void*>(&PathFileExistsW),      // SHLWAPI
};

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showState) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = L"BareWindow";
    RegisterClassExW(&windowClass);
    const DWORD style = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    RECT frame{0, 0, 715, 249};
    AdjustWindowRectEx(&frame, style, FALSE, 0);
    const HWND window = CreateWindowExW(
        0, windowClass.lpszClassName, L"Quorvin", style, CW_USEDEFAULT, CW_USEDEFAULT,
        frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, instance, nullptr);
    const HWND label = CreateWindowExW(
        0, L"STATIC", L"\u5185\u5B58\u4F4D\u7F6E\uFF1A\u5F97\u5230\u5185\u5B58\u7684\u5185\u5BB9",
        WS_CHILD | WS_VISIBLE, 8, 32, 320, 15, window, nullptr, instance, nullptr);
    const HFONT font = CreateFontW(-15, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, GB2312_CHARSET,
                                   OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                   DEFAULT_PITCH | FF_DONTCARE, L"SimSun");
    SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    ShowWindow(window, showState);
    UpdateWindow(window);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    DeleteObject(font);
    return Imports[0] != nullptr ? 0 : 1;
}
