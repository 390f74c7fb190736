#include "editor/TextUnits.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <utility>

namespace {

constexpr char32_t Replacement = 0xFFFD;

// Spaces by Unicode's White_Space property.
bool IsSpace(char32_t c) {
    return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x85 || c == 0xA0 || c == 0x1680 ||
           (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F ||
           c == 0x205F || c == 0x3000;
}

// Ranges of punctuation and symbols, in order; letters, digits and marks of every script
// lie outside them.
constexpr std::pair<char32_t, char32_t> OtherRanges[] = {
    {0x00, 0x1F},     {0x21, 0x2F},     {0x3A, 0x40},     {0x5B, 0x5E},       {0x60, 0x60},
    {0x7B, 0xA9},     {0xAB, 0xB1},     {0xB4, 0xB4},     {0xB6, 0xB8},       {0xBB, 0xBB},
    {0xBF, 0xBF},     {0xD7, 0xD7},     {0xF7, 0xF7},     {0x2010, 0x2027},   {0x2030, 0x205E},
    {0x20A0, 0x20CF}, {0x2100, 0x214F}, {0x2190, 0x2BFF}, {0x3001, 0x3004},   {0x3008, 0x3020},
    {0x30FB, 0x30FB}, {0xFE10, 0xFE1F}, {0xFE30, 0xFE6F}, {0xFF01, 0xFF0F},   {0xFF1A, 0xFF20},
    {0xFF3B, 0xFF3E}, {0xFF40, 0xFF40}, {0xFF5B, 0xFF65}, {0x1F000, 0x1FAFF},
};

TCharClass ClassByRanges(char32_t character) {
    if (IsSpace(character)) {
        return TCharClass::Space;
    }
    const auto range = std::upper_bound(
        std::begin(OtherRanges), std::end(OtherRanges), character,
        [](char32_t c, const std::pair<char32_t, char32_t>& r) { return c < r.first; });
    return range != std::begin(OtherRanges) && character <= std::prev(range)->second
               ? TCharClass::Other
               : TCharClass::Word;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

} // namespace

char32_t CodePointAt(std::u16string_view text, size_t index, size_t& units) {
    const char16_t unit = text[index];
    if (IsHighSurrogate(unit) && index + 1 < text.size() && IsLowSurrogate(text[index + 1])) {
        units = 2;
        return 0x10000 + ((char32_t{unit} - 0xD800) << 10) + (char32_t{text[index + 1]} - 0xDC00);
    }
    units = 1;
    return unit;
}

size_t PreviousCodePointStart(std::u16string_view text, size_t index) {
    return index >= 2 && IsLowSurrogate(text[index - 1]) && IsHighSurrogate(text[index - 2])
               ? index - 2
               : index - 1;
}

TCharClass CharClassOf(char32_t character) {
    // Most text is ASCII: its classes come from a table made by the same rule.
    static const std::array<TCharClass, 128> Ascii = [] {
        std::array<TCharClass, 128> classes{};
        for (char32_t c = 0; c < classes.size(); ++c) {
            classes[c] = ClassByRanges(c);
        }
        return classes;
    }();
    return character < Ascii.size() ? Ascii[character] : ClassByRanges(character);
}

TCharClass CharClassAt(std::u16string_view text, size_t index, size_t& units) {
    return CharClassOf(CodePointAt(text, index, units));
}

TCharClass CharClassBefore(std::u16string_view text, size_t index, size_t& start) {
    start = PreviousCodePointStart(text, index);
    size_t units = 0;
    return CharClassAt(text, start, units);
}

size_t NextWordStart(std::u16string_view text, size_t index) {
    if (index >= text.size()) {
        return text.size();
    }
    size_t units = 0;
    const TCharClass kind = CharClassAt(text, index, units);
    while (kind != TCharClass::Space && index < text.size() &&
           CharClassAt(text, index, units) == kind) {
        index += units;
    }
    while (index < text.size() && CharClassAt(text, index, units) == TCharClass::Space) {
        index += units;
    }
    return index;
}

size_t PreviousWordStart(std::u16string_view text, size_t index) {
    size_t before = 0;
    while (index > 0 && CharClassBefore(text, index, before) == TCharClass::Space) {
        index = before;
    }
    if (index > 0) {
        const TCharClass kind = CharClassBefore(text, index, before);
        while (index > 0 && CharClassBefore(text, index, before) == kind) {
            index = before;
        }
    }
    return index;
}

std::string ToUtf8(std::u16string_view text, std::string_view lineBreak) {
    std::string out;
    out.reserve(text.size());
    for (size_t index = 0; index < text.size();) {
        size_t units = 1;
        const char32_t c = CodePointAt(text, index, units);
        if (c == u'\n') {
            out += lineBreak;
        } else {
            AppendUtf8(out, c >= 0xD800 && c <= 0xDFFF ? Replacement : c);
        }
        index += units;
    }
    return out;
}
