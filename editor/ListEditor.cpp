// The list editor's state, scrolling and what it gives the view to draw.

#include "editor/ListEditor.h"

#include <algorithm>
#include <climits>
#include <exception>
#include <utility>

TListEditor::TListEditor(TEditorView& view, std::string_view clipboardLineBreak)
    : View(view), LineBreak(clipboardLineBreak), Rows(Doc, view) {}

// ---- operations ----

TListEditor::TOperation::TOperation(const TListEditor& editor)
    : Editor(editor), Unwinding(std::uncaught_exceptions()) {
    if (Editor.Depth++ == 0) {
        Editor.Rows.Trim();
    }
}

TListEditor::TOperation::~TOperation() {
    if (--Editor.Depth > 0) {
        return;
    }
    if (std::uncaught_exceptions() > Unwinding) {
        // A failed operation tells nothing but that what is shown may have changed.
        Editor.Changes = Redraw;
        Editor.Edited = false;
    }
    Editor.FlushChanges();
}

void TListEditor::TellEdit(const TTextEdit& edit) {
    Edited = true;
    LastEdit = edit;
}

void TListEditor::FlushChanges() const {
    const unsigned changes = std::exchange(Changes, 0U);
    const bool edited = std::exchange(Edited, false);
    if (changes & BarChange) {
        View.ScrollBarChanged();
    }
    if (changes & Redraw) {
        View.Invalidate();
    }
    if (edited) {
        View.TextEdited(std::exchange(LastEdit, {}));
    }
    if (changes & CaretChange) {
        View.CaretMoved();
    }
}

// ---- the text ----

void TListEditor::SetText(std::u16string_view text) {
    const TOperation operation(*this);
    Doc.SetText(text);
    Reset();
}

void TListEditor::SetGeneratedLines(int64_t count) {
    const TOperation operation(*this);
    Doc.SetGeneratedLines(count);
    Reset();
}

void TListEditor::Reset() {
    Rows.ForgetAll();
    Rows.SetComposition({}, {});
    Composing = false;
    CaretPos = AnchorPos = TopPos = {};
    WantedX = -1;
    Typing = false;
    WheelRest = 0;
    UpdateScrollBar();
    Tell(Redraw);
    Tell(CaretChange);
}

void TListEditor::SetViewport(int width, int height, int rowHeight) {
    const TOperation operation(*this);
    Width = std::max(1, width);
    Height = std::max(1, height);
    LineHeight = std::max(1, rowHeight);
    Rows.SetWidth(Width);
    ClampTop();
    UpdateScrollBar();
    Tell(Redraw);
}

void TListEditor::Remeasure() {
    const TOperation operation(*this);
    Rows.ForgetAll();
    ClampTop();
    UpdateScrollBar();
    Tell(Redraw);
}

int TListEditor::PageRows() const {
    return std::max(1, Height / LineHeight);
}

int TListEditor::ShownRowCount() const {
    return std::max(1, (Height + LineHeight - 1) / LineHeight);
}

// ---- scrolling ----

TChunkRow TListEditor::HighestTopShowing(TChunkRow bottom) const {
    return Rows.Walk(bottom, 1 - PageRows());
}

void TListEditor::SetTop(const TChunkRow& row) {
    const TTextPos top{row.Line, Rows.RowStart(row)};
    if (top != TopPos) {
        TopPos = top;
        Tell(Redraw);
    }
}

void TListEditor::ClampTop() {
    SetTop(std::min(TopRow(), MaxTop()));
}

void TListEditor::ShowCaret() {
    const TChunkRow caret = Rows.RowOf(CaretPos);
    const TChunkRow top = TopRow();
    SetTop(caret < top ? caret : std::max(top, HighestTopShowing(caret)));
    UpdateScrollBar();
}

void TListEditor::UpdateScrollBar() {
    const int64_t maxTop = MaxTop().Line;
    const int64_t top = TopRow().Line;
    const TScrollBar bar =
        maxTop <= ScrollLimit
            ? TScrollBar{static_cast<int>(maxTop), PageRows(), static_cast<int>(top)}
            : TScrollBar{static_cast<int>(ScrollLimit), 1,
                         static_cast<int>(top * ScrollLimit / maxTop)};
    if (!(bar == Bar)) {
        Bar = bar;
        Tell(BarChange);
    }
}

void TListEditor::ScrollRows(int64_t rows) {
    const TOperation operation(*this);
    SetTop(Rows.Walk(TopRow(), rows));
    ClampTop();
    UpdateScrollBar();
}

