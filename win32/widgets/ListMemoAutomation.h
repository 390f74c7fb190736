#pragma once

#include <windows.h>

struct IRawElementProviderSimple;

// What screen readers get from the list control through UI Automation: an element with
// the Edit control type and the Text pattern, whose ranges are offsets into the editor's
// accessible text (TAccessibleText), computed on demand, so that the whole document is
// read (a very long one through a window around the view and the caret) where MSAA
// (ListMemoAccessible) gives the caret's line. The window keeps its element from the
// first request until it goes; then the element answers UIA_E_ELEMENTNOTAVAILABLE.
// UI Automation's functions are taken from the system's UIAutomationCore.dll (never one
// beside the program) when first needed; without them, this answers nothing and MSAA
// stays.

// The id of WM_GETOBJECT's request for a UI Automation provider (the SDK's UiaRootObjectId).
inline constexpr LONG AutomationRootObjectId = -25;

enum class TListMemoAutomationEvent { TextChanged, SelectionChanged };

// Answers WM_GETOBJECT with AutomationRootObjectId.
LRESULT ListMemoAutomationObject(HWND window, WPARAM wParam, LPARAM lParam);
// Tells listening clients of a change; nothing when none listens.
void RaiseListMemoAutomationEvent(HWND window, TListMemoAutomationEvent event);
// The control's window goes: the provider handed out answers no more.
void DisconnectListMemoAutomation(HWND window);

// The element of a window of the class ListMemoClassName, as WM_GETOBJECT hands it to UI
// Automation (held by the window, not by the caller), or null without UI Automation. For
// tests in the process, where no client can ask for the Text pattern.
IRawElementProviderSimple* ListMemoAutomationProvider(HWND window);
