#include "settings/SettingsPlace.h"

#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string FolderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

} // namespace

std::string UserSettingsFile() {
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    if (configHome != nullptr && configHome[0] == '/') {
        return std::string(configHome) + "/quorvin/quorvin.ini";
    }
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') {
        return std::string(home) + "/.config/quorvin/quorvin.ini";
    }
    return {};
}

bool CanWriteBeside(const std::string& file) {
    return access(FolderOf(file).c_str(), W_OK) == 0;
}

bool PathExists(const std::string& path) {
    return access(path.c_str(), F_OK) == 0;
}

void MakeFolderFor(const std::string& file) {
    const std::string folder = FolderOf(file);
    for (auto slash = folder.find('/', 1); slash != std::string::npos;
         slash = folder.find('/', slash + 1)) {
        mkdir(folder.substr(0, slash).c_str(), 0700);
    }
    mkdir(folder.c_str(), 0700);
}
