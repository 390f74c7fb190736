#include "editor/AccessibleText.h"

#include "editor/TextUnits.h"

#include <algorithm>
#include <climits>

namespace {

// How far (in lines) the caret may be from the shown lines and still be given together
// with them.
constexpr int64_t CaretReach = 100;

} // namespace

TAccessibleText::TAccessibleText(const TListEditor& editor) : Editor(editor), Doc(editor.Doc) {
    // Trims what earlier questions laid out; each question lays out a few chunks at most.
    const TListEditor::TOperation operation(editor);
    if (Doc.CharCount() <= INT_MAX) {
        Count = Doc.CharCount();
        return;
    }
    const int64_t caret = editor.Caret().Line;
    int64_t first = editor.TopLine();
    int64_t last = editor.LastVisibleLine();
    if (caret < first - CaretReach || caret > last + CaretReach) {
        first = last = caret;
    }
    first = std::min(first, caret);
    last = std::max(last, caret);
    Start = Doc.OffsetOf({first, 0});
    Count = std::min<int64_t>(Doc.OffsetOf({last, Doc.LineLength(last)}) - Start, INT_MAX);
}

std::u16string TAccessibleText::Text(int start, int end) const {
    const int64_t from = std::clamp<int64_t>(start, 0, Count);
    const int64_t to = std::clamp<int64_t>(end, from, std::min(Count, from + MaxAnswer));
    return Doc.TextAt(Start + from, Start + to);
}

int TAccessibleText::OffsetOf(TTextPos pos) const {
    return static_cast<int>(std::clamp<int64_t>(Doc.OffsetOf(pos) - Start, 0, Count));
}

TTextPos TAccessibleText::PosOf(int offset) const {
    return Doc.PosOf(Start + std::clamp<int64_t>(offset, 0, Count));
}

TTextSpan TAccessibleText::Selection() const {
    return {OffsetOf(Editor.SelectionStart()), OffsetOf(Editor.SelectionEnd())};
}

TTextSpan TAccessibleText::Visible() const {
    const TChunkRow top = Editor.TopRow();
    const TChunkRow last = Editor.Rows.Walk(top, Editor.ShownRowCount() - 1);
    return {OffsetOf({top.Line, Editor.Rows.RowStart(top)}),
            OffsetOf({last.Line, Editor.Rows.RowEnd(last)})};
}

// ---- units ----

TTextSpan TAccessibleText::RowSpan(const TChunkRow& row) const {
    const int start = OffsetOf({row.Line, Editor.Rows.RowStart(row)});
    if (!Editor.Rows.IsLastRowOfLine(row)) {
        return {start, OffsetOf({row.Line, Editor.Rows.RowEnd(row)})};
    }
    return {start, row.Line + 1 < Doc.LineCount() ? OffsetOf({row.Line + 1, 0}) : Length()};
}

TTextSpan TAccessibleText::Around(int offset, TTextUnit unit) const {
    switch (unit) {
    case TTextUnit::Character: {
        const std::u16string pair = Text(offset - 1, offset + 2);
        const size_t at = offset > 0 ? 1 : 0;
        if (at < pair.size() && IsLowSurrogate(pair[at]) && at == 1 && IsHighSurrogate(pair[0])) {
            return {offset - 1, offset + 1};
        }
        const bool pairHere =
            at + 1 < pair.size() && IsHighSurrogate(pair[at]) && IsLowSurrogate(pair[at + 1]);
        return {offset, offset + (pairHere ? 2 : 1)};
    }
    case TTextUnit::Word: {
        const int after = Around(offset, TTextUnit::Character).End;
        const TTextSpan word = WordFrom(OffsetOf(Editor.PreviousWord(PosOf(after))));
        return {word.Start, std::max(word.End, offset + 1)};
    }
    case TTextUnit::Row:
        return RowSpan(Editor.Rows.RowOf(PosOf(offset)));
    case TTextUnit::Line: {
        const int64_t line = PosOf(offset).Line;
        return {OffsetOf({line, 0}),
                line + 1 < Doc.LineCount() ? OffsetOf({line + 1, 0}) : Length()};
    }
    case TTextUnit::Document:
        break;
    }
    return {0, Length()};
}

