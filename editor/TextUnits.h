#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// How the editor reads UTF-16 text: by code points (a surrogate pair is one character,
// a lone half is a character of its own), in classes for word moves, and as UTF-8 for
// the clipboard.

inline bool IsHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

inline bool IsLowSurrogate(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// The code point that starts at `index`, and in `units` how many code units it takes.
char32_t CodePointAt(std::u16string_view text, size_t index, size_t& units);
// Where the code point before `index` starts (`index` > 0).
size_t PreviousCodePointStart(std::u16string_view text, size_t index);

// Word moves and double-clicks take runs of one class: words are letters, digits and
// the like; spaces separate them; punctuation and symbols are runs of their own.
enum class TCharClass { Space, Word, Other };
TCharClass CharClassOf(char32_t character);
// The class of the code point at `index` (its units in `units`), and of the one before
// `index` (where it starts in `start`).
TCharClass CharClassAt(std::u16string_view text, size_t index, size_t& units);
TCharClass CharClassBefore(std::u16string_view text, size_t index, size_t& start);

// Word moves within a stretch of one line: where the next word starts after `index` (past
// the run of one class there and the spaces after it), and where the word before `index`
// starts (past the spaces before it). They look at most WordReach characters along a line:
// a longer word ends where the look stops.
inline constexpr int64_t WordReach = 65536;
size_t NextWordStart(std::u16string_view text, size_t index);
size_t PreviousWordStart(std::u16string_view text, size_t index);

// `text` in UTF-8, each "\n" written as `lineBreak`; a lone surrogate half becomes U+FFFD.
std::string ToUtf8(std::u16string_view text, std::string_view lineBreak);
