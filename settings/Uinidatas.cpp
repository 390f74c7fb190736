#include "Uinidatas.h"

#include "IniFile.h"
#include "Paths.h"

#include <iostream>

namespace {

const char* const Section = "Setting";
const char* const Key = "bChinese";

} // namespace

std::function<void(const std::string& message)> TIniDatas::OnLostChoice;

TIniDatas::TIniDatas() : TIniDatas(ExecutablePath()) {}

TIniDatas::TIniDatas(const std::string& executablePath) : bChinese(true), LoadedChinese(true) {
    // An unknown executable path leaves IniPath empty rather than naming ".ini" in
    // whatever folder is current.
    if (!executablePath.empty()) {
        IniPath = ChangeFileExt(executablePath, ".ini");
    }
    Load();
}

TIniDatas::~TIniDatas() {
    try {
        Save();
    } catch (const Exception& error) {
        std::cerr << ErrorBoxText(error.Message) << std::endl;
        if (bChinese != LoadedChinese && OnLostChoice) {
            OnLostChoice(error.Message);
        }
    }
}

void TIniDatas::Load() {
    const TIniFile ini(IniPath);
    bChinese = ini.ReadBool(Section, Key, true);
    LoadedChinese = bChinese;
}

void TIniDatas::Save() {
    TIniFile ini(IniPath);
    ini.WriteBool(Section, Key, bChinese);
}
