#include "forms/UAboutBox.h"
#include "forms/UFrmRegQQ.h"
#include "forms/UGiveMoney.h"
#include "forms/UMain.h"
#include "forms/UVisitePhone.h"
#include "tests/forms/FakeDesktop.h"
#include "tests/forms/FormTesting.h"
#include "tests/forms/ModalBoxes.h"

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

namespace {

// Runs the main window's menu item `item`; `steps` handle the windows it opens.
void ChooseMenu(const char* item, std::vector<TModalStep> steps) {
    auto* action = Control<QAction>(FrmMain, item);
    ASSERT_TRUE(action->isEnabled());
    RunWithModals([&] { action->trigger(); }, std::move(steps));
}

TModalStep Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    return [key, modifiers](QWidget*) { TypeKey(key, modifiers); };
}

TModalStep Click(const char* button) {
    return [button](QWidget* modal) {
        QTest::mouseClick(Control<QPushButton>(modal, button), Qt::LeftButton);
    };
}

TModalStep CloseBoxOfTitleBar() {
    return [](QWidget* modal) { modal->close(); };
}

class DialogsTest : public testing::Test {
protected:
    void SetUp() override { ShowActive(FrmMain); }
    void TearDown() override { EXPECT_EQ(QApplication::activeModalWidget(), nullptr); }

    TFakeDesktop desktop;
};

struct DialogCase {
    const char* name;
    const char* menuItem;
    TForm** dialog;
    QString caption;
    QSize client;
    const char* button;
    Qt::Key accelerator;
};

const DialogCase kDialogs[] = {
    {"Phone",
     "MnuPhone",
     reinterpret_cast<TForm**>(&FrmVisitePhone),
     "手机二维码访问本软件网站Visite with 2-Dims Code",
     {211, 247},
     "BtnClose",
     Qt::Key_C},
    {"About",
     "MnuAbout",
     reinterpret_cast<TForm**>(&AboutBox),
     "关于本软件About",
     {298, 263},
     "OKButton",
     Qt::Key_O},
};

class InformationDialogTest : public DialogsTest, public testing::WithParamInterface<DialogCase> {};

TEST_P(InformationDialogTest, OpensFixedAndClosesWithEnter) {
    const DialogCase& c = GetParam();
    bool checked = false;
    ChooseMenu(c.menuItem, {[&](QWidget* modal) {
                   checked = true;
                   EXPECT_EQ(modal, *c.dialog);
                   EXPECT_EQ(modal->windowTitle(), c.caption);
                   EXPECT_EQ(modal->size(), c.client);
                   EXPECT_EQ(modal->minimumSize(), modal->maximumSize());
                   EXPECT_FALSE(modal->windowFlags() & Qt::WindowMinimizeButtonHint);
                   EXPECT_FALSE(modal->windowFlags() & Qt::WindowMaximizeButtonHint);
                   EXPECT_EQ(QApplication::focusWidget(), Control<QWidget>(modal, c.button));
                   TypeKey(Qt::Key_Return);
               }});
    EXPECT_TRUE(checked);
    EXPECT_FALSE((*c.dialog)->isVisible());
    EXPECT_TRUE(QTest::qWaitForWindowActive(FrmMain));
}

TEST_P(InformationDialogTest, EscDoesNothingAndCloseBoxCloses) {
    bool stillOpen = false;
    ChooseMenu(GetParam().menuItem, {[&](QWidget* modal) {
                   TypeKey(Qt::Key_Escape);
                   QTest::qWait(20);
                   stillOpen = modal->isVisible();
                   modal->close();
               }});
    EXPECT_TRUE(stillOpen);
    EXPECT_FALSE((*GetParam().dialog)->isVisible());
}

