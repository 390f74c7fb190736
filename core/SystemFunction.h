#pragma once

#include <windows.h>

// A function of a Windows system library, loaded from the system folder (never from the
// program's, where a stranger may have put a library of that name) when it is first asked
// for; null where the library or the function is missing. The library stays loaded. For
// libraries that only a command needs, so that the program does not load them at start.
template <typename TFunction> TFunction SystemFunction(const wchar_t* library, const char* name) {
    HMODULE module = LoadLibraryExW(library, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    return module != nullptr ? reinterpret_cast<TFunction>(
                                   reinterpret_cast<void (*)()>(GetProcAddress(module, name)))
                             : nullptr;
}
