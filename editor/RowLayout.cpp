#include "editor/RowLayout.h"

#include "editor/TextUnits.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace {

// Chunk layouts kept between paints and keys.
constexpr size_t KeptLayouts = 256;

bool IsBreakSpace(char16_t character) {
    return character == u' ' || character == u'\t' || character == u'\x3000';
}

} // namespace

TRowLayout::TRowLayout(const TListDocument& doc, const TEditorView& view)
    : Doc(doc), View(view), LineChunks(doc) {}

void TRowLayout::SetWidth(int width) {
    width = std::max(1, width);
    if (width != Width) {
        Width = width;
        Layouts.Clear();
    }
}

void TRowLayout::ForgetChangedLines(const TLineChange& change) {
    Layouts.ForgetChangedLines(change);
}

void TRowLayout::Trim() const {
    Layouts.Trim(KeptLayouts);
}

void TRowLayout::SetComposition(TTextPos at, std::u16string text) {
    if (Composed.empty() && text.empty()) {
        return;
    }
    Layouts.ForgetChangedLines({ComposedAt.Line, 0, 0});
    ComposedAt = at;
    Composed = std::move(text);
    Layouts.ForgetChangedLines({ComposedAt.Line, 0, 0});
}

int64_t TRowLayout::TChunkLayout::RowFinish(int row) const {
    const auto next = static_cast<size_t>(row) + 1;
    return next < RowStarts.size() ? RowStarts[next] : static_cast<int64_t>(Text.size());
}

int64_t TRowLayout::TChunkLayout::RowTextFinish(int row) const {
    int64_t end = RowFinish(row);
    if (static_cast<size_t>(row) + 1 < RowStarts.size()) {
        while (end > RowBegin(row) && IsBreakSpace(Text[static_cast<size_t>(end - 1)])) {
            --end;
        }
    }
    return end;
}

const TRowLayout::TChunkLayout& TRowLayout::LayoutOf(int64_t line, int64_t chunk) const {
    TChunkLayout& layout = Layouts.Use(line, chunk);
    if (!layout.RowStarts.empty()) {
        return layout;
    }
    const int64_t start = LineChunks.Start(line, chunk);
    layout.Text = Doc.LineSlice(line, start, LineChunks.Start(line, chunk + 1));
    layout.ComposedAt = 0;
    layout.ComposedLength = 0;
    if (!Composed.empty() && ComposedAt.Line == line && LineChunks.Of(ComposedAt) == chunk) {
        layout.ComposedAt =
            static_cast<int>(std::clamp<int64_t>(ComposedAt.Column - start, 0, layout.Text.size()));
        layout.Text.insert(static_cast<size_t>(layout.ComposedAt), Composed);
        layout.ComposedLength = static_cast<int>(Composed.size());
    }
    layout.Extents.assign(layout.Text.size(), 0);
    if (!layout.Text.empty()) {
        View.MeasureText(layout.Text, layout.Extents);
    }
    Wrap(layout);
    return layout;
}

