#pragma once

#include "document/ListDocument.h"
#include "editor/EditCommand.h"
#include "editor/EditorView.h"
#include "editor/RowLayout.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The scroll bar as the editor sets it: positions 0..Maximum, one per line of the top
// row, `Page` of them shown. Beyond TListEditor::ScrollLimit lines one position stands
// for several, so that any count of lines fits a 32-bit scroll bar.
struct TScrollBar {
    int Maximum = 0;
    int Page = 1;
    int Value = 0;

    friend bool operator==(const TScrollBar& a, const TScrollBar& b) {
        return a.Maximum == b.Maximum && a.Page == b.Page && a.Value == b.Value;
    }
};

// A row as the view draws it: `Y` from the top of the text area, its runs, and where a
// selected line break after it shows (BreakX, -1 when it does not).
struct TShownRow {
    int Y = 0;
    std::vector<TRowRun> Runs;
    int BreakX = -1;
};

// A place on screen, from the text area's top left.
struct TTextRect {
    int X = 0;
    int Y = 0;
    int Width = 0;
    int Height = 0;
};

// The list readout's editor, shared by both front ends: it edits a TListDocument, whose
// lines may be billions of generated list lines, and lays out only the rows that are
// shown (TRowLayout), long lines wrapped at the text area's width. It owns the caret and
// the anchor, every moving and editing command, the grouping of typing for undo, the
// clipboard (through the view) with its cap, scrolling, the wheel and the scroll bar's
// mapping, and what screen readers are given (TAccessibleText). A front end hands it a
// TEditorView, tells it its size, maps its keys to TEditCommand, draws ShownRows and the
// caret, and shows its scroll bar; it reads the text only through the editor.
//
// Each public entry is one operation: it drops surplus kept layouts first, and tells the
// view of what changed once as it ends (at most one redraw, one caret move, one change of
// the scroll bar and one edit), whatever it did on the way.
class TListEditor {
public:
    // Selections larger than this (in UTF-8 bytes, with the clipboard's line breaks) are
    // not copied.
    static constexpr int64_t MaxCopyBytes = int64_t{64} * 1024 * 1024;
    // Up to this many top lines, the scroll bar has one position per line.
    static constexpr int64_t ScrollLimit = int64_t{1} << 30;
    // A wheel's notch, as Windows and Qt count its delta.
    static constexpr int WheelNotch = 120;

    // `clipboardLineBreak` is what a line break becomes in copied text ("\n", "\r\n").
    TListEditor(TEditorView& view, std::string_view clipboardLineBreak);

    // Replaces the whole text; the caret goes to its start and the history is cleared.
    void SetText(std::u16string_view text);
    // The list lines of the positions 0..count-1, each followed by a line break.
    void SetGeneratedLines(int64_t count);
    // How the text is kept (for the editor's own tests).
    const TListDocument& Document() const { return Doc; }

    int64_t LineCount() const { return Doc.LineCount(); }
    int64_t LineLength(int64_t line) const { return Doc.LineLength(line); }
    // Columns `begin`..`end` of a line (clamped into it); the whole line by default.
    std::u16string LineText(int64_t line, int64_t begin = 0, int64_t end = INT64_MAX) const {
        return Doc.LineSlice(line, begin, end);
    }

    TTextPos Caret() const { return CaretPos; }
    TTextPos Anchor() const { return AnchorPos; }
    bool HasSelection() const { return AnchorPos != CaretPos; }
    TTextPos SelectionStart() const { return std::min(AnchorPos, CaretPos); }
    TTextPos SelectionEnd() const { return std::max(AnchorPos, CaretPos); }
    void SetSelection(TTextPos anchor, TTextPos caret);

    // The text area's size in pixels and the height of a row.
    void SetViewport(int width, int height, int rowHeight);
    int RowHeight() const { return LineHeight; }
    // The font changed: every row is measured again.
    void Remeasure();
    // The rows that fit the text area whole (at least one).
    int PageRows() const;

    void Execute(TEditCommand command);
    // Whether a command would do anything now (for menus): Undo, Redo, Cut, Copy, Paste
    // and Clear; every other command can always run.
    bool CanExecute(TEditCommand command) const;
    // Typed text replaces the selection; typing on from where typing ended is taken back
    // by one Undo with it, until a line break, another edit or a move of the caret.
    void Type(std::u16string_view text);
    // Text an input method is composing at the caret (empty when it is done): shown, not
    // yet part of the text. `cursor` counts its characters before its own cursor.
    void SetComposition(std::u16string text, int cursor);
    bool IsComposing() const { return Composing; }

