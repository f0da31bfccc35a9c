#include "windowlayout.h"

#include "dmviewer.h"

#include <QCoreApplication>
#include <QEvent>
#include <QMainWindow>
#include <QSplitter>
#include <QTabWidget>

namespace {

constexpr const char* kSection = "Window";
constexpr const char* kGeometry = "Geometry";
constexpr const char* kPage = "Page";

// A splitter is kept under its object name as its parts' sizes ("180,420").
QString SizesText(const QList<int>& sizes)
{
    QStringList parts;
    for (const int size : sizes)
        parts << QString::number(size);
    return parts.join(u',');
}

QList<int> SizesFromText(const QString& text, qsizetype count)
{
    QList<int> sizes;
    for (const QString& part : text.split(u',')) {
        bool ok = false;
        const int size = part.trimmed().toInt(&ok);
        if (!ok || size < 0)
            return {};
        sizes << size;
    }
    return sizes.size() == count ? sizes : QList<int>();
}

} // namespace

TWindowLayout::TWindowLayout(TdatViewer& config, QMainWindow& window, QTabWidget& tabs)
    : QObject(&window), m_config(config), m_window(window), m_tabs(tabs)
{
    Restore();
    m_window.installEventFilter(this);
    for (QSplitter* splitter : m_window.findChildren<QSplitter*>())
        splitter->installEventFilter(this);
    connect(qApp, &QCoreApplication::aboutToQuit, this, &TWindowLayout::Keep);
}

void TWindowLayout::Restore()
{
    const QByteArray geometry = m_config.UserText(kSection, kGeometry).toLatin1();
    if (!geometry.isEmpty())
        m_window.restoreGeometry(QByteArray::fromBase64(geometry));
    for (QSplitter* splitter : m_window.findChildren<QSplitter*>()) {
        const QByteArray name = splitter->objectName().toLatin1();
        const QList<int> sizes =
            SizesFromText(m_config.UserText(kSection, name.constData()), splitter->count());
        if (!sizes.isEmpty())
            splitter->setSizes(sizes);
    }
    // A tab that is not there now (one of a session) leaves the Display tab in front.
    const QString page = m_config.UserText(kSection, kPage);
    auto* widget = page.isEmpty() ? nullptr : m_tabs.findChild<QWidget*>(page);
    if (widget && m_tabs.indexOf(widget) >= 0)
        m_tabs.setCurrentWidget(widget);
}

void TWindowLayout::Keep()
{
    m_config.SetUserText(kSection, kGeometry,
                         QString::fromLatin1(m_window.saveGeometry().toBase64()));
    for (const QSplitter* splitter : m_window.findChildren<QSplitter*>()) {
        if (splitter->isVisible())
            KeepSplitter(*splitter);
    }
    if (const QWidget* page = m_tabs.currentWidget())
        m_config.SetUserText(kSection, kPage, page->objectName());
}

void TWindowLayout::KeepSplitter(const QSplitter& splitter)
{
    const QByteArray name = splitter.objectName().toLatin1();
    if (!name.isEmpty())
        m_config.SetUserText(kSection, name.constData(), SizesText(splitter.sizes()));
}

bool TWindowLayout::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &m_window && event->type() == QEvent::Close)
        Keep();
    else if (auto* splitter = qobject_cast<QSplitter*>(watched);
             splitter && event->type() == QEvent::Hide)
        KeepSplitter(*splitter);
    return QObject::eventFilter(watched, event);
}
