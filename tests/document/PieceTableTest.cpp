#include "document/ListDocument.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int64_t MaxCount = INT32_MAX;

std::u16string All(const TListDocument& doc) {
    return doc.Text({0, 0}, doc.End());
}

// Lines "0".."count-1" of stored text, each followed by a break.
std::u16string NumberedLines(int count) {
    std::u16string text;
    for (int i = 0; i < count; ++i) {
        const std::string line = std::to_string(i) + "\n";
        text.append(line.begin(), line.end());
    }
    return text;
}

// A document of generated lines with typed and pasted text and deletions in it: every
// kind of piece and every kind of cut.
void Mixed(TListDocument& doc) {
    doc.SetGeneratedLines(300);
    doc.Replace({100, 1}, {100, 1}, u"abc\ndef");
    doc.Replace({200, 0}, {203, 1}, u"");
    doc.Replace({5, 0}, {5, 0}, u"中文 \U0001F600\n");
}

struct TEditCase {
    const char* Name;
    std::function<void(TListDocument&)> Start;
    TTextPos From;
    TTextPos To;
    std::u16string Text;
    // The start of the text after the edit.
    std::u16string Expected;
};

class PieceTableEditTest : public testing::TestWithParam<TEditCase> {};

// An edit gives the expected text; undo gives back the text and the very pieces before
// it, redo those after it.
TEST_P(PieceTableEditTest, EditsAndRoundTrips) {
    const TEditCase& c = GetParam();
    TListDocument doc;
    c.Start(doc);
    const std::u16string before = All(doc);
    const size_t piecesBefore = doc.PieceList().size();
    doc.Replace(c.From, c.To, c.Text);
    const std::u16string after = All(doc);
    EXPECT_EQ(after.substr(0, c.Expected.size()), c.Expected);
    const size_t piecesAfter = doc.PieceList().size();
    doc.Undo();
    EXPECT_EQ(All(doc), before);
    EXPECT_EQ(doc.PieceList().size(), piecesBefore);
    doc.Redo();
    EXPECT_EQ(All(doc), after);
    EXPECT_EQ(doc.PieceList().size(), piecesAfter);
}

const auto Text = [](std::u16string text) {
    return [text](TListDocument& doc) { doc.SetText(text); };
};
const auto Generated = [](int64_t count) {
    return [count](TListDocument& doc) { doc.SetGeneratedLines(count); };
};

INSTANTIATE_TEST_SUITE_P(
    Boundaries, PieceTableEditTest,
    testing::Values(
        TEditCase{"IntoEmpty", Text(u""), {0, 0}, {0, 0}, u"ab\n", u"ab\n"},
        TEditCase{"AtStart", Text(u"ab\ncd"), {0, 0}, {0, 0}, u"x", u"xab\ncd"},
        TEditCase{"AtEnd", Text(u"ab\ncd"), {1, 2}, {1, 2}, u"x\n", u"ab\ncdx\n"},
        TEditCase{"EverythingAway", Text(u"ab\ncd"), {0, 0}, {1, 2}, u"", u""},
        TEditCase{"BreaksBecomeOne", Text(u"ab"), {0, 1}, {0, 1}, u"1\r\n2\r3\n", u"a1\n2\n3\nb"},
        TEditCase{"JoinLines", Text(u"ab\ncd\nef"), {0, 1}, {2, 1}, u"", u"af"},
        TEditCase{"AcrossManyPieces",
                  Text(NumberedLines(20000)),
                  {1, 0},
                  {19999, 0},
                  u"-\n",
                  u"0\n-\n19999\n"},
        TEditCase{
            "BreakBeforeGeneratedBreak", Generated(3), {1, 1}, {1, 1}, u"\nx", u"0\n1\nx\n2\n"},
        TEditCase{"GeneratedLastLine", Generated(2), {2, 0}, {2, 0}, u"z", u"0\n1\nz"},
        TEditCase{"AcrossGeneratedLines", Generated(300), {1, 1}, {298, 1}, u"", u"0\n1a\n2b\n"},
        TEditCase{"MixedPieces", Mixed, {4, 0}, {102, 2}, u"q", u"0\n1\n2\n3\nqf4\n65\n"}),
    [](const auto& info) { return info.param.Name; });

