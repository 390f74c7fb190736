#pragma once

#include "editor/ListEditor.h"

#include <windows.h>

#include <cstdint>
#include <string>

// The window class of the list readout's control.
inline constexpr wchar_t ListMemoClassName[] = L"QuorvinListMemo";
void RegisterListMemoClass();

// What the control tells its parent, as the notification code of a WM_COMMAND (like an
// edit control's EN_ codes): a copy was refused, the selection being larger than
// TListEditor::MaxCopyBytes.
inline constexpr WORD ListMemoCopyRefused = 0x0100;

// The multi-line edit of the list readout on Windows: the shared list editor
// (TListEditor) drawn with GDI and driven by window messages. Only the rows in view are
// ever laid out, so a list of 2147483647 lines appears at once; long lines wrap at the
// right edge, with no horizontal scrolling.
//
// What is Windows' here: measuring and drawing in the control's font (WM_SETFONT), the key
// table of a Windows multi-line edit (ListMemoKeys.cpp) and its context menu, the caret,
// the mouse and the wheel, the 32-bit scroll bar, the edit messages (WM_COPY, WM_CUT,
// WM_PASTE, WM_CLEAR, WM_UNDO), and screen readers: MSAA and UI Automation
// (ListMemoAccessible, ListMemoAutomation). Copied text has "\r\n" line breaks.
class TListMemo : private TEditorView {
public:
    explicit TListMemo(HWND window);

    // The control behind a window of the class ListMemoClassName.
    static TListMemo* Of(HWND window);

    void SetText(const std::u16string& text) { Edit.SetText(text); }
    void SetGeneratedLines(int64_t count) { Edit.SetGeneratedLines(count); }
    const TListEditor& Editor() const { return Edit; }
    TListEditor& Editor() { return Edit; }

    // Where the text area starts within the client area.
    static constexpr int TextMargin = 2;

private:
    friend LRESULT CALLBACK ListMemoProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // Keys and typed characters (ListMemoKeys.cpp); true when the key was the control's.
    bool KeyDown(WPARAM key, bool system);
    void Character(wchar_t character);
    // The context menu at a point of the screen, or below the caret for (-1, -1).
    void ShowContextMenu(POINT at);

    // The editor's view: GDI's text measurement, painting, the scroll bar and reports.
    void MeasureText(std::u16string_view text, std::vector<int>& extents) const override;
    void Invalidate() override;
    void ScrollBarChanged() override;
    void CaretMoved() override;
    void TextEdited(const TTextEdit& edit) override;
    void ReportCopyRefused() override;
    TDesktop& ClipboardDesktop() override { return Desktop(); }

    void Paint();
    void SetFont(HFONT font);
    void UpdateViewport();
    void PlaceCaret();
    void Scroll(UINT request);
    // Runs a message's work through the program's guard.
    template <typename Work> LRESULT Guarded(Work work);

    HWND Window;
    HFONT Font = nullptr;
    int LineHeight = 16;
    bool Focused = false;
    bool MenuOpen = false;
    // The first half of a surrogate pair typed as two WM_CHAR.
    wchar_t PendingHigh = 0;
    TListEditor Edit{*this, "\r\n"};
};
