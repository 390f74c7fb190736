// The list editor's commands: moving the caret, editing, undo and the clipboard.

#include "editor/AccessibleText.h"
#include "editor/ListEditor.h"
#include "editor/TextUnits.h"

#include <algorithm>

namespace {

// How far a double-click looks for the ends of a word.
constexpr int64_t WordChars = 4096;
// How much of a line a word move reads first.
constexpr int64_t FirstWordLook = 64;
// Screen readers are told the texts of an edit up to this many characters.
constexpr int64_t EditTextChars = 1 << 20;

} // namespace

void TListEditor::Execute(TEditCommand command) {
    const TOperation operation(*this);
    using C = TEditCommand;
    switch (command) {
    case C::CharLeft:
        MoveCaret(HasSelection() ? SelectionStart() : PreviousChar(CaretPos), false);
        break;
    case C::CharLeftExtend:
        MoveCaret(PreviousChar(CaretPos), true);
        break;
    case C::CharRight:
        MoveCaret(HasSelection() ? SelectionEnd() : NextChar(CaretPos), false);
        break;
    case C::CharRightExtend:
        MoveCaret(NextChar(CaretPos), true);
        break;
    case C::WordLeft:
    case C::WordLeftExtend:
        MoveCaret(PreviousWord(CaretPos), command == C::WordLeftExtend);
        break;
    case C::WordRight:
    case C::WordRightExtend:
        MoveCaret(NextWord(CaretPos), command == C::WordRightExtend);
        break;
    case C::RowUp:
    case C::RowUpExtend:
        MoveCaret(ByRows(CaretPos, -1), command == C::RowUpExtend, true);
        break;
    case C::RowDown:
    case C::RowDownExtend:
        MoveCaret(ByRows(CaretPos, 1), command == C::RowDownExtend, true);
        break;
    case C::PageUp:
    case C::PageUpExtend:
        PageBy(-1, command == C::PageUpExtend);
        break;
    case C::PageDown:
    case C::PageDownExtend:
        PageBy(1, command == C::PageDownExtend);
        break;
    case C::RowHome:
    case C::RowHomeExtend:
        MoveCaret(RowHome(CaretPos), command == C::RowHomeExtend);
        break;
    case C::RowEnd:
    case C::RowEndExtend:
        MoveCaret(RowEnd(CaretPos), command == C::RowEndExtend);
        break;
    case C::DocumentStart:
    case C::DocumentStartExtend:
        MoveCaret({0, 0}, command == C::DocumentStartExtend);
        break;
    case C::DocumentEnd:
    case C::DocumentEndExtend:
        MoveCaret(Doc.End(), command == C::DocumentEndExtend);
        break;
    case C::DeleteBack:
        DeleteTo(PreviousChar(CaretPos));
        break;
    case C::DeleteForward:
        DeleteTo(NextChar(CaretPos));
        break;
    case C::DeleteWordBack:
        DeleteTo(PreviousWord(CaretPos));
        break;
    case C::DeleteWordForward:
        DeleteTo(NextWord(CaretPos));
        break;
    case C::NewLine:
        ReplaceSelection(u"\n", false);
        break;
    case C::Undo:
        Undo();
        break;
    case C::Redo:
        Redo();
        break;
    case C::Cut:
        Cut();
        break;
    case C::Copy:
        Copy();
        break;
    case C::Paste:
        Paste();
        break;
    case C::Clear:
        ReplaceSelection({}, false);
        break;
    case C::SelectAll:
        AnchorPos = {};
        CaretPos = Doc.End();
        Typing = false;
        Tell(Redraw);
        Tell(CaretChange);
        break;
    }
}

bool TListEditor::CanExecute(TEditCommand command) const {
    switch (command) {
    case TEditCommand::Undo:
        return Doc.CanUndo();
    case TEditCommand::Redo:
        return Doc.CanRedo();
    case TEditCommand::Cut:
    case TEditCommand::Copy:
    case TEditCommand::Clear:
        return HasSelection();
    case TEditCommand::Paste:
        return View.ClipboardDesktop().HasClipboardText();
    default:
        return true;
    }
}

void TListEditor::Type(std::u16string_view text) {
    if (text.empty() && !HasSelection()) {
        return;
    }
    const TOperation operation(*this);
    const bool joins = Typing && !HasSelection();
    ReplaceSelection(text, joins);
    Typing =
        std::none_of(text.begin(), text.end(), [](char16_t c) { return c == u'\n' || c == u'\r'; });
}

