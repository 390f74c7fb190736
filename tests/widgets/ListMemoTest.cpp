#include "widgets/ListMemo.h"
#include "editor/AccessibleText.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMessageBox>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <climits>
#include <vector>

namespace {

constexpr int64_t MaxCount = INT32_MAX;

// A window with the memo and an edit after it, shown and focused on the memo.
class ListMemoTest : public testing::Test {
protected:
    void SetUp() override {
        auto* layout = new QVBoxLayout(&Window);
        Memo = new TListMemo(&Window);
        Next = new QLineEdit(&Window);
        layout->addWidget(Memo);
        layout->addWidget(Next);
        Window.resize(385, 200);
        Window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&Window));
        Window.activateWindow();
        Memo->setFocus();
        QApplication::processEvents();
    }

    void Keys(const std::vector<QKeyCombination>& keys) {
        for (const QKeyCombination key : keys) {
            QTest::keyClick(Memo, key.key(), key.keyboardModifiers());
        }
    }

    // The middle of a character of the memo, in viewport coordinates.
    QPoint PointOf(TTextPos pos) const {
        return Memo->viewport()->mapFromGlobal(
            Memo->ScreenRect(Memo->Editor().CharacterRect(pos)).center());
    }

    QWidget Window;
    TListMemo* Memo = nullptr;
    QLineEdit* Next = nullptr;
};

struct KeyCase {
    const char* Name;
    QString Text;
    TTextPos Caret;
    QString Typed;
    std::vector<QKeyCombination> Keys;
    QString Result;
    TTextPos CaretAfter;
};

class ListMemoKeyTest : public ListMemoTest, public testing::WithParamInterface<KeyCase> {};

