#pragma once

#include <string>

// Keeps clipboard text pasteable on an X11 display after the program has ended, where no
// clipboard manager runs to take it over: a small process of the program's own, split off
// with its own connection to the display, owns the clipboard with the text and ends as
// soon as another program takes the clipboard (or the display goes). Returns true when it
// took the clipboard; false where a clipboard manager runs (Qt hands the text to it), the
// display cannot be reached or the text is too large for one transfer.
bool KeepClipboardText(const std::string& utf8);
