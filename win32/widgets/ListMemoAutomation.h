#pragma once

#include <windows.h>

// What screen readers get from the list control through UI Automation: an element with
// the Edit control type and a text provider (the Text pattern) whose ranges run over the
// editor's accessible text (TAccessibleText), computed on demand, so the whole document
// is readable whatever its size allows. UI Automation's functions are taken from the
// system's UIAutomationCore.dll when first needed; without it, this answers nothing and
// MSAA (ListMemoAccessible) stays.

// The id of WM_GETOBJECT's request for a UI Automation provider.
inline constexpr LONG UiaRootObjectId = -25;

enum class TListMemoAutomationEvent { TextChanged, SelectionChanged };

// Answers WM_GETOBJECT with UiaRootObjectId.
LRESULT ListMemoAutomationObject(HWND window, WPARAM wParam, LPARAM lParam);
// Tells listening clients of a change; nothing when none listens.
void RaiseListMemoAutomationEvent(HWND window, TListMemoAutomationEvent event);
// The control's window goes: the provider handed out answers no more.
void DisconnectListMemoAutomation(HWND window);
