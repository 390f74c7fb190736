#pragma once

#include "document/ListDocument.h"
#include "editor/ChunkLayoutCache.h"
#include "editor/EditorView.h"
#include "editor/LineChunks.h"

#include <cstdint>
#include <string>
#include <vector>

// A row's start as the view draws it: its row and x within it.
struct TRowPlace {
    TChunkRow Row;
    int X = 0;
};

// A piece of a row drawn in one way, at `X` from the row's start.
struct TRowRun {
    enum class TKind { Plain, Selected, Composed };
    std::u16string Text;
    int X = 0;
    int Width = 0;
    TKind Kind = TKind::Plain;
};

// The document's lines wrapped at a width. A line is laid out a chunk at a time
// (TLineChunks), each chunk measured by the view and wrapped on its own: a row breaks after
// the last space that fits (spaces may hang past the edge), or else before the first
// character that does not fit, never inside a surrogate pair. Only the chunks asked for
// are laid out, and at most a few hundred are kept, so neither the count of lines nor a
// line's length makes rows costly. Columns are those of the document's lines; text being
// composed by an input method is laid out at its place but has no columns of its own.
class TRowLayout {
public:
    TRowLayout(const TListDocument& doc, const TEditorView& view);

    // The width rows are wrapped to; a change forgets every layout.
    void SetWidth(int width);
    void ForgetAll() { Layouts.Clear(); }
    // Forgets the lines that an edit changed and renumbers the layouts after them.
    void ForgetChangedLines(const TLineChange& change);
    // Drops the least recently used layouts when there are many; called where no layout
    // is in use.
    void Trim() const;
    // Text composed at a place (empty for none), laid out as part of its line.
    void SetComposition(TTextPos at, std::u16string text);

    TChunkRow LastRow() const;
    bool IsLastRowOfLine(const TChunkRow& row) const;
    // Moves to the next row down or up; false at the end of the text.
    bool Step(TChunkRow& row, bool down) const;
    // `rows` rows down (up when negative), as far as the text goes.
    TChunkRow Walk(TChunkRow row, int64_t rows) const;
    TChunkRow RowOf(TTextPos pos) const { return PlaceOf(pos).Row; }
    // Where a place is drawn; `composed` characters into the composition at it.
    TRowPlace PlaceOf(TTextPos pos, int composed = 0) const;
    // The row's first column and the column after its last character (hanging spaces
    // included).
    int64_t RowStart(const TChunkRow& row) const;
    int64_t RowEnd(const TChunkRow& row) const;
    // Where End takes the caret: the row's end before the spaces it was broken at.
    int64_t RowTextEnd(const TChunkRow& row) const;
    // The distance from the row's start to a column of the row.
    int XOf(const TChunkRow& row, int64_t column) const;
    // The column of the row nearest to `x`, kept on the row.
    int64_t ColumnAt(const TChunkRow& row, int x) const;
    // The row's text in runs: the columns `selectedFrom`..`selectedTo` of its line selected.
    std::vector<TRowRun> Runs(const TChunkRow& row, int64_t selectedFrom, int64_t selectedTo) const;

private:
    struct TChunkLayout {
        // The chunk's characters, with the composition in them.
        std::u16string Text;
        // Extents[i]: the width of the first i + 1 characters of Text.
        std::vector<int> Extents;
        // Where each row starts in Text; the first row starts at 0.
        std::vector<int> RowStarts;
        int ComposedAt = 0;
        int ComposedLength = 0;

        int WidthOfFirst(int64_t count) const {
            return count > 0 ? Extents[static_cast<size_t>(count - 1)] : 0;
        }
        // Between columns of the chunk and places in Text.
        int64_t IndexOf(int64_t column) const {
            return column <= ComposedAt ? column : column + ComposedLength;
        }
        int64_t ColumnOf(int64_t index) const {
            return index <= ComposedAt ? index
                                       : std::max<int64_t>(ComposedAt, index - ComposedLength);
        }
        int64_t RowBegin(int row) const { return RowStarts[static_cast<size_t>(row)]; }
        int64_t RowFinish(int row) const;
        // The row's end before the spaces it was broken at.
        int64_t RowTextFinish(int row) const;
    };

    const TChunkLayout& LayoutOf(int64_t line, int64_t chunk) const;
    void Wrap(TChunkLayout& layout) const;
    int RowCount(int64_t line, int64_t chunk) const;

    const TListDocument& Doc;
    const TEditorView& View;
    TLineChunks LineChunks;
    int Width = 1;
    TTextPos ComposedAt;
    std::u16string Composed;
    mutable TChunkLayoutCache<TChunkLayout> Layouts;
};
