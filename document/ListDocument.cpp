#include "document/ListDocument.h"

#include <algorithm>
#include <cstddef>
#include <limits>

namespace {

// UTF-8 bytes of UTF-16 text; each half of a surrogate pair counts two bytes, the pair
// the four of its character.
int64_t Utf8Size(const std::u16string& text, size_t begin = 0, size_t end = std::u16string::npos) {
    int64_t size = 0;
    end = std::min(end, text.size());
    for (size_t i = begin; i < end; ++i) {
        const char16_t c = text[i];
        size += c < 0x80 ? 1 : c < 0x800 ? 2 : (c >= 0xD800 && c <= 0xDFFF) ? 2 : 3;
    }
    return size;
}

} // namespace

std::vector<std::u16string> SplitLines(const std::u16string& text) {
    std::vector<std::u16string> lines(1);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r' || text[i] == u'\n') {
            if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
                ++i;
            }
            lines.emplace_back();
        } else {
            lines.back().push_back(text[i]);
        }
    }
    return lines;
}

TListDocument::TListDocument() : Lines(TLineRuns::Stored({u""})) {}

void TListDocument::SetText(const std::u16string& text) {
    Reset(TLineRuns::Stored(SplitLines(text)));
}

void TListDocument::SetGeneratedLines(int64_t count) {
    count = std::min<int64_t>(count, std::numeric_limits<int32_t>::max());
    TLineRuns lines;
    if (count > 0) {
        lines = TLineRuns::Generated(0, count);
    }
    lines.Insert(lines.LineCount(), TLineRuns::Stored({u""}));
    Reset(std::move(lines));
}

void TListDocument::Reset(TLineRuns lines) {
    Lines = std::move(lines);
    History.clear();
    Done = 0;
}

std::u16string TListDocument::LineText(int64_t line) const {
    return TextOf(Lines.Line(std::clamp<int64_t>(line, 0, LineCount() - 1)));
}

int64_t TListDocument::LineLength(int64_t line) const {
    return Length(Lines.Line(std::clamp<int64_t>(line, 0, LineCount() - 1)));
}

TTextPos TListDocument::End() const {
    return {LineCount() - 1, LineLength(LineCount() - 1)};
}

TTextPos TListDocument::Clamp(TTextPos pos) const {
    const int64_t line = std::clamp<int64_t>(pos.Line, 0, LineCount() - 1);
    return {line, std::clamp<int64_t>(pos.Column, 0, LineLength(line))};
}

int64_t TListDocument::Length(const TLineRef& line) const {
    return line.Generated ? Source.TextLength(line.Position, 1)
                          : static_cast<int64_t>(line.Text.size());
}

std::u16string TListDocument::TextOf(const TLineRef& line) const {
    return line.Generated ? Source.Line(line.Position) : line.Text;
}

TLineRef TListDocument::Piece(const TLineRef& line, int64_t begin, int64_t end) const {
    if (begin == 0 && end >= Length(line)) {
        return line;
    }
    return TLineRef::OfText(TextOf(line).substr(
        static_cast<size_t>(begin), static_cast<size_t>(std::max<int64_t>(end - begin, 0))));
}

TLineRef TListDocument::Join(TLineRef head, TLineRef tail) const {
    if (Length(head) == 0) {
        return tail;
    }
    if (Length(tail) == 0) {
        return head;
    }
    return TLineRef::OfText(TextOf(head) + TextOf(tail));
}

TTextPos TListDocument::EndOf(TTextPos from, const TLineRuns& inserted) const {
    const int64_t last = inserted.LineCount() - 1;
    const int64_t length = Length(inserted.Line(last));
    return last == 0 ? TTextPos{from.Line, from.Column + length}
                     : TTextPos{from.Line + last, length};
}

void TListDocument::OrderAndClamp(TTextPos& from, TTextPos& to) const {
    from = Clamp(from);
    to = Clamp(to);
    if (to < from) {
        std::swap(from, to);
    }
}

