#include "editor/LineChunks.h"

#include <algorithm>
#include <string>

TLineChunks::TLineChunks(const TListDocument& doc) : Doc(doc) {}

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