void TListEditor::SetComposition(std::u16string text, int cursor) {
    const TOperation operation(*this);
    Composing = !text.empty();
    ComposedCursor = std::clamp(cursor, 0, static_cast<int>(text.size()));
    Rows.SetComposition(CaretPos, std::move(text));
    ClampTop();
    ShowCaret();
    Tell(Redraw);
}

void TListEditor::SetSelection(TTextPos anchor, TTextPos caret) {
    const TOperation operation(*this);
    AnchorPos = Doc.Clamp(anchor);
    MoveCaret(caret, true);
}

void TListEditor::Click(int x, int y, bool extend) {
    const TOperation operation(*this);
    MoveCaret(PosAt(x, y), extend);
}

void TListEditor::DragTo(int x, int y) {
    const TOperation operation(*this);
    if (y < 0) {
        ScrollRows(-1);
    }
    MoveCaret(PosAt(x, y), true);
}

void TListEditor::SelectWordAt(int x, int y) {
    const TOperation operation(*this);
    const TTextPos at = PosAt(x, y);
    const int64_t begin = std::max<int64_t>(0, at.Column - WordChars);
    const std::u16string text = Doc.LineSlice(at.Line, begin, at.Column + WordChars);
    if (text.empty()) {
        MoveCaret(at, false);
        return;
    }
    // The run of characters of one class under the pointer.
    size_t start = std::min<size_t>(static_cast<size_t>(at.Column - begin), text.size() - 1);
    if (start > 0 && IsLowSurrogate(text[start]) && IsHighSurrogate(text[start - 1])) {
        --start;
    }
    size_t units = 0;
    const TCharClass wanted = CharClassAt(text, start, units);
    size_t end = start + units;
    for (size_t before = 0; start > 0 && CharClassBefore(text, start, before) == wanted;) {
        start = before;
    }
    while (end < text.size() && CharClassAt(text, end, units) == wanted) {
        end += units;
    }
    SetSelection({at.Line, begin + static_cast<int64_t>(start)},
                 {at.Line, begin + static_cast<int64_t>(end)});
}

// ---- moving ----

void TListEditor::MoveCaret(TTextPos pos, bool extend, bool keepX) {
    CaretPos = Doc.Clamp(pos);
    if (!extend) {
        AnchorPos = CaretPos;
    }
    if (!keepX) {
        WantedX = -1;
    }
    Typing = false;
    ShowCaret();
    Tell(Redraw);
    Tell(CaretChange);
}

TTextPos TListEditor::NextChar(TTextPos pos) const {
    if (pos.Column < Doc.LineLength(pos.Line)) {
        size_t units = 1;
        CodePointAt(Doc.LineSlice(pos.Line, pos.Column, pos.Column + 2), 0, units);
        return {pos.Line, pos.Column + static_cast<int64_t>(units)};
    }
    return pos.Line + 1 < Doc.LineCount() ? TTextPos{pos.Line + 1, 0} : pos;
}

TTextPos TListEditor::PreviousChar(TTextPos pos) const {
    if (pos.Column > 0) {
        const std::u16string before = Doc.LineSlice(pos.Line, pos.Column - 2, pos.Column);
        const size_t start = PreviousCodePointStart(before, before.size());
        return {pos.Line, pos.Column - static_cast<int64_t>(before.size() - start)};
    }
    return pos.Line > 0 ? TTextPos{pos.Line - 1, Doc.LineLength(pos.Line - 1)} : pos;
}

TTextPos TListEditor::NextWord(TTextPos pos) const {
    const int64_t length = Doc.LineLength(pos.Line);
    if (pos.Column >= length) {
        return NextChar(pos);
    }
    // A little of the line is read first, more while the word goes on past it.
    for (int64_t reach = FirstWordLook;; reach = std::min(reach * 8, WordReach)) {
        const std::u16string text = Doc.LineSlice(pos.Line, pos.Column, pos.Column + reach);
        const size_t next = NextWordStart(text, 0);
        if (next + 1 < text.size() || reach == WordReach || pos.Column + reach >= length) {
            return {pos.Line, pos.Column + static_cast<int64_t>(next)};
        }
    }
}

