#include "editor/EditorSetup.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace {

// A step: a command, or typed text.
struct TStep {
    TStep(TEditCommand command) : Command(command) {}
    TStep(const char16_t* typed) : Typed(typed) {}
    TEditCommand Command = TEditCommand::SelectAll;
    const char16_t* Typed = nullptr;
};

struct TCommandCase {
    const char* Name;
    const char16_t* Text;
    TTextPos Caret;
    std::vector<TStep> Steps;
    const char16_t* Result;
    TTextPos CaretAfter;
    TTextPos AnchorAfter;
};

class CommandTest : public testing::TestWithParam<TCommandCase> {};

TEST_P(CommandTest, EditsAndMovesLikeAMultiLineEdit) {
    const TCommandCase& c = GetParam();
    TEditorSetup setup;
    setup.Editor.SetText(c.Text);
    setup.Editor.SetSelection(c.Caret, c.Caret);
    for (const TStep& step : c.Steps) {
        if (step.Typed != nullptr) {
            setup.Editor.Type(step.Typed);
        } else {
            setup.Editor.Execute(step.Command);
        }
    }
    EXPECT_EQ(setup.Text(), c.Result);
    EXPECT_EQ(setup.Editor.Caret(), c.CaretAfter);
    EXPECT_EQ(setup.Editor.Anchor(), c.AnchorAfter);
}

using C = TEditCommand;
// A line of several chunks: 5000 "x" with a surrogate pair across the second chunk's start,
// then words; another line after it.
const std::u16string LongLine = [] {
    std::u16string line(5000, u'x');
    line.replace(2047, 2, u"\U0001F600");
    return line + u" one two\nnext";
}();
// Rows of "aaaa bbbb cccc dddd": [0, 10) breaking after the space, then [10, 19).
const char16_t* const Wrapped = u"aaaa bbbb cccc dddd";

