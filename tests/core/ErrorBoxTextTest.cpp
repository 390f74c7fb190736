#include "core/Exception.h"

#include <gtest/gtest.h>

namespace {

struct BoxCase {
    const char* Name;
    std::string Message;
    std::string Shown;
};

class ErrorBoxTextTest : public testing::TestWithParam<BoxCase> {};

TEST_P(ErrorBoxTextTest, AddsFullStopOnlyAfterCharactersAbovePeriod) {
    EXPECT_EQ(ErrorBoxText(GetParam().Message), GetParam().Shown);
}

INSTANTIATE_TEST_SUITE_P(
    Messages, ErrorBoxTextTest,
    testing::Values(BoxCase{"Empty", "", ""}, BoxCase{"EndsInLetter", "abc", "abc."},
                    BoxCase{"EndsInDigit", "a1", "a1."}, BoxCase{"EndsInSlash", "/x/", "/x/."},
                    BoxCase{"EndsInPeriod", "done.", "done."},
                    BoxCase{"EndsInExclamation", "OK!", "OK!"}, BoxCase{"EndsInSpace", "a ", "a "},
                    BoxCase{"EndsInQuote", "'a'", "'a'"}, BoxCase{"EndsInMinus", "a-", "a-"},
                    BoxCase{"EndsInNewline", "a\n", "a\n"},
                    BoxCase{"EndsInChinese", "错误", "错误."}),
    [](const auto& info) { return info.param.Name; });

} // namespace
