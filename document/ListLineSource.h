#pragma once

#include <array>
#include <cstdint>
#include <string>

// The lines of the list readout, made on demand from their positions. The list line
// of a position is the hexadecimal form of its byte (see ListLine), so nothing of a
// generated line ever needs to be stored.
class TListLineSource {
public:
    TListLineSource();

    // The list line of a position (positions are 0..2147483647).
    std::u16string Line(int64_t position) const;

    // The number of characters of the lines of `count` positions from `first`, line
    // breaks not counted. A byte depends only on the low eight bits of its position,
    // so the lengths of one cycle of 256 lines give the length of any range at once.
    int64_t TextLength(int64_t first, int64_t count) const;

private:
    // Characters of the lines of the positions 0..k-1 of a cycle, for k = 0..256.
    int64_t CycleLength(int64_t k) const { return CycleSums[static_cast<size_t>(k)]; }

    std::array<int64_t, 257> CycleSums{};
};
