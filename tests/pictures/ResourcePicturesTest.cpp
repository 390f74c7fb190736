#include <QImage>
#include <QImageReader>

#include <gtest/gtest.h>

namespace {

struct PictureCase {
    const char* Name;
    const char* Path;
    QSize Size;
    bool SixteenColours; // a palette of at most 16 colours, else 24-bit colour
};

class ResourcePictureTest : public testing::TestWithParam<PictureCase> {};

TEST_P(ResourcePictureTest, HasTheSizeAndColoursItsDialogShows) {
    QImageReader reader(GetParam().Path);
    const QImage picture = reader.read();
    ASSERT_FALSE(picture.isNull()) << reader.errorString().toStdString();
    EXPECT_EQ(picture.size(), GetParam().Size);
    if (GetParam().SixteenColours) {
        EXPECT_EQ(picture.format(), QImage::Format_Indexed8);
        EXPECT_LE(picture.colorCount(), 16);
    } else {
        EXPECT_EQ(picture.depth(), 32);
        EXPECT_FALSE(picture.hasAlphaChannel());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Pictures, ResourcePictureTest,
    testing::Values(PictureCase{"ApplicationIcon", ":/quorvin.png", {32, 32}, true},
                    PictureCase{"AboutIcon", ":/about.png", {32, 32}, true},
                    PictureCase{"QqPayment", ":/qqpay.png", {720, 1080}, false},
                    PictureCase{"Support", ":/support.jpg", {2216, 1687}, false}),
    [](const auto& info) { return info.param.Name; });

} // namespace
