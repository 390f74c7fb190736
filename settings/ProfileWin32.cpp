#include "settings/Profile.h"

#include "core/WideText.h"

#include <windows.h>

// On Windows the system's own private-profile functions read and write the file. They
// take ANSI text, as the settings file is in the ANSI code page: the two are the only
// narrow (...A) functions that the program calls.

namespace {

// `wide` in the ANSI code page; false when a character of it has no place there.
bool ToAnsi(const std::wstring& wide, std::string& ansi) {
    BOOL lost = FALSE;
    const int size = static_cast<int>(wide.size());
    const int needed = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), size, nullptr,
                                           0, nullptr, &lost);
    ansi.assign(static_cast<std::size_t>(needed), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), size, ansi.data(), needed,
                        nullptr, &lost);
    return lost == FALSE;
}

std::wstring ShortPath(const std::wstring& path) {
    const DWORD needed = GetShortPathNameW(path.c_str(), nullptr, 0);
    if (needed == 0) {
        return {};
    }
    std::wstring shortPath(needed, L'\0');
    const DWORD length = GetShortPathNameW(path.c_str(), shortPath.data(), needed);
    shortPath.resize(length < needed ? length : 0);
    return shortPath;
}

// The path as the ANSI functions must be given it. The program's paths are Unicode; a
// folder or file whose name the ANSI code page cannot write (Cyrillic on a Chinese system)
// is named by its short 8.3 name instead, that of the file when it exists, that of its
// folder otherwise. Empty when neither way names the file.
std::string AnsiPath(const std::string& path) {
    const std::wstring wide = Utf8ToWide(path);
    std::string ansi;
    if (ToAnsi(wide, ansi)) {
        return ansi;
    }
    std::wstring shortPath = ShortPath(wide);
    if (shortPath.empty()) {
        const auto separator = wide.find_last_of(L"\\/");
        if (separator != std::wstring::npos) {
            const std::wstring folder = ShortPath(wide.substr(0, separator));
            shortPath = folder.empty() ? folder : folder + wide.substr(separator);
        }
    }
    return !shortPath.empty() && ToAnsi(shortPath, ansi) ? ansi : std::string();
}

} // namespace

std::string ProfileRead(const std::string& path, const std::string& section, const std::string& key,
                        const std::string& fallback) {
    const std::string file = AnsiPath(path);
    if (file.empty()) {
        // Nothing names the file (an empty name would make the system read its WIN.INI):
        // it reads as a missing file does.
        std::string value = fallback.substr(0, fallback.find_last_not_of(' ') + 1);
        return value.substr(0, ProfileValueLimit);
    }
    char buffer[ProfileValueLimit + 1];
    const DWORD length = GetPrivateProfileStringA(section.c_str(), key.c_str(), fallback.c_str(),
                                                  buffer, sizeof buffer, file.c_str());
    return std::string(buffer, length);
}

// The system keeps a cached copy of the file; a write with no section, key or value makes
// it write that copy to the file, so that the file holds the entry when this returns. The
// system answers such a flush with "failed" whatever happens, so its answer is not used.
bool ProfileWrite(const std::string& path, const TProfileEntry& entry) {
    const std::string file = AnsiPath(path);
    if (file.empty()) {
        return false;
    }
    const bool written = WritePrivateProfileStringA(entry.Section.c_str(), entry.Key.c_str(),
                                                    entry.Value.c_str(), file.c_str()) != FALSE;
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, file.c_str());
    return written;
}
