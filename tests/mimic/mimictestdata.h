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
        QDir().mkpath(m_dir.filePath(QStringLiteral("segs")));
        const QDir segs(source.filePath(QStringLiteral("segs")));
        for (const QString& name : segs.entryList(QDir::Files))
            QFile::copy(segs.filePath(name), m_dir.filePath(QStringLiteral("segs/") + name));
        QFile::copy(source.filePath(QStringLiteral("Q910.jpg")), Picture());
    }

    [[nodiscard]] QString Path() const { return m_dir.path(); }
    [[nodiscard]] QString File(const QString& name) const { return m_dir.filePath(name); }
    [[nodiscard]] QString Picture() const { return m_dir.filePath(QStringLiteral("Q910.jpg")); }
    [[nodiscard]] QString Map() const { return m_dir.filePath(QStringLiteral("Q910LCD.zmp")); }

private:
    QTemporaryDir m_dir;
};
