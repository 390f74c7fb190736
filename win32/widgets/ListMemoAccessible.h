#pragma once

#include <windows.h>

// What screen readers get from the list control (MSAA): the system's object for a window,
// with the text role and the caret's line as the value. Answers WM_GETOBJECT.
LRESULT ListMemoAccessibleObject(HWND window, WPARAM flags);
