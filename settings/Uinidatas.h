#pragma once

#include <string>

// The program's settings: the interface language flag, kept in the INI file beside the
// executable (section "Setting", key "bChinese", "1" or "0"). The main window holds one
// by value: constructing it loads the flag; the main window saves it when it goes.
//
// A copy installed in a folder that the user cannot write to keeps the user's file in
// the user's configuration folder instead ($XDG_CONFIG_HOME/quorvin/quorvin.ini, by
// default ~/.config/quorvin/quorvin.ini; on Windows %APPDATA%\Quorvin\quorvin.ini). Until
// that file exists, the file beside the executable is read.
class TIniDatas {
public:
    // Settings beside the running executable.
    TIniDatas();
    // Settings beside the given executable path.
    explicit TIniDatas(const std::string& executablePath);
    TIniDatas(const TIniDatas&) = delete;
    TIniDatas& operator=(const TIniDatas&) = delete;

    // Reads the flag; a missing file, section or key, or a value that is no integer,
    // reads as true.
    void Load();
    // Writes the flag; raises EIniFileException when the file cannot be written.
    void Save();
    // Whether the flag differs from what the last load found: a failed save then loses
    // the user's choice.
    bool ChoiceChanged() const { return bChinese != LoadedChinese; }

    // The settings file: beside the executable, or in the user's configuration folder
    // when the executable's folder is not writable; empty when neither can be told.
    std::string IniPath;
    // True for the Chinese interface, false for the English one.
    bool bChinese;

private:
    bool LoadedChinese;        // the flag as the last load found it
    std::string SharedIniPath; // beside the executable, when IniPath is the user's file
};
