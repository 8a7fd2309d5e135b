#include "platform/Jpeg.h"

#include <QCoreApplication>
#include <QFile>
#include <QImageReader>

#include <csetjmp>
#include <cstdio> // jpeglib.h needs FILE
#include <cstring>

#include <jerror.h>
#include <jpeglib.h>

namespace {

// libjpeg reports fatal errors through error_exit, which must not return: we jump back to the
// decoder with the message. jpeg_error_mgr comes first so that libjpeg's pointer is ours.
struct TJpegErrors {
    jpeg_error_mgr Base;
    std::jmp_buf Jump;
    char Message[JMSG_LENGTH_MAX];
};

[[noreturn]] void FailDecoding(j_common_ptr info)
{
    auto* errors = reinterpret_cast<TJpegErrors*>(info->err);
    (*info->err->format_message)(info, errors->Message);
    std::longjmp(errors->Jump, 1);
}

// Warnings are tolerated (many pictures in use carry a few stray bytes), except the end of the data
// before the end of the picture: libjpeg would fill the rest with grey and report success.
void EmitMessage(j_common_ptr info, int level)
{
    if (level < 0) {
        if (info->err->msg_code == JWRN_JPEG_EOF)
            FailDecoding(info);
        ++info->err->num_warnings;
    }
}

void SilentOutput(j_common_ptr) {}

// The part that runs under setjmp. Its locals are trivially destructible and everything it produces
// lives in the caller's objects, so a jump back from inside libjpeg leaves nothing behind that
// jpeg_destroy_decompress does not free.
bool DecodeInto(const unsigned char* data, unsigned long size, QImage* image, char* message)
{
    jpeg_decompress_struct info;
    std::memset(&info, 0, sizeof info);
    TJpegErrors errors;
    info.err = jpeg_std_error(&errors.Base);
    errors.Base.error_exit = FailDecoding;
    errors.Base.emit_message = EmitMessage;
    errors.Base.output_message = SilentOutput;
    errors.Message[0] = '\0';

    if (setjmp(errors.Jump)) {
        jpeg_destroy_decompress(&info);
        std::memcpy(message, errors.Message, JMSG_LENGTH_MAX);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data, size);
    jpeg_read_header(&info, TRUE);

    const int limitMb = QImageReader::allocationLimit();
    const unsigned long long bytes = 3ULL * info.image_width * info.image_height;
    if (limitMb > 0 && bytes > (unsigned long long)limitMb * 1024 * 1024) {
        std::snprintf(message, JMSG_LENGTH_MAX, "Picture of %u x %u pixels is too large", info.image_width,
                      info.image_height);
        jpeg_destroy_decompress(&info);
        return false;
    }

    switch (info.jpeg_color_space) {
    case JCS_GRAYSCALE: info.out_color_space = JCS_GRAYSCALE; break;
    case JCS_CMYK:
    case JCS_YCCK: info.out_color_space = JCS_CMYK; break; // libjpeg turns YCCK into CMYK
    default: info.out_color_space = JCS_RGB; break;
    }
    jpeg_start_decompress(&info);

    *image = QImage(int(info.output_width), int(info.output_height), QImage::Format_RGB888);
    if (image->isNull()) {
        std::snprintf(message, JMSG_LENGTH_MAX, "Not enough memory for a picture of %u x %u pixels",
                      info.output_width, info.output_height);
        jpeg_destroy_decompress(&info);
        return false;
    }
    const int components = info.output_components;
    // Photoshop writes CMYK inverted (0 = full ink) and says so with its Adobe marker.
    const bool inverted = info.saw_Adobe_marker;
    JSAMPARRAY row = (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE,
                                               info.output_width * JDIMENSION(components), 1);
    while (info.output_scanline < info.output_height) {
        const int y = int(info.output_scanline);
        jpeg_read_scanlines(&info, row, 1);
        const JSAMPLE* in = row[0];
        uchar* out = image->scanLine(y);
        const int width = int(info.output_width);
        if (components == 3) {
            std::memcpy(out, in, size_t(width) * 3);
        } else if (components == 1) {
            for (int x = 0; x < width; ++x)
                out[3 * x] = out[3 * x + 1] = out[3 * x + 2] = in[x];
        } else {
            for (int x = 0; x < width; ++x, in += 4) {
                int c = in[0], m = in[1], ye = in[2], k = in[3];
                if (!inverted) {
                    c = 255 - c;
                    m = 255 - m;
                    ye = 255 - ye;
                    k = 255 - k;
                }
                out[3 * x] = uchar(c * k / 255);
                out[3 * x + 1] = uchar(m * k / 255);
                out[3 * x + 2] = uchar(ye * k / 255);
            }
        }
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

void SetError(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

} // namespace

bool DecodeJpeg(const QByteArray& bytes, QImage& image, QString* error)
{
    if (bytes.isEmpty()) {
        SetError(error, QStringLiteral("JPEG picture is empty"));
        return false;
    }
    QImage decoded;
    char message[JMSG_LENGTH_MAX] = {};
    if (!DecodeInto(reinterpret_cast<const unsigned char*>(bytes.constData()), (unsigned long)bytes.size(),
                    &decoded, message)) {
        SetError(error, QStringLiteral("JPEG picture cannot be read: %1").arg(QString::fromLocal8Bit(message)));
        return false;
    }
    image = std::move(decoded);
    return true;
}

bool LoadJpegFile(const QString& path, QImage& image, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        SetError(error, QStringLiteral("Cannot open %1: %2").arg(path, file.errorString()));
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        SetError(error, QStringLiteral("Cannot read %1: %2").arg(path, file.errorString()));
        return false;
    }
    QString reason;
    if (!DecodeJpeg(bytes, image, &reason)) {
        SetError(error, QStringLiteral("%1: %2").arg(path, reason));
        return false;
    }
    return true;
}
