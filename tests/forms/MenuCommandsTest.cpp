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
        window.reset();
        OverrideExecutablePath(std::string());
    }

    QString Executable() const { return folder.filePath("quorvin"); }
    QString IniFile() const { return folder.filePath("quorvin.ini"); }
    QString HelpFile() const { return folder.filePath("quorvin.chm"); }

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
        window = std::make_unique<TFrmMain>();
        ShowActive(window.get());
    }
    // The check marks that the Set menu shows when it opens: "Chinese", "English".
    QString CheckedLanguage() {
        auto* menu = Control<QMenu>(window.get(), "MnuSet");
        menu->popup(window->mapToGlobal(QPoint(0, 0)));
        const bool chinese = Control<QAction>(window.get(), "MnuChinese")->isChecked();
        const bool english = Control<QAction>(window.get(), "MnuEnglish")->isChecked();
        menu->hide();
        if (chinese == english) {
            return QStringLiteral("both or none");
        }
        return chinese ? QStringLiteral("Chinese") : QStringLiteral("English");
    }
    void Choose(const char* item) { Control<QAction>(window.get(), item)->trigger(); }

    QTemporaryDir folder;
    TFakeDesktop desktop;
    std::unique_ptr<TFrmMain> window;
};

TEST_F(MenuCommandsTest, FirstRunIsChineseAndWritesTheFile) {
    Start();
    EXPECT_EQ(CheckedLanguage(), "Chinese");
    window.reset();
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
    EXPECT_EQ(Control<QAction>(window.get(), "MnuChinese")->text(), "中文界面&Chinese");
    window.reset();
    EXPECT_EQ(ReadIni(), "; mine\r\n[Setting]\r\nbChinese=1\r\nOther=x\r\n");

    Start();
    EXPECT_EQ(CheckedLanguage(), "Chinese");
    Choose("MnuEnglish");
    window.reset();
    Start();
    EXPECT_EQ(CheckedLanguage(), "English");
}

TEST_F(MenuCommandsTest, NoMarkBeforeTheMenuFirstOpens) {
    Start();
    EXPECT_FALSE(Control<QAction>(window.get(), "MnuChinese")->isChecked());
    EXPECT_FALSE(Control<QAction>(window.get(), "MnuEnglish")->isChecked());
}

// Neither the executable's folder (missing) nor the user's configuration folder (a
// file stands in its way) can take the settings file.
class SaveFailureTest : public MenuCommandsTest {
protected:
    void SetUp() override {
        QFile(folder.filePath("blocked")).open(QIODevice::WriteOnly);
        configHome = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", folder.filePath("blocked").toLocal8Bit());
        OverrideExecutablePath(folder.filePath("missing/quorvin").toStdString());
    }
    void TearDown() override {
        MenuCommandsTest::TearDown();
        qputenv("XDG_CONFIG_HOME", configHome);
    }
    QString LostFile() const { return folder.filePath("blocked/quorvin/quorvin.ini"); }

    QByteArray configHome;
};

TEST_F(SaveFailureTest, LostChoiceAtExitIsShown) {
    Start();
    Choose("MnuEnglish");
    const TSeenBox box = RunClosingBox([&] { window.reset(); });
    EXPECT_EQ(box.text, "Unable to write to " + LostFile() + ".");
    EXPECT_EQ(box.icon, QMessageBox::Critical);
    EXPECT_EQ(box.caption, "Quorvin");
}

TEST_F(SaveFailureTest, UnchangedChoiceFailsQuietly) {
    Start();
    testing::internal::CaptureStderr();
    const TSeenBox box = RunClosingBox([&] { window.reset(); });
    const std::string printed = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(box.shown);
    EXPECT_NE(printed.find("Unable to write to " + LostFile().toStdString() + "."),
              std::string::npos);
}

struct HelpCase {
    const char* name;
    bool makeFile;
    bool makeDirectory;
};

class HelpTest : public MenuCommandsTest, public testing::WithParamInterface<HelpCase> {};

TEST_P(HelpTest, OpensThePresentFileOrReportsItMissing) {
    if (GetParam().makeFile) {
        QFile file(HelpFile());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    if (GetParam().makeDirectory) {
        ASSERT_TRUE(QDir(folder.path()).mkdir("quorvin.chm"));
    }
    Start();
    const TSeenBox box = RunClosingBox([&] { Choose("MnuContent"); });
    if (GetParam().makeFile) {
        EXPECT_FALSE(box.shown);
        EXPECT_EQ(desktop.Opened, std::vector<std::string>{HelpFile().toStdString()});
        return;
    }
    EXPECT_TRUE(desktop.Opened.empty());
    EXPECT_EQ(box.caption, "系统提示System Hint");
    EXPECT_EQ(box.icon, QMessageBox::Warning);
    EXPECT_EQ(box.text, "不能打开帮助文件" + HelpFile() + "\nCan not Open Help File" + HelpFile());
}

INSTANTIATE_TEST_SUITE_P(HelpFiles, HelpTest,
                         testing::Values(HelpCase{"Present", true, false},
                                         HelpCase{"Missing", false, false},
                                         HelpCase{"Directory", false, true}),
                         [](const auto& info) { return info.param.name; });

TEST_F(MenuCommandsTest, WebOpensTheMakersPage) {
    Start();
    Choose("MnuWeb");
    EXPECT_EQ(desktop.Opened, std::vector<std::string>{"https://quorvin.example.org/"});
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
    QTimer::singleShot(5000, [] {
        ADD_FAILURE() << "the run did not end";
        QApplication::exit(1);
    });
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_FALSE(FrmMain->isVisible());
}

INSTANTIATE_TEST_SUITE_P(Ways, ExitTest, testing::Values("MnuExit", "CloseBox"));

} // namespace
