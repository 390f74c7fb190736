#include "core/MakerDetails.h"
#include "forms/UAboutBox.h"
#include "forms/UFrmRegQQ.h"
#include "forms/UGiveMoney.h"
#include "forms/UMain.h"
#include "forms/UVisitePhone.h"
#include "tests/forms/FakeDesktop.h"
#include "tests/forms/FormTesting.h"
#include "tests/forms/ModalBoxes.h"

#include <QAction>
#include <QFocusEvent>
#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QWindow>
#include <functional>
#include <memory>

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

    TFakeDesktop Desktop;
};

struct DialogCase {
    const char* Name;
    const char* MenuItem;
    TForm** Dialog;
    QString Caption;
    QSize Client;
    const char* Button;
    Qt::Key Accelerator;
};

const DialogCase Dialogs[] = {
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
    ChooseMenu(c.MenuItem, {[&](QWidget* modal) {
                   checked = true;
                   EXPECT_EQ(modal, *c.Dialog);
                   EXPECT_EQ(modal->windowTitle(), c.Caption);
                   EXPECT_EQ(modal->size(), c.Client);
                   EXPECT_EQ(modal->minimumSize(), modal->maximumSize());
                   EXPECT_FALSE(modal->windowFlags() & Qt::WindowMinimizeButtonHint);
                   EXPECT_FALSE(modal->windowFlags() & Qt::WindowMaximizeButtonHint);
                   EXPECT_EQ(QApplication::focusWidget(), Control<QWidget>(modal, c.Button));
                   TypeKey(Qt::Key_Return);
               }});
    EXPECT_TRUE(checked);
    EXPECT_FALSE((*c.Dialog)->isVisible());
    EXPECT_TRUE(QTest::qWaitForWindowActive(FrmMain));
}

TEST_P(InformationDialogTest, EscDoesNothingAndCloseBoxCloses) {
    bool stillOpen = false;
    ChooseMenu(GetParam().MenuItem, {[&](QWidget* modal) {
                   TypeKey(Qt::Key_Escape);
                   QTest::qWait(20);
                   stillOpen = modal->isVisible();
                   modal->close();
               }});
    EXPECT_TRUE(stillOpen);
    EXPECT_FALSE((*GetParam().Dialog)->isVisible());
}

TEST_P(InformationDialogTest, AcceleratorClosesAloneAndWithAlt) {
    ChooseMenu(GetParam().MenuItem, {Key(GetParam().Accelerator)});
    EXPECT_FALSE((*GetParam().Dialog)->isVisible());
    ChooseMenu(GetParam().MenuItem, {Key(GetParam().Accelerator, Qt::AltModifier)});
    EXPECT_FALSE((*GetParam().Dialog)->isVisible());
}

TEST_P(InformationDialogTest, ReopensWhereTheUserLeftIt) {
    TForm* dialog = *GetParam().Dialog;
    const QPoint moved(37, 41);
    ChooseMenu(GetParam().MenuItem, {[&](QWidget* modal) {
                   modal->move(moved);
                   modal->close();
               }});
    QPoint reopened;
    ChooseMenu(GetParam().MenuItem, {[&](QWidget* modal) {
                   reopened = modal->pos();
                   modal->close();
               }});
    EXPECT_EQ(reopened, moved);
    EXPECT_FALSE(dialog->isVisible());
}

TEST_P(InformationDialogTest, IsADialogOfTheMainWindowWithoutCaptionIcon) {
    QWindow* owner = nullptr;
    bool iconless = false;
    ChooseMenu(GetParam().MenuItem, {[&](QWidget* modal) {
                   owner = modal->windowHandle()->transientParent();
                   iconless = modal->windowIcon().isNull();
                   modal->close();
               }});
    EXPECT_EQ(owner, FrmMain->windowHandle());
    EXPECT_TRUE(iconless);
    EXPECT_FALSE(FrmMain->windowIcon().isNull());
}

TEST_P(InformationDialogTest, ComesBackWhenTheBlockedMainWindowIsActivated) {
    bool restored = false;
    ChooseMenu(GetParam().MenuItem, {[&](QWidget* modal) {
                   modal->showMinimized();
                   FrmMain->activateWindow();
                   QApplication::setActiveWindow(FrmMain);
                   restored = !modal->isMinimized() && modal->isVisible();
                   modal->close();
               }});
    EXPECT_TRUE(restored);
}

