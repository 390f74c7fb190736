#pragma once

#include "document/LineRuns.h"
#include "document/ListLineSource.h"

#include <cstdint>
#include <string>
#include <vector>

// A place in the text: a line and a column within it (in UTF-16 code units).
struct TTextPos {
    int64_t Line = 0;
    int64_t Column = 0;

    friend bool operator==(TTextPos a, TTextPos b) {
        return a.Line == b.Line && a.Column == b.Column;
    }
    friend bool operator!=(TTextPos a, TTextPos b) { return !(a == b); }
    friend bool operator<(TTextPos a, TTextPos b) {
        return a.Line < b.Line || (a.Line == b.Line && a.Column < b.Column);
    }
};

// The text of the list memo: lines joined by line breaks, kept as runs of generated
// list lines and stored text lines (see TLineRuns). A document always has at least one
// line; a text that ends with a line break has an empty last line.
//
// Edits go through Replace and are recorded for Undo and Redo. Setting the whole text
// starts a new history. Lines are counted in 64 bits; positions given from outside
// are clamped into the text.
class TListDocument {
public:
    TListDocument();

    // Replaces the whole text ("\n" separates lines).
    void SetText(const std::u16string& text);

    // Makes the text the list lines of the positions 0..count-1, each followed by a line
    // break. A count of 0 or below makes the text empty; counts above 2147483647 (the
    // largest position count) are taken as 2147483647.
    void SetGeneratedLines(int64_t count);

    int64_t LineCount() const { return Lines.LineCount(); }
    std::u16string LineText(int64_t line) const;
    int64_t LineLength(int64_t line) const;
    TTextPos End() const;
    TTextPos Clamp(TTextPos pos) const;
    // Clamps both ends into the document and puts them in order.
    void OrderAndClamp(TTextPos& from, TTextPos& to) const;
    // How the lines are kept. No text shows it, but it is what keeps memory flat: an
    // edit must leave generated lines generated, which the tests check here.
    const std::vector<TLineRun>& Runs() const { return Lines.Runs(); }

    // The size in UTF-8 bytes of the text between two places, computed from the runs
    // without building the text.
    int64_t TextSize(TTextPos from, TTextPos to) const;
    // The text between two places; callers check its size first.
    std::u16string Text(TTextPos from, TTextPos to) const;

    // Replaces the text between two places with `text` and returns the end of the
    // inserted text. A typed edit that continues the previous typed edit joins it, so
    // one Undo takes back a typed word.
    TTextPos Replace(TTextPos from, TTextPos to, const std::u16string& text, bool typed = false);

    bool CanUndo() const { return Done > 0; }
    bool CanRedo() const { return Done < History.size(); }
    // Take back or repeat the last edit; both return where the caret belongs.
    TTextPos Undo();
    TTextPos Redo();

private:
    // An edit keeps the whole lines that it touched, before and after, so that undoing
    // it gives back the very runs it changed (a generated line that was typed in is
    // generated again).
    struct TEdit {
        TTextPos From;
        TTextPos To;
        TTextPos End;
        TLineRuns Before;
        TLineRuns After;
        bool Typed = false;
    };

    int64_t Length(const TLineRef& line) const;
    std::u16string TextOf(const TLineRef& line) const;
    TLineRef Piece(const TLineRef& line, int64_t begin, int64_t end) const;
    TLineRef Join(TLineRef head, TLineRef tail) const;
    // Where text inserted at `from` ends.
    TTextPos EndOf(TTextPos from, const TLineRuns& inserted) const;

    void Remove(TTextPos from, TTextPos to);
    TTextPos Insert(TTextPos at, TLineRuns inserted);
    void Reset(TLineRuns lines);

    TListLineSource Source;
    TLineRuns Lines;
    std::vector<TEdit> History;
    size_t Done = 0;
};

// Splits text at its line breaks ("\r\n", "\r" and "\n" all count as one).
std::vector<std::u16string> SplitLines(const std::u16string& text);
