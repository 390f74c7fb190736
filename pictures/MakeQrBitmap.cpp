// A build tool of the Windows build, compiled and run on the build machine: writes the
// QR code of a text (pictures/QrPicture) as a 24-bit BMP file for a bitmap resource.
//   MakeQrBitmap TEXT OUTPUT.bmp
#include "pictures/QrPicture.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s TEXT OUTPUT.bmp\n", argv[0]);
        return 2;
    }
    const QImage picture = MakeQrPicture(QByteArray(argv[1]));
    if (picture.isNull() || !picture.save(QString::fromLocal8Bit(argv[2]), "BMP")) {
        std::fprintf(stderr, "%s: cannot write the QR code of \"%s\" to %s\n", argv[0], argv[1],
                     argv[2]);
        return 1;
    }
    return 0;
}