INSTANTIATE_TEST_SUITE_P(Dialogs, InformationDialogTest, testing::ValuesIn(Dialogs),
                         [](const auto& info) { return info.param.Name; });

TEST_F(DialogsTest, PhoneDialogShowsTheQrCodeAtFullSize) {
    auto* code = Control<QLabel>(FrmVisitePhone, "Img2DimsCode");
    ChooseMenu("MnuPhone", {CloseBoxOfTitleBar()});
    EXPECT_EQ(code->pixmap().size(), QSize(210, 210));
}

TEST_F(DialogsTest, AboutBoxShowsVersionAndIcon) {
    EXPECT_EQ(Control<QLabel>(AboutBox, "Version")->text(), "版本号Version：2025");
    EXPECT_EQ(Control<QLabel>(AboutBox, "ProgramIcon")->pixmap().size(), QSize(32, 32));
    auto* panel = Control<QFrame>(AboutBox, "Panel1");
    EXPECT_EQ(panel->frameShape(), QFrame::Box);
    EXPECT_EQ(panel->frameShadow(), QFrame::Sunken);
}

TEST_F(DialogsTest, AboutBoxOkStaysTheDefaultButtonAfterLosingTheFocus) {
    auto* ok = Control<QPushButton>(AboutBox, "OKButton");
    EXPECT_TRUE(ok->isDefault());
    QFocusEvent focusIn(QEvent::FocusIn, Qt::TabFocusReason);
    QApplication::sendEvent(ok, &focusIn);
    QFocusEvent focusOut(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(ok, &focusOut);
    EXPECT_TRUE(ok->isDefault());
}

TEST_F(DialogsTest, AlipayAccountFitsItsLabel) {
    auto* label = Control<QLabel>(FrmGiveMoney, "LblEmail");
    EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), 99);
}

struct ClosingCase {
    const char* Name;
    TModalStep Close;
};

class SupportDialogClosingTest : public DialogsTest,
                                 public testing::WithParamInterface<ClosingCase> {};

TEST_P(SupportDialogClosingTest, ShowsOkAfterwards) {
    TSeenBox ok;
    ChooseMenu("MnuRegiste", {GetParam().Close, CloseBox(ok)});
    EXPECT_FALSE(FrmGiveMoney->isVisible());
    EXPECT_TRUE(ok.Shown);
    EXPECT_EQ(ok.Text, "OK!");
    EXPECT_EQ(ok.Icon, QMessageBox::NoIcon);
}

INSTANTIATE_TEST_SUITE_P(Ways, SupportDialogClosingTest,
                         testing::Values(ClosingCase{"CloseBox", CloseBoxOfTitleBar()},
                                         ClosingCase{"CloseButton", Click("BitBtn1")},
                                         ClosingCase{"AltC", Key(Qt::Key_C, Qt::AltModifier)}),
                         [](const auto& info) { return info.param.Name; });

// Puts a new window of class T in the place of the program's one for as long as it lives,
// so that a test sees a first opening whatever ran before it.
template <class T> class TFreshForm {
public:
    explicit TFreshForm(T*& global) : Global(global), Previous(global) { Global = &Fresh; }
    ~TFreshForm() { Global = Previous; }

private:
    T Fresh;
    T*& Global;
    T* Previous;
};

TEST_F(DialogsTest, SupportDialogFirstFocusAndFocusOrder) {
    const TFreshForm<TFrmGiveMoney> firstOpening(FrmGiveMoney);
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
    EXPECT_TRUE(ok.Shown);
}

TEST_F(DialogsTest, RemembersTheFocusBetweenOpenings) {
    TSeenBox ok;
    ChooseMenu("MnuRegiste", {[](QWidget* modal) {
                                  Control<QWidget>(modal, "btnBtnCopyEmail")->setFocus();
                                  TypeKey(Qt::Key_Space);
                                  modal->close();
                              },
                              CloseBox(ok)});
    Desktop.Clipboard.clear();
    ChooseMenu("MnuRegiste", {[](QWidget* modal) {
                                  TypeKey(Qt::Key_Return);
                                  modal->close();
                              },
                              CloseBox(ok)});
    EXPECT_EQ(Desktop.Clipboard, AlipayAccount);
    ChooseMenu("MnuRegiste", {[](QWidget* modal) {
                                  Control<QWidget>(modal, "BitBtn1")->setFocus();
                                  modal->close();
                              },
                              CloseBox(ok)});
}

