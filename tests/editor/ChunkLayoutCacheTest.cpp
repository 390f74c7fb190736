#include "editor/ChunkLayoutCache.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A cache whose layouts name the line and chunk they were made for.
TChunkLayoutCache<std::string> CacheOf(const std::vector<std::pair<int64_t, int64_t>>& chunks) {
    TChunkLayoutCache<std::string> cache;
    for (const auto& [line, chunk] : chunks) {
        cache.Use(line, chunk) = std::to_string(line) + "." + std::to_string(chunk);
    }
    return cache;
}

struct TChangeRow {
    const char* Name;
    TLineChange Change;
    // What line 1 chunk 0, line 5 chunk 0 and line 9 chunk 2 hold afterwards ("" if dropped).
    std::vector<std::string> Expected;
};

class ChunkLayoutCacheChange : public testing::TestWithParam<TChangeRow> {};

TEST_P(ChunkLayoutCacheChange, DropsChangedLinesAndRenumbersTheLinesAfterThem) {
    const TChangeRow& row = GetParam();
    auto cache = CacheOf({{1, 0}, {5, 0}, {9, 2}});
    cache.ForgetChangedLines(row.Change);
    const int64_t shift = row.Change.Inserted - row.Change.Removed;
    EXPECT_EQ(cache.Use(1, 0), row.Expected[0]);
    EXPECT_EQ(cache.Use(5 + (5 > row.Change.Line ? shift : 0), 0), row.Expected[1]);
    EXPECT_EQ(cache.Use(9 + shift, 2), row.Expected[2]);
}

INSTANTIATE_TEST_SUITE_P(
    Edits, ChunkLayoutCacheChange,
    testing::Values(TChangeRow{"TypingInALine", {5, 0, 0}, {"1.0", "", "9.2"}},
                    TChangeRow{"LinesInserted", {3, 0, 2}, {"1.0", "5.0", "9.2"}},
                    TChangeRow{"LinesJoined", {4, 1, 0}, {"1.0", "", "9.2"}},
                    TChangeRow{"EverythingReplaced", {0, 9, 1}, {"", "", ""}}),
    [](const testing::TestParamInfo<TChangeRow>& info) { return info.param.Name; });

TEST(ChunkLayoutCache, TrimKeepsTheMostRecentlyUsedHalf) {
    auto cache = CacheOf({{0, 0}, {1, 0}, {2, 0}, {3, 0}});
    cache.Use(0, 0);
    cache.Trim(3);
    EXPECT_EQ(cache.Use(0, 0), "0.0");
    EXPECT_EQ(cache.Use(3, 0), "3.0");
    EXPECT_EQ(cache.Use(1, 0), "");
    EXPECT_EQ(cache.Use(2, 0), "");
}

TEST(ChunkLayoutCache, TrimWithinTheLimitKeepsEverything) {
    auto cache = CacheOf({{0, 0}, {1, 0}});
    cache.Trim(2);
    EXPECT_EQ(cache.Use(1, 0), "1.0");
    EXPECT_EQ(cache.Use(0, 0), "0.0");
}

} // namespace
