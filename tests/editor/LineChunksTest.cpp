#include "editor/LineChunks.h"
#include "editor/EditorSetup.h"
#include "editor/RowLayout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr int64_t ChunkChars = TLineChunks::ChunkChars;

TEST(LineChunks, ChunksOfALongLineNeverSplitASurrogatePair) {
    TListDocument doc;
    // A pair that would straddle the first boundary moves into the second chunk.
    std::u16string line(ChunkChars - 1, u'a');
    line += u"\U0001F600";
    line += std::u16string(ChunkChars, u'b');
    doc.SetText(u"short\n" + line);
    const TLineChunks chunks(doc);

    EXPECT_EQ(chunks.Count(0), 1);
    EXPECT_EQ(chunks.Count(1), 3);
    EXPECT_EQ(chunks.Start(1, 1), ChunkChars - 1);
    EXPECT_EQ(chunks.Start(1, 2), 2 * ChunkChars);
    EXPECT_EQ(chunks.Start(1, 3), static_cast<int64_t>(line.size()));
    EXPECT_EQ(chunks.Of({1, ChunkChars - 2}), 0);
    EXPECT_EQ(chunks.Of({1, ChunkChars - 1}), 1);
    EXPECT_EQ(chunks.Of({1, static_cast<int64_t>(line.size())}), 2);
}

TEST(RowLayout, StepsWalkEveryRowOfEveryChunkAndLine) {
    TListDocument doc;
    doc.SetText(u"one\n" + std::u16string(ChunkChars + 1, u'x'));
    // Rows of two characters.
    const TFakeView view;
    TRowLayout rows(doc, view);
    rows.SetWidth(2 * CharWidth);

    // "on", "e"; the first chunk's 512 rows; the second chunk's one.
    std::vector<TChunkRow> walked{{}};
    for (TChunkRow row; rows.Step(row, true);) {
        walked.push_back(row);
    }
    ASSERT_EQ(walked.size(), 2u + ChunkChars / 2 + 1);
    EXPECT_EQ(walked[1], (TChunkRow{0, 0, 1}));
    EXPECT_EQ(walked[2], (TChunkRow{1, 0, 0}));
    EXPECT_EQ(walked.back(), (TChunkRow{1, 1, 0}));
    EXPECT_EQ(walked.back(), rows.LastRow());
    for (size_t index = 0; index < walked.size(); ++index) {
        EXPECT_EQ(rows.IsLastRowOfLine(walked[index]), index == 1 || index + 1 == walked.size());
        EXPECT_EQ(rows.Walk({}, static_cast<int64_t>(index)), walked[index]);
    }
    TChunkRow row = walked.back();
    for (size_t index = walked.size() - 1; index > 0; --index) {
        ASSERT_TRUE(rows.Step(row, false));
        EXPECT_EQ(row, walked[index - 1]);
    }
    EXPECT_FALSE(rows.Step(row, false));
    EXPECT_EQ(rows.Walk(walked.back(), -100000), TChunkRow{});
}

} // namespace