TEST_P(ListMemoKeyTest, EditsLikeATextEdit) {
    const KeyCase& c = GetParam();
    Memo->SetText(c.Text);
    Memo->Editor().SetSelection(c.Caret, c.Caret);
    QTest::keyClicks(Memo, c.Typed);
    Keys(c.Keys);
    EXPECT_EQ(Memo->Text(), c.Result);
    EXPECT_EQ(Memo->Editor().Caret(), c.CaretAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, ListMemoKeyTest,
    testing::Values(
        KeyCase{"Typing", "--\n", {0, 2}, "ab", {}, "--ab\n", {0, 4}},
        KeyCase{"Enter", "--\n", {0, 1}, "", {Qt::Key_Return}, "-\n-\n", {1, 0}},
        KeyCase{"BackspaceJoinsLines", "ab\ncd", {1, 0}, "", {Qt::Key_Backspace}, "abcd", {0, 2}},
        KeyCase{"DeleteJoinsLines", "ab\ncd", {0, 2}, "", {Qt::Key_Delete}, "abcd", {0, 2}},
        KeyCase{"ShiftSelectionIsReplaced",
                "hello\n",
                {0, 0},
                "",
                {Qt::SHIFT | Qt::Key_End, Qt::Key_X},
                "x\n",
                {0, 1}},
        KeyCase{"UndoTakesBackTypedWord",
                "--\n",
                {1, 0},
                "abc",
                {Qt::CTRL | Qt::Key_Z},
                "--\n",
                {1, 0}},
        KeyCase{"RedoWithCtrlY",
                "--\n",
                {1, 0},
                "abc",
                {Qt::CTRL | Qt::Key_Z, Qt::CTRL | Qt::Key_Y},
                "--\nabc",
                {1, 3}},
        KeyCase{"CutAndPaste",
                "one two",
                {0, 0},
                "",
                {Qt::SHIFT | Qt::CTRL | Qt::Key_Right, Qt::CTRL | Qt::Key_X, Qt::CTRL | Qt::Key_End,
                 Qt::CTRL | Qt::Key_V},
                "twoone ",
                {0, 7}},
        KeyCase{"DownKeepsColumn",
                "abcd\nx\nabcd",
                {0, 3},
                "",
                {Qt::Key_Down, Qt::Key_Down, Qt::Key_Z},
                "abcd\nx\nabczd",
                {2, 4}}),
    [](const auto& info) { return info.param.Name; });

TEST_F(ListMemoTest, InputMethodCommitsChinese) {
    Memo->SetText("--\n");
    Memo->Editor().SetSelection({0, 2}, {0, 2});
    QInputMethodEvent composing("zhong", {});
    QApplication::sendEvent(Memo, &composing);
    EXPECT_EQ(Memo->Text(), "--\n");
    QInputMethodEvent commit;
    commit.setCommitString(QString::fromUtf8("中文"));
    QApplication::sendEvent(Memo, &commit);
    EXPECT_EQ(Memo->Text(), QString::fromUtf8("--中文\n"));
    EXPECT_EQ(Memo->inputMethodQuery(Qt::ImSurroundingText).toString(),
              QString::fromUtf8("--中文"));
}

TEST_F(ListMemoTest, CopiesSmallSelection) {
    Memo->SetGeneratedLines(10);
    Keys({Qt::SHIFT | Qt::Key_Down, Qt::SHIFT | Qt::Key_Down, Qt::CTRL | Qt::Key_C});
    EXPECT_EQ(QApplication::clipboard()->text(), "0\n1\n");
}

TEST_F(ListMemoTest, MouseDragSelectsAndDoubleClickSelectsWord) {
    Memo->SetText("alpha beta\nsecond line\n");
    QTest::mousePress(Memo->viewport(), Qt::LeftButton, {}, PointOf({0, 0}) - QPoint(2, 0));
    QTest::mouseMove(Memo->viewport(), PointOf({1, 3}) - QPoint(2, 0));
    QTest::mouseRelease(Memo->viewport(), Qt::LeftButton, {}, PointOf({1, 3}) - QPoint(2, 0));
    EXPECT_EQ(Memo->Editor().Anchor(), (TTextPos{0, 0}));
    EXPECT_EQ(Memo->Editor().Caret(), (TTextPos{1, 3}));

    QTest::mouseDClick(Memo->viewport(), Qt::LeftButton, {}, PointOf({0, 7}));
    EXPECT_EQ(Memo->Editor().Anchor(), (TTextPos{0, 6}));
    EXPECT_EQ(Memo->Editor().Caret(), (TTextPos{0, 10}));
}

TEST_F(ListMemoTest, PageDownAndWheelScrollByRows) {
    Memo->SetGeneratedLines(1000);
    Keys({Qt::Key_PageDown});
    const int64_t top = Memo->verticalScrollBar()->value();
    EXPECT_GT(top, 0);
    EXPECT_EQ(Memo->Editor().Caret(), (TTextPos{top, 0}));
    EXPECT_EQ(Memo->verticalScrollBar()->value(), top);

    // A touchpad's small deltas add up to the rows of a notch; a wheel's notch scrolls them
    // at once.
    const int notch = QApplication::wheelScrollLines();
    for (const int delta : {15, 40, 120}) {
        const int64_t before = Memo->verticalScrollBar()->value();
        for (int turned = 0; turned < 120; turned += delta) {
            const QPoint inside = Memo->viewport()->rect().center();
            QWheelEvent wheel(inside, Memo->viewport()->mapToGlobal(inside), {}, {0, -delta},
                              Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(Memo->viewport(), &wheel);
        }
        EXPECT_EQ(Memo->verticalScrollBar()->value(), before + notch) << delta;
    }
    EXPECT_EQ(Memo->Editor().Caret(), (TTextPos{top, 0}));
}

TEST_F(ListMemoTest, TabMovesFocusOn) {
    Keys({Qt::Key_Tab});
    EXPECT_TRUE(Next->hasFocus());
    EXPECT_EQ(Memo->Text(), "");
}

TEST_F(ListMemoTest, ScreenReadersAreAnsweredByTheEditor) {
    Memo->SetGeneratedLines(MaxCount);
    QAccessibleTextInterface* text = QAccessible::queryAccessibleInterface(Memo)->textInterface();
    ASSERT_NE(text, nullptr);
    const TAccessibleText editor(Memo->Editor());
    EXPECT_EQ(text->characterCount(), editor.Length());
    EXPECT_EQ(text->text(0, 20), QString::fromStdU16String(editor.Text(0, 20)));
    // Qt's boundaries as the editor's units: lines are rows, paragraphs and sentences the
    // document's lines, no boundary the whole (bounded) text.
    const std::pair<QAccessible::TextBoundaryType, TTextUnit> units[] = {
        {QAccessible::CharBoundary, TTextUnit::Character},
        {QAccessible::WordBoundary, TTextUnit::Word},
        {QAccessible::LineBoundary, TTextUnit::Row},
        {QAccessible::SentenceBoundary, TTextUnit::Line},
        {QAccessible::ParagraphBoundary, TTextUnit::Line},
        {QAccessible::NoBoundary, TTextUnit::Document},
    };
    for (const auto& [boundary, unit] : units) {
        int start = -1;
        int end = -1;
        const QString at = text->textAtOffset(3, boundary, &start, &end);
        EXPECT_EQ((TTextSpan{start, end}), editor.UnitAt(3, unit)) << boundary;
        EXPECT_EQ(at, QString::fromStdU16String(editor.Text(editor.UnitAt(3, unit))));
        text->textBeforeOffset(3, boundary, &start, &end);
        EXPECT_EQ((TTextSpan{start, end}), editor.UnitBefore(3, unit)) << boundary;
        text->textAfterOffset(3, boundary, &start, &end);
        EXPECT_EQ((TTextSpan{start, end}), editor.UnitAfter(3, unit)) << boundary;
    }
    Keys({Qt::Key_Down, Qt::SHIFT | Qt::Key_Down});
    EXPECT_EQ(text->cursorPosition(), 4);
    int start = -1;
    int end = -1;
    text->selection(0, &start, &end);
    EXPECT_EQ((TTextSpan{start, end}), (TTextSpan{2, 4}));
    text->setSelection(0, 6, 8);
    EXPECT_EQ(Memo->Editor().Anchor(), (TTextPos{3, 0}));
    EXPECT_EQ(Memo->Editor().Caret(), (TTextPos{4, 0}));
    const QRect rect = text->characterRect(2);
    EXPECT_EQ(text->offsetAtPoint(rect.topLeft() + QPoint(1, 1)), 2);
}

TEST_F(ListMemoTest, RefusesToCopyHugeSelection) {
    Memo->SetGeneratedLines(MaxCount);
    QApplication::clipboard()->setText("before");
    int refused = 0;
    QObject::connect(Memo, &TListMemo::CopyRefused, [&refused] { ++refused; });
    Keys({Qt::CTRL | Qt::Key_A, Qt::CTRL | Qt::Key_C});
    EXPECT_EQ(refused, 1);
    EXPECT_EQ(QApplication::clipboard()->text(), "before");
}

TEST_F(ListMemoTest, ScrollBarKeepsCountingPastIntRange) {
    Memo->SetGeneratedLines(MaxCount);
    Keys({Qt::CTRL | Qt::Key_End});
    QTest::keyClicks(Memo, "x");
    for (int i = 0; i < 50; ++i) {
        Keys({Qt::Key_Return});
    }
    const QScrollBar* bar = Memo->verticalScrollBar();
    EXPECT_EQ(Memo->Editor().LineCount(), MaxCount + 51);
    EXPECT_EQ(bar->value(), bar->maximum());
    Keys({Qt::CTRL | Qt::Key_Home});
    EXPECT_EQ(bar->value(), 0);
}

// A line far longer than a layout chunk: 5000 "x", an emoji across a chunk
// boundary, then words.
QString LongLine() {
    QString line(5000, QLatin1Char('x'));
    line.replace(2047, 2, QString::fromUtf8("\U0001F600"));
    return line + QStringLiteral(" one two");
}

TEST_F(ListMemoTest, WrapsLongLineIntoRowsAndEditsIt) {
    Memo->SetText(LongLine());
    Memo->Editor().SetSelection({0, 0}, {0, 0});
    Keys({Qt::Key_Down});
    const int64_t rowWidth = Memo->Editor().Caret().Column;
    EXPECT_GT(rowWidth, 10);
    EXPECT_LT(rowWidth, 200);
    Keys({Qt::Key_End});
    EXPECT_EQ(Memo->Editor().Caret().Column, 2 * rowWidth);

    Memo->Editor().SetSelection({0, 4000}, {0, 4000});
    QTest::keyClicks(Memo, "ab");
    EXPECT_EQ(Memo->LineText(0).mid(3999, 4), "xabx");
    const QRect caret = Memo->ScreenRect(Memo->Editor().CharacterRect(Memo->Editor().Caret()));
    EXPECT_TRUE(Memo->viewport()->rect().contains(Memo->viewport()->mapFromGlobal(caret.center())));
    Keys({Qt::CTRL | Qt::Key_Z});
    EXPECT_EQ(Memo->LineText(0), LongLine());
    EXPECT_EQ(Memo->Editor().Caret(), (TTextPos{0, 4000}));
}

TEST_F(ListMemoTest, PastesLongLineFromUtf8) {
    QApplication::clipboard()->setText(LongLine());
    Keys({Qt::CTRL | Qt::Key_V});
    EXPECT_EQ(Memo->Text(), LongLine());
    EXPECT_EQ(Memo->Editor().Caret(), (TTextPos{0, LongLine().size()}));
    EXPECT_EQ(Memo->Editor().LastVisibleLine(), 0);
}

} // namespace
