#include "statefile.h"

#include "atomicfile.h"

#include <QFile>
#include <QJsonDocument>

namespace {

const QString kInstruments = QStringLiteral("instruments");

} // namespace

bool TStateFile::Load(QString* error)
{
    m_instruments = {};
    if (!IsUsed() || !QFile::exists(m_path))
        return true;
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("Cannot read %1: %2").arg(m_path, file.errorString());
        return false;
    }
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &parseError);
    if (!document.isObject()) {
        const QString reason = parseError.errorString();
        *error = QStringLiteral("%1 is not a state file: %2").arg(m_path, reason);
        return false;
    }
    m_instruments = document.object().value(kInstruments).toObject();
    return true;
}

QJsonObject TStateFile::Instrument(int address) const
{
    return m_instruments.value(QString::number(address)).toObject();
}

bool TStateFile::Save(int address, const QJsonObject& state, QString* error)
{
    if (!IsUsed())
        return true;
    m_instruments.insert(QString::number(address), state);
    QJsonObject root;
    root.insert(kInstruments, m_instruments);
    const QString reason = TAtomicFile::WriteFile(m_path, QJsonDocument(root).toJson());
    if (reason.isEmpty())
        return true;
    *error = QStringLiteral("Cannot write %1: %2").arg(m_path, reason);
    return false;
}
