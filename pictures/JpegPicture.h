#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

#include <cstddef>

// How much of a JPEG picture's resolution the decoder produces before the final
// smooth scaling to the box. CoverBox lets libjpeg's DCT scaling skip most of the
// work for a picture much larger than its box; FullSize decodes every pixel and
// exists to measure what that saves.
enum class TDctScaling { CoverBox, FullSize };

// The smallest libjpeg scale M/8 (M from 1 to 8) at which a picture of the given
// size decodes to at least the box in both directions; 8 when even the full size
// is smaller than the box. libjpeg rounds scaled sizes up, and so does this.
int CoveringScaleEighths(QSize picture, QSize box);

// Decodes JPEG bytes and scales the result smoothly to exactly `box`, proportions
// not kept. Returns a null image for anything that is not a whole, sound JPEG
// (empty, truncated, corrupt, another format, an unsupported colour space such
// as CMYK) and for an empty box; never prints and never ends the program.
QImage DecodeJpegToBox(const unsigned char* data, std::size_t size, QSize box,
                       TDctScaling scaling = TDctScaling::CoverBox);
QImage DecodeJpegToBox(const QByteArray& bytes, QSize box,
                       TDctScaling scaling = TDctScaling::CoverBox);

// Reads a JPEG file (a resource path such as ":/support.jpg" works too) and
// decodes it as above; a missing or unreadable file gives a null image.
QImage LoadJpegToBox(const QString& path, QSize box);
