#pragma once

#include <QJsonObject>
#include <QString>

// The simulator's state file: each instrument's settings and calibration by address, read
// at start and rewritten in one piece (never half-written) whenever an instrument stores.
class TStateFile
{
public:
    explicit TStateFile(const QString& path = {}) : m_path(path) {}

    [[nodiscard]] bool IsUsed() const { return !m_path.isEmpty(); }
    // A missing file is an empty state; an unreadable or malformed one is an error, so that
    // a store never overwrites a file the simulator did not understand.
    [[nodiscard]] bool Load(QString* error);
    [[nodiscard]] QJsonObject Instrument(int address) const;
    [[nodiscard]] bool Save(int address, const QJsonObject& state, QString* error);

private:
    QString m_path;
    QJsonObject m_instruments;
};
