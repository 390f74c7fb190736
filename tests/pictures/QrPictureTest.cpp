#include "pictures/QrPicture.h"

#include <gtest/gtest.h>
#include <zbar.h>

#include <string>
#include <vector>

namespace {

const QRgb Black = qRgb(0, 0, 0);

// Every QR code that zbar finds in the picture, as raw bytes.
std::vector<QByteArray> ReadQrCodes(const QImage& picture) {
    const QImage grey = picture.convertToFormat(QImage::Format_Grayscale8);
    std::string pixels;
    for (int y = 0; y < grey.height(); ++y) {
        pixels.append(reinterpret_cast<const char*>(grey.constScanLine(y)),
                      static_cast<std::size_t>(grey.width()));
    }
    zbar::ImageScanner scanner;
    scanner.set_config(zbar::ZBAR_NONE, zbar::ZBAR_CFG_ENABLE, 0);
    scanner.set_config(zbar::ZBAR_QRCODE, zbar::ZBAR_CFG_ENABLE, 1);
    scanner.set_config(zbar::ZBAR_QRCODE, zbar::ZBAR_CFG_BINARY, 1);
    zbar::Image image(static_cast<unsigned>(grey.width()), static_cast<unsigned>(grey.height()),
                      "Y800", pixels.data(), pixels.size());
    scanner.scan(image);
    std::vector<QByteArray> found;
    for (auto symbol = image.symbol_begin(); symbol != image.symbol_end(); ++symbol) {
        const std::string data = symbol->get_data();
        found.emplace_back(data.data(), static_cast<qsizetype>(data.size()));
    }
    image.set_data(nullptr, 0);
    return found;
}

struct QrCase {
    const char* Name;
    QByteArray Text;
};

class QrPictureTest : public testing::TestWithParam<QrCase> {};

TEST_P(QrPictureTest, ZbarReadsBackExactlyTheText) {
    const std::vector<QByteArray> found = ReadQrCodes(MakeQrPicture(GetParam().Text));
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found.front(), GetParam().Text);
}

// Black and white only, whole-pixel modules (the top-left finder pattern is 7
// modules wide), as large as still leaves a 4-module quiet zone, centred.
TEST_P(QrPictureTest, IsCrispCentredAndFramedByQuietZone) {
    const QImage picture = MakeQrPicture(GetParam().Text);
    ASSERT_EQ(picture.size(), QSize(210, 210));
    ASSERT_EQ(picture.format(), QImage::Format_RGB888);
    QRect dark;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb pixel = picture.pixel(x, y);
            ASSERT_TRUE(pixel == Black || pixel == qRgb(255, 255, 255)) << x << "," << y;
            dark |= pixel == Black ? QRect(x, y, 1, 1) : QRect();
        }
    }
    int finder = 0;
    while (picture.pixel(dark.left() + finder, dark.top()) == Black) {
        ++finder;
    }
    ASSERT_EQ(finder % 7, 0);
    const int side = finder / 7;
    const int modules = dark.width() / side;
    EXPECT_EQ(dark.width(), modules * side);
    EXPECT_EQ(dark.height(), dark.width());
    EXPECT_EQ(dark.left(), (210 - dark.width()) / 2);
    EXPECT_EQ(dark.top(), dark.left());
    EXPECT_GE(dark.left(), 4 * side);
    EXPECT_GT((modules + 8) * (side + 1), 210);
}

INSTANTIATE_TEST_SUITE_P(Pictures, QrPictureTest,
                         testing::Values(QrCase{"WebAddress", "https://quorvin.example.org/"},
                                         QrCase{"ChineseUtf8", QByteArray("谢谢 Quorvin")},
                                         QrCase{"ZeroByteInside", QByteArray("a\0b", 3)},
                                         QrCase{"LongText", QByteArray(200, 'x')}),
                         [](const auto& info) { return info.param.Name; });

// 2331 bytes is the most a QR code holds in 8-bit mode at medium error correction.
TEST(QrPicture, NullOnlyForTextThatFitsNoCode) {
    EXPECT_TRUE(MakeQrPicture(QByteArray()).isNull());
    EXPECT_EQ(MakeQrPicture(QByteArray(2331, 'x')).size(), QSize(210, 210));
    EXPECT_TRUE(MakeQrPicture(QByteArray(2332, 'x')).isNull());
}

} // namespace
