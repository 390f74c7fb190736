#pragma once

#include <QByteArray>
#include <QImage>

// Side of the QR code picture, in pixels: the size of the image that shows it.
constexpr int QrPictureSide = 210;

// The QR code of `text` (its bytes as they are, in 8-bit mode, medium error
// correction) as a 210 x 210 RGB888 picture, black on white. Every module is the
// same whole number of pixels, as large as fits with a quiet zone of at least four
// modules on each side, and the code is centred. Returns a null image when the
// text is empty or too long for any QR code.
QImage MakeQrPicture(const QByteArray& text);
