#include "document/ListDocument.h"

#include <algorithm>
#include <limits>

void TListDocument::SetText(std::u16string_view text) {
    Store.Clear();
    Reset(Store.Append(text));
}

void TListDocument::SetGeneratedLines(int64_t count) {
    count = std::min<int64_t>(count, std::numeric_limits<int32_t>::max());
    Store.Clear();
    if (count > 0) {
        Reset({TPieceText::GeneratedPiece(Store.Source(), 0, count)});
    } else {
        Reset({});
    }
}

void TListDocument::Reset(std::vector<TPiece> pieces) {
    Pieces = TPieceTree();
    Pieces.Replace(0, 0, pieces);
    History.clear();
    Done = 0;
    Changed = {};
}

int64_t TListDocument::LineStart(int64_t line) const {
    if (line <= 0) {
        return 0;
    }
    const TPieceTree::TFound found = Pieces.AtBreak(line);
    return found.CharsBefore + Store.AfterBreak(found.Piece, line - found.BreaksBefore);
}

int64_t TListDocument::LineLength(int64_t line) const {
    line = std::clamp<int64_t>(line, 0, LineCount() - 1);
    const int64_t end = line + 1 < LineCount() ? LineStart(line + 1) - 1 : CharCount();
    return end - LineStart(line);
}

std::u16string TListDocument::LineSlice(int64_t line, int64_t begin, int64_t end) const {
    line = std::clamp<int64_t>(line, 0, LineCount() - 1);
    const int64_t length = LineLength(line);
    begin = std::clamp<int64_t>(begin, 0, length);
    end = std::clamp<int64_t>(end, begin, length);
    const int64_t start = LineStart(line);
    return TextAt(start + begin, start + end);
}

std::u16string TListDocument::LineText(int64_t line) const {
    return LineSlice(line, 0, std::numeric_limits<int64_t>::max());
}

TTextPos TListDocument::End() const {
    return {LineCount() - 1, LineLength(LineCount() - 1)};
}

TTextPos TListDocument::Clamp(TTextPos pos) const {
    const int64_t line = std::clamp<int64_t>(pos.Line, 0, LineCount() - 1);
    return {line, std::clamp<int64_t>(pos.Column, 0, LineLength(line))};
}

void TListDocument::OrderAndClamp(TTextPos& from, TTextPos& to) const {
    from = Clamp(from);
    to = Clamp(to);
    if (to < from) {
        std::swap(from, to);
    }
}

int64_t TListDocument::OffsetOf(TTextPos pos) const {
    pos = Clamp(pos);
    return LineStart(pos.Line) + pos.Column;
}

TTextPos TListDocument::PosOf(int64_t offset) const {
    offset = std::clamp<int64_t>(offset, 0, CharCount());
    int64_t line = Pieces.Breaks();
    if (offset < CharCount()) {
        const TPieceTree::TFound found = Pieces.AtChar(offset);
        line = found.BreaksBefore + Store.BreaksBefore(found.Piece, offset - found.CharsBefore);
    }
    return {line, offset - LineStart(line)};
}

std::u16string TListDocument::PieceString(const TPiece& piece) const {
    std::u16string text;
    Store.Read(piece, 0, piece.Chars, text);
    return text;
}

std::u16string TListDocument::TextAt(int64_t begin, int64_t end) const {
    std::u16string text;
    if (begin >= end || begin >= CharCount()) {
        return text;
    }
    Pieces.ForEachFrom(Pieces.AtChar(begin).Index, [&](const TPiece& piece, int64_t before) {
        Store.Read(piece, std::max<int64_t>(begin - before, 0), std::min(end - before, piece.Chars),
                   text);
        return before + piece.Chars < end;
    });
    return text;
}

std::u16string TListDocument::Text(TTextPos from, TTextPos to) const {
    OrderAndClamp(from, to);
    return TextAt(OffsetOf(from), OffsetOf(to));
}

int64_t TListDocument::TextSize(TTextPos from, TTextPos to) const {
    OrderAndClamp(from, to);
    const int64_t begin = OffsetOf(from);
    const int64_t end = OffsetOf(to);
    int64_t size = 0;
    if (begin >= end) {
        return size;
    }
    Pieces.ForEachFrom(Pieces.AtChar(begin).Index, [&](const TPiece& piece, int64_t before) {
        size += Store.Utf8Size(piece, std::max<int64_t>(begin - before, 0),
                               std::min(end - before, piece.Chars));
        return before + piece.Chars < end;
    });
    return size;
}

void TListDocument::Head(const TPiece& piece, int64_t offset, std::vector<TPiece>& out) {
    if (offset <= 0) {
        return;
    }
    if (!piece.Generated) {
        out.push_back(Store.Part(piece, 0, offset));
        return;
    }
    const int64_t lineStart = Store.AfterBreak(piece, Store.BreaksBefore(piece, offset));
    if (lineStart > 0) {
        out.push_back(Store.Part(piece, 0, lineStart));
    }
    std::u16string cut;
    Store.Read(piece, lineStart, offset, cut);
    for (const TPiece& text : Store.Append(cut)) {
        out.push_back(text);
    }
}

