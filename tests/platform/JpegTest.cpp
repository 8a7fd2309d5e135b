#include "platform/Jpeg.h"

#include <QBuffer>
#include <QColor>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include <jpeglib.h>

namespace {

// A 40 x 30 picture, red on the left half and blue on the right, saved by Qt's own JPEG writer.
QByteArray RedBlueJpeg()
{
    QImage image(40, 30, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, x < 20 ? qRgb(255, 0, 0) : qRgb(0, 0, 255));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(image.save(&buffer, "JPG", 95));
    return bytes;
}

// Grayscale and CMYK pictures written with libjpeg itself, so their colour space is certain.
QByteArray EncodeJpeg(int width, int height, J_COLOR_SPACE space, int components,
                      const std::function<void(int x, int y, JSAMPLE* pixel)>& pixel)
{
    jpeg_compress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &out, &size);
    info.image_width = JDIMENSION(width);
    info.image_height = JDIMENSION(height);
    info.input_components = components;
    info.in_color_space = space;
    jpeg_set_defaults(&info); // CMYK gets the Adobe marker
    jpeg_set_quality(&info, 95, TRUE);
    jpeg_start_compress(&info, TRUE);
    std::vector<JSAMPLE> row(size_t(width * components));
    while (info.next_scanline < info.image_height) {
        for (int x = 0; x < width; ++x)
            pixel(x, int(info.next_scanline), &row[size_t(x * components)]);
        JSAMPROW rows[] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    QByteArray bytes(reinterpret_cast<const char*>(out), qsizetype(size));
    std::free(out);
    return bytes;
}

void ExpectNear(QRgb actual, QRgb expected, int tolerance, const char* where)
{
    SCOPED_TRACE(where);
    EXPECT_NEAR(qRed(actual), qRed(expected), tolerance);
    EXPECT_NEAR(qGreen(actual), qGreen(expected), tolerance);
    EXPECT_NEAR(qBlue(actual), qBlue(expected), tolerance);
}

} // namespace

TEST(Jpeg, DecodesColourPictureIntoRgb888)
{
    QImage image;
    QString error;
    ASSERT_TRUE(DecodeJpeg(RedBlueJpeg(), image, &error)) << error.toStdString();
    EXPECT_EQ(image.size(), QSize(40, 30));
    EXPECT_EQ(image.format(), QImage::Format_RGB888);
    ExpectNear(image.pixel(5, 15), qRgb(255, 0, 0), 30, "left");
    ExpectNear(image.pixel(35, 15), qRgb(0, 0, 255), 30, "right");
}

TEST(Jpeg, LoadsFileAndNamesAFileItCannotRead)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("picture.jpg");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(RedBlueJpeg());
    file.close();

    QImage image;
    QString error;
    ASSERT_TRUE(LoadJpegFile(path, image, &error)) << error.toStdString();
    EXPECT_EQ(image.size(), QSize(40, 30));

    const QString missing = dir.filePath("missing.jpg");
    EXPECT_FALSE(LoadJpegFile(missing, image, &error));
    EXPECT_TRUE(error.contains(missing)) << error.toStdString();
    EXPECT_EQ(image.size(), QSize(40, 30));
}

TEST(Jpeg, GrayscaleAndAdobeCmykBecomeRgb)
{
    const QByteArray gray = EncodeJpeg(16, 8, JCS_GRAYSCALE, 1, [](int x, int, JSAMPLE* p) { p[0] = x < 8 ? 60 : 200; });
    QImage image;
    QString error;
    ASSERT_TRUE(DecodeJpeg(gray, image, &error)) << error.toStdString();
    EXPECT_EQ(image.size(), QSize(16, 8));
    EXPECT_EQ(image.format(), QImage::Format_RGB888);
    ExpectNear(image.pixel(2, 4), qRgb(60, 60, 60), 6, "dark");
    ExpectNear(image.pixel(13, 4), qRgb(200, 200, 200), 6, "light");

    // Adobe CMYK is stored inverted (255 = no ink): full magenta and yellow ink make red, full
    // black ink makes black.
    const QByteArray cmyk = EncodeJpeg(16, 8, JCS_CMYK, 4, [](int x, int, JSAMPLE* p) {
        const bool red = x < 8;
        p[0] = 255;
        p[1] = red ? 0 : 255;
        p[2] = red ? 0 : 255;
        p[3] = red ? 255 : 0;
    });
    ASSERT_TRUE(DecodeJpeg(cmyk, image, &error)) << error.toStdString();
    EXPECT_EQ(image.size(), QSize(16, 8));
    ExpectNear(image.pixel(2, 4), qRgb(255, 0, 0), 12, "red");
    ExpectNear(image.pixel(13, 4), qRgb(0, 0, 0), 12, "black");
}

TEST(Jpeg, DamagedDataFailsWithMessageAndKeepsImage)
{
    const QByteArray good = RedBlueJpeg();
    const struct {
        const char* what;
        QByteArray bytes;
    } cases[] = {
        {"empty", QByteArray()},
        {"not a JPEG", QByteArray("GIF89a not a picture at all")},
        {"header only", good.left(20)},
        {"cut in the middle", good.left(good.size() / 2)},
        {"end marker missing", good.chopped(2)}, // libjpeg alone would call this a success
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QImage image(3, 2, QImage::Format_RGB888);
        image.fill(Qt::green);
        QString error;
        EXPECT_FALSE(DecodeJpeg(c.bytes, image, &error));
        EXPECT_FALSE(error.isEmpty());
        EXPECT_EQ(image.size(), QSize(3, 2));
        EXPECT_EQ(image.pixel(0, 0), qRgb(0, 255, 0));
    }
}
