#include "jpegloader.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include <csetjmp>
#include <cstdint>
#include <cstdio>

#include <jpeglib.h>
// After jpeglib.h, which it needs.
#include <jerror.h>

namespace jpegloader {

namespace {

// libjpeg's default error handler calls exit(); ours jumps back with the message instead.
struct ErrorManager
{
    jpeg_error_mgr base;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void OnError(j_common_ptr info)
{
    auto* manager = reinterpret_cast<ErrorManager*>(info->err);
    (*info->err->format_message)(info, manager->message);
    std::longjmp(manager->jump, 1);
}

void OnMessage(j_common_ptr) {}

// Warnings pass silently, except the one for data that ends before the picture does: such a
// file was cut short, and would show grey where the rest of the picture belongs.
void OnWarning(j_common_ptr info, int level)
{
    if (level < 0 && info->err->msg_code == JWRN_JPEG_EOF)
        OnError(info);
}

// Bounds far above any picture of the program (the front panel is 2000 x 982) and far below
// what would hurt: a damaged header of a few hundred bytes can claim any size, and a file of
// any length can carry a picture's name.
constexpr uint64_t kMaxPixels = 4ull * 1024 * 1024;
constexpr qint64 kMaxFileBytes = 32 * 1024 * 1024;
// libjpeg's own memory, mostly the whole-picture buffers of progressive files: enough for any
// picture within kMaxPixels; a file that would need more is refused by the decoder.
constexpr long kMaxDecoderMemory = 32L * 1024 * 1024;

// Runs the decoder; kept free of C++ objects with destructors because of the longjmp.
// The largest reduction by 2, 4 or 8 of `width` x `height` that is still at least `atLeast`
// (the decoder rounds up), or 1.
unsigned int Reduction(unsigned int width, unsigned int height, QSize atLeast)
{
    if (!atLeast.isValid() || atLeast.isEmpty())
        return 1;
    for (unsigned int d = 8; d > 1; d /= 2) {
        if ((width + d - 1) / d >= unsigned(atLeast.width()) &&
            (height + d - 1) / d >= unsigned(atLeast.height()))
            return d;
    }
    return 1;
}

bool Decode(jpeg_decompress_struct& info, ErrorManager& errors, const QByteArray& data,
            QSize atLeast, PictureResult& result)
{
    if (setjmp(errors.jump))
        return false;
    jpeg_create_decompress(&info);
    info.mem->max_memory_to_use = kMaxDecoderMemory;
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(data.constData()),
                 static_cast<unsigned long>(data.size()));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    // A damaged header can claim any size; refuse absurd ones before allocating.
    if (static_cast<uint64_t>(info.image_width) * info.image_height > kMaxPixels) {
        std::snprintf(errors.message, sizeof errors.message,
                      "%u x %u pixels, more than %llu megapixels", info.image_width,
                      info.image_height, static_cast<unsigned long long>(kMaxPixels >> 20));
        return false;
    }
    result.sourceSize = QSize(int(info.image_width), int(info.image_height));
    info.scale_num = 1;
    info.scale_denom = Reduction(info.image_width, info.image_height, atLeast);
    jpeg_start_decompress(&info);
    QImage& image = result.image;
    image = QImage(static_cast<int>(info.output_width), static_cast<int>(info.output_height),
                   QImage::Format_RGB888);
    if (image.isNull()) {
        std::snprintf(errors.message, sizeof errors.message, "picture too large");
        return false;
    }
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = image.scanLine(static_cast<int>(info.output_scanline));
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    return true;
}

} // namespace

PictureResult DecodeJpeg(const QByteArray& data, const QString& name, QSize atLeast)
{
    jpeg_decompress_struct info{};
    ErrorManager errors{};
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = OnError;
    errors.base.output_message = OnMessage;
    errors.base.emit_message = OnWarning;

    PictureResult result;
    const bool ok = !data.isEmpty() && Decode(info, errors, data, atLeast, result);
    jpeg_destroy_decompress(&info);
    if (!ok) {
        const QString why =
            data.isEmpty() ? QStringLiteral("empty file") : QString::fromLocal8Bit(errors.message);
        result.image = QImage();
        result.sourceSize = {};
        result.error = QStringLiteral("%1 is not a valid JPEG picture (%2).").arg(name, why);
    }
    return result;
}

bool IsJpegName(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == u"jpg" || suffix == u"jpeg" || suffix == u"jpe" || suffix == u"jfif";
}

QByteArray ReadPictureFile(const QString& path, QString& error)
{
    // A pipe or a device would block the reader or never end.
    const QFileInfo info(path);
    if (info.exists() && !info.isFile()) {
        error = QStringLiteral("%1 is not a picture file.").arg(path);
        return {};
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("Cannot open the picture %1: %2").arg(path, file.errorString());
        return {};
    }
    if (file.size() > kMaxFileBytes) {
        error = QStringLiteral("The picture %1 is too large (over %2 MB).")
                    .arg(path)
                    .arg(kMaxFileBytes >> 20);
        return {};
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        error = QStringLiteral("Cannot read the picture %1: %2").arg(path, file.errorString());
        return {};
    }
    error.clear();
    return bytes;
}

PictureResult LoadPicture(const QString& path, QSize atLeast)
{
    QString error;
    QByteArray bytes = ReadPictureFile(path, error);
    if (!error.isEmpty())
        return {{}, error, {}};
    if (IsJpegName(path))
        return DecodeJpeg(bytes, path, atLeast);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, QFileInfo(path).suffix().toLatin1());
    const QSize size = reader.size();
    if (size.isValid() && uint64_t(size.width()) * uint64_t(size.height()) > kMaxPixels)
        return {{},
                QStringLiteral("%1 is not a valid picture (%2 x %3 pixels, more than %4 "
                               "megapixels).")
                    .arg(path)
                    .arg(size.width())
                    .arg(size.height())
                    .arg(kMaxPixels >> 20),
                {}};
    PictureResult result;
    result.image = reader.read();
    result.sourceSize = result.image.size();
    if (result.image.isNull())
        result.error =
            QStringLiteral("%1 is not a valid picture (%2).").arg(path, reader.errorString());
    return result;
}

} // namespace jpegloader
