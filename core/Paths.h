#pragma once

#include <string>

// Replaces the extension of a file path: the part from the last '.' of the file
// name on is cut, then `extension` (with its dot) is appended. A file name without
// a '.' simply gets the extension appended. On this platform '/' ends the scan, so
// a '.' in a folder name never counts ("/opt/tools.new/app" -> "/opt/tools.new/app.ini").
// Paths are UTF-8: no byte of a multi-byte character can be taken for '.' or '/'.
std::string ChangeFileExt(const std::string& path, const std::string& extension);
