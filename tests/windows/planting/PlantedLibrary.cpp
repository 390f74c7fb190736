// Stands in for a system library planted beside a program: whenever a process loads it, it
// leaves a file named "planted-library-ran" beside itself. It exports the one function that
// the program of the control case calls, so that loading it never fails.

#include <windows.h>

#include <cwchar>

extern "C" __declspec(dllexport) UINT WINAPI GetRoleTextW(DWORD, LPWSTR text, UINT) {
    if (text != nullptr) {
        *text = L'\0';
    }
    return 0;
}

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        wchar_t path[MAX_PATH + 32] = {};
        DWORD length = GetModuleFileNameW(module, path, MAX_PATH);
        while (length > 0 && path[length - 1] != L'\\') {
            --length;
        }
        wcscpy(path + length, L"planted-library-ran");
        CloseHandle(CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    }
    return TRUE;
}
