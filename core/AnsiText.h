#pragma once

#include <string>
#include <vector>

// Text in the "ANSI code page" of a Windows system: one or two bytes a character,
// the code page chosen by the user's language. On Linux the code page in force is
// the one Windows would use for the user's locale.

// Linux only: the Windows ANSI code page for a POSIX locale name such as "zh_CN.UTF-8"
// or "ru_RU" (936 for Simplified Chinese, 950 Traditional Chinese, 932 Japanese, 949
// Korean, 1250..1258 for the European and Middle Eastern scripts, 874 Thai; 1252
// otherwise).
int AnsiCodePageForLocale(const std::string& localeName);

// Linux only: every code page that AnsiCodePageForLocale gives, each once.
std::vector<int> AnsiCodePagesOfLocales();

// The code page for the locale in force for character handling (LC_CTYPE), by the
// locale's name; on Windows, the system's ANSI code page.
int CurrentAnsiCodePage();

// Decodes bytes of the given code page into UTF-8. A byte sequence that is not a
// whole character of the code page (a lone lead byte, an unassigned byte) becomes
// U+FFFD, the replacement character.
std::string AnsiToUtf8(const std::string& bytes, int codePage);
