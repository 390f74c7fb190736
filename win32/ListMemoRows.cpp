#include "win32/ListMemoRows.h"

#include <algorithm>
#include <iterator>

namespace {

// Chunk layouts kept between paints and keys.
constexpr size_t KeptLayouts = 256;

bool IsBreakSpace(wchar_t character) {
    return character == L' ' || character == L'\t' || character == L'\x3000';
}

bool IsHighSurrogate(wchar_t character) {
    return character >= 0xD800 && character <= 0xDBFF;
}

} // namespace

TListMemoRows::TListMemoRows(const TListDocument& doc, HWND window)
    : Doc(doc),
      LineChunks(doc, [this](int64_t line, int64_t chunk) { return RowCount(line, chunk); }),
      Window(window) {}

void TListMemoRows::SetMetrics(HFONT font, int width) {
    width = std::max(1, width);
    if (font != Font || width != Width) {
        Font = font;
        Width = width;
        Layouts.Clear();
    }
}

void TListMemoRows::ForgetChangedLines(const TLineChange& change) {
    Layouts.ForgetChangedLines(change);
}

void TListMemoRows::Trim() {
    Layouts.Trim(KeptLayouts);
}

const TListMemoRows::TChunkLayout& TListMemoRows::LayoutOf(int64_t line, int64_t chunk) const {
    TChunkLayout& layout = Layouts.Use(line, chunk);
    if (!layout.RowStarts.empty()) {
        return layout;
    }
    const std::u16string text =
        Doc.LineSlice(line, LineChunks.Start(line, chunk), LineChunks.Start(line, chunk + 1));
    layout.Text.assign(text.begin(), text.end());
    layout.Extents.assign(layout.Text.size(), 0);
    if (!layout.Text.empty()) {
        HDC dc = GetDC(Window);
        HGDIOBJ old = SelectObject(dc, Font != nullptr ? Font : GetStockObject(DEFAULT_GUI_FONT));
        SIZE size{0, 0};
        GetTextExtentExPointW(dc, layout.Text.c_str(), static_cast<int>(layout.Text.size()), 0,
                              nullptr, layout.Extents.data(), &size);
        SelectObject(dc, old);
        ReleaseDC(Window, dc);
    }
    Wrap(layout);
    return layout;
}

void TListMemoRows::Wrap(TChunkLayout& layout) const {
    const std::wstring& text = layout.Text;
    const int count = static_cast<int>(text.size());
    layout.RowStarts = {0};
    for (int start = 0;;) {
        int end = start;
        while (end < count && layout.WidthOfFirst(end + 1) - layout.WidthOfFirst(start) <= Width) {
            ++end;
        }
        if (end == count) {
            return;
        }
        // The last space that fits, or the one just past the edge, which may hang there.
        int space = end;
        while (space >= start && !IsBreakSpace(text[space])) {
            --space;
        }
        int next = 0;
        if (space >= start) {
            next = space + 1;
            while (next < count && IsBreakSpace(text[next])) {
                ++next;
            }
        } else {
            // No space: break before the first character that does not fit (a row holds at
            // least one character, and a surrogate pair stays together).
            next = std::max(end, start + 1);
            if (next < count && IsHighSurrogate(text[next - 1])) {
                next += next - 1 > start ? -1 : 1;
            }
        }
        if (next >= count) {
            return;
        }
        layout.RowStarts.push_back(next);
        start = next;
    }
}

int TListMemoRows::RowCount(int64_t line, int64_t chunk) const {
    return static_cast<int>(LayoutOf(line, chunk).RowStarts.size());
}

TChunkRow TListMemoRows::RowOf(TTextPos pos) const {
    const int64_t chunk = LineChunks.Of(pos);
    const std::vector<int>& starts = LayoutOf(pos.Line, chunk).RowStarts;
    const int64_t column = pos.Column - LineChunks.Start(pos.Line, chunk);
    const auto after = std::upper_bound(starts.begin(), starts.end(), column,
                                        [](int64_t value, int start) { return value < start; });
    return {pos.Line, chunk, static_cast<int>(std::distance(starts.begin(), after)) - 1};
}

int64_t TListMemoRows::RowStart(const TChunkRow& row) const {
    return LineChunks.Start(row.Line, row.Chunk) +
           LayoutOf(row.Line, row.Chunk).RowStarts[row.Index];
}

int64_t TListMemoRows::RowEnd(const TChunkRow& row) const {
    const TChunkLayout& layout = LayoutOf(row.Line, row.Chunk);
    const size_t next = static_cast<size_t>(row.Index) + 1;
    return LineChunks.Start(row.Line, row.Chunk) + (next < layout.RowStarts.size()
                                                        ? layout.RowStarts[next]
                                                        : static_cast<int64_t>(layout.Text.size()));
}

int64_t TListMemoRows::RowTextEnd(const TChunkRow& row) const {
    const TChunkLayout& layout = LayoutOf(row.Line, row.Chunk);
    const int64_t chunkStart = LineChunks.Start(row.Line, row.Chunk);
    const int64_t start = RowStart(row);
    int64_t end = RowEnd(row);
    if (static_cast<size_t>(row.Index) + 1 < layout.RowStarts.size()) {
        while (end > start &&
               IsBreakSpace(layout.Text[static_cast<size_t>(end - 1 - chunkStart)])) {
            --end;
        }
    }
    return end;
}

std::wstring TListMemoRows::RowText(const TChunkRow& row, int64_t begin, int64_t end) const {
    const TChunkLayout& layout = LayoutOf(row.Line, row.Chunk);
    const int64_t chunkStart = LineChunks.Start(row.Line, row.Chunk);
    const int64_t from = std::clamp(begin, RowStart(row), RowEnd(row));
    const int64_t to = std::clamp(end, from, RowEnd(row));
    return layout.Text.substr(static_cast<size_t>(from - chunkStart),
                              static_cast<size_t>(to - from));
}

int TListMemoRows::XOf(const TChunkRow& row, int64_t column) const {
    const TChunkLayout& layout = LayoutOf(row.Line, row.Chunk);
    const int64_t chunkStart = LineChunks.Start(row.Line, row.Chunk);
    const int64_t start = RowStart(row) - chunkStart;
    const int64_t at = std::clamp(column, RowStart(row), RowEnd(row)) - chunkStart;
    return layout.WidthOfFirst(at) - layout.WidthOfFirst(start);
}

int64_t TListMemoRows::ColumnAt(const TChunkRow& row, int x) const {
    const TChunkLayout& layout = LayoutOf(row.Line, row.Chunk);
    const int64_t chunkStart = LineChunks.Start(row.Line, row.Chunk);
    const int64_t start = RowStart(row) - chunkStart;
    // A column at a wrapped row's end would be shown at the next row's start.
    int64_t limit = RowTextEnd(row) - chunkStart;
    if (!LineChunks.IsLastRowOfLine(row) && limit + chunkStart == RowEnd(row) && limit > start) {
        --limit;
        if (limit > start && IsHighSurrogate(layout.Text[static_cast<size_t>(limit - 1)])) {
            --limit;
        }
    }
    const int origin = layout.WidthOfFirst(start);
    int64_t column = start;
    while (column < limit) {
        const int64_t next =
            column + 1 < limit && IsHighSurrogate(layout.Text[static_cast<size_t>(column)])
                ? column + 2
                : column + 1;
        // Past the middle of a character, the place after it is nearer.
        if (layout.WidthOfFirst(column) + layout.WidthOfFirst(next) - 2 * origin > 2 * x) {
            break;
        }
        column = next;
    }
    return chunkStart + column;
}
