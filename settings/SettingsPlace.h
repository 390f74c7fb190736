#pragma once

#include <string>

// What the settings holder needs to know from the system about where the settings file
// can live: one implementation per platform.

// The user's own settings file, for a copy of the program in a folder that the user cannot
// write to: $XDG_CONFIG_HOME/quorvin/quorvin.ini (by default ~/.config/quorvin/quorvin.ini)
// on Linux, %APPDATA%\Quorvin\quorvin.ini on Windows. Empty when it cannot be told.
std::string UserSettingsFile();

// Whether the folder that holds `file` lets this user make and change files in it.
bool CanWriteBeside(const std::string& file);

// Whether something exists at `path`.
bool PathExists(const std::string& path);

// Makes the folder that is to hold `file`, with its missing parents. A folder that cannot
// be made shows when the file is written.
void MakeFolderFor(const std::string& file);
