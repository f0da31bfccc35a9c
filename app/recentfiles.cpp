#include "recentfiles.h"

#include "dmviewer.h"
#include "page.h"

#include <QDir>
#include <QFileInfo>
#include <QMenu>

#include <algorithm>

namespace {

constexpr const char* kSection = "Recent Files";

QByteArray Key(int n)
{
    return "File" + QByteArray::number(n);
}

} // namespace

TRecentFiles::TRecentFiles(TdatViewer& config, QMenu& menu, QObject* parent)
    : QObject(parent), m_config(config), m_menu(menu)
{
    Load();
    Fill();
}

void TRecentFiles::Track(const QString& kind, IFileCommands& commands, std::function<void()> show)
{
    m_sources.push_back({kind, &commands, std::move(show)});
    commands.OnFileShown([this, kind](const QString& path) { Shown(kind, path); });
}

QStringList TRecentFiles::Files() const
{
    QStringList files;
    for (const TEntry& entry : m_entries)
        files << entry.path;
    return files;
}

void TRecentFiles::Shown(const QString& kind, const QString& path)
{
    emit Current(path);
    if (path.isEmpty())
        return;
    const QString absolute = QFileInfo(path).absoluteFilePath();
    std::erase_if(m_entries, [&](const TEntry& e) { return e.path == absolute; });
    m_entries.insert(m_entries.begin(), {kind, absolute});
    if (m_entries.size() > size_t(kMaxFiles))
        m_entries.resize(kMaxFiles);
    Keep();
    Fill();
}

void TRecentFiles::Open(const TEntry& entry)
{
    for (const TSource& source : m_sources) {
        if (source.kind != entry.kind)
            continue;
        if (source.show)
            source.show();
        source.commands->OpenFile(entry.path);
        return;
    }
}

void TRecentFiles::Load()
{
    for (int n = 1; n <= kMaxFiles; ++n) {
        const QString text = m_config.UserText(kSection, Key(n).constData());
        const qsizetype colon = text.indexOf(u':');
        if (colon > 0 && colon + 1 < text.size())
            m_entries.push_back({text.left(colon), text.mid(colon + 1)});
    }
}

void TRecentFiles::Keep()
{
    for (int n = 1; n <= kMaxFiles; ++n) {
        const QByteArray key = Key(n);
        if (n <= int(m_entries.size())) {
            const TEntry& e = m_entries[size_t(n - 1)];
            m_config.SetUserText(kSection, key.constData(), e.kind + u':' + e.path);
        } else {
            m_config.RemoveUserKey(kSection, key.constData());
        }
    }
}

// "&1 run.CSV", the whole path in the status bar.
void TRecentFiles::Fill()
{
    m_menu.clear();
    int n = 0;
    for (const TEntry& entry : m_entries) {
        ++n;
        const QString name = QFileInfo(entry.path).fileName().replace(u'&', QStringLiteral("&&"));
        QAction* item = m_menu.addAction(QStringLiteral("&%1 %2").arg(n).arg(name));
        item->setStatusTip(QDir::toNativeSeparators(entry.path));
        item->setToolTip(item->statusTip());
        const TEntry chosen = entry;
        connect(item, &QAction::triggered, this, [this, chosen] { Open(chosen); });
    }
    if (m_entries.empty()) {
        m_menu.addAction(QStringLiteral("No recent files"))->setEnabled(false);
        return;
    }
    m_menu.addSeparator();
    connect(m_menu.addAction(QStringLiteral("&Clear Recent Files")), &QAction::triggered, this,
            [this] {
                m_entries.clear();
                Keep();
                // Later: the menu whose item this is is being closed.
                QMetaObject::invokeMethod(this, &TRecentFiles::Fill, Qt::QueuedConnection);
            });
}
