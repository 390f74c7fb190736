#include "editor/LineChunks.h"

#include <algorithm>
#include <string>
#include <utility>

TLineChunks::TLineChunks(const TListDocument& doc, TRowCount rowCount)
    : Doc(doc), RowCount(std::move(rowCount)) {}

int64_t TLineChunks::Count(int64_t line) const {
    const int64_t length = Doc.LineLength(line);
    return std::max<int64_t>(1, (length + ChunkChars - 1) / ChunkChars);
}

int64_t TLineChunks::Start(int64_t line, int64_t chunk) const {
    if (chunk <= 0) {
        return 0;
    }
    if (chunk >= Count(line)) {
        return Doc.LineLength(line);
    }
    const int64_t start = chunk * ChunkChars;
    const std::u16string before = Doc.LineSlice(line, start - 1, start);
    const bool afterHighSurrogate = !before.empty() && before[0] >= 0xD800 && before[0] <= 0xDBFF;
    return afterHighSurrogate ? start - 1 : start;
}

int64_t TLineChunks::Of(TTextPos pos) const {
    // A chunk starts at a multiple of ChunkChars or one before it.
    const int64_t count = Count(pos.Line);
    const int64_t chunk = std::min(pos.Column / ChunkChars, count - 1);
    return chunk + 1 < count && pos.Column >= Start(pos.Line, chunk + 1) ? chunk + 1 : chunk;
}

TChunkRow TLineChunks::LastRow() const {
    const int64_t line = Doc.LineCount() - 1;
    const int64_t chunk = Count(line) - 1;
    return {line, chunk, RowCount(line, chunk) - 1};
}

bool TLineChunks::IsLastRowOfLine(const TChunkRow& row) const {
    return row.Chunk + 1 >= Count(row.Line) && row.Index + 1 >= RowCount(row.Line, row.Chunk);
}

bool TLineChunks::Step(TChunkRow& row, bool down) const {
    if (down) {
        if (row.Index + 1 < RowCount(row.Line, row.Chunk)) {
            ++row.Index;
        } else if (row.Chunk + 1 < Count(row.Line)) {
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
        const int64_t chunk = Count(row.Line - 1) - 1;
        row = {row.Line - 1, chunk, RowCount(row.Line - 1, chunk) - 1};
    } else {
        return false;
    }
    return true;
}
