#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include <windows.h>

// A fresh folder in the user's temporary folder, removed with everything in it at the end
// of the test. Paths are UTF-8 with Windows separators.
class TScratchFolder {
public:
    explicit TScratchFolder(const std::string& name = "quorvin-test") {
        static int made = 0;
        const std::filesystem::path path =
            std::filesystem::temp_directory_path() /
            std::filesystem::u8path(name + "-" + std::to_string(GetCurrentProcessId()) + "-" +
                                    std::to_string(GetTickCount64()) + "-" +
                                    std::to_string(++made));
        std::filesystem::remove_all(path);
        std::filesystem::create_directories(path);
        Path = path.u8string();
    }
    ~TScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(std::filesystem::u8path(Path), ignored);
    }
    TScratchFolder(const TScratchFolder&) = delete;
    TScratchFolder& operator=(const TScratchFolder&) = delete;

    std::string operator/(const std::string& name) const { return Path + "\\" + name; }

    // The names in the folder, hidden ones included.
    std::set<std::string> Names() const {
        std::set<std::string> names;
        for (const auto& entry :
             std::filesystem::directory_iterator(std::filesystem::u8path(Path))) {
            names.insert(entry.path().filename().u8string());
        }
        return names;
    }

    std::string Path;
};

inline void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(std::filesystem::u8path(path), std::ios::binary) << bytes;
}

inline std::string ReadBytes(const std::string& path) {
    std::ifstream file(std::filesystem::u8path(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

inline bool Exists(const std::string& path) {
    std::error_code ignored;
    return std::filesystem::exists(std::filesystem::u8path(path), ignored);
}

// Wine answers some questions differently from Windows; the tests say where.
inline bool RunningUnderWine() {
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}