void TListDocument::Tail(const TPiece& piece, int64_t offset, std::vector<TPiece>& out) {
    if (offset >= piece.Chars) {
        return;
    }
    if (!piece.Generated) {
        out.push_back(Store.Part(piece, offset, piece.Chars));
        return;
    }
    const int64_t line = Store.BreaksBefore(piece, offset);
    int64_t rest = Store.AfterBreak(piece, line);
    if (offset > rest) {
        rest = Store.AfterBreak(piece, line + 1);
        std::u16string cut;
        Store.Read(piece, offset, rest, cut);
        for (const TPiece& text : Store.Append(cut)) {
            out.push_back(text);
        }
    }
    if (rest < piece.Chars) {
        out.push_back(Store.Part(piece, rest, piece.Chars));
    }
}

std::vector<TPiece> TListDocument::AppendText(std::u16string_view text) {
    return Store.Append(text);
}

std::vector<TPiece> TListDocument::AppendText(std::string_view text) {
    return Store.AppendUtf8(text);
}

template <typename TText>
TListDocument::TPieceChange TListDocument::Splice(int64_t begin, int64_t end, TText text) {
    // Text that starts with a line break, put before a line break, is the same text as
    // the rest of it with that break, put after the break: a line typed at the end of a
    // generated line so leaves that line generated.
    bool rotated = false;
    if (begin == end && begin < CharCount() && !text.empty() &&
        (text[0] == '\n' || text[0] == '\r') && TextAt(begin, begin + 1) == u"\n") {
        text.remove_prefix(text.size() > 1 && text[0] == '\r' && text[1] == '\n' ? 2 : 1);
        rotated = true;
        ++begin;
        ++end;
    }
    TPieceChange change;
    std::vector<TPiece> pieces;
    size_t count = 0;
    TPieceTree::TFound last;
    if (CharCount() > 0) {
        const TPieceTree::TFound first = Pieces.AtChar(begin > 0 ? begin - 1 : 0);
        last = Pieces.AtChar(std::min(end, CharCount() - 1));
        change.Index = first.Index;
        count = last.Index - first.Index + 1;
        // The head's text is appended first, so that text typed after it joins it.
        Head(first.Piece, begin - first.CharsBefore, pieces);
    }
    for (const TPiece& piece : AppendText(text)) {
        pieces.push_back(piece);
    }
    if (rotated) {
        pieces.push_back(Store.Append(u"\n").front());
    }
    if (count > 0) {
        Tail(last.Piece, end - last.CharsBefore, pieces);
    }
    // Neighbours that can be one piece become one.
    for (const TPiece& piece : pieces) {
        if (piece.Chars == 0) {
            continue;
        }
        if (!change.Inserted.empty() && TPieceText::CanJoin(change.Inserted.back(), piece)) {
            change.Inserted.back() = TPieceText::Joined(change.Inserted.back(), piece);
        } else {
            change.Inserted.push_back(piece);
        }
    }
    change.Removed = Pieces.Replace(change.Index, count, change.Inserted);
    return change;
}

TTextPos TListDocument::Replace(TTextPos from, TTextPos to, std::u16string_view text,
                                bool joinsLast) {
    return ReplaceWith(from, to, text, joinsLast);
}

TTextPos TListDocument::ReplaceUtf8(TTextPos from, TTextPos to, std::string_view text) {
    return ReplaceWith(from, to, text, false);
}

template <typename TText>
TTextPos TListDocument::ReplaceWith(TTextPos from, TTextPos to, TText text, bool joinsLast) {
    OrderAndClamp(from, to);
    const int64_t begin = OffsetOf(from);
    const int64_t end = OffsetOf(to);
    const bool joins =
        joinsLast && from == to &&
        std::none_of(text.begin(), text.end(), [](auto c) { return c == '\n' || c == '\r'; }) &&
        Done > 0 && Done == History.size() && History.back().End == from;
    const int64_t charsBefore = CharCount();
    TPieceChange change = Splice(begin, end, text);
    const TTextPos after = PosOf(end + CharCount() - charsBefore);
    Changed = {from.Line, to.Line - from.Line, after.Line - from.Line};
    if (joins) {
        History.back().End = after;
        History.back().Changes.push_back(std::move(change));
        return after;
    }
    History.erase(History.begin() + static_cast<std::ptrdiff_t>(Done), History.end());
    History.push_back({from, to, after, {}});
    History.back().Changes.push_back(std::move(change));
    Done = History.size();
    return after;
}

TTextPos TListDocument::Undo() {
    if (!CanUndo()) {
        return End();
    }
    const TEdit& edit = History[--Done];
    for (auto change = edit.Changes.rbegin(); change != edit.Changes.rend(); ++change) {
        Pieces.Replace(change->Index, change->Inserted.size(), change->Removed);
    }
    Changed = {edit.From.Line, edit.End.Line - edit.From.Line, edit.To.Line - edit.From.Line};
    return edit.To;
}

TTextPos TListDocument::Redo() {
    if (!CanRedo()) {
        return End();
    }
    const TEdit& edit = History[Done++];
    for (const TPieceChange& change : edit.Changes) {
        Pieces.Replace(change.Index, change.Removed.size(), change.Inserted);
    }
    Changed = {edit.From.Line, edit.To.Line - edit.From.Line, edit.End.Line - edit.From.Line};
    return edit.End;
}
