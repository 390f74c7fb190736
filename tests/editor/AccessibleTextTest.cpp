#include "editor/AccessibleText.h"
#include "editor/EditorSetup.h"
#include "editor/TextUnits.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

using C = TEditCommand;
using U = TTextUnit;

// "second line" wraps after its space: rows "ab😀c" (0..6, with the break), "second "
// (6..13), "line" (13..18) and "third" (18..23).
constexpr char16_t Sample[] = u"ab\U0001F600c\nsecond line\nthird";

struct TUnitCase {
    const char* Name;
    const char16_t* Text;
    int Offset;
    TTextUnit Unit;
    TTextSpan At;
    TTextSpan Before;
    TTextSpan After;
};

class UnitTest : public testing::TestWithParam<TUnitCase> {};

TEST_P(UnitTest, AreFoundAroundAnOffset) {
    const TUnitCase& c = GetParam();
    TEditorSetup setup;
    setup.Editor.SetText(c.Text);
    const TAccessibleText text(setup.Editor);
    EXPECT_EQ(text.UnitAt(c.Offset, c.Unit), c.At);
    EXPECT_EQ(text.UnitBefore(c.Offset, c.Unit), c.Before);
    EXPECT_EQ(text.UnitAfter(c.Offset, c.Unit), c.After);
    // Boundaries are the units' ends.
    if (c.At.Start < c.At.End) {
        EXPECT_EQ(text.Next(c.Offset, c.Unit), c.At.End);
        EXPECT_EQ(text.Previous(c.At.End, c.Unit), c.At.Start);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Units, UnitTest,
    testing::Values(TUnitCase{"Character", Sample, 1, U::Character, {1, 2}, {0, 1}, {2, 4}},
                    TUnitCase{"SurrogatePair", Sample, 2, U::Character, {2, 4}, {1, 2}, {4, 5}},
                    TUnitCase{"PairHalf", Sample, 3, U::Character, {2, 4}, {1, 2}, {4, 5}},
                    TUnitCase{"FirstCharacter", Sample, 0, U::Character, {0, 1}, {0, 0}, {1, 2}},
                    TUnitCase{
                        "PastTheEnd", Sample, 100, U::Character, {23, 23}, {22, 23}, {23, 23}},
                    TUnitCase{"Word", Sample, 7, U::Word, {6, 13}, {5, 6}, {13, 17}},
                    TUnitCase{"WordOnItsSpace", Sample, 12, U::Word, {6, 13}, {5, 6}, {13, 17}},
                    TUnitCase{"LineBreakIsAWord", Sample, 5, U::Word, {5, 6}, {4, 5}, {6, 13}},
                    TUnitCase{"LastWord", Sample, 20, U::Word, {18, 23}, {17, 18}, {23, 23}},
                    TUnitCase{"WrappedRow", Sample, 8, U::Row, {6, 13}, {0, 6}, {13, 18}},
                    TUnitCase{"RowWithTheBreak", Sample, 17, U::Row, {13, 18}, {6, 13}, {18, 23}},
                    TUnitCase{"LastRowAtTheEnd", Sample, 23, U::Row, {18, 23}, {13, 18}, {23, 23}},
                    TUnitCase{"Line", Sample, 8, U::Line, {6, 18}, {0, 6}, {18, 23}},
                    TUnitCase{"LastLineAtTheEnd", Sample, 23, U::Line, {18, 23}, {6, 18}, {23, 23}},
                    TUnitCase{"EmptyLine", u"a\n\n", 2, U::Line, {2, 3}, {0, 2}, {3, 3}},
                    TUnitCase{"EmptyLastLine", u"a\n\n", 3, U::Line, {3, 3}, {2, 3}, {3, 3}},
                    TUnitCase{"EmptyText", u"", 0, U::Line, {0, 0}, {0, 0}, {0, 0}},
                    TUnitCase{"Document", Sample, 8, U::Document, {0, 23}, {0, 0}, {23, 23}}),
    [](const auto& info) { return info.param.Name; });

struct TStepCase {
    const char* Name;
    int Offset;
    TTextUnit Unit;
    int Count;
    int Moved;
    int To;
};

class StepTest : public testing::TestWithParam<TStepCase> {};

TEST_P(StepTest, CrossesBoundariesAndStopsAtTheEnds) {
    const TStepCase& c = GetParam();
    TEditorSetup setup;
    setup.Editor.SetText(Sample);
    int count = c.Count;
    EXPECT_EQ(TAccessibleText(setup.Editor).Step(c.Offset, c.Unit, count), c.To);
    EXPECT_EQ(count, c.Moved);
}

INSTANTIATE_TEST_SUITE_P(Steps, StepTest,
                         testing::Values(TStepCase{"BackOverAPair", 4, U::Character, -1, -1, 2},
                                         TStepCase{"LinesPastTheEnd", 1, U::Line, 5, 3, 23},
                                         TStepCase{"RowsUp", 20, U::Row, -2, -2, 13},
                                         TStepCase{"WordsBack", 18, U::Word, -3, -3, 6},
                                         TStepCase{"HugeCount", 0, U::Character, INT_MAX, 22, 23},
                                         TStepCase{"Document", 8, U::Document, -9, -1, 0}),
                         [](const auto& info) { return info.param.Name; });

TEST(AccessibleText, PlacesTheCaretTheSelectionAndTheShownRows) {
    TEditorSetup setup;
    setup.Editor.SetText(Sample);
    setup.Editor.SetSelection({1, 2}, {0, 1});
    const TAccessibleText text(setup.Editor);
    EXPECT_EQ(text.Caret(), 1);
    EXPECT_EQ(text.Selection(), (TTextSpan{1, 8}));
    EXPECT_EQ(text.Visible(), (TTextSpan{0, 23}));
    const TTextRect c = text.CharacterRect(4);
    EXPECT_EQ((std::vector<int>{c.X, c.Y, c.Width, c.Height}), (std::vector<int>{30, 0, 10, 10}));
    EXPECT_EQ(text.OffsetAt(36, 15), 10);
    // One rectangle a shown row: "second " and "line".
    const std::vector<TTextRect> rects = text.SpanRects({6, 18});
    ASSERT_EQ(rects.size(), 2u);
    EXPECT_EQ(
        (std::vector<int>{rects[0].X, rects[0].Y, rects[0].Width, rects[1].Y, rects[1].Width}),
        (std::vector<int>{0, 10, 70, 20, 40}));
}

TEST(AccessibleText, GivesTheWholeTextOrAWindowAroundTheCaret) {
    TEditorSetup setup;
    setup.Editor.SetGeneratedLines(257);
    TAccessibleText small(setup.Editor);
    EXPECT_EQ(small.Text(0, small.Length()), setup.Text());

    setup.Editor.SetGeneratedLines(MaxCount);
    setup.Editor.Execute(C::DocumentEnd);
    setup.Editor.Execute(C::RowUp);
    const TAccessibleText huge(setup.Editor);
    const int caret = huge.Caret();
    EXPECT_EQ(huge.Text(caret, caret + 9), u"fffffffe\n");
    EXPECT_EQ(huge.Length(), caret + 9);
    EXPECT_EQ(huge.PosOf(caret - 9), (TTextPos{MaxCount - 2, 0}));
    EXPECT_EQ(huge.UnitAt(caret + 3, U::Line), (TTextSpan{caret, caret + 9}));
    EXPECT_EQ(huge.UnitBefore(caret, U::Word), (TTextSpan{caret - 1, caret}));
    EXPECT_EQ(huge.Text(huge.Visible()), setup.Editor.ShownText());
}

// A line of a million characters without a space, and a list that is longer than an
// int counts: no answer is longer than MaxAnswer, and each holds the offset asked about.
TEST(AccessibleText, AnswersAreBounded) {
    constexpr int Max = TAccessibleText::MaxAnswer;
    TEditorSetup setup;
    setup.Editor.SetText(std::u16string(1000000, u'x') + u"\nend");
    const TAccessibleText text(setup.Editor);
    EXPECT_EQ(text.Text(0, INT_MAX).size(), static_cast<size_t>(Max));
    EXPECT_EQ(text.UnitAt(500000, U::Line), (TTextSpan{500000 - Max / 2, 500000 + Max / 2}));
    EXPECT_EQ(text.UnitAt(10, U::Line), (TTextSpan{0, Max}));
    EXPECT_EQ(text.UnitBefore(1000002, U::Line), (TTextSpan{1000001 - Max, 1000001}));
    EXPECT_EQ(text.UnitAt(3, U::Document), (TTextSpan{0, Max}));
    const TTextSpan word = text.UnitAt(500000, U::Word);
    EXPECT_LE(word.Start, 500000);
    EXPECT_GT(word.End, 500000);
    EXPECT_LE(word.End - word.Start, 2 * WordReach);
    EXPECT_EQ(text.UnitAfter(500000, U::Word).Start, word.End);
}

} // namespace
