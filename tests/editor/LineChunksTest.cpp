#include "editor/LineChunks.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr int64_t ChunkChars = TLineChunks::ChunkChars;

// Two rows in every chunk, as a view that wraps each chunk once would lay them out.
int TwoRows(int64_t, int64_t) {
    return 2;
}

TEST(LineChunks, ChunksOfALongLineNeverSplitASurrogatePair) {
    TListDocument doc;
    // A pair that would straddle the first boundary moves into the second chunk.
    std::u16string line(ChunkChars - 1, u'a');
    line += u"\U0001F600";
    line += std::u16string(ChunkChars, u'b');
    doc.SetText(u"short\n" + line);
    const TLineChunks chunks(doc, TwoRows);

    EXPECT_EQ(chunks.Count(0), 1);
    EXPECT_EQ(chunks.Count(1), 3);
    EXPECT_EQ(chunks.Start(1, 1), ChunkChars - 1);
    EXPECT_EQ(chunks.Start(1, 2), 2 * ChunkChars);
    EXPECT_EQ(chunks.Start(1, 3), static_cast<int64_t>(line.size()));
    EXPECT_EQ(chunks.Of({1, ChunkChars - 2}), 0);
    EXPECT_EQ(chunks.Of({1, ChunkChars - 1}), 1);
    EXPECT_EQ(chunks.Of({1, static_cast<int64_t>(line.size())}), 2);
}

TEST(LineChunks, StepsWalkEveryRowOfEveryChunkAndLine) {
    TListDocument doc;
    doc.SetText(u"one\n" + std::u16string(ChunkChars + 1, u'x'));
    const TLineChunks chunks(doc, TwoRows);

    const std::vector<TChunkRow> expected{{0, 0, 0}, {0, 0, 1}, {1, 0, 0},
                                          {1, 0, 1}, {1, 1, 0}, {1, 1, 1}};
    TChunkRow row;
    for (size_t index = 1; index < expected.size(); ++index) {
        ASSERT_TRUE(chunks.Step(row, true));
        EXPECT_EQ(row, expected[index]);
        EXPECT_EQ(chunks.IsLastRowOfLine(row), index == 1 || index == 5);
    }
    EXPECT_FALSE(chunks.Step(row, true));
    EXPECT_EQ(row, chunks.LastRow());
    for (size_t index = expected.size() - 1; index > 0; --index) {
        ASSERT_TRUE(chunks.Step(row, false));
        EXPECT_EQ(row, expected[index - 1]);
    }
    EXPECT_FALSE(chunks.Step(row, false));
}

} // namespace
