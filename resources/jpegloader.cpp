#include "jpegloader.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include <algorithm>
#include <csetjmp>
#include <cstdarg>
#include <cstdint>
#include <cstdio>

#include <jpeglib.h>
// After jpeglib.h, which it needs.
#include <jerror.h>

namespace jpegloader {

namespace {

// Bounds far above any picture of the program (the front panel is 2000 x 982) and far below
// what would hurt: a damaged header of a few hundred bytes can claim any size, and a file of
// any length can carry a picture's name.
constexpr uint64_t kMaxPixels = 4ull * 1024 * 1024;
constexpr qint64 kMaxFileBytes = 32 * 1024 * 1024;
// The decoder's memory and the picture together. A progressive (or multi-scan) file needs a
// buffer for the whole picture's coefficients besides the picture itself, and a file of a few
// kilobytes can code a flat picture of millions of pixels that way. Every picture within
// kMaxPixels fits whole as a single scan, the front panel as a 4:2:0 progressive file too;
// a larger progressive one is decoded reduced (the panel as 4:4:4 progressive to half size).
constexpr long kMaxDecodeBytes = 14L * 1024 * 1024;
// Each scan of a progressive file runs over the whole picture. libjpeg's own progression
// has 10 scans, other encoders fewer or a few more.
constexpr int kMaxScans = 64;

// libjpeg's default error handler calls exit(); ours jumps back with the message instead.
struct ErrorManager
{
    jpeg_error_mgr base;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
    bool overBudget; // the whole-picture buffer did not fit beside the picture
};

[[noreturn]] Q_ATTRIBUTE_FORMAT_PRINTF(2, 3) void Fail(j_common_ptr info, const char* format, ...)
{
    auto* manager = reinterpret_cast<ErrorManager*>(info->err);
    std::va_list values;
    va_start(values, format);
    std::vsnprintf(manager->message, sizeof manager->message, format, values);
    va_end(values);
    std::longjmp(manager->jump, 1);
}

void OnError(j_common_ptr info)
{
    auto* manager = reinterpret_cast<ErrorManager*>(info->err);
    if (info->err->msg_code == JERR_NO_BACKING_STORE) {
        manager->overBudget = true;
        Fail(info, "needs more than %ld MB to decode", kMaxDecodeBytes >> 20);
    }
    (*info->err->format_message)(info, manager->message);
    std::longjmp(manager->jump, 1);
}

void OnMessage(j_common_ptr) {}

// Warnings pass silently, except those for damaged data: a file cut short, or picture data
// that is corrupt or out of order. libjpeg would go on with grey where the damage is, at the
// full cost of a whole picture, so that a few hundred damaged bytes could keep it busy.
bool IsDamage(int code)
{
    switch (code) {
    case JWRN_JPEG_EOF:
    case JWRN_HIT_MARKER:
    case JWRN_HUFF_BAD_CODE:
    case JWRN_ARITH_BAD_CODE:
    case JWRN_MUST_RESYNC:
    case JWRN_BOGUS_PROGRESSION:
        return true;
    default:
        return false;
    }
}

void OnWarning(j_common_ptr info, int level)
{
    if (level < 0 && IsDamage(info->err->msg_code))
        OnError(info);
}

void OnProgress(j_common_ptr common)
{
    auto* info = reinterpret_cast<j_decompress_ptr>(common);
    if (info->input_scan_number <= kMaxScans)
        return;
    Fail(common, "more than %d scans", kMaxScans);
}

// The pixels as the window paints them (32-bit, 0xffRRGGBB) where the decoder can write them
// so, which spares a conversion of the whole picture; else packed RGB.
struct TOutput
{
    J_COLOR_SPACE space;
    int bytes;
    QImage::Format format;
};
#if defined(JCS_EXTENSIONS) && Q_BYTE_ORDER == Q_LITTLE_ENDIAN
constexpr TOutput kOutput{JCS_EXT_BGRX, 4, QImage::Format_RGB32};
#elif defined(JCS_EXTENSIONS)
constexpr TOutput kOutput{JCS_EXT_XRGB, 4, QImage::Format_RGB32};
#else
constexpr TOutput kOutput{JCS_RGB, 3, QImage::Format_RGB888};
#endif

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

// A damaged header can claim any size; absurd ones are refused before anything is allocated.
void CheckSize(jpeg_decompress_struct& info)
{
    if (static_cast<uint64_t>(info.image_width) * info.image_height > kMaxPixels)
        Fail(reinterpret_cast<j_common_ptr>(&info), "%u x %u pixels, more than %llu megapixels",
             info.image_width, info.image_height,
             static_cast<unsigned long long>(kMaxPixels >> 20));
}

// Gives the decoder what the picture leaves of the budget. libjpeg refuses a whole-picture
// buffer beyond it ("backing store"), which reads better as what it is.
void LimitMemory(jpeg_decompress_struct& info)
{
    jpeg_calc_output_dimensions(&info);
    const long rowBytes = (long(info.output_width) * kOutput.bytes + 3) & ~3L;
    const long pictureBytes = rowBytes * long(info.output_height);
    info.mem->max_memory_to_use = std::max(1L, kMaxDecodeBytes - pictureBytes);
}

// Runs the decoder at `reduction` or more; kept free of C++ objects with destructors
// because of the longjmp.
bool Decode(jpeg_decompress_struct& info, ErrorManager& errors, const QByteArray& data,
            QSize atLeast, unsigned int& reduction, PictureResult& result)
{
    if (setjmp(errors.jump))
        return false;
    jpeg_create_decompress(&info);
    jpeg_progress_mgr progress{};
    progress.progress_monitor = OnProgress;
    info.progress = &progress;
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(data.constData()),
                 static_cast<unsigned long>(data.size()));
    jpeg_read_header(&info, TRUE);
    CheckSize(info);
    result.sourceSize = QSize(int(info.image_width), int(info.image_height));
    info.out_color_space = kOutput.space;
    info.scale_num = 1;
    reduction = std::max(reduction, Reduction(info.image_width, info.image_height, atLeast));
    info.scale_denom = reduction;
    LimitMemory(info);
    jpeg_start_decompress(&info);
    QImage& image = result.image;
    image = QImage(static_cast<int>(info.output_width), static_cast<int>(info.output_height),
                   kOutput.format);
    if (image.isNull())
        Fail(reinterpret_cast<j_common_ptr>(&info), "picture too large");
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = image.scanLine(static_cast<int>(info.output_scanline));
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    return true;
}

bool Attempt(const QByteArray& data, QSize atLeast, unsigned int& reduction, ErrorManager& errors,
             PictureResult& result)
{
    jpeg_decompress_struct info{};
    errors = ErrorManager{};
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = OnError;
    errors.base.output_message = OnMessage;
    errors.base.emit_message = OnWarning;
    const bool ok = Decode(info, errors, data, atLeast, reduction, result);
    jpeg_destroy_decompress(&info);
    return ok;
}

} // namespace

PictureResult DecodeJpeg(const QByteArray& data, const QString& name, QSize atLeast)
{
    PictureResult result;
    ErrorManager errors{};
    unsigned int reduction = 1;
    bool ok = !data.isEmpty() && Attempt(data, atLeast, reduction, errors, result);
    // A progressive picture too large to hold whole beside its coefficients may still fit
    // reduced: the refusal comes before the large buffers are allocated, so trying is cheap.
    while (!ok && errors.overBudget && reduction < 8) {
        reduction *= 2;
        ok = Attempt(data, atLeast, reduction, errors, result);
    }
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
