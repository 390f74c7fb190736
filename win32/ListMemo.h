#pragma once

#include "document/ListDocument.h"
#include "win32/ListMemoRows.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

// The window class of the list readout's control.
inline constexpr wchar_t ListMemoClassName[] = L"QuorvinListMemo";
void RegisterListMemoClass();

// A multi-line edit that draws a TListDocument: only the lines in view are ever made,
// so a list of 2147483647 lines appears at once. Long lines wrap at the right edge
// (TListMemoRows), with no horizontal scrolling. Caret and selection (mouse, Shift), the
// editing keys (Up, Down, Home and End by rows), Ctrl+A/C/X/V and Ctrl+Z/Y, the wheel,
// and a vertical scroll bar with one step per line, whose 32-bit range is scaled to reach
// the last line. Screen readers get the caret's line as the control's value (MSAA).
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
    // The line of the top row.
    int64_t TopLine() const { return TopPos.Line; }
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
    void MoveCaret(TTextPos to, bool extend, bool keepX = false);
    // The caret's place `rows` rows down (up when negative), near the x it had.
    TTextPos ByRows(int rows);
    TChunkRow TopRow() const { return Rows.RowOf(Doc.Clamp(TopPos)); }
    void SetTop(const TChunkRow& row);
    // The highest top row from which the rows down to `bottom` still fit.
    TChunkRow HighestTopShowing(TChunkRow bottom) const;
    void ClampTop();
    void ScrollRows(int64_t rows);
    void ScrollToLine(int64_t line);
    void ScrollBy(UINT request);
    void ShowCaretInView();
    void UpdateScrollBar();
    void PlaceCaret();
    void PaintRow(HDC dc, const TChunkRow& row, int y) const;
    int VisibleRows() const;
    int WrapWidth() const;
    TTextPos PositionAt(int x, int y) const;
    bool HasSelection() const { return Anchor != CaretPos; }
    TTextPos SelectionStart() const { return Anchor < CaretPos ? Anchor : CaretPos; }
    TTextPos SelectionEnd() const { return Anchor < CaretPos ? CaretPos : Anchor; }
    // After an edit of the document, and after the caret or selection moved.
    void TextChanged();
    void Changed();

    HWND Window;
    HFONT Font = nullptr;
    int LineHeight = 16;
    TListDocument Doc;
    TListMemoRows Rows;
    TTextPos CaretPos;
    TTextPos Anchor;
    // The start of the top row: a place in the text, so that it survives edits and
    // changes of width.
    TTextPos TopPos;
    // Where Up and Down keep the caret: its x before the first of them, or -1.
    int WantedX = -1;
    // What the scroll bar was last given (nMax -1: nothing yet).
    SCROLLINFO Bar{sizeof(SCROLLINFO), 0, 0, -1, 0, 0, 0};
    bool Focused = false;
};
