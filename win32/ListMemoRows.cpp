#include "win32/ListMemoRows.h"

#include <algorithm>
#include <iterator>
#include <tuple>

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

bool operator<(const TMemoRow& a, const TMemoRow& b) {
    return std::tie(a.Line, a.Chunk, a.Index) < std::tie(b.Line, b.Chunk, b.Index);
}

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
        Doc.LineSlice(line, ChunkStart(line, chunk), ChunkStart(line, chunk + 1));
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
    const auto extent = [&layout](int end) { return end > 0 ? layout.Extents[end - 1] : 0; };
    layout.RowStarts = {0};
    for (int start = 0;;) {
        int end = start;
        while (end < count && extent(end + 1) - extent(start) <= Width) {
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

int64_t TListMemoRows::ChunkCount(int64_t line) const {
    const int64_t length = Doc.LineLength(line);
    return std::max<int64_t>(1, (length + ChunkChars - 1) / ChunkChars);
}

int64_t TListMemoRows::ChunkStart(int64_t line, int64_t chunk) const {
    if (chunk <= 0) {
        return 0;
    }
    if (chunk >= ChunkCount(line)) {
        return Doc.LineLength(line);
    }
    // A chunk never starts between the two halves of a surrogate pair.
    const int64_t start = chunk * ChunkChars;
    const std::u16string before = Doc.LineSlice(line, start - 1, start);
    return !before.empty() && IsHighSurrogate(static_cast<wchar_t>(before[0])) ? start - 1 : start;
}

int64_t TListMemoRows::ChunkOf(TTextPos pos) const {
    // A chunk starts at a multiple of ChunkChars or one before it.
    const int64_t count = ChunkCount(pos.Line);
    const int64_t chunk = std::min(pos.Column / ChunkChars, count - 1);
    return chunk + 1 < count && pos.Column >= ChunkStart(pos.Line, chunk + 1) ? chunk + 1 : chunk;
}

int TListMemoRows::RowCount(int64_t line, int64_t chunk) const {
    return static_cast<int>(LayoutOf(line, chunk).RowStarts.size());
}

TMemoRow TListMemoRows::RowOf(TTextPos pos) const {
    const int64_t chunk = ChunkOf(pos);
    const std::vector<int>& starts = LayoutOf(pos.Line, chunk).RowStarts;
    const int64_t column = pos.Column - ChunkStart(pos.Line, chunk);
    const auto after = std::upper_bound(starts.begin(), starts.end(), column,
                                        [](int64_t value, int start) { return value < start; });
    return {pos.Line, chunk, static_cast<int>(std::distance(starts.begin(), after)) - 1};
}

TMemoRow TListMemoRows::LastRow() const {
    const int64_t line = Doc.LineCount() - 1;
    const int64_t chunk = ChunkCount(line) - 1;
    return {line, chunk, RowCount(line, chunk) - 1};
}

bool TListMemoRows::IsLastRowOfLine(const TMemoRow& row) const {
    return row.Chunk + 1 >= ChunkCount(row.Line) && row.Index + 1 >= RowCount(row.Line, row.Chunk);
}

bool TListMemoRows::Step(TMemoRow& row, bool down) const {
    if (down) {
        if (row.Index + 1 < RowCount(row.Line, row.Chunk)) {
            ++row.Index;
        } else if (row.Chunk + 1 < ChunkCount(row.Line)) {
            row = {row.Line, row.Chunk + 1, 0};
        } else if (row.Line + 1 < Doc.LineCount()) {
            row = {row.Line + 1, 0, 0};
        } else {
            return false;
        }
    } else if (row.Index > 0) {
        --row.Index;
    } else if (row.Chunk > 0) {
        row = {row.Line, row.Chunk - 1, RowCount(row.Line, row.Chunk - 1) - 1};
    } else if (row.Line > 0) {
        const int64_t chunk = ChunkCount(row.Line - 1) - 1;
        row = {row.Line - 1, chunk, RowCount(row.Line - 1, chunk) - 1};
    } else {
        return false;
    }
    return true;
}

int64_t TListMemoRows::RowStart(const TMemoRow& row) const {
    return ChunkStart(row.Line, row.Chunk) + LayoutOf(row.Line, row.Chunk).RowStarts[row.Index];
}

int64_t TListMemoRows::RowEnd(const TMemoRow& row) const {
    const TChunkLayout& layout = LayoutOf(row.Line, row.Chunk);
    const size_t next = static_cast<size_t>(row.Index) + 1;
    return ChunkStart(row.Line, row.Chunk) + (next < layout.RowStarts.size()
                                                  ? layout.RowStarts[next]
                                                  : static_cast<int64_t>(layout.Text.size()));
}

int64_t TListMemoRows::RowTextEnd(const TMemoRow& row) const {
    const TChunkLayout& layout = LayoutOf(row.Line, row.Chunk);
    const int64_t chunkStart = ChunkStart(row.Line, row.Chunk);
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

std::wstring TListMemoRows::RowText(const TMemoRow& row, int64_t begin, int64_t end) const {
    const TChunkLayout& layout = LayoutOf(row.Line, row.Chunk);
    const int64_t chunkStart = ChunkStart(row.Line, row.Chunk);
    const int64_t from = std::clamp(begin, RowStart(row), RowEnd(row));
    const int64_t to = std::clamp(end, from, RowEnd(row));
    return layout.Text.substr(static_cast<size_t>(from - chunkStart),
                              static_cast<size_t>(to - from));
}

int TListMemoRows::XOf(const TMemoRow& row, int64_t column) const {
    const TChunkLayout& layout = LayoutOf(row.Line, row.Chunk);
    const int64_t chunkStart = ChunkStart(row.Line, row.Chunk);
    const auto extent = [&layout](int64_t end) {
        return end > 0 ? layout.Extents[static_cast<size_t>(end - 1)] : 0;
    };
    const int64_t start = RowStart(row) - chunkStart;
    const int64_t at = std::clamp(column, RowStart(row), RowEnd(row)) - chunkStart;
    return extent(at) - extent(start);
}

int64_t TListMemoRows::ColumnAt(const TMemoRow& row, int x) const {
    const TChunkLayout& layout = LayoutOf(row.Line, row.Chunk);
    const int64_t chunkStart = ChunkStart(row.Line, row.Chunk);
    const auto extent = [&layout](int64_t end) {
        return end > 0 ? layout.Extents[static_cast<size_t>(end - 1)] : 0;
    };
    const int64_t start = RowStart(row) - chunkStart;
    // A column at a wrapped row's end would be shown at the next row's start.
    int64_t limit = RowTextEnd(row) - chunkStart;
    if (!IsLastRowOfLine(row) && limit + chunkStart == RowEnd(row) && limit > start) {
        --limit;
        if (limit > start && IsHighSurrogate(layout.Text[static_cast<size_t>(limit - 1)])) {
            --limit;
        }
    }
    const int origin = extent(start);
    int64_t column = start;
    while (column < limit) {
        const int64_t next =
            column + 1 < limit && IsHighSurrogate(layout.Text[static_cast<size_t>(column)])
                ? column + 2
                : column + 1;
        // Past the middle of a character, the place after it is nearer.
        if (extent(column) + extent(next) - 2 * origin > 2 * x) {
            break;
        }
        column = next;
    }
    return chunkStart + column;
}
