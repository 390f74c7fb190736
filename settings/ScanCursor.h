#pragma once

#include "settings/ProfileText.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

// Walks a settings file's bytes front to back through one Buffer of fixed size. The
// searches that a large file spends its time in (for line breaks, and for the first
// characters of the lines that matter) run over the Buffer with memchr, not byte by byte.
class TScanCursor {
public:
    // The Buffer starts small and grows while the reads fill it, up to this.
    static constexpr std::size_t BufferSize = 64 * 1024;

    // Starts at `start`, which is taken to begin a line.
    explicit TScanCursor(TProfileSource& source, std::uint64_t start = 0);

    // A read of the source failed; the cursor then stands at the end.
    bool Failed() const { return IsFailed; }
    std::uint64_t Offset() const { return BufferStart + Pos; }

    // The byte at the cursor, or -1 at the end.
    int Peek() { return Pos < Filled || Refill() ? static_cast<unsigned char>(Buffer[Pos]) : -1; }
    // Steps over the byte that Peek gave.
    void Advance() { ++Pos; }
    void SkipBlanks();
    // Moves to the next CR or LF, or to the end.
    void SkipToLineBreak();
    // Steps over the line break at the cursor (CR LF, LF or CR) and gives it; empty when
    // there is none.
    std::string_view TakeLineBreak();

    // Moves to the next byte that is one of `wanted` (at most three bytes) and stands first
    // in its line after nothing but blanks. False at the end.
    bool NextAtLineStart(std::string_view wanted);
    // Where the line that the cursor stands in begins, after NextAtLineStart found a byte.
    std::uint64_t LineBegin() const;

private:
    bool Refill();
    std::size_t NextOf(char c);

    TProfileSource& Source;
    std::size_t Capacity = 256;
    std::unique_ptr<char[]> Buffer;
    std::uint64_t BufferStart;
    std::size_t Pos = 0;
    std::size_t Filled = 0;
    bool IsFailed = false;
    // For the few bytes searched for: where each next occurs in the Buffer at or after
    // some earlier position (Filled when nowhere). Forgotten when the Buffer is refilled.
    struct TFound {
        char Byte;
        std::size_t At;
    };
    std::array<TFound, 8> Found;
    std::size_t FoundCount = 0;
    // Whether the bytes before the Buffer, back to the last line break, are all blanks
    // (or there are none), and where that line begins.
    bool LineOpenAtStart = true;
    std::uint64_t LineBeginAtStart;
};

bool IsBlank(int c);
bool IsLineBreak(int c);
