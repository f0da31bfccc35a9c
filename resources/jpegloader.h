#pragma once

#include <QImage>
#include <QString>

// Picture files for the program: JPEG through libjpeg (called directly, with an error
// handler so a corrupt file is reported instead of ending the program), everything else
// through Qt's own readers.
struct PictureResult
{
    QImage image;
    QString error; // empty on success
    [[nodiscard]] bool ok() const { return error.isEmpty(); }
};

namespace jpegloader {

[[nodiscard]] PictureResult DecodeJpeg(const QByteArray& data, const QString& name);
// Chooses the decoder by the file's extension (.jpg, .jpeg, .jpe, .jfif are JPEG).
[[nodiscard]] PictureResult LoadPicture(const QString& path);
[[nodiscard]] bool IsJpegName(const QString& path);

} // namespace jpegloader