TEST_P(InformationDialogTest, AcceleratorClosesAloneAndWithAlt) {
    ChooseMenu(GetParam().menuItem, {Key(GetParam().accelerator)});
    EXPECT_FALSE((*GetParam().dialog)->isVisible());
    ChooseMenu(GetParam().menuItem, {Key(GetParam().accelerator, Qt::AltModifier)});
    EXPECT_FALSE((*GetParam().dialog)->isVisible());
}

TEST_P(InformationDialogTest, ReopensWhereTheUserLeftIt) {
    TForm* dialog = *GetParam().dialog;
    const QPoint moved(37, 41);
    ChooseMenu(GetParam().menuItem, {[&](QWidget* modal) {
                   modal->move(moved);
                   modal->close();
               }});
    QPoint reopened;
    ChooseMenu(GetParam().menuItem, {[&](QWidget* modal) {
                   reopened = modal->pos();
                   modal->close();
               }});
    EXPECT_EQ(reopened, moved);
    EXPECT_FALSE(dialog->isVisible());
}

INSTANTIATE_TEST_SUITE_P(Dialogs, InformationDialogTest, testing::ValuesIn(kDialogs),
                         [](const auto& info) { return info.param.name; });

TEST_F(DialogsTest, PhoneDialogShowsTheQrCodeAtFullSize) {
    auto* code = Control<QLabel>(FrmVisitePhone, "Img2DimsCode");
    ChooseMenu("MnuPhone", {CloseBoxOfTitleBar()});
    EXPECT_EQ(code->pixmap().size(), QSize(210, 210));
}

TEST_F(DialogsTest, AboutBoxShowsVersionAndIcon) {
    EXPECT_EQ(Control<QLabel>(AboutBox, "Version")->text(), "版本号Version：2025");
    EXPECT_EQ(Control<QLabel>(AboutBox, "ProgramIcon")->pixmap().size(), QSize(32, 32));
    EXPECT_TRUE(Control<QPushButton>(AboutBox, "OKButton")->isDefault());
}

struct ClosingCase {
    const char* name;
    TModalStep close;
};

class SupportDialogClosingTest : public DialogsTest,
                                 public testing::WithParamInterface<ClosingCase> {};

TEST_P(SupportDialogClosingTest, ShowsOkAfterwards) {
    TSeenBox ok;
    ChooseMenu("MnuRegiste", {GetParam().close, CloseBox(ok)});
    EXPECT_FALSE(FrmGiveMoney->isVisible());
    EXPECT_TRUE(ok.shown);
    EXPECT_EQ(ok.text, "OK!");
    EXPECT_EQ(ok.icon, QMessageBox::NoIcon);
}

INSTANTIATE_TEST_SUITE_P(Ways, SupportDialogClosingTest,
                         testing::Values(ClosingCase{"CloseBox", CloseBoxOfTitleBar()},
                                         ClosingCase{"CloseButton", Click("BitBtn1")},
                                         ClosingCase{"AltC", Key(Qt::Key_C, Qt::AltModifier)}),
                         [](const auto& info) { return info.param.name; });

TEST_F(DialogsTest, SupportDialogFirstFocusAndFocusOrder) {
    // Runs first among the support dialog's tests that move the focus.
    QStringList order;
    TSeenBox ok;
    ChooseMenu("MnuRegiste", {[&](QWidget* modal) {
                                  for (int i = 0; i < 7; ++i) {
                                      order << QApplication::focusWidget()->objectName();
                                      TypeKey(Qt::Key_Tab);
                                  }
                                  Control<QWidget>(modal, "BitBtn1")->setFocus();
                                  TypeKey(Qt::Key_Return);
                              },
                              CloseBox(ok)});
    EXPECT_EQ(order, QStringList({"BitBtn1", "btnBtnCopyBank1", "btnBtnCopyEmail",
                                  "btnBtnCopyBank2", "Memo", "BtnRegQQ", "BtnCopyPhone"}));
    EXPECT_TRUE(ok.shown);
}

