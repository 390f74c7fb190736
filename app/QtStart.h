#pragma once

#include <functional>
#include <string>
#include <vector>

// How the program starts Qt.

// Qt's command line: the program's name and nothing of the user's (the program reads no
// command line). Where the user has not chosen Qt's platform (QT_QPA_PLATFORM unset), a
// Wayland session with a reachable X server (XWayland) gets the X11 platform: Wayland
// does not let a program place its windows.
std::vector<std::string> QtArguments(const std::string& programName);

// Runs `start`, which creates the application object. Qt's messages meanwhile wait and
// follow once Qt has started. When Qt cannot start (no display: DISPLAY unset or naming
// no server), the program prints one line on standard error and ends with exit code 1.
void StartQtOrExit(const std::function<void()>& start);
