#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QImage>
#include <QSize>
#include <QString>

// The front-panel picture of a mimic, kept as the file's bytes and as one copy scaled to the
// size it is drawn at, ready to draw: the file is read again only when its modification time
// or size changed, and the full-size decoded picture is kept only while sizes keep changing.
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
    // `drawnAt`, when given, is the size the picture is about to be drawn at: a JPEG is then
    // decoded only as finely as that size needs.
    Result Refresh(QSize drawnAt = {});
    // The size of the last good picture; empty before the first successful load.
    [[nodiscard]] QSize ImageSize() const { return m_imageSize; }
    // The last good picture stretched smoothly to `size` in 32-bit RGB, the format the
    // screen takes without converting; cached until the size or the picture changes, null
    // when there is no picture.
    const QImage& Scaled(QSize size);
    // Lets the full-size decoded picture go (a window that has stopped changing size); the
    // next new size decodes the kept bytes again.
    void ReleaseFullSize() { m_full = QImage(); }
    [[nodiscard]] bool HoldsFullSize() const { return !m_full.isNull(); }

private:
    // The picture decoded at least as large as `size` (whole when `size` is empty).
    [[nodiscard]] QImage Decoded(QSize size) const;
    // Whether m_full is fine enough to be scaled down to `size`.
    [[nodiscard]] bool FullServes(QSize size) const;

    QString m_path;
    QDateTime m_stampTime;
    qint64 m_stampSize = -1;
    QString m_stampError;
    QByteArray m_file;   // the last good picture as read, decoded again for a new size
    bool m_jpeg = false; // how m_file is decoded
    QImage m_full;       // decoded (a JPEG maybe reduced), until ReleaseFullSize
    QSize m_imageSize;
    QImage m_scaled;
};