void TRowLayout::Wrap(TChunkLayout& layout) const {
    const std::u16string& text = layout.Text;
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
        while (space >= start && !IsBreakSpace(text[static_cast<size_t>(space)])) {
            --space;
        }
        int next = 0;
        if (space >= start) {
            next = space + 1;
            while (next < count && IsBreakSpace(text[static_cast<size_t>(next)])) {
                ++next;
            }
        } else {
            // No space: break before the first character that does not fit (a row holds at
            // least one character, and a surrogate pair stays together).
            next = std::max(end, start + 1);
            if (next < count && IsHighSurrogate(text[static_cast<size_t>(next - 1)])) {
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

int TRowLayout::RowCount(int64_t line, int64_t chunk) const {
    return static_cast<int>(LayoutOf(line, chunk).RowStarts.size());
}

TChunkRow TRowLayout::LastRow() const {
    const int64_t line = Doc.LineCount() - 1;
    const int64_t chunk = LineChunks.Count(line) - 1;
    return {line, chunk, RowCount(line, chunk) - 1};
}

bool TRowLayout::IsLastRowOfLine(const TChunkRow& row) const {
    return row.Chunk + 1 >= LineChunks.Count(row.Line) &&
           row.Index + 1 >= RowCount(row.Line, row.Chunk);
}

bool TRowLayout::Step(TChunkRow& row, bool down) const {
    if (down) {
        if (row.Index + 1 < RowCount(row.Line, row.Chunk)) {
            ++row.Index;
        } else if (row.Chunk + 1 < LineChunks.Count(row.Line)) {
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
        const int64_t chunk = LineChunks.Count(row.Line - 1) - 1;
        row = {row.Line - 1, chunk, RowCount(row.Line - 1, chunk) - 1};
    } else {
        return false;
    }
    return true;
}

TChunkRow TRowLayout::Walk(TChunkRow row, int64_t rows) const {
    for (; rows > 0 && Step(row, true); --rows) {
    }
    for (; rows < 0 && Step(row, false); ++rows) {
    }
    return row;
}

TRowPlace TRowLayout::PlaceOf(TTextPos pos, int composed) const {
    const int64_t chunk = LineChunks.Of(pos);
    const TChunkLayout& layout = LayoutOf(pos.Line, chunk);
    const int64_t index =
        std::min<int64_t>(layout.IndexOf(pos.Column - LineChunks.Start(pos.Line, chunk)) + composed,
                          layout.Text.size());
    const std::vector<int>& starts = layout.RowStarts;
    const auto after = std::upper_bound(starts.begin(), starts.end(), index,
                                        [](int64_t value, int start) { return value < start; });
    const int row = static_cast<int>(std::distance(starts.begin(), after)) - 1;
    return {{pos.Line, chunk, row}, layout.WidthOfFirst(index) - layout.WidthOfFirst(starts[row])};
}

int64_t TRowLayout::RowStart(const TChunkRow& row) const {
    const TChunkLayout& layout = LayoutOf(row.Line, row.Chunk);
    return LineChunks.Start(row.Line, row.Chunk) + layout.ColumnOf(layout.RowBegin(row.Index));
}

int64_t TRowLayout::RowEnd(const TChunkRow& row) const {
    const TChunkLayout& layout = LayoutOf(row.Line, row.Chunk);
    return LineChunks.Start(row.Line, row.Chunk) + layout.ColumnOf(layout.RowFinish(row.Index));
}

int64_t TRowLayout::RowTextEnd(const TChunkRow& row) const {
    const TChunkLayout& layout = LayoutOf(row.Line, row.Chunk);
    return LineChunks.Start(row.Line, row.Chunk) + layout.ColumnOf(layout.RowTextFinish(row.Index));
}

int TRowLayout::XOf(const TChunkRow& row, int64_t column) const {
    const TChunkLayout& layout = LayoutOf(row.Line, row.Chunk);
    const int64_t begin = layout.RowBegin(row.Index);
    const int64_t at = std::clamp(layout.IndexOf(column - LineChunks.Start(row.Line, row.Chunk)),
                                  begin, layout.RowFinish(row.Index));
    return layout.WidthOfFirst(at) - layout.WidthOfFirst(begin);
}

int64_t TRowLayout::ColumnAt(const TChunkRow& row, int x) const {
    const TChunkLayout& layout = LayoutOf(row.Line, row.Chunk);
    const std::u16string& text = layout.Text;
    const int64_t start = layout.RowBegin(row.Index);
    // A column at a wrapped row's end would be shown at the next row's start.
    int64_t limit = layout.RowTextFinish(row.Index);
    if (!IsLastRowOfLine(row) && limit == layout.RowFinish(row.Index) && limit > start) {
        --limit;
        if (limit > start && IsHighSurrogate(text[static_cast<size_t>(limit - 1)])) {
            --limit;
        }
    }
    const int origin = layout.WidthOfFirst(start);
    int64_t index = start;
    while (index < limit) {
        const int64_t next = index + 1 < limit && IsHighSurrogate(text[static_cast<size_t>(index)])
                                 ? index + 2
                                 : index + 1;
        // Past the middle of a character, the place after it is nearer.
        if (layout.WidthOfFirst(index) + layout.WidthOfFirst(next) - 2 * origin > 2 * x) {
            break;
        }
        index = next;
    }
    return LineChunks.Start(row.Line, row.Chunk) + layout.ColumnOf(index);
}

std::vector<TRowRun> TRowLayout::Runs(const TChunkRow& row, int64_t selectedFrom,
                                      int64_t selectedTo) const {
    const TChunkLayout& layout = LayoutOf(row.Line, row.Chunk);
    const int64_t chunkStart = LineChunks.Start(row.Line, row.Chunk);
    const int64_t begin = layout.RowBegin(row.Index);
    const int64_t end = layout.RowFinish(row.Index);
    const int64_t columns = static_cast<int64_t>(layout.Text.size()) - layout.ComposedLength;
    const auto indexOf = [&](int64_t column) {
        return std::clamp(layout.IndexOf(std::clamp<int64_t>(column - chunkStart, 0, columns)),
                          begin, end);
    };
    const bool selected = selectedFrom < selectedTo;
    const int64_t selectedBegin = selected ? indexOf(selectedFrom) : begin;
    const int64_t selectedEnd = selected ? indexOf(selectedTo) : begin;
    const int64_t composedBegin = std::clamp<int64_t>(layout.ComposedAt, begin, end);
    const int64_t composedEnd =
        std::clamp<int64_t>(layout.ComposedAt + layout.ComposedLength, begin, end);
    std::vector<int64_t> cuts{begin, end, selectedBegin, selectedEnd, composedBegin, composedEnd};
    std::sort(cuts.begin(), cuts.end());
    cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());

    std::vector<TRowRun> runs;
    const int origin = layout.WidthOfFirst(begin);
    for (size_t cut = 0; cut + 1 < cuts.size(); ++cut) {
        const int64_t from = cuts[cut];
        const int64_t to = cuts[cut + 1];
        TRowRun run;
        run.Text = layout.Text.substr(static_cast<size_t>(from), static_cast<size_t>(to - from));
        run.X = layout.WidthOfFirst(from) - origin;
        run.Width = layout.WidthOfFirst(to) - layout.WidthOfFirst(from);
        if (from >= composedBegin && to <= composedEnd) {
            run.Kind = TRowRun::TKind::Composed;
        } else if (from >= selectedBegin && to <= selectedEnd) {
            run.Kind = TRowRun::TKind::Selected;
        }
        runs.push_back(std::move(run));
    }
    return runs;
}
