#include "document/ListDocument.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>

namespace {

constexpr int64_t MaxCount = INT32_MAX;

// UTF-16 to UTF-8, surrogate pairs included.
std::string Utf8(const std::u16string& text) {
    std::string bytes;
    for (size_t i = 0; i < text.size(); ++i) {
        uint32_t c = text[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size()) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        }
        const auto put = [&bytes](uint32_t byte) { bytes.push_back(static_cast<char>(byte)); };
        if (c < 0x80) {
            put(c);
        } else if (c < 0x800) {
            put(0xC0 | c >> 6);
            put(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            put(0xE0 | c >> 12);
            put(0x80 | (c >> 6 & 0x3F));
            put(0x80 | (c & 0x3F));
        } else {
            put(0xF0 | c >> 18);
            put(0x80 | (c >> 12 & 0x3F));
            put(0x80 | (c >> 6 & 0x3F));
            put(0x80 | (c & 0x3F));
        }
    }
    return bytes;
}

// The pieces of a document in short: "G<first>+<count>" for generated lines, "T:text"
// for text (a line break shown as "/"), separated by "|".
std::string Describe(const TListDocument& doc) {
    std::string text;
    for (const TPiece& piece : doc.PieceList()) {
        text += text.empty() ? "" : "|";
        if (piece.Generated) {
            text += "G" + std::to_string(piece.Start) + "+" + std::to_string(piece.Breaks);
            continue;
        }
        std::string stored = Utf8(doc.PieceString(piece));
        std::replace(stored.begin(), stored.end(), '\n', '/');
        text += "T:" + stored;
    }
    return text;
}

struct EditCase {
    const char* Name;
    int64_t Count;
    TTextPos From;
    TTextPos To;
    std::u16string Text;
    std::string Runs;
};

class ListDocumentEditTest : public testing::TestWithParam<EditCase> {};

// Each edit cuts or splits pieces as shown, and Undo and Redo go back and forth between
// exactly the pieces before and after it.
TEST_P(ListDocumentEditTest, SplitsPiecesAndUndoes) {
    const EditCase& c = GetParam();
    TListDocument doc;
    doc.SetGeneratedLines(c.Count);
    const std::string before = Describe(doc);
    doc.Replace(c.From, c.To, c.Text);
    EXPECT_EQ(Describe(doc), c.Runs);
    doc.Undo();
    EXPECT_EQ(Describe(doc), before);
    EXPECT_FALSE(doc.CanUndo());
    doc.Redo();
    EXPECT_EQ(Describe(doc), c.Runs);
}

INSTANTIATE_TEST_SUITE_P(
    Pieces, ListDocumentEditTest,
    testing::Values(
        EditCase{"TypeInGeneratedLine", 10, {3, 1}, {3, 1}, u"z", "G0+3|T:3z/|G4+6"},
        EditCase{
            "ReplaceWithinGeneratedLine", 200, {150, 0}, {150, 6}, u"x", "G0+150|T:x96/|G151+49"},
        EditCase{"DeleteWholeLines", 10, {2, 0}, {5, 0}, u"", "G0+2|G5+5"},
        EditCase{"JoinTwoGeneratedLines", 10, {4, 1}, {5, 0}, u"", "G0+4|T:4|G5+5"},
        EditCase{"BreakAtEndKeepsLineGenerated", 10, {1, 1}, {1, 1}, u"\n", "G0+2|T:/|G2+8"},
        EditCase{"BreakAtStartKeepsLineGenerated", 10, {1, 0}, {1, 0}, u"\n", "G0+1|T:/|G1+9"},
        EditCase{"InsertLinesInsideLine", 10, {1, 0}, {9, 0}, u"a\nb", "G0+1|T:a/b|G9+1"},
        EditCase{"TypeOnLastLine", 3, {3, 0}, {3, 0}, u"end", "G0+3|T:end"},
        EditCase{"DeleteAllOfHugeList", MaxCount, {0, 0}, {MaxCount, 0}, u"", ""},
        EditCase{"DeleteMiddleOfHugeList",
                 MaxCount,
                 {1, 0},
                 {MaxCount - 1, 0},
                 u"",
                 "G0+1|G2147483646+1"},
        EditCase{"ReplaceHugeListWithText", MaxCount, {0, 0}, {MaxCount, 0}, u"新\n", "T:新/"}),
    [](const auto& info) { return info.param.Name; });

struct LineCase {
    const char* Name;
    int64_t Count;
    int64_t Lines;
    int64_t Line;
    std::u16string Text;
};

class ListDocumentLinesTest : public testing::TestWithParam<LineCase> {};

TEST_P(ListDocumentLinesTest, GivesLinesOfPositions) {
    const LineCase& c = GetParam();
    TListDocument doc;
    doc.SetGeneratedLines(c.Count);
    EXPECT_EQ(doc.LineCount(), c.Lines);
    EXPECT_EQ(doc.LineText(c.Line), c.Text);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ListDocumentLinesTest,
    testing::Values(LineCase{"FirstLine", 10, 11, 0, u"0"},
                    LineCase{"EmptyLastLine", 10, 11, 10, u""},
                    LineCase{"LastPositive", 129, 130, 127, u"7f"},
                    LineCase{"FirstNegative", 129, 130, 128, u"ffffff80"},
                    LineCase{"Wraps", 300, 301, 256, u"0"},
                    LineCase{"LargestPosition", MaxCount, MaxCount + 1, MaxCount - 1, u"fffffffe"},
                    LineCase{"EmptyLineAfterLargest", MaxCount, MaxCount + 1, MaxCount, u""},
                    LineCase{"CountAboveLargestIsCapped", int64_t{1} << 40, MaxCount + 1,
                             MaxCount - 1, u"fffffffe"},
                    LineCase{"ZeroCountIsEmpty", 0, 1, 0, u""},
                    LineCase{"NegativeCountIsEmpty", -5, 1, 0, u""}),
    [](const auto& info) { return info.param.Name; });

struct SizeCase {
    const char* Name;
    TTextPos From;
    TTextPos To;
};

class ListDocumentSizeTest : public testing::TestWithParam<SizeCase> {};

// The computed size is the UTF-8 size of the text that a copy builds.
TEST_P(ListDocumentSizeTest, MatchesBuiltText) {
    TListDocument doc;
    doc.SetGeneratedLines(600);
    doc.Replace({300, 0}, {300, 0}, u"中文 text\n");
    const SizeCase& c = GetParam();
    EXPECT_EQ(doc.TextSize(c.From, c.To),
              static_cast<int64_t>(Utf8(doc.Text(c.From, c.To)).size()));
}

INSTANTIATE_TEST_SUITE_P(Sizes, ListDocumentSizeTest,
                         testing::Values(SizeCase{"Everything", {0, 0}, {601, 0}},
                                         SizeCase{"WithinOneLine", {200, 2}, {200, 6}},
                                         SizeCase{"AcrossCycles", {5, 0}, {599, 3}},
                                         SizeCase{"PartOfChineseLine", {300, 1}, {302, 4}},
                                         SizeCase{"Backwards", {400, 2}, {10, 0}},
                                         SizeCase{"Empty", {7, 0}, {7, 0}}),
                         [](const auto& info) { return info.param.Name; });

TEST(ListDocumentSizeTest, HugeListIsCountedNotBuilt) {
    TListDocument doc;
    doc.SetGeneratedLines(MaxCount);
    // Each full cycle of 256 lines: 16 one-digit, 112 two-digit and 128 eight-digit lines.
    const int64_t cycles = MaxCount / 256;
    const int64_t lastCycle = 16 * 1 + 112 * 2 + 127 * 8;
    EXPECT_EQ(doc.TextSize({0, 0}, doc.End()), cycles * 1264 + lastCycle + MaxCount);
}

TEST(ListDocumentUndoTest, TypingJoinsUntilAnotherEdit) {
    TListDocument doc;
    doc.SetText(u"--\n");
    TTextPos at = doc.Replace({0, 2}, {0, 2}, u"a", true);
    at = doc.Replace(at, at, u"b", true);
    doc.Replace({1, 0}, {1, 0}, u"x");
    at = doc.Replace({0, 4}, {0, 4}, u"c", true);
    EXPECT_EQ(doc.Text({0, 0}, doc.End()), u"--abc\nx");
    doc.Undo();
    EXPECT_EQ(doc.Text({0, 0}, doc.End()), u"--ab\nx");
    doc.Undo();
    doc.Undo();
    EXPECT_EQ(doc.Text({0, 0}, doc.End()), u"--\n");
    EXPECT_FALSE(doc.CanUndo());
}

TEST(ListDocumentUndoTest, NewEditDropsRedo) {
    TListDocument doc;
    doc.SetGeneratedLines(4);
    doc.Replace({0, 0}, {2, 0}, u"");
    doc.Undo();
    doc.Replace({3, 0}, {3, 1}, u"q");
    EXPECT_FALSE(doc.CanRedo());
    EXPECT_EQ(Describe(doc), "G0+3|T:q/");
}

TEST(ListDocumentUndoTest, SettingTextClearsHistory) {
    TListDocument doc;
    doc.Replace({0, 0}, {0, 0}, u"a");
    doc.SetGeneratedLines(MaxCount);
    EXPECT_FALSE(doc.CanUndo());
}

} // namespace
