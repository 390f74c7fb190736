#include "core/Paths.h"
#include "forms/UMain.h"
#include "tests/forms/FakeDesktop.h"
#include "tests/forms/FormTesting.h"
#include "tests/forms/ModalBoxes.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QTemporaryDir>
#include <QTimer>
#include <memory>

namespace {

// A main window of its own whose executable lives in a scratch folder.
class MenuCommandsTest : public testing::Test {
protected:
    void SetUp() override { OverrideExecutablePath(Executable().toStdString()); }
    void TearDown() override {
        Window.reset();
        OverrideExecutablePath(std::string());
    }

    QString Executable() const { return Folder.filePath("quorvin"); }
    QString IniFile() const { return Folder.filePath("quorvin.ini"); }
    QString HelpFile() const { return Folder.filePath("quorvin.chm"); }

    void WriteIni(const QByteArray& content) {
        QFile file(IniFile());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    QByteArray ReadIni() {
        QFile file(IniFile());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(no file)");
    }
    void Start() {
        Window = std::make_unique<TFrmMain>();
        ShowActive(Window.get());
    }
    // The check marks that the Set menu shows when it opens: "Chinese", "English".
    QString CheckedLanguage() {
        auto* menu = Control<QMenu>(Window.get(), "MnuSet");
        menu->popup(Window->mapToGlobal(QPoint(0, 0)));
        const bool chinese = Control<QAction>(Window.get(), "MnuChinese")->isChecked();
        const bool english = Control<QAction>(Window.get(), "MnuEnglish")->isChecked();
        menu->hide();
        if (chinese == english) {
            return QStringLiteral("both or none");
        }
        return chinese ? QStringLiteral("Chinese") : QStringLiteral("English");
    }
    void Choose(const char* item) { Control<QAction>(Window.get(), item)->trigger(); }

    QTemporaryDir Folder;
    TFakeDesktop Desktop;
    std::unique_ptr<TFrmMain> Window;
};

TEST_F(MenuCommandsTest, FirstRunIsChineseAndWritesTheFile) {
    Start();
    EXPECT_EQ(CheckedLanguage(), "Chinese");
    Window.reset();
    EXPECT_EQ(ReadIni(), "[Setting]\nbChinese=1\n");
}

TEST_F(MenuCommandsTest, MarksFollowTheChoiceAndSurviveARestart) {
    WriteIni("; mine\r\n[Setting]\r\nbChinese=0\r\nOther=x\r\n");
    Start();
    EXPECT_EQ(CheckedLanguage(), "English");
    Choose("MnuEnglish");
    EXPECT_EQ(CheckedLanguage(), "English");
    Choose("MnuChinese");
    EXPECT_EQ(CheckedLanguage(), "Chinese");
    EXPECT_EQ(Control<QAction>(Window.get(), "MnuChinese")->text(), "中文界面&Chinese");
    Window.reset();
    EXPECT_EQ(ReadIni(), "; mine\r\n[Setting]\r\nbChinese=1\r\nOther=x\r\n");

    Start();
    EXPECT_EQ(CheckedLanguage(), "Chinese");
    Choose("MnuEnglish");
    Window.reset();
    Start();
    EXPECT_EQ(CheckedLanguage(), "English");
}

TEST_F(MenuCommandsTest, NoMarkBeforeTheMenuFirstOpens) {
    Start();
    EXPECT_FALSE(Control<QAction>(Window.get(), "MnuChinese")->isChecked());
    EXPECT_FALSE(Control<QAction>(Window.get(), "MnuEnglish")->isChecked());
}

// Neither the executable's folder (missing) nor the user's configuration folder (a
// file stands in its way) can take the settings file.
class SaveFailureTest : public MenuCommandsTest {
protected:
    void SetUp() override {
        QFile(Folder.filePath("blocked")).open(QIODevice::WriteOnly);
        ConfigHome = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", Folder.filePath("blocked").toLocal8Bit());
        OverrideExecutablePath(Folder.filePath("missing/quorvin").toStdString());
    }
    void TearDown() override {
        MenuCommandsTest::TearDown();
        qputenv("XDG_CONFIG_HOME", ConfigHome);
    }
    QString LostFile() const { return Folder.filePath("blocked/quorvin/quorvin.ini"); }

    QByteArray ConfigHome;
};

TEST_F(SaveFailureTest, LostChoiceAtExitIsShown) {
    Start();
    Choose("MnuEnglish");
    const TSeenBox box = RunClosingBox([&] { Window.reset(); });
    EXPECT_EQ(box.Text, "Unable to write to " + LostFile() + ".");
    EXPECT_EQ(box.Icon, QMessageBox::Critical);
    EXPECT_EQ(box.Caption, "Quorvin");
}

TEST_F(SaveFailureTest, UnchangedChoiceFailsQuietly) {
    Start();
    testing::internal::CaptureStderr();
    const TSeenBox box = RunClosingBox([&] { Window.reset(); });
    const std::string printed = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(box.Shown);
    EXPECT_NE(printed.find("Unable to write to " + LostFile().toStdString() + "."),
              std::string::npos);
}

struct HelpCase {
    const char* Name;
    bool MakeFile;
    bool MakeDirectory;
};

class HelpTest : public MenuCommandsTest, public testing::WithParamInterface<HelpCase> {};

TEST_P(HelpTest, OpensThePresentFileOrReportsItMissing) {
    if (GetParam().MakeFile) {
        QFile file(HelpFile());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    if (GetParam().MakeDirectory) {
        ASSERT_TRUE(QDir(Folder.path()).mkdir("quorvin.chm"));
    }
    Start();
    const TSeenBox box = RunClosingBox([&] { Choose("MnuContent"); });
    if (GetParam().MakeFile) {
        EXPECT_FALSE(box.Shown);
        EXPECT_EQ(Desktop.Opened, std::vector<std::string>{HelpFile().toStdString()});
        return;
    }
    EXPECT_TRUE(Desktop.Opened.empty());
    EXPECT_EQ(box.Caption, "系统提示System Hint");
    EXPECT_EQ(box.Icon, QMessageBox::Warning);
    EXPECT_EQ(box.Text, "不能打开帮助文件" + HelpFile() + "\nCan not Open Help File" + HelpFile());
}

INSTANTIATE_TEST_SUITE_P(HelpFiles, HelpTest,
                         testing::Values(HelpCase{"Present", true, false},
                                         HelpCase{"Missing", false, false},
                                         HelpCase{"Directory", false, true}),
                         [](const auto& info) { return info.param.Name; });

TEST_F(MenuCommandsTest, WebOpensTheMakersPage) {
    Start();
    Choose("MnuWeb");
    EXPECT_EQ(Desktop.Opened, std::vector<std::string>{"https://quorvin.example.org/"});
}

// Both ways of closing the program's main window end the run.
class ExitTest : public testing::TestWithParam<const char*> {};

TEST_P(ExitTest, EndsTheRun) {
    ShowActive(FrmMain);
    const std::string way = GetParam();
    QTimer::singleShot(0, [&] {
        if (way == "MnuExit") {
            Control<QAction>(FrmMain, "MnuExit")->trigger();
        } else {
            FrmMain->close();
        }
    });
    // Stopped with the test, so that it cannot end a later test's event loop.
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, [] {
        ADD_FAILURE() << "the run did not end";
        QApplication::exit(1);
    });
    deadline.start(5000);
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_FALSE(FrmMain->isVisible());
}

INSTANTIATE_TEST_SUITE_P(Ways, ExitTest, testing::Values("MnuExit", "CloseBox"));

} // namespace