INSTANTIATE_TEST_SUITE_P(
    Commands, CommandTest,
    testing::Values(
        TCommandCase{"RightStepsOverSurrogatePair",
                     u"a\U0001F600b",
                     {0, 1},
                     {C::CharRight},
                     u"a\U0001F600b",
                     {0, 3},
                     {0, 3}},
        TCommandCase{"LeftExtendTakesWholePair",
                     u"a\U0001F600b",
                     {0, 3},
                     {C::CharLeftExtend},
                     u"a\U0001F600b",
                     {0, 1},
                     {0, 3}},
        TCommandCase{"BackspaceDeletesWholePair",
                     u"a\U0001F600b",
                     {0, 3},
                     {C::DeleteBack},
                     u"ab",
                     {0, 1},
                     {0, 1}},
        TCommandCase{"LeftCollapsesSelectionToItsStart",
                     u"abcd",
                     {0, 3},
                     {C::CharLeftExtend, C::CharLeftExtend, C::CharLeft},
                     u"abcd",
                     {0, 1},
                     {0, 1}},
        TCommandCase{"WordRightStopsAtPunctuation",
                     u"one two, three",
                     {0, 0},
                     {C::WordRight, C::WordRight, C::WordRight},
                     u"one two, three",
                     {0, 9},
                     {0, 9}},
        TCommandCase{"WordLeftExtendSelectsWordBefore",
                     u"one two  three",
                     {0, 9},
                     {C::WordLeftExtend},
                     u"one two  three",
                     {0, 4},
                     {0, 9}},
        TCommandCase{"WordRightCrossesLineBreak",
                     u"ab\ncd",
                     {0, 2},
                     {C::WordRight},
                     u"ab\ncd",
                     {1, 0},
                     {1, 0}},
        TCommandCase{"WordsOfCjkAndEmoji",
                     u"\u4E2D\u6587 \U0001F600\U0001F600x",
                     {0, 0},
                     {C::WordRight, C::WordRight},
                     u"\u4E2D\u6587 \U0001F600\U0001F600x",
                     {0, 7},
                     {0, 7}},
        TCommandCase{
            "DeleteWordBack", u"one two", {0, 7}, {C::DeleteWordBack}, u"one ", {0, 4}, {0, 4}},
        TCommandCase{"DeleteWordForward",
                     u"one two",
                     {0, 0},
                     {C::DeleteWordForward},
                     u"two",
                     {0, 0},
                     {0, 0}},
        TCommandCase{
            "BackspaceJoinsLines", u"ab\ncd", {1, 0}, {C::DeleteBack}, u"abcd", {0, 2}, {0, 2}},
        TCommandCase{
            "DeleteJoinsLines", u"ab\ncd", {0, 2}, {C::DeleteForward}, u"abcd", {0, 2}, {0, 2}},
        TCommandCase{"EnterSplitsLine", u"--", {0, 1}, {C::NewLine}, u"-\n-", {1, 0}, {1, 0}},
        TCommandCase{"TypingReplacesSelection",
                     u"hello",
                     {0, 0},
                     {C::RowEndExtend, u"x"},
                     u"x",
                     {0, 1},
                     {0, 1}},
        TCommandCase{"UndoTakesBackTypedRun",
                     u"--\n",
                     {1, 0},
                     {u"a", u"b", u"c", C::Undo},
                     u"--\n",
                     {1, 0},
                     {1, 0}},
        TCommandCase{"EnterEndsTypingRun",
                     u"",
                     {0, 0},
                     {u"a", u"b", C::NewLine, u"c", C::Undo, C::Undo},
                     u"ab",
                     {0, 2},
                     {0, 2}},
        TCommandCase{"CaretMoveEndsTypingRun",
                     u"",
                     {0, 0},
                     {u"a", u"b", C::CharLeft, C::CharRight, u"c", C::Undo},
                     u"ab",
                     {0, 2},
                     {0, 2}},
        TCommandCase{"RedoRepeatsTypedRun",
                     u"",
                     {0, 0},
                     {u"a", u"b", C::Undo, C::Redo},
                     u"ab",
                     {0, 2},
                     {0, 2}},
        TCommandCase{
            "EndStopsBeforeBreakSpace", Wrapped, {0, 0}, {C::RowEnd}, Wrapped, {0, 9}, {0, 9}},
        TCommandCase{
            "HomeGoesToRowStart", Wrapped, {0, 15}, {C::RowHome}, Wrapped, {0, 10}, {0, 10}},
        TCommandCase{"DownKeepsXAcrossShortRow",
                     u"abcdef\nx\nabcdef",
                     {0, 4},
                     {C::RowDown, C::RowDown},
                     u"abcdef\nx\nabcdef",
                     {2, 4},
                     {2, 4}},
        TCommandCase{
            "DownWalksRowsOfWrappedLine", Wrapped, {0, 2}, {C::RowDown}, Wrapped, {0, 12}, {0, 12}},
        TCommandCase{"LongWordBreaksAnywhere",
                     u"abcdefghijklmnop",
                     {0, 3},
                     {C::RowDown},
                     u"abcdefghijklmnop",
                     {0, 13},
                     {0, 13}},
        TCommandCase{"PageDownMovesAPageOfRows",
                     u"0\n1\n2\n3\n4\n5\n6\n7\n8\n9",
                     {1, 0},
                     {C::PageDownExtend},
                     u"0\n1\n2\n3\n4\n5\n6\n7\n8\n9",
                     {6, 0},
                     {1, 0}},
        TCommandCase{"RightOverPairAtChunkEdge",
                     LongLine.c_str(),
                     {0, 2047},
                     {C::CharRight},
                     LongLine.c_str(),
                     {0, 2049},
                     {0, 2049}},
        TCommandCase{"LeftOverPairAtChunkEdge",
                     LongLine.c_str(),
                     {0, 2049},
                     {C::CharLeft},
                     LongLine.c_str(),
                     {0, 2047},
                     {0, 2047}},
        TCommandCase{"DownThenUpAcrossChunks",
                     LongLine.c_str(),
                     {0, 3071},
                     {C::RowDown, C::RowUp},
                     LongLine.c_str(),
                     {0, 3071},
                     {0, 3071}},
        TCommandCase{"EndOfLastRowOfLongLine",
                     LongLine.c_str(),
                     {1, 2},
                     {C::RowUp, C::RowEnd, C::WordLeft},
                     LongLine.c_str(),
                     {0, 5005},
                     {0, 5005}},
        TCommandCase{
            "SelectAllThenDelete", u"a\nb", {0, 1}, {C::SelectAll, C::Clear}, u"", {0, 0}, {0, 0}}),
    [](const auto& info) { return info.param.Name; });

struct TClipboardCase {
    const char* Name;
    const char* LineBreak;
    const char16_t* Text;
    TEditCommand Command;
    const char* ClipboardAfter;
    const char16_t* TextAfter;
};

class ClipboardTest : public testing::TestWithParam<TClipboardCase> {};

