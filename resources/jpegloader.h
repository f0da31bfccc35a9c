#pragma once

#include <QImage>
#include <QSize>
#include <QString>

// Picture files for the program: JPEG through libjpeg (called directly, with an error
// handler so a corrupt file is reported instead of ending the program), everything else
// through Qt's own readers.
struct PictureResult
{
    QImage image;
    QString error;    // empty on success
    QSize sourceSize; // the picture's own size, which `image` may be a reduction of
    [[nodiscard]] bool ok() const { return error.isEmpty(); }
};

namespace jpegloader {

// Decodes the whole picture, or with `atLeast` given, a reduction of it by 2, 4 or 8 that is
// still at least that size: the decoder then does a fraction of the work and memory of a
// full decode and smooths as it reduces. The data is checked to its end either way.
[[nodiscard]] PictureResult DecodeJpeg(const QByteArray& data, const QString& name,
                                       QSize atLeast = {});
// Chooses the decoder by the file's extension (.jpg, .jpeg, .jpe, .jfif are JPEG); `atLeast`
// as for DecodeJpeg (other formats are always decoded whole).
[[nodiscard]] PictureResult LoadPicture(const QString& path, QSize atLeast = {});
// The file as read, for decoding later without reading it again; empty with `error` set
// when it cannot be a picture (not a regular file, unreadable, over the size limit).
[[nodiscard]] QByteArray ReadPictureFile(const QString& path, QString& error);
[[nodiscard]] bool IsJpegName(const QString& path);

} // namespace jpegloader
