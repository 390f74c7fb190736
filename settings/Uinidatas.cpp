#include "settings/Uinidatas.h"

#include "core/Paths.h"
#include "settings/IniFile.h"
#include "settings/SettingsPlace.h"

namespace {

const char* const Section = "Setting";
const char* const Key = "bChinese";

} // namespace

TIniDatas::TIniDatas() : TIniDatas(ExecutablePath()) {}

TIniDatas::TIniDatas(const std::string& executablePath) : bChinese(true), LoadedChinese(true) {
    // An unknown executable path leaves IniPath empty rather than naming ".ini" in
    // whatever folder is current.
    if (!executablePath.empty()) {
        IniPath = ChangeFileExt(executablePath, ".ini");
    }
    if (!IniPath.empty() && !CanWriteBeside(IniPath)) {
        const std::string userFile = UserSettingsFile();
        if (!userFile.empty()) {
            SharedIniPath = IniPath;
            IniPath = userFile;
        }
    }
    Load();
}

void TIniDatas::Load() {
    const bool useShared = !SharedIniPath.empty() && !PathExists(IniPath);
    const TIniFile ini(useShared ? SharedIniPath : IniPath);
    bChinese = ini.ReadBool(Section, Key, true);
    LoadedChinese = bChinese;
}

void TIniDatas::Save() {
    if (!SharedIniPath.empty()) {
        MakeFolderFor(IniPath);
    }
    TIniFile ini(IniPath);
    ini.WriteBool(Section, Key, bChinese);
}
