#pragma once

#include "document/ListLineSource.h"
#include "document/Piece.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The text that pieces point at: typed and pasted text held once, in append-only blocks,
// and the generated list lines, made on demand. A block holds one byte per character
// when all its characters are below 256 and two otherwise, so pasted Latin text costs
// its own size. Nothing appended is ever moved or changed, so any number of pieces (the
// document, its undo history) can share it.
class TPieceText {
public:
    // The longest text piece (give or take a surrogate half): finding a line break
    // within a piece scans at most this.
    static constexpr int64_t MaxPiece = 16 * 1024;

    // Appends text, each "\r\n", "\r" and "\n" taken as one "\n", and returns the pieces
    // that hold it.
    std::vector<TPiece> Append(std::u16string_view text);
    // The same for UTF-8 text; a byte that is not part of a valid sequence gives U+FFFD.
    std::vector<TPiece> AppendUtf8(std::string_view text);
    // Forgets all appended text.
    void Clear();

    static TPiece GeneratedPiece(const TListLineSource& source, int64_t first, int64_t count);

    // Part of a piece, `begin` and `end` counted from its start.
    TPiece Part(const TPiece& piece, int64_t begin, int64_t end) const;
    // Whether two neighbouring pieces can be one, and that one.
    static bool CanJoin(const TPiece& a, const TPiece& b);
    static TPiece Joined(const TPiece& a, const TPiece& b);

    // Appends the characters `begin`..`end` of a piece to `out`.
    void Read(const TPiece& piece, int64_t begin, int64_t end, std::u16string& out) const;
    // The number of line breaks before `offset` in a piece.
    int64_t BreaksBefore(const TPiece& piece, int64_t offset) const;
    // The offset just after the `n`-th line break of a piece (n >= 1; 0 gives 0).
    int64_t AfterBreak(const TPiece& piece, int64_t n) const;
    // The UTF-8 size of the characters `begin`..`end` of a piece.
    int64_t Utf8Size(const TPiece& piece, int64_t begin, int64_t end) const;

    const TListLineSource& Source() const { return Lines; }

private:
    // Characters in a block.
    static constexpr size_t BlockSize = size_t{1} << 20;

    struct TBlock {
        bool Wide = false;
        std::vector<uint8_t> Narrow;
        std::u16string Text;
        size_t Size() const { return Wide ? Text.size() : Narrow.size(); }
    };

    // Stores the characters of Chunk as one more piece.
    void StoreChunk(std::vector<TPiece>& pieces);
    void StoreNarrow(std::string_view ascii, std::vector<TPiece>& pieces);
    // The block that takes `size` more characters of the given width.
    uint32_t OpenBlock(bool wide, size_t size);

    // Calls `visit(pointer, count)` for the characters of a text piece, typed by width.
    template <typename Visit>
    auto WithChars(const TPiece& piece, int64_t begin, int64_t end, Visit visit) const;

    TListLineSource Lines;
    std::u16string Chunk;
    std::vector<TBlock> Blocks;
    int64_t OpenNarrow = -1;
    int64_t OpenWide = -1;
};
