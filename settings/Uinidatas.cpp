#include "settings/Uinidatas.h"

#include "core/Paths.h"
#include "settings/IniFile.h"

#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char* const Section = "Setting";
const char* const Key = "bChinese";

std::string FolderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

// The user's configuration folder for the program; empty when it cannot be told.
std::string UserConfigFolder() {
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    if (configHome != nullptr && configHome[0] == '/') {
        return std::string(configHome) + "/quorvin";
    }
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') {
        return std::string(home) + "/.config/quorvin";
    }
    return {};
}

// Makes the folder and its missing parents; failures show when the file is written.
void MakeFolders(const std::string& folder) {
    for (auto slash = folder.find('/', 1); slash != std::string::npos;
         slash = folder.find('/', slash + 1)) {
        mkdir(folder.substr(0, slash).c_str(), 0700);
    }
    mkdir(folder.c_str(), 0700);
}

} // namespace

TIniDatas::TIniDatas() : TIniDatas(ExecutablePath()) {}

TIniDatas::TIniDatas(const std::string& executablePath) : bChinese(true), LoadedChinese(true) {
    // An unknown executable path leaves IniPath empty rather than naming ".ini" in
    // whatever folder is current.
    if (!executablePath.empty()) {
        IniPath = ChangeFileExt(executablePath, ".ini");
    }
    const std::string userFolder = UserConfigFolder();
    if (!IniPath.empty() && access(FolderOf(IniPath).c_str(), W_OK) != 0 && !userFolder.empty()) {
        SharedIniPath = IniPath;
        IniPath = userFolder + "/quorvin.ini";
    }
    Load();
}

void TIniDatas::Load() {
    const bool useShared = !SharedIniPath.empty() && access(IniPath.c_str(), F_OK) != 0;
    const TIniFile ini(useShared ? SharedIniPath : IniPath);
    bChinese = ini.ReadBool(Section, Key, true);
    LoadedChinese = bChinese;
}

void TIniDatas::Save() {
    if (!SharedIniPath.empty()) {
        MakeFolders(FolderOf(IniPath));
    }
    TIniFile ini(IniPath);
    ini.WriteBool(Section, Key, bChinese);
}
