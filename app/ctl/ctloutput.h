#pragma once

#include <QJsonObject>
#include <QString>

// The tool's results on standard output: text for people, or with --json one compact JSON
// object per line for scripts. Each result is written and flushed at once, so that a
// reader of a continuing command sees it as it comes.
class TCtlOutput
{
public:
    explicit TCtlOutput(bool json) : m_json(json) {}

    [[nodiscard]] bool Json() const { return m_json; }
    // The object in JSON mode, else the text (a line end is added when it has none).
    void Print(const QJsonObject& object, const QString& text) const;

private:
    bool m_json;
};
