#pragma once

#include "document/ListDocument.h"

#include <cstdint>
#include <tuple>

// A place in a view of the list document: a row of the wrapped layout of a chunk of a line.
struct TChunkRow {
    int64_t Line = 0;
    int64_t Chunk = 0;
    int Index = 0;

    friend bool operator==(const TChunkRow& a, const TChunkRow& b) {
        return std::tie(a.Line, a.Chunk, a.Index) == std::tie(b.Line, b.Chunk, b.Index);
    }
    friend bool operator<(const TChunkRow& a, const TChunkRow& b) {
        return std::tie(a.Line, a.Chunk, a.Index) < std::tie(b.Line, b.Chunk, b.Index);
    }
};

// The lines of the list document as a view lays them out: each line in chunks of ChunkChars
// characters (a chunk never starts between the two halves of a surrogate pair), each chunk
// wrapped into rows on its own by the view's text engine (TRowLayout, which also steps
// through the rows). So a line of any length costs the view only the chunks that it shows.
class TLineChunks {
public:
    static constexpr int64_t ChunkChars = 1024;

    explicit TLineChunks(const TListDocument& doc);

    int64_t Count(int64_t line) const;
    // The first column of a chunk; the line's length for the chunk after its last.
    int64_t Start(int64_t line, int64_t chunk) const;
    // The chunk that holds a position (the last chunk for the end of the line).
    int64_t Of(TTextPos pos) const;

private:
    const TListDocument& Doc;
};