TEST_F(DialogsTest, RemembersTheFocusBetweenOpenings) {
    TSeenBox ok;
    ChooseMenu("MnuRegiste", {[](QWidget* modal) {
                                  Control<QWidget>(modal, "btnBtnCopyEmail")->setFocus();
                                  TypeKey(Qt::Key_Space);
                                  modal->close();
                              },
                              CloseBox(ok)});
    desktop.Clipboard.clear();
    ChooseMenu("MnuRegiste", {[](QWidget* modal) {
                                  TypeKey(Qt::Key_Return);
                                  modal->close();
                              },
                              CloseBox(ok)});
    EXPECT_EQ(desktop.Clipboard, "pay@quorvin.example.org");
    ChooseMenu("MnuRegiste", {[](QWidget* modal) {
                                  Control<QWidget>(modal, "BitBtn1")->setFocus();
                                  modal->close();
                              },
                              CloseBox(ok)});
}

struct CopyCase {
    const char* name;
    const char* button;
    const char* label;
};

class CopyButtonTest : public DialogsTest, public testing::WithParamInterface<CopyCase> {};

TEST_P(CopyButtonTest, CopiesTheCaptionExactly) {
    const QString caption = Control<QLabel>(FrmGiveMoney, GetParam().label)->text();
    TSeenBox ok;
    ChooseMenu("MnuRegiste", {[&](QWidget* modal) {
                                  Click(GetParam().button)(modal);
                                  EXPECT_TRUE(modal->isVisible());
                                  modal->close();
                              },
                              CloseBox(ok)});
    EXPECT_EQ(desktop.Clipboard, caption.toStdString());
    EXPECT_FALSE(caption.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Buttons, CopyButtonTest,
                         testing::Values(CopyCase{"FirstCard", "btnBtnCopyBank1", "LblBankCB"},
                                         CopyCase{"Alipay", "btnBtnCopyEmail", "LblEmail"},
                                         CopyCase{"SecondCard", "btnBtnCopyBank2", "LblBankCCB"},
                                         CopyCase{"Phone", "BtnCopyPhone", "LblPhone"}),
                         [](const auto& info) { return info.param.name; });

TEST_F(DialogsTest, ClipboardFailureShowsTheErrorBox) {
    desktop.ClipboardAvailable = false;
    TSeenBox error, ok;
    ChooseMenu("MnuRegiste",
               {Click("btnBtnCopyBank1"), CloseBox(error), CloseBoxOfTitleBar(), CloseBox(ok)});
    EXPECT_EQ(error.text, "Cannot open clipboard.");
    EXPECT_EQ(error.icon, QMessageBox::Critical);
    EXPECT_EQ(desktop.Clipboard, "earlier content");
    EXPECT_TRUE(ok.shown);
}

TEST_F(DialogsTest, QqDialogReturnsToTheSupportDialog) {
    bool supportStillOpen = false;
    TSeenBox ok;
    ChooseMenu("MnuRegiste", {Click("BtnRegQQ"),
                              [&](QWidget* modal) {
                                  EXPECT_EQ(modal, FrmRegQQ);
                                  EXPECT_EQ(modal->windowTitle(), "用QQ付款");
                                  EXPECT_EQ(modal->size(), QSize(379, 519));
                                  TypeKey(Qt::Key_C);
                              },
                              [&](QWidget* modal) {
                                  supportStillOpen = modal == FrmGiveMoney;
                                  modal->close();
                              },
                              CloseBox(ok)});
    EXPECT_TRUE(supportStillOpen);
    EXPECT_TRUE(ok.shown);
}

TEST_F(DialogsTest, SupportDialogShowsThePictureFittedToItsBox) {
    TSeenBox ok;
    ChooseMenu("MnuRegiste", {CloseBoxOfTitleBar(), CloseBox(ok)});
    EXPECT_EQ(FrmGiveMoney->size(), QSize(884, 494));
    EXPECT_EQ(Control<QLabel>(FrmGiveMoney, "Image1")->pixmap().size(), QSize(505, 393));
}

} // namespace
