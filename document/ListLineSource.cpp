#include "document/ListLineSource.h"

#include "readout/ByteReadout.h"

#include <algorithm>
#include <limits>

TListLineSource::TListLineSource() {
    for (int64_t k = 0; k < 256; ++k) {
        CycleSums[static_cast<size_t>(k + 1)] =
            CycleSums[static_cast<size_t>(k)] + static_cast<int64_t>(Line(k).size());
    }
}

std::u16string TListLineSource::Line(int64_t position) const {
    const int64_t clamped = std::clamp<int64_t>(position, 0, std::numeric_limits<int32_t>::max());
    const std::string line =
        ListLine(static_cast<int8_t>(ByteOfPosition(static_cast<int32_t>(clamped))));
    return std::u16string(line.begin(), line.end());
}

int64_t TListLineSource::TextLength(int64_t first, int64_t count) const {
    // Length of the lines of positions 0..end-1.
    const auto prefix = [this](int64_t end) {
        return end / 256 * CycleLength(256) + CycleLength(end % 256);
    };
    if (count <= 0) {
        return 0;
    }
    return prefix(first + count) - prefix(first);
}
