// Picture files into the JPEG loader, as a named file (the front-panel picture, the About
// logo, the segment pictures) and as bytes. A damaged or hostile file is an error with a
// message, never a fault, an exit or an allocation beyond the loader's bounds.
#include "fuzzcheck.h"
#include "inputclock.h"
#include "jpegloader.h"
#include "scratchfolder.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>

int FuzzOne(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString path = TScratchFolder::Instance().Write(QStringLiteral("input.jpg"), bytes);
    const PictureResult picture = jpegloader::LoadPicture(path);
    FuzzCheck(picture.ok() != picture.image.isNull(), "a picture or a message, never both");
    FuzzCheck(picture.ok() || picture.error.contains(path), "the message names the file");
    return 0;
}
