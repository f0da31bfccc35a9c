#pragma once

#include <QDateTime>
#include <QFile>
#include <QLoggingCategory>
#include <QString>

#include <vector>

// QT_LOGGING_RULES="q900.simulator.debug=true" shows the simulated traffic as it passes.
Q_DECLARE_LOGGING_CATEGORY(lcSim)

// Every request and reply that crossed the simulated line, with the moment it did, kept in
// memory for tests and written to a file when one is named. Control characters are shown
// by name, such as [DC2], so that ring frames and CRC forms stay readable.
class TTrafficLog
{
public:
    enum Direction
    {
        Received,
        Sent,
        Note
    };
    struct TEntry
    {
        QDateTime time;
        Direction direction;
        QString text;
    };

    // False with a message when the file cannot be opened for appending.
    [[nodiscard]] bool OpenFile(const QString& path, QString* error);
    void Add(Direction direction, const QString& text);
    [[nodiscard]] const std::vector<TEntry>& Entries() const { return m_entries; }
    void Clear() { m_entries.clear(); }

    static QString Visible(const QString& text);
    static QString Line(const TEntry& entry);

private:
    std::vector<TEntry> m_entries;
    QFile m_file;
};
