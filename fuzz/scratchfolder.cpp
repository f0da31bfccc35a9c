#include "scratchfolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <cstdlib>

namespace {

QString FolderTemplate()
{
    const QString shm = QStringLiteral("/dev/shm");
    const QString base = QFileInfo(shm).isWritable() ? shm : QDir::tempPath();
    return base + QStringLiteral("/q900fuzz-XXXXXX");
}

} // namespace

TScratchFolder& TScratchFolder::Instance()
{
    static TScratchFolder folder;
    return folder;
}

TScratchFolder::TScratchFolder() : m_folder(FolderTemplate())
{
    if (!m_folder.isValid()) {
        // Without it every input would test only the reader's open failure.
        std::fprintf(stderr, "cannot make a scratch folder: %s\n",
                     qPrintable(m_folder.errorString()));
        std::abort();
    }
}

QString TScratchFolder::FilePath(const QString& name) const
{
    return QDir(m_folder.path()).filePath(name);
}

QString TScratchFolder::Write(const QString& name, const QByteArray& bytes) const
{
    const QString path = FilePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        std::abort();
    }
    return path;
}
