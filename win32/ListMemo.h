#pragma once

#include "document/ListDocument.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

// The window class of the list readout's control.
inline constexpr wchar_t ListMemoClassName[] = L"QuorvinListMemo";
void RegisterListMemoClass();

// A multi-line edit that draws a TListDocument: only the lines in view are ever made,
// so a list of 2147483647 lines appears at once. Caret and selection (mouse, Shift),
// the editing keys, Ctrl+A/C/X/V and Ctrl+Z/Y, the wheel, and a vertical scroll bar
// whose 32-bit range is scaled to reach the last line. Screen readers get the caret's
// line as the control's value (MSAA).
class TListMemo {
public:
    // A copy of more than this many bytes (UTF-8) is refused: OnCopyRefused is told.
    static constexpr int64_t MaxCopyBytes = int64_t{64} * 1024 * 1024;

    explicit TListMemo(HWND window);

    // The control behind a window of the class ListMemoClassName.
    static TListMemo* Of(HWND window);

    void SetText(const std::u16string& text);
    void SetGeneratedLines(int64_t count);
    const TListDocument& Document() const { return Doc; }
    TTextPos Caret() const { return CaretPos; }
    int64_t TopLine() const { return Top; }
    void SelectAll();
    // Copies the selection; false when there is none or it is too large.
    bool Copy();
    void Cut();
    void Paste();
    void ReplaceSelection(const std::u16string& text, bool typed);

    std::function<void()> OnCopyRefused;

private:
    friend LRESULT CALLBACK ListMemoProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void Paint();
    void KeyDown(WPARAM key);
    void Character(wchar_t character);
    void MoveCaret(TTextPos to, bool extend);
    void ScrollTo(int64_t line);
    void ScrollBy(UINT request);
    void ShowCaretInView();
    void UpdateScrollBar();
    void PlaceCaret();
    int VisibleLines() const;
    int TextWidth(const std::u16string& text, int64_t columns) const;
    TTextPos PositionAt(int x, int y) const;
    bool HasSelection() const { return Anchor != CaretPos; }
    TTextPos SelectionStart() const { return Anchor < CaretPos ? Anchor : CaretPos; }
    TTextPos SelectionEnd() const { return Anchor < CaretPos ? CaretPos : Anchor; }
    void Changed();

    HWND Window;
    HFONT Font = nullptr;
    int LineHeight = 16;
    TListDocument Doc;
    TTextPos CaretPos;
    TTextPos Anchor;
    int64_t Top = 0;
    bool Focused = false;
};
