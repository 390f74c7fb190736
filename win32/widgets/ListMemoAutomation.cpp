#include "win32/widgets/ListMemoAutomation.h"

LRESULT ListMemoAutomationObject(HWND, WPARAM, LPARAM) {
    return 0;
}

void RaiseListMemoAutomationEvent(HWND, TListMemoAutomationEvent) {}

void DisconnectListMemoAutomation(HWND) {}
