#pragma once
// JPEG pictures decoded with libjpeg into a 24-bit QImage (QImage::Format_RGB888). Grayscale and
// CMYK/YCCK pictures (including the inverted CMYK that Adobe applications write) become RGB.
#include <QByteArray>
#include <QImage>
#include <QString>

// Decodes the JPEG bytes into image. On failure (not a JPEG, damaged or truncated data, a picture
// larger than the process-wide image allocation limit) returns false, leaves image unchanged and,
// when error is given, puts the reason into it.
bool DecodeJpeg(const QByteArray& bytes, QImage& image, QString* error = nullptr);

// Reads the file at path and decodes it as DecodeJpeg does; a file that cannot be read is a failure
// with its own message.
bool LoadJpegFile(const QString& path, QImage& image, QString* error = nullptr);
