#pragma once

#include <string>

// Windows only: the program keeps text as UTF-8 and talks to the system's wide (...W)
// functions in UTF-16. These two convert at that edge. Bytes that are not UTF-8, and
// UTF-16 halves without their partner, become U+FFFD.
std::wstring Utf8ToWide(const std::string& utf8);
std::string WideToUtf8(const std::wstring& wide);
