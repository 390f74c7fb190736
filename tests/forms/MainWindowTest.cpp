#include "forms/UMain.h"
#include "tests/forms/FormTesting.h"
#include "tests/forms/ModalBoxes.h"
#include "widgets/ListMemo.h"

#include <QApplication>
#include <QFontInfo>
#include <QGlyphRun>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTextLayout>

#include <cstdlib>
#include <optional>
#include <string>
#include <utility>

namespace {

class MainWindowTest : public testing::Test {
protected:
    void SetUp() override { ShowActive(&Window); }

    QString Text(const char* edit) { return Control<QLineEdit>(&Window, edit)->text(); }
    void SetText(const char* edit, const QString& text) {
        Control<QLineEdit>(&Window, edit)->setText(text);
    }
    void Press(const char* button) {
        QTest::mouseClick(Control<QPushButton>(&Window, button), Qt::LeftButton);
    }
    QString ListText() { return Control<TListMemo>(&Window, "MemoMemoryList")->Text(); }

    TFrmMain Window;
};

TEST_F(MainWindowTest, StartsWithTheInitialTexts) {
    EXPECT_EQ(Window.windowTitle(), "Quorvin");
    EXPECT_EQ(Text("EditMemoryAddress"), "1");
    EXPECT_EQ(Text("EditShowValue"), "-");
    EXPECT_EQ(Text("EditMemoryCounter"), "10");
    EXPECT_EQ(ListText(), "--\n");
    EXPECT_EQ(Control<QPlainTextEdit>(&Window, "MemoNote")->toPlainText(),
              "使用注意事项：\n1.该工具显示的单字符是指定位置的内存内\n"
              "容的单字符的显示内容。不是单指8位的内\n容。\n"
              "2.该工具只读取内存的内容，也是可以不写\n内存的内容。\n\n\n");
    EXPECT_EQ(Control<QLabel>(&Window, "StatusPanelReady")->text(), "就绪");
    EXPECT_EQ(QApplication::focusWidget(), Control<QPushButton>(&Window, "Button1"));
}

struct TPlacement {
    const char* Name;
    QRect Geometry;
    QString Text;
};

TEST_F(MainWindowTest, PlacesEveryControlAtItsGeometry) {
    const TPlacement controls[] = {
        {"Label1", {8, 32, 75, 15}, "内存位置："},
        {"Button1", {0, 0, 321, 25}, "Reawd word &  sentence.urg...."},
        {"EditMemoryAddress", {88, 32, 233, 23}, "1"},
        {"BtnGetMemoryValue", {8, 56, 313, 25}, "得到内存的内容的值，8位数字"},
        {"EditShowValue", {8, 88, 313, 23}, "-"},
        {"MemoNote", {8, 120, 313, 97}, {}},
        {"MemoMemoryList", {328, 0, 385, 129}, {}},
        {"EditMemoryCounterLabel", {328, 142, 210, 15}, "内存读取的连续位置计数的设置"},
        {"EditMemoryCounter", {328, 160, 385, 23}, "10"},
        {"BtnGerMemoryValueList", {328, 192, 385, 25}, "读取连续位置的值的16进制数"},
    };
    for (const auto& c : controls) {
        auto* control = Control<QWidget>(&Window, c.Name);
        EXPECT_EQ(control->geometry(), c.Geometry) << c.Name;
        if (auto* label = qobject_cast<QLabel*>(control)) {
            EXPECT_EQ(label->text(), c.Text) << c.Name;
        } else if (auto* button = qobject_cast<QPushButton*>(control)) {
            EXPECT_EQ(button->text(), c.Text) << c.Name;
        }
        EXPECT_EQ(control->font().pixelSize(), 15) << c.Name;
        EXPECT_EQ(control->font().family(), "宋体") << c.Name;
    }
}

TEST_F(MainWindowTest, HasFixedClientAreaWithStatusBar) {
    const int menuHeight = Window.menuWidget()->height();
    EXPECT_EQ(Window.size(), QSize(715, 249 + menuHeight));
    EXPECT_EQ(Window.minimumSize(), Window.maximumSize());
    EXPECT_FALSE(Window.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(Window.windowFlags() & Qt::WindowMinimizeButtonHint);
    auto* status = Control<QStatusBar>(&Window, "StatusBar1");
    EXPECT_EQ(status->geometry(), QRect(0, menuHeight + 230, 715, 19));
    EXPECT_FALSE(status->isSizeGripEnabled());
    EXPECT_EQ(Control<QLabel>(&Window, "StatusPanelReady")->width(), 50);
}

TEST_F(MainWindowTest, MenuBarHoldsEveryItem) {
    QStringList captions;
    for (QAction* top : Window.menuBar()->actions()) {
        captions << top->text();
        if (QMenu* menu = top->menu()) {
            for (QAction* item : menu->actions()) {
                captions << (item->isSeparator() ? QStringLiteral("-") : "  " + item->text());
            }
        }
    }
    EXPECT_EQ(captions, QStringList({"文件&File", "  退出本软件&Exit", "设置&Set",
                                     "  中文界面&Chinese", "  英文界面&English", "注册和&Registe",
                                     "帮助&Help", "  帮助主题&Content", "  访问本软件网站&Web",
                                     "  手机访问本软件网站&Phone", "-", "  关于本软件&About"}));
}

// The menu bar and the status bar keep the desktop's fonts for their Latin letters and
// show their Chinese in the Song font.
TEST_F(MainWindowTest, DesktopFontsShowChineseInTheSongFont) {
    const std::pair<QWidget*, const char*> bars[] = {
        {Window.menuBar(), "QMenuBar"}, {Control<QStatusBar>(&Window, "StatusBar1"), "QStatusBar"}};
    QFont song(QStringLiteral("宋体"));
    song.setPixelSize(15);
    for (const auto& [bar, className] : bars) {
        const QFont desktop = QApplication::font(className);
        EXPECT_EQ(bar->font().families(), QStringList({QFontInfo(desktop).family(), "宋体"}))
            << className;
        EXPECT_EQ(bar->font().pointSizeF(), desktop.pointSizeF()) << className;
        QTextLayout layout(QStringLiteral("文件File"), bar->font());
        layout.beginLayout();
        layout.createLine();
        layout.endLayout();
        QStringList families;
        for (const QGlyphRun& run : layout.glyphRuns()) {
            families << run.rawFont().familyName();
        }
        EXPECT_TRUE(families.contains(QFontInfo(song).family())) << className;
        EXPECT_TRUE(families.contains(QFontInfo(desktop).family())) << className;
    }
}

struct SingleCase {
    const char* Name;
    QString Position;
    QString Shown;
};

class SingleReadoutTest : public MainWindowTest, public testing::WithParamInterface<SingleCase> {};

TEST_P(SingleReadoutTest, ShowsTheCharacterOfThePosition) {
    SetText("EditMemoryAddress", GetParam().Position);
    Press("BtnGetMemoryValue");
    EXPECT_EQ(Text("EditShowValue"), GetParam().Shown);
}

INSTANTIATE_TEST_SUITE_P(Positions, SingleReadoutTest,
                         testing::Values(SingleCase{"Decimal", "65", "A"},
                                         SingleCase{"Wrapped", "321", "A"},
                                         SingleCase{"Hex", "$41", "A"},
                                         SingleCase{"Negative", "-191", "A"},
                                         SingleCase{"ZeroByteIsEmpty", "256", ""},
                                         SingleCase{"LeadingSpace", " 0x42", "B"}),
                         [](const auto& info) { return info.param.Name; });

struct TLocaleCase {
    const char* Name;
    const char* Locale;
    QString Position;
    QString Shown;
};

class LocaleReadoutTest : public MainWindowTest, public testing::WithParamInterface<TLocaleCase> {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        if (const char* previous = std::getenv("LC_ALL")) {
            PreviousLocale = previous;
        }
        setenv("LC_ALL", GetParam().Locale, 1);
    }
    void TearDown() override {
        if (PreviousLocale.has_value()) {
            setenv("LC_ALL", PreviousLocale->c_str(), 1);
        } else {
            unsetenv("LC_ALL");
        }
    }

    std::optional<std::string> PreviousLocale;
};

// The user's locale chooses the code page, also where the machine has not generated it.
TEST_P(LocaleReadoutTest, ShowsTheCharacterOfTheLocalesCodePage) {
    SetText("EditMemoryAddress", GetParam().Position);
    Press("BtnGetMemoryValue");
    EXPECT_EQ(Text("EditShowValue"), GetParam().Shown);
}

INSTANTIATE_TEST_SUITE_P(Locales, LocaleReadoutTest,
                         testing::Values(TLocaleCase{"VietnameseA", "vi_VN.UTF-8", "65", "A"},
                                         TLocaleCase{"HebrewAlef", "he_IL.UTF-8", "224", "א"},
                                         TLocaleCase{"RussianA", "ru_RU.UTF-8", "192", "А"}),
                         [](const auto& info) { return info.param.Name; });

TEST_F(MainWindowTest, InvalidPositionShowsErrorAndKeepsValue) {
    SetText("EditMemoryAddress", "abc");
    const TSeenBox box = RunClosingBox([&] { Press("BtnGetMemoryValue"); });
    EXPECT_TRUE(box.Shown);
    EXPECT_EQ(box.Text, "'abc' is not a valid integer value.");
    EXPECT_EQ(box.Caption, "Quorvin");
    EXPECT_EQ(box.Icon, QMessageBox::Critical);
    EXPECT_EQ(Text("EditShowValue"), "-");

    SetText("EditMemoryAddress", "66");
    Press("BtnGetMemoryValue");
    EXPECT_EQ(Text("EditShowValue"), "B");
}

// 20,000 pairs of "1 " would make a box many screens high.
TEST_F(MainWindowTest, ErrorBoxForAHugeTextFitsTheScreen) {
    QString huge;
    for (int i = 0; i < 20000; ++i) {
        huge += QStringLiteral("1 ");
    }
    SetText("EditMemoryAddress", huge);
    QRect box;
    QRect button;
    QString shown;
    RunWithModals([&] { Press("BtnGetMemoryValue"); }, {[&](QWidget* modal) {
                      box = modal->frameGeometry();
                      auto* ok = modal->findChild<QPushButton*>();
                      button = QRect(ok->mapTo(modal, QPoint(0, 0)), ok->size());
                      shown = qobject_cast<QMessageBox*>(modal)->text();
                      modal->close();
                  }});
    const QRect available = Window.screen()->availableGeometry();
    EXPECT_TRUE(available.contains(box)) << box.height() << " high";
    EXPECT_TRUE(QRect(QPoint(0, 0), box.size()).contains(button));
    EXPECT_TRUE(shown.startsWith("'1 1 1 ")) << shown.left(20).toStdString();
    EXPECT_TRUE(shown.endsWith(QChar(0x2026)));
}

TEST_F(MainWindowTest, OkBoxIsWideEnoughForItsCaption) {
    int width = 0;
    int captionWidth = 0;
    RunWithModals([&] { Press("Button1"); }, {[&](QWidget* modal) {
                      width = modal->width();
                      captionWidth = QFontMetrics(QApplication::font("QMdiSubWindowTitleBar"))
                                         .horizontalAdvance(modal->windowTitle());
                      modal->close();
                  }});
    EXPECT_GT(width, captionWidth + 60);
}

TEST_F(MainWindowTest, EmptyPositionNamesAnEmptyText) {
    SetText("EditMemoryAddress", "");
    const TSeenBox box = RunClosingBox([&] { Press("BtnGetMemoryValue"); });
    EXPECT_EQ(box.Text, "'' is not a valid integer value.");
}

struct ListCase {
    const char* Name;
    QString Count;
    QString List;
};

class ListReadoutTest : public MainWindowTest, public testing::WithParamInterface<ListCase> {};

TEST_P(ListReadoutTest, FillsTheListFromPositionZero) {
    SetText("EditMemoryCounter", GetParam().Count);
    Press("BtnGerMemoryValueList");
    EXPECT_EQ(ListText(), GetParam().List);
}

INSTANTIATE_TEST_SUITE_P(Counts, ListReadoutTest,
                         testing::Values(ListCase{"Ten", "10", "0\n1\n2\n3\n4\n5\n6\n7\n8\n9\n"},
                                         ListCase{"One", "1", "0\n"}, ListCase{"Zero", "0", ""},
                                         ListCase{"Negative", "-5", ""}),
                         [](const auto& info) { return info.param.Name; });

struct ListEndCase {
    const char* Name;
    QString Count;
    QStringList LastLines;
};

class ListEndTest : public MainWindowTest, public testing::WithParamInterface<ListEndCase> {};

TEST_P(ListEndTest, EndsWithTheLastPositions) {
    SetText("EditMemoryCounter", GetParam().Count);
    Press("BtnGerMemoryValueList");
    QStringList lines = ListText().split('\n');
    ASSERT_EQ(lines.takeLast(), "");
    EXPECT_EQ(lines.size(), GetParam().Count.toInt());
    EXPECT_EQ(lines.mid(lines.size() - 2), GetParam().LastLines);
}

INSTANTIATE_TEST_SUITE_P(Counts, ListEndTest,
                         testing::Values(ListEndCase{"UpTo7f", "128", {"7e", "7f"}},
                                         ListEndCase{"FirstNegative", "129", {"7f", "ffffff80"}},
                                         ListEndCase{"Past80", "130", {"ffffff80", "ffffff81"}},
                                         ListEndCase{"Wraps", "258", {"0", "1"}}),
                         [](const auto& info) { return info.param.Name; });

TEST_F(MainWindowTest, LargestCountIsInstantAndEndsWithTheEmptyLine) {
    SetText("EditMemoryCounter", "2147483647");
    Press("BtnGerMemoryValueList");
    auto* list = Control<TListMemo>(&Window, "MemoMemoryList");
    EXPECT_EQ(list->Editor().LineCount(), int64_t{2147483648});
    EXPECT_EQ(list->LineText(0), "0");
    EXPECT_EQ(list->LineText(2147483646), "fffffffe");
    EXPECT_EQ(list->LineText(2147483647), "");
}

TEST_F(MainWindowTest, HugeCopyIsRefusedWithAWarning) {
    SetText("EditMemoryCounter", "2147483647");
    Press("BtnGerMemoryValueList");
    auto* list = Control<TListMemo>(&Window, "MemoMemoryList");
    list->Editor().Execute(TEditCommand::SelectAll);
    const TSeenBox box = RunClosingBox([&] { list->Editor().Execute(TEditCommand::Copy); });
    EXPECT_EQ(box.Caption, "Quorvin");
    EXPECT_EQ(box.Icon, QMessageBox::Warning);
    EXPECT_TRUE(box.Text.contains("too large to copy")) << box.Text.toStdString();
}

TEST_F(MainWindowTest, InvalidCountKeepsTheList) {
    SetText("EditMemoryCounter", "12 ");
    const TSeenBox box = RunClosingBox([&] { Press("BtnGerMemoryValueList"); });
    EXPECT_EQ(box.Text, "'12 ' is not a valid integer value.");
    EXPECT_EQ(ListText(), "--\n");
}

} // namespace
