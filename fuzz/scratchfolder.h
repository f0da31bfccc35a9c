#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// A folder of the fuzzing process's own for the readers that take a path: each input is
// written to a file there. It lives in memory (/dev/shm) where the system offers it, so a
// file per input costs no disk traffic, and it is removed when the process ends normally.
class TScratchFolder
{
public:
    // The process's folder, made on first use.
    static TScratchFolder& Instance();

    [[nodiscard]] QString Path() const { return m_folder.path(); }
    // `name` inside the folder.
    [[nodiscard]] QString FilePath(const QString& name) const;
    // Replaces the file `name` with `bytes`; its path.
    QString Write(const QString& name, const QByteArray& bytes) const;

private:
    TScratchFolder();

    QTemporaryDir m_folder;
};
