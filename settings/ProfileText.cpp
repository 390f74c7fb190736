#include "settings/ProfileText.h"

#include "settings/ScanCursor.h"

#include <algorithm>
#include <cstring>

namespace {

// ---- Names ----------------------------------------------------------------------------

bool SameLetter(char a, char b) {
    const int folded = a | 0x20;
    return a == b || (folded == (b | 0x20) && folded >= 'a' && folded <= 'z');
}

// Whether a line's name can ever equal `name`: a line's name has no blanks at its ends
// (they are dropped), holds no line break and does not hold the byte that ends it.
bool CanMatch(std::string_view name, char end) {
    return (name.empty() || (!IsBlank(name.front()) && !IsBlank(name.back()))) &&
           name.find_first_of(std::string{'\r', '\n', end}) == std::string_view::npos;
}

// Reads the name at the cursor: blanks, then the name, then blanks up to `end` (a
// section's name may also end with its line). True when the name equals `name` without
// regard to ASCII case. Stops early at the first difference; never leaves the line.
bool MatchName(TScanCursor& cursor, std::string_view name, char end) {
    cursor.SkipBlanks();
    for (const char wanted : name) {
        const int c = cursor.Peek();
        if (c < 0 || IsLineBreak(c) || c == end || !SameLetter(static_cast<char>(c), wanted)) {
            return false;
        }
        cursor.Advance();
    }
    cursor.SkipBlanks();
    const int c = cursor.Peek();
    return c == end || (end == ']' && (c < 0 || IsLineBreak(c)));
}

// ---- Finding the entry ------------------------------------------------------------------

// Where the lines start: a UTF-8 byte order mark is skipped (and kept when writing).
std::uint64_t ContentStart(TProfileSource& source) {
    char head[3];
    std::size_t got = 0;
    while (got < sizeof head) {
        const std::ptrdiff_t more = source.ReadAt(got, head + got, sizeof head - got);
        if (more <= 0) {
            break;
        }
        got += static_cast<std::size_t>(more);
    }
    return got == 3 && std::memcmp(head, "\xEF\xBB\xBF", 3) == 0 ? 3 : 0;
}

struct TEntryPlace {
    bool Failed = false;
    bool SectionFound = false;
    bool KeyFound = false;
    std::uint64_t HeaderBegin = 0; // the start of the section's header line
    std::uint64_t SectionEnd = 0;  // the start of the next header line, or the end
    std::uint64_t KeyBegin = 0;    // the start of the key's line
    std::uint64_t KeyName = 0;     // where the key's name stands in it
    std::uint64_t ValueBegin = 0;  // the byte after its '='
};

// Only the first section of the name is searched, and in it the first line of the key.
// Lines are looked at only where they begin with '[' or with the key's first letter, so
// the search runs at the speed of memchr over most of a large file.
TEntryPlace FindEntry(TProfileSource& source, std::string_view section, std::string_view key) {
    TEntryPlace place;
    const bool sectionCanMatch = CanMatch(section, ']');
    const bool keyCanMatch =
        CanMatch(key, '=') && (key.empty() || (key.front() != '[' && key.front() != ';'));
    std::string inSection = "[";
    if (keyCanMatch) {
        const char first = key.empty() ? '=' : key.front();
        inSection += first;
        if (SameLetter(first, static_cast<char>(first ^ 0x20))) {
            inSection += static_cast<char>(first ^ 0x20);
        }
    }
    TScanCursor cursor(source, ContentStart(source));
    while (cursor.NextAtLineStart(place.SectionFound ? std::string_view(inSection) : "[")) {
        const std::uint64_t lineBegin = cursor.LineBegin();
        if (cursor.Peek() == '[') {
            if (place.SectionFound) {
                place.SectionEnd = lineBegin;
                return place;
            }
            cursor.Advance();
            place.SectionFound = sectionCanMatch && MatchName(cursor, section, ']');
            place.HeaderBegin = lineBegin;
        } else {
            place.KeyName = cursor.Offset();
            if (MatchName(cursor, key, '=')) {
                place.KeyFound = true;
                place.KeyBegin = lineBegin;
                place.ValueBegin = cursor.Offset() + 1;
                return place;
            }
        }
    }
    place.Failed = cursor.Failed();
    place.SectionEnd = cursor.Offset();
    return place;
}

// ---- Reading --------------------------------------------------------------------------

// Reads exactly [from, from + size), or fails.
bool ReadExactly(TProfileSource& source, std::uint64_t from, char* bytes, std::size_t size) {
    while (size > 0) {
        const std::ptrdiff_t got = source.ReadAt(from, bytes, size);
        if (got <= 0) {
            return false;
        }
        from += static_cast<std::uint64_t>(got);
        bytes += got;
        size -= static_cast<std::size_t>(got);
    }
    return true;
}

// The range [from, to) without the blanks at its ends, looked at a window at a time.
bool TrimRange(TProfileSource& source, std::uint64_t& from, std::uint64_t& to) {
    char window[512];
    while (from < to) {
        const std::size_t size =
            static_cast<std::size_t>(std::min<std::uint64_t>(to - from, sizeof window));
        if (!ReadExactly(source, from, window, size)) {
            return false;
        }
        const char* const text =
            std::find_if(window, window + size, [](char c) { return !IsBlank(c); });
        from += static_cast<std::uint64_t>(text - window);
        if (text < window + size) {
            break;
        }
    }
    while (from < to) {
        const std::size_t size =
            static_cast<std::size_t>(std::min<std::uint64_t>(to - from, sizeof window));
        if (!ReadExactly(source, to - size, window, size)) {
            return false;
        }
        std::size_t kept = size;
        while (kept > 0 && IsBlank(window[kept - 1])) {
            --kept;
        }
        to -= size - kept;
        if (kept > 0) {
            break;
        }
    }
    return true;
}

// The value in [from, to) as a reader delivers it: blanks around it dropped, then one
// matching pair of outer quotes removed (blanks inside them stay), then cut to the limit.
std::optional<std::string> DeliverValue(TProfileSource& source, std::uint64_t from,
                                        std::uint64_t to) {
    if (!TrimRange(source, from, to)) {
        return std::nullopt;
    }
    char first = 0;
    char last = 0;
    if (to - from >= 2 &&
        (!ReadExactly(source, from, &first, 1) || !ReadExactly(source, to - 1, &last, 1))) {
        return std::nullopt;
    }
    if (to - from >= 2 && (first == '"' || first == '\'') && last == first) {
        ++from;
        --to;
    }
    std::string value(
        static_cast<std::size_t>(std::min<std::uint64_t>(to - from, ProfileValueLimit)), '\0');
    if (!ReadExactly(source, from, value.data(), value.size())) {
        return std::nullopt;
    }
    return value;
}

// The end of the line that holds `offset`, and the start of the next one.
struct TLineEnd {
    std::uint64_t End = 0;
    std::uint64_t Next = 0;
    std::string Break; // the line break between them; empty at the end of the bytes
};

std::optional<TLineEnd> LineEndFrom(TProfileSource& source, std::uint64_t offset) {
    TScanCursor cursor(source, offset);
    TLineEnd line;
    cursor.SkipToLineBreak();
    line.End = cursor.Offset();
    line.Break = cursor.TakeLineBreak();
    line.Next = cursor.Offset();
    if (cursor.Failed()) {
        return std::nullopt;
    }
    return line;
}

// ---- Writing --------------------------------------------------------------------------

// One line: its text is [Begin, End); the next line starts at Next, which equals End
// when the line is the last one and has no line break.
struct TLine {
    std::uint64_t Begin = 0;
    std::uint64_t End = 0;
    std::uint64_t Next = 0;
};

// The last line of the section that is neither blank nor a comment; its header line
// when it has no other. A new key goes after it.
std::optional<TLine> LastEntryLine(TProfileSource& source, const TEntryPlace& place) {
    TScanCursor cursor(source, place.HeaderBegin);
    TLine last{place.HeaderBegin, 0, 0};
    bool header = true;
    for (;;) {
        const std::uint64_t begin = cursor.Offset();
        cursor.SkipBlanks();
        const int c = cursor.Peek();
        const bool entry = header || (c != ';' && c >= 0 && !IsLineBreak(c));
        cursor.SkipToLineBreak();
        if (entry) {
            last = {begin, cursor.Offset(), 0};
        }
        cursor.TakeLineBreak();
        if (entry) {
            last.Next = cursor.Offset();
        }
        header = false;
        while (IsLineBreak(cursor.Peek())) {
            cursor.TakeLineBreak();
        }
        if (cursor.Failed()) {
            return std::nullopt;
        }
        if (cursor.Offset() >= place.SectionEnd || cursor.Peek() < 0) {
            return last;
        }
    }
}

// The line break that the file uses: that of its first line, LF when it has none.
std::optional<std::string> FileLineBreak(TProfileSource& source) {
    const std::optional<TLineEnd> first = LineEndFrom(source, 0);
    if (!first) {
        return std::nullopt;
    }
    return first->Break.empty() ? "\n" : first->Break;
}

std::optional<char> ByteAt(TProfileSource& source, std::uint64_t offset) {
    char byte = 0;
    return ReadExactly(source, offset, &byte, 1) ? std::optional<char>(byte) : std::nullopt;
}

} // namespace

