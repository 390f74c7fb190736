#include "app/HandlerGuard.h"
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
    TSeenDuringConstruction() : globalWasThis(SeenGlobal == this) {}
    bool globalWasThis;
};

TEST(CreateFormTest, GlobalNamesTheWindowWhileItIsBuilt) {
    Application->CreateForm(SeenGlobal);
    ASSERT_NE(SeenGlobal, nullptr);
    EXPECT_TRUE(SeenGlobal->globalWasThis);
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
    void Ends() { ++runs; }
    int runs = 0;
};

struct GuardCase {
    const char* name;
    void (THandlers::*handler)();
    bool boxShown;
    QString boxText;
};

class GuardedHandlerTest : public testing::TestWithParam<GuardCase> {};

TEST_P(GuardedHandlerTest, ShowsWhatEscapesAndGoesOn) {
    THandlers handlers;
    auto guarded = Guarded(&handlers, GetParam().handler);
    const TSeenBox box = RunClosingBox(guarded);
    EXPECT_EQ(box.shown, GetParam().boxShown);
    EXPECT_EQ(box.text, GetParam().boxText);
    if (box.shown) {
        EXPECT_EQ(box.caption, "Quorvin");
        EXPECT_EQ(box.icon, QMessageBox::Critical);
    }
}

INSTANTIATE_TEST_SUITE_P(Handlers, GuardedHandlerTest,
                         testing::Values(GuardCase{"OurError", &THandlers::Throws, true,
                                                   "stop here."},
                                         GuardCase{"OtherError", &THandlers::ThrowsOther, true, ""},
                                         GuardCase{"NoError", &THandlers::Ends, false, ""}),
                         [](const auto& info) { return info.param.name; });

} // namespace