TEST_P(ClipboardTest, CopiesWithThePlatformsLineBreaksAndPastesAnyOfThem) {
    const TClipboardCase& c = GetParam();
    TEditorSetup setup(c.LineBreak);
    setup.View.Clipboard = "x\r\ny\rz\n";
    setup.Editor.SetText(c.Text);
    setup.Editor.Execute(C::SelectAll);
    setup.Editor.Execute(c.Command);
    EXPECT_EQ(setup.View.Clipboard, c.ClipboardAfter);
    EXPECT_EQ(setup.Text(), c.TextAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Clipboard, ClipboardTest,
    testing::Values(TClipboardCase{"CopyLinux", "\n", u"a\n\U0001F600\n", C::Copy,
                                   "a\n\xF0\x9F\x98\x80\n", u"a\n\U0001F600\n"},
                    TClipboardCase{"CopyWindows", "\r\n", u"a\n\U0001F600\n", C::Copy,
                                   "a\r\n\xF0\x9F\x98\x80\r\n", u"a\n\U0001F600\n"},
                    TClipboardCase{"CutWindows", "\r\n", u"a\nb", C::Cut, "a\r\nb", u""},
                    TClipboardCase{"PasteTakesEveryLineBreak", "\r\n", u"old", C::Paste,
                                   "x\r\ny\rz\n", u"x\ny\nz\n"}),
    [](const auto& info) { return info.param.Name; });

TEST(ListEditor, RefusesToCopyHugeSelectionAndKeepsTheClipboard) {
    TEditorSetup setup;
    setup.Editor.SetGeneratedLines(MaxCount);
    setup.Editor.Execute(C::SelectAll);
    setup.Editor.Execute(C::Copy);
    EXPECT_EQ(setup.View.CopiesRefused, 1);
    EXPECT_EQ(setup.View.Clipboard, "earlier content");
    EXPECT_FALSE(setup.Editor.CanExecute(C::Undo));
    setup.Editor.Execute(C::Clear);
    EXPECT_EQ(setup.Editor.Document().LineCount(), 1);
    setup.Editor.Execute(C::Undo);
    EXPECT_EQ(setup.Editor.Document().LineCount(), MaxCount + 1);
    EXPECT_TRUE(setup.Editor.Document().PieceList()[0].Generated);
}

struct TScrollCase {
    const char* Name;
    int64_t Count;
    int Maximum;
    int Page;
};

class ScrollBarTest : public testing::TestWithParam<TScrollCase> {};

// One position per line, or, past the limit, positions spread over the lines: either way
// the ends of the bar are the ends of the text.
TEST_P(ScrollBarTest, EndsOfTheBarAreTheEndsOfTheText) {
    TEditorSetup setup;
    setup.Editor.SetGeneratedLines(GetParam().Count);
    const TScrollBar& bar = setup.Editor.ScrollBar();
    EXPECT_EQ(bar.Maximum, GetParam().Maximum);
    EXPECT_EQ(bar.Page, GetParam().Page);
    setup.Editor.Execute(C::DocumentEnd);
    EXPECT_EQ(bar.Value, bar.Maximum);
    EXPECT_EQ(setup.Editor.LastVisibleLine(), GetParam().Count);
    setup.Editor.ScrollToBar(0);
    EXPECT_EQ(setup.Editor.TopLine(), 0);
    setup.Editor.ScrollToBar(bar.Maximum / 2);
    EXPECT_NEAR(static_cast<double>(setup.Editor.TopLine()), GetParam().Count / 2.0,
                GetParam().Count / 1000.0 + 3);
    setup.Editor.ScrollToBar(bar.Maximum);
    EXPECT_EQ(setup.Editor.LastVisibleLine(), GetParam().Count);
}

INSTANTIATE_TEST_SUITE_P(Counts, ScrollBarTest,
                         testing::Values(TScrollCase{"OnePositionPerLine", 1000, 1000 - 4, 5},
                                         TScrollCase{"SpreadOverTheLargestList", MaxCount, 1 << 30,
                                                     1}),
                         [](const auto& info) { return info.param.Name; });

TEST(ListEditor, MouseClicksDragsAndDoubleClicks) {
    TEditorSetup setup;
    setup.Editor.SetText(u"alpha beta\nsecond line");
    setup.Editor.Click(24, 15, false);
    EXPECT_EQ(setup.Editor.Caret(), (TTextPos{1, 2}));
    setup.Editor.DragTo(54, 0);
    EXPECT_EQ(setup.Editor.Anchor(), (TTextPos{1, 2}));
    EXPECT_EQ(setup.Editor.Caret(), (TTextPos{0, 5}));
    setup.Editor.SelectWordAt(72, 3);
    EXPECT_EQ(setup.Editor.Anchor(), (TTextPos{0, 6}));
    EXPECT_EQ(setup.Editor.Caret(), (TTextPos{0, 10}));
}

TEST(ListEditor, CompositionIsShownAtTheCaretButNotTyped) {
    TEditorSetup setup;
    setup.Editor.SetText(u"--");
    setup.Editor.SetSelection({0, 1}, {0, 1});
    setup.Editor.SetComposition(u"zh", 1);
    const std::vector<TShownRow> rows = setup.Editor.ShownRows();
    ASSERT_EQ(rows[0].Runs.size(), 3u);
    EXPECT_EQ(rows[0].Runs[1].Text, u"zh");
    EXPECT_EQ(rows[0].Runs[1].Kind, TRowRun::TKind::Composed);
    EXPECT_EQ(rows[0].Runs[2].X, 3 * CharWidth);
    EXPECT_EQ(setup.Editor.CaretRect().X, 2 * CharWidth);
    EXPECT_EQ(setup.Text(), u"--");
    setup.Editor.SetComposition({}, 0);
    setup.Editor.Type(u"\u4E2D");
    EXPECT_EQ(setup.Text(), u"-\u4E2D-");
}

TEST(ListEditor, ScreenReadersAreToldWhatAnEditRemovedAndInserted) {
    TEditorSetup setup;
    setup.Editor.SetGeneratedLines(10);
    setup.Editor.SetSelection({2, 0}, {3, 0});
    setup.Editor.Type(u"x");
    ASSERT_EQ(setup.View.Edits.size(), 1u);
    EXPECT_EQ(setup.View.Edits[0].Offset, 4);
    EXPECT_EQ(setup.View.Edits[0].Removed, u"2\n");
    EXPECT_EQ(setup.View.Edits[0].Inserted, u"x");
    EXPECT_EQ(setup.Editor.Document().PieceList().size(), 3u);
}

struct TWheelCase {
    const char* Name;
    int Delta;
    int Turns;
    int LinesPerNotch;
    int64_t TopLine;
};

class WheelTest : public testing::TestWithParam<TWheelCase> {};

// Deltas add up: a touchpad's small ones scroll as far as a wheel's notches.
TEST_P(WheelTest, AddsDeltasUpToRows) {
    const TWheelCase& c = GetParam();
    TEditorSetup setup;
    setup.Editor.SetGeneratedLines(1000);
    setup.Editor.ScrollToLine(100);
    for (int turn = 0; turn < c.Turns; ++turn) {
        setup.Editor.Wheel(c.Delta, c.LinesPerNotch);
    }
    EXPECT_EQ(setup.Editor.TopLine(), c.TopLine);
}

INSTANTIATE_TEST_SUITE_P(Deltas, WheelTest,
                         testing::Values(TWheelCase{"Notch", -120, 1, 3, 103},
                                         TWheelCase{"Fifteens", -15, 8, 3, 103},
                                         TWheelCase{"FifteenUnderARow", -15, 2, 3, 100},
                                         TWheelCase{"Forties", -40, 3, 3, 103},
                                         TWheelCase{"FortyIsARow", -40, 1, 3, 101},
                                         TWheelCase{"Up", 40, 6, 3, 94},
                                         TWheelCase{"APageANotch", -120, 2, -1, 110},
                                         TWheelCase{"NoLines", -120, 4, 0, 100}),
                         [](const auto& info) { return info.param.Name; });

TEST(ListEditor, WheelForgetsWhatWasTurnedTheOtherWay) {
    TEditorSetup setup;
    setup.Editor.SetGeneratedLines(1000);
    setup.Editor.ScrollToLine(100);
    setup.Editor.Wheel(-30, 3);
    setup.Editor.Wheel(30, 3);
    setup.Editor.Wheel(-30, 3);
    EXPECT_EQ(setup.Editor.TopLine(), 100);
}

// However much one entry does, the view hears of each kind of change once.
TEST(ListEditor, EachEntryTellsTheViewOnce) {
    TEditorSetup setup;
    setup.Editor.SetGeneratedLines(1000);
    const auto counts = [&] {
        const std::vector<int> seen{setup.View.Redraws, setup.View.CaretMoves,
                                    setup.View.BarChanges,
                                    static_cast<int>(setup.View.Edits.size())};
        setup.View.Redraws = setup.View.CaretMoves = setup.View.BarChanges = 0;
        setup.View.Edits.clear();
        return seen;
    };
    counts();
    setup.Editor.Execute(C::PageDown);
    EXPECT_EQ(counts(), (std::vector<int>{1, 1, 1, 0}));
    setup.Editor.Execute(C::SelectAll);
    setup.Editor.Execute(C::Cut);
    EXPECT_EQ(counts(), (std::vector<int>{2, 2, 1, 1}));
    setup.Editor.DragTo(5, -5);
    EXPECT_EQ(counts(), (std::vector<int>{1, 1, 0, 0}));
}

} // namespace
