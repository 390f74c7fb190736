#pragma once

#include "document/ListDocument.h"
#include "editor/ChunkLayoutCache.h"
#include "editor/LineChunks.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// The list control's lines wrapped at a width. A line is laid out a chunk at a time
// (TLineChunks), each chunk wrapped on its own: a row breaks after the last space that fits
// (spaces may hang past the edge), or else before the first character that does not fit.
// Only the chunks asked for are laid out, one text measurement each, and at most a few
// hundred are kept, so neither the line count nor a line's length makes rows costly.
class TListMemoRows {
public:
    TListMemoRows(const TListDocument& doc, HWND window);

    // The font and the width rows are wrapped to; a change forgets every layout.
    void SetMetrics(HFONT font, int width);
    void ForgetAll() { Layouts.Clear(); }
    // Forgets the lines that an edit changed and renumbers the layouts after them.
    void ForgetChangedLines(const TLineChange& change);
    // Drops the least recently used layouts when there are many; call it where no
    // row's text is held.
    void Trim();

    // Rows through the lines and their chunks: stepping, the last row.
    const TLineChunks& Chunks() const { return LineChunks; }
    TChunkRow RowOf(TTextPos pos) const;

    // The row's first column and the column after its last character (hanging spaces
    // included).
    int64_t RowStart(const TChunkRow& row) const;
    int64_t RowEnd(const TChunkRow& row) const;
    // Where End takes the caret: the row's end before the spaces it was broken at.
    int64_t RowTextEnd(const TChunkRow& row) const;
    // The row's characters from `begin` to `end` (columns of its line, clamped into it).
    std::wstring RowText(const TChunkRow& row, int64_t begin, int64_t end) const;
    // The distance from the row's start to a column of the row.
    int XOf(const TChunkRow& row, int64_t column) const;
    // The column of the row nearest to `x`, kept on the row.
    int64_t ColumnAt(const TChunkRow& row, int x) const;

private:
    struct TChunkLayout {
        std::wstring Text;
        // Extents[i]: the width of the chunk's first i + 1 characters.
        std::vector<int> Extents;
        int WidthOfFirst(int64_t count) const {
            return count > 0 ? Extents[static_cast<size_t>(count - 1)] : 0;
        }
        // Where each row starts within the chunk; the first row starts at 0.
        std::vector<int> RowStarts;
    };

    const TChunkLayout& LayoutOf(int64_t line, int64_t chunk) const;
    void Wrap(TChunkLayout& layout) const;
    int RowCount(int64_t line, int64_t chunk) const;

    const TListDocument& Doc;
    TLineChunks LineChunks;
    HWND Window;
    HFONT Font = nullptr;
    int Width = 1;
    mutable TChunkLayoutCache<TChunkLayout> Layouts;
};
