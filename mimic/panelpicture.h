#pragma once

#include <QDateTime>
#include <QImage>
#include <QSize>
#include <QString>

// The front-panel picture of a mimic, decoded once and kept: it is read again only when the
// file's modification time or size changed, so repaints cost no decoding while a replaced
// picture still shows on the next paint.
class TPanelPicture
{
public:
    enum class Status
    {
        Unchanged,
        Loaded,
        Failed
    };
    struct Result
    {
        Status status = Status::Unchanged;
        QString error; // set with Failed
    };

    explicit TPanelPicture(QString path = {});

    void SetPath(const QString& path);
    [[nodiscard]] const QString& Path() const { return m_path; }

    // Looks at the file. A missing file fails every time; an unreadable one fails with the
    // same message until the file changes. The last good picture is kept either way.
    Result Refresh();
    // The last good picture; null before the first successful load.
    [[nodiscard]] const QImage& Image() const { return m_image; }
    // The last good picture stretched to `size`, cached until the size or the picture
    // changes; null when there is no picture.
    const QImage& Scaled(QSize size);

private:
    QString m_path;
    QDateTime m_stampTime;
    qint64 m_stampSize = -1;
    QString m_stampError;
    QImage m_image;
    QImage m_scaled;
};