std::ptrdiff_t TTextSource::ReadAt(std::uint64_t offset, char* buffer, std::size_t size) {
    if (offset >= Text.size()) {
        return 0;
    }
    const std::size_t count =
        std::min({size, Piece, Text.size() - static_cast<std::size_t>(offset)});
    std::memcpy(buffer, Text.data() + offset, count);
    return static_cast<std::ptrdiff_t>(count);
}

std::optional<std::string> FindProfileValue(TProfileSource& source, std::string_view section,
                                            std::string_view key) {
    const TEntryPlace place = FindEntry(source, section, key);
    if (!place.KeyFound) {
        return std::nullopt;
    }
    const std::optional<TLineEnd> line = LineEndFrom(source, place.ValueBegin);
    if (!line) {
        return std::nullopt;
    }
    return DeliverValue(source, place.ValueBegin, line->End);
}

std::string ProfileFallback(std::string_view fallback) {
    while (!fallback.empty() && fallback.back() == ' ') {
        fallback.remove_suffix(1);
    }
    return std::string(fallback.substr(0, ProfileValueLimit));
}

std::optional<TProfileEdit> PlanProfileEdit(TProfileSource& source, const TProfileEntry& entry) {
    const TEntryPlace place = FindEntry(source, entry.Section, entry.Key);
    const std::optional<std::string> lineBreak = FileLineBreak(source);
    if (place.Failed || !lineBreak) {
        return std::nullopt;
    }
    TProfileEdit edit;
    if (place.KeyFound) {
        // The key's line is replaced; it keeps its own line break, or gets one.
        const std::optional<TLineEnd> line = LineEndFrom(source, place.ValueBegin);
        std::string name(entry.Key.size(), '\0');
        if (!line || !ReadExactly(source, place.KeyName, name.data(), name.size())) {
            return std::nullopt;
        }
        edit.KeepBefore = place.KeyBegin;
        edit.Insert = name + "=" + entry.Value + (line->Break.empty() ? *lineBreak : "");
        edit.ResumeAt = line->End;
        return edit;
    }
    if (place.SectionFound) {
        const std::optional<TLine> last = LastEntryLine(source, place);
        if (!last) {
            return std::nullopt;
        }
        // A new line ends like the file's lines, except where that is a lone CR and the
        // next line starts with LF (an empty line): the two would run together into one
        // CR LF and the empty line would be lost, so it ends like the line before it.
        std::string newBreak = *lineBreak;
        if (newBreak == "\r" && ByteAt(source, last->Next) == '\n') {
            newBreak.assign(last->Next - last->End, '\0');
            if (!ReadExactly(source, last->End, newBreak.data(), newBreak.size())) {
                return std::nullopt;
            }
        }
        edit.KeepBefore = edit.ResumeAt = last->Next;
        edit.Insert =
            (last->Next == last->End ? *lineBreak : "") + entry.Key + "=" + entry.Value + newBreak;
        return edit;
    }
    // A new section at the end, after a line break if the last line has none.
    const std::uint64_t end = place.SectionEnd;
    const std::optional<char> lastByte =
        end > ContentStart(source) ? ByteAt(source, end - 1) : std::optional<char>('\n');
    if (!lastByte) {
        return std::nullopt;
    }
    edit.KeepBefore = edit.ResumeAt = end;
    edit.Insert = (IsLineBreak(*lastByte) ? "" : *lineBreak) + "[" + entry.Section + "]" +
                  *lineBreak + entry.Key + "=" + entry.Value + *lineBreak;
    return edit;
}

std::string ReadProfileText(std::string_view text, std::string_view section, std::string_view key,
                            std::string_view fallback) {
    TTextSource source(text);
    return FindProfileValue(source, section, key).value_or(ProfileFallback(fallback));
}

std::string RewriteProfileText(std::string_view text, const TProfileEntry& entry) {
    TTextSource source(text);
    const TProfileEdit edit = *PlanProfileEdit(source, entry);
    return std::string(text.substr(0, edit.KeepBefore)) + edit.Insert +
           std::string(text.substr(edit.ResumeAt));
}
