#include "app/Application.h"
#include "core/HandlerGuard.h"
#include "forms/UMain.h"
#include "tests/forms/FormTesting.h"
#include "tests/forms/ModalBoxes.h"

#include <stdexcept>

namespace {

class TFailingForm : public QWidget {
public:
    TFailingForm() { throw Exception("cannot build"); }
};

class TSeenDuringConstruction;
TSeenDuringConstruction* SeenGlobal = nullptr;

class TSeenDuringConstruction : public QWidget {
public:
    TSeenDuringConstruction() : GlobalWasThis(SeenGlobal == this) {}
    bool GlobalWasThis;
};

// The suite runs with Qt options on its command line (see CMakeLists.txt); none of them
// reaches Qt.
TEST(CommandLineTest, QtSeesOnlyTheProgramName) {
    EXPECT_EQ(QCoreApplication::arguments().size(), 1);
    EXPECT_EQ(QGuiApplication::layoutDirection(), Qt::LeftToRight);
    EXPECT_NE(FrmMain->windowTitle(), "Other");
}

TEST(CreateFormTest, GlobalNamesTheWindowWhileItIsBuilt) {
    Application->CreateForm(SeenGlobal);
    ASSERT_NE(SeenGlobal, nullptr);
    EXPECT_TRUE(SeenGlobal->GlobalWasThis);
    EXPECT_FALSE(SeenGlobal->isVisible());
}

TEST(CreateFormTest, FailedConstructionResetsTheGlobal) {
    TFailingForm* failing = nullptr;
    EXPECT_THROW(Application->CreateForm(failing), Exception);
    EXPECT_EQ(failing, nullptr);
}

struct THandlers {
    void Throws() { throw Exception("stop here"); }
    void ThrowsOther() { throw std::runtime_error("not ours"); }
    void Ends() { ++Runs; }
    int Runs = 0;
};

struct GuardCase {
    const char* Name;
    void (THandlers::*Handler)();
    bool BoxShown;
    QString BoxText;
};

class GuardedHandlerTest : public testing::TestWithParam<GuardCase> {};

TEST_P(GuardedHandlerTest, ShowsWhatEscapesAndGoesOn) {
    THandlers handlers;
    auto guarded = Guarded(&handlers, GetParam().Handler);
    const TSeenBox box = RunClosingBox(guarded);
    EXPECT_EQ(box.Shown, GetParam().BoxShown);
    EXPECT_EQ(box.Text, GetParam().BoxText);
    if (box.Shown) {
        EXPECT_EQ(box.Caption, "Quorvin");
        EXPECT_EQ(box.Icon, QMessageBox::Critical);
    }
}

INSTANTIATE_TEST_SUITE_P(Handlers, GuardedHandlerTest,
                         testing::Values(GuardCase{"OurError", &THandlers::Throws, true,
                                                   "stop here."},
                                         GuardCase{"OtherError", &THandlers::ThrowsOther, true, ""},
                                         GuardCase{"NoError", &THandlers::Ends, false, ""}),
                         [](const auto& info) { return info.param.Name; });

} // namespace
