#pragma once

#include <string>

// Replaces the extension of a file path: the part from the last '.' of the file
// name on is cut, then `extension` (with its dot) is appended. A file name without
// a '.' simply gets the extension appended. On Linux '/' ends the scan, on Windows '\',
// '/' and the ':' of a drive, so a '.' in a folder name never counts
// ("/opt/tools.new/app" -> "/opt/tools.new/app.ini"). Paths are UTF-8: no byte of a
// multi-byte character can be taken for one of these characters.
std::string ChangeFileExt(const std::string& path, const std::string& extension);

// The full path of the running executable, symlinks resolved ("/opt/tools/app" when
// started through a link in /usr/bin). Empty when it cannot be told, for example when
// the executable was deleted while running.
std::string ExecutablePath();

// Makes ExecutablePath() answer `path` instead, so that the program's files beside the
// executable can be placed in another folder (the tests use a scratch folder); an
// empty path puts the real answer back.
void OverrideExecutablePath(const std::string& path);

// Whether `path` names an existing file that is not a directory and whose last-write
// time, as local time, can be written as a DOS date and time (1980 to 2107).
bool FileExists(const std::string& path);
