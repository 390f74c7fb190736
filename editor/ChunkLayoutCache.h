#pragma once

#include "document/ListDocument.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <map>
#include <utility>
#include <vector>

// The layouts that a list view keeps of its chunks (the characters of a line that are laid
// out and wrapped together), keyed by line and chunk: those on screen and those used
// recently, so that its memory stays bounded whatever the count of lines. Each front end lays
// its chunks out with its own text engine; this only keeps, renumbers and drops them.
template <typename TLayout> class TChunkLayoutCache {
public:
    // The kept layout of a chunk, made empty (default) when none is kept; counts as used.
    TLayout& Use(int64_t line, int64_t chunk) {
        TEntry& entry = Entries[{line, chunk}];
        entry.Used = ++UseClock;
        return entry.Layout;
    }

    void Clear() { Entries.clear(); }

    // After an edit: drops the layouts of the changed lines and renumbers those after them.
    void ForgetChangedLines(const TLineChange& change) {
        const int64_t lastRemoved = change.Line + change.Removed;
        const int64_t shift = change.Inserted - change.Removed;
        decltype(Entries) kept;
        for (auto& [key, entry] : Entries) {
            if (key.first < change.Line) {
                kept.emplace_hint(kept.end(), key, std::move(entry));
            } else if (key.first > lastRemoved) {
                kept.emplace_hint(kept.end(), std::make_pair(key.first + shift, key.second),
                                  std::move(entry));
            }
        }
        Entries = std::move(kept);
    }

    // Once more than `limit` layouts are kept, keeps the most recently used half.
    void Trim(size_t limit) {
        if (Entries.size() <= limit) {
            return;
        }
        std::vector<uint64_t> uses;
        uses.reserve(Entries.size());
        for (const auto& entry : Entries) {
            uses.push_back(entry.second.Used);
        }
        const auto middle = uses.begin() + static_cast<std::ptrdiff_t>(uses.size() / 2);
        std::nth_element(uses.begin(), middle, uses.end());
        const uint64_t oldestKept = *middle;
        for (auto entry = Entries.begin(); entry != Entries.end();) {
            entry = entry->second.Used < oldestKept ? Entries.erase(entry) : std::next(entry);
        }
    }

private:
    struct TEntry {
        TLayout Layout;
        uint64_t Used = 0;
    };
    std::map<std::pair<int64_t, int64_t>, TEntry> Entries;
    uint64_t UseClock = 0;
};
