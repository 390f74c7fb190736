#include "pictures/JpegPicture.h"

#include <QFile>

#include <csetjmp>
#include <cstdio> // jpeglib.h expects FILE to be declared before it
#include <jpeglib.h>
#include <limits>

namespace {

// The largest decoded picture accepted, the same ceiling Qt's own image reader
// applies by default; a header that claims more is treated as damaged.
constexpr qint64 MaxDecodedBytes = 256 * 1024 * 1024;

// libjpeg reports through this manager. An error, and also any warning, jumps
// back to the decoder, which gives up: to libjpeg a truncated or damaged stream
// is only a warning, after which it would fill the rest of the picture with grey.
struct TErrorManager {
    jpeg_error_mgr Base;
    std::jmp_buf Jump;
};

[[noreturn]] void JumpBack(j_common_ptr cinfo) {
    std::longjmp(reinterpret_cast<TErrorManager*>(cinfo->err)->Jump, 1);
}

void JumpBackOnWarning(j_common_ptr cinfo, int level) {
    if (level < 0) {
        JumpBack(cinfo);
    }
}

void PrintNothing(j_common_ptr) {}

struct TDecoder {
    jpeg_decompress_struct Cinfo;
    TErrorManager Error;
};

// Every libjpeg call happens in this function. Its frame holds nothing with a
// destructor (the image lives in the caller's), so a jump back from inside libjpeg
// skips no clean-up.
bool Decode(TDecoder& d, const unsigned char* data, std::size_t size, QSize box,
            TDctScaling scaling, QImage& image) {
    d.Cinfo.err = jpeg_std_error(&d.Error.Base);
    d.Error.Base.error_exit = JumpBack;
    d.Error.Base.emit_message = JumpBackOnWarning;
    d.Error.Base.output_message = PrintNothing;
    if (setjmp(d.Error.Jump)) {
        jpeg_destroy_decompress(&d.Cinfo);
        return false;
    }
    jpeg_create_decompress(&d.Cinfo);
    jpeg_mem_src(&d.Cinfo, data, static_cast<unsigned long>(size));
    jpeg_read_header(&d.Cinfo, TRUE);

    const QSize picture(static_cast<int>(d.Cinfo.image_width),
                        static_cast<int>(d.Cinfo.image_height));
    d.Cinfo.scale_num = scaling == TDctScaling::CoverBox ? CoveringScaleEighths(picture, box) : 8;
    d.Cinfo.scale_denom = 8;
    // Four bytes a pixel in R, G, B, X order is what Qt's smooth scaling works on
    // directly, so the scaling step needs no conversion first.
    d.Cinfo.out_color_space = JCS_EXT_RGBX;
    jpeg_calc_output_dimensions(&d.Cinfo);
    if (qint64{d.Cinfo.output_width} * d.Cinfo.output_height * 4 > MaxDecodedBytes) {
        jpeg_destroy_decompress(&d.Cinfo);
        return false;
    }

    jpeg_start_decompress(&d.Cinfo);
    image = QImage(static_cast<int>(d.Cinfo.output_width), static_cast<int>(d.Cinfo.output_height),
                   QImage::Format_RGBX8888);
    if (image.isNull()) {
        jpeg_destroy_decompress(&d.Cinfo);
        return false;
    }
    while (d.Cinfo.output_scanline < d.Cinfo.output_height) {
        JSAMPROW row = image.scanLine(static_cast<int>(d.Cinfo.output_scanline));
        jpeg_read_scanlines(&d.Cinfo, &row, 1);
    }
    jpeg_finish_decompress(&d.Cinfo);
    jpeg_destroy_decompress(&d.Cinfo);
    return true;
}

// The size libjpeg gives a side of `length` pixels at the scale eighths/8.
qint64 ScaledSide(int length, int eighths) {
    return (qint64{length} * eighths + 7) / 8;
}

} // namespace

int CoveringScaleEighths(QSize picture, QSize box) {
    for (int eighths = 1; eighths < 8; ++eighths) {
        if (ScaledSide(picture.width(), eighths) >= box.width() &&
            ScaledSide(picture.height(), eighths) >= box.height()) {
            return eighths;
        }
    }
    return 8;
}

QImage DecodeJpegToBox(const unsigned char* data, std::size_t size, QSize box,
                       TDctScaling scaling) {
    if (box.isEmpty() || size > std::numeric_limits<unsigned long>::max()) {
        return {};
    }
    TDecoder decoder{};
    QImage decoded;
    if (!Decode(decoder, data, size, box, scaling, decoded)) {
        return {};
    }
    return decoded.scaled(box, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

QImage DecodeJpegToBox(const QByteArray& bytes, QSize box, TDctScaling scaling) {
    return DecodeJpegToBox(reinterpret_cast<const unsigned char*>(bytes.constData()),
                           static_cast<std::size_t>(bytes.size()), box, scaling);
}

QImage LoadJpegToBox(const QString& path, QSize box) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return DecodeJpegToBox(file.readAll(), box);
}