TTextSpan TAccessibleText::WordFrom(int start) const {
    return {start, std::max(OffsetOf(Editor.NextWord(PosOf(start))), start + 1)};
}

TTextSpan TAccessibleText::Bounded(TTextSpan span, int offset) {
    if (span.End - span.Start <= MaxAnswer) {
        return span;
    }
    const int start = std::clamp(offset - MaxAnswer / 2, span.Start, span.End - MaxAnswer);
    return {start, start + MaxAnswer};
}

TTextSpan TAccessibleText::UnitAt(int offset, TTextUnit unit) const {
    offset = std::clamp(offset, 0, Length());
    if (offset < Length()) {
        return Bounded(Around(offset, unit), offset);
    }
    // At the end, the last row or line is the one before it, unless a line break ends
    // the text.
    const bool lastHolds = unit != TTextUnit::Character && unit != TTextUnit::Word && offset > 0 &&
                           Text(offset - 1, offset) != u"\n";
    return lastHolds ? Bounded(Around(offset - 1, unit), offset - 1) : TTextSpan{offset, offset};
}

TTextSpan TAccessibleText::UnitBefore(int offset, TTextUnit unit) const {
    const int start = UnitAt(offset, unit).Start;
    return start > 0 ? Bounded(Around(start - 1, unit), start - 1) : TTextSpan{};
}

TTextSpan TAccessibleText::UnitAfter(int offset, TTextUnit unit) const {
    offset = std::clamp(offset, 0, Length());
    const int end = offset < Length() ? Around(offset, unit).End : Length();
    if (end == Length()) {
        return {end, end};
    }
    // A word ends where the next begins, even where a word longer than the editor's reach
    // was cut.
    return Bounded(unit == TTextUnit::Word ? WordFrom(end) : Around(end, unit), end);
}

int TAccessibleText::Next(int offset, TTextUnit unit) const {
    return offset >= Length() ? Length() : Around(std::max(offset, 0), unit).End;
}

int TAccessibleText::Previous(int offset, TTextUnit unit) const {
    return offset <= 0 ? 0 : Around(std::min(offset, Length()) - 1, unit).Start;
}

int TAccessibleText::Step(int offset, TTextUnit unit, int& count) const {
    count = std::clamp(count, -MaxSteps, MaxSteps);
    int moved = 0;
    for (int next = 0; moved < count && (next = Next(offset, unit)) > offset; ++moved) {
        offset = next;
    }
    for (int previous = 0; moved > count && (previous = Previous(offset, unit)) < offset; --moved) {
        offset = previous;
    }
    count = moved;
    return offset;
}

// ---- places ----

TTextRect TAccessibleText::CharacterRect(int offset) const {
    return Editor.CharacterRect(PosOf(offset));
}

int TAccessibleText::OffsetAt(int x, int y) const {
    return OffsetOf(Editor.PosAt(x, y));
}

std::vector<TTextRect> TAccessibleText::SpanRects(TTextSpan span) const {
    std::vector<TTextRect> rects;
    const TRowLayout& rows = Editor.Rows;
    TChunkRow row = Editor.TopRow();
    for (int index = 0; index < Editor.ShownRowCount() && span.Start < span.End; ++index) {
        const TTextSpan shown = RowSpan(row);
        const int from = std::max(span.Start, shown.Start);
        const int to = std::min(span.End, shown.End);
        if (from < to) {
            const TTextPos last = PosOf(to);
            const int64_t end = last.Line == row.Line ? last.Column : rows.RowEnd(row);
            const int x = rows.XOf(row, PosOf(from).Column);
            rects.push_back({x, index * Editor.RowHeight(), std::max(rows.XOf(row, end) - x, 1),
                             Editor.RowHeight()});
        }
        if (!rows.Step(row, true)) {
            break;
        }
    }
    return rects;
}
