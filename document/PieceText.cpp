#include "document/PieceText.h"

#include <algorithm>

template <typename Visit>
auto TPieceText::WithChars(const TPiece& piece, int64_t begin, int64_t end, Visit visit) const {
    const TBlock& block = Blocks[piece.Block];
    const auto from = static_cast<size_t>(piece.Start + begin);
    const auto count = static_cast<size_t>(end - begin);
    return block.Wide ? visit(block.Text.data() + from, count)
                      : visit(block.Narrow.data() + from, count);
}

std::vector<TPiece> TPieceText::Append(std::u16string_view text) {
    std::vector<TPiece> pieces;
    size_t i = 0;
    while (i < text.size()) {
        Chunk.clear();
        while (i < text.size() && static_cast<int64_t>(Chunk.size()) < MaxPiece) {
            char16_t c = text[i++];
            if (c == u'\r') {
                i += i < text.size() && text[i] == u'\n' ? 1 : 0;
                c = u'\n';
            }
            Chunk.push_back(c);
        }
        StoreChunk(pieces);
    }
    return pieces;
}

std::vector<TPiece> TPieceText::AppendUtf8(std::string_view text) {
    std::vector<TPiece> pieces;
    const auto byte = [&text](size_t at) { return static_cast<uint8_t>(text[at]); };
    const auto follows = [&](size_t at) { return at < text.size() && (byte(at) & 0xC0) == 0x80; };
    size_t i = 0;
    while (i < text.size()) {
        // Plain ASCII without carriage returns goes straight into a block.
        const size_t ascii = static_cast<size_t>(
            std::find_if(text.begin() + static_cast<std::ptrdiff_t>(i),
                         text.begin() + static_cast<std::ptrdiff_t>(
                                            std::min<size_t>(text.size(), i + MaxPiece)),
                         [](char c) { return static_cast<uint8_t>(c) >= 0x80 || c == '\r'; }) -
            text.begin());
        if (ascii == text.size() || ascii - i == MaxPiece) {
            StoreNarrow(text.substr(i, ascii - i), pieces);
            i = ascii;
            continue;
        }
        Chunk.clear();
        // A chunk may go one over, by the second half of a surrogate pair.
        while (i < text.size() && static_cast<int64_t>(Chunk.size()) < MaxPiece) {
            const uint8_t lead = byte(i++);
            if (lead < 0x80) {
                if (lead == '\r') {
                    i += i < text.size() && text[i] == '\n' ? 1 : 0;
                }
                Chunk.push_back(lead == '\r' ? u'\n' : static_cast<char16_t>(lead));
                continue;
            }
            // The length of the sequence and the smallest character it may encode.
            const int more = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : -1;
            const uint32_t least = more == 3 ? 0x10000 : more == 2 ? 0x800 : 0x80;
            uint32_t c = more < 0 ? 0 : lead & (0x3F >> more);
            int taken = 0;
            for (; taken < more && follows(i); ++taken) {
                c = c << 6 | (byte(i++) & 0x3F);
            }
            if (more < 0 || taken < more || c < least || c > 0x10FFFF ||
                (c >= 0xD800 && c <= 0xDFFF)) {
                Chunk.push_back(u'\uFFFD');
            } else if (c >= 0x10000) {
                Chunk.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
                Chunk.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
            } else {
                Chunk.push_back(static_cast<char16_t>(c));
            }
        }
        StoreChunk(pieces);
    }
    return pieces;
}

void TPieceText::StoreNarrow(std::string_view ascii, std::vector<TPiece>& pieces) {
    const uint32_t index = OpenBlock(false, ascii.size());
    std::vector<uint8_t>& narrow = Blocks[index].Narrow;
    const size_t start = narrow.size();
    narrow.insert(narrow.end(), ascii.begin(), ascii.end());
    pieces.push_back({false, index, static_cast<int64_t>(start), static_cast<int64_t>(ascii.size()),
                      std::count(ascii.begin(), ascii.end(), '\n')});
}

void TPieceText::StoreChunk(std::vector<TPiece>& pieces) {
    const bool wide = std::any_of(Chunk.begin(), Chunk.end(), [](char16_t c) { return c > 0xFF; });
    const uint32_t index = OpenBlock(wide, Chunk.size());
    TBlock& block = Blocks[index];
    const size_t start = block.Size();
    if (wide) {
        block.Text += Chunk;
    } else {
        block.Narrow.resize(start + Chunk.size());
        std::transform(Chunk.begin(), Chunk.end(), block.Narrow.begin() + start,
                       [](char16_t c) { return static_cast<uint8_t>(c); });
    }
    pieces.push_back({false, index, static_cast<int64_t>(start), static_cast<int64_t>(Chunk.size()),
                      std::count(Chunk.begin(), Chunk.end(), u'\n')});
}

