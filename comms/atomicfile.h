#pragma once

#include <QByteArrayView>
#include <QFile>
#include <QString>

#include <functional>
#include <memory>

class QIODevice;

// Writes a file so that it is always whole: the new bytes or the earlier file as it was, never
// a file cut short. The bytes go to a temporary file beside the target, every write is checked,
// the data is forced onto the disk and only then is the temporary file renamed over the target.
// Any failure removes the temporary file and keeps the system's reason ("No space left on
// device"). Every file the programs write goes through it.
class TAtomicFile
{
public:
    // The device the bytes pass through on their way into the open temporary file; tests hand
    // in one that fails as a full disk does.
    using TDeviceMaker = std::function<std::unique_ptr<QIODevice>(QFile& temporary)>;

    explicit TAtomicFile(const QString& path, TDeviceMaker makeDevice = {});
    // Gives up unless committed: the target stays as it was.
    ~TAtomicFile();
    TAtomicFile(const TAtomicFile&) = delete;
    TAtomicFile& operator=(const TAtomicFile&) = delete;

    // Creates the temporary file.
    [[nodiscard]] bool Open();
    // All of `bytes`, or false with the reason, the temporary file gone.
    [[nodiscard]] bool Write(QByteArrayView bytes);
    // Forces the bytes onto the disk and renames the temporary file over the target.
    [[nodiscard]] bool Commit();
    // Removes the temporary file.
    void Cancel();
    [[nodiscard]] bool IsOpen() const { return m_file.isOpen(); }
    [[nodiscard]] QString ErrorString() const { return m_error; }
    [[nodiscard]] QString TemporaryPath() const { return m_file.fileName(); }

    // `bytes` as the whole file: empty on success, else the system's reason.
    [[nodiscard]] static QString WriteFile(const QString& path, QByteArrayView bytes);

private:
    bool Fail(const QString& reason);
    QIODevice& Device();

    QString m_path;
    TDeviceMaker m_makeDevice;
    QFile m_file;
    std::unique_ptr<QIODevice> m_device;
    bool m_created = false; // the temporary file is this writer's to remove
    QString m_error;
};
