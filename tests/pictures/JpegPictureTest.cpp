#include "pictures/JpegPicture.h"

#include <QFile>

#include <gtest/gtest.h>

#include <random>

namespace {

const QSize SupportBox(505, 393);

QByteArray ReadResource(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

QByteArray SupportPicture() {
    return ReadResource(":/support.jpg");
}

QByteArray RandomBytes() {
    std::mt19937 generator(20250101);
    QByteArray bytes(4096, '\0');
    for (char& byte : bytes) {
        byte = static_cast<char>(generator() & 0xFF);
    }
    return bytes;
}

struct InputCase {
    const char* Name;
    QByteArray (*Bytes)();
    bool Decodes;
};

class JpegInputTest : public testing::TestWithParam<InputCase> {};

TEST_P(JpegInputTest, FillsTheBoxOrGivesNullPicture) {
    const QImage picture = DecodeJpegToBox(GetParam().Bytes(), SupportBox);
    if (GetParam().Decodes) {
        ASSERT_FALSE(picture.isNull());
        EXPECT_EQ(picture.size(), SupportBox);
    } else {
        EXPECT_TRUE(picture.isNull());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Pictures, JpegInputTest,
    testing::Values(InputCase{"SupportPicture", SupportPicture, true},
                    InputCase{"TruncatedAtHalf",
                              [] { return SupportPicture().left(SupportPicture().size() / 2); },
                              false},
                    InputCase{"HeadersOnly", [] { return SupportPicture().left(600); }, false},
                    InputCase{"PngFile", [] { return ReadResource(":/qqpay.png"); }, false},
                    InputCase{"RandomBytes", RandomBytes, false},
                    InputCase{"StartOfImageOnly", [] { return QByteArray("\xFF\xD8", 2); }, false},
                    InputCase{"Empty", [] { return QByteArray(); }, false}),
    [](const auto& info) { return info.param.Name; });

struct BoxCase {
    const char* Name;
    QSize Box;
    TDctScaling Scaling;
};

class JpegBoxTest : public testing::TestWithParam<BoxCase> {};

// The heart in the middle of the support picture is red: a colour check that
// catches swapped channels, at any scale.
TEST_P(JpegBoxTest, ScalesExactlyToTheBoxWithColoursKept) {
    const QSize box = GetParam().Box;
    const QImage picture = DecodeJpegToBox(SupportPicture(), box, GetParam().Scaling);
    ASSERT_EQ(picture.size(), box);
    const QColor heart = picture.pixelColor(box.width() / 2, box.height() * 27 / 100);
    EXPECT_GT(heart.red(), 200);
    EXPECT_LT(heart.green(), 120);
    EXPECT_LT(heart.blue(), 130);
}

INSTANTIATE_TEST_SUITE_P(
    Pictures, JpegBoxTest,
    testing::Values(BoxCase{"SupportDialog", SupportBox, TDctScaling::CoverBox},
                    BoxCase{"SupportDialogFullSize", SupportBox, TDctScaling::FullSize},
                    BoxCase{"TallNarrowBox", QSize(60, 1000), TDctScaling::CoverBox},
                    BoxCase{"LargerThanPicture", QSize(3000, 2000), TDctScaling::CoverBox}),
    [](const auto& info) { return info.param.Name; });

TEST(JpegPicture, MissingFileOrEmptyBoxGivesNullPicture) {
    EXPECT_TRUE(LoadJpegToBox(":/no-such-picture.jpg", SupportBox).isNull());
    EXPECT_TRUE(LoadJpegToBox(":/support.jpg", QSize(0, 393)).isNull());
    EXPECT_EQ(LoadJpegToBox(":/support.jpg", SupportBox).size(), SupportBox);
}

struct ScaleCase {
    const char* Name;
    QSize Picture;
    QSize Box;
    int Eighths;
};

class CoveringScaleTest : public testing::TestWithParam<ScaleCase> {};

TEST_P(CoveringScaleTest, IsTheSmallestScaleThatCoversTheBox) {
    EXPECT_EQ(CoveringScaleEighths(GetParam().Picture, GetParam().Box), GetParam().Eighths);
}

// At 1/8 the support picture is 277 x 211 (libjpeg rounds up), at 2/8 554 x 422.
INSTANTIATE_TEST_SUITE_P(
    Pictures, CoveringScaleTest,
    testing::Values(ScaleCase{"SupportDialog", {2216, 1687}, {505, 393}, 2},
                    ScaleCase{"ExactlyOneEighth", {2216, 1687}, {277, 211}, 1},
                    ScaleCase{"WidthOnePixelOver", {2216, 1687}, {278, 211}, 2},
                    ScaleCase{"HeightOnePixelOver", {2216, 1687}, {277, 212}, 2},
                    ScaleCase{"HeightDecides", {2216, 1687}, {100, 1000}, 5},
                    ScaleCase{"JustOverSevenEighths", {800, 800}, {701, 10}, 8},
                    ScaleCase{"BoxLargerThanPicture", {100, 100}, {505, 393}, 8}),
    [](const auto& info) { return info.param.Name; });

} // namespace
