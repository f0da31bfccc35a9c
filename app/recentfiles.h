#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <vector>

class IFileCommands;
class QMenu;
class TdatViewer;

// File > Recent Files: the settings and log files last opened or saved, newest first, kept in
// config.ini's [Recent Files] as "Log:/path/run.CSV". Choosing one opens it again with the
// file commands it came from.
class TRecentFiles : public QObject
{
    Q_OBJECT
public:
    static constexpr int kMaxFiles = 8;

    TRecentFiles(TdatViewer& config, QMenu& menu, QObject* parent = nullptr);

    // The files of `commands` are listed as `kind`'s ("Settings", "Log"); `show` brings their
    // page to the front before one of them is opened again.
    void Track(const QString& kind, IFileCommands& commands, std::function<void()> show = {});
    // Paths, newest first.
    [[nodiscard]] QStringList Files() const;

signals:
    // The file that is open now; empty: none.
    void Current(const QString& path);

private:
    struct TEntry
    {
        QString kind;
        QString path;
    };
    struct TSource
    {
        QString kind;
        IFileCommands* commands;
        std::function<void()> show;
    };

    void Shown(const QString& kind, const QString& path);
    void Open(const TEntry& entry);
    void Load();
    void Keep();
    void Fill();

    TdatViewer& m_config;
    QMenu& m_menu;
    std::vector<TEntry> m_entries;
    std::vector<TSource> m_sources;
};