    // The mouse, at x, y from the text area's top left.
    TTextPos PosAt(int x, int y) const;
    void Click(int x, int y, bool extend);
    // Dragging with the button held: above the text area it scrolls up a row.
    void DragTo(int x, int y);
    // A double-click: the run of one class of characters under the pointer.
    void SelectWordAt(int x, int y);

    void ScrollRows(int64_t rows);
    // A turn of the wheel: deltas are added up (high-resolution wheels and touchpads send
    // small ones), and each WheelNotch of them scrolls `linesPerNotch` rows, a page where
    // it is below 0. Positive deltas scroll up.
    void Wheel(int delta, int linesPerNotch);
    // The top row at the start of `line` (as near as the end allows).
    void ScrollToLine(int64_t line);
    // The scroll bar was moved to `value`.
    void ScrollToBar(int value);
    const TScrollBar& ScrollBar() const { return Bar; }
    int64_t TopLine() const { return TopRow().Line; }
    // The last line of which a row is shown.
    int64_t LastVisibleLine() const;

    // The rows in view, top first, with the selection and the composition marked.
    std::vector<TShownRow> ShownRows() const;
    // Where the caret is drawn (within the composition's own cursor); Width 0 when it is
    // not in view.
    TTextRect CaretRect() const;
    // The place of a character; one out of view is placed just outside the text area.
    TTextRect CharacterRect(TTextPos pos) const;
    // The text from the top row's start to the last shown row's end.
    std::u16string ShownText() const;

private:
    friend class TAccessibleText;

    // One public entry's span (see above); entries called from within one join it.
    class TOperation {
    public:
        explicit TOperation(const TListEditor& editor);
        ~TOperation();
        TOperation(const TOperation&) = delete;
        TOperation& operator=(const TOperation&) = delete;

    private:
        const TListEditor& Editor;
        const int Unwinding;
    };
    enum TChange : unsigned { Redraw = 1, CaretChange = 2, BarChange = 4 };
    void Tell(TChange change) { Changes |= change; }
    void TellEdit(const TTextEdit& edit);
    void FlushChanges() const;

    void MoveCaret(TTextPos pos, bool extend, bool keepX = false);
    // Replaces the selection; `joins` puts the edit into the typing run before it.
    void ReplaceSelection(std::u16string_view text, bool joins);
    template <typename Replace> void Edit(Replace replace);
    void DeleteTo(TTextPos pos);
    void TextChanged(const TTextEdit& edit);
    bool Copy();
    void Cut();
    void Paste();
    void Undo();
    void Redo();

    TTextPos NextChar(TTextPos pos) const;
    TTextPos PreviousChar(TTextPos pos) const;
    TTextPos NextWord(TTextPos pos) const;
    TTextPos PreviousWord(TTextPos pos) const;
    TTextPos ByRows(TTextPos pos, int64_t rows);
    TTextPos RowHome(TTextPos pos) const;
    TTextPos RowEnd(TTextPos pos) const;
    void PageBy(int pages, bool extend);

    TChunkRow TopRow() const { return Rows.RowOf(Doc.Clamp(TopPos)); }
    void SetTop(const TChunkRow& row);
    // The highest top row from which the rows down to `bottom` still fit.
    TChunkRow HighestTopShowing(TChunkRow bottom) const;
    TChunkRow MaxTop() const { return HighestTopShowing(Rows.LastRow()); }
    void ClampTop();
    void ShowCaret();
    void UpdateScrollBar();
    // The rows of which a part is shown.
    int ShownRowCount() const;
    // The row's distance from the top row in rows, if it is within `reach` of it.
    bool RowsFromTop(const TChunkRow& row, int reach, int& rows) const;
    void Reset();

    TEditorView& View;
    const std::string LineBreak;
    TListDocument Doc;
    TRowLayout Rows;
    TTextPos CaretPos;
    TTextPos AnchorPos;
    // The start of the top row: a place in the text, so that it survives edits and
    // changes of width.
    TTextPos TopPos;
    // Where Up and Down keep the caret: its x before the first of them, or -1.
    int WantedX = -1;
    // Typing goes on from here into the last edit, while Typing holds.
    bool Typing = false;
    int ComposedCursor = 0;
    bool Composing = false;
    int Width = 1;
    int Height = 1;
    int LineHeight = 1;
    TScrollBar Bar;
    // Wheel deltas (times lines per notch) not yet scrolled.
    int64_t WheelRest = 0;
    // The open operations and what they changed.
    mutable int Depth = 0;
    mutable unsigned Changes = 0;
    mutable bool Edited = false;
    mutable TTextEdit LastEdit;
};
