#include "ctloutput.h"

#include <QJsonDocument>

#include <cstdio>

void TCtlOutput::Print(const QJsonObject& object, const QString& text) const
{
    QByteArray bytes;
    if (m_json) {
        bytes = QJsonDocument(object).toJson(QJsonDocument::Compact);
    } else {
        bytes = text.toLocal8Bit();
    }
    if (!bytes.endsWith('\n'))
        bytes += '\n';
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
    std::fflush(stdout);
}