void TPieceText::Clear() {
    Blocks = {};
    OpenNarrow = OpenWide = -1;
}

uint32_t TPieceText::OpenBlock(bool wide, size_t size) {
    int64_t& open = wide ? OpenWide : OpenNarrow;
    if (open < 0 || Blocks[static_cast<size_t>(open)].Size() + size > BlockSize) {
        TBlock block;
        block.Wide = wide;
        if (wide) {
            block.Text.reserve(BlockSize);
        } else {
            block.Narrow.reserve(BlockSize);
        }
        Blocks.push_back(std::move(block));
        open = static_cast<int64_t>(Blocks.size() - 1);
    }
    return static_cast<uint32_t>(open);
}

TPiece TPieceText::GeneratedPiece(const TListLineSource& source, int64_t first, int64_t count) {
    return {true, 0, first, source.TextLength(first, count) + count, count};
}

TPiece TPieceText::Part(const TPiece& piece, int64_t begin, int64_t end) const {
    if (piece.Generated) {
        // Generated pieces are cut only between lines.
        const int64_t first = BreaksBefore(piece, begin);
        return GeneratedPiece(Lines, piece.Start + first, BreaksBefore(piece, end) - first);
    }
    const int64_t breaks = WithChars(piece, begin, end, [](const auto* chars, size_t count) {
        return static_cast<int64_t>(std::count(chars, chars + count, '\n'));
    });
    return {false, piece.Block, piece.Start + begin, end - begin, breaks};
}

bool TPieceText::CanJoin(const TPiece& a, const TPiece& b) {
    if (a.Generated != b.Generated) {
        return false;
    }
    if (a.Generated) {
        return a.Start + a.Breaks == b.Start;
    }
    return a.Block == b.Block && a.Start + a.Chars == b.Start && a.Chars + b.Chars <= MaxPiece;
}

TPiece TPieceText::Joined(const TPiece& a, const TPiece& b) {
    return {a.Generated, a.Block, a.Start, a.Chars + b.Chars, a.Breaks + b.Breaks};
}

void TPieceText::Read(const TPiece& piece, int64_t begin, int64_t end, std::u16string& out) const {
    if (begin >= end) {
        return;
    }
    if (!piece.Generated) {
        WithChars(piece, begin, end, [&out](const auto* chars, size_t count) {
            out.insert(out.end(), chars, chars + count);
            return 0;
        });
        return;
    }
    int64_t line = BreaksBefore(piece, begin);
    int64_t at = AfterBreak(piece, line);
    for (; at < end; ++line) {
        const std::u16string text = Lines.Line(piece.Start + line) + u'\n';
        const auto size = static_cast<int64_t>(text.size());
        const int64_t from = std::max(begin - at, int64_t{0});
        out.append(text, static_cast<size_t>(from),
                   static_cast<size_t>(std::min(end - at, size) - from));
        at += size;
    }
}

int64_t TPieceText::BreaksBefore(const TPiece& piece, int64_t offset) const {
    if (!piece.Generated) {
        return WithChars(piece, 0, offset, [](const auto* chars, size_t count) {
            return static_cast<int64_t>(std::count(chars, chars + count, '\n'));
        });
    }
    // The most lines whose text and break end at or before the offset.
    int64_t low = 0;
    int64_t high = piece.Breaks;
    while (low < high) {
        const int64_t middle = low + (high - low + 1) / 2;
        if (AfterBreak(piece, middle) <= offset) {
            low = middle;
        } else {
            high = middle - 1;
        }
    }
    return low;
}

int64_t TPieceText::AfterBreak(const TPiece& piece, int64_t n) const {
    if (n <= 0) {
        return 0;
    }
    if (piece.Generated) {
        return Lines.TextLength(piece.Start, n) + n;
    }
    return WithChars(piece, 0, piece.Chars, [n](const auto* chars, size_t count) {
        int64_t seen = 0;
        for (size_t i = 0; i < count; ++i) {
            if (chars[i] == '\n' && ++seen == n) {
                return static_cast<int64_t>(i + 1);
            }
        }
        return static_cast<int64_t>(count);
    });
}

int64_t TPieceText::Utf8Size(const TPiece& piece, int64_t begin, int64_t end) const {
    if (piece.Generated) {
        return end - begin; // list lines are ASCII
    }
    return WithChars(piece, begin, end, [](const auto* chars, size_t count) {
        int64_t size = 0;
        for (size_t i = 0; i < count; ++i) {
            const auto c = static_cast<char16_t>(chars[i]);
            // Each half of a surrogate pair counts two bytes, the pair the four of its
            // character.
            size += c < 0x80 ? 1 : c < 0x800 ? 2 : (c >= 0xD800 && c <= 0xDFFF) ? 2 : 3;
        }
        return size;
    });
}
