#pragma once

#include <QString>

class QWidget;

// The main window's title: the name of the file open, the viewer's name and, while connected,
// the instrument's address, as in "backup.VSF - ViewQ900 - Address:1".
class TWindowTitle
{
public:
    TWindowTitle(QWidget& window, const QString& viewerName);

    // Empty: no file.
    void SetFile(const QString& path);
    // "Address:1", "Address:Any"; empty while not connected.
    void SetAddress(const QString& address);

private:
    void Show();

    QWidget& m_window;
    QString m_viewerName;
    QString m_file;
    QString m_address;
};
