#include "fuzz/ScratchFile.h"

#include <filesystem>
#include <fstream>
#include <iterator>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Kept in a plain array: the folder is removed at exit, after string objects are gone.
char FolderName[PATH_MAX];

void RemoveFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(FolderName, ignored);
}

std::string Folder() {
    if (FolderName[0] == 0) {
        const char* const temp = getenv("TMPDIR");
        std::string name = temp != nullptr && *temp != 0 ? temp : "/tmp";
        name += "/quorvin-fuzz-XXXXXX";
        if (name.size() >= sizeof FolderName || mkdtemp(name.data()) == nullptr) {
            std::perror("making the scratch folder");
            std::abort();
        }
        std::strcpy(FolderName, name.c_str());
        std::atexit(RemoveFolder);
    }
    return FolderName;
}

} // namespace

const std::string& ScratchFile() {
    static const std::string file = Folder() + "/fuzz.ini";
    return file;
}

void PutScratchFile(const std::string& bytes) {
    std::ofstream file(ScratchFile(), std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!file.flush()) {
        std::perror("writing the scratch file");
        std::abort();
    }
}

std::string GetScratchFile() {
    std::ifstream file(ScratchFile(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::set<std::string> ScratchFolderNames() {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(Folder())) {
        names.insert(entry.path().filename().string());
    }
    return names;
}
