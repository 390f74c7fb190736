#include "settings/ScanCursor.h"

#include <algorithm>
#include <cstring>

bool IsBlank(int c) {
    return c == ' ' || c == '\t';
}

bool IsLineBreak(int c) {
    return c == '\n' || c == '\r';
}

TScanCursor::TScanCursor(TProfileSource& source, std::uint64_t start)
    : Source(source), Buffer(new char[Capacity]), BufferStart(start), LineBeginAtStart(start) {}

bool TScanCursor::Refill() {
    if (IsFailed) {
        return false;
    }
    // What the bytes so far say about the line that goes on into the new Buffer.
    std::size_t open = Filled;
    while (open > 0 && IsBlank(Buffer[open - 1])) {
        --open;
    }
    if (open > 0) {
        LineOpenAtStart = IsLineBreak(Buffer[open - 1]);
        LineBeginAtStart = BufferStart + open;
    }
    if (Filled == Capacity && Capacity < BufferSize) {
        Capacity *= 2;
        Buffer.reset(new char[Capacity]);
    }
    BufferStart += Filled;
    Pos = 0;
    Filled = 0;
    FoundCount = 0;
    const std::ptrdiff_t got = Source.ReadAt(BufferStart, Buffer.get(), Capacity);
    if (got < 0) {
        IsFailed = true;
        return false;
    }
    Filled = static_cast<std::size_t>(got);
    return Filled > 0;
}

std::size_t TScanCursor::NextOf(char c) {
    std::size_t index = 0;
    while (index < FoundCount && Found[index].Byte != c) {
        ++index;
    }
    if (index == FoundCount) {
        FoundCount = std::min(FoundCount + 1, Found.size());
        index = FoundCount - 1;
        Found[index] = {c, 0};
    } else if (Found[index].At >= Pos) {
        return Found[index].At;
    }
    const void* hit = std::memchr(Buffer.get() + Pos, c, Filled - Pos);
    Found[index].At = hit == nullptr
                          ? Filled
                          : static_cast<std::size_t>(static_cast<const char*>(hit) - Buffer.get());
    return Found[index].At;
}

void TScanCursor::SkipBlanks() {
    while (IsBlank(Peek())) {
        ++Pos;
    }
}

void TScanCursor::SkipToLineBreak() {
    while (Pos < Filled || Refill()) {
        Pos = std::min(NextOf('\n'), NextOf('\r'));
        if (Pos < Filled) {
            return;
        }
    }
}

std::string_view TScanCursor::TakeLineBreak() {
    const int c = Peek();
    if (c == '\n') {
        ++Pos;
        return "\n";
    }
    if (c != '\r') {
        return {};
    }
    ++Pos;
    if (Peek() == '\n') {
        ++Pos;
        return "\r\n";
    }
    return "\r";
}

bool TScanCursor::NextAtLineStart(std::string_view wanted) {
    while (Pos < Filled || Refill()) {
        std::size_t hit = Filled;
        for (const char c : wanted) {
            hit = std::min(hit, NextOf(c));
        }
        Pos = hit;
        if (hit < Filled) {
            std::size_t before = hit;
            while (before > 0 && IsBlank(Buffer[before - 1])) {
                --before;
            }
            if (before > 0 ? IsLineBreak(Buffer[before - 1]) : LineOpenAtStart) {
                return true;
            }
            ++Pos;
        }
    }
    return false;
}

std::uint64_t TScanCursor::LineBegin() const {
    std::size_t before = Pos;
    while (before > 0 && !IsLineBreak(Buffer[before - 1])) {
        --before;
    }
    return before > 0 ? BufferStart + before : LineBeginAtStart;
}
