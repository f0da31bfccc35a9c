// Segment-map cache files (".zmp") into TZelBitmap::LoadFromFile. A file that loads must save
// back byte for byte and scale to any drawing size; a refused one leaves an empty map.
#include "fuzzcheck.h"
#include "inputclock.h"
#include "scratchfolder.h"
#include "zelbitmap.h"

#include <QByteArray>
#include <QFile>

#include <cstddef>
#include <cstdint>

namespace {

QByteArray ReadBack(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

int FuzzOne(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const TScratchFolder& folder = TScratchFolder::Instance();
    TZelBitmap map;
    const QString refused = map.LoadFromFile(folder.Write(QStringLiteral("input.zmp"), bytes));
    if (!refused.isEmpty()) {
        FuzzCheck(map.Width() == 0 && map.Height() == 0, "a refused file leaves an empty map");
        return 0;
    }
    FuzzCheck(TZelBitmap::FileSize(map.Width(), map.Height()) == bytes.size(),
              "a loaded map is as large as its file");
    const QString copy = folder.FilePath(QStringLiteral("copy.zmp"));
    FuzzCheck(map.SaveToFile(copy).isEmpty() && ReadBack(copy) == bytes,
              "a loaded map saves back byte for byte");
    TZelBitmap scaled;
    scaled.SetSize(2 + map.Height() % 37, 2 + map.Width() % 23);
    FuzzCheck(scaled.ScaleFrom(map), "a loaded map scales");
    for (int x = 0; x < scaled.Width(); ++x)
        for (int y = 0; y < scaled.Height(); ++y)
            FuzzCheck(TZelBitmap::IsValidEntry(scaled.At(x, y)), "scaling keeps the entries");
    return 0;
}