struct CopyCase {
    const char* Name;
    const char* Button;
    const char* Label;
};

class CopyButtonTest : public DialogsTest, public testing::WithParamInterface<CopyCase> {};

TEST_P(CopyButtonTest, CopiesTheCaptionExactly) {
    const QString caption = Control<QLabel>(FrmGiveMoney, GetParam().Label)->text();
    TSeenBox ok;
    ChooseMenu("MnuRegiste", {[&](QWidget* modal) {
                                  Click(GetParam().Button)(modal);
                                  EXPECT_TRUE(modal->isVisible());
                                  modal->close();
                              },
                              CloseBox(ok)});
    EXPECT_EQ(Desktop.Clipboard, caption.toStdString());
    EXPECT_FALSE(caption.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Buttons, CopyButtonTest,
                         testing::Values(CopyCase{"FirstCard", "btnBtnCopyBank1", "LblBankCB"},
                                         CopyCase{"Alipay", "btnBtnCopyEmail", "LblEmail"},
                                         CopyCase{"SecondCard", "btnBtnCopyBank2", "LblBankCCB"},
                                         CopyCase{"Phone", "BtnCopyPhone", "LblPhone"}),
                         [](const auto& info) { return info.param.Name; });

TEST_F(DialogsTest, ClipboardFailureShowsTheErrorBox) {
    Desktop.ClipboardAvailable = false;
    TSeenBox error, ok;
    ChooseMenu("MnuRegiste",
               {Click("btnBtnCopyBank1"), CloseBox(error), CloseBoxOfTitleBar(), CloseBox(ok)});
    EXPECT_EQ(error.Text, "Cannot open clipboard.");
    EXPECT_EQ(error.Icon, QMessageBox::Critical);
    EXPECT_EQ(Desktop.Clipboard, "earlier content");
    EXPECT_TRUE(ok.Shown);
}

TEST_F(DialogsTest, QqDialogReturnsToTheSupportDialog) {
    bool supportStillOpen = false;
    TSeenBox ok;
    ChooseMenu("MnuRegiste", {Click("BtnRegQQ"),
                              [&](QWidget* modal) {
                                  EXPECT_EQ(modal, FrmRegQQ);
                                  EXPECT_EQ(modal->windowTitle(), "用QQ付款");
                                  EXPECT_EQ(modal->size(), QSize(379, 519));
                                  EXPECT_EQ(Control<QLabel>(modal, "Image1")->pixmap().size(),
                                            QSize(720, 1080));
                                  TypeKey(Qt::Key_C);
                              },
                              [&](QWidget* modal) {
                                  supportStillOpen = modal == FrmGiveMoney;
                                  modal->close();
                              },
                              CloseBox(ok)});
    EXPECT_TRUE(supportStillOpen);
    EXPECT_TRUE(ok.Shown);
}

// Esc does nothing in the support dialog, nor in the QQ dialog shown from it.
TEST_F(DialogsTest, EscDoesNothingInTheSupportAndQqDialogs) {
    std::vector<QWidget*> stayed;
    const auto escape = [&](QWidget* modal) {
        TypeKey(Qt::Key_Escape);
        QTest::qWait(20);
        if (modal->isVisible()) {
            stayed.push_back(modal);
        }
    };
    TSeenBox ok;
    ChooseMenu("MnuRegiste", {[&](QWidget* modal) {
                                  escape(modal);
                                  QTest::mouseClick(Control<QPushButton>(modal, "BtnRegQQ"),
                                                    Qt::LeftButton);
                              },
                              [&](QWidget* modal) {
                                  escape(modal);
                                  modal->close();
                              },
                              CloseBoxOfTitleBar(), CloseBox(ok)});
    EXPECT_EQ(stayed, (std::vector<QWidget*>{FrmGiveMoney, FrmRegQQ}));
    EXPECT_TRUE(ok.Shown);
}

TEST_F(DialogsTest, QqDialogBelongsToTheSupportDialog) {
    QWindow* owner = nullptr;
    QWindow* boxOwner = nullptr;
    bool boxIconless = false;
    ChooseMenu("MnuRegiste", {Click("BtnRegQQ"),
                              [&](QWidget* modal) {
                                  owner = modal->windowHandle()->transientParent();
                                  modal->close();
                              },
                              CloseBoxOfTitleBar(),
                              [&](QWidget* box) {
                                  boxOwner = box->windowHandle()->transientParent();
                                  boxIconless = box->windowIcon().isNull();
                                  box->close();
                              }});
    EXPECT_EQ(owner, FrmGiveMoney->windowHandle());
    EXPECT_EQ(boxOwner, FrmMain->windowHandle());
    EXPECT_TRUE(boxIconless);
}

TEST_F(DialogsTest, SupportDialogShowsThePictureFittedToItsBox) {
    TSeenBox ok;
    ChooseMenu("MnuRegiste", {CloseBoxOfTitleBar(), CloseBox(ok)});
    EXPECT_EQ(FrmGiveMoney->size(), QSize(884, 494));
    EXPECT_EQ(Control<QLabel>(FrmGiveMoney, "Image1")->pixmap().size(), QSize(505, 393));
}

template <class T> std::function<std::unique_ptr<TForm>()> Make() {
    return [] { return std::make_unique<T>(); };
}

std::function<bool(const TForm*)> PictureOfSize(const char* image, QSize size) {
    return [=](const TForm* dialog) {
        return Control<QLabel>(dialog, image)->pixmap().size() == size;
    };
}

// The dialog's controls, looked for without making them.
bool HasControls(const TForm* dialog) {
    return dialog->findChild<QPushButton*>() != nullptr;
}

std::function<bool(const TForm*)> CloseGlyphOn(const char* button) {
    return
        [=](const TForm* dialog) { return !Control<QPushButton>(dialog, button)->icon().isNull(); };
}

struct FirstShowCase {
    const char* Name;
    std::function<std::unique_ptr<TForm>()> Make;
    // Whether the part that the dialog makes when it first shows is there.
    std::function<bool(const TForm*)> Present;
};

class FirstShowTest : public testing::TestWithParam<FirstShowCase> {};

// The dialogs' controls, pictures, glyphs and long texts cost start-up time and memory;
// each is made when its dialog first shows, and is there for the first frame.
TEST_P(FirstShowTest, MadeWhenTheDialogFirstShows) {
    const std::unique_ptr<TForm> dialog = GetParam().Make();
    EXPECT_FALSE(GetParam().Present(dialog.get()));
    dialog->show();
    EXPECT_TRUE(GetParam().Present(dialog.get()));
    dialog->hide();
}

INSTANTIATE_TEST_SUITE_P(
    Dialogs, FirstShowTest,
    testing::Values(
        FirstShowCase{"PhoneQrCode", Make<TFrmVisitePhone>(),
                      PictureOfSize("Img2DimsCode", {210, 210})},
        FirstShowCase{"SupportPicture", Make<TFrmGiveMoney>(), PictureOfSize("Image1", {505, 393})},
        FirstShowCase{"SupportNotice", Make<TFrmGiveMoney>(),
                      [](const TForm* dialog) {
                          return Control<QPlainTextEdit>(dialog, "Memo")->toPlainText() ==
                                 QString::fromUtf8(BuyingNotice);
                      }},
        FirstShowCase{"SupportCloseGlyph", Make<TFrmGiveMoney>(), CloseGlyphOn("BitBtn1")},
        FirstShowCase{"QqPicture", Make<TFrmRegQQ>(), PictureOfSize("Image1", {720, 1080})},
        FirstShowCase{"QqCloseGlyph", Make<TFrmRegQQ>(), CloseGlyphOn("BtnClose")},
        FirstShowCase{"PhoneControls", Make<TFrmVisitePhone>(), HasControls},
        FirstShowCase{"AboutControls", Make<TAboutBox>(), HasControls},
        FirstShowCase{"QqControls", Make<TFrmRegQQ>(), HasControls},
        FirstShowCase{"SupportControls", Make<TFrmGiveMoney>(), HasControls}),
    [](const auto& info) { return info.param.Name; });

} // namespace
