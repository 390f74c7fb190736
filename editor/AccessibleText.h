#pragma once

#include "editor/ListEditor.h"

#include <cstdint>
#include <string>
#include <vector>

// The units that screen readers read by: characters (code points), words (what the
// editor's word moves step over: a run of one class with the spaces after it; a line
// break is a word of its own), rows as they are shown (a long line wraps into several;
// the last row of a line holds its break), the document's lines with their breaks, and
// the whole text.
enum class TTextUnit { Character, Word, Row, Line, Document };

// Offsets start..end of the accessible text.
struct TTextSpan {
    int Start = 0;
    int End = 0;

    friend bool operator==(const TTextSpan& a, const TTextSpan& b) {
        return a.Start == b.Start && a.End == b.End;
    }
};

// What screen readers are given of the list editor's text, every answer computed from the
// document on demand, in time of the order of the answer's length (and the logarithm of
// the document's). The text given is the whole text whenever its length fits an int; a
// longer one through a window of it: the shown lines and the caret's line (with the lines
// between them when the caret is near). Offsets count UTF-16 code units within what is
// given, a line break as one. Made afresh for each question, since the window follows the
// view.
//
// No answer holds more than MaxAnswer characters: a text asked for is cut at that length
// from its start, and a unit longer than that (a long line, the whole document) is given
// as the MaxAnswer characters around the offset asked about, with its offsets to match.
class TAccessibleText {
public:
    static constexpr int MaxAnswer = 1 << 16;
    // Moves by units step over at most this many units at once.
    static constexpr int MaxSteps = 1 << 16;

    explicit TAccessibleText(const TListEditor& editor);

    int Length() const { return static_cast<int>(Count); }
    std::u16string Text(int start, int end) const;
    std::u16string Text(TTextSpan span) const { return Text(span.Start, span.End); }
    int OffsetOf(TTextPos pos) const;
    TTextPos PosOf(int offset) const;

    int Caret() const { return OffsetOf(Editor.Caret()); }
    TTextSpan Selection() const;
    // From the top row's start to the last shown row's end.
    TTextSpan Visible() const;

    // The unit that holds `offset` (empty at the end of the text), the one before it
    // (empty at the start) and the one after it (empty at the end).
    TTextSpan UnitAt(int offset, TTextUnit unit) const;
    TTextSpan UnitBefore(int offset, TTextUnit unit) const;
    TTextSpan UnitAfter(int offset, TTextUnit unit) const;
    // The first boundary of a unit after `offset` (the end at most), and the last before
    // it (0 at least). The start and the end of the text are boundaries of every unit.
    int Next(int offset, TTextUnit unit) const;
    int Previous(int offset, TTextUnit unit) const;
    // `offset` moved over `count` boundaries; `count` becomes how many it crossed.
    int Step(int offset, TTextUnit unit, int& count) const;

    // Places in the text area, from its top left: a character's (one far from view just
    // outside the text area), the offset under a point, and a rectangle for each shown row
    // of which a part of `span` is shown.
    TTextRect CharacterRect(int offset) const;
    int OffsetAt(int x, int y) const;
    std::vector<TTextRect> SpanRects(TTextSpan span) const;

private:
    // The unit that holds `offset` (< Length), whole.
    TTextSpan Around(int offset, TTextUnit unit) const;
    TTextSpan RowSpan(const TChunkRow& row) const;
    // The word that starts at `start`.
    TTextSpan WordFrom(int start) const;
    // At most MaxAnswer characters of `span`, around `offset`.
    static TTextSpan Bounded(TTextSpan span, int offset);

    const TListEditor& Editor;
    const TListDocument& Doc;
    // The document's characters given: from `Start`, `Count` of them.
    int64_t Start = 0;
    int64_t Count = 0;
};
