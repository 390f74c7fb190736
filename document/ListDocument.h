#pragma once

#include "document/PieceText.h"
#include "document/PieceTree.h"

#include <cstdint>
#include <string>
#include <string_view>
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

// Which lines an edit, undo or redo changed: `Removed` lines after `Line` were replaced
// by `Inserted` lines (line `Line` itself changed too).
struct TLineChange {
    int64_t Line = 0;
    int64_t Removed = 0;
    int64_t Inserted = 0;
};

// The text of the list memo: lines joined by "\n", kept as a piece table. Typed and
// pasted text is held once in the append-only TPieceText; the document is the sequence of
// pieces in a TPieceTree, and the generated list lines are pieces of their own that are
// never expanded. A document always has at least one line; a text that ends with a line
// break has an empty last line.
//
// Edits go through Replace and are recorded for Undo and Redo as the pieces they
// replaced, so the history shares the text instead of copying it, and undoing an edit
// gives back generated lines as generated lines. Setting the whole text starts a new
// history. Offsets count UTF-16 code units from the start, a line break as one; lines
// and offsets are 64-bit; positions given from outside are clamped into the text.
class TListDocument {
public:
    TListDocument() = default;

    // Replaces the whole text ("\r\n", "\r" and "\n" separate lines).
    void SetText(std::u16string_view text);

    // Makes the text the list lines of the positions 0..count-1, each followed by a line
    // break. A count of 0 or below makes the text empty; counts above 2147483647 (the
    // largest position count) are taken as 2147483647.
    void SetGeneratedLines(int64_t count);

    int64_t LineCount() const { return Pieces.Breaks() + 1; }
    int64_t CharCount() const { return Pieces.Chars(); }
    std::u16string LineText(int64_t line) const;
    // Columns `begin`..`end` of a line (clamped into it).
    std::u16string LineSlice(int64_t line, int64_t begin, int64_t end) const;
    int64_t LineLength(int64_t line) const;
    TTextPos End() const;
    TTextPos Clamp(TTextPos pos) const;
    // Clamps both ends into the document and puts them in order.
    void OrderAndClamp(TTextPos& from, TTextPos& to) const;
    int64_t OffsetOf(TTextPos pos) const;
    TTextPos PosOf(int64_t offset) const;

    // How the text is kept. No text shows it, but it is what keeps memory flat: an edit
    // must leave generated lines generated, which the tests check here.
    std::vector<TPiece> PieceList() const { return Pieces.Pieces(); }
    std::u16string PieceString(const TPiece& piece) const;

    // The size in UTF-8 bytes of the text between two places, computed from the pieces
    // without building the text.
    int64_t TextSize(TTextPos from, TTextPos to) const;
    // The text between two places; callers check its size first.
    std::u16string Text(TTextPos from, TTextPos to) const;
    std::u16string TextAt(int64_t begin, int64_t end) const;

    // Replaces the text between two places with `text` and returns the end of the
    // inserted text. With `joinsLast`, text put in where the last edit ended, with no line
    // break, becomes part of that edit, so that one Undo takes both back (the editor's
    // typing runs); elsewhere it is an edit of its own.
    TTextPos Replace(TTextPos from, TTextPos to, std::u16string_view text, bool joinsLast = false);
    // The same with UTF-8 text (a paste): it goes into the document without a UTF-16 copy.
    TTextPos ReplaceUtf8(TTextPos from, TTextPos to, std::string_view text);

    bool CanUndo() const { return Done > 0; }
    bool CanRedo() const { return Done < History.size(); }
    // Take back or repeat the last edit; both return where the caret belongs.
    TTextPos Undo();
    TTextPos Redo();
    // The lines that the last Replace, Undo or Redo changed.
    TLineChange LastChange() const { return Changed; }

private:
    // One replacement of pieces: `Removed` at `Index` gave way to `Inserted`.
    struct TPieceChange {
        size_t Index = 0;
        std::vector<TPiece> Removed;
        std::vector<TPiece> Inserted;
    };
    // An edit as the user made it; text joined to it adds its changes.
    struct TEdit {
        TTextPos From;
        TTextPos To;
        TTextPos End;
        std::vector<TPieceChange> Changes;
    };

    int64_t LineStart(int64_t line) const;
    // The pieces that stand for the first `offset` characters of `piece`, and for the
    // rest: a generated line that is cut is copied as text.
    void Head(const TPiece& piece, int64_t offset, std::vector<TPiece>& out);
    void Tail(const TPiece& piece, int64_t offset, std::vector<TPiece>& out);
    // Replaces the characters `begin`..`end` with `text` (UTF-16 or UTF-8).
    template <typename TText> TPieceChange Splice(int64_t begin, int64_t end, TText text);
    template <typename TText>
    TTextPos ReplaceWith(TTextPos from, TTextPos to, TText text, bool joinsLast);
    std::vector<TPiece> AppendText(std::u16string_view text);
    std::vector<TPiece> AppendText(std::string_view text);
    void Reset(std::vector<TPiece> pieces);

    TPieceText Store;
    TPieceTree Pieces;
    std::vector<TEdit> History;
    size_t Done = 0;
    TLineChange Changed;
};