TTextPos TListEditor::PreviousWord(TTextPos pos) const {
    if (pos.Column == 0) {
        return PreviousChar(pos);
    }
    for (int64_t reach = FirstWordLook;; reach = std::min(reach * 8, WordReach)) {
        const int64_t begin = std::max<int64_t>(0, pos.Column - reach);
        const std::u16string text = Doc.LineSlice(pos.Line, begin, pos.Column);
        const size_t start = PreviousWordStart(text, text.size());
        if (start > 1 || begin == 0 || reach == WordReach) {
            return {pos.Line, begin + static_cast<int64_t>(start)};
        }
    }
}

TTextPos TListEditor::ByRows(TTextPos pos, int64_t rows) {
    TChunkRow row = Rows.RowOf(pos);
    if (WantedX < 0) {
        WantedX = Rows.XOf(row, pos.Column);
    }
    row = Rows.Walk(row, rows);
    return {row.Line, Rows.ColumnAt(row, WantedX)};
}

TTextPos TListEditor::RowHome(TTextPos pos) const {
    return {pos.Line, Rows.RowStart(Rows.RowOf(pos))};
}

TTextPos TListEditor::RowEnd(TTextPos pos) const {
    return {pos.Line, Rows.RowTextEnd(Rows.RowOf(pos))};
}

void TListEditor::PageBy(int pages, bool extend) {
    ScrollRows(int64_t{pages} * PageRows());
    MoveCaret(ByRows(CaretPos, int64_t{pages} * PageRows()), extend, true);
}

// ---- editing ----

void TListEditor::ReplaceSelection(std::u16string_view text, bool joins) {
    if (text.empty() && !HasSelection()) {
        return;
    }
    Edit([&] { return Doc.Replace(SelectionStart(), SelectionEnd(), text, joins); });
}

template <typename Replace> void TListEditor::Edit(Replace replace) {
    const bool tell = View.WantsEditTexts();
    const TTextPos start = SelectionStart();
    TTextEdit edit;
    if (tell) {
        edit.Offset = TAccessibleText(*this).OffsetOf(start);
        if (Doc.OffsetOf(SelectionEnd()) - Doc.OffsetOf(start) <= EditTextChars) {
            edit.Removed = Doc.Text(start, SelectionEnd());
        }
    }
    CaretPos = AnchorPos = replace();
    if (tell && Doc.OffsetOf(CaretPos) - Doc.OffsetOf(start) <= EditTextChars) {
        edit.Inserted = Doc.Text(start, CaretPos);
    }
    TextChanged(edit);
}

void TListEditor::TextChanged(const TTextEdit& edit) {
    Rows.ForgetChangedLines(Doc.LastChange());
    CaretPos = Doc.Clamp(CaretPos);
    AnchorPos = Doc.Clamp(AnchorPos);
    WantedX = -1;
    Typing = false;
    ClampTop();
    ShowCaret();
    Tell(Redraw);
    Tell(CaretChange);
    TellEdit(edit);
}

void TListEditor::DeleteTo(TTextPos pos) {
    if (!HasSelection()) {
        AnchorPos = pos;
    }
    ReplaceSelection({}, false);
}

void TListEditor::Undo() {
    if (Doc.CanUndo()) {
        CaretPos = AnchorPos = Doc.Undo();
        TextChanged({});
    }
}

void TListEditor::Redo() {
    if (Doc.CanRedo()) {
        CaretPos = AnchorPos = Doc.Redo();
        TextChanged({});
    }
}

bool TListEditor::Copy() {
    if (!HasSelection()) {
        return false;
    }
    const TTextPos from = SelectionStart();
    const TTextPos to = SelectionEnd();
    const int64_t breaks = to.Line - from.Line;
    const auto extraPerBreak = static_cast<int64_t>(LineBreak.size()) - 1;
    if (Doc.TextSize(from, to) + breaks * extraPerBreak > MaxCopyBytes) {
        View.ReportCopyRefused();
        return false;
    }
    return View.ClipboardDesktop().SetClipboardText(ToUtf8(Doc.Text(from, to), LineBreak));
}

void TListEditor::Cut() {
    if (Copy()) {
        ReplaceSelection({}, false);
    }
}

void TListEditor::Paste() {
    const std::string text = View.ClipboardDesktop().ClipboardText();
    if (text.empty() && !HasSelection()) {
        return;
    }
    Edit([&] { return Doc.ReplaceUtf8(SelectionStart(), SelectionEnd(), text); });
}
