#include "forms/UMain.h"
#include "tests/forms/FormTesting.h"
#include "tests/forms/ModalBoxes.h"
#include "widgets/ListMemo.h"

#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

struct AcceleratorCase {
    const char* Name;
    QString Caption;
    QChar Accelerator;
};

class AcceleratorOfTest : public testing::TestWithParam<AcceleratorCase> {};

TEST_P(AcceleratorOfTest, FindsTheMarkedCharacter) {
    EXPECT_EQ(AcceleratorOf(GetParam().Caption), GetParam().Accelerator);
}

INSTANTIATE_TEST_SUITE_P(
    Captions, AcceleratorOfTest,
    testing::Values(AcceleratorCase{"Letter", "关闭&Close", u'c'},
                    AcceleratorCase{"InParentheses", "关闭(&Close)", u'c'},
                    AcceleratorCase{"Space", "Reawd word &  sentence.urg....", u' '},
                    AcceleratorCase{"None", "复制卡号Copy CardNumber", QChar()},
                    AcceleratorCase{"DoubledIsShown", "A&&B", QChar()},
                    AcceleratorCase{"AfterDoubled", "A&&&B", u'b'},
                    AcceleratorCase{"TrailingMark", "End&", QChar()}),
    [](const auto& info) { return info.param.Name; });

class MainWindowKeysTest : public testing::Test {
protected:
    void SetUp() override { ShowActive(&Window); }

    void Focus(const char* name) {
        QWidget* control = Control<QWidget>(&Window, name);
        control->setFocus();
        ASSERT_EQ(QApplication::focusWidget(), control);
    }
    // Types `key` and reports whether the "OK!" box of Button1 showed.
    bool KeyShowsOk(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        const TSeenBox box = RunClosingBox([&] { TypeKey(key, modifiers); });
        if (box.Shown) {
            EXPECT_EQ(box.Text, "OK!");
            EXPECT_EQ(box.Caption, "Quorvin");
            EXPECT_EQ(box.Icon, QMessageBox::NoIcon);
        }
        return box.Shown;
    }

    TFrmMain Window;
};

TEST_F(MainWindowKeysTest, EnterAtStartPressesButton1) {
    EXPECT_TRUE(KeyShowsOk(Qt::Key_Return));
}

TEST_F(MainWindowKeysTest, EscClosesThePlainBox) {
    const TSeenBox box = RunClosingBox([&] { TypeKey(Qt::Key_Return); }, Qt::Key_Escape);
    EXPECT_TRUE(box.Shown);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(MainWindowKeysTest, SpaceOnAnyButtonRunsButton1AndFocusComesBack) {
    for (const char* button : {"Button1", "BtnGetMemoryValue", "BtnGerMemoryValueList"}) {
        Focus(button);
        EXPECT_TRUE(KeyShowsOk(Qt::Key_Space)) << button;
        EXPECT_TRUE(QTest::qWaitForWindowActive(&Window));
        EXPECT_EQ(QApplication::focusWidget(), Control<QWidget>(&Window, button)) << button;
    }
    EXPECT_EQ(Control<TListMemo>(&Window, "MemoMemoryList")->Text(), "--\n");
}

// As in a Windows dialog: Shift or Ctrl with the space is still the space; Alt makes it
// the window menu's key.
TEST_F(MainWindowKeysTest, SpaceWithShiftOrCtrlRunsButton1AndWithAltNothing) {
    const std::pair<Qt::KeyboardModifiers, bool> cases[] = {
        {Qt::ShiftModifier, true},
        {Qt::ControlModifier, true},
        {Qt::ControlModifier | Qt::ShiftModifier, true},
        {Qt::AltModifier, false},
    };
    for (const auto& [modifiers, shows] : cases) {
        for (const char* button : {"Button1", "BtnGetMemoryValue"}) {
            Focus(button);
            EXPECT_EQ(KeyShowsOk(Qt::Key_Space, modifiers), shows) << button << modifiers;
            EXPECT_TRUE(QTest::qWaitForWindowActive(&Window));
        }
    }
    EXPECT_EQ(Control<QLineEdit>(&Window, "EditShowValue")->text(), "-");
}

TEST_F(MainWindowKeysTest, EnterPressesOnlyTheFocusedButton) {
    Focus("BtnGetMemoryValue");
    Control<QLineEdit>(&Window, "EditMemoryAddress")->setText("67");
    EXPECT_FALSE(KeyShowsOk(Qt::Key_Return));
    EXPECT_EQ(Control<QLineEdit>(&Window, "EditShowValue")->text(), "C");
}

TEST_F(MainWindowKeysTest, EnterInAnEditPressesNothing) {
    for (const char* edit : {"EditMemoryAddress", "EditShowValue", "EditMemoryCounter"}) {
        Focus(edit);
        EXPECT_FALSE(KeyShowsOk(Qt::Key_Return)) << edit;
        EXPECT_FALSE(KeyShowsOk(Qt::Key_Enter)) << edit;
    }
    EXPECT_EQ(Control<TListMemo>(&Window, "MemoMemoryList")->Text(), "--\n");
}

TEST_F(MainWindowKeysTest, SpaceAndLettersInEditsAreText) {
    Focus("EditMemoryAddress");
    QTest::keyClicks(QApplication::focusWidget(), " c");
    EXPECT_EQ(Control<QLineEdit>(&Window, "EditMemoryAddress")->text(), "1 c");
}

TEST_F(MainWindowKeysTest, MemoTakesEnterAsLineBreakAndTabMovesOn) {
    Focus("MemoMemoryList");
    TypeKey(Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(QApplication::focusWidget(), "ab");
    TypeKey(Qt::Key_Return);
    EXPECT_EQ(Control<TListMemo>(&Window, "MemoMemoryList")->Text(), "--\nab\n");
    TypeKey(Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), Control<QWidget>(&Window, "EditMemoryCounter"));

    Focus("MemoNote");
    auto* note = Control<QPlainTextEdit>(&Window, "MemoNote");
    note->moveCursor(QTextCursor::Start);
    TypeKey(Qt::Key_Return);
    EXPECT_TRUE(note->toPlainText().startsWith("\n使用注意事项"));
}

TEST_F(MainWindowKeysTest, TabVisitsTheControlsInWindowOrder) {
    Focus("Button1");
    for (const char* next :
         {"EditMemoryAddress", "BtnGetMemoryValue", "EditShowValue", "MemoNote", "MemoMemoryList",
          "EditMemoryCounter", "BtnGerMemoryValueList", "Button1"}) {
        TypeKey(Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget()->objectName(), next);
    }
}

TEST_F(MainWindowKeysTest, AltFOpensTheFileMenu) {
    auto* fileMenu = Control<QMenu>(&Window, "MnuFile");
    QTest::keyClick(&Window, Qt::Key_F, Qt::AltModifier);
    QTRY_VERIFY(fileMenu->isVisible());
    QTest::keyClick(fileMenu, Qt::Key_Escape);
    QTRY_VERIFY(!fileMenu->isVisible());
}

} // namespace
