#include "core/Paths.h"

#include "core/WideText.h"

#include <windows.h>

namespace {

std::string& ExecutablePathOverride() {
    static std::string path;
    return path;
}

// The longest path that Windows handles (with the "\\?\" prefix), in UTF-16 units.
constexpr DWORD LongestPath = 32768;

} // namespace

// On Windows the scan ends at '\', '/' and the ':' of a drive, so a '.' in a folder name
// never counts ("C:\Tools.new\app" -> "C:\Tools.new\app.ini"). Paths are UTF-8 inside the
// program, so no byte of a double-byte character can be taken for one of these.
std::string ChangeFileExt(const std::string& path, const std::string& extension) {
    const auto mark = path.find_last_of(".\\/:");
    if (mark != std::string::npos && path[mark] == '.') {
        return path.substr(0, mark) + extension;
    }
    return path + extension;
}

std::string ExecutablePath() {
    if (!ExecutablePathOverride().empty()) {
        return ExecutablePathOverride();
    }
    // The answer is cut short, without an error on older systems, when the buffer is too
    // small: grow it until the whole path fits.
    for (DWORD size = MAX_PATH; size <= LongestPath; size *= 2) {
        std::wstring buffer(size, L'\0');
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), size);
        if (length == 0) {
            return {};
        }
        if (length < size) {
            buffer.resize(length);
            return WideToUtf8(buffer);
        }
    }
    return {};
}

void OverrideExecutablePath(const std::string& path) {
    ExecutablePathOverride() = path;
}

bool FileExists(const std::string& path) {
    // A search pattern would find some other file.
    if (path.empty() || path.find_first_of("*?") != std::string::npos) {
        return false;
    }
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW(Utf8ToWide(path).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return false;
    }
    FindClose(search);
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return false;
    }
    // The years that a DOS date can hold. Asked directly rather than through
    // FileTimeToDosDateTime, which Wine lets wrap round after 2107.
    FILETIME local;
    SYSTEMTIME time;
    return FileTimeToLocalFileTime(&found.ftLastWriteTime, &local) != FALSE &&
           FileTimeToSystemTime(&local, &time) != FALSE && time.wYear >= 1980 && time.wYear <= 2107;
}