// Every step of a session of edits on mixed pieces is undone and redone exactly.
TEST(PieceTableHistoryTest, UndoAndRedoWalkTheWholeHistory) {
    TListDocument doc;
    doc.SetGeneratedLines(MaxCount);
    std::vector<std::u16string> seen{doc.Text({0, 0}, {400, 0})};
    const auto edit = [&](TTextPos from, TTextPos to, const std::u16string& text, bool typed) {
        doc.Replace(from, to, text, typed);
        seen.push_back(doc.Text({0, 0}, {400, 0}));
    };
    edit({3, 1}, {3, 1}, u"a", true);
    edit({3, 2}, {3, 2}, u"b", true); // joins the typing before it
    seen.erase(seen.end() - 2);
    edit({10, 0}, {20, 0}, u"", false);
    edit({0, 0}, {0, 0}, u"pasted\ntext\n", false);
    edit({50, 1}, {60, 0}, u"中\n文", false);
    for (size_t step = seen.size() - 1; step > 0; --step) {
        ASSERT_TRUE(doc.CanUndo());
        doc.Undo();
        EXPECT_EQ(doc.Text({0, 0}, {400, 0}), seen[step - 1]) << "undo to step " << step - 1;
    }
    EXPECT_FALSE(doc.CanUndo());
    ASSERT_EQ(doc.PieceList().size(), 1u);
    EXPECT_TRUE(doc.PieceList()[0].Generated);
    for (size_t step = 1; step < seen.size(); ++step) {
        doc.Redo();
        EXPECT_EQ(doc.Text({0, 0}, {400, 0}), seen[step]) << "redo to step " << step;
    }
    EXPECT_EQ(doc.LineCount(), MaxCount + 1 - 10 + 2 + 1 - 10);
}

TEST(PieceTableHistoryTest, TypingAddsNoPiecePerKey) {
    TListDocument doc;
    doc.SetText(NumberedLines(100));
    TTextPos at{50, 1};
    for (int i = 0; i < 200; ++i) {
        at = doc.Replace(at, at, u"k", true);
    }
    EXPECT_LE(doc.PieceList().size(), 3u);
    EXPECT_EQ(doc.LineLength(50), 202);
}

struct TUtf8Case {
    const char* Name;
    std::string Bytes;
    std::u16string Text;
};

class PieceTableUtf8Test : public testing::TestWithParam<TUtf8Case> {};

TEST_P(PieceTableUtf8Test, PasteDecodes) {
    TListDocument doc;
    doc.ReplaceUtf8({0, 0}, {0, 0}, GetParam().Bytes);
    EXPECT_EQ(All(doc), GetParam().Text);
}

INSTANTIATE_TEST_SUITE_P(
    Utf8, PieceTableUtf8Test,
    testing::Values(TUtf8Case{"Ascii", "ab\r\nc\rd", u"ab\nc\nd"},
                    TUtf8Case{"TwoBytes", "caf\xC3\xA9", u"café"},
                    TUtf8Case{"ThreeBytes", "\xE4\xB8\xAD", u"中"},
                    TUtf8Case{"FourBytesSurrogatePair", "\xF0\x9F\x98\x80", u"\U0001F600"},
                    TUtf8Case{"StrayContinuation", "a\x80z", u"a\uFFFDz"},
                    TUtf8Case{"Truncated", "\xE4\xB8z", u"\uFFFDz"},
                    TUtf8Case{"Overlong", "\xC0\xAFz", u"\uFFFDz"},
                    TUtf8Case{"EncodedSurrogate", "\xED\xA0\x80z", u"\uFFFDz"},
                    TUtf8Case{"LongAsciiThenWide", std::string(40000, 'x') + "\xC3\xA9",
                              std::u16string(40000, u'x') + u"é"}),
    [](const auto& info) { return info.param.Name; });

struct TOffsetCase {
    const char* Name;
    std::function<void(TListDocument&)> Start;
    TTextPos Pos;
    int64_t Offset;
};

class PieceTableOffsetTest : public testing::TestWithParam<TOffsetCase> {};

TEST_P(PieceTableOffsetTest, OffsetsAndPlacesAgree) {
    const TOffsetCase& c = GetParam();
    TListDocument doc;
    c.Start(doc);
    EXPECT_EQ(doc.OffsetOf(c.Pos), c.Offset);
    EXPECT_EQ(doc.PosOf(c.Offset), c.Pos);
}

INSTANTIATE_TEST_SUITE_P(
    Offsets, PieceTableOffsetTest,
    testing::Values(TOffsetCase{"Start", Generated(10), {0, 0}, 0},
                    TOffsetCase{"SecondLine", Generated(10), {1, 0}, 2},
                    TOffsetCase{"AfterOneCycle", Generated(300), {256, 0}, 1264 + 256},
                    TOffsetCase{"LastOfHugeList",
                                Generated(MaxCount),
                                {MaxCount, 0},
                                (MaxCount / 256) * 1520 + 16 * 2 + 112 * 3 + 127 * 9},
                    TOffsetCase{"EndOfStoredText", Text(u"ab\ncd"), {1, 2}, 5},
                    TOffsetCase{"LineInSecondPiece",
                                Text(NumberedLines(20000)),
                                {15000, 2},
                                15000 * 6 - 11110 + 2}),
    [](const auto& info) { return info.param.Name; });

} // namespace
