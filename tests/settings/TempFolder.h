#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <stdexcept>
#include <string>

#include <cstdlib>

// A fresh folder under /tmp, removed with everything in it at the end of the test.
class TTempFolder {
public:
    TTempFolder() {
        char name[] = "/tmp/quorvin-settings-XXXXXX";
        if (mkdtemp(name) == nullptr) {
            throw std::runtime_error("mkdtemp failed");
        }
        Path = name;
    }
    ~TTempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(Path, ignored);
    }
    TTempFolder(const TTempFolder&) = delete;
    TTempFolder& operator=(const TTempFolder&) = delete;

    std::string operator/(const std::string& name) const { return Path + "/" + name; }

    // The names in the folder, hidden ones included.
    std::set<std::string> Names() const {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(Path)) {
            names.insert(entry.path().filename().string());
        }
        return names;
    }

    std::string Path;
};

inline void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string ReadBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}
