#include "Paths.h"

#include <gtest/gtest.h>

namespace {

struct ExtCase {
    const char* name;
    std::string path;
    std::string changed;
};

class ChangeFileExtTest : public testing::TestWithParam<ExtCase> {};

TEST_P(ChangeFileExtTest, ReplacesOrAppendsExtension) {
    EXPECT_EQ(ChangeFileExt(GetParam().path, ".ini"), GetParam().changed);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, ChangeFileExtTest,
    testing::Values(ExtCase{"NoExtension", "/opt/tools/app", "/opt/tools/app.ini"},
                    ExtCase{"DotInFolder", "/opt/tools.new/app", "/opt/tools.new/app.ini"},
                    ExtCase{"WithExtension", "/opt/tools/app.exe", "/opt/tools/app.ini"},
                    ExtCase{"TwoDots", "/opt/app.tar.gz", "/opt/app.tar.ini"},
                    ExtCase{"TrailingDot", "/opt/app.", "/opt/app.ini"},
                    ExtCase{"HiddenFile", "/home/u/.app", "/home/u/.ini"},
                    ExtCase{"NoFolder", "app.exe", "app.ini"}, ExtCase{"Empty", "", ".ini"},
                    ExtCase{"ChineseName", "/opt/工具/读取.exe", "/opt/工具/读取.ini"}),
    [](const auto& info) { return info.param.name; });

} // namespace
