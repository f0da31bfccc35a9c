#pragma once

#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

// A program directory of its own for one test: the committed segment pictures and panel
// picture copied into a fresh temporary folder, without any map cache.
class ProgramDir
{
public:
    ProgramDir()
    {
        const QDir source(QStringLiteral(MIMIC_TEST_DATA));
        QDir().mkpath(dir_.filePath(QStringLiteral("segs")));
        const QDir segs(source.filePath(QStringLiteral("segs")));
        for (const QString& name : segs.entryList(QDir::Files))
            QFile::copy(segs.filePath(name), dir_.filePath(QStringLiteral("segs/") + name));
        QFile::copy(source.filePath(QStringLiteral("Q910.jpg")), Picture());
    }

    [[nodiscard]] QString Path() const { return dir_.path(); }
    [[nodiscard]] QString File(const QString& name) const { return dir_.filePath(name); }
    [[nodiscard]] QString Picture() const { return dir_.filePath(QStringLiteral("Q910.jpg")); }
    [[nodiscard]] QString Map() const { return dir_.filePath(QStringLiteral("Q910LCD.zmp")); }

private:
    QTemporaryDir dir_;
};
