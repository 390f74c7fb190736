#include "settings/SettingsPlace.h"

#include "core/SystemFunction.h"
#include "core/WideText.h"

#include <windows.h>

#include <knownfolders.h>
#include <objbase.h>
#include <shlobj.h>

namespace {

// The folder part of a path, without the separator that ends it; empty when the path
// names no folder.
std::wstring FolderOf(const std::string& path) {
    const auto separator = path.find_last_of("\\/");
    return separator == std::string::npos ? std::wstring() : Utf8ToWide(path.substr(0, separator));
}

} // namespace

// The shell and COM are loaded only where the settings go to the user's folder.
std::string UserSettingsFile() {
    static const auto KnownFolder =
        SystemFunction<decltype(&SHGetKnownFolderPath)>(L"shell32.dll", "SHGetKnownFolderPath");
    static const auto FreeMemory =
        SystemFunction<decltype(&CoTaskMemFree)>(L"ole32.dll", "CoTaskMemFree");
    if (KnownFolder == nullptr || FreeMemory == nullptr) {
        return {};
    }
    PWSTR folder = nullptr;
    const HRESULT result = KnownFolder(FOLDERID_RoamingAppData, 0, nullptr, &folder);
    std::string file;
    if (SUCCEEDED(result) && folder != nullptr && folder[0] != L'\0') {
        file = WideToUtf8(folder) + "\\Quorvin\\quorvin.ini";
    }
    FreeMemory(folder);
    return file;
}

// Access rights on Windows are more than a few bits of the folder: the one sure answer
// is to make a file there, which the system removes again when it is closed.
bool CanWriteBeside(const std::string& file) {
    std::wstring folder = FolderOf(file);
    if (folder.empty()) {
        folder = L".";
    }
    const std::wstring probe =
        folder + L"\\quorvin-write-probe-" + std::to_wstring(GetCurrentProcessId()) + L".tmp";
    const HANDLE handle = CreateFileW(
        probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
        FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return false;
    }
    CloseHandle(handle);
    return true;
}

bool PathExists(const std::string& path) {
    return GetFileAttributesW(Utf8ToWide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

void MakeFolderFor(const std::string& file) {
    const std::wstring folder = FolderOf(file);
    // Each folder on the way, from the first below the drive or share on.
    for (auto separator = folder.find_first_of(L"\\/", 3); separator != std::wstring::npos;
         separator = folder.find_first_of(L"\\/", separator + 1)) {
        CreateDirectoryW(folder.substr(0, separator).c_str(), nullptr);
    }
    if (!folder.empty()) {
        CreateDirectoryW(folder.c_str(), nullptr);
    }
}
