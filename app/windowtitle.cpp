#include "windowtitle.h"

#include <QFileInfo>
#include <QWidget>

TWindowTitle::TWindowTitle(QWidget& window, const QString& viewerName)
    : m_window(window), m_viewerName(viewerName)
{
    Show();
}

void TWindowTitle::SetFile(const QString& path)
{
    m_file = path.isEmpty() ? QString() : QFileInfo(path).fileName();
    Show();
}

void TWindowTitle::SetAddress(const QString& address)
{
    m_address = address;
    Show();
}

void TWindowTitle::Show()
{
    QStringList parts;
    for (const QString& part : {m_file, m_viewerName, m_address}) {
        if (!part.isEmpty())
            parts << part;
    }
    m_window.setWindowTitle(parts.join(QStringLiteral(" - ")));
}
