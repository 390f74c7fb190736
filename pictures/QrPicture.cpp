#include "pictures/QrPicture.h"

#include <QPainter>

#include <memory>
#include <qrencode.h>

namespace {

// Modules of light margin that a reader needs around the code.
constexpr int QuietZone = 4;

using QrCodePtr = std::unique_ptr<QRcode, decltype(&QRcode_free)>;

} // namespace

QImage MakeQrPicture(const QByteArray& text) {
    // Counted data rather than a C string, so a zero byte in the text is encoded too.
    const QrCodePtr code(QRcode_encodeData(static_cast<int>(text.size()),
                                           reinterpret_cast<const unsigned char*>(text.constData()),
                                           0, QR_ECLEVEL_M),
                         &QRcode_free);
    if (!code) {
        return {};
    }
    // Even the largest code (177 modules) leaves a module of at least one pixel.
    const int modules = code->width;
    const int moduleSide = QrPictureSide / (modules + 2 * QuietZone);
    const int origin = (QrPictureSide - modules * moduleSide) / 2;

    QImage picture(QrPictureSide, QrPictureSide, QImage::Format_RGB888);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    for (int row = 0; row < modules; ++row) {
        for (int column = 0; column < modules; ++column) {
            // Bit 0 of each module byte tells dark from light.
            if (code->data[row * modules + column] & 1) {
                painter.fillRect(origin + column * moduleSide, origin + row * moduleSide,
                                 moduleSide, moduleSide, Qt::black);
            }
        }
    }
    return picture;
}