int64_t TListDocument::TextSize(TTextPos from, TTextPos to) const {
    OrderAndClamp(from, to);
    const std::u16string first = LineText(from.Line);
    if (from.Line == to.Line) {
        return Utf8Size(first, static_cast<size_t>(from.Column), static_cast<size_t>(to.Column));
    }
    int64_t size = Utf8Size(first, static_cast<size_t>(from.Column)) +
                   Utf8Size(LineText(to.Line), 0, static_cast<size_t>(to.Column)) +
                   (to.Line - from.Line);
    Lines.ForEachPart(from.Line + 1, to.Line - from.Line - 1,
                      [&](const TLineRun& run, int64_t offset, int64_t count) {
                          if (run.Generated) {
                              size += Source.TextLength(run.First + offset, count);
                              return;
                          }
                          for (int64_t i = offset; i < offset + count; ++i) {
                              size += Utf8Size(run.Lines[static_cast<size_t>(i)]);
                          }
                      });
    return size;
}

std::u16string TListDocument::Text(TTextPos from, TTextPos to) const {
    OrderAndClamp(from, to);
    const std::u16string first = LineText(from.Line);
    if (from.Line == to.Line) {
        return first.substr(static_cast<size_t>(from.Column),
                            static_cast<size_t>(to.Column - from.Column));
    }
    std::u16string text = first.substr(static_cast<size_t>(from.Column));
    Lines.ForEachPart(from.Line + 1, to.Line - from.Line - 1,
                      [&](const TLineRun& run, int64_t offset, int64_t count) {
                          for (int64_t i = offset; i < offset + count; ++i) {
                              text += u'\n';
                              text += run.Generated ? Source.Line(run.First + i)
                                                    : run.Lines[static_cast<size_t>(i)];
                          }
                      });
    text += u'\n';
    text += LineText(to.Line).substr(0, static_cast<size_t>(to.Column));
    return text;
}

void TListDocument::Remove(TTextPos from, TTextPos to) {
    const TLineRef first = Lines.Line(from.Line);
    const TLineRef last = from.Line == to.Line ? first : Lines.Line(to.Line);
    const TLineRef joined =
        Join(Piece(first, 0, from.Column), Piece(last, to.Column, Length(last)));
    Lines.Cut(from.Line, to.Line - from.Line + 1);
    Lines.Insert(from.Line, TLineRuns::Single(joined));
}

TTextPos TListDocument::Insert(TTextPos at, TLineRuns inserted) {
    const TTextPos end = EndOf(at, inserted);
    const TLineRef line = Lines.Line(at.Line);
    const TLineRef head = Piece(line, 0, at.Column);
    const TLineRef tail = Piece(line, at.Column, Length(line));
    const int64_t last = inserted.LineCount() - 1;
    inserted.SetLine(0, Join(head, inserted.Line(0)));
    inserted.SetLine(last, Join(inserted.Line(last), tail));
    Lines.Cut(at.Line, 1);
    Lines.Insert(at.Line, std::move(inserted));
    return end;
}

TTextPos TListDocument::Replace(TTextPos from, TTextPos to, const std::u16string& text,
                                bool typed) {
    OrderAndClamp(from, to);
    TLineRuns inserted = TLineRuns::Stored(SplitLines(text));
    const bool joinsTyping = typed && from == to && inserted.LineCount() == 1 && Done > 0 &&
                             Done == History.size() && History.back().Typed &&
                             History.back().End == from;
    TLineRuns before = Lines.Slice(from.Line, to.Line - from.Line + 1);
    Remove(from, to);
    const TTextPos end = Insert(from, std::move(inserted));
    if (joinsTyping) {
        TEdit& previous = History.back();
        previous.End = end;
        previous.After = Lines.Slice(previous.From.Line, end.Line - previous.From.Line + 1);
        return end;
    }
    History.erase(History.begin() + static_cast<ptrdiff_t>(Done), History.end());
    History.push_back({from, to, end, std::move(before),
                       Lines.Slice(from.Line, end.Line - from.Line + 1), typed});
    Done = History.size();
    return end;
}

TTextPos TListDocument::Undo() {
    if (!CanUndo()) {
        return End();
    }
    const TEdit& edit = History[--Done];
    Lines.Cut(edit.From.Line, edit.After.LineCount());
    Lines.Insert(edit.From.Line, edit.Before);
    return edit.To;
}

TTextPos TListDocument::Redo() {
    if (!CanRedo()) {
        return End();
    }
    const TEdit& edit = History[Done++];
    Lines.Cut(edit.From.Line, edit.Before.LineCount());
    Lines.Insert(edit.From.Line, edit.After);
    return edit.End;
}
