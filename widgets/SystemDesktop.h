#pragma once

#include "core/Desktop.h"

// The desktop of the running session, through Qt: files and addresses go to their
// default handlers, text to the system clipboard, which keeps the program's text after
// the program has ended.
TDesktop& SystemDesktop();