void TListEditor::Wheel(int delta, int linesPerNotch) {
    const TOperation operation(*this);
    const int64_t lines = linesPerNotch < 0 ? PageRows() : linesPerNotch;
    if ((delta > 0 && WheelRest < 0) || (delta < 0 && WheelRest > 0)) {
        WheelRest = 0;
    }
    WheelRest += int64_t{delta} * lines;
    const int64_t rows = WheelRest / WheelNotch;
    WheelRest -= rows * WheelNotch;
    if (rows != 0) {
        ScrollRows(-rows);
    }
}

void TListEditor::ScrollToLine(int64_t line) {
    const TOperation operation(*this);
    const TChunkRow highest = MaxTop();
    SetTop(line >= highest.Line ? highest : TChunkRow{std::max<int64_t>(0, line), 0, 0});
    UpdateScrollBar();
}

void TListEditor::ScrollToBar(int value) {
    const TOperation operation(*this);
    if (value == Bar.Value) {
        return;
    }
    const int64_t maxTop = MaxTop().Line;
    ScrollToLine(maxTop <= ScrollLimit  ? value
                 : value >= ScrollLimit ? maxTop
                                        : int64_t{value} * maxTop / ScrollLimit);
}

int64_t TListEditor::LastVisibleLine() const {
    const TOperation operation(*this);
    return Rows.Walk(TopRow(), ShownRowCount() - 1).Line;
}

bool TListEditor::RowsFromTop(const TChunkRow& row, int reach, int& rows) const {
    const TChunkRow top = TopRow();
    TChunkRow at = top;
    for (rows = 0; rows < reach && at < row && Rows.Step(at, true); ++rows) {
    }
    if (at == row) {
        return true;
    }
    at = top;
    for (rows = 0; rows > -reach && row < at && Rows.Step(at, false); --rows) {
    }
    return at == row;
}

// ---- what is drawn ----

std::vector<TShownRow> TListEditor::ShownRows() const {
    const TOperation operation(*this);
    const TTextPos from = SelectionStart();
    const TTextPos to = SelectionEnd();
    std::vector<TShownRow> shown;
    TChunkRow row = TopRow();
    for (int index = 0; index < ShownRowCount(); ++index) {
        const bool selected = HasSelection() && from.Line <= row.Line && row.Line <= to.Line;
        TShownRow& drawn = shown.emplace_back();
        drawn.Y = index * LineHeight;
        drawn.Runs = Rows.Runs(row, selected && from.Line == row.Line ? from.Column : 0,
                               !selected             ? 0
                               : to.Line == row.Line ? to.Column
                                                     : INT64_MAX);
        if (selected && row.Line < to.Line && Rows.IsLastRowOfLine(row)) {
            drawn.BreakX = Rows.XOf(row, Rows.RowEnd(row));
        }
        if (!Rows.Step(row, true)) {
            break;
        }
    }
    return shown;
}

TTextRect TListEditor::CaretRect() const {
    const TOperation operation(*this);
    const TRowPlace place = Rows.PlaceOf(CaretPos, Composing ? ComposedCursor : 0);
    int rows = 0;
    if (!RowsFromTop(place.Row, ShownRowCount(), rows) || rows < 0 || rows >= ShownRowCount()) {
        return {};
    }
    return {std::min(place.X, Width), rows * LineHeight, 1, LineHeight};
}

TTextRect TListEditor::CharacterRect(TTextPos pos) const {
    const TOperation operation(*this);
    pos = Doc.Clamp(pos);
    const TChunkRow row = Rows.RowOf(pos);
    int rows = 0;
    const int y = RowsFromTop(row, ShownRowCount(), rows) ? rows * LineHeight
                  : row < TopRow()                        ? -LineHeight
                                                          : Height;
    const int x = Rows.XOf(row, pos.Column);
    const int next =
        pos.Column < Doc.LineLength(pos.Line) ? Rows.XOf(row, NextChar(pos).Column) : x + 1;
    return {x, y, std::max(next - x, 1), LineHeight};
}

std::u16string TListEditor::ShownText() const {
    const TOperation operation(*this);
    const TChunkRow top = TopRow();
    const TChunkRow last = Rows.Walk(top, ShownRowCount() - 1);
    return Doc.Text({top.Line, Rows.RowStart(top)}, {last.Line, Rows.RowEnd(last)});
}

TTextPos TListEditor::PosAt(int x, int y) const {
    const TOperation operation(*this);
    const TChunkRow row = Rows.Walk(TopRow(), std::max(0, y) / LineHeight);
    return Doc.Clamp({row.Line, Rows.ColumnAt(row, x)});
}
